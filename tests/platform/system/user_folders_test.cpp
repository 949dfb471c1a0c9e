// The home and the XDG base folders: never a relative path, never a folder built
// below a home that is not there.
#include "platform/system/user_folders.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

UserFolders Resolve(const std::map<std::string, std::string>& variables,
                    const std::string& accountHome = "/home/db") {
    return ResolveUserFolders(
        [&](const char* name) {
            const auto found = variables.find(name);
            return found == variables.end() ? std::string() : found->second;
        },
        accountHome);
}

}  // namespace

TEST(UserFolders, HomeFromTheEnvironmentElseFromTheUserDatabase) {
    const UserFolders given = Resolve({{"HOME", "/home/u"}});
    EXPECT_EQ(given.home, "/home/u");
    EXPECT_EQ(given.configHome, "/home/u/.config");
    EXPECT_EQ(given.cacheHome, "/home/u/.cache");
    EXPECT_EQ(given.dataHome, "/home/u/.local/share");
    EXPECT_EQ(given.runtimeDir, "");

    // Unset, empty and relative homes all leave the answer to the user database.
    for (const auto& variables : {std::map<std::string, std::string>{},
                                  {{"HOME", ""}},
                                  {{"HOME", "."}},
                                  {{"HOME", "home/u"}}}) {
        const UserFolders fallback = Resolve(variables);
        EXPECT_EQ(fallback.home, "/home/db");
        EXPECT_EQ(fallback.configHome, "/home/db/.config");
    }
    // A home at the root gives folders below it, not "//.config".
    EXPECT_EQ(Resolve({{"HOME", "/"}}).configHome, "/.config");
}

TEST(UserFolders, WithoutAnyHomeNothingIsBuiltBelowOne) {
    for (const std::string& account : {std::string(), std::string("relative/home")}) {
        const UserFolders none = Resolve({{"HOME", ""}}, account);
        EXPECT_EQ(none.home, "");
        EXPECT_EQ(none.configHome, "");
        EXPECT_EQ(none.cacheHome, "");
        EXPECT_EQ(none.dataHome, "");
    }
    // Folders given absolutely still count.
    const UserFolders some =
        Resolve({{"XDG_CONFIG_HOME", "/cfg"}, {"XDG_RUNTIME_DIR", "/run/u"}}, "");
    EXPECT_EQ(some.configHome, "/cfg");
    EXPECT_EQ(some.runtimeDir, "/run/u");
    EXPECT_EQ(some.dataHome, "");
}

TEST(UserFolders, RelativeBaseFoldersAreIgnored) {
    const UserFolders relative = Resolve({{"HOME", "/home/u"},
                                          {"XDG_CONFIG_HOME", ".config"},
                                          {"XDG_CACHE_HOME", "cache"},
                                          {"XDG_DATA_HOME", "./data"},
                                          {"XDG_RUNTIME_DIR", "run"}});
    EXPECT_EQ(relative.configHome, "/home/u/.config");
    EXPECT_EQ(relative.cacheHome, "/home/u/.cache");
    EXPECT_EQ(relative.dataHome, "/home/u/.local/share");
    EXPECT_EQ(relative.runtimeDir, "");

    const UserFolders absolute = Resolve({{"HOME", "/home/u"},
                                          {"XDG_CONFIG_HOME", "/c"},
                                          {"XDG_CACHE_HOME", "/k"},
                                          {"XDG_DATA_HOME", "/d"},
                                          {"XDG_RUNTIME_DIR", "/r"}});
    EXPECT_EQ(absolute.configHome, "/c");
    EXPECT_EQ(absolute.cacheHome, "/k");
    EXPECT_EQ(absolute.dataHome, "/d");
    EXPECT_EQ(absolute.runtimeDir, "/r");
}
