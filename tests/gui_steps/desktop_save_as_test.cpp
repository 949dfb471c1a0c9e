// Step 5's "Save a copy on this computer..." in the real window, run inside this
// test on the x11 back end, on a session bus of the test's own (dbus-run-session):
// the desktop portal's dialog, shown by the real portal and its GTK back end;
// then, with no bus at all, the GTK chooser of our own. Either way a name is
// typed, the copy is the stamp byte for byte and its folder is remembered.
// Screenshots go to OSTREL_GUI_SCREENS (23-step5-stamp.png, 24-portal-save-as.png,
// 25-own-save-as.png).
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
#include "app/settings/settings.h"
#include "gui/desktop_tools.h"
#include "gui/jump_once_made.h"
#include "phonelink/phone_link_server.h"
#include "platform/backends/x11/x11_backend.h"
#include "stamp/stamp_globals.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kCopyName = "copy-of-sunset.png";

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A sun on a transparent ground, so that step 5 shows the hatch around it.
void WriteSunStamp(const std::string& path) {
    PxImage stamp;
    ASSERT_TRUE(stamp.Create(32, 32, 8, PX_FORMAT_PNG));
    stamp.SetPaletteIndex(0, 255, 0, 255);
    for (int i = 1; i < 256; ++i)
        stamp.SetPaletteIndex(static_cast<BYTE>(i), 255, static_cast<BYTE>(i),
                              static_cast<BYTE>(i / 4));
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const int d2 = (x - 16) * (x - 16) + (y - 16) * (y - 16);
            stamp.SetPixelIndex(x, y, d2 < 196 ? static_cast<BYTE>(255 - d2) : 0);
        }
    stamp.SetTransIndex(0);
    ASSERT_TRUE(stamp.Save(path.c_str(), PX_FORMAT_PNG));
}

// The process that shows the window, as the window says.
long WindowPid(const std::string& window) {
    const std::string text = Capture("xprop -id " + window + " _NET_WM_PID 2>/dev/null");
    const auto at = text.find("= ");
    return at == std::string::npos ? 0 : std::atol(text.c_str() + at + 2);
}

// A window of that title on the screen, in `window`.
bool Showing(const std::string& title, std::string& window) {
    for (const std::string& w : WindowsTitled(title)) {
        if (MapState(w) != "IsViewable") continue;
        window = w;
        return true;
    }
    return false;
}

// The smallest area holding both.
Geometry Around(const Geometry& a, const Geometry& b) {
    const int left = std::min(a.x, b.x), top = std::min(a.y, b.y);
    const int right = std::max(a.x + a.width, b.x + b.width);
    const int bottom = std::max(a.y + a.height, b.y + b.height);
    return Geometry{left, top, right - left, bottom - top};
}

struct Seen {
    std::string problem;
    long dialogPid = 0;
    bool wizardRepainted = false;  // while the dialog was open
};

