#include "folder_places.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "folder_listing.h"
#include "platform/system/user_folders.h"

namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string BaseName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// gvfs names its mounts after the protocol: "mtp:host=..." is a phone,
// "gphoto2:host=..." a camera.
PlaceKind KindOfMount(const std::string& name) {
    if (name.rfind("mtp:", 0) == 0 || name.rfind("afc:", 0) == 0) return PlaceKind::Phone;
    if (name.rfind("gphoto2:", 0) == 0) return PlaceKind::Camera;
    return PlaceKind::Volume;
}

void AddOnce(std::vector<FolderPlace>& places, FolderPlace place) {
    place.path = NormalFolderPath(place.path);
    if (place.path.empty() || !IsFolder(place.path)) return;
    for (const FolderPlace& p : places)
        if (p.path == place.path) return;
    places.push_back(std::move(place));
}

void AddMounts(std::vector<FolderPlace>& places, const std::string& folder) {
    if (folder.empty()) return;
    for (const std::string& name : ListSubfolders(folder))
        AddOnce(places, FolderPlace{name, folder + "/" + name, KindOfMount(name)});
}

}  // namespace

PlaceEnvironment PlaceEnvironment::FromProcess() {
    PlaceEnvironment env;
    const UserFolders folders = CurrentUserFolders();
    env.home = folders.home;
    env.configHome = folders.configHome;
    env.runtimeDir = folders.runtimeDir;
    env.user = Env("USER");
    const passwd* account = env.user.empty() ? getpwuid(getuid()) : nullptr;
    if (account && account->pw_name) env.user = account->pw_name;
    if (!env.user.empty()) {
        env.mountFolders.push_back("/media/" + env.user);
        env.mountFolders.push_back("/run/media/" + env.user);
    }
    env.mountFolders.push_back("/mnt");
    return env;
}

std::string UserDirFrom(const std::string& userDirs, const std::string& key,
                        const std::string& home) {
    std::istringstream lines(userDirs);
    std::string line, found;
    while (std::getline(lines, line)) {
        if (line.rfind(key + "=", 0) != 0) continue;
        std::string value = line.substr(key.size() + 1);
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.rfind("$HOME", 0) == 0) value = home + value.substr(5);
        found = value;
    }
    return found;
}

std::vector<FolderPlace> FindFolderPlaces(const PlaceEnvironment& env) {
    std::vector<FolderPlace> places;
    const std::string dirs =
        env.configHome.empty() ? "" : ReadFile(env.configHome + "/user-dirs.dirs");
    const auto userDir = [&](const char* key, const char* fallback) {
        std::string dir = UserDirFrom(dirs, key, env.home);
        return dir.empty() && !env.home.empty() ? env.home + fallback : dir;
    };
    if (!env.home.empty()) AddOnce(places, FolderPlace{"Home", env.home, PlaceKind::Home});
    const std::string pictures = userDir("XDG_PICTURES_DIR", "/Pictures");
    AddOnce(places,
            FolderPlace{BaseName(NormalFolderPath(pictures)), pictures, PlaceKind::Pictures});
    const std::string desktop = userDir("XDG_DESKTOP_DIR", "/Desktop");
    AddOnce(places, FolderPlace{BaseName(NormalFolderPath(desktop)), desktop, PlaceKind::Desktop});
    AddOnce(places, FolderPlace{"File System", "/", PlaceKind::FileSystem});
    for (const std::string& folder : env.mountFolders)
        AddMounts(places, folder);
    if (!env.runtimeDir.empty()) AddMounts(places, env.runtimeDir + "/gvfs");
    return places;
}
