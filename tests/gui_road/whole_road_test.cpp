// The whole road in the real program on a virtual X server, driven from outside as
// a person would: the welcome page's Next, a picture chosen among thumbnails, the
// size switched to 16 x 16 and back, the frame dragged and resized, the lightness
// changed, a colour picked, a copy saved through the desktop's Save-As and the
// stamp sent. The copy and the stamp on the phone must both be what pxtool stamp
// makes from the same page coordinates. Screenshots go to OSTREL_GUI_SCREENS
// (road-*.png).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/road_arithmetic.h"
#include "app/settings/settings.h"
#include "gui/desktop_tools.h"
#include "imaging/px_image.h"

namespace fs = std::filesystem;

namespace {

const std::string kTitle = "Ostrel";
// The picture the stamp is made from, larger than the editor's box so it is
// shrunk to fit and the frame has room to move sideways.
constexpr LONG kLandscapeWidth = 400, kLandscapeHeight = 300;
// Page places the road clicks; the window has no frame of the desktop's, so they
// are its own coordinates too.
constexpr POINT kNextButton{485, 375};
// The list, sorted by name, lays the thumbnails out in rows of two.
constexpr POINT kThumbnails[] = {{345, 180}, {422, 180}, {345, 284}};
constexpr POINT kLandscapeThumbnail = kThumbnails[1];
constexpr POINT kSize16Button{378, 213}, kSize32Button{284, 213};
constexpr POINT kLightnessClick{390, 312};
constexpr POINT kPickOnMagnified{150, 200};
constexpr POINT kSaveCopyButton{185, 287};

BYTE Clamp(double v) {
    return static_cast<BYTE>(v < 0 ? 0 : v > 255 ? 255 : v);
}

// Sky, sun, hills and a lake, with grain, so the JPEG has many colours and
// every frame position gives another stamp.
void WriteLandscape(const fs::path& path) {
    PxImage image;
    ASSERT_TRUE(image.Create(kLandscapeWidth, kLandscapeHeight, 24, PX_FORMAT_JPG));
    unsigned seed = 11;
    for (LONG row = 0; row < kLandscapeHeight; ++row) {
        for (LONG x = 0; x < kLandscapeWidth; ++x) {
            const double y = kLandscapeHeight - 1 - row;  // from the top
            seed = seed * 1103515245u + 12345u;
            const double grain = static_cast<double>((seed >> 16) % 24) - 12;
            const double hill = 150 + 30 * std::sin(x / 45.0) + 12 * std::sin(x / 13.0);
            RGBQUAD c{Clamp(250 - y / 2), Clamp(170 + y / 4), Clamp(90 + y / 3), 0};
            if (std::hypot(x - 300.0, y - 70.0) < 28) c = RGBQUAD{60, 220, 255, 0};
            if (y > hill)
                c = RGBQUAD{Clamp(40 + grain), Clamp(140 - (y - hill) / 3 + grain),
                            Clamp(60 + grain), 0};
            if (y > 240) c = RGBQUAD{Clamp(170 + grain), Clamp(110 + grain), Clamp(40), 0};
            image.SetPixelColor(x, row, c);
        }
    }
    ASSERT_TRUE(image.Save(path.c_str(), PX_FORMAT_JPG));
}

// A red disc on white, and zigzag stripes: the thumbnails beside the landscape.
void WriteOthers(const fs::path& folder) {
    PxImage apple, zigzag;
    ASSERT_TRUE(apple.Create(120, 90, 24, PX_FORMAT_PNG));
    ASSERT_TRUE(zigzag.Create(64, 64, 24, PX_FORMAT_BMP));
    for (LONG y = 0; y < 90; ++y)
        for (LONG x = 0; x < 120; ++x)
            apple.SetPixelColor(
                x, y, std::hypot(x - 60.0, y - 45.0) < 35 ? RGB(220, 30, 30) : RGB(255, 255, 255));
    for (LONG y = 0; y < 64; ++y)
        for (LONG x = 0; x < 64; ++x)
            zigzag.SetPixelColor(
                x, y, ((y + std::abs(x % 16 - 8)) / 8) % 2 ? RGB(20, 20, 160) : RGB(240, 200, 0));
    ASSERT_TRUE(apple.Save((folder / "Apple.png").c_str(), PX_FORMAT_PNG));
    ASSERT_TRUE(zigzag.Save((folder / "Zigzag.bmp").c_str(), PX_FORMAT_BMP));
}

class WholeRoad : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void Welcome();
    void ChoosePicture();
    void EditStamp();
    void PickColour();
    void SaveCopy();
    void Send();

