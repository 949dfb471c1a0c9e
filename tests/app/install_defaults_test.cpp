#include "app/install/install_defaults.h"

#include <gtest/gtest.h>

TEST(InstallDefaults, LanguageComesFromTheLocale) {
    EXPECT_EQ(LanguageForLocale("fr_FR.UTF-8"), "FR");
    EXPECT_EQ(LanguageForLocale("es_AR"), "SP");
    EXPECT_EQ(LanguageForLocale("cs_CZ.UTF-8"), "CZ");
    EXPECT_EQ(LanguageForLocale("zh_CN.UTF-8"), "CHS");
    EXPECT_EQ(LanguageForLocale("zh_TW.UTF-8"), "CHT");
    EXPECT_EQ(LanguageForLocale("zh_HK"), "CHT");
    EXPECT_EQ(LanguageForLocale("ru_RU@euro"), "RU");
    for (const char* other : {"", "C", "POSIX", "C.UTF-8", "ja_JP", "frx"})
        EXPECT_EQ(LanguageForLocale(other), "EN") << other;
}

TEST(InstallDefaults, PicturesFolderFromUserDirs) {
    const std::string dirs =
        "# comment\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_PICTURES_DIR=\"$HOME/Bilder\"\n";
    EXPECT_EQ(PicturesDirFromUserDirs(dirs, "/home/u"), "/home/u/Bilder");
    EXPECT_EQ(PicturesDirFromUserDirs("XDG_PICTURES_DIR=\"/data/pics\"\n", "/home/u"),
              "/data/pics");
    EXPECT_EQ(PicturesDirFromUserDirs("", "/home/u"), "");
}

TEST(InstallDefaults, FoldersEndWithASlashAndEveryReadOnlyValueIsThere) {
    UserEnvironment env{"de_DE.UTF-8", "/home/u", "/home/u/.local/share", "/home/u/Bilder"};
    const auto values = DefaultValues(env);
    auto find = [&](const std::string& name) -> const DefaultValue* {
        for (const DefaultValue& v : values) {
            if (v.name == name) return &v;
        }
        return nullptr;
    };
    for (const char* name : {"Language", "Current Link", "home", "BrowseStamp", "Installation Path",
                             "PhoneIconFolder", "StampTolerance", "Thumbnail Cache"})
        ASSERT_NE(find(name), nullptr) << name;
    EXPECT_EQ(find("Language")->text, "DE");
    EXPECT_EQ(find("home")->keySuffix, kContentKey);
    EXPECT_EQ(find("home")->text, "/home/u/Bilder/");
    EXPECT_EQ(find("Installation Path")->text, "/home/u/.local/share/norvane/wizards/");
    EXPECT_TRUE(find("StampTolerance")->isNumber);
    EXPECT_EQ(find("Thumbnail Cache")->keySuffix, kUserKey);
    EXPECT_TRUE(find("Thumbnail Cache")->isNumber);
    EXPECT_EQ(find("Thumbnail Cache")->number, 1u);
    EXPECT_EQ(FoldersToCreate(env)[1], "/home/u/.local/share/norvane/wizards/temp");
}
