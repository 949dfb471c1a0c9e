#include "user_folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace {

std::string Absolute(std::string path) {
    return !path.empty() && path.front() == '/' ? path : std::string();
}

// folder + "/" + name, without doubling the slash of a home at "/".
std::string Below(const std::string& folder, const char* name) {
    if (folder.empty()) return {};
    return (folder.back() == '/' ? folder : folder + "/") + name;
}

std::string ProcessVariable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The user database's home for this user; empty when it has no entry.
std::string AccountHome() {
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found ||
        !found->pw_dir)
        return {};
    return found->pw_dir;
}

}  // namespace

UserFolders ResolveUserFolders(const EnvironmentLookup& environment,
                               const std::string& accountHome) {
    UserFolders folders;
    folders.home = Absolute(environment("HOME"));
    if (folders.home.empty()) folders.home = Absolute(accountHome);
    const auto base = [&](const char* variable, const char* belowHome) {
        const std::string given = Absolute(environment(variable));
        return given.empty() ? Below(folders.home, belowHome) : given;
    };
    folders.configHome = base("XDG_CONFIG_HOME", ".config");
    folders.cacheHome = base("XDG_CACHE_HOME", ".cache");
    folders.dataHome = base("XDG_DATA_HOME", ".local/share");
    folders.runtimeDir = Absolute(environment("XDG_RUNTIME_DIR"));
    return folders;
}

UserFolders CurrentUserFolders() {
    // The user database is asked only when HOME does not already answer.
    const bool homeGiven = !Absolute(ProcessVariable("HOME")).empty();
    return ResolveUserFolders(ProcessVariable, homeGiven ? std::string() : AccountHome());
}

std::string NoHomeReason() {
    const std::string home = ProcessVariable("HOME");
    const std::string variable =
        home.empty() ? "HOME is not set" : "HOME (\"" + home + "\") is not an absolute path";
    const std::string account = AccountHome();
    return variable + " and the user database " +
           (account.empty() ? "has no entry for user " + std::to_string(getuid())
                            : "gives no absolute home (\"" + account + "\")");
}

std::string RuntimeFolder() {
    const std::string runtime = CurrentUserFolders().runtimeDir;
    return runtime.empty() ? "/tmp" : runtime;
}
