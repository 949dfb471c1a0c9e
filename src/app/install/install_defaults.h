// What the installer writes: the registry keys the wizard expects, and the
// read-only values with defaults for this user.
#pragma once

#include <string>
#include <vector>

#include "platform/base/win_types.h"

constexpr const char* kRootKey = "SOFTWARE\\Norvane\\Tessel 310-510";
constexpr const char* kContentKey = "\\Lumenor";
constexpr const char* kWizardsKey = "\\Customization Wizards";
constexpr const char* kUserKey = "\\Customization Wizards\\user";
constexpr const char* kPhoneLinkKey = "\\PhoneLink";

struct DefaultValue {
    std::string keySuffix;  // appended to kRootKey
    std::string name;
    std::string text;  // a text value, unless isNumber
    DWORD number = 0;
    bool isNumber = false;
};

// The environment the defaults are taken from, so tests can supply their own.
struct UserEnvironment {
    std::string locale;       // LC_ALL, else LC_MESSAGES, else LANG
    std::string home;         // the home of user_folders.h; empty when there is none
    std::string dataHome;     // $XDG_DATA_HOME, else home/.local/share
    std::string picturesDir;  // from user-dirs.dirs, else home/Pictures
};

UserEnvironment CurrentUserEnvironment();

// "fr_FR.UTF-8" gives "FR", "es" gives "SP", "zh_TW" gives "CHT"; anything else "EN".
std::string LanguageForLocale(const std::string& locale);

// Reads XDG_PICTURES_DIR from a user-dirs.dirs text; empty when absent or relative.
std::string PicturesDirFromUserDirs(const std::string& text, const std::string& home);

// Folders end with "/" so the wizard can append names to them.
std::vector<DefaultValue> DefaultValues(const UserEnvironment& env);

// The folders the defaults name that must exist (pictures, temp/, phone storage).
std::vector<std::string> FoldersToCreate(const UserEnvironment& env);
