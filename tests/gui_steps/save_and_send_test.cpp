// Steps 5 and 6 in the real window, run inside this test on the x11 back end with
// a stamp of the test's own: the desktop's Save-As dialog saves a copy, then the
// stamp goes to the phone's storage while the bar moves and the window can be
// dragged but the pages take no clicks; the transfer picture shows the stamp
// going to the phone. Screenshots go to OSTREL_GUI_SCREENS
// (07-step5.png, 08-save-as.png, 09-sending.png, 10-sent.png).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "app/globals.h"
#include "app/main_window/dlg_main.h"
#include "app/resources/wizard_resources.h"
#include "gui/desktop_tools.h"
#include "gui/jump_once_made.h"
#include "gui/sending_setup.h"
#include "phonelink/phone_link_server.h"
#include "platform/backends/x11/x11_backend.h"
#include "platform/registry/registry.h"
#include "stamp/stamp_globals.h"

namespace fs = std::filesystem;

namespace {

constexpr COLORREF kBarColour = RGB(0x25, 0x63, 0xEB);

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Share of the bar's track filled with the bar's colour, in the window at `place`.
double BarFilled(const PxImage& screen, const Geometry& place) {
    int filled = 0;
    for (int x = 92; x < 488; ++x)
        filled += ScreenPixel(screen, place.x + x, place.y + 238) == kBarColour;
    return filled / 396.0;
}

// Where on the row through the transfer picture's middle `colour` first covers
// four pixels in a row (window x; thin outlines do not count), or -1.
int FirstAcross(const PxImage& screen, const Geometry& place, COLORREF colour) {
    int run = 0;
    for (int x = 60; x < 520; ++x) {
        run = ScreenPixel(screen, place.x + x, place.y + 146) == colour ? run + 1 : 0;
        if (run == 4) return x - 3;
    }
    return -1;
}

struct Seen {
    std::string problem;  // what went wrong in the driving thread
    Geometry before, afterDrag;
    double barWhileSending = -1;
    int stampAt = -1, arrowAt = -1, phoneAt = -1;  // across the transfer picture
    bool copySaved = false;
    bool stillOnStep6 = false;
};

// Drives the desktop from outside, as a person would, while the wizard runs on
// the test's main thread.
void Drive(const fs::path& dir, const std::string& screens, CWnd* wizard, Seen& seen) {
    const auto shot = [&](const std::string& name, const Geometry& area, PxImage& screen) {
        RunShell("sleep 0.3");
        return ScreenShot(screens + "/screen-" + name, screen) &&
               CropTo(screens + "/screen-" + name, area, screens + "/" + name);
    };
    const auto fail = [&](const std::string& what) {
        seen.problem = what;
        PxImage last;
        ScreenShot(screens + "/screen-failure.png", last);
        PostMessage(wizard, WM_WIZ_EXIT, 0, 0);
    };
    if (!WaitFor([] { return WindowsTitled("Ostrel").size() == 1; }, 20))
        return fail("no wizard window");
    const std::string window = WindowsTitled("Ostrel").front();
    // Step 5 is shown and its movie has played in: on a busy machine the window
    // may take seconds to map.
    if (!WaitFor([&] { return MapState(window) == "IsViewable"; }, 30))
        return fail("the wizard window never showed");
    WaitUntilStill(WindowGeometry(window), screens + "/screen-still.png", 20);
    seen.before = WindowGeometry(window);
    const Geometry& at = seen.before;
    PxImage screen;
    if (!shot("07-step5.png", at, screen)) return fail("no screenshot of step 5");

    ClickAt(at.x + 185, at.y + 287);  // the movie's "save on the computer" button
    // The desktop's dialog can take long to come up the first time on a busy machine.
    if (!WaitFor([] { return !WindowsTitled("Save As").empty(); }, 60))
        return fail("no Save-As dialog");
    const std::string dialog = WindowsTitled("Save As").front();
    RunShell("sleep 1.5");
    if (!shot("08-save-as.png", FramedGeometry(dialog), screen)) return fail("no dialog shot");
    TypeIntoWindow(dialog, "copy-of-sunset.png");
    seen.copySaved = WaitFor([&] { return fs::exists(dir / "Pictures/copy-of-sunset.png"); }, 10);
    RunShell("sleep 1");

    ClickAt(at.x + 485, at.y + 375);  // Send: step 6 and the transfer
    RunShell("sleep 1.2");
    if (!shot("09-sending.png", at, screen)) return fail("no screenshot while sending");
    seen.barWhileSending = BarFilled(screen, at);
    seen.stampAt = FirstAcross(screen, at, RGB(0xF5, 0x9E, 0x0B));
    seen.arrowAt = FirstAcross(screen, at, kBarColour);
    seen.phoneAt = FirstAcross(screen, at, RGB(0x1F, 0x29, 0x37));
    // A press on "Previous" is ignored while the copy runs; the title strip drags.
    ClickAt(at.x + 385, at.y + 375);
    RunShell("xdotool mousemove " + std::to_string(at.x + 100) + " " + std::to_string(at.y + 10) +
             " mousedown 1 sleep 0.3 mousemove " + std::to_string(at.x + 140) + " " +
             std::to_string(at.y + 30) + " sleep 0.3 mouseup 1");
    WaitFor([&] { return WindowGeometry(window).x != at.x; }, 3);
    seen.afterDrag = WindowGeometry(window);
    if (!WaitFor([&] { return fs::exists(dir / "data/norvane/phone/Stamps/Sunset.png"); }, 20))
        return fail("the stamp never reached the phone");
    RunShell("sleep 1");
    if (!shot("10-sent.png", seen.afterDrag, screen)) return fail("no screenshot of the outcome");
    // The step marks: the sixth is the one in the accent colour.
    seen.stillOnStep6 = ScreenPixel(screen, seen.afterDrag.x + 383 + 28 * 5 + 2,
                                    seen.afterDrag.y + 45) == kBarColour;
    PostMessage(wizard, WM_WIZ_EXIT, 0, 0);
}

}  // namespace

