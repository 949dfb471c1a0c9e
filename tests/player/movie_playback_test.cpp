#include "player/movie_playback.h"

#include <gtest/gtest.h>

#include "movie_test_support.h"

using namespace player;
using player_test::Parse;
using player_test::WithHeader;

namespace {

using Query = std::vector<std::pair<std::string, std::string>>;

std::unique_ptr<MoviePlayback> Play(const std::string& body, const Query& query = {}) {
    auto movie = Parse(WithHeader(body));
    if (!movie) return nullptr;
    auto playback = std::make_unique<MoviePlayback>(movie, query);
    playback->Start();
    return playback;
}

std::vector<std::string> Commands(MoviePlayback& playback) {
    std::vector<std::string> out;
    for (const FsCommand& c : playback.TakeCommands())
        out.push_back(c.argument.empty() ? c.command : c.command + "=" + c.argument);
    return out;
}

using Strings = std::vector<std::string>;

// A clip "inner" of three frames inside a clip "outer" of two.
const char* const kNested =
    "clip inner\n"
    "frame 2\n"
    "action fscommand \"inner2\" \"\"\n"
    "end\n"
    "clip outer\n"
    "frame 0\n"
    "place inner as in 5 5\n"
    "frame 1\n"
    "place inner as in 5 5\n"
    "end\n"
    "frame 0\n"
    "place outer as out 10 10\n";

}  // namespace

TEST(MoviePlayback, ClipsPlayTheirOwnFramesAlongPaths) {
    auto p = Play(kNested);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->FrameNum(), 0);
    EXPECT_EQ(p->TCurrentFrame("out"), 0);
    EXPECT_EQ(p->TCurrentFrame("/out/in"), 0);
    p->Tick();
    EXPECT_EQ(p->FrameNum(), 0);  // one frame: the main timeline stays
    EXPECT_EQ(p->TCurrentFrame("/out"), 1);
    EXPECT_EQ(p->TCurrentFrame("/out/in"), 1);
    p->Tick();
    EXPECT_EQ(p->TCurrentFrame("/out"), 0);     // wrapped
    EXPECT_EQ(p->TCurrentFrame("/out/in"), 2);  // kept its playhead: placed again
    EXPECT_EQ(Commands(*p), Strings{"inner2"});
    p->TStop("/out/in");
    p->Tick();
    EXPECT_EQ(p->TCurrentFrame("/out/in"), 2);
    p->TPlay("/out/in");
    p->Tick();
    EXPECT_EQ(p->TCurrentFrame("/out/in"), 0);
    for (const char* missing : {"in", "/out/", "//out", "/out/in/deeper", "/nothing"})
        EXPECT_EQ(p->TCurrentFrame(missing), -1) << missing;
    EXPECT_EQ(p->TCurrentFrame("/"), 0);
    p->TGotoFrame("/out/in", 99);  // past the end: the last frame
    EXPECT_EQ(p->TCurrentFrame("/out/in"), 2);
    p->TGotoFrame("/out/in", -1);
    EXPECT_EQ(p->TCurrentFrame("/out/in"), 2);
    p->TGotoFrame("/nothing", 1);  // does nothing
}

TEST(MoviePlayback, FramesKeepMakeAndDropInstances) {
    auto p = Play(
        "clip c\nframe 2\nend\nclip d\nframe 1\nend\n"
        "frame 0\nplace c as x 0 0\n"
        "frame 1\nplace c as x 3 3\n"
        "frame 2\nplace c as y 0 0\n"
        "frame 3\nplace d as y 0 0\n");
    ASSERT_TRUE(p);
    p->TStop("/");
    p->Tick();
    EXPECT_EQ(p->TCurrentFrame("x"), 1);
    p->GotoFrame(1);  // same name and clip: kept, moved
    EXPECT_EQ(p->TCurrentFrame("x"), 1);
    EXPECT_EQ(p->Root().children[0]->offset.x, 3);
    p->GotoFrame(2);
    EXPECT_EQ(p->TCurrentFrame("x"), -1);
    EXPECT_EQ(p->TCurrentFrame("y"), 0);
    p->Tick();  // the main timeline is stopped; y plays
    EXPECT_EQ(p->TCurrentFrame("y"), 1);
    p->GotoFrame(3);  // same name, another clip: a new instance
    EXPECT_EQ(p->TCurrentFrame("y"), 0);
    EXPECT_EQ(p->Root().children[0]->clip, 1);
}

TEST(MoviePlayback, EnteringAFrameRunsNewInstancesFirstThenTheFrame) {
    auto p = Play(
        "clip c\nframe 0\naction fscommand \"child\" \"\"\nframe 1\n"
        "action fscommand \"child1\" \"\"\nend\n"
        "frame 0\nplace c as a 0 0\naction fscommand \"main\" \"\"\n"
        "frame 1\nplace c as a 0 0\nplace c as b 0 0\naction fscommand \"main1\" \"\"\n");
    ASSERT_TRUE(p);
    EXPECT_EQ(Commands(*p), (Strings{"child", "main"}));
    // Main first, then its instances in placing order; b, made by this tick,
    // moves only at the next one.
    p->Tick();
    EXPECT_EQ(Commands(*p), (Strings{"child", "main1", "child1"}));
    p->Tick();
    EXPECT_EQ(Commands(*p), (Strings{"main", "child"}));
}

