// The selection frame's geometry, drags, cursors and pixels.
#include "pages/selection_frame.h"

#include <gtest/gtest.h>

#include "platform/gdi/gdi.h"
#include "platform/window/clock.h"
#include "platform/window/cursor.h"
#include "platform/window/paint.h"

namespace {

constexpr UINT kLeft = 0x0001;        // MK_LBUTTON
constexpr UINT kShift = 0x0004;       // MK_SHIFT
const RECT kWide{33, 110, 215, 246};  // a 400 x 300 picture in the editor's box

bool Same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Text(const RECT& r) {
    // Appended one by one: GCC 12 warns wrongly (-Wrestrict) on "literal" + string.
    std::string text = "(";
    for (const LONG side : {r.left, r.top, r.right})
        text.append(std::to_string(side)).append(", ");
    return text.append(std::to_string(r.bottom)).append(")");
}

CSelectionFrame FrameIn(const RECT& limits) {
    CSelectionFrame frame;
    frame.Init(nullptr, limits);
    return frame;
}

// A drag from `from` through `to`, with the hover before it and the release after.
void Drag(CSelectionFrame& frame, POINT from, POINT to, UINT keys = kLeft) {
    frame.OnMouse(0, from.x, from.y, nullptr);
    frame.OnMouse(keys, from.x, from.y, nullptr);
    frame.OnMouse(keys, to.x, to.y, nullptr);
    frame.OnMouse(0, to.x, to.y, nullptr);
}

}  // namespace

TEST(SelectionFrame, StartsAsTheLargestCentredSquare) {
    EXPECT_PRED2(Same, FrameIn(kWide).sel, (RECT{56, 110, 192, 246}));
    EXPECT_PRED2(Same, FrameIn(RECT{33, 110, 133, 190}).sel, (RECT{43, 110, 123, 190}));
    EXPECT_PRED2(Same, FrameIn(RECT{33, 110, 113, 210}).sel, (RECT{33, 120, 113, 200}));
    CSelectionFrame off;
    off.limits = kWide;
    off.FitToAspect();  // disabled: nothing
    EXPECT_PRED2(Same, off.sel, (RECT{0, 0, 0, 0}));
    EXPECT_EQ(off.OnMouse(kLeft, 100, 150, nullptr), IDC_ARROW);
    EXPECT_EQ(off.mode, CSelectionFrame::kNone);
}

TEST(SelectionFrame, MovingStaysInsideTheLimitsAndKeepsTheSize) {
    CSelectionFrame frame = FrameIn(kWide);
    Drag(frame, POINT{124, 178}, POINT{624, 178});
    EXPECT_PRED2(Same, frame.sel, (RECT{79, 110, 215, 246})) << Text(frame.sel);
    Drag(frame, POINT{150, 178}, POINT{-400, 500});
    EXPECT_PRED2(Same, frame.sel, (RECT{33, 110, 169, 246})) << Text(frame.sel);

    // A short frame in a wide picture moves only sideways.
    CSelectionFrame flat = FrameIn(RECT{33, 110, 215, 182});
    const RECT before = flat.sel;
    Drag(flat, POINT{124, 140}, POINT{130, 300});
    EXPECT_EQ(flat.sel.bottom, 182);
    EXPECT_EQ(flat.sel.left, before.left + 6);
}

TEST(SelectionFrame, TheFirstMoveAfterForgettingThePointDoesNotMove) {
    CSelectionFrame frame = FrameIn(kWide);  // Init forgets the point
    frame.OnMouse(kLeft, 130, 150, nullptr);
    EXPECT_PRED2(Same, frame.sel, (RECT{56, 110, 192, 246}));
    frame.OnMouse(kLeft, 120, 150, nullptr);
    EXPECT_EQ(frame.sel.left, 46);
}

TEST(SelectionFrame, ResizingKeepsTheAnchorTheAspectAndFortyPixels) {
    CSelectionFrame frame = FrameIn(kWide);
    EXPECT_EQ(frame.OnMouse(0, 188, 242, nullptr), IDC_SIZENWSE);  // handle 4
    frame.OnMouse(kLeft, 188, 242, nullptr);
    EXPECT_EQ(frame.mode, CSelectionFrame::kResizing);
    EXPECT_EQ(frame.OnMouse(kLeft, 0, 0, nullptr), IDC_SIZENWSE);
    EXPECT_PRED2(Same, frame.sel, (RECT{56, 110, 96, 150})) << Text(frame.sel);
    // Far outside: the pointer is held at the limits first, then the frame is square.
    frame.OnMouse(kLeft, 1000, 1000, nullptr);
    EXPECT_PRED2(Same, frame.sel, (RECT{56, 110, 192, 246})) << Text(frame.sel);
    frame.OnMouse(0, 1000, 1000, nullptr);

    // Handle 1 pulled past the bottom-right corner stops 40 pixels from it.
    CSelectionFrame other = FrameIn(kWide);
    EXPECT_EQ(other.OnMouse(0, 60, 114, nullptr), IDC_SIZENWSE);
    Drag(other, POINT{60, 114}, POINT{300, 300});
    EXPECT_PRED2(Same, other.sel, (RECT{152, 206, 192, 246})) << Text(other.sel);
    // Handle 2 up and out to the right: the width gives way to the height.
    CSelectionFrame third = FrameIn(kWide);
    EXPECT_EQ(third.OnMouse(0, 188, 114, nullptr), IDC_SIZENESW);
    Drag(third, POINT{188, 114}, POINT{400, 150});
    EXPECT_PRED2(Same, third.sel, (RECT{56, 150, 152, 246})) << Text(third.sel);
}

