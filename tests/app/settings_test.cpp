#include "app/settings/settings.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/texts/wizard_texts.h"
#include "platform/registry/registry.h"
#include "platform/window/message_box.h"

namespace fs = std::filesystem;

namespace {

struct Box {
    std::string text, caption;
    UINT style;
};

// A registry file of the test's own holding the wizard's keys, and a record of
// every message box shown.
class Settings : public ::testing::Test {
protected:
    void SetUp() override {
        file_ =
            fs::temp_directory_path() / ("ostrel_settings_" + std::to_string(getpid()) + ".reg");
        std::ofstream(file_)
            << "Windows Registry Editor Version 5.00\n\n"
               "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane\\Tessel 310-510]\n"
               "\"Current Link\"=\"USB\"\n\n"
               "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane\\Tessel 310-510\\Customization Wizards]\n"
               "\"StampTolerance\"=dword:00000010\n"
               "\"Short\"=\"abc\"\n"
               "\"Long\"=\"abcd\"\n\n"
               "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane\\Tessel 310-510\\Customization "
               "Wizards\\user]\n";
        setenv("OSTREL_REGISTRY", file_.c_str(), 1);
        g_texts = BuildTexts("EN");
        SetMessageBoxHandler(
            [this](HWND, const std::string& text, const std::string& caption, UINT style) {
                boxes_.push_back({text, caption, style});
                return IDOK;
            });
    }
    void TearDown() override {
        SetMessageBoxHandler(nullptr);
        unsetenv("OSTREL_REGISTRY");
        fs::remove(file_);
    }

    fs::path file_;
    std::vector<Box> boxes_;
};

}  // namespace

TEST_F(Settings, MissingValueShowsTheKeyTheNameAndTheCode) {
    std::string second = "kept";
    EXPECT_EQ(ReadRegString("Language", &second), "");
    EXPECT_EQ(second, "kept");
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, "Registry error :\nSOFTWARE\\Norvane\\Tessel 310-510[Language] (2)");
    EXPECT_EQ(boxes_[0].caption, "Ostrel");
    EXPECT_EQ(boxes_[0].style, MB_ICONHAND | MB_OK);
    EXPECT_EQ(ReadRegString("home", nullptr, "\\Lumenor"), "");
    EXPECT_EQ(boxes_[1].text,
              "Registry error :\nSOFTWARE\\Norvane\\Tessel 310-510\\Lumenor[home] (2)");
}

TEST_F(Settings, StringsReadBackAsWrittenWithTheirZero) {
    std::string second;
    EXPECT_EQ(ReadRegString("Current Link", &second), "USB");
    EXPECT_EQ(second, "USB");
    const std::string suffix = "\\Customization Wizards\\user";
    ASSERT_TRUE(WriteRegString("BrowseStamp", "D:\\Pictures", suffix));
    HKEY raw = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, (std::string(kRegistryRoot) + suffix).c_str(), 0,
                           KEY_READ, &raw),
              ERROR_SUCCESS);
    UniqueRegKey key(raw);
    DWORD size = 0;
    ASSERT_EQ(RegQueryValueEx(key.get(), "BrowseStamp", nullptr, nullptr, nullptr, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(size, 12u);
    EXPECT_EQ(ReadRegString("BrowseStamp", nullptr, suffix), "D:\\Pictures");
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(Settings, TextsOverFiveHundredNineteenBytesFailWithMoreData) {
    const std::string suffix = "\\Customization Wizards\\user";
    ASSERT_TRUE(WriteRegString("PathStamp", std::string(519, 'x'), suffix));
    EXPECT_EQ(ReadRegString("PathStamp", nullptr, suffix).size(), 519u);
    ASSERT_TRUE(WriteRegString("PathStamp", std::string(520, 'x'), suffix));
    EXPECT_EQ(ReadRegString("PathStamp", nullptr, suffix), "");
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_NE(boxes_[0].text.find("[PathStamp] (234)"), std::string::npos);
}

TEST_F(Settings, WritingToAMissingKeyFailsWithAMessage) {
    EXPECT_FALSE(WriteRegString("BrowseStamp", "x", "\\Nowhere"));
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text,
              "Registry error :\nSOFTWARE\\Norvane\\Tessel 310-510\\Nowhere[BrowseStamp] (2)");
}

TEST_F(Settings, NumbersAreReadWithoutLookingAtTheType) {
    EXPECT_EQ(ReadRegDword("StampTolerance"), 16u);
    EXPECT_EQ(ReadRegDword("Short"), 0x00636261u);  // "abc" and its zero
    EXPECT_TRUE(boxes_.empty());
    EXPECT_EQ(ReadRegDword("Long"), 234u);
    EXPECT_EQ(ReadRegDword("Missing"), 2u);
    ASSERT_EQ(boxes_.size(), 2u);
    EXPECT_EQ(boxes_[0].text, "Registry error");
    EXPECT_EQ(boxes_[1].caption, "Ostrel");
}
