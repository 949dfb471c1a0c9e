// The road by keyboard alone in the real program on a virtual X server, the keys
// pressed from outside: Return on the welcome page, Tab to the tree and the list
// (each showing the focus mark on screen), arrows to a picture, Tab to the
// editor's picture box and its keys on the frame, Return on to step 6 and once
// more to send. The stamp on the phone must be what pxtool stamp makes of the
// frame the keys left.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "app/road_arithmetic.h"
#include "app/settings/settings.h"
#include "gui/desktop_tools.h"
#include "imaging/px_image.h"

namespace fs = std::filesystem;

namespace {

const std::string kTitle = "Ostrel";
constexpr LONG kWidth = 300, kHeight = 200;
constexpr COLORREF kAccent = RGB(0x25, 0x63, 0xEB);
constexpr POINT kTreeEdge{37, 200}, kListEdge{302, 200}, kBoxEdge{33, 200};
constexpr POINT kFirstThumbnail{345, 180};

void WritePicture(const fs::path& path, LONG w, LONG h) {
    PxImage image;
    ASSERT_TRUE(image.Create(static_cast<DWORD>(w), static_cast<DWORD>(h), 24, PX_FORMAT_PNG));
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x)
            image.SetPixelColor(x, y,
                                RGBQUAD{static_cast<BYTE>(3 * y), static_cast<BYTE>(x * 7 % 251),
                                        static_cast<BYTE>(x + y), 0});
    ASSERT_TRUE(image.Save(path.c_str(), PX_FORMAT_PNG));
}

class KeyboardRoad : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(fs::path(OSTREL_PROGRAM_PATH).parent_path() / "EN" / "Pennon.swf"))
            GTEST_SKIP() << "no movie (EN/Pennon.swf) next to the program";
        dir_ = fs::temp_directory_path() / ("ostrel_keys_gui_" + std::to_string(getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "pictures");
        screens_ = ScreensFolder((dir_ / "screens").string());
        env_ = OwnHome(dir_.string());
        env_["OSTREL_BACKEND"] = "x11";
        env_["OSTREL_TRACE"] = "1";
        env_["OSTREL_SCALE"] = "1";
        ASSERT_EQ(RunShellWith(env_, OSTREL_SETUP_PATH " > /dev/null"), 0);
        setenv("OSTREL_REGISTRY", env_["OSTREL_REGISTRY"].c_str(), 1);
        ASSERT_TRUE(WriteRegString("BrowseStamp", (dir_ / "pictures").string(),
                                   "\\Customization Wizards\\user"));
        ASSERT_NO_FATAL_FAILURE(WritePicture(dir_ / "pictures/Apple.png", 120, 90));
        ASSERT_NO_FATAL_FAILURE(WritePicture(dir_ / "pictures/Landscape.png", kWidth, kHeight));
        windowManager_ = StartWindowManager();
        ostrel_ = Start(OSTREL_PROGRAM_PATH, env_, (dir_ / "ostrel.trace").string());
        ASSERT_TRUE(WaitFor([&] { return WindowsTitled(kTitle).size() == 1; }, 60))
            << "the wizard's window never opened\n"
            << Trace();
        window_ = WindowsTitled(kTitle).front();
        ASSERT_TRUE(WaitFor([&] { return MapState(window_) == "IsViewable"; }, 30));
        place_ = WindowGeometry(window_);
        ASSERT_EQ(place_.width, 580) << "not at scale 1, or framed by the desktop";
    }
    void TearDown() override {
        if (HasFailure()) {
            PxImage screen;
            ScreenShot(screens_ + "/keys-screen-failure.png", screen);
        }
        Stop(ostrel_);
        Stop(windowManager_);
        unsetenv("OSTREL_REGISTRY");
        if (!HasFailure()) fs::remove_all(dir_);
    }
    std::string Trace() const { return road::FileBytes(dir_ / "ostrel.trace"); }
    COLORREF PageColour(POINT at) {
        PxImage screen;
        if (!ScreenShot((dir_ / "scratch.png").string(), screen)) return CLR_INVALID;
        return ScreenPixel(screen, place_.x + at.x, place_.y + at.y);
    }
    bool ShowsStep(int step) {
        const road::MarkPoint mark = road::StepMark(step);
        const COLORREF c = PageColour(POINT{mark.x, mark.y});
        return road::IsAccent(GetRValue(c), GetGValue(c), GetBValue(c));
    }
    void WaitForStep(int step, const std::string& after) {
        ASSERT_TRUE(WaitFor([&] { return ShowsStep(step); }, 60))
            << "step " << step << " never showed after " << after << "\n"
            << Trace();
        EXPECT_TRUE(WaitUntilStill(place_, (dir_ / "scratch.png").string(), 20));
    }
    void Shoot(const std::string& name) {
        PxImage screen;
        const std::string whole = (dir_ / "screen.png").string();
        EXPECT_TRUE(ScreenShot(whole, screen) && CropTo(whole, place_, screens_ + "/" + name));
    }
    void WaitForMark(POINT at, const std::string& what) {
        ASSERT_TRUE(WaitFor([&] { return PageColour(at) == kAccent; }, 30))
            << "no focus mark on " << what << "\n"
            << Trace();
    }

    fs::path dir_;
    std::string screens_;
    std::map<std::string, std::string> env_;
    pid_t windowManager_ = -1, ostrel_ = -1;
    std::string window_;
    Geometry place_;
};

}  // namespace