// The keyboard's steps: a move stops at the limits, growing and shrinking keep
// the centre, and neither goes below forty pixels or beyond the limits' size.
TEST(SelectionFrame, KeysMoveAndSizeWithinTheLimitsAndTheMinimum) {
    CSelectionFrame frame = FrameIn(kWide);  // 136 high, touching top and bottom
    EXPECT_FALSE(frame.Nudge(0, 1));
    EXPECT_FALSE(frame.Grow(2)) << "taller than the limits";
    EXPECT_TRUE(frame.Nudge(-1000, 0));
    EXPECT_TRUE(Same(frame.sel, RECT{33, 110, 33 + 136, 246})) << Text(frame.sel);
    EXPECT_TRUE(frame.Grow(-2));
    EXPECT_TRUE(Same(frame.sel, RECT{34, 111, 33 + 135, 245})) << Text(frame.sel);
    // Growing at the left edge: the centre would leave the frame outside, so it
    // is moved back in.
    frame.Nudge(-1000, 0);
    EXPECT_TRUE(frame.Grow(2));
    EXPECT_TRUE(Same(frame.sel, RECT{33, 110, 33 + 136, 246})) << Text(frame.sel);
    while (frame.Grow(-2)) {
    }
    EXPECT_EQ(frame.sel.right - frame.sel.left, CSelectionFrame::kMinSide + 0);
    EXPECT_EQ(frame.sel.bottom - frame.sel.top, CSelectionFrame::kMinSide + 0);
}

TEST(SelectionFrame, APressOutsideDoesNothingUntilReleased) {
    CSelectionFrame frame = FrameIn(kWide);
    EXPECT_EQ(frame.OnMouse(0, 40, 200, nullptr), IDC_ARROW);
    frame.OnMouse(kLeft, 40, 200, nullptr);
    EXPECT_EQ(frame.mode, CSelectionFrame::kOutside);
    // Crossing the frame with the button held neither moves nor resizes it.
    EXPECT_EQ(frame.OnMouse(kLeft, 120, 180, nullptr), IDC_SIZEALL);
    frame.OnMouse(kLeft, 188, 242, nullptr);
    frame.OnMouse(kLeft, 150, 150, nullptr);
    EXPECT_PRED2(Same, frame.sel, (RECT{56, 110, 192, 246}));
    frame.OnMouse(0, 150, 150, nullptr);
    EXPECT_EQ(frame.mode, CSelectionFrame::kNone);
    Drag(frame, POINT{150, 150}, POINT{140, 150});
    EXPECT_EQ(frame.sel.left, 46);
}

// Only a key state of zero ends a drag: Shift alone counts as pressed.
TEST(SelectionFrame, ShiftWithoutAButtonDrags) {
    CSelectionFrame frame = FrameIn(kWide);
    Drag(frame, POINT{124, 178}, POINT{114, 178}, kShift);
    EXPECT_EQ(frame.sel.left, 46);
}

// On a frame smaller than the handles' reach every handle is hit; the last wins.
TEST(SelectionFrame, OnATinyFrameTheLastHandleWins) {
    CSelectionFrame frame = FrameIn(RECT{0, 0, 10, 10});
    EXPECT_EQ(frame.OnMouse(0, 5, 5, nullptr), IDC_SIZENWSE);
    EXPECT_EQ(frame.handle, 4);
    EXPECT_EQ(frame.anchorX, 0);
    EXPECT_EQ(frame.anchorY, 0);
}

namespace {

// A white window the frame is drawn on.
class Canvas : public ::testing::Test {
protected:
    void SetUp() override {
        SetClock(std::make_shared<VirtualClock>());
        window.CreateEx(nullptr, RECT{0, 0, 260, 260}, "canvas", 0, WS_POPUP | WS_VISIBLE);
    }
    void TearDown() override {
        window.DestroyWindow();
        SetClock(nullptr);
    }
    bool Inverted(int x, int y) { return WindowSurface(&window)->Get(x, y) == RGB(0, 0, 0); }
    CWnd window;
};

}  // namespace

TEST_F(Canvas, HandlesAndDashesAreInvertedInsideTheLimits) {
    CSelectionFrame frame;
    frame.Init(&window, kWide);
    frame.DrawFrame();
    // Handle 1: 10 x 10 around (60, 114), its top clamped to the limits.
    EXPECT_TRUE(Inverted(55, 110));
    EXPECT_TRUE(Inverted(64, 118));
    EXPECT_FALSE(Inverted(55, 109));
    EXPECT_FALSE(Inverted(54, 112));
    EXPECT_FALSE(Inverted(65, 118));
    // Handle 4's bottom is clamped to the limits too.
    EXPECT_TRUE(Inverted(192, 245));
    EXPECT_FALSE(Inverted(188, 246));
    // Top border: 2 pixels high, 8 on and 2 off from sel.left + 10.
    for (int x = 66; x < 176; ++x) {
        const bool dash = (x - 66) % 10 < 8;
        EXPECT_EQ(Inverted(x, 110), dash) << x;
        EXPECT_EQ(Inverted(x, 111), dash) << x;
        EXPECT_FALSE(Inverted(x, 112)) << x;
    }
    // Left border runs down from sel.top + 10.
    EXPECT_TRUE(Inverted(56, 120));
    EXPECT_TRUE(Inverted(57, 127));
    EXPECT_FALSE(Inverted(56, 128));
    EXPECT_FALSE(Inverted(58, 120));
    // Drawing again inverts back: nothing of the frame is left.
    frame.DrawFrame();
    int left = 0;
    for (int y = 0; y < 260; ++y)
        for (int x = 0; x < 260; ++x)
            left += Inverted(x, y);
    EXPECT_EQ(left, 0);
}
