#include "app/main_window/dlg_main.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "app/globals.h"
#include "app/resources/wizard_resources.h"
#include "platform/backends/headless_backend.h"
#include "platform/window/controls.h"
#include "platform/window/focus.h"
#include "platform/window/input.h"
#include "platform/window/message_loop.h"
#include "platform/window/paint.h"
#include "platform/window/paint_state.h"

namespace {

// Counts WM_WIZ_ACTIVATED on a window inside a page.
class ActivationProbe : public CWnd {
public:
    int activations = 0;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_WIZ_ACTIVATED && wParam == 1) ++activations;
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

// Runs the main window modally on the headless back end; `steps` are done at the
// given virtual times, and the window is closed at the end.
class MainWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterWizardResources(); }
    // The settings the save page reads when it is made; no phone, so the transfer
    // page starts nothing.
    void SetUp() override {
        g_texts = BuildTexts("EN");
        g_mainWnd = nullptr;
        // The preview page reads its folder when it is made.
        registry_ = std::filesystem::temp_directory_path() /
                    ("ostrel_main_" + std::to_string(getpid()) + ".reg");
        std::ofstream(registry_)
            << "Windows Registry Editor Version 5.00\n\n"
               "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane\\Tessel 310-510\\Customization "
               "Wizards]\n\"Installation Path\"=\"/tmp/\"\n\n"
               "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane\\Tessel 310-510]\n"
               "\"Current Link\"=\"None\"\n";
        setenv("OSTREL_REGISTRY", registry_.c_str(), 1);
    }
    void TearDown() override {
        MessageQueue::Current()->CancelScheduled();
        unsetenv("OSTREL_REGISTRY");
        std::filesystem::remove(registry_);
    }
    void At(std::uint64_t ms, std::function<void()> step) {
        MessageQueue::Current()->Schedule(ms, std::move(step));
    }
    void Run() {
        At(10000, [this] { dialog.PostMessage(WM_WIZ_EXIT); });
        dialog.DoModal();
    }
    CDlgWizPage* Shown() {
        return dialog.current < dialog.pages.size() ? dialog.pages[dialog.current].get() : nullptr;
    }

    std::filesystem::path registry_;
    HeadlessBackend backend;
    CDlgMain dialog;
};

}  // namespace

TEST_F(MainWindow, NextBeforeTheTimerCreatesPageTwoAndTheTimerTheRest) {
    At(0, [this] {
        EXPECT_EQ(dialog.stepCount, 1);
        EXPECT_EQ(g_mainWnd, &dialog);
        dialog.PostMessage(WM_WIZ_NEXT, 0, 0);
    });
    At(50, [this] {
        EXPECT_EQ(dialog.stepCount, 2);
        EXPECT_EQ(Shown()->Step(), 2);
        EXPECT_FALSE(dialog.pages[0]->IsWindowVisible());
        EXPECT_EQ(Shown()->Text(), "Wiz2");
    });
    At(150, [this] {
        EXPECT_EQ(dialog.stepCount, 6);
        dialog.PostMessage(WM_WIZ_NEXT, 0, 0);
    });
    At(160, [this] {
        EXPECT_EQ(dialog.stepCount, 6);
        EXPECT_EQ(Shown()->Step(), 3);
        EXPECT_EQ(GetFocus(), Shown());
    });
    Run();
}

TEST_F(MainWindow, JumpThenPreviousAndTheEndPosition) {
    At(200, [this] {
        dialog.previous = dialog.current;
        dialog.current = 3;
        dialog.ShowCurrentPage();
        dialog.PostMessage(WM_WIZ_NEXT, 2, 0);  // zero-based index 2: step 3
    });
    At(210, [this] {
        EXPECT_EQ(Shown()->Step(), 3);
        EXPECT_FALSE(dialog.pages[3]->IsWindowVisible());
        dialog.PostMessage(WM_WIZ_PREVIOUS);
    });
    At(220, [this] {
        EXPECT_EQ(Shown()->Step(), 2);
        dialog.PostMessage(WM_WIZ_NEXT, 9, 0);  // beyond the pages: nothing shown
    });
    At(230, [this] {
        EXPECT_EQ(Shown(), nullptr);
        for (const auto& page : dialog.pages)
            EXPECT_FALSE(page->IsWindowVisible());
    });
    Run();
}

TEST_F(MainWindow, OutlineAndPlacement) {
    At(0, [this] {
        RECT r;
        dialog.GetWindowRect(&r);
        EXPECT_EQ(r.right - r.left, 580);
        EXPECT_EQ(r.bottom - r.top, 411);
        EXPECT_EQ(r.left, (1280 - 580) / 2);
        EXPECT_EQ(dialog.Text(), "Ostrel");
        const auto& shape = dialog.PaintState().shape;
        ASSERT_TRUE(shape);
        EXPECT_TRUE(shape->Contains(0, 100));
        EXPECT_FALSE(shape->Contains(0, 230));
        EXPECT_TRUE(shape->Contains(1, 230));
        EXPECT_TRUE(shape->Contains(578, 230));
        EXPECT_FALSE(shape->Contains(579, 230));
        EXPECT_FALSE(shape->Contains(547, 410));
        const RECT page = dialog.pages[0]->WindowRect();
        EXPECT_EQ(page.right, 580);
        EXPECT_EQ(dialog.pages[0]->GetDlgItem(IDC_PLAYER)->WindowRect().bottom, 411);
    });
    Run();
}

