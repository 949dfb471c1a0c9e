#include "folder_listing.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>

namespace {

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

char Fold(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Compares the digit runs starting at a[i] and b[j], advancing both; 0 when equal.
int CompareNumbers(const std::string& a, std::size_t& i, const std::string& b, std::size_t& j) {
    while (i < a.size() && a[i] == '0' && i + 1 < a.size() && IsDigit(a[i + 1]))
        ++i;
    while (j < b.size() && b[j] == '0' && j + 1 < b.size() && IsDigit(b[j + 1]))
        ++j;
    std::size_t ei = i, ej = j;
    while (ei < a.size() && IsDigit(a[ei]))
        ++ei;
    while (ej < b.size() && IsDigit(b[ej]))
        ++ej;
    int order = 0;
    if (ei - i != ej - j)
        order = ei - i < ej - j ? -1 : 1;
    else
        order = a.compare(i, ei - i, b, j, ej - j);
    i = ei;
    j = ej;
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

int NaturalCompare(const std::string& a, const std::string& b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            if (const int order = CompareNumbers(a, i, b, j)) return order;
            continue;
        }
        const auto ca = static_cast<unsigned char>(Fold(a[i]));
        const auto cb = static_cast<unsigned char>(Fold(b[j]));
        if (ca != cb) return ca < cb ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

// Whether the entry is a folder, following a symbolic link.
bool EntryIsFolder(const std::string& folder, const dirent& entry) {
    if (entry.d_type == DT_DIR) return true;
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) return false;
    return IsFolder(folder + "/" + entry.d_name);
}

bool Shown(const dirent& entry) {
    return entry.d_name[0] != '.';
}

std::uint64_t Mix(std::uint64_t h, std::uint64_t value) {
    h ^= value + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
    return h;
}

std::uint64_t HashName(const char* name) {
    std::uint64_t h = 1469598103934665603ull;
    for (; *name; ++name)
        h = (h ^ static_cast<unsigned char>(*name)) * 1099511628211ull;
    return h;
}

}  // namespace

bool FolderNameLess(const std::string& a, const std::string& b) {
    const int order = NaturalCompare(a, b);
    return order != 0 ? order < 0 : a < b;
}

bool IsFolder(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsPlainFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::vector<std::string> ListSubfolders(const std::string& path) {
    std::vector<std::string> names;
    DirHandle dir(opendir(path.c_str()));
    if (!dir) return names;
    const std::string base = path == "/" ? "" : path;
    while (const dirent* entry = readdir(dir.get()))
        if (Shown(*entry) && EntryIsFolder(base, *entry)) names.emplace_back(entry->d_name);
    std::sort(names.begin(), names.end(), FolderNameLess);
    return names;
}

bool HasSubfolders(const std::string& path) {
    DirHandle dir(opendir(path.c_str()));
    if (!dir) return false;
    const std::string base = path == "/" ? "" : path;
    while (const dirent* entry = readdir(dir.get()))
        if (Shown(*entry) && EntryIsFolder(base, *entry)) return true;
    return false;
}

std::string NormalFolderPath(const std::string& path) {
    if (path.empty() || path[0] != '/') return "";
    std::string out;
    for (char c : path)
        if (c != '/' || out.empty() || out.back() != '/') out += c;
    if (out.size() > 1 && out.back() == '/') out.pop_back();
    return out;
}

std::string ParentFolderPath(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash == 0) return "/";
    return path.substr(0, slash);
}

bool IsWithinFolder(const std::string& path, const std::string& folder) {
    if (folder == "/") return !path.empty() && path[0] == '/';
    return path == folder ||
           (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
            path[folder.size()] == '/');
}

// The sum of the entries' hashes does not depend on the order they are read in.
std::uint64_t FolderFingerprint(const std::string& path) {
    DirHandle dir(opendir(path.c_str()));
    if (!dir) return 0;
    std::uint64_t sum = 0, count = 0;
    const int fd = dirfd(dir.get());
    while (const dirent* entry = readdir(dir.get())) {
        if (!Shown(*entry)) continue;
        struct stat info {};
        if (fstatat(fd, entry->d_name, &info, 0) != 0 || !S_ISREG(info.st_mode)) continue;
        std::uint64_t h = Mix(HashName(entry->d_name), static_cast<std::uint64_t>(info.st_size));
        h = Mix(h, static_cast<std::uint64_t>(info.st_mtim.tv_sec));
        sum += Mix(h, static_cast<std::uint64_t>(info.st_mtim.tv_nsec));
        ++count;
    }
    return Mix(sum, count);
}
