// The wizard in a real window on a virtual X server: its title, its shape on the
// screen, the movie's Next button, the menu corner, "Reduce", and a second start
// bringing the first window back. Screenshots go to OSTREL_GUI_SCREENS.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/main_window/window_outline.h"
#include "app/resources/wizard_resources.h"
#include "app/settings/settings.h"
#include "desktop_tools.h"
#include "platform/gdi/gdi.h"

namespace fs = std::filesystem;

namespace {

// The screen's own colour: whatever shows it inside the window's box lies outside
// the window's shape.
constexpr COLORREF kBackdrop = RGB(0, 255, 0);
const std::string kTitle = "Ostrel";

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class RealWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // A window manager for minimising, when one is installed (OSTREL_GUI_NO_WM
        // tries the plain server instead).
        if (!std::getenv("OSTREL_GUI_NO_WM") && RunShell("command -v openbox > /dev/null") == 0) {
            windowManager_ = Start("/usr/bin/openbox", {}, "/dev/null");
            WaitFor(
                [] {
                    return RunShell(
                               "xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | "
                               "grep -q 'window id'") == 0;
                },
                10);
        }
        ShowBackdrop(0, 255, 0);
    }
    static void TearDownTestSuite() { Stop(windowManager_); }

    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("ostrel_gui_" + std::to_string(getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "runtime");
        fs::permissions(dir_ / "runtime", fs::perms::owner_all);
        screens_ = std::getenv("OSTREL_GUI_SCREENS") ? std::getenv("OSTREL_GUI_SCREENS")
                                                     : (dir_ / "screens").string();
        fs::create_directories(screens_);
        env_ = {{"OSTREL_REGISTRY", (dir_ / "registry.reg").string()},
                {"XDG_RUNTIME_DIR", (dir_ / "runtime").string()},
                {"XDG_DATA_HOME", (dir_ / "data").string()},
                {"HOME", dir_.string()},
                {"LC_ALL", "C"},
                {"OSTREL_BACKEND", "x11"},
                {"OSTREL_TRACE", "1"}};
        std::string assignments;
        for (const auto& [name, value] : env_)
            assignments += name + "='" + value + "' ";
        ASSERT_EQ(RunShell(assignments + OSTREL_SETUP_PATH " > /dev/null"), 0);
    }
    void TearDown() override {
        Stop(first_);
        fs::remove_all(dir_);
    }

    // Starts the wizard and waits for its window.
    void StartFirst() {
        first_ = Start(OSTREL_PROGRAM_PATH, env_, (dir_ / "first.trace").string());
        ASSERT_TRUE(WaitFor([&] { return Traced("shown " + kTitle); }, 20)) << Trace();
        ASSERT_TRUE(WaitFor([&] { return WindowsTitled(kTitle).size() == 1; }, 10));
        window_ = WindowsTitled(kTitle).front();
        ASSERT_TRUE(WaitFor([&] { return MapState(window_) == "IsViewable"; }, 10));
        place_ = WindowGeometry(window_);
    }
    std::string Trace() const { return ReadAll(dir_ / "first.trace"); }
    bool Traced(const std::string& line) const {
        return Trace().find("ostrel-trace: " + line) != std::string::npos;
    }
    std::string Screen(const std::string& name) const { return screens_ + "/" + name; }
    // A screenshot of the whole screen and of the window's place on it.
    bool Shoot(const std::string& name, PxImage& screen) {
        RunShell("sleep 0.3");  // let the server finish drawing
        return ScreenShot(Screen("screen-" + name), screen) &&
               CropTo(Screen("screen-" + name), place_, Screen(name));
    }
    bool MovieInstalled() const {
        return fs::exists(fs::path(OSTREL_PROGRAM_PATH).parent_path() / "EN" / "Pennon.swf");
    }

    static pid_t windowManager_;
    fs::path dir_;
    std::string screens_;
    std::map<std::string, std::string> env_;
    pid_t first_ = -1;
    std::string window_;
    Geometry place_;
};

pid_t RealWindow::windowManager_ = -1;

}  // namespace

TEST_F(RealWindow, OpensTitledAndCutToItsOutline) {
    StartFirst();
    EXPECT_EQ(place_.width, 580);
    EXPECT_EQ(place_.height, 411);
    PxImage screen;
    ASSERT_TRUE(Shoot("01-step1.png", screen));

    RegisterWizardResources();
    HRGN outline = BuildMainWindowOutline();
    int wrong = 0;
    for (int y = 0; y < 411; ++y) {
        for (int x = 0; x < 580; ++x) {
            const bool inShape = PtInRegion(outline, x, y);
            const bool backdrop = ScreenPixel(screen, place_.x + x, place_.y + y) == kBackdrop;
            if (inShape == backdrop) ++wrong;
        }
    }
    DeleteObject(outline);
    EXPECT_EQ(wrong, 0) << "pixels where the screen disagrees with the outline";
    // Named points: a corner and both bent lower sides are cut away.
    EXPECT_EQ(ScreenPixel(screen, place_.x, place_.y), kBackdrop);
    EXPECT_EQ(ScreenPixel(screen, place_.x, place_.y + 300), kBackdrop);
    EXPECT_EQ(ScreenPixel(screen, place_.x + 579, place_.y + 300), kBackdrop);
    EXPECT_NE(ScreenPixel(screen, place_.x + 290, place_.y + 200), kBackdrop);
}

