// Windows: a handle (the object's address), a parent and children, a control id,
// a text, a rectangle, visibility, enabled state, and a message handler. A window
// belongs to the thread that created it; messages for it are carried out there.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "menu.h"
#include "message_queue.h"
#include "win_messages.h"
#include "window_icon.h"

class CWnd;
using HWND = CWnd*;
struct WindowPaintState;

constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD WS_POPUP = 0x80000000;
// A title bar: on screen the window gets the desktop's frame around it.
constexpr DWORD WS_CAPTION = 0x00C00000;
// Tab stops at the window on its way round the dialog's windows.
constexpr DWORD WS_TABSTOP = 0x00010000;

class CWnd {
public:
    CWnd();
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // Makes the window exist: registers it, links it under its parent (or as a
    // top-level window) and sends WM_CREATE. `rect` is in the parent's client
    // coordinates, or the screen's for a top-level window.
    bool CreateEx(CWnd* parent, const RECT& rect, const std::string& text, int id, DWORD style);
    // Sends WM_DESTROY, destroys the children, and unregisters the window.
    void DestroyWindow();

    HWND GetSafeHwnd() const;
    CWnd* GetParent() const { return parent_; }
    const std::vector<CWnd*>& Children() const { return children_; }
    int GetDlgCtrlID() const { return id_; }
    CWnd* GetDlgItem(int id) const;
    DWORD GetStyle() const { return style_; }
    void ModifyStyle(DWORD remove, DWORD add) { style_ = (style_ & ~remove) | add; }

    const std::string& Text() const { return text_; }
    void SetWindowText(const std::string& text);
    // Copies at most size - 1 bytes, cut on a character boundary; returns the length.
    int GetWindowText(char* buffer, int size) const;

    bool IsWindowVisible() const;
    // Virtual so a window of another process can carry the request there.
    virtual bool ShowWindow(int command);
    // False for pop-ups that only show something (tips): shown or clicked, they
    // never become the active window or take the keyboard.
    virtual bool TakesActivation() const { return true; }
    bool IsIconic() const { return minimized_; }
    bool IsWindowEnabled() const { return enabled_; }
    bool EnableWindow(bool enable);

    void MoveWindow(const RECT& rect);
    RECT WindowRect() const { return rect_; }  // in the parent's client coordinates
    void GetClientRect(RECT* rect) const;
    void GetWindowRect(RECT* rect) const;  // in screen coordinates
    void ClientToScreen(POINT* point) const;
    void ScreenToClient(POINT* point) const;

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    bool PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    UINT_PTR SetTimer(UINT_PTR id, UINT elapseMs);
    bool KillTimer(UINT_PTR id);

    // Every window below this one, depth first, parents before their children.
    void ForEachDescendant(const std::function<void(CWnd*)>& visit) const;
    const std::shared_ptr<MessageQueue>& Queue() const { return queue_; }

    // The window's own menu (the system menu); revert drops what was appended.
    CMenu* GetSystemMenu(bool revert);

    // The big (task bar, switcher) or small icon; returns the previous one.
    HICON SetIcon(HICON icon, bool big);
    HICON GetIcon(bool big) const { return big ? bigIcon_ : smallIcon_; }

    // Painting state, kept by paint.cpp.
    WindowPaintState& PaintState() { return *paint_; }

    // The message handler. The default carries out the system's default processing.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

protected:
    virtual void PostNcDestroy() {}

private:
    void Unlink();
    void TopLevelChanged();
    void ResizeSurface();

    CWnd* parent_ = nullptr;
    std::vector<CWnd*> children_;
    int id_ = 0;
    DWORD style_ = 0;
    std::string text_;
    RECT rect_{};
    bool visible_ = false;
    bool enabled_ = true;
    bool minimized_ = false;
    bool alive_ = false;
    std::shared_ptr<MessageQueue> queue_;
    std::unique_ptr<WindowPaintState> paint_;
    CMenu systemMenu_;
    HICON bigIcon_;
    HICON smallIcon_;
};

// True while the window exists (created and not destroyed).
bool IsWindow(HWND window);
// Calls the window's handler on this thread when it still exists; 0 otherwise.
LRESULT DeliverMessage(const MSG& message);
// Top-level windows of this process, oldest first.
std::vector<HWND> TopLevelWindows();
// The first top-level window whose text equals the title exactly: one of this
// process, else one of another process found by the back end's finder.
HWND FindWindow(const char* className, const char* title);
// How the back end finds other processes' top-level windows (empty: none).
void SetForeignWindowFinder(std::function<HWND(const std::string& title)> finder);
