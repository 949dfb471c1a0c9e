// What the player draws, read back from the window's pixels.
#include <gtest/gtest.h>

#include <algorithm>

#include "imaging/px_image.h"
#include "player_window_fixture.h"

using player_test::PlayerWindow;

namespace {

bool IsInk(COLORREF c) {
    return GetRValue(c) < 128 && GetGValue(c) < 128 && GetBValue(c) < 128;
}

}  // namespace

class Rendering : public PlayerWindow {
protected:
    // The box around the dark pixels of an area; empty when there are none.
    RECT InkBox(const RECT& area) {
        PumpWaitingMessages();
        RECT box{area.right, area.bottom, area.left, area.top};
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                if (!IsInk(Pixel(x, y))) continue;
                box = RECT{std::min<LONG>(box.left, x), std::min<LONG>(box.top, y),
                           std::max<LONG>(box.right, x + 1), std::max<LONG>(box.bottom, y + 1)};
            }
        }
        return box;
    }
    static bool Empty(const RECT& r) { return r.right <= r.left; }
};

TEST_F(Rendering, ShapesFillTheirAreaInOrder) {
    Load(
        "frame 0\n"
        "rect 10 10 100 50 fill #ff0000\n"
        "rect 60 10 50 50 fill #0000ff stroke #00ff00 width 3\n"
        "ellipse 200 10 100 60 fill #00ff00 stroke #000000\n"
        "polygon fill #0000ff points 10 100 110 100 10 200\n"
        "line 200 100 300 200 color #ff0000 width 5\n"
        "gradient 400 10 100 101 from #000000 to #ffffff\n"
        "rect 400 150 100 100 fill none stroke #123456 radius 20\n");
    EXPECT_EQ(Pixel(3, 3), RGB(255, 255, 255));  // the stage background
    EXPECT_EQ(Pixel(15, 15), RGB(255, 0, 0));
    EXPECT_EQ(Pixel(80, 30), RGB(0, 0, 255));  // later items over earlier ones
    EXPECT_EQ(Pixel(61, 30), RGB(0, 255, 0));  // the stroke inside the box
    EXPECT_EQ(Pixel(109, 59), RGB(0, 255, 0));
    EXPECT_EQ(Pixel(110, 30), RGB(255, 255, 255));
    EXPECT_EQ(Pixel(250, 40), RGB(0, 255, 0));
    EXPECT_EQ(Pixel(201, 11), RGB(255, 255, 255));  // outside the ellipse's curve
    EXPECT_EQ(Pixel(250, 10), RGB(0, 0, 0));        // its outline at the top
    EXPECT_EQ(Pixel(20, 110), RGB(0, 0, 255));
    EXPECT_EQ(Pixel(100, 190), RGB(255, 255, 255));  // beyond the slanted side
    EXPECT_EQ(Pixel(250, 150), RGB(255, 0, 0));
    EXPECT_EQ(Pixel(250, 140), RGB(255, 255, 255));
    EXPECT_EQ(Pixel(450, 10), RGB(0, 0, 0));
    EXPECT_EQ(Pixel(450, 110), RGB(255, 255, 255));
    EXPECT_EQ(Pixel(450, 60), RGB(127, 127, 127));
    EXPECT_EQ(Pixel(450, 150), RGB(0x12, 0x34, 0x56));
    EXPECT_EQ(Pixel(401, 151), RGB(255, 255, 255));  // the rounded corner
    EXPECT_EQ(Pixel(450, 200), RGB(255, 255, 255));  // no fill
}

TEST_F(Rendering, ClipInstancesDrawWhereTheyArePlaced) {
    Load(
        "clip dot\nframe 0\nrect 0 0 10 10 fill #ff0000\nframe 1\nrect 0 0 10 10 fill #0000ff\n"
        "action stop\nend\n"
        "clip pair\nframe 0\nplace dot as a 0 0\nplace dot as b 20 0\nend\n"
        "frame 0\nplace pair as p 100 50\nrect 115 50 10 10 fill #00ff00\naction stop\n");
    EXPECT_EQ(Pixel(105, 55), RGB(255, 0, 0));
    EXPECT_EQ(Pixel(125, 55), RGB(255, 0, 0));
    EXPECT_EQ(Pixel(117, 55), RGB(0, 255, 0));
    player_.TGotoFrame("/p/b", 1);
    EXPECT_EQ(Pixel(125, 55), RGB(0, 0, 255));
    EXPECT_EQ(Pixel(105, 55), RGB(255, 0, 0));
}

TEST_F(Rendering, AFieldShowsItsVariableAsItChanges) {
    Load("var msg \"\"\nframe 0\nfield 20 20 300 40 var msg size 20\naction stop\n");
    const RECT area{20, 20, 320, 60};
    EXPECT_TRUE(Empty(InkBox(area)));
    player_.SetVariable("msg", "Hello");
    const RECT hello = InkBox(area);
    ASSERT_FALSE(Empty(hello));
    EXPECT_LT(hello.left, 25);
    player_.SetVariable("msg", "Hello, world of stamps");
    EXPECT_GT(InkBox(area).right, hello.right + 50);
    player_.SetVariable("msg", "<b>Hello</b>");  // bold is wider
    EXPECT_GT(InkBox(area).right, hello.right);
    player_.SetVariable("msg", "&lt;b&gt;");
    EXPECT_FALSE(Empty(InkBox(area)));
}

