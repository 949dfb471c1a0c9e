#include "platform/system/uri_list.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

TEST(UriList, LocalFileUrisArePercentDecodedInEveryAcceptedSpelling) {
    EXPECT_EQ(PathOfFileUri("file:///home/a/My%20Pictures/b.png"), "/home/a/My Pictures/b.png");
    EXPECT_EQ(PathOfFileUri("file://localhost/tmp/x.jpg"), "/tmp/x.jpg");
    EXPECT_EQ(PathOfFileUri("FILE://LocalHost/tmp/x.jpg"), "/tmp/x.jpg");
    EXPECT_EQ(PathOfFileUri("file:/tmp/x.jpg"), "/tmp/x.jpg");
    // UTF-8 names in escapes, and a literal percent written as %25.
    EXPECT_EQ(PathOfFileUri("file:///t/%C3%A9t%C3%A9%2525.gif"), "/t/\xC3\xA9t\xC3\xA9%25.gif");
    // The round trip of the spelling this program writes.
    const std::string odd = "/t/a b#c?d%e\xC3\xA9.png";
    EXPECT_EQ(PathOfFileUri(FileUriOf(odd)), odd);
}

TEST(UriList, HostileOrForeignUrisNameNoFile) {
    for (const char* uri :
         {"http://example.org/a.png", "file://otherhost/a.png", "file://localhost.evil/a.png",
          "file://", "file:relative/a.png", "file:///a%2", "file:///a%zz.png", "file:///a%00.png",
          "file:///a.png?x=1", "file:///a.png#frag", "", "/plain/path.png",
          "smb://host/share/a.png"}) {
        EXPECT_FALSE(PathOfFileUri(uri)) << uri;
    }
    EXPECT_FALSE(PathOfFileUri(std::string("file:///a\0b.png", 16)));
    EXPECT_FALSE(PathOfFileUri("file:///" + std::string(PATH_MAX, 'a')));
}

TEST(UriList, AListKeepsOrderSkipsCommentsAndBadLinesAndIsCapped) {
    EXPECT_EQ(PathsOfUriList("# dragged\r\nfile:///a.png\r\nhttp://x/y.png\r\n\r\n"
                             "file:///b%20c.jpg\nfile:///last.gif"),
              (std::vector<std::string>{"/a.png", "/b c.jpg", "/last.gif"}));
    EXPECT_TRUE(PathsOfUriList("").empty());
    EXPECT_TRUE(PathsOfUriList("\r\n\r\n#\n").empty());
    std::string many;
    for (int i = 0; i < 1000; ++i)
        many += "file:///p" + std::to_string(i) + ".png\r\n";
    const auto paths = PathsOfUriList(many);
    ASSERT_EQ(paths.size(), kMaxUriListFiles);
    EXPECT_EQ(paths.front(), "/p0.png");
}
