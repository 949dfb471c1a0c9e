// The editor and preview pages in the real window: the picture, the frame and the
// stamps stay on top of the movie while it redraws, while a tip shows and after
// another window passed over them; the frame is dragged with the matching
// cursors; a colour picked on step 4 shows the hatch; moving on writes the stamp.
// Screenshots of steps 3 and 4 go to OSTREL_GUI_SCREENS.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "desktop_tools.h"
#include "platform/gdi/gdi.h"

namespace fs = std::filesystem;

namespace {

constexpr COLORREF kSky = RGB(40, 120, 230);   // the picture's top half
constexpr COLORREF kGrass = RGB(60, 180, 70);  // its bottom half
const std::string kTitle = "Ostrel";

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool Near(COLORREF a, COLORREF b) {
    return std::abs(int{GetRValue(a)} - GetRValue(b)) <= 3 &&
           std::abs(int{GetGValue(a)} - GetGValue(b)) <= 3 &&
           std::abs(int{GetBValue(a)} - GetBValue(b)) <= 3;
}

class EditorWindow : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("ostrel_gui_editor_" + std::to_string(getpid()));
        fs::remove_all(dir_);
        screens_ = ScreensFolder((dir_ / "screens").string());
        env_ = OwnHome(dir_.string());
        env_["OSTREL_TRACE"] = "1";
        ASSERT_EQ(RunShellWith(env_, OSTREL_SETUP_PATH " > /dev/null"), 0);
        // 300 x 200: sky above, grass below.
        PxImage picture;
        picture.Create(300, 200, 24);
        for (LONG y = 0; y < 200; ++y)
            for (LONG x = 0; x < 300; ++x)
                picture.SetPixelColor(
                    x, y, y >= 100 ? RGBQUAD{230, 120, 40, 0} : RGBQUAD{70, 180, 60, 0});
        picture_ = (dir_ / "meadow.png").string();
        ASSERT_TRUE(picture.Save(picture_.c_str(), PX_FORMAT_PNG));
    }
    void TearDown() override {
        Stop(wizard_);
        fs::remove_all(dir_);
    }
    void Start(int scale = 1) {
        std::map<std::string, std::string> env = env_;
        env["OSTREL_BACKEND"] = "x11";
        env["OSTREL_SCALE"] = std::to_string(scale);
        wizard_ = ::Start(OSTREL_WIZARD_AT_STEP3_PATH, env, (dir_ / "trace").string(), {picture_});
        WaitFor([&] { return Traced("step 3"); }, 30);
        ASSERT_TRUE(Traced("step 3")) << Trace();
        ASSERT_TRUE(WaitFor([&] { return WindowsTitled(kTitle).size() == 1; }, 10));
        window_ = WindowsTitled(kTitle).front();
        ASSERT_TRUE(WaitFor([&] { return MapState(window_) == "IsViewable"; }, 10));
        place_ = WindowGeometry(window_);
        RunShell("sleep 1");
    }
    std::string Trace() const { return ReadAll(dir_ / "trace"); }
    bool Traced(const std::string& line) const {
        return Trace().find("ostrel-trace: " + line) != std::string::npos;
    }
    bool Shoot(const std::string& name) {
        RunShell("sleep 0.4");
        const std::string whole = screens_ + "/screen-" + name;
        return ScreenShot(whole, screen_) && CropTo(whole, place_, screens_ + "/" + name);
    }
    COLORREF At(int x, int y) const { return ScreenPixel(screen_, place_.x + x, place_.y + y); }
    // At scale 2 every pixel of the wizard is a square of four on the screen.
    COLORREF AtScaled(int x, int y, int scale) const {
        return ScreenPixel(screen_, place_.x + x * scale, place_.y + y * scale);
    }
    std::string Point(int x, int y) const {
        return std::to_string(place_.x + x) + " " + std::to_string(place_.y + y);
    }
    void Pointer(int x, int y) { RunShell("xdotool mousemove " + Point(x, y) + " sleep 0.2"); }

    fs::path dir_;
    std::string screens_, picture_, window_;
    std::map<std::string, std::string> env_;
    pid_t wizard_ = -1;
    Geometry place_;
    PxImage screen_;
};

}  // namespace

