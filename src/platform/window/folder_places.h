// The places at the top of the folder tree: where people keep pictures on this
// machine, and the volumes and devices mounted on it.
#pragma once

#include <string>
#include <vector>

enum class PlaceKind {
    Computer,
    Home,
    Pictures,
    Desktop,
    FileSystem,
    Volume,
    Phone,
    Camera,
    Folder
};

struct FolderPlace {
    std::string name;
    std::string path;
    PlaceKind kind;
};

// Where the places are looked for; taken from the process, or given by tests.
struct PlaceEnvironment {
    std::string home;
    std::string configHome;  // holds user-dirs.dirs
    std::string user;
    std::string runtimeDir;                 // holds gvfs/, where phones and cameras appear
    std::vector<std::string> mountFolders;  // /media/$USER, /run/media/$USER, /mnt

    static PlaceEnvironment FromProcess();
};

// The folder a user-dirs.dirs line gives for `key` (XDG_PICTURES_DIR, ...), with
// $HOME replaced; empty when the text has none.
std::string UserDirFrom(const std::string& userDirs, const std::string& key,
                        const std::string& home);

// Home, Pictures, Desktop (those that exist, each once), the file system, then
// every mounted volume and device, sorted by name within its folder.
std::vector<FolderPlace> FindFolderPlaces(const PlaceEnvironment& env);