    // Waits until the mark of `step` is the coloured one and the window has
    // stopped changing; `after` names what led there.
    void WaitForStep(int step, const std::string& after);
    bool ShowsStep(int step);
    bool ListFilled();
    void Shoot(const std::string& name, const Geometry& area);
    void ClickPage(POINT at) { ClickAt(place_.x + at.x, place_.y + at.y); }
    void DragPage(POINT from, POINT to) {
        Drag(place_.x + from.x, place_.y + from.y, place_.x + to.x, place_.y + to.y);
    }
    std::string Trace() const { return road::FileBytes(dir_ / "ostrel.trace"); }
    std::string Scratch() const { return (dir_ / "scratch.png").string(); }

    fs::path dir_, pictures_, savedCopy_;
    std::string screens_;
    std::map<std::string, std::string> env_;
    pid_t windowManager_ = -1, ostrel_ = -1;
    std::string window_;
    Geometry place_;
    road::Square frame_{};  // the frame the editor ends with
    int lightness_ = 0;
};

void WholeRoad::SetUp() {
    if (!fs::exists(fs::path(OSTREL_PROGRAM_PATH).parent_path() / "EN" / "Pennon.swf"))
        GTEST_SKIP() << "no movie (EN/Pennon.swf) next to the program";
    dir_ = fs::temp_directory_path() / ("ostrel_road_gui_" + std::to_string(getpid()));
    fs::remove_all(dir_);
    pictures_ = dir_ / "pictures";
    fs::create_directories(pictures_);
    screens_ = ScreensFolder((dir_ / "screens").string());
    env_ = OwnHome(dir_.string());
    env_["OSTREL_BACKEND"] = "x11";
    env_["OSTREL_TRACE"] = "1";
    env_["OSTREL_SCALE"] = "1";
    ASSERT_EQ(RunShellWith(env_, OSTREL_SETUP_PATH " > /dev/null"), 0);
    // The registry is the program's: pxtool reads its tolerance there too.
    setenv("OSTREL_REGISTRY", env_["OSTREL_REGISTRY"].c_str(), 1);
    ASSERT_TRUE(WriteRegString("BrowseStamp", pictures_.string(), "\\Customization Wizards\\user"));
    ASSERT_NO_FATAL_FAILURE(WriteLandscape(pictures_ / "Landscape.jpg"));
    ASSERT_NO_FATAL_FAILURE(WriteOthers(pictures_));

    windowManager_ = StartWindowManager();
    ostrel_ = Start(OSTREL_PROGRAM_PATH, env_, (dir_ / "ostrel.trace").string());
    ASSERT_TRUE(WaitFor([&] { return WindowsTitled(kTitle).size() == 1; }, 30))
        << "the wizard's window never opened\n"
        << Trace();
    window_ = WindowsTitled(kTitle).front();
    ASSERT_TRUE(WaitFor([&] { return MapState(window_) == "IsViewable"; }, 10));
    place_ = WindowGeometry(window_);
    ASSERT_EQ(place_.width, 580) << "not at scale 1, or framed by the desktop";
    ASSERT_EQ(place_.height, 411);
}

void WholeRoad::TearDown() {
    if (HasFailure()) {
        PxImage screen;
        ScreenShot(screens_ + "/road-screen-failure.png", screen);
    }
    Stop(ostrel_);
    Stop(windowManager_);
    if (!HasFailure()) fs::remove_all(dir_);
}

bool WholeRoad::ShowsStep(int step) {
    PxImage screen;
    if (!ScreenShot(Scratch(), screen)) return false;
    const road::MarkPoint mark = road::StepMark(step);
    const COLORREF c = ScreenPixel(screen, place_.x + mark.x, place_.y + mark.y);
    return road::IsAccent(GetRValue(c), GetGValue(c), GetBValue(c));
}

