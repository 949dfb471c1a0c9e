#include "player/movie_parser.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "imaging/px_image.h"
#include "movie_test_support.h"

using namespace player;
using player_test::Parse;
using player_test::ParseError;
using player_test::WithHeader;

namespace {

std::string Repeat(const std::string& line, int count) {
    std::string out;
    for (int i = 0; i < count; ++i)
        out += line;
    return out;
}

// Writes a small PNG with our own encoder.
void WritePng(const std::string& path, DWORD width, DWORD height) {
    PxImage image(width, height, 24);
    image.Clear(0x80);
    ASSERT_TRUE(image.Save(path.c_str(), PX_FORMAT_PNG)) << image.GetLastError();
}

}  // namespace

TEST(MovieParser, ReadsTheSampleMovie) {
    std::ifstream file(player_test::SampleMoviePath());
    std::stringstream text;
    text << file.rdbuf();
    const auto movie = Parse(text.str());
    ASSERT_TRUE(movie);
    EXPECT_EQ(movie->width, 580);
    EXPECT_EQ(movie->fps, 12);
    EXPECT_EQ(movie->background, RGB(0xf3, 0xf5, 0xf9));
    EXPECT_EQ(movie->main.frames.size(), 2u);
    ASSERT_EQ(movie->clips.size(), 2u);
    EXPECT_EQ(movie->clips[1].name, "barre");
    EXPECT_EQ(movie->clips[1].timeline.frames.size(), 26u);  // frames 1..24 are empty
    EXPECT_EQ(movie->groups.size(), 2u);
    ASSERT_EQ(movie->variables.size(), 3u);
    EXPECT_EQ(movie->variables[2].second.text.substr(0, 18), "<p align=\"center\">");
    // The last action line: "stop ; if frm != "" goto $frm".
    const ActionList& actions = movie->main.frames[0].actions;
    ASSERT_EQ(actions.size(), 2u);
    EXPECT_EQ(actions[1].kind, ActionKind::Goto);
    ASSERT_EQ(actions[1].conditions.size(), 1u);
    EXPECT_FALSE(actions[1].conditions[0].equal);
    EXPECT_TRUE(actions[1].frame.variable);
}

TEST(MovieParser, ReadsItemsOptionsAndEscapes) {
    const auto movie = Parse(WithHeader(
        "frame 2\n"
        "  rect 1 2 3 4 fill none stroke #010203 radius 5 width 2\n"
        "  text 0 0 10 10 \"a \\\"b\\\" \\\\ c\\nd\" font \"Arial CE\" size 20 valign bottom\n"
        "  button 0 0 5 5 hilite #ff0000 tip \"t\" do play;stop ; goto 3\n"
        "  action if a == \"x\" if b != $c tgoto /x/y $n\n"));
    ASSERT_TRUE(movie);
    ASSERT_EQ(movie->main.frames.size(), 3u);
    const Frame& f = movie->main.frames[2];
    ASSERT_EQ(f.items.size(), 3u);
    const auto& rect = std::get<RectItem>(f.items[0]);
    EXPECT_FALSE(rect.fill);
    EXPECT_EQ(rect.stroke, RGB(1, 2, 3));
    EXPECT_EQ(rect.radius, 5);
    EXPECT_EQ(rect.width, 2);
    const auto& text = std::get<TextItem>(f.items[1]);
    EXPECT_EQ(text.markup, "a \"b\" \\ c\nd");
    EXPECT_EQ(text.style.font, "Arial CE");
    EXPECT_EQ(text.style.valign, VAlign::Bottom);
    EXPECT_EQ(std::get<ButtonItem>(f.items[2]).actions.size(), 3u);
    ASSERT_EQ(f.actions.size(), 1u);
    EXPECT_EQ(f.actions[0].conditions.size(), 2u);
    EXPECT_EQ(f.actions[0].target, "/x/y");
}

