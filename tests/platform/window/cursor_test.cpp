#include "platform/window/cursor.h"

#include <gtest/gtest.h>

#include "platform/window/clock.h"
#include "platform/window/message_loop.h"
#include "platform/window/window_backend.h"

namespace {

struct CursorBackend : WindowBackend {
    std::vector<int> shown;
    void CursorChanged(int id) override { shown.push_back(id); }
};

// Sets the cursor for the moves it receives when told to.
class Hover : public CWnd {
public:
    int cursor = 0;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_MOUSEMOVE && cursor) SetCursor(LoadCursor(nullptr, cursor));
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

class Cursor : public ::testing::Test {
protected:
    void SetUp() override {
        SetClock(std::make_shared<VirtualClock>());
        SetCursor(LoadCursor(nullptr, IDC_ARROW));
        SetWindowBackend(&backend_);
    }
    void TearDown() override {
        SetWindowBackend(nullptr);
        SetClock(nullptr);
    }
    CursorBackend backend_;
};

}  // namespace

TEST_F(Cursor, TheBackEndHearsOfEachChangeOnce) {
    const HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    EXPECT_EQ(SetCursor(LoadCursor(nullptr, IDC_SIZEALL)), arrow);
    SetCursor(LoadCursor(nullptr, IDC_SIZEALL));
    EXPECT_EQ(GetCursor()->id, IDC_SIZEALL);
    SetCursor(nullptr);  // no shape: the arrow
    EXPECT_EQ(backend_.shown, (std::vector<int>{IDC_SIZEALL, IDC_ARROW}));
}

// As the system does with a window's class cursor: moving over a window that sets
// no cursor of its own brings the arrow back.
TEST_F(Cursor, AMoveThatSetsNoCursorShowsTheArrow) {
    Hover frame, plain;
    ASSERT_TRUE(frame.CreateEx(nullptr, RECT{0, 0, 10, 10}, "frame", 0, WS_POPUP | WS_VISIBLE));
    ASSERT_TRUE(plain.CreateEx(nullptr, RECT{0, 0, 10, 10}, "plain", 0, WS_POPUP | WS_VISIBLE));
    frame.cursor = IDC_SIZENWSE;
    frame.PostMessage(WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    PumpWaitingMessages();
    EXPECT_EQ(GetCursor()->id, IDC_SIZENWSE);
    frame.PostMessage(WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    PumpWaitingMessages();
    EXPECT_EQ(backend_.shown, (std::vector<int>{IDC_SIZENWSE}));  // no flicker to the arrow
    plain.PostMessage(WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    PumpWaitingMessages();
    EXPECT_EQ(GetCursor()->id, IDC_ARROW);
}
