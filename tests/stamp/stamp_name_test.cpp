#include <gtest/gtest.h>

#include "stamp/stamp_name.h"

TEST(StampName, FileNameWithoutExtensionCutToTwelveCharacters) {
    EXPECT_EQ(ProposedStampName("/home/u/holiday-at-the-sea.gif"), "holiday-at-t");
    EXPECT_EQ(ProposedStampName("/my.pictures/cat.tar.png"), "cat.tar");
    EXPECT_EQ(ProposedStampName("/pictures/sunset"), "sunset");
    // Twelve characters, not twelve bytes.
    EXPECT_EQ(ProposedStampName("/p/\u00e9t\u00e9-\u00e0-la-plage-de-nice.jpg"),
              "\u00e9t\u00e9-\u00e0-la-pla");
    EXPECT_EQ(ProposedStampName("/p/\u6d77\u8fb9\u7684\u590f\u5929.bmp"),
              "\u6d77\u8fb9\u7684\u590f\u5929");
}

TEST(StampName, StampPathBelowTheInstallationPath) {
    EXPECT_EQ(StampTemporaryFolder("/opt/wizards"), "/opt/wizards/temp/");
    EXPECT_EQ(StampTemporaryFolder("/opt/wizards/"), "/opt/wizards/temp/");
    const std::string folder = StampTemporaryFolder("/opt/wizards");
    EXPECT_EQ(MakeStampPath(folder, ProposedStampName("/x/holiday-at-the-sea.gif"), ".png"),
              "/opt/wizards/temp/holiday-at-t.png");
    EXPECT_EQ(MakeStampPath("/a", "b", "png"), "/a/b.png");
    EXPECT_EQ(MakeStampPath("C:\\w\\temp\\", "b", ".png"), "C:\\w\\temp\\b.png");
}
