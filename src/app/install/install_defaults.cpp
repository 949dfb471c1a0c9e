#include "install_defaults.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/system/user_folders.h"

namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string WithSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

std::string WizardsFolder(const UserEnvironment& env) {
    return WithSlash(env.dataHome) + "norvane/wizards/";
}
std::string PhoneFolder(const UserEnvironment& env) {
    return WithSlash(env.dataHome) + "norvane/phone/";
}

}  // namespace

UserEnvironment CurrentUserEnvironment() {
    UserEnvironment env;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        env.locale = Env(name);
        if (!env.locale.empty()) break;
    }
    const UserFolders folders = CurrentUserFolders();
    env.home = folders.home;
    env.dataHome = folders.dataHome;
    // Without a home there are no defaults to give (the caller refuses to run).
    if (env.home.empty()) return env;
    std::ifstream dirs(folders.configHome + "/user-dirs.dirs");
    std::ostringstream text;
    text << dirs.rdbuf();
    env.picturesDir = PicturesDirFromUserDirs(text.str(), env.home);
    if (env.picturesDir.empty()) env.picturesDir = env.home + "/Pictures";
    return env;
}

std::string LanguageForLocale(const std::string& locale) {
    const std::string lang = locale.substr(0, locale.find_first_of("_.@"));
    const std::string region = locale.size() > 3 && locale[2] == '_' ? locale.substr(3, 2) : "";
    if (lang == "zh") {
        const bool traditional = region == "TW" || region == "HK" || region == "MO" ||
                                 locale.find("Hant") != std::string::npos;
        return traditional ? "CHT" : "CHS";
    }
    static const std::pair<const char*, const char*> kCodes[] = {
        {"en", "EN"}, {"fr", "FR"}, {"de", "DE"}, {"es", "SP"}, {"it", "IT"},
        {"pt", "PT"}, {"nl", "NL"}, {"pl", "PL"}, {"cs", "CZ"}, {"ru", "RU"},
    };
    for (const auto& [posix, code] : kCodes) {
        if (lang == posix) return code;
    }
    return "EN";
}

std::string PicturesDirFromUserDirs(const std::string& text, const std::string& home) {
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        const std::string key = "XDG_PICTURES_DIR=\"";
        if (line.rfind(key, 0) != 0 || line.back() != '"') continue;
        std::string value = line.substr(key.size(), line.size() - key.size() - 1);
        if (value.rfind("$HOME", 0) == 0) value = home + value.substr(5);
        // Relative entries are not allowed in the file; such a line is no answer.
        return !value.empty() && value.front() == '/' ? value : std::string();
    }
    return {};
}

std::vector<DefaultValue> DefaultValues(const UserEnvironment& env) {
    const std::string pictures = WithSlash(env.picturesDir);
    return {
        {"", "Language", LanguageForLocale(env.locale)},
        {"", "Current Link", "USB"},
        {kContentKey, "home", pictures},
        {kUserKey, "BrowseStamp", pictures},
        {kUserKey, "PathStamp", pictures},
        {kUserKey, "Thumbnail Cache", "", 1, true},
        {kWizardsKey, "Installation Path", WizardsFolder(env)},
        {kWizardsKey, "PhoneIconFolder", "Stamps"},
        {kWizardsKey, "StampTolerance", "", 16, true},
        {kPhoneLinkKey, "Storage Folder", PhoneFolder(env)},
    };
}

std::vector<std::string> FoldersToCreate(const UserEnvironment& env) {
    return {env.picturesDir, WizardsFolder(env) + "temp", PhoneFolder(env) + "Stamps"};
}