TEST_F(RealWindow, TheMoviesNextButtonShowsStepTwo) {
    if (!MovieInstalled()) GTEST_SKIP() << "no movie (EN/Pennon.swf) next to the program yet";
    StartFirst();
    PxImage before, after;
    ASSERT_TRUE(WaitFor([&] { return Traced("step 1"); }, 10));
    RunShell("sleep 1");  // the movie's first frames
    ASSERT_TRUE(Shoot("01-step1.png", before));
    ClickAt(place_.x + 485, place_.y + 375);
    ASSERT_TRUE(WaitFor([&] { return Traced("step 2"); }, 10)) << Trace();
    RunShell("sleep 1");
    ASSERT_TRUE(Shoot("02-step2.png", after));
    int changed = 0;
    for (int y = 30; y < 400; y += 2) {
        for (int x = 40; x < 540; x += 2) {
            changed += ScreenPixel(before, place_.x + x, place_.y + y) !=
                       ScreenPixel(after, place_.x + x, place_.y + y);
        }
    }
    EXPECT_GT(changed, 1000) << "step 2 looks like step 1";
}

// Step 2 on the pictures drawn at build time: the list fills, a click chooses the
// first thumbnail and switches Next on, the wheel and keys reach the controls, and
// Enter moves on to step 3.
TEST_F(RealWindow, ThePictureBrowserFillsItsListAndMovesOnWithTheChosenPicture) {
    if (!MovieInstalled()) GTEST_SKIP() << "no movie (EN/Pennon.swf) next to the program yet";
    setenv("OSTREL_REGISTRY", env_["OSTREL_REGISTRY"].c_str(), 1);
    ASSERT_TRUE(
        WriteRegString("BrowseStamp", OSTREL_DEMO_PICTURES, "\\Customization Wizards\\user"));
    unsetenv("OSTREL_REGISTRY");
    StartFirst();
    ASSERT_TRUE(WaitFor([&] { return Traced("step 1"); }, 10));
    RunShell("sleep 1");
    ClickAt(place_.x + 485, place_.y + 375);
    ASSERT_TRUE(WaitFor([&] { return Traced("step 2"); }, 10)) << Trace();
    RunShell("sleep 2");  // the thumbnails
    PxImage listed, chosen;
    ASSERT_TRUE(Shoot("07-browser.png", listed));
    const auto white = [&](const PxImage& screen, int x, int y) {
        return ScreenPixel(screen, place_.x + x, place_.y + y) == RGB(255, 255, 255);
    };
    EXPECT_FALSE(white(listed, 345, 175)) << "no first thumbnail";
    int drawn = 0;  // the tree's icons and names
    for (int y = 142; y < 328; y += 2)
        for (int x = 40; x < 280; x += 2)
            drawn += !white(listed, x, y);
    EXPECT_GT(drawn, 200) << "no folder tree";
    ClickAt(place_.x + 345, place_.y + 175);
    RunShell("xdotool sleep 0.3 key Right sleep 0.3 key Left sleep 0.3");
    // The wheel over the tree scrolls it; the list keeps its choice.
    RunShell("xdotool mousemove " + std::to_string(place_.x + 150) + " " +
             std::to_string(place_.y + 250) + " click 5 sleep 0.3");
    ASSERT_TRUE(Shoot("08-browser-chosen.png", chosen));
    EXPECT_NE(ScreenPixel(listed, place_.x + 460, place_.y + 375),
              ScreenPixel(chosen, place_.x + 460, place_.y + 375))
        << "Next did not switch on";
    RunShell("xdotool mousemove " + std::to_string(place_.x + 345) + " " +
             std::to_string(place_.y + 175) + " click 1 sleep 0.3 key Return");
    EXPECT_TRUE(WaitFor([&] { return Traced("step 3"); }, 10)) << Trace();
}

TEST_F(RealWindow, TheTopStripDragsTheWindow) {
    if (!MovieInstalled())
        GTEST_SKIP() << "no movie (EN/Pennon.swf): the top strip belongs to the movie's player";
    StartFirst();
    const int x = place_.x + 100, y = place_.y + 10;
    RunShell("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) +
             " mousedown 1 sleep 0.4");
    for (int step = 1; step <= 5; ++step) {
        RunShell("xdotool mousemove " + std::to_string(x + 30 * step) + " " +
                 std::to_string(y + 16 * step) + " sleep 0.1");
    }
    RunShell("xdotool sleep 0.3 mouseup 1");
    EXPECT_TRUE(WaitFor(
        [&] {
            const Geometry now = WindowGeometry(window_);
            return now.x == place_.x + 150 && now.y == place_.y + 80;
        },
        5))
        << "at " << WindowGeometry(window_).x << "," << WindowGeometry(window_).y;
}