TEST_F(MainWindow, PopupMenuAboutBoxAndReduce) {
    At(200, [this] {
        backend.QueueMenuAnswer(SC_MINIMIZE);
        dialog.SendMessage(WM_SYSCOMMAND, SC_MOUSEMENU, 0);
        EXPECT_TRUE(dialog.IsIconic());
        RECT window;
        dialog.GetWindowRect(&window);
        ASSERT_EQ(backend.MenuPositions().size(), 1u);
        EXPECT_EQ(backend.MenuPositions()[0].x, window.left + 10);
        EXPECT_EQ(backend.MenuPositions()[0].y, window.top + 25);
        dialog.ShowWindow(SW_SHOWNORMAL);
        const auto& items = dialog.GetSystemMenu(false)->Items();
        ASSERT_EQ(items.size(), 2u);
        EXPECT_TRUE(items[0].separator);
        EXPECT_EQ(items[1].text, "&About");
        backend.QueueMenuAnswer(1);
        dialog.SendMessage(WM_SYSCOMMAND, SC_MOUSEMENU, 0);  // the About box runs inside
    });
    bool aboutShown = false;
    At(300, [&] {
        CWnd* active = GetActiveWindow();
        aboutShown = active && active->Text() == "About Ostrel wizard";
        PostKeyEvent(WM_KEYDOWN, VK_ESCAPE);
    });
    At(400, [this] { dialog.PostMessage(WM_WIZ_REDUCE); });
    At(410, [this] { EXPECT_TRUE(dialog.IsIconic()); });
    Run();
    EXPECT_TRUE(aboutShown);
}

TEST_F(MainWindow, ActivationReachesEveryWindowInside) {
    ActivationProbe probe;
    At(200, [&] {
        probe.CreateEx(dialog.pages[4]->GetDlgItem(IDC_PLAYER), RECT{0, 0, 5, 5}, "", 7, WS_CHILD);
        SetActiveWindow(nullptr);
        PostMouseEvent(&dialog, WM_LBUTTONDOWN, POINT{300, 5});
        PostMouseEvent(&dialog, WM_LBUTTONUP, POINT{300, 5});
    });
    At(300, [&] { EXPECT_EQ(probe.activations, 1); });
    Run();
}

TEST_F(MainWindow, ExitAsksOnEditingPagesAndDeletesThePendingStamp) {
    const std::string pending =
        std::filesystem::temp_directory_path() / ("pending_" + std::to_string(getpid()) + ".png");
    At(200, [&] {
        std::ofstream(pending) << "x";
        g_pendingStampFile = pending;
        backend.QueueBoxAnswer(IDCANCEL);
        dialog.pages[2]->RequestExit();  // page 3 asks first
        EXPECT_TRUE(std::filesystem::exists(pending));
        ASSERT_EQ(backend.Boxes().size(), 1u);
        EXPECT_EQ(backend.Boxes()[0].text, g_texts.exitQuestion);
        EXPECT_EQ(backend.Boxes()[0].style, MB_OKCANCEL | MB_ICONQUESTION);
        dialog.pages[0]->RequestExit();  // page 1 leaves at once
    });
    At(5000, [] { ADD_FAILURE() << "the wizard did not close"; });
    dialog.DoModal();
    EXPECT_EQ(backend.Boxes().size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(pending));
    EXPECT_TRUE(g_pendingStampFile.empty());
}

TEST_F(MainWindow, PagesTurnMovieCommandsIntoRequests) {
    At(200, [this] {
        CDlgWizPage* first = dialog.pages[0].get();
        first->OnFSCommand("ChangeStep", "3");  // not the next step: nothing
        first->OnFSCommand("ChangeStep", "0");
        first->OnFSCommand("changestep", "2");  // commands are case-sensitive
    });
    At(210, [this] {
        EXPECT_EQ(Shown()->Step(), 1);
        dialog.pages[0]->OnFSCommand("ChangeStep", "2");
    });
    At(220, [this] {
        EXPECT_EQ(Shown()->Step(), 2);
        Shown()->OnFSCommand("ChangeStep", "1");
    });
    At(230, [this] {
        EXPECT_EQ(Shown()->Step(), 1);
        PostKeyEvent(WM_KEYDOWN, VK_RETURN);  // Enter on a page moves on
        PostKeyEvent(WM_KEYDOWN, VK_ESCAPE);  // Escape on a page does nothing
    });
    At(240, [this] {
        EXPECT_EQ(Shown()->Step(), 2);
        EXPECT_TRUE(IsWindow(&dialog));
        EXPECT_FALSE(dialog.pages[1]->confirmExit);
        EXPECT_TRUE(dialog.pages[2]->confirmExit);
    });
    Run();
}

TEST_F(MainWindow, MinimisedItShowsItsIcon) {
    ASSERT_TRUE(dialog.icon.IsValid());
    EXPECT_EQ(dialog.icon.GetWidth(), 32u);
    EXPECT_TRUE(dialog.icon.HasAlpha());
    At(200, [this] {
        EXPECT_EQ(dialog.SendMessage(WM_QUERYDRAGICON), reinterpret_cast<LRESULT>(&dialog.icon));
        dialog.PostMessage(WM_WIZ_REDUCE);
    });
    At(300, [this] {
        ASSERT_TRUE(dialog.IsIconic());
        const SurfacePtr surface = WindowSurface(&dialog);
        // The icon's middle (its hill) sits at the middle of the client area.
        EXPECT_EQ(surface->Get(290, 210), RGB(70, 160, 60));
        EXPECT_EQ(surface->Get(10, 100), kDialogColor);
        dialog.ShowWindow(SW_RESTORE);
    });
    At(310, [this] { EXPECT_FALSE(dialog.IsIconic()); });
    Run();
}