TEST(MovieParser, RefusesWhatTheFormatDoesNotDescribeWithTheLine) {
    const struct {
        std::string text;
        std::string error;
    } cases[] = {
        {"stage 1 1 fps 1 background #000000\n", "line 1: a movie starts with 'pennon 1'"},
        {"# comment\n\npennon 2\n", "line 3: unsupported format version 2"},
        {"pennon 1\nframe 0\n", "line 2: 'stage' must follow 'pennon'"},
        {"pennon 1\n", "line 1: the movie has no 'stage'"},
        {"", "line 1: a movie starts with 'pennon 1'"},
        {WithHeader("stage 1 1 fps 1 background #000000\n"), "line 3: 'stage' may come only once"},
        {"pennon 1\nstage 580 411 fps 0 background #ffffff\n", "line 2: the frame rate"},
        {WithHeader("frame 0\nblink 1\n"), "line 4: unknown statement 'blink'"},
        {WithHeader("frame 0\ntext 0 0 1 1 \"open\n"), "line 4: a string is not closed"},
        {WithHeader("frame 0\ntext 0 0 1 1 \"\\t\"\n"), "line 4: unknown escape"},
        {WithHeader("frame 0\nrect 0 0 1 1 fill #12345\n"), "line 4: a colour is #rrggbb"},
        {WithHeader("frame 0\nrect 0 0 1 1 fill#123456\n"), "line 4: tokens must be separated"},
        {WithHeader("frame 0\nrect 0 0 32768 1 fill #123456\n"), "line 4: expected the width"},
        {WithHeader("frame 0\nrect 0 0 -1 1 fill #123456\n"), "line 4: the width must not be"},
        {WithHeader("frame 0\nrect 0 0 1 1 fill #123456 radius 1 radius 2\n"),
         "line 4: option 'radius' given twice"},
        {WithHeader("rect 0 0 1 1 fill #123456\n"), "line 3: 'rect' outside a frame or group"},
        {WithHeader("group g\nend\nrect 0 0 1 1 fill #000000\n"), "line 5: 'rect' outside"},
        {WithHeader("frame 0\nuse later\ngroup later\nend\n"),
         "line 4: no group 'later' defined before"},
        {WithHeader("group g\nuse g\nend\n"), "line 4: group 'g' uses itself"},
        {WithHeader("clip c\nframe 0\nplace c as me 0 0\nend\n"), "line 5: clip 'c' places itself"},
        {WithHeader("clip c\ngroup g\n"), "line 4: 'group' inside a group or clip"},
        {WithHeader("end\n"), "line 3: 'end' without 'group' or 'clip'"},
        {WithHeader("group g\nend\ngroup g\n"), "line 5: group 'g' defined twice"},
        {WithHeader("frame 0\nclip open\nframe 0\n"), "line 4: clip 'open' has no 'end'"},
        {WithHeader("frame 1\nframe 1\n"), "line 4: frame 1 comes twice"},
        {WithHeader("frame 4096\n"), "line 3: frame numbers go from 0 to 4095"},
        {WithHeader("group g\naction stop\nend\n"), "line 4: 'action' outside a frame"},
        {WithHeader("frame 0\naction jump 3\n"), "line 4: unknown action 'jump'"},
        {WithHeader("frame 0\naction stop play\n"), "line 4: expected ';'"},
        {WithHeader("frame 0\naction if a = \"b\" stop\n"), "line 4: unexpected character '='"},
        {WithHeader("frame 0\nbutton 0 0 1 1 do\n"), "line 4: expected an action"},
        {WithHeader("frame 0\nslider 0 0 9 9 min 5 max 5 value 5 command \"c\"\n"),
         "line 4: the minimum must be below the maximum"},
        {WithHeader("frame 0\nslider 0 0 9 9 min 0 max 5 value 6 command \"c\"\n"),
         "line 4: the starting value"},
        {WithHeader("frame 0\ntext 0 0 1 1 \"a\" align middle\n"), "line 4: align is left"},
        {WithHeader("clip c\nend\nframe 0\nplace c as a 0 0\nplace c as a 1 1\n"),
         "line 7: instance name 'a' used twice in a frame"},
        {WithHeader("clip c\nend\ngroup g\nplace c as a 0 0\nend\nframe 0\nplace c as a 0 0\n"
                    "use g\n"),
         "line 10: instance name 'a' used twice"},
        {WithHeader("clip c\nend\nframe 0\nplace c as a/b 0 0\n"), "line 6: an instance name"},
        {WithHeader("image i \"/etc/x.png\"\n"), "line 3: an image path must be relative"},
        {WithHeader("image i \"a/../../x.png\"\n"), "line 3: an image path must be relative"},
        {WithHeader("image i \"missing.png\"\n"), "line 3: cannot read the PNG picture"},
        {WithHeader("frame 0\n\npicture nowhere 0 0\n"), "line 5: no image 'nowhere'"},
        {WithHeader("frame 0\ntext 0 0 1 1 \"\xC3\x28\"\n"), "line 4: the text is not UTF-8"},
        {WithHeader("var x\n"), "line 3: expected the value"},
    };
    for (const auto& c : cases) {
        const std::string error = ParseError(c.text);
        EXPECT_EQ(error.substr(0, c.error.size()), c.error) << c.text;
    }
}

