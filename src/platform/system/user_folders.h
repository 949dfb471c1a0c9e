// Where this user's files live: the home folder and the XDG base folders. Every
// part of the program that needs one of them asks here, so that all of them agree
// and none ever builds a path from a home that is not there. Every folder given is
// absolute or empty: a relative value in the environment is ignored, as the XDG
// base directory rules require, and a relative home is no home.
#pragma once

#include <functional>
#include <string>

struct UserFolders {
    std::string home;        // $HOME, else the user database's home; empty when neither
    std::string configHome;  // $XDG_CONFIG_HOME, else home/.config
    std::string cacheHome;   // $XDG_CACHE_HOME, else home/.cache
    std::string dataHome;    // $XDG_DATA_HOME, else home/.local/share
    std::string runtimeDir;  // $XDG_RUNTIME_DIR; empty when unset (no default exists)
};

// An environment variable's value, empty when it is unset.
using EnvironmentLookup = std::function<std::string(const char* name)>;

// The folders for the given environment and the home the user database names
// for this user (empty when it has no entry).
UserFolders ResolveUserFolders(const EnvironmentLookup& environment,
                               const std::string& accountHome);

// This process's folders, from its environment and getpwuid(getuid()).
UserFolders CurrentUserFolders();

// Why there is no home, for a program that refuses to run without one.
std::string NoHomeReason();

// $XDG_RUNTIME_DIR, else /tmp: where the program's lock and desktop files go.
std::string RuntimeFolder();
