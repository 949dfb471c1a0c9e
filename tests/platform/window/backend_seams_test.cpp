// What the window system tells a back end beyond painting: caption drags,
// retitling, icons, and wake-ups of a loop that waits in the back end's clock.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/window/clock.h"
#include "platform/window/file_dialog.h"
#include "platform/window/message_loop.h"
#include "platform/window/paint.h"
#include "platform/window/window_backend.h"

namespace {

struct SeamBackend : WindowBackend {
    std::vector<CWnd*> changed;
    std::vector<CWnd*> drags;
    std::vector<RECT> presented;
    void TopLevelChanged(CWnd* window) override { changed.push_back(window); }
    void Present(CWnd*, const RECT& dirty) override { presented.push_back(dirty); }
    void BeginCaptionDrag(CWnd* window) override { drags.push_back(window); }
};

// A clock that counts its wake-ups and waits like the real one.
class CountingClock : public RealClock {
public:
    std::atomic<int> wakes{0};
    void Wake() override { ++wakes; }
};

class BackendSeams : public ::testing::Test {
protected:
    void SetUp() override {
        SetClock(std::make_shared<VirtualClock>());
        SetWindowBackend(&backend_);
    }
    void TearDown() override {
        MSG left;
        while (PeekMessage(&left)) {
        }
        SetWindowBackend(nullptr);
        SetClock(nullptr);
    }
    SeamBackend backend_;
};

}  // namespace

TEST_F(BackendSeams, ACaptionPressStartsADragOfTheTopLevelWindowOnly) {
    CWnd top, child;
    ASSERT_TRUE(top.CreateEx(nullptr, RECT{0, 0, 100, 100}, "top", 0, WS_POPUP | WS_VISIBLE));
    ASSERT_TRUE(child.CreateEx(&top, RECT{0, 0, 50, 50}, "", 1, WS_CHILD | WS_VISIBLE));
    top.SendMessage(WM_NCLBUTTONDOWN, HTCAPTION, 0);
    top.SendMessage(WM_NCLBUTTONDOWN, 1 /* HTCLIENT */, 0);
    child.SendMessage(WM_NCLBUTTONDOWN, HTCAPTION, 0);
    ASSERT_EQ(backend_.drags.size(), 1u);
    EXPECT_EQ(backend_.drags[0], &top);
}

TEST_F(BackendSeams, RetitlingAndNewIconsReachTheBackEnd) {
    CWnd top;
    ASSERT_TRUE(top.CreateEx(nullptr, RECT{0, 0, 10, 10}, "", 0, WS_POPUP));
    backend_.changed.clear();
    top.SetWindowText("Ostrel");
    EXPECT_EQ(backend_.changed.size(), 1u);
    auto icon = std::make_shared<WindowIcon>(WindowIcon{1, 1, {1, 2, 3, 4}});
    EXPECT_EQ(top.SetIcon(icon, true), nullptr);
    EXPECT_EQ(top.GetIcon(true), icon);
    EXPECT_EQ(top.GetIcon(false), nullptr);
    EXPECT_EQ(backend_.changed.size(), 2u);
}

// Its pixels stay where they are: moving a top-level window repaints nothing.
TEST_F(BackendSeams, MovingATopLevelWindowKeepsItsPixels) {
    CWnd top;
    ASSERT_TRUE(top.CreateEx(nullptr, RECT{0, 0, 40, 30}, "", 0, WS_POPUP | WS_VISIBLE));
    PumpWaitingMessages();
    top.MoveWindow(RECT{100, 50, 140, 80});
    EXPECT_FALSE(GetUpdateRect(&top, nullptr));
    top.MoveWindow(RECT{100, 50, 150, 80});  // a new size is painted anew
    EXPECT_TRUE(GetUpdateRect(&top, nullptr));
}

// A loop waiting in a clock of its own must hear of work from other threads.
TEST(QueueWakeUps, CrossThreadPostsAndSendsWakeTheClock) {
    auto clock = std::make_shared<CountingClock>();
    SetClock(clock);
    CWnd window;
    ASSERT_TRUE(window.CreateEx(nullptr, RECT{0, 0, 1, 1}, "", 0, WS_POPUP));
    std::thread other([&] {
        window.PostMessage(WM_USER);
        window.SendMessage(WM_USER + 1);
        window.PostMessage(WM_USER + 2);
    });
    MSG message;
    while (GetMessage(&message) && message.message != WM_USER + 2)
        DispatchMessage(&message);
    other.join();
    EXPECT_GE(clock->wakes.load(), 3);
    window.DestroyWindow();
    SetClock(nullptr);
}

TEST(SaveAsDialog, WithoutABackEndItIsCancelled) {
    const SaveAsAnswer answer = GetSaveFileName(SaveAsRequest{});
    EXPECT_TRUE(answer.path.empty());
    EXPECT_EQ(answer.error, 0u);
}

TEST(SaveAsDialog, TheChosenNameGetsTheDefaultExtensionWhenItHasNone) {
    SaveAsRequest seen;
    SetSaveAsHandler([&](const SaveAsRequest& request) {
        seen = request;
        return SaveAsAnswer{"/home/u/Stamps/Sunset", 0};
    });
    const SaveAsAnswer answer =
        GetSaveFileName(SaveAsRequest{nullptr, "png|*.png||", "/home/u", "Sunset.png", "png"});
    SetSaveAsHandler(nullptr);
    EXPECT_EQ(answer.path, "/home/u/Stamps/Sunset.png");
    EXPECT_EQ(seen.fileName, "Sunset.png");
    EXPECT_EQ(WithDefaultExtension("/a.b/name", "png"), "/a.b/name.png");
    EXPECT_EQ(WithDefaultExtension("/a/name.jpg", "png"), "/a/name.jpg");
    EXPECT_EQ(WithDefaultExtension("/a/", "png"), "/a/");  // no name: left alone
}

TEST(SaveAsDialog, FilterTextsSplitIntoNamedPatternLists) {
    const auto filters = ParseFileFilter("png|*.png|Pictures|*.png;*.bmp;||ignored|*.x");
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_EQ(filters[0].name, "png");
    EXPECT_EQ(filters[0].patterns, std::vector<std::string>{"*.png"});
    EXPECT_EQ(filters[1].patterns, (std::vector<std::string>{"*.png", "*.bmp"}));
    EXPECT_TRUE(ParseFileFilter("").empty());
    EXPECT_TRUE(ParseFileFilter("name only").empty());
}
