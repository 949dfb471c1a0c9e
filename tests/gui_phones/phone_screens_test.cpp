// Steps 5 and 6 in the real window with phones the desktop's own gvfs mounts
// (FTP servers on loopback in a session bus of the test's own): the phone
// connection line with no phone, one and two (the drop-down open), then a copy
// to the phone whose server dies mid-way. Screenshots go to OSTREL_GUI_SCREENS
// (20-step5-no-phone.png, 21-step5-one-phone.png, 22-step5-two-phones.png,
// 23-step6-unplugged.png).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <thread>

#include "app/globals.h"
#include "app/main_window/dlg_main.h"
#include "app/resources/wizard_resources.h"
#include "gui/desktop_tools.h"
#include "gui/jump_once_made.h"
#include "gui/sending_setup.h"
#include "phonelink/link_texts.h"
#include "phonelink/phone_link_server.h"
#include "phonelink_gio/desktop_session.h"
#include "platform/backends/x11/x11_backend.h"
#include "platform/registry/registry.h"
#include "platform/system/phone_places.h"
#include "stamp/stamp_globals.h"

namespace fs = std::filesystem;

namespace {

constexpr POINT kArrow{529, 244}, kDropDown{300, 244}, kSend{485, 375}, kPreviousFace{345, 364};
constexpr COLORREF kArrowColour = RGB(0x1F, 0x29, 0x37);

struct Seen {
    std::string problem;
    bool dropDownShown = false;
    bool outcomeShown = false;
};

class Driver {
public:
    Driver(const fs::path& dir, const std::string& screens, CWnd* wizard, Seen& seen)
        : dir_(dir), screens_(screens), wizard_(wizard), seen_(seen) {}

    void Run() {
        if (!WaitFor([] { return WindowsTitled("Ostrel").size() == 1; }, 20))
            return Fail("no wizard window");
        at_ = WindowGeometry(WindowsTitled("Ostrel").front());
        // Step 5 shown and still: its line says no phone is connected.
        if (!Settled()) return Fail("step 5 never settled");
        if (!Shoot("20-step5-no-phone.png", at_)) return Fail("no screenshot");
        const PxImage none = Now();
        fs::create_directories(dir_ / "first");
        desktop_test::FtpServer first((dir_ / "first").string());
        if (!first.Start() || !first.Mount()) return Fail("the first phone did not mount");
        if (!ChangedFrom(none) || !Settled()) return Fail("the line did not follow the plug");
        Shoot("21-step5-one-phone.png", at_);
        fs::create_directories(dir_ / "second");
        desktop_test::FtpServer second((dir_ / "second").string());
        if (!second.Start() || !second.Mount()) return Fail("the second phone did not mount");
        if (!WaitFor([&] { return Pixel(kArrow) == kArrowColour; }, 30))
            return Fail("no drop-down for two phones");
        seen_.dropDownShown = true;
        ClickAt(at_.x + kDropDown.x, at_.y + kDropDown.y);
        RunShell("sleep 1");  // the menu window maps and draws
        Shoot("22-step5-two-phones.png", Geometry{at_.x, at_.y, at_.width, at_.height + 40});
        Keys("Escape");
        second.Unmount();
        if (!WaitFor([&] { return Pixel(kArrow) != kArrowColour; }, 30))
            return Fail("the drop-down stayed after an unplug");
        Settled();
        ClickAt(at_.x + kSend.x, at_.y + kSend.y);
        // Mid-copy the phone goes away: its server dies.
        if (!WaitFor([&] { return Bar() > 0; }, 30)) return Fail("the copy did not start");
        first.Kill();
        if (!WaitFor([&] { return Pixel(kPreviousFace) == RGB(0xFF, 0xFF, 0xFF); }, 60) ||
            !Settled())
            return Fail("no outcome after the unplug");
        seen_.outcomeShown = true;
        Shoot("23-step6-unplugged.png", at_);
        PostMessage(wizard_, WM_WIZ_EXIT, 0, 0);
    }

private:
    void Fail(const std::string& what) {
        seen_.problem = what;
        PxImage last;
        ScreenShot(screens_ + "/screen-failure.png", last);
        PostMessage(wizard_, WM_WIZ_EXIT, 0, 0);
    }
    COLORREF Pixel(POINT at) {
        PxImage screen;
        ScreenShot(screens_ + "/screen-now.png", screen);
        return ScreenPixel(screen, at_.x + at.x, at_.y + at.y);
    }
    // Share of the bar's track in the bar's colour.
    int Bar() {
        PxImage screen;
        ScreenShot(screens_ + "/screen-now.png", screen);
        int filled = 0;
        for (int x = 92; x < 488; ++x)
            filled += ScreenPixel(screen, at_.x + x, at_.y + 238) == RGB(0x25, 0x63, 0xEB);
        return filled;
    }
    bool Settled() { return WaitUntilStill(at_, screens_ + "/screen-still.png", 20); }
    PxImage Now() {
        PxImage screen;
        ScreenShot(screens_ + "/screen-now.png", screen);
        return screen;
    }
    // Until the window looks other than in `before`.
    bool ChangedFrom(const PxImage& before, double seconds = 30) {
        return WaitFor(
            [&] {
                const PxImage now = Now();
                for (int y = 0; y < at_.height; y += 2)
                    for (int x = 0; x < at_.width; x += 2)
                        if (ScreenPixel(now, at_.x + x, at_.y + y) !=
                            ScreenPixel(before, at_.x + x, at_.y + y))
                            return true;
                return false;
            },
            seconds);
    }
    bool Shoot(const std::string& name, const Geometry& area) {
        PxImage screen;
        return ScreenShot(screens_ + "/screen-" + name, screen) &&
               CropTo(screens_ + "/screen-" + name, area, screens_ + "/" + name);
    }

