// The real program in the real window, closed while a slow copy to the phone runs:
// Previous shows disabled during the copy, the close button ends the process at
// once, and the phone keeps the stamp it had, with nothing of the new one. The
// screenshot goes to OSTREL_GUI_SCREENS (11-sending-previous-disabled.png).
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "gui/desktop_tools.h"
#include "gui/sending_setup.h"
#include "imaging/px_image.h"
#include "platform/registry/registry.h"

namespace fs = std::filesystem;

namespace {

constexpr POINT kNext{485, 375}, kClose{560, 14}, kPreviousFace{345, 364};

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A picture of many colours, so its stamp takes many of the link's chunks.
void WritePicture(const fs::path& path, unsigned seed) {
    PxImage picture;
    ASSERT_TRUE(picture.Create(64, 64, 24, PX_FORMAT_PNG));
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            seed = seed * 1103515245u + 12345u;
            picture.SetPixelColor(
                x, y,
                RGBQUAD{static_cast<BYTE>(seed >> 16), static_cast<BYTE>(seed >> 8),
                        static_cast<BYTE>(seed >> 24), 0});
        }
    ASSERT_TRUE(picture.Save(path.c_str(), PX_FORMAT_PNG));
}

std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
}

}  // namespace

TEST(CloseWhileSending, TheCloseButtonEndsTheProgramAtOnceAndTheOldStampStays) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display";
    const fs::path dir =
        fs::temp_directory_path() / ("ostrel_gui_close_" + std::to_string(getpid()));
    fs::remove_all(dir);
    const std::string screens = ScreensFolder((dir / "screens").string());
    auto env = OwnHome(dir.string());
    env["OSTREL_BACKEND"] = "x11";
    env["OSTREL_TRACE"] = "1";
    ASSERT_EQ(RunShellWith(env, OSTREL_SETUP_PATH " > /dev/null"), 0);
    setenv("OSTREL_REGISTRY", env["OSTREL_REGISTRY"].c_str(), 1);
    SetChunkDelay(2000);
    const fs::path stamps = dir / "data/norvane/phone/Stamps";
    fs::create_directories(stamps);
    WritePicture(stamps / "Sunset.png", 3);  // the phone's old stamp, by that name
    const std::string old = ReadBytes(stamps / "Sunset.png");
    WritePicture(dir / "Sunset.png", 7);

    const pid_t wizard =
        Start(OSTREL_PROGRAM_PATH, env, (dir / "trace").string(), {(dir / "Sunset.png").string()});
    const auto traced = [&](const std::string& line) {
        return ReadBytes(dir / "trace").find("ostrel-trace: " + line) != std::string::npos;
    };
    ASSERT_TRUE(
        WaitFor([&] { return traced("step 3") && WindowsTitled("Ostrel").size() == 1; }, 30))
        << ReadBytes(dir / "trace");
    const std::string window = WindowsTitled("Ostrel").front();
    ASSERT_TRUE(WaitFor([&] { return MapState(window) == "IsViewable"; }, 10));
    const Geometry at = WindowGeometry(window);
    // Each step's movie plays in before its Next takes a click.
    for (const char* step : {"step 4", "step 5", "step 6"}) {
        WaitUntilStill(at, screens + "/screen-still.png", 20);
        ClickAt(at.x + kNext.x, at.y + kNext.y);
        ASSERT_TRUE(WaitFor([&] { return traced(step); }, 20)) << step << ReadBytes(dir / "trace");
    }
    // The copy runs once its partial file is on the phone.
    ASSERT_TRUE(WaitFor([&] { return Names(stamps).size() == 2; }, 20));
    PxImage screen;
    RunShell("sleep 0.3");  // let the server finish drawing
    ASSERT_TRUE(ScreenShot(screens + "/screen-11.png", screen));
    CropTo(screens + "/screen-11.png", at, screens + "/11-sending-previous-disabled.png");
    EXPECT_EQ(ScreenPixel(screen, at.x + kPreviousFace.x, at.y + kPreviousFace.y),
              RGB(0xD5, 0xDB, 0xE5))
        << "Previous is not shown disabled";

    const auto clicked = std::chrono::steady_clock::now();
    ClickAt(at.x + kClose.x, at.y + kClose.y);
    const int code = WaitForExit(wizard, 5);
    const auto took = std::chrono::steady_clock::now() - clicked;
    EXPECT_EQ(code, 0);
    EXPECT_LT(took, std::chrono::seconds(1));
    RecordProperty(
        "closed_in_ms",
        static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));
    if (code < 0) Stop(wizard);
    EXPECT_EQ(Names(stamps), std::vector<std::string>{"Sunset.png"});
    EXPECT_TRUE(ReadBytes(stamps / "Sunset.png") == old) << "the old stamp changed";
    unsetenv("OSTREL_REGISTRY");
    fs::remove_all(dir);
}