TEST(SaveAndSend, TheDesktopsSaveAsThenTheTransferWithAMovingBar) {
    if (!std::getenv("DISPLAY") || !X11Backend::DisplayAvailable()) GTEST_SKIP() << "no display";
    // The pages load their movie from beside the running program: this test.
    if (!fs::exists(fs::read_symlink("/proc/self/exe").parent_path() / "EN" / "Pennon.swf"))
        GTEST_SKIP() << "no movie next to the test";
    const fs::path dir = fs::temp_directory_path() / ("ostrel_gui56_" + std::to_string(getpid()));
    fs::remove_all(dir);
    const std::string screens = ScreensFolder(dir.string());
    for (const auto& [name, value] : OwnHome(dir.string()))
        setenv(name.c_str(), value.c_str(), 1);
    ASSERT_EQ(RunShell(OSTREL_SETUP_PATH " > /dev/null"), 0);
    SetChunkDelay(400);

    RegisterWizardResources();
    RegisterPhoneLinkServer();
    g_texts = BuildTexts("EN");
    g_stampName = "Sunset";
    g_pendingStampFile = (dir / "Sunset.png").string();
    WriteNoisyStamp(g_pendingStampFile);
    const std::string stampBytes = ReadBytes(g_pendingStampFile);
    ASSERT_GT(stampBytes.size(), 1000u);

    const pid_t windowManager = StartWindowManager();
    Seen seen;
    {
        X11Backend backend;
        CDlgMain wizard;
        g_mainWnd = nullptr;
        JumpOnceMade(wizard, 4);
        std::thread driver([&] {
            // Starts once the wizard's window exists.
            Drive(dir, screens, &wizard, seen);
        });
        wizard.DoModal();
        driver.join();
    }
    Stop(windowManager);
    EXPECT_EQ(seen.problem, "");
    EXPECT_TRUE(seen.copySaved);
    EXPECT_TRUE(ReadBytes(dir / "Pictures/copy-of-sunset.png") == stampBytes);
    EXPECT_TRUE(ReadBytes(dir / "data/norvane/phone/Stamps/Sunset.png") == stampBytes);
    EXPECT_GT(seen.barWhileSending, 0.0) << "the bar had not started";
    EXPECT_LT(seen.barWhileSending, 1.0) << "the bar was already full";
    EXPECT_TRUE(seen.stillOnStep6) << "a click reached a page during the transfer";
    // The picture reads from the computer to the phone: stamp, arrow, phone.
    EXPECT_GT(seen.stampAt, 0);
    EXPECT_LT(seen.stampAt, seen.arrowAt);
    EXPECT_LT(seen.arrowAt, seen.phoneAt);
    EXPECT_EQ(seen.afterDrag.x, seen.before.x + 40);
    EXPECT_EQ(seen.afterDrag.y, seen.before.y + 20);
    g_pendingStampFile.clear();
    fs::remove_all(dir);
}