    fs::path dir_;
    std::string screens_;
    CWnd* wizard_;
    Seen& seen_;
    Geometry at_;
};

}  // namespace

TEST(PhoneScreens, StepFiveWithNoneOneAndTwoPhonesAndStepSixAfterAnUnplug) {
    if (!std::getenv("DISPLAY") || !X11Backend::DisplayAvailable()) GTEST_SKIP() << "no display";
    std::string why = desktop_test::MissingTools();
    if (!why.empty() || !desktop_test::StartSessionBus(&why)) GTEST_SKIP() << why;
    setenv("OSTREL_TEST_PHONE_SCHEMES", "ftp", 1);
    // Drives the machine itself has mounted count too; the screens start from none.
    if (const auto found = ListPhonePlaces(); !found.empty())
        GTEST_SKIP() << "the machine has a drive mounted: " << found[0].uri;
    if (!fs::exists(fs::read_symlink("/proc/self/exe").parent_path() / "EN" / "Pennon.swf"))
        GTEST_SKIP() << "no movie next to the test";
    const fs::path dir =
        fs::temp_directory_path() / ("ostrel_gui_phones_" + std::to_string(getpid()));
    fs::remove_all(dir);
    const std::string screens = ScreensFolder(dir.string());
    // The runtime and cache folders stay the desktop's, where its daemons run.
    for (const auto& [name, value] : OwnHome(dir.string()))
        if (name != "XDG_RUNTIME_DIR" && name != "XDG_CACHE_HOME")
            setenv(name.c_str(), value.c_str(), 1);
    ASSERT_EQ(RunShell(OSTREL_SETUP_PATH " > /dev/null"), 0);
    SetChunkDelay(1500);

    RegisterWizardResources();
    RegisterPhoneLinkServer();
    g_texts = BuildTexts("EN");
    g_languageCode = "EN";
    g_stampName = "Sunset";
    g_pendingStampFile = (dir / "Sunset.png").string();
    WriteNoisyStamp(g_pendingStampFile, 5);

    const pid_t windowManager = StartWindowManager();
    Seen seen;
    {
        X11Backend backend;
        CDlgMain wizard;
        g_mainWnd = nullptr;
        JumpOnceMade(wizard, 4);
        std::thread driver([&] { Driver(dir, screens, &wizard, seen).Run(); });
        wizard.DoModal();
        driver.join();
    }
    Stop(windowManager);
    EXPECT_EQ(seen.problem, "");
    EXPECT_TRUE(seen.dropDownShown);
    EXPECT_TRUE(seen.outcomeShown);
    EXPECT_FALSE(fs::exists(dir / "first/Stamps/Sunset.png")) << "a stamp from a dead copy";
    g_pendingStampFile.clear();
    fs::remove_all(dir);
}
