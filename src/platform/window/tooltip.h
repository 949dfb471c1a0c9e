// A tooltip: a small pop-up window that shows a tip near the pointer while it rests
// over one of the tools. The text of a tool can be asked for when the tip is about
// to show (WM_NOTIFY with TTN_GETDISPINFO to the owner).
#pragma once

#include <string>
#include <vector>

#include "platform/gdi/gdi_types.h"
#include "window.h"

constexpr UINT WM_NOTIFY = 0x004E;

struct NMHDR {
    HWND hwndFrom;
    UINT_PTR idFrom;
    UINT code;
};

constexpr UINT TTN_GETDISPINFO = static_cast<UINT>(-520);
constexpr UINT TTF_IDISHWND = 0x0001;
constexpr DWORD TTDT_AUTOPOP = 2;
constexpr DWORD TTDT_INITIAL = 3;

// The owner answers by filling szText or pointing lpszText at its own text.
struct NMTTDISPINFO {
    NMHDR hdr;
    const char* lpszText;
    char szText[80];
    UINT uFlags;
    LPARAM lParam;
};

class CToolTipCtrl : public CWnd {
public:
    // A hidden pop-up window owned by `owner`, which answers the text requests.
    bool Create(CWnd* owner);
    // A tool identified by its window handle, whose text is asked for on demand.
    void AddTool(CWnd* tool);
    void SetMaxTipWidth(int width) { maxWidth_ = width; }
    void SetDelayTime(DWORD which, UINT ms);

    // Mouse messages of the owner's windows: moves over a tool arm the tip, a press
    // or leaving the tool hides it.
    void RelayEvent(const MSG& message);
    // Hides the current tip; the next move over a tool shows it again.
    void Pop();

    // The tip shown now (empty when hidden).
    const std::string& ShownText() const { return shown_; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool TakesActivation() const override { return false; }

private:
    CWnd* ToolAt(HWND window) const;
    void ShowTip();
    void Paint();
    SIZE Measure(const std::string& text) const;

    CWnd* owner_ = nullptr;
    std::vector<CWnd*> tools_;
    CWnd* current_ = nullptr;
    POINT pointer_{};  // screen coordinates of the last relayed move
    int maxWidth_ = 300;
    UINT initialMs_ = 500;
    UINT autoPopMs_ = 5000;
    std::string shown_;
};

// While one lives, the tips of this thread are hidden and none shows: a message
// box, a menu or a modal dialog is open over them.
class TipsHidden {
public:
    TipsHidden();
    ~TipsHidden();
    TipsHidden(const TipsHidden&) = delete;
    TipsHidden& operator=(const TipsHidden&) = delete;
};

// Hides every tip of this thread.
void PopToolTips();
