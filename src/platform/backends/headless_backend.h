// The headless back end: no display. Time is virtual; message boxes, pop-up menus
// and Save-As dialogs are recorded and answered from queues of scripted answers;
// any window can be written out as a picture. Tests and the demo run the wizard on it.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "headless_desktop.h"
#include "platform/window/clock.h"
#include "platform/window/cursor.h"
#include "platform/window/file_dialog.h"
#include "platform/window/window.h"
#include "platform/window/window_backend.h"

struct RecordedBox {
    std::string text;
    std::string caption;
    UINT style;
    CWnd* owner;
    int answer;
};

class HeadlessBackend : public WindowBackend {
public:
    // Installs itself, a virtual clock and the message-box and menu handlers.
    HeadlessBackend();
    ~HeadlessBackend() override;
    HeadlessBackend(const HeadlessBackend&) = delete;
    HeadlessBackend& operator=(const HeadlessBackend&) = delete;

    // The next message box answers this (unqueued: its first button).
    void QueueBoxAnswer(int answer) { boxAnswers_.push_back(answer); }
    // The next pop-up menu chooses this identifier (0: nothing).
    void QueueMenuAnswer(UINT id) { menuAnswers_.push_back(id); }
    const std::vector<RecordedBox>& Boxes() const { return boxes_; }
    // The next Save-As dialog answers this path (empty: cancelled; unqueued: cancelled).
    void QueueSaveAsAnswer(const std::string& path) { saveAnswers_.push_back(path); }
    const std::vector<SaveAsRequest>& SaveAsRequests() const { return saveRequests_; }
    // The paths the Save-As dialogs answered, as the program received them.
    const std::vector<std::string>& SavedAs() const { return savedAs_; }
    // Where each pop-up menu was shown (screen coordinates), in order.
    const std::vector<POINT>& MenuPositions() const { return menuPositions_; }

    // The window's pixels as they are shown: pixels outside a top-level window's
    // region are black.
    bool Screenshot(CWnd* window, const std::string& path, std::string* error = nullptr) const;
    // Lists this copy's windows on the shared desktop and finds other copies'
    // windows there. `report` hears of every request another copy makes.
    void JoinDesktop(std::function<void(const std::string&, const std::string&)> report = {});

    // The files dropped on the input window, as a file manager drops them; false
    // when no window takes them now.
    bool DropFiles(std::vector<std::string> paths);

    // The top-level window input goes to: the active one, else the last shown.
    CWnd* InputWindow() const;
    // The standard identifier of the cursor the pointer shows now.
    int CurrentCursor() const { return cursor_; }

    void CursorChanged(int id) override { cursor_ = id; }

    void TopLevelChanged(CWnd* window) override;
    void TopLevelDestroyed(CWnd* window) override;

private:
    int AnswerBox(CWnd* owner, const std::string& text, const std::string& caption, UINT style);

    std::shared_ptr<VirtualClock> clock_;
    std::deque<int> boxAnswers_;
    std::deque<UINT> menuAnswers_;
    std::vector<RecordedBox> boxes_;
    std::vector<POINT> menuPositions_;
    std::deque<std::string> saveAnswers_;
    std::vector<SaveAsRequest> saveRequests_;
    std::vector<std::string> savedAs_;
    std::vector<CWnd*> shown_;
    std::unique_ptr<HeadlessDesktop> desktop_;
    int cursor_ = GetCursor()->id;
};
