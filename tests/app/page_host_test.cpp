// The page host on the real movie: the top strip's presses, the right button, the
// welcome page's commands, the exit question, the Next button and the movie's tips.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/globals.h"
#include "app/resources/wizard_resources.h"
#include "app/texts/wizard_texts.h"
#include "page_fixture.h"
#include "pages/dlg_wiz1.h"
#include "pages/dlg_wiz3.h"
#include "platform/backends/headless_backend.h"
#include "platform/window/input.h"

namespace {

using WelcomePage = PageHost<CDlgWiz1>;
using EditorPage = PageHost<CDlgWiz3>;

}  // namespace

TEST_F(WelcomePage, TheMovieIsLoadedAndNextIsSwitchedOnByFocus) {
    ASSERT_TRUE(page->movie.LastError().empty()) << page->movie.LastError();
    EXPECT_EQ(page->movie.FrameNum(), 1);
    // The movie's "focus" command made the page switch its Next button on.
    EXPECT_EQ(page->movie.TCurrentFrame("next"), 1);
    EXPECT_FALSE(page->confirmExit);
    EXPECT_TRUE(backend.Boxes().empty());  // the player is new enough
}

TEST_F(WelcomePage, TopStripPressesMoveOrOpenTheMenuOnlyInsideTheStrip) {
    Press(WM_LBUTTONDOWN, POINT{30, 10});
    EXPECT_TRUE(main.Got(WM_NCLBUTTONDOWN, HTCAPTION));
    Press(WM_LBUTTONUP, POINT{30, 10});
    main.received.clear();
    Press(WM_LBUTTONDOWN, POINT{10, 10});
    EXPECT_TRUE(main.Got(WM_SYSCOMMAND, SC_MOUSEMENU));
    Press(WM_LBUTTONUP, POINT{10, 10});
    main.received.clear();
    for (POINT at : {POINT{530, 10}, POINT{100, 30}}) {
        Press(WM_LBUTTONDOWN, at);
        Press(WM_LBUTTONUP, at);
    }
    // (530, 10) is the movie's own Reduce button; nothing else reached the frame.
    ASSERT_EQ(main.received.size(), 1u);
    EXPECT_TRUE(main.Got(WM_WIZ_REDUCE));
}

TEST_F(WelcomePage, ClickingNextAsksForTheNextPageAndTheRightButtonDoesNothing) {
    const POINT next{485, 375};
    Press(WM_RBUTTONDOWN, next);
    Press(WM_RBUTTONUP, next);
    EXPECT_TRUE(main.received.empty());
    EXPECT_TRUE(backend.MenuPositions().empty());
    Click(next);
    EXPECT_TRUE(main.Got(WM_WIZ_NEXT, 0));
}

TEST_F(WelcomePage, CommandTable) {
    page->OnFSCommand("ChangeStep", "3");
    page->OnFSCommand("ChangeStep", "1");
    page->OnFSCommand("changestep", "2");
    LetTimePass(10);
    EXPECT_TRUE(main.received.empty());
    page->OnFSCommand("ChangeStep", "2");
    page->OnFSCommand("reduce", "");
    page->OnFSCommand("exit", "whatever");
    LetTimePass(10);
    EXPECT_TRUE(main.Got(WM_WIZ_NEXT, 0));
    EXPECT_TRUE(main.Got(WM_WIZ_REDUCE));
    EXPECT_TRUE(main.Got(WM_WIZ_EXIT));
    EXPECT_TRUE(backend.Boxes().empty());  // no question on the welcome page
    page->movie.TGotoFrame("next", 0);
    page->OnFSCommand("focus", "");
    EXPECT_EQ(page->movie.TCurrentFrame("next"), 1);
}

TEST_F(WelcomePage, TipsComeFromTheMovieCutTo76Bytes) {
    page->tooltip.SetDelayTime(TTDT_INITIAL, 500);
    Press(WM_MOUSEMOVE, POINT{480, 370});
    LetTimePass(600);
    EXPECT_EQ(page->tooltip.ShownText(), "Go on to the next step");
    // A move in both directions hides the tip until the pointer rests again.
    Press(WM_MOUSEMOVE, POINT{300, 250});
    EXPECT_EQ(page->tooltip.ShownText(), "");
    page->movie.SetVariable("tt", std::string(100, 'x'));
    Press(WM_MOUSEMOVE, POINT{301, 251});
    LetTimePass(600);
    EXPECT_EQ(page->tooltip.ShownText(), std::string(76, 'x'));
    page->movie.SetVariable("tt", "");
    Press(WM_MOUSEMOVE, POINT{302, 252});
    LetTimePass(600);
    EXPECT_EQ(page->tooltip.ShownText(), "");
}

TEST_F(WelcomePage, AHiddenPageShowsNoTipAndTakesItsTipAlong) {
    Press(WM_MOUSEMOVE, POINT{480, 370});
    LetTimePass(600);
    EXPECT_FALSE(page->tooltip.ShownText().empty());
    page->ShowWindow(SW_HIDE);
    EXPECT_EQ(page->tooltip.ShownText(), "");
    // A move that arrived before the page went still shows nothing later.
    page->ShowWindow(SW_SHOW);
    Press(WM_MOUSEMOVE, POINT{481, 371});
    page->ShowWindow(SW_HIDE);
    LetTimePass(600);
    EXPECT_EQ(page->tooltip.ShownText(), "");
}

TEST_F(EditorPage, ExitAsksFirstAndDeletesThePendingStampOnlyWhenConfirmed) {
    const std::string stamp = (std::filesystem::temp_directory_path() /
                               ("ostrel-pending-" + std::to_string(getpid()) + ".png"))
                                  .string();
    std::ofstream(stamp) << "stamp";
    g_pendingStampFile = stamp;
    backend.QueueBoxAnswer(IDCANCEL);
    page->OnFSCommand("exit", "");
    LetTimePass(10);
    ASSERT_EQ(backend.Boxes().size(), 1u);
    EXPECT_EQ(backend.Boxes()[0].text, g_texts.exitQuestion);
    EXPECT_EQ(backend.Boxes()[0].caption, g_texts.ownTitle);
    EXPECT_EQ(backend.Boxes()[0].style, MB_OKCANCEL | MB_ICONQUESTION);
    EXPECT_FALSE(main.Got(WM_WIZ_EXIT));
    EXPECT_TRUE(std::filesystem::exists(stamp));

    backend.QueueBoxAnswer(IDOK);
    page->OnFSCommand("exit", "");
    LetTimePass(10);
    EXPECT_TRUE(main.Got(WM_WIZ_EXIT));
    EXPECT_FALSE(std::filesystem::exists(stamp));
    EXPECT_TRUE(g_pendingStampFile.empty());
}