TEST(MovieParser, EnforcesTheSizeLimits) {
    // Lines count characters, not bytes: 8192 CJK characters fit.
    std::string wide;
    for (int i = 0; i < 8192; ++i)
        wide += "\xE7\x95\x8C";
    Parse(WithHeader("# " + wide.substr(6) + "\n"));
    EXPECT_EQ(ParseError(WithHeader("#" + wide + "\n")),
              "line 3: the line is longer than 8192 characters");
    // 1 MB of text at most; the line where it runs over is named.
    const std::string big = WithHeader(Repeat(std::string(1023, '#') + "\n", 1025));
    EXPECT_EQ(ParseError(big), "line 1026: the movie is larger than 1 MB");
    // 64 groups, 256 clips.
    std::string groups, clips;
    for (int i = 0; i < 65; ++i)
        groups += "group g" + std::to_string(i) + "\nend\n";
    for (int i = 0; i < 257; ++i)
        clips += "clip c" + std::to_string(i) + "\nend\n";
    EXPECT_EQ(ParseError(WithHeader(groups)), "line 131: more than 64 groups");
    EXPECT_EQ(ParseError(WithHeader(clips)), "line 515: more than 256 clips");
}

TEST(MovieParser, CountsItemsAndInstancesThroughGroupsAndClips) {
    const std::string rect = "rect 0 0 1 1 fill #000000\n";
    // 4096 items in a frame, counting the items of used groups.
    Parse(WithHeader("group g\n" + Repeat(rect, 2048) + "end\nframe 0\nuse g\nuse g\n"));
    EXPECT_EQ(ParseError(WithHeader("group g\n" + Repeat(rect, 2048) +
                                    "end\nframe 0\nuse g\nuse g\n" + rect)),
              "line 2056: more than 4096 items in a frame");
    // Groups of groups cannot multiply past the limit either.
    EXPECT_EQ(ParseError(WithHeader("group a\n" + Repeat(rect, 64) + "end\ngroup b\n" +
                                    Repeat("use a\n", 64) + "end\ngroup c\nuse b\nuse a\nend\n")),
              "line 137: more than 4096 items in a group");
    // Clips count with what they show: 63 b's each showing 64 c's fit, 64 do not.
    std::string places;
    for (int i = 0; i < 64; ++i)
        places += "place c as c" + std::to_string(i) + " 0 0\n";
    std::string nested = "clip c\nend\nclip b\nframe 0\n" + places + "end\nclip a\nframe 0\n";
    for (int i = 0; i < 63; ++i)
        nested += "place b as b" + std::to_string(i) + " 0 0\n";
    Parse(WithHeader(nested + "end\n"));
    EXPECT_EQ(ParseError(WithHeader(nested + "place b as last 0 0\nend\n")),
              "line 137: more than 4096 items in a frame");
}

TEST(MovieParser, NestsClipsAtMostEightDeep) {
    std::string text = "clip c0\nend\n";
    for (int i = 1; i < 9; ++i) {
        text += "clip c" + std::to_string(i) + "\nframe 0\nplace c" + std::to_string(i - 1) +
                " as x 0 0\nend\n";
    }
    // c7 holds eight levels: it can be placed on the main timeline.
    Parse(WithHeader(text.substr(0, text.rfind("clip c8")) + "frame 0\nplace c7 as x 0 0\n"));
    EXPECT_EQ(ParseError(WithHeader(text)), "line 35: clips nested more than 8 deep");
}

TEST(MovieParser, LoadsPicturesFromTheMovieFolderWithinTheirLimits) {
    player_test::TempFolder folder;
    WritePng(folder.Path() + "/wide.png", 1025, 1);
    folder.Write("fake.png", "\x89PNG\r\n\x1a\n but not really a picture at all");
    std::filesystem::create_directories(folder.Path() + "/art");
    WritePng(folder.Path() + "/art/ok.png", 4, 3);
    const auto movie =
        Parse(WithHeader("frame 0\npicture ok 1 2\nimage ok \"art/ok.png\"\n"), folder.Path());
    ASSERT_TRUE(movie);
    ASSERT_EQ(movie->images.size(), 1u);
    EXPECT_EQ(movie->images[0].picture->GetWidth(), 4u);
    EXPECT_EQ(std::get<PictureItem>(movie->main.frames[0].items[0]).image, 0);
    EXPECT_EQ(ParseError(WithHeader("image w \"wide.png\"\n"), folder.Path()),
              "line 3: the picture \"wide.png\" is larger than 1024 x 1024");
    EXPECT_EQ(ParseError(WithHeader("image f \"fake.png\"\n"), folder.Path()).substr(0, 8),
              "line 3: ");
    EXPECT_EQ(ParseError(WithHeader(Repeat("image ok \"art/ok.png\"\n", 2)), folder.Path()),
              "line 4: image 'ok' defined twice");
    std::string many;
    for (int i = 0; i < 65; ++i)
        many += "image i" + std::to_string(i) + " \"art/ok.png\"\n";
    EXPECT_EQ(ParseError(WithHeader(many), folder.Path()), "line 67: more than 64 images");
}
