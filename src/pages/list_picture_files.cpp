#include "list_picture_files.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <memory>

namespace {

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

bool Matches(const std::string& pattern, const char* name) {
    if (pattern == "*.*" || pattern == "*") return true;
    return fnmatch(pattern.c_str(), name, 0) == 0;
}

// Regular files only; a link counts as what it points to.
bool IsPlainFile(DIR* dir, const dirent& entry) {
    if (entry.d_type == DT_REG) return true;
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) return false;
    struct stat info {};
    return fstatat(dirfd(dir), entry.d_name, &info, 0) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

bool ListPictureFiles(const std::string& folder, const std::string& pattern,
                      std::vector<std::string>& names) {
    names.clear();
    if (folder.rfind("::", 0) == 0) return false;
    std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
    if (!dir) return false;
    for (;;) {
        errno = 0;
        const dirent* entry = readdir(dir.get());
        if (!entry) break;
        if (entry->d_name[0] == '.' || !Matches(pattern, entry->d_name)) continue;
        if (IsPlainFile(dir.get(), *entry)) names.emplace_back(entry->d_name);
    }
    if (errno != 0) return false;
    std::stable_sort(names.begin(), names.end());
    return !names.empty();
}