TEST_F(RealWindow, TheMenuCornerOffersTwoItemsAndReduceMinimises) {
    if (!MovieInstalled())
        GTEST_SKIP() << "no movie (EN/Pennon.swf): the menu corner belongs to the movie's player";
    StartFirst();
    ClickAt(place_.x + 10, place_.y + 10);
    const std::string menuAt =
        "menu at " + std::to_string(place_.x + 10) + "," + std::to_string(place_.y + 25) + ": ";
    ASSERT_TRUE(WaitFor([&] { return Traced(menuAt); }, 10)) << Trace();
    const std::string trace = Trace();
    const std::string items = trace.substr(trace.find(menuAt) + menuAt.size());
    EXPECT_EQ(std::count(items.begin(), items.begin() + items.find('\n'), '|'), 1)
        << "two items expected: " << items;
    PxImage screen;
    const Geometry window = place_;
    place_.height += 60;  // the menu hangs below the corner
    ASSERT_TRUE(Shoot("03-menu.png", screen));
    place_ = window;

    Keys("Down Down Return");  // the second item, "Reduce"
    ASSERT_TRUE(WaitFor([&] { return Traced("minimised " + kTitle); }, 10)) << Trace();
    ASSERT_TRUE(WaitFor([&] { return MapState(window_) != "IsViewable"; }, 10));
    if (windowManager_ > 0) {
        EXPECT_TRUE(WaitFor([&] { return WmState(window_) == "Iconic"; }, 5));
    }
    ASSERT_TRUE(Shoot("04-reduced.png", screen));
    EXPECT_EQ(ScreenPixel(screen, place_.x + 290, place_.y + 200), kBackdrop);
}

TEST_F(RealWindow, ASecondStartBringsTheMinimisedWindowBack) {
    StartFirst();
    // Minimised from outside, as from the task bar.
    RunShell(std::string("xdotool ") + (windowManager_ > 0 ? "windowminimize " : "windowunmap ") +
             window_);
    ASSERT_TRUE(WaitFor([&] { return MapState(window_) != "IsViewable"; }, 10));
    ASSERT_TRUE(WaitFor([&] { return Traced("desktop minimised " + kTitle); }, 10)) << Trace();

    const pid_t second = Start(OSTREL_PROGRAM_PATH, env_, (dir_ / "second.trace").string());
    EXPECT_EQ(WaitForExit(second, 20), 0) << ReadAll(dir_ / "second.trace");
    const std::string secondTrace = ReadAll(dir_ / "second.trace");
    EXPECT_NE(secondTrace.find("foreign restore " + kTitle), std::string::npos) << secondTrace;
    EXPECT_EQ(secondTrace.find("shown "), std::string::npos) << "the second copy opened a window";
    ASSERT_TRUE(WaitFor([&] { return MapState(window_) == "IsViewable"; }, 10));
    EXPECT_TRUE(WaitFor([&] { return Traced("desktop restored " + kTitle); }, 10)) << Trace();
    if (windowManager_ > 0) {
        EXPECT_EQ(WmState(window_), "Normal");
    }
    EXPECT_EQ(WindowsTitled(kTitle).size(), 1u);
    PxImage screen;
    ASSERT_TRUE(Shoot("05-restored.png", screen));
    EXPECT_NE(ScreenPixel(screen, place_.x + 290, place_.y + 200), kBackdrop);
}

TEST_F(RealWindow, ARunningSiblingIsRestoredAndNamedInAMessageBox) {
    const std::string sibling = OpenTitledWindow("Vardle");
    ASSERT_FALSE(sibling.empty());
    ASSERT_TRUE(WaitFor([&] { return MapState(sibling) == "IsViewable"; }, 10));
    RunShell(std::string("xdotool ") + (windowManager_ > 0 ? "windowminimize " : "windowunmap ") +
             sibling);
    ASSERT_TRUE(WaitFor([&] { return MapState(sibling) != "IsViewable"; }, 10));

    first_ = Start(OSTREL_PROGRAM_PATH, env_, (dir_ / "first.trace").string());
    ASSERT_TRUE(WaitFor([&] { return Traced("message box \"" + kTitle + "\": "); }, 20)) << Trace();
    EXPECT_TRUE(Traced("message box \"" + kTitle + "\": It is not possible to start the " + kTitle +
                       " wizard because the Vardle wizard is already running."))
        << Trace();
    ASSERT_TRUE(WaitFor([&] { return MapState(sibling) == "IsViewable"; }, 10));
    PxImage screen;
    RunShell("sleep 0.5");
    ASSERT_TRUE(ScreenShot(Screen("06-sibling-box.png"), screen));
    Keys("Return");
    EXPECT_EQ(WaitForExit(first_, 10), 0) << Trace();
    first_ = -1;
    EXPECT_TRUE(Traced("message box answered 1")) << Trace();
    EXPECT_FALSE(Traced("shown " + kTitle)) << "the wizard opened its window beside a sibling";
}