bool WholeRoad::ListFilled() {
    PxImage screen;
    if (!ScreenShot(Scratch(), screen)) return false;
    for (const POINT& at : kThumbnails)
        if (ScreenPixel(screen, place_.x + at.x, place_.y + at.y) == RGB(255, 255, 255))
            return false;
    return true;
}

void WholeRoad::WaitForStep(int step, const std::string& after) {
    ASSERT_TRUE(WaitFor([&] { return ShowsStep(step); }, 60))
        << "step " << step << " never showed after " << after << "\n"
        << Trace();
    // The movie plays its page in; it is ready once the window stops changing.
    EXPECT_TRUE(WaitUntilStill(place_, Scratch(), 20))
        << "step " << step << " kept changing after " << after;
}

void WholeRoad::Shoot(const std::string& name, const Geometry& area) {
    PxImage screen;
    const std::string whole = dir_.string() + "/screen-" + name;
    ASSERT_TRUE(ScreenShot(whole, screen) && CropTo(whole, area, screens_ + "/" + name))
        << "no screenshot " << name;
}

// Step 1: the movie's Next button.
void WholeRoad::Welcome() {
    ASSERT_NO_FATAL_FAILURE(WaitForStep(1, "the start"));
    ASSERT_NO_FATAL_FAILURE(Shoot("road-1-welcome.png", place_));
    ClickPage(kNextButton);
    ASSERT_NO_FATAL_FAILURE(WaitForStep(2, "Next on the welcome page"));
}

// Step 2: the landscape's thumbnail, then Next.
void WholeRoad::ChoosePicture() {
    // The thumbnails are made on a thread of their own.
    ASSERT_TRUE(WaitFor([&] { return ListFilled(); }, 60)) << "the thumbnails never showed";
    ClickPage(kLandscapeThumbnail);
    ASSERT_TRUE(WaitUntilStill(place_, Scratch(), 10));
    ASSERT_NO_FATAL_FAILURE(Shoot("road-2-chosen.png", place_));
    ClickPage(kNextButton);
    ASSERT_NO_FATAL_FAILURE(WaitForStep(3, "choosing the landscape on step 2"));
}

// Step 3. Each size switch fits the frame afresh, so they come first; then the
// frame is dragged and resized, and the lightness set.
void WholeRoad::EditStamp() {
    ClickPage(kSize16Button);
    ASSERT_TRUE(WaitUntilStill(place_, Scratch(), 10));
    ASSERT_NO_FATAL_FAILURE(Shoot("road-3-size16.png", place_));
    ClickPage(kSize32Button);
    ASSERT_TRUE(WaitUntilStill(place_, Scratch(), 10));
    frame_ = road::StartingFrame(kLandscapeWidth, kLandscapeHeight);

    // Dragged by its middle 20 pixels to the left; it spans the picture's height,
    // so sideways is the only way it can go.
    const POINT middle{frame_.left + frame_.side / 2, frame_.top + frame_.side / 2};
    DragPage(middle, POINT{middle.x - 20, middle.y});
    frame_.left -= 20;
    // Its top left handle (4 pixels in from the corner) pulled 44 pixels along the
    // diagonal: the bottom right corner stays, the frame reaches to the pointer.
    DragPage(POINT{frame_.left + 4, frame_.top + 4}, POINT{frame_.left + 44, frame_.top + 44});
    frame_ = road::Square{frame_.left + 44, frame_.top + 44, frame_.side - 44};

    ClickPage(kLightnessClick);
    lightness_ = road::SliderValueAt(kLightnessClick.x);
    ASSERT_TRUE(WaitUntilStill(place_, Scratch(), 10));
    ASSERT_NO_FATAL_FAILURE(Shoot("road-3-edited.png", place_));
    ClickPage(kNextButton);
    ASSERT_NO_FATAL_FAILURE(WaitForStep(4, "the edits on step 3"));
}