TEST(MoviePlayback, TCallFrameRunsActionsWithoutMovingThePlayhead) {
    auto p = Play(
        "clip c\nframe 0\naction stop\nframe 1\n"
        "frame 2\naction set called \"yes\" ; fscommand \"called\" $called\n"
        "frame 3\naction goto 1\nend\n"
        "frame 0\nplace c as x 0 0\naction stop\n");
    ASSERT_TRUE(p);
    p->TCallFrame("x", 2);
    EXPECT_EQ(p->TCurrentFrame("x"), 0);
    EXPECT_EQ(p->GetVariable("called"), "yes");
    EXPECT_EQ(Commands(*p), Strings{"called=yes"});
    p->TCallFrame("x", 3);  // a goto in a called frame moves that clip
    EXPECT_EQ(p->TCurrentFrame("x"), 1);
    EXPECT_EQ(p->FrameNum(), 0);
    p->TCallFrame("x", 4);
    p->TCallFrame("x", -1);
    p->TCallFrame("nobody", 2);
    EXPECT_EQ(p->TCurrentFrame("x"), 1);
    EXPECT_TRUE(Commands(*p).empty());
}

TEST(MoviePlayback, GotoRerunsActionsClampsAndIgnoresNegatives) {
    auto p = Play(
        "var target \"2\"\n"
        "frame 0\naction stop ; fscommand \"at\" \"0\"\n"
        "frame 1\naction fscommand \"at\" \"1\"\n"
        "frame 2\naction fscommand \"at\" \"2\" ; goto $target\n");
    ASSERT_TRUE(p);
    EXPECT_EQ(Commands(*p), Strings{"at=0"});
    p->GotoFrame(0);  // the current frame: its actions run again
    EXPECT_EQ(Commands(*p), Strings{"at=0"});
    p->GotoFrame(-3);
    EXPECT_EQ(p->FrameNum(), 0);
    p->SetVariable("target", "1");
    p->GotoFrame(1000);  // the last frame, whose goto takes $target
    EXPECT_EQ(p->FrameNum(), 1);
    EXPECT_EQ(Commands(*p), (Strings{"at=2", "at=1"}));
    for (const char* notANumber : {"", "x", "1x", "-1"}) {
        p->SetVariable("target", notANumber);
        p->GotoFrame(2);
        EXPECT_EQ(p->FrameNum(), 2) << notANumber;
    }
    p->SetVariable("target", " 0 ");
    p->GotoFrame(2);
    EXPECT_EQ(p->FrameNum(), 0);
}

TEST(MoviePlayback, GotoChainsStopAtTheDepthLimit) {
    auto p = Play(
        "frame 0\naction stop\n"
        "frame 1\naction fscommand \"at\" \"1\" ; goto 2\n"
        "frame 2\naction fscommand \"at\" \"2\" ; goto 1\n");
    ASSERT_TRUE(p);
    p->GotoFrame(1);
    const Strings sent = Commands(*p);
    EXPECT_EQ(sent.size(), static_cast<std::size_t>(kMaxChainDepth));
    EXPECT_EQ(p->FrameNum(), 2);
    // The next call starts a new chain.
    p->GotoFrame(2);
    EXPECT_EQ(Commands(*p).size(), static_cast<std::size_t>(kMaxChainDepth));

    // Frames that each go twice to the next would run 2^31 times without the
    // budget of steps a call has.
    std::string doubling = "frame 0\naction stop\n";
    for (int i = 1; i < 40; ++i) {
        doubling += "frame " + std::to_string(i) + "\naction fscommand \"f\" \"\" ; goto " +
                    std::to_string(i + 1) + " ; goto " + std::to_string(i + 1) + "\n";
    }
    auto q = Play(doubling);
    ASSERT_TRUE(q);
    q->GotoFrame(1);
    EXPECT_LE(Commands(*q).size(), static_cast<std::size_t>(kMaxSteps));
    q->GotoFrame(0);
    EXPECT_EQ(q->FrameNum(), 0);  // and the next call works again
}

TEST(MoviePlayback, VariablesStartDeclaredThenTakeTheQuery) {
    auto p = Play(
        "var a \"one\"\nvar b $a\nvar frm \"0\"\n"
        "frame 0\naction stop ; if frm != \"0\" goto $frm ; if a == \"one\" set seen $b\n"
        "frame 3\naction set reached \"3\"\n",
        Query{{"frm", "3"}, {"x", "a b"}});
    ASSERT_TRUE(p);
    EXPECT_EQ(p->GetVariable("b"), "one");
    EXPECT_EQ(p->GetVariable("x"), "a b");
    EXPECT_EQ(p->GetVariable("unknown"), "");
    EXPECT_EQ(p->FrameNum(), 3);
    EXPECT_EQ(p->GetVariable("reached"), "3");
    EXPECT_EQ(p->GetVariable("seen"), "one");
    EXPECT_TRUE(p->TakeChanged());
    EXPECT_FALSE(p->TakeChanged());
    p->SetVariable("a", "one");  // the same value: nothing to redraw
    EXPECT_FALSE(p->TakeChanged());
    p->SetVariable("a", "two");
    EXPECT_TRUE(p->TakeChanged());
}
