// The wizard in a real window on a virtual X server: its title, its shape on the
// screen, the movie's Next button, the menu corner, "Reduce", a second start
// bringing the first window back, the menu, About box and message box in the
// wizard's look, and the window at scale 2. Screenshots go to OSTREL_GUI_SCREENS.
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
#include "platform/window/cursor.h"

namespace fs = std::filesystem;

namespace {

// The screen's own colour: whatever shows it inside the window's box lies outside
// the window's shape.
constexpr COLORREF kBackdrop = RGB(0, 255, 0);
const std::string kTitle = "Ostrel";
// The wizard's look: page, rows of menus, and the title strip's darkest blue.
constexpr COLORREF kPage = RGB(0xF4, 0xF6, 0xFA);
constexpr COLORREF kWhite = RGB(255, 255, 255);

bool IsStripBlue(COLORREF c) {
    return GetBValue(c) > 140 && GetRValue(c) < 60 && GetGValue(c) < 130;
}

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
        if (!std::getenv("OSTREL_GUI_NO_WM")) windowManager_ = StartWindowManager();
        ShowBackdrop(0, 255, 0);
    }
    static void TearDownTestSuite() { Stop(windowManager_); }

    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("ostrel_gui_" + std::to_string(getpid()));
        fs::remove_all(dir_);
        screens_ = ScreensFolder((dir_ / "screens").string());
        env_ = OwnHome(dir_.string());
        env_["OSTREL_BACKEND"] = "x11";
        env_["OSTREL_TRACE"] = "1";
        ASSERT_EQ(RunShellWith(env_, OSTREL_SETUP_PATH " > /dev/null"), 0);
    }
    void TearDown() override {
        Stop(first_);
        fs::remove_all(dir_);
    }

    // Starts the wizard and waits for its window.
    void StartFirst(const std::vector<std::string>& args = {}) {
        first_ = Start(OSTREL_PROGRAM_PATH, env_, (dir_ / "first.trace").string(), args);
        ASSERT_TRUE(WaitFor([&] { return Traced("shown " + kTitle); }, 20)) << Trace();
        ASSERT_TRUE(WaitFor([&] { return WindowsTitled(kTitle).size() == 1; }, 10))
            << Capture("xwininfo -root -tree | grep -i ostrel");
        window_ = WindowsTitled(kTitle).front();
        ASSERT_TRUE(WaitFor([&] { return MapState(window_) == "IsViewable"; }, 10));
        place_ = WindowGeometry(window_);
    }
    std::string Trace() const { return ReadAll(dir_ / "first.trace"); }
    bool Traced(const std::string& line) const {
        return Trace().find("ostrel-trace: " + line) != std::string::npos;
    }
    std::string Screen(const std::string& name) const { return screens_ + "/" + name; }
    // Waits until the window shows the same in three screenshots in a row: the
    // page has played in and whatever it draws by itself is drawn.
    bool Settled() { return WaitUntilStill(place_, (dir_ / "still.png").string(), 30); }
    // A screenshot of the whole screen and of the window's place on it.
    bool Shoot(const std::string& name, PxImage& screen) {
        RunShell("sleep 0.3");  // let the server finish drawing
        return ScreenShot(Screen("screen-" + name), screen) &&
               CropTo(Screen("screen-" + name), place_, Screen(name));
    }
    // A press at (x, y) on the top strip moved 150 x 80 in five steps takes the
    // window along.
    void ExpectTheStripDragsTheWindow(int x, int y) {
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
    ASSERT_TRUE(Settled());  // the movie's first frames
    ASSERT_TRUE(Shoot("01-step1.png", before));
    ClickAt(place_.x + 485, place_.y + 375);
    ASSERT_TRUE(WaitFor([&] { return Traced("step 2"); }, 10)) << Trace();
    ASSERT_TRUE(Settled());
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
    ASSERT_TRUE(Settled());
    ClickAt(place_.x + 485, place_.y + 375);
    ASSERT_TRUE(WaitFor([&] { return Traced("step 2"); }, 10)) << Trace();
    ASSERT_TRUE(Settled());  // the thumbnails
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

// After a start with a picture, Enter alone takes its stamp from the editor to the
// phone, also once the pages behind the editor have all been made.
TEST_F(RealWindow, AGivenPictureReachesThePhoneByEnterAlone) {
    if (!MovieInstalled()) GTEST_SKIP() << "no movie (EN/Pennon.swf) next to the program yet";
    StartFirst({OSTREL_DEMO_PICTURES "/Balloon.bmp"});
    // The keyboard goes where the desktop puts it: to the new window.
    RunShell("xdotool windowactivate --sync " + window_ + " 2>/dev/null");
    ASSERT_TRUE(WaitFor([&] { return Traced("step 3") && Traced("all pages made"); }, 30))
        << Trace();
    for (const char* step : {"step 4", "step 5", "step 6"}) {
        Keys("Return");
        ASSERT_TRUE(WaitFor([&] { return Traced(step); }, 10)) << step << "\n" << Trace();
    }
    const fs::path sent = dir_ / "data/norvane/phone/Stamps/Balloon.png";
    ASSERT_TRUE(WaitFor([&] { return fs::exists(sent); }, 20)) << Trace();
    PxImage stamp;
    EXPECT_TRUE(WaitFor([&] { return stamp.Load(sent.c_str(), PX_FORMAT_PNG, true); }, 5));
    EXPECT_EQ(stamp.GetWidth(), 32u);
}

// Names that wrap to two lines: the list draws its labels and icons inside its
// frame only, on the first fill and after scrolling, and cuts them at two lines.
TEST_F(RealWindow, TheListOfLongNamesStaysInsideItsFrame) {
    if (!MovieInstalled()) GTEST_SKIP() << "no movie (EN/Pennon.swf) next to the program yet";
    const fs::path pictures = dir_ / "long names";
    fs::create_directories(pictures);
    for (int i = 0; i < 7; ++i) {
        PxImage picture;
        ASSERT_TRUE(picture.Create(64, 64, 24, PX_FORMAT_PNG));
        for (LONG y = 0; y < 64; ++y)
            for (LONG x = 0; x < 64; ++x)
                picture.SetPixelColor(x, y, RGB(40 * i, 200 - 20 * i, 90));
        const std::string name = "summer_holiday_" + std::to_string(i) + "_at_the_sea_side.png";
        ASSERT_TRUE(picture.Save((pictures / name).c_str(), PX_FORMAT_PNG));
    }
    setenv("OSTREL_REGISTRY", env_["OSTREL_REGISTRY"].c_str(), 1);
    ASSERT_TRUE(WriteRegString("BrowseStamp", pictures.string(), "\\Customization Wizards\\user"));
    unsetenv("OSTREL_REGISTRY");
    StartFirst();
    ASSERT_TRUE(WaitFor([&] { return Traced("step 1"); }, 10));
    ASSERT_TRUE(Settled());
    ClickAt(place_.x + 485, place_.y + 375);
    ASSERT_TRUE(WaitFor([&] { return Traced("step 2"); }, 10)) << Trace();
    ASSERT_TRUE(Settled());  // the thumbnails
    // Below the list's frame (its bottom border is row 330) lies the bare page.
    const auto drawnBelow = [&](const PxImage& screen) {
        int drawn = 0;
        for (int y = 332; y < 352; ++y)
            for (int x = 303; x < 552; ++x)
                drawn += ScreenPixel(screen, place_.x + x, place_.y + y) != kPage;
        return drawn;
    };
    PxImage screen;
    ASSERT_TRUE(Shoot("16-browser-long-names.png", screen));
    EXPECT_EQ(drawnBelow(screen), 0) << "the first fill drew below the list";
    EXPECT_NE(ScreenPixel(screen, place_.x + 345, place_.y + 175), kWhite) << "no thumbnail";
    RunShell("xdotool mousemove " + std::to_string(place_.x + 420) + " " +
             std::to_string(place_.y + 250) + " click 5 sleep 0.3 click 5 sleep 0.3");
    ASSERT_TRUE(Shoot("17-browser-long-names-scrolled.png", screen));
    EXPECT_EQ(drawnBelow(screen), 0) << "scrolling drew below the list";
}

// A 24 megapixel picture given on the command line is read under the busy cursor,
// the arrow comes back before step 3 shows it.
TEST_F(RealWindow, ALargePictureOpensUnderTheBusyCursor) {
    if (!MovieInstalled()) GTEST_SKIP() << "no movie (EN/Pennon.swf) next to the program yet";
    const fs::path large = dir_ / "Large.jpg";
    {
        PxImage photo;
        ASSERT_TRUE(photo.Create(6000, 4000, 24, PX_FORMAT_JPG));
        for (LONG y = 0; y < 4000; ++y)
            for (LONG x = 0; x < 6000; ++x)
                photo.SetPixelColor(x, y, RGB(x / 24, y / 16, (x + y) / 40));
        ASSERT_TRUE(photo.Save(large.c_str(), PX_FORMAT_JPG));
    }
    first_ = Start(OSTREL_PROGRAM_PATH, env_, (dir_ / "first.trace").string(), {large.string()});
    ASSERT_TRUE(WaitFor([&] { return Traced("step 3"); }, 30)) << Trace();
    const std::string trace = Trace();
    const auto busy = trace.find("ostrel-trace: cursor " + std::to_string(IDC_WAIT));
    const auto arrow = trace.find("ostrel-trace: cursor " + std::to_string(IDC_ARROW), busy);
    ASSERT_NE(busy, std::string::npos) << trace;
    ASSERT_NE(arrow, std::string::npos) << trace;
    EXPECT_LT(arrow, trace.find("ostrel-trace: step 3")) << trace;
    window_ = WindowsTitled(kTitle).front();
    place_ = WindowGeometry(window_);
    ASSERT_TRUE(Settled());
    PxImage screen;
    ASSERT_TRUE(Shoot("15-large-step3.png", screen));
    // The editor's box shows the picture: not the black it is cleared with.
    EXPECT_NE(ScreenPixel(screen, place_.x + 53, place_.y + 170), RGB(0, 0, 0));
}

TEST_F(RealWindow, TheTopStripDragsTheWindow) {
    if (!MovieInstalled())
        GTEST_SKIP() << "no movie (EN/Pennon.swf): the top strip belongs to the movie's player";
    StartFirst();
    ExpectTheStripDragsTheWindow(place_.x + 100, place_.y + 10);
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

TEST_F(RealWindow, MenuAndAboutBoxAreDrawnInTheWizardsLook) {
    if (!MovieInstalled())
        GTEST_SKIP() << "no movie (EN/Pennon.swf): the menu corner belongs to the movie's player";
    ASSERT_NO_FATAL_FAILURE(StartFirst());
    ClickAt(place_.x + 10, place_.y + 10);
    ASSERT_TRUE(WaitFor([&] { return Traced("menu at "); }, 10)) << Trace();
    PxImage screen;
    ASSERT_TRUE(Shoot("07-menu-look.png", screen));
    // White rows in a thin frame hanging from the corner.
    EXPECT_EQ(ScreenPixel(screen, place_.x + 10 + 100, place_.y + 25 + 17), kWhite);
    EXPECT_EQ(ScreenPixel(screen, place_.x + 10 + 100, place_.y + 25 + 43), kWhite);
    Keys("Down");
    RunShell("sleep 0.3");
    ASSERT_TRUE(Shoot("08-menu-chosen.png", screen));
    EXPECT_EQ(ScreenPixel(screen, place_.x + 10 + 100, place_.y + 25 + 17), RGB(0x25, 0x63, 0xEB));
    Keys("Return");  // "About"
    const std::string title = "About Ostrel wizard";
    ASSERT_TRUE(WaitFor([&] { return Traced("shown " + title); }, 10)) << Trace();
    ASSERT_TRUE(WaitFor([&] { return WindowsTitled(title).size() == 1; }, 10));
    const std::string about = WindowsTitled(title).front();
    ASSERT_TRUE(WaitFor([&] { return MapState(about) == "IsViewable"; }, 10));
    const Geometry box = WindowGeometry(about);
    EXPECT_EQ(box.width, 364);
    EXPECT_EQ(box.height, 118 + 26);  // the wizard's title strip above the dialog
    // No frame of the desktop's: nothing to minimise, maximise or resize it with.
    EXPECT_NE(Capture("xprop -id " + about + " _MOTIF_WM_HINTS").find("= 0x3, 0x13, 0x0"),
              std::string::npos);
    ASSERT_TRUE(ScreenShot(Screen("screen-09-about.png"), screen));
    ASSERT_TRUE(CropTo(Screen("screen-09-about.png"), box, Screen("09-about.png")));
    EXPECT_TRUE(IsStripBlue(ScreenPixel(screen, box.x + 60, box.y + 20)));
    EXPECT_EQ(ScreenPixel(screen, box.x + 200, box.y + 26 + 60), kPage);
    Keys("Escape");
    EXPECT_TRUE(WaitFor([&] { return WindowsTitled(title).empty(); }, 10));
}

TEST_F(RealWindow, AtScaleTwoEveryPixelIsASquareAndClicksMapBack) {
    env_["OSTREL_SCALE"] = "2";
    ASSERT_NO_FATAL_FAILURE(StartFirst());
    EXPECT_TRUE(Traced("display scale 2"));
    EXPECT_NE(Trace().find("size 580x411"), std::string::npos) << Trace();
    EXPECT_EQ(place_.width, 1160);
    EXPECT_EQ(place_.height, 822);
    ASSERT_TRUE(Settled());
    PxImage screen;
    ASSERT_TRUE(Shoot("10-scale2.png", screen));
    RegisterWizardResources();
    HRGN outline = BuildMainWindowOutline();
    int wrong = 0;
    for (int y = 0; y < 822; ++y) {
        for (int x = 0; x < 1160; ++x) {
            const bool inShape = PtInRegion(outline, x / 2, y / 2);
            const bool backdrop = ScreenPixel(screen, place_.x + x, place_.y + y) == kBackdrop;
            if (inShape == backdrop) ++wrong;
        }
    }
    DeleteObject(outline);
    EXPECT_EQ(wrong, 0) << "pixels where the screen disagrees with the doubled outline";
    // Each of the window's pixels is a square of four equal screen pixels.
    int unequal = 0;
    for (int y = 0; y < 822; y += 2) {
        for (int x = 0; x < 1160; x += 2) {
            const COLORREF c = ScreenPixel(screen, place_.x + x, place_.y + y);
            unequal += c != ScreenPixel(screen, place_.x + x + 1, place_.y + y + 1);
        }
    }
    EXPECT_LT(unequal, 200) << "only what changed between the reads may differ";
    if (!MovieInstalled()) return;
    ClickAt(place_.x + 2 * 485, place_.y + 2 * 375);  // the movie's Next button
    EXPECT_TRUE(WaitFor([&] { return Traced("step 2"); }, 10)) << Trace();
    ASSERT_TRUE(Settled());
    ASSERT_TRUE(Shoot("11-scale2-step2.png", screen));
    ClickAt(place_.x + 2 * 10, place_.y + 2 * 10);
    const Geometry at = place_;
    EXPECT_TRUE(WaitFor(
        [&] {
            return Traced("menu at " + std::to_string(at.x / 2 + 10) + "," +
                          std::to_string(at.y / 2 + 25));
        },
        10))
        << Trace();
    place_.height += 120;
    ASSERT_TRUE(Shoot("12-scale2-menu.png", screen));
    Keys("Down Return");  // the About box, doubled with its strip
    const std::string title = "About Ostrel wizard";
    ASSERT_TRUE(WaitFor([&] { return WindowsTitled(title).size() == 1; }, 10)) << Trace();
    const std::string about = WindowsTitled(title).front();
    ASSERT_TRUE(WaitFor([&] { return MapState(about) == "IsViewable"; }, 10));
    const Geometry box = WindowGeometry(about);
    EXPECT_EQ(box.width, 2 * 364);
    EXPECT_EQ(box.height, 2 * (118 + 26));
    RunShell("sleep 0.3");
    ASSERT_TRUE(ScreenShot(Screen("screen-13-scale2-about.png"), screen));
    ASSERT_TRUE(CropTo(Screen("screen-13-scale2-about.png"), box, Screen("13-scale2-about.png")));
    Keys("Escape");
    ASSERT_TRUE(WaitFor([&] { return WindowsTitled(title).empty(); }, 10));

    // The top strip drags the doubled window along with the pointer.
    place_ = at;
    ExpectTheStripDragsTheWindow(place_.x + 200, place_.y + 20);
}

// Last: the sibling's window stays open and would keep later starts from opening.
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
    ASSERT_TRUE(ScreenShot(Screen("screen-06-sibling-box.png"), screen));
    // The box in the wizard's look: its title strip over the page colour.
    const auto boxes = WindowsTitled(kTitle);
    ASSERT_EQ(boxes.size(), 1u);
    const Geometry box = WindowGeometry(boxes.front());
    ASSERT_TRUE(CropTo(Screen("screen-06-sibling-box.png"), box, Screen("06-sibling-box.png")));
    EXPECT_TRUE(IsStripBlue(ScreenPixel(screen, box.x + 40, box.y + 20)));
    EXPECT_EQ(ScreenPixel(screen, box.x + 4, box.y + 26 + 4), kPage);
    Keys("Return");
    EXPECT_EQ(WaitForExit(first_, 10), 0) << Trace();
    first_ = -1;
    EXPECT_TRUE(Traced("message box answered 1")) << Trace();
    EXPECT_FALSE(Traced("shown " + kTitle)) << "the wizard opened its window beside a sibling";

    // Again at scale 2: the box is drawn twice as large, and its OK still answers.
    env_["OSTREL_SCALE"] = "2";
    first_ = Start(OSTREL_PROGRAM_PATH, env_, (dir_ / "first.trace").string());
    ASSERT_TRUE(WaitFor([&] { return WindowsTitled(kTitle).size() == 1; }, 20)) << Trace();
    const std::string doubled = WindowsTitled(kTitle).front();
    ASSERT_TRUE(WaitFor([&] { return MapState(doubled) == "IsViewable"; }, 10));
    const Geometry big = WindowGeometry(doubled);
    // Its text is drawn at twice the size, not blown up: its measure may differ a little.
    EXPECT_NEAR(big.width, 2 * box.width, box.width / 10);
    EXPECT_NEAR(big.height, 2 * box.height, box.height / 10);
    RunShell("sleep 0.5");
    ASSERT_TRUE(ScreenShot(Screen("screen-14-scale2-box.png"), screen));
    ASSERT_TRUE(CropTo(Screen("screen-14-scale2-box.png"), big, Screen("14-scale2-box.png")));
    ClickAt(big.x + big.width - 2 * 20 - 2 * 45, big.y + big.height - 2 * 12 - 2 * 15);
    EXPECT_EQ(WaitForExit(first_, 10), 0) << Trace();
    first_ = -1;
}
