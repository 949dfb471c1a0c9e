#include "player/movie_player.h"

#include <gtest/gtest.h>

#include "platform/window/focus.h"
#include "player_window_fixture.h"

using player_test::PlayerWindow;
using player_test::WithHeader;
using Strings = std::vector<std::string>;

namespace {

const char* const kButtons =
    "var tt \"\"\n"
    "frame 0\n"
    "  button 10 10 100 30 tip \"Next step\" hilite #ff0000 do fscommand \"ChangeStep\" \"2\" ; "
    "fscommand \"focus\" $tt\n"
    "  hover 200 10 50 50 tip \"Help\"\n"
    "  button 220 20 10 10 do set pressed \"yes\"\n"
    "  slider 300 100 210 20 min -100 max 100 value 0 command \"lightness\" tip \"Light\"\n"
    "  action stop\n";

}  // namespace

TEST_F(PlayerWindow, LoadsFileUrlsWithDecodedPathsAndQueryVariables) {
    const std::string body = "frame 0\naction stop\nframe 1\nframe 2\naction stop\n";
    const std::string path = folder_.Write("my movies/EN/Pennon.swf", WithHeader(body));
    const std::string url = "file://" + folder_.Path() + "/my%20movies/EN/Pennon.swf";
    player_.Movie(url + "?frm=2&x=a%20b&y=c+d&empty=&=skip");
    ASSERT_TRUE(player_.HasMovie()) << player_.LastError();
    EXPECT_EQ(player_.GetVariable("frm"), "2");
    EXPECT_EQ(player_.GetVariable("x"), "a b");
    EXPECT_EQ(player_.GetVariable("y"), "c d");
    EXPECT_EQ(player_.GetVariable("empty"), "");
    player_.Movie("file://localhost" + folder_.Path() + "/my%20movies/EN/Pennon.swf");
    EXPECT_TRUE(player_.HasMovie()) << player_.LastError();
    player_.Movie(path);  // a plain path
    EXPECT_TRUE(player_.HasMovie()) << player_.LastError();
    EXPECT_GE(player_.FlashVersion() >> 16, 5);
    player_.Movie("file://elsewhere/movie.swf");
    EXPECT_FALSE(player_.HasMovie());
    EXPECT_FALSE(player_.LastError().empty());
}

TEST_F(PlayerWindow, AMissingOrBadMovieLeavesThePlayerEmptyWithTheReason) {
    Load("frame 0\nrect 0 0 580 411 fill #00ff00\n");
    EXPECT_EQ(Pixel(5, 5), RGB(0, 255, 0));
    player_.Movie(folder_.Path() + "/FR/Pennon.swf");
    EXPECT_FALSE(player_.HasMovie());
    EXPECT_NE(player_.LastError().find("FR/Pennon.swf"), std::string::npos);
    EXPECT_EQ(Pixel(5, 5), RGB(255, 255, 255));
    EXPECT_EQ(player_.FrameNum(), -1);
    EXPECT_EQ(player_.TCurrentFrame("/"), -1);
    EXPECT_EQ(player_.GetVariable("tt"), "");
    player_.Movie(folder_.Path());  // a folder is no movie either
    EXPECT_NE(player_.LastError().find("cannot open the movie"), std::string::npos);
    player_.GotoFrame(1);  // all calls are safe without a movie
    player_.SetVariable("a", "b");
    player_.TCallFrame("x", 0);
    Mouse(WM_LBUTTONDOWN, 5, 5);

    const std::string bad = folder_.Write("bad.swf", WithHeader("frame 0\nrect 0 0 1 1\n"));
    player_.Movie(bad);
    EXPECT_FALSE(player_.HasMovie());
    EXPECT_EQ(player_.LastError(), "line 4: expected 'fill'");
    EXPECT_EQ(Pixel(5, 5), RGB(255, 255, 255));
}

TEST_F(PlayerWindow, TheFrameRateRunsOnTheVirtualClock) {
    std::string frames;
    for (int i = 0; i < 100; ++i)
        frames += "frame " + std::to_string(i) + "\n";
    Load(frames, 10);
    const std::uint64_t start = clock_->NowMs();
    RunUntil(start + 1050);
    EXPECT_EQ(player_.FrameNum(), 10);
    RunUntil(start + 2050);
    EXPECT_EQ(player_.FrameNum(), 20);
}

TEST_F(PlayerWindow, CommandsArriveAfterTheCallReturnsInOrder) {
    int depth = 0;
    bool nested = false;
    player_.SetFSCommandHandler([&](const std::string& command, const std::string&) {
        nested = nested || depth > 0;
        received_.push_back(command);
        if (command == "b") {
            ++depth;
            player_.GotoFrame(2);  // its command comes after "c", not inside this handler
            --depth;
        }
    });
    Load(
        "frame 0\naction stop\n"
        "frame 1\naction fscommand \"a\" \"\" ; fscommand \"b\" \"\" ; fscommand \"c\" \"\"\n"
        "frame 2\naction stop ; fscommand \"d\" \"\"\n");
    player_.GotoFrame(1);
    EXPECT_TRUE(received_.empty());
    PumpWaitingMessages();
    EXPECT_EQ(TakeReceived(), (Strings{"a", "b", "c", "d"}));
    EXPECT_FALSE(nested);
    EXPECT_EQ(player_.FrameNum(), 2);
}