// Step 4: a colour of the magnified stamp becomes transparent.
void WholeRoad::PickColour() {
    ClickPage(kPickOnMagnified);
    ASSERT_TRUE(WaitUntilStill(place_, Scratch(), 10));
    ASSERT_NO_FATAL_FAILURE(Shoot("road-4-picked.png", place_));
    ClickPage(kNextButton);
    ASSERT_NO_FATAL_FAILURE(WaitForStep(5, "the pick on step 4"));
    ASSERT_NO_FATAL_FAILURE(Shoot("road-5-save.png", place_));
}

// Step 5: a copy through the desktop's Save-As, in the folder it proposes.
void WholeRoad::SaveCopy() {
    ClickPage(kSaveCopyButton);
    ASSERT_TRUE(WaitFor([] { return !WindowsTitled("Save As").empty(); }, 60))
        << "no Save-As dialog on step 5\n"
        << Trace();
    const std::string dialog = WindowsTitled("Save As").front();
    ASSERT_TRUE(WaitFor([&] { return MapState(dialog) == "IsViewable"; }, 10));
    const Geometry box = FramedGeometry(dialog);
    EXPECT_TRUE(WaitUntilStill(box, Scratch(), 20)) << "the Save-As dialog kept changing";
    ASSERT_NO_FATAL_FAILURE(Shoot("road-5-save-as.png", box));
    const std::string trace = Trace();
    const std::string said = "ostrel-trace: save as in ";
    const auto at = trace.find(said);
    ASSERT_NE(at, std::string::npos) << trace;
    const std::string folder =
        trace.substr(at + said.size(), trace.find(" proposing", at) - at - said.size());
    savedCopy_ = fs::path(folder) / "copy-of-landscape.png";
    TypeIntoWindow(dialog, "copy-of-landscape.png");
    // The desktop may keep the dialog's window for later, unmapped.
    ASSERT_TRUE(WaitFor([&] { return MapState(dialog) != "IsViewable"; }, 20))
        << "the Save-As dialog stayed open";
    ASSERT_TRUE(WaitFor([&] { return fs::exists(savedCopy_); }, 20))
        << "no copy saved at " << savedCopy_;
}

// Step 6: Send, and the stamp in the phone's storage.
void WholeRoad::Send() {
    ClickPage(kNextButton);
    const fs::path stamp = dir_ / "data/norvane/phone/Stamps/Landscape.png";
    ASSERT_NO_FATAL_FAILURE(WaitForStep(6, "Send on step 5"));
    ASSERT_TRUE(WaitFor([&] { return fs::exists(stamp); }, 30))
        << "the stamp never reached the phone\n"
        << Trace();
    ASSERT_TRUE(WaitUntilStill(place_, Scratch(), 20));
    ASSERT_NO_FATAL_FAILURE(Shoot("road-6-sent.png", place_));
}

}  // namespace

TEST_F(WholeRoad, TheStampSentAndSavedIsWhatPxtoolMakesOfTheSameEdits) {
    ASSERT_NO_FATAL_FAILURE(Welcome());
    ASSERT_NO_FATAL_FAILURE(ChoosePicture());
    ASSERT_NO_FATAL_FAILURE(EditStamp());
    ASSERT_NO_FATAL_FAILURE(PickColour());
    ASSERT_NO_FATAL_FAILURE(SaveCopy());
    ASSERT_NO_FATAL_FAILURE(Send());

    const std::string arguments = "--select " + frame_.Select() + " --lightness " +
                                  std::to_string(lightness_) + " --pick " +
                                  road::PickAt(kPickOnMagnified.x, kPickOnMagnified.y);
    const std::string expected = road::ToolStamp(OSTREL_PXTOOL_PATH, pictures_ / "Landscape.jpg",
                                                 arguments, dir_ / "tool.png");
    ASSERT_FALSE(expected.empty()) << "pxtool stamp " << arguments;
    const fs::path stamp = dir_ / "data/norvane/phone/Stamps/Landscape.png";
    // The transfer copies in chunks: the whole file is there once it matches.
    EXPECT_TRUE(WaitFor([&] { return road::FileBytes(stamp) == expected; }, 20))
        << "the stamp on the phone differs from pxtool stamp " << arguments;
    EXPECT_TRUE(road::FileBytes(savedCopy_) == expected)
        << "the saved copy differs from pxtool stamp " << arguments;
    std::printf("pxtool stamp Landscape.jpg %s\n", arguments.c_str());
}
