// Step 4 in the real window when the stamp cannot be written (the installation
// folder is a regular file): moving on shows one message box over the wizard and
// the wizard stays on step 4. The screen goes to OSTREL_GUI_SCREENS as
// 11-step4-not-written.png.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/globals.h"
#include "app/main_window/dlg_main.h"
#include "app/resources/wizard_resources.h"
#include "gui/desktop_tools.h"
#include "gui/jump_once_made.h"
#include "platform/backends/x11/x11_backend.h"
#include "platform/registry/registry.h"
#include "stamp/stamp_globals.h"

namespace fs = std::filesystem;

namespace {

constexpr COLORREF kAccent = RGB(0x25, 0x63, 0xEB);

void SetInstallationPath(const std::string& path) {
    HKEY raw = nullptr;
    ASSERT_EQ(
        RegOpenKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Norvane\\Tessel 310-510\\Customization Wizards",
                     0, KEY_ALL_ACCESS, &raw),
        ERROR_SUCCESS);
    UniqueRegKey key(raw);
    ASSERT_EQ(RegSetValueEx(key.get(), "Installation Path", 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(path.c_str()),
                            static_cast<DWORD>(path.size() + 1)),
              ERROR_SUCCESS);
}

Geometry Around(const Geometry& a, const Geometry& b) {
    const int left = std::min(a.x, b.x), top = std::min(a.y, b.y);
    const int right = std::max(a.x + a.width, b.x + b.width);
    const int bottom = std::max(a.y + a.height, b.y + b.height);
    return Geometry{left, top, right - left, bottom - top};
}

struct Seen {
    std::string problem;
    bool stillOnStep4 = false;
    int windowsAfterAnswer = 0;
};

bool OnStep4(const PxImage& screen, const Geometry& at) {
    // The step marks: the fourth is the one in the accent colour.
    return ScreenPixel(screen, at.x + 383 + 28 * 3 + 2, at.y + 45) == kAccent;
}

void Drive(const std::string& screens, CWnd* wizard, Seen& seen) {
    const auto fail = [&](const std::string& what) {
        seen.problem = what;
        PxImage last;
        ScreenShot(screens + "/screen-failure.png", last);
        PostMessage(wizard, WM_WIZ_EXIT, 0, 0);
    };
    if (!WaitFor([] { return WindowsTitled("Ostrel").size() == 1; }, 20))
        return fail("no wizard window");
    const std::string window = WindowsTitled("Ostrel").front();
    RunShell("sleep 2");  // step 4 is shown and its movie has played in
    const Geometry at = WindowGeometry(window);
    // The movie's Next button; pressed again should a busy machine lose the press.
    bool boxShown = false;
    for (int press = 0; press < 3 && !boxShown; ++press) {
        ClickAt(at.x + 485, at.y + 375);
        boxShown = WaitFor([] { return WindowsTitled("Ostrel").size() == 2; }, 8);
    }
    if (!boxShown) return fail("no message box");
    std::string box;
    for (const std::string& w : WindowsTitled("Ostrel"))
        if (w != window) box = w;
    RunShell("sleep 1");
    PxImage screen;
    const std::string whole = screens + "/screen-11-step4-not-written.png";
    if (!ScreenShot(whole, screen) ||
        !CropTo(whole, Around(at, FramedGeometry(box)), screens + "/11-step4-not-written.png"))
        return fail("no screenshot of the message box");
    Keys("Return");
    if (!WaitFor([] { return WindowsTitled("Ostrel").size() == 1; }, 10))
        return fail("the message box stayed");
    RunShell("sleep 1");
    if (!ScreenShot(screens + "/screen-12-step4-after.png", screen))
        return fail("no screenshot after the box");
    seen.stillOnStep4 = OnStep4(screen, at);
    seen.windowsAfterAnswer = static_cast<int>(WindowsTitled("Ostrel").size());
    PostMessage(wizard, WM_WIZ_EXIT, 0, 0);
}

}  // namespace

TEST(StampNotWritten, Step4SaysWhyInABoxAndStays) {
    if (!std::getenv("DISPLAY") || !X11Backend::DisplayAvailable()) GTEST_SKIP() << "no display";
    if (!fs::exists(fs::read_symlink("/proc/self/exe").parent_path() / "EN" / "Pennon.swf"))
        GTEST_SKIP() << "no movie next to the test";
    const fs::path dir = fs::temp_directory_path() / ("ostrel_gui4_" + std::to_string(getpid()));
    fs::remove_all(dir);
    const std::string screens = ScreensFolder(dir.string());
    for (const auto& [name, value] : OwnHome(dir.string()))
        setenv(name.c_str(), value.c_str(), 1);
    ASSERT_EQ(RunShell(OSTREL_SETUP_PATH " > /dev/null"), 0);
    std::ofstream(dir / "blocker") << "a file where the installation folder should be";
    SetInstallationPath((dir / "blocker").string() + "/");

    RegisterWizardResources();
    g_texts = BuildTexts("EN");
    g_chosenPicturePath = (dir / "Sunset.png").string();
    g_stampName = "Sunset";
    g_pendingStampFile.clear();
    auto stamp = std::make_unique<PxImage>();
    ASSERT_TRUE(stamp->Create(32, 32, 24));
    for (LONG y = 0; y < 32; ++y)
        for (LONG x = 0; x < 32; ++x)
            stamp->SetPixelColor(
                x, y, RGBQUAD{static_cast<BYTE>(40 + 6 * y), static_cast<BYTE>(8 * x), 200, 0});
    g_previewPicture.image = std::move(stamp);

    const pid_t windowManager = StartWindowManager();
    Seen seen;
    {
        X11Backend backend;
        CDlgMain wizard;
        g_mainWnd = nullptr;
        JumpOnceMade(wizard, 3);
        std::thread driver([&] { Drive(screens, &wizard, seen); });
        wizard.DoModal();
        driver.join();
    }
    Stop(windowManager);
    EXPECT_EQ(seen.problem, "");
    EXPECT_TRUE(seen.stillOnStep4) << "the wizard went on from step 4 after a failed save";
    EXPECT_EQ(seen.windowsAfterAnswer, 1) << "more than one box";
    EXPECT_EQ(g_pendingStampFile, "");
    g_previewPicture.image.reset();
    fs::remove_all(dir);
}