TEST_F(PlayerWindow, ButtonsClickOnReleaseInsideTheSameButton) {
    Load(kButtons);
    Click(20, 20);
    EXPECT_EQ(TakeReceived(), (Strings{"ChangeStep=2", "focus=Next step"}));
    EXPECT_EQ(GetCapture(), nullptr);
    // Pressed on the button, released elsewhere: no click.
    Mouse(WM_LBUTTONDOWN, 20, 20);
    EXPECT_EQ(GetCapture(), &player_);
    Mouse(WM_LBUTTONUP, 400, 300);
    EXPECT_TRUE(TakeReceived().empty());
    // The topmost area under the pointer is the one pressed.
    Click(225, 25);
    EXPECT_EQ(player_.GetVariable("pressed"), "yes");
    EXPECT_TRUE(TakeReceived().empty());
}

TEST_F(PlayerWindow, HoveringSetsTheTipAndLeavingClearsIt) {
    Load(kButtons);
    Mouse(WM_MOUSEMOVE, 50, 20);
    EXPECT_EQ(player_.GetVariable("tt"), "Next step");
    Mouse(WM_MOUSEMOVE, 210, 50);
    EXPECT_EQ(player_.GetVariable("tt"), "Help");
    Mouse(WM_MOUSEMOVE, 225, 25);  // a button without a tip, over the hover area
    EXPECT_EQ(player_.GetVariable("tt"), "");
    Mouse(WM_MOUSEMOVE, 320, 110);
    EXPECT_EQ(player_.GetVariable("tt"), "Light");
    Mouse(WM_MOUSEMOVE, 500, 300);
    EXPECT_EQ(player_.GetVariable("tt"), "");
    // A hover area that goes away with its frame clears the tip as well.
    Mouse(WM_MOUSEMOVE, 50, 20);
    player_.GotoFrame(1);
    EXPECT_EQ(player_.GetVariable("tt"), "Next step");
    Load("frame 0\nbutton 0 0 50 50 tip \"x\" do stop\nframe 1\naction stop\n");
    Mouse(WM_MOUSEMOVE, 10, 10);
    EXPECT_EQ(player_.GetVariable("tt"), "x");
    player_.GotoFrame(1);
    EXPECT_EQ(player_.GetVariable("tt"), "");
}

TEST_F(PlayerWindow, SlidersFollowAPressAndDragAndSendTheirValue) {
    Load(kButtons);
    // The track is 210 wide with a 10-pixel knob: 200 pixels for 200 steps.
    Mouse(WM_LBUTTONDOWN, 300, 110);
    EXPECT_EQ(GetCapture(), &player_);
    Mouse(WM_MOUSEMOVE, 405, 110);
    Mouse(WM_MOUSEMOVE, 405, 300);  // off the slider: it still drags
    Mouse(WM_MOUSEMOVE, 500, 300);
    Mouse(WM_LBUTTONUP, 500, 300);
    EXPECT_EQ(TakeReceived(), (Strings{"lightness=-100", "lightness=0", "lightness=95"}));
    EXPECT_EQ(GetCapture(), nullptr);
    Mouse(WM_MOUSEMOVE, 450, 110);  // no press: nothing moves
    EXPECT_TRUE(TakeReceived().empty());
    Click(405, 110);
    EXPECT_EQ(TakeReceived(), Strings{"lightness=0"});
}

namespace {

// The way the page host uses the player: right presses swallowed, left presses
// seen first, then passed on.
class HostedPlayer : public CMoviePlayer {
public:
    int leftPresses = 0;

protected:
    void OnLButtonDown(UINT flags, POINT point) override {
        ++leftPresses;
        CMoviePlayer::OnLButtonDown(flags, point);
    }
    void OnRButtonDown(UINT, POINT) override {}
};

}  // namespace

TEST_F(PlayerWindow, ASubclassSeesThePressFirstAndTheMovieStillGetsIt) {
    HostedPlayer hosted;
    ASSERT_TRUE(hosted.CreateEx(&host_, RECT{0, 0, 580, 411}, "", 1, WS_CHILD | WS_VISIBLE));
    std::vector<std::string> got;
    hosted.SetFSCommandHandler([&](const std::string& c, const std::string&) { got.push_back(c); });
    hosted.Movie(folder_.Write("hosted.swf", WithHeader("frame 0\nbutton 0 0 50 50 do "
                                                        "fscommand \"hit\" \"\"\n")));
    hosted.SendMessage(WM_RBUTTONDOWN, 0, MAKELPARAM(10, 10));
    hosted.SendMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(10, 10));
    hosted.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    PumpWaitingMessages();
    EXPECT_EQ(hosted.leftPresses, 1);
    EXPECT_EQ(got, Strings{"hit"});
    hosted.DestroyWindow();
}
