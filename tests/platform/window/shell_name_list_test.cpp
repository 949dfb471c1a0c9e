#include "platform/window/shell_name_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

bool EndsInSlash(const std::string& name) {
    return name.back() == '/';
}

}  // namespace

TEST(ShellNameList, BlocksSplitAtZerosAndEndAtTheDoubleZero) {
    const char block[] = "a.png\0dir/b.png\0\0ignored\0";
    EXPECT_EQ(SplitNameBlock(block), (std::vector<std::string>{"a.png", "dir/b.png"}));
    EXPECT_TRUE(SplitNameBlock("\0").empty());
    EXPECT_TRUE(SplitNameBlock(nullptr).empty());
}

TEST(ShellNameList, TargetsPairOrShareAndFoldersReceiveTheSourcesName) {
    const std::vector<std::string> two{"x/", "y"};
    EXPECT_EQ(TargetFor("a/b.png", two, 0, FO_COPY, 0, EndsInSlash), "x/b.png");
    EXPECT_EQ(TargetFor("c.png", two, 1, FO_COPY, 0, EndsInSlash), "x/c.png");
    EXPECT_EQ(TargetFor("c.png", two, 1, FO_COPY, FOF_MULTIDESTFILES, EndsInSlash), "y");
    // Past the last target, pairs fall back to the first.
    EXPECT_EQ(TargetFor("d.png", two, 5, FO_MOVE, FOF_MULTIDESTFILES, EndsInSlash), "x/d.png");
    // Renaming names the target itself, folder or not.
    EXPECT_EQ(TargetFor("a/b.png", two, 0, FO_RENAME, 0, EndsInSlash), "x/");
}

TEST(ShellNameList, AFolderGivenWithATrailingSlashMovesIntoTheTargetNotOntoIt) {
    const std::vector<std::string> into{"target/"};
    EXPECT_EQ(TargetFor("pictures/holiday/", into, 0, FO_MOVE, 0, EndsInSlash), "target/holiday");
    EXPECT_EQ(TargetFor("holiday//", into, 0, FO_MOVE, 0, EndsInSlash), "target/holiday");
}