class DesktopSaveAs : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY") || !X11Backend::DisplayAvailable())
            GTEST_SKIP() << "no display";
        if (!fs::exists(fs::read_symlink("/proc/self/exe").parent_path() / "EN" / "Pennon.swf"))
            GTEST_SKIP() << "no movie next to the test";
        dir = fs::temp_directory_path() / ("ostrel_saveas_" + std::to_string(getpid()));
        fs::remove_all(dir);
        screens = ScreensFolder(dir.string());
        for (const auto& [name, value] : OwnHome(dir.string()))
            setenv(name.c_str(), value.c_str(), 1);
        ASSERT_EQ(RunShell(OSTREL_SETUP_PATH " > /dev/null"), 0);
        RegisterWizardResources();
        RegisterPhoneLinkServer();
        g_texts = BuildTexts("EN");
        g_stampName = "Sunset";
        g_pendingStampFile = (dir / "Sunset.png").string();
        WriteSunStamp(g_pendingStampFile);
        stampBytes = ReadBytes(g_pendingStampFile);
        folder = ReadRegString("PathStamp", nullptr, "\\Customization Wizards\\user");
        ASSERT_FALSE(folder.empty());
    }
    void TearDown() override {
        g_pendingStampFile.clear();
        if (!dir.empty()) fs::remove_all(dir);
    }

    // Step 5 in the real window; `stepFiveShot` and `dialogShot` name the
    // screenshots (the first may be empty).
    // Without a window manager: one started on this server beside the portal's
    // programs at times never mapped the wizard's window.
    Seen SaveACopy(const std::string& stepFiveShot, const std::string& dialogShot) {
        Seen seen;
        {
            X11Backend backend;
            CDlgMain wizard;
            g_mainWnd = nullptr;
            JumpOnceMade(wizard, 4);
            std::thread driver([&] { Drive(&wizard, stepFiveShot, dialogShot, seen); });
            wizard.DoModal();
            driver.join();
        }
        return seen;
    }

    // As a person would: the button, the dialog, a name and Return.
    void Drive(CWnd* wizard, const std::string& stepFiveShot, const std::string& dialogShot,
               Seen& seen) {
        const auto fail = [&](const std::string& what) {
            seen.problem = what;
            PxImage last;
            ScreenShot(screens + "/screen-failure.png", last);
            PostMessage(wizard, WM_WIZ_EXIT, 0, 0);
        };
        PxImage screen;
        const auto shot = [&](const std::string& name, const Geometry& area) {
            return ScreenShot(screens + "/screen-" + name, screen) &&
                   CropTo(screens + "/screen-" + name, area, screens + "/" + name);
        };
        std::string window;
        if (!WaitFor([&] { return Showing("Ostrel", window); }, 60))
            return fail("the wizard's window never showed");
        const Geometry at = WindowGeometry(window);
        if (!WaitUntilStill(at, (dir / "still.png").string(), 30))
            return fail("step 5 kept changing");
        if (!stepFiveShot.empty() && !shot(stepFiveShot, at)) return fail("no shot of step 5");

        ClickAt(at.x + 185, at.y + 287);  // "Save a copy on this computer..."
        std::string dialog;
        if (!WaitFor([&] { return Showing("Save As", dialog); }, 90))
            return fail("no Save-As dialog");
        seen.dialogPid = WindowPid(dialog);
        // Smaller than the desktop makes it on a large screen, so the shot shows
        // the wizard under it.
        RunShell("xdotool windowsize " + dialog + " 720 470 windowmove " + dialog + " " +
                 std::to_string(at.x + 160) + " " + std::to_string(at.y + 120));
        WaitFor([&] { return WindowGeometry(dialog).width == 720; }, 10);
        RunShell("xdotool mousemove 1270 1015");  // no tip of the dialog's in the shot
        const Geometry box = FramedGeometry(dialog);
        WaitUntilStill(box, (dir / "still.png").string(), 30);
        if (!shot(dialogShot, Around(at, box))) return fail("no shot of the dialog");
        // The sun's middle on step 5 (its rows were made bottom-up, so this one is
        // a step off the centre), which the dialog covered before it was moved.
        seen.wizardRepainted =
            ScreenPixel(screen, at.x + 78 + 64, at.y + 88 + 64) == RGB(255, 254, 63);
        TypeIntoWindow(dialog, kCopyName);
        const fs::path copy = fs::path(folder) / kCopyName;
        if (!WaitFor([&] { return ReadBytes(copy).size() == stampBytes.size(); }, 30))
            return fail("no copy written");
        PostMessage(wizard, WM_WIZ_EXIT, 0, 0);
    }

    // The copy is the stamp and its folder is proposed next time.
    void ExpectCopySaved() {
        EXPECT_TRUE(ReadBytes(fs::path(folder) / kCopyName) == stampBytes);
        const std::string remembered =
            ReadRegString("PathStamp", nullptr, "\\Customization Wizards\\user");
        EXPECT_EQ(fs::path(remembered), fs::path(folder) / "");
    }

    fs::path dir;
    std::string screens;
    std::string stampBytes;
    std::string folder;
};

}  // namespace

// The portal already runs, as on a desktop; its dialog is another program's.
TEST_F(DesktopSaveAs, ThePortalsDialogSavesTheCopy) {
    if (!std::getenv("DBUS_SESSION_BUS_ADDRESS")) GTEST_SKIP() << "no session bus";
    // The portal's services keep their caches (and the document portal its
    // mount) in a folder of their own, beside the test's home; it is left for
    // the bus's end to unmount.
    setenv("XDG_CACHE_HOME", (dir.string() + "-services").c_str(), 1);
    ASSERT_EQ(RunShell("dbus-update-activation-environment DISPLAY XAUTHORITY "
                       "XDG_CURRENT_DESKTOP XDG_CACHE_HOME"),
              0);
    for (const char* name :
         {"org.freedesktop.portal.Desktop", "org.freedesktop.impl.portal.desktop.gtk"})
        ASSERT_EQ(RunShell(std::string("dbus-send --session --print-reply=literal "
                                       "--reply-timeout=90000 --dest=org.freedesktop.DBus "
                                       "/org/freedesktop/DBus "
                                       "org.freedesktop.DBus.StartServiceByName string:") +
                           name + " uint32:0 > /dev/null"),
                  0)
            << "the portal " << name << " cannot be started";
    const Seen seen = SaveACopy("23-step5-stamp.png", "24-portal-save-as.png");
    EXPECT_EQ(seen.problem, "");
    EXPECT_NE(seen.dialogPid, 0);
    EXPECT_NE(seen.dialogPid, getpid()) << "the dialog was not the portal's";
    EXPECT_TRUE(seen.wizardRepainted);
    ExpectCopySaved();
}

TEST_F(DesktopSaveAs, WithoutABusOurOwnChooserSavesTheCopy) {
    unsetenv("DBUS_SESSION_BUS_ADDRESS");  // and the runtime folder has no bus either
    const Seen seen = SaveACopy("", "25-own-save-as.png");
    EXPECT_EQ(seen.problem, "");
    EXPECT_EQ(seen.dialogPid, getpid());
    EXPECT_TRUE(seen.wizardRepainted);
    ExpectCopySaved();
}
