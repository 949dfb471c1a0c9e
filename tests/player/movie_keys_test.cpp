// The keyboard on the movie's buttons and sliders: Tab's way round them, the focus
// mark around the focused one, Space pressing a button as a click does and the
// arrows moving a slider.
#include <gtest/gtest.h>

#include "platform/window/dialog_look.h"
#include "platform/window/focus.h"
#include "player_window_fixture.h"

using player_test::PlayerWindow;
using Strings = std::vector<std::string>;

namespace {

// Two buttons, a hover area (no stop) between them and a slider, in drawing order.
const char* const kStops =
    "frame 0\n"
    "  button 10 10 100 30 do fscommand \"ChangeStep\" \"2\"\n"
    "  hover 200 10 50 50 tip \"Help\"\n"
    "  button 220 20 10 10 do set pressed \"yes\"\n"
    "  slider 300 100 210 20 min -100 max 100 value 0 command \"lightness\"\n"
    "  action stop\n";

}  // namespace

TEST_F(PlayerWindow, TabGoesRoundButtonsAndSlidersInDrawingOrderThenLeaves) {
    Load(kStops);
    EXPECT_EQ(player_.FocusedStop(), -1);
    for (int stop : {0, 1, 2}) {
        EXPECT_TRUE(player_.MoveInnerFocus(false));
        EXPECT_EQ(player_.FocusedStop(), stop);
    }
    EXPECT_FALSE(player_.MoveInnerFocus(false)) << "past the last stop Tab moves on";
    EXPECT_EQ(player_.FocusedStop(), -1);
    EXPECT_TRUE(player_.MoveInnerFocus(true));  // Shift+Tab comes in at the last
    EXPECT_EQ(player_.FocusedStop(), 2);
    Load("frame 0\nrect 0 0 10 10 fill #000000\naction stop\n");
    EXPECT_FALSE(player_.MoveInnerFocus(false)) << "a stage without stops is passed over";
}

TEST_F(PlayerWindow, TheFocusedButtonHasTheMarkAroundItUntilTheKeyboardLeaves) {
    Load(kStops);
    const COLORREF before = Pixel(8, 20);
    ASSERT_NE(before, look::kAccent);
    SetFocus(&player_);
    player_.MoveInnerFocus(false);
    // Two pixels wide, a pixel clear of the button's box at (10, 10).
    EXPECT_EQ(Pixel(7, 20), look::kAccent);
    EXPECT_EQ(Pixel(8, 20), look::kAccent);
    EXPECT_NE(Pixel(9, 20), look::kAccent);
    EXPECT_EQ(Pixel(60, 42), look::kAccent);
    SetFocus(&host_);
    EXPECT_EQ(player_.FocusedStop(), -1);
    EXPECT_EQ(Pixel(8, 20), before);
}

TEST_F(PlayerWindow, SpacePressesTheFocusedButtonAsAClickDoesAndArrowsMoveASlider) {
    Load(kStops);
    SetFocus(&player_);
    EXPECT_FALSE(player_.PressInnerFocus()) << "nothing focused: Enter keeps its meaning";
    player_.MoveInnerFocus(false);
    PostKeyEvent(WM_KEYDOWN, VK_SPACE);
    PumpWaitingMessages();
    EXPECT_EQ(TakeReceived(), Strings{"ChangeStep=2"});
    player_.MoveInnerFocus(false);
    EXPECT_TRUE(player_.PressInnerFocus());
    EXPECT_EQ(player_.GetVariable("pressed"), "yes");
    player_.MoveInnerFocus(false);
    EXPECT_FALSE(player_.PressInnerFocus()) << "a slider takes no press";
    for (WPARAM key : {VK_RIGHT, VK_UP, VK_LEFT, VK_DOWN, VK_DOWN, VK_SPACE}) {
        PostKeyEvent(WM_KEYDOWN, key);
        PumpWaitingMessages();
    }
    EXPECT_EQ(TakeReceived(), (Strings{"lightness=10", "lightness=20", "lightness=10",
                                       "lightness=0", "lightness=-10"}));
}