TEST_F(Rendering, ParagraphsAlignAndLongTextWrapsInItsBox) {
    Load(
        "frame 0\n"
        "text 0 0 200 30 \"<p align='center'>Hi</p>\" size 16\n"
        "text 0 40 200 30 \"Hi\" size 16\n"
        "text 0 80 200 30 \"Hi\" size 16 align right\n"
        "text 300 0 100 300 \"one two three four five six seven eight\" size 14\n"
        "text 420 0 60 300 \"第二步选择图片这一行很长需要换行\" size 14\n"
        "text 0 150 200 90 \"<p align=\\\"center\\\">A</p>Lower\" size 14 valign bottom\n");
    const RECT centre = InkBox(RECT{0, 0, 200, 30});
    const RECT left = InkBox(RECT{0, 40, 200, 70});
    const RECT right = InkBox(RECT{0, 80, 200, 110});
    ASSERT_FALSE(Empty(centre));
    EXPECT_NEAR((centre.left + centre.right) / 2, 100, 3);
    EXPECT_LT(left.left, 4);
    EXPECT_GT(right.right, 195);
    EXPECT_EQ(centre.right - centre.left, left.right - left.left);
    // Words wrap onto several lines and stay in their box.
    const RECT words = InkBox(RECT{290, 0, 420, 300});
    EXPECT_GT(words.bottom - words.top, 30);  // three lines at least
    EXPECT_LE(words.right, 400);
    // Chinese has no spaces: it wraps between characters.
    const RECT chinese = InkBox(RECT{410, 0, 500, 300});
    EXPECT_GT(chinese.bottom - chinese.top, 45);  // four lines
    EXPECT_LE(chinese.right, 480);
    // Bottom alignment puts the last line at the bottom of the box.
    const RECT bottom = InkBox(RECT{0, 150, 200, 240});
    EXPECT_GT(bottom.bottom, 225);
    EXPECT_GT(bottom.top, 190);
}

TEST_F(Rendering, PicturesComeFromPngFilesNextToTheMovie) {
    PxImage picture(8, 6, 24);
    for (LONG y = 0; y < 6; ++y)
        for (LONG x = 0; x < 8; ++x)
            picture.SetPixelColor(x, y, x < 4 ? RGB(255, 0, 0) : RGB(0, 0, 255));
    std::filesystem::create_directories(folder_.Path() + "/EN/art");
    ASSERT_TRUE(picture.Save((folder_.Path() + "/EN/art/flag.png").c_str(), PX_FORMAT_PNG));
    Load("image flag \"art/flag.png\"\nframe 0\npicture flag 50 60\n");
    EXPECT_EQ(Pixel(50, 60), RGB(255, 0, 0));
    EXPECT_EQ(Pixel(57, 65), RGB(0, 0, 255));
    EXPECT_EQ(Pixel(58, 65), RGB(255, 255, 255));
    EXPECT_EQ(Pixel(50, 66), RGB(255, 255, 255));
}

TEST_F(Rendering, AButtonHilitesUnderThePointerAndSlidersShowTheirValue) {
    Load(
        "frame 0\nbutton 10 10 40 20 hilite #ff0000 do stop\n"
        "slider 100 100 110 20 min 0 max 10 value 0 command \"c\" knob #0000ff track #00ff00\n");
    EXPECT_EQ(Pixel(10, 10), RGB(255, 255, 255));
    Mouse(WM_MOUSEMOVE, 20, 15);
    EXPECT_EQ(Pixel(10, 10), RGB(255, 0, 0));
    EXPECT_EQ(Pixel(49, 29), RGB(255, 0, 0));
    EXPECT_EQ(Pixel(20, 15), RGB(255, 255, 255));
    Mouse(WM_MOUSEMOVE, 300, 300);
    EXPECT_EQ(Pixel(10, 10), RGB(255, 255, 255));
    EXPECT_EQ(Pixel(104, 102), RGB(0, 0, 255));  // the knob at 0
    EXPECT_EQ(Pixel(200, 110), RGB(0, 255, 0));  // the track
    Click(205, 110);
    EXPECT_EQ(Pixel(205, 102), RGB(0, 0, 255));  // the knob at 10
    EXPECT_EQ(Pixel(104, 110), RGB(0, 255, 0));
}

// A file name in a box one line high: one line cut before its extension, never a
// second line showing its top few pixels, and no markup read into it.
TEST_F(Rendering, ANameFieldShortensTheNameOnOneLine) {
    Load(
        "var filename \"\"\nframe 0\n"
        "field 20 20 182 18 var filename size 11 align center name\n"
        "field 20 60 182 18 var filename size 11 align center\n"
        "action stop\n");
    player_.SetVariable("filename", std::string(236, 'w') + ".png");
    const RECT named = InkBox(RECT{0, 0, 580, 58});
    ASSERT_FALSE(Empty(named));
    EXPECT_GE(named.left, 20);
    EXPECT_LE(named.right, 202);
    EXPECT_LT(named.bottom - named.top, 14) << "more than one line";
    // The plain field wraps and its second line is cut by the box's bottom.
    EXPECT_EQ(InkBox(RECT{0, 60, 580, 100}).bottom, 78);
    player_.SetVariable("filename", "<b>x</b>.png");
    const RECT tags = InkBox(RECT{0, 0, 580, 58});
    player_.SetVariable("filename", "x.png");
    EXPECT_GT(tags.right - tags.left,
              InkBox(RECT{0, 0, 580, 58}).right - InkBox(RECT{0, 0, 580, 58}).left + 20);
}