TEST_F(EditorWindow, PicturesStayOverTheMovieAndTheFrameFollowsTheMouse) {
    if (RunShell("command -v xdotool > /dev/null") != 0) GTEST_SKIP() << "no xdotool";
    Start();
    // 300 x 200 is drawn 182 x 121 at (33, 110); the frame is the centred square.
    ASSERT_TRUE(Shoot("11-step3.png"));
    EXPECT_PRED2(Near, At(40, 140), kSky);
    EXPECT_PRED2(Near, At(40, 220), kGrass);
    EXPECT_EQ(At(100, 260), RGB(0, 0, 0));   // the rest of the box
    EXPECT_PRED2(Near, At(470, 200), kSky);  // the small preview
    // A handle of the frame, inverted: the picture's colour turned over.
    const COLORREF handle = At(68, 113);
    EXPECT_PRED2(Near, handle, RGB(255 - 40, 255 - 120, 255 - 230));

    // The cursors tell what a press does.
    Pointer(124, 170);
    EXPECT_TRUE(WaitFor([&] { return Traced("cursor 32646"); }, 5)) << Trace();
    Pointer(64 + 4, 110 + 4);
    EXPECT_TRUE(WaitFor([&] { return Traced("cursor 32642"); }, 5)) << Trace();
    Pointer(300, 300);
    EXPECT_TRUE(
        WaitFor([&] { return Trace().rfind("cursor 32512") > Trace().rfind("cursor 32642"); }, 5));

    // Drag the frame 40 pixels right: it stops at the picture's right edge.
    RunShell("xdotool mousemove " + Point(124, 170) + " mousedown 1 sleep 0.2 mousemove " +
             Point(126, 170) + " sleep 0.1 mousemove " + Point(150, 172) + " sleep 0.1 mousemove " +
             Point(164, 170) + " sleep 0.2 mouseup 1 sleep 0.2 mousemove " + Point(300, 300));
    // The movie's tip over a button next to the picture, and its redraws meanwhile.
    Pointer(260, 142);
    RunShell("sleep 1.5");
    ASSERT_TRUE(Shoot("12-step3-dragged.png"));
    EXPECT_PRED2(Near, At(68, 113), kSky) << "the old frame was not erased";
    EXPECT_PRED2(Near, At(98, 113), handle) << "the frame did not follow the mouse";
    EXPECT_PRED2(Near, At(40, 140), kSky);
    EXPECT_PRED2(Near, At(40, 220), kGrass);

    // Another window passes over the pictures and goes: they are shown again.
    const std::string other = OpenTitledWindow("Passing");
    ASSERT_FALSE(other.empty());
    RunShell("xdotool windowmove " + other + " " + Point(20, 100) + " sleep 0.5 windowunmap " +
             other + " sleep 0.5");
    ASSERT_TRUE(Shoot("13-step3-exposed.png"));
    EXPECT_PRED2(Near, At(40, 140), kSky);
    EXPECT_PRED2(Near, At(98, 113), handle);
    EXPECT_PRED2(Near, At(470, 200), kSky);

    // 16 x 16: the preview sits in the middle of its black box.
    ClickAt(place_.x + 378, place_.y + 213);
    ASSERT_TRUE(Shoot("14-step3-16.png"));
    EXPECT_EQ(At(462, 198), RGB(0, 0, 0));
    EXPECT_PRED2(Near, At(475, 210), kSky);

    // Step 4: the stamp at real size and magnified; a click makes the sky transparent.
    ClickAt(place_.x + 485, place_.y + 375);
    ASSERT_TRUE(WaitFor([&] { return Traced("step 4"); }, 10)) << Trace();
    ASSERT_TRUE(WaitUntilStill(place_, (dir_ / "still.png").string(), 30));
    ASSERT_TRUE(Shoot("21-step4.png"));
    EXPECT_PRED2(Near, At(107 + 20, 167 + 20), kSky);
    EXPECT_PRED2(Near, At(387 + 4, 188 + 4), kSky);
    ClickAt(place_.x + 107 + 20, place_.y + 167 + 20);
    RunShell("xdotool mousemove " + Point(300, 330));
    ASSERT_TRUE(Shoot("22-step4-picked.png"));
    int hatch = 0;
    for (int x = 107; x < 107 + 128; ++x)
        hatch += At(x, 167 + 20) == RGB(128, 128, 128);
    EXPECT_GT(hatch, 10) << "no hatch where the sky was";
    EXPECT_FALSE(Near(At(387 + 4, 188 + 4), kSky)) << "the real-size stamp kept its sky";
    EXPECT_PRED2(Near, At(387 + 4, 188 + 12), kGrass);

    ClickAt(place_.x + 485, place_.y + 375);
    ASSERT_TRUE(WaitFor([&] { return Traced("step 5"); }, 10)) << Trace();
    EXPECT_TRUE(fs::exists(dir_ / "data" / "norvane" / "wizards" / "temp" / "meadow.png"));
}

// A 240-character name under the picture, at scale 1 and 2: one line cut with
// "..." before ".png", inside the box's width, and nothing of a second line.
TEST_F(EditorWindow, ALongNameShowsOnOneShortenedLine) {
    if (RunShell("command -v xdotool > /dev/null") != 0) GTEST_SKIP() << "no xdotool";
    const fs::path longName = dir_ / (std::string(236, 'n') + ".png");
    fs::copy_file(picture_, longName);
    picture_ = longName.string();
    for (const int scale : {1, 2}) {
        SCOPED_TRACE("scale " + std::to_string(scale));
        Start(scale);
        ASSERT_EQ(place_.width, 580 * scale);
        const auto ink = [&](int x, int y) { return GetGValue(AtScaled(x, y, scale)) < 160; };
        // A slow build may show step 3 a moment before its name is drawn.
        const auto nameShown = [&] {
            if (!Shoot("16-step3-long-name-scale" + std::to_string(scale) + ".png")) return false;
            for (int y = 297; y < 316; ++y)
                for (int x = 33; x < 215; ++x)
                    if (ink(x, y)) return true;
            return false;
        };
        ASSERT_TRUE(WaitFor(nameShown, 30));
        int lines = 0, rows = 0, beside = 0;
        bool inLine = false;
        for (int y = 297; y < 316; ++y) {
            bool any = false;
            for (int x = 20; x < 230; ++x) {
                if (!ink(x, y)) continue;
                any = true;
                beside += x < 33 || x >= 215;
            }
            rows += any;
            lines += any && !inLine;
            inLine = any;
        }
        EXPECT_EQ(lines, 1);
        EXPECT_GT(rows, 5);
        EXPECT_EQ(beside, 0);
        Stop(wizard_);
        wizard_ = -1;
        ASSERT_TRUE(WaitFor([&] { return WindowsTitled(kTitle).empty(); }, 10));
    }
}