TEST_F(KeyboardRoad, ReturnTabArrowsAndTheEditorsKeysSendTheStamp) {
    ASSERT_NO_FATAL_FAILURE(WaitForStep(1, "the start"));
    // The desktop hands the new window the keyboard; without one the click a user
    // would make on it is left out, so the keys alone carry the road.
    RunShell("xdotool windowfocus --sync " + window_ + " 2> /dev/null");
    Keys("Return");
    ASSERT_NO_FATAL_FAILURE(WaitForStep(2, "Return on the welcome page"));
    ASSERT_TRUE(WaitFor([&] { return PageColour(kFirstThumbnail) != RGB(255, 255, 255); }, 60))
        << "the thumbnails never showed";
    Keys("Tab");
    ASSERT_NO_FATAL_FAILURE(WaitForMark(kTreeEdge, "the folder tree"));
    Keys("Tab");
    ASSERT_NO_FATAL_FAILURE(WaitForMark(kListEdge, "the thumbnail list"));
    Keys("shift+Tab");
    ASSERT_NO_FATAL_FAILURE(WaitForMark(kTreeEdge, "the tree after Shift+Tab"));
    Keys("Tab Right Right");
    ASSERT_TRUE(WaitUntilStill(place_, (dir_ / "scratch.png").string(), 20));
    Shoot("keys-2-list.png");
    Keys("Return");
    ASSERT_NO_FATAL_FAILURE(WaitForStep(3, "Return in the list"));

    Keys("Tab");
    ASSERT_NO_FATAL_FAILURE(WaitForMark(kBoxEdge, "the picture box"));
    Keys("Left Left Left shift+Right Down minus minus minus Down Down plus");
    ASSERT_TRUE(WaitUntilStill(place_, (dir_ / "scratch.png").string(), 20));
    Shoot("keys-3-frame.png");
    const road::Square start = road::StartingFrame(kWidth, kHeight);
    const road::Square frame{start.left + 9, start.top + 4, start.side - 4};
    for (int step = 4; step <= 6; ++step) {
        Keys("Return");
        ASSERT_NO_FATAL_FAILURE(WaitForStep(step, "Return"));
    }
    Keys("Return");  // sends
    const fs::path sent = dir_ / "data/norvane/phone/Stamps/Landscape.png";
    const std::string expected =
        road::ToolStamp(OSTREL_PXTOOL_PATH, dir_ / "pictures/Landscape.png",
                        "--select " + frame.Select(), dir_ / "tool.png");
    ASSERT_FALSE(expected.empty());
    EXPECT_TRUE(WaitFor([&] { return road::FileBytes(sent) == expected; }, 60))
        << "the stamp on the phone differs from pxtool stamp --select " << frame.Select() << "\n"
        << Trace();
}
