#include "registry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/system/user_folders.h"
#include "reg_file.h"

struct RegistryKey {
    std::string path;
    REGSAM access;
    bool predefined;
};

namespace {

RegistryKey g_localMachine{"HKEY_LOCAL_MACHINE", KEY_ALL_ACCESS, true};
RegistryKey g_currentUser{"HKEY_CURRENT_USER", KEY_ALL_ACCESS, true};

LONG FromErrno(int error) {
    return error == EACCES || error == EPERM || error == EROFS ? ERROR_ACCESS_DENIED
                                                               : ERROR_FILE_NOT_FOUND;
}

std::string FolderOf(const std::string& file) {
    const std::size_t slash = file.rfind('/');
    return slash == std::string::npos ? "." : file.substr(0, slash);
}

// Reads and parses the hive; ERROR_FILE_NOT_FOUND when there is no file.
LONG LoadHive(registry::Hive& hive) {
    const std::string path = RegistryFilePath();
    if (path.empty()) return ERROR_PATH_NOT_FOUND;
    std::ifstream in(path, std::ios::binary);
    if (!in) return FromErrno(errno);
    std::ostringstream text;
    text << in.rdbuf();
    auto parsed = registry::ParseHive(text.str(), nullptr);
    if (!parsed) return ERROR_BADDB;
    hive = std::move(*parsed);
    return ERROR_SUCCESS;
}

bool WriteAll(int fd, const std::string& text) {
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Writes the hive beside the file, flushes it to disk and renames it into place.
LONG StoreHive(const registry::Hive& hive) {
    const std::string path = RegistryFilePath();
    const std::string temp = path + ".tmp." + std::to_string(::getpid());
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return ERROR_ACCESS_DENIED;
    const bool written = WriteAll(fd, registry::FormatHive(hive)) && ::fsync(fd) == 0;
    ::close(fd);
    if (!written || ::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return ERROR_ACCESS_DENIED;
    }
    const int dir = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return ERROR_SUCCESS;
}

// Holds the writers' lock (a lock file beside the hive) for one change.
class WriteLock {
public:
    WriteLock() {
        fd_ = ::open((RegistryFilePath() + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ >= 0 && ::flock(fd_, LOCK_EX) != 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~WriteLock() {
        if (fd_ >= 0) ::close(fd_);
    }
    WriteLock(const WriteLock&) = delete;
    WriteLock& operator=(const WriteLock&) = delete;
    bool held() const { return fd_ >= 0; }

private:
    int fd_;
};

// Re-reads the hive under the lock, lets `change` edit it and stores it.
template <class Change>
LONG ChangeHive(Change change) {
    // Without a place for the file nothing is written, least of all beside the
    // current folder.
    if (RegistryFilePath().empty()) return ERROR_PATH_NOT_FOUND;
    WriteLock lock;
    if (!lock.held()) return ERROR_ACCESS_DENIED;
    registry::Hive hive;
    const LONG loaded = LoadHive(hive);
    if (loaded == ERROR_BADDB || loaded == ERROR_ACCESS_DENIED) return loaded;
    const LONG changed = change(hive);
    return changed == ERROR_SUCCESS ? StoreHive(hive) : changed;
}

std::string JoinPath(const RegistryKey* root, const char* subKey) {
    std::string path = root->path;
    if (subKey && *subKey) path += std::string("\\") + subKey;
    return path;
}

bool Writable() {
    const std::string path = RegistryFilePath();
    return ::access(path.c_str(), W_OK) == 0 && ::access(FolderOf(path).c_str(), W_OK) == 0;
}

int MakeFolders(const std::string& folder) {
    if (folder.empty() || ::access(folder.c_str(), F_OK) == 0) return 0;
    MakeFolders(FolderOf(folder));
    return ::mkdir(folder.c_str(), 0755) == 0 || errno == EEXIST ? 0 : errno;
}

}  // namespace

const HKEY HKEY_LOCAL_MACHINE = &g_localMachine;
const HKEY HKEY_CURRENT_USER = &g_currentUser;

std::string RegistryFilePath() {
    if (const char* explicitPath = std::getenv("OSTREL_REGISTRY"); explicitPath && *explicitPath)
        return explicitPath;
    const std::string config = CurrentUserFolders().configHome;
    return config.empty() ? std::string() : config + "/norvane/registry.reg";
}

std::string RegistryFileProblem() {
    std::ifstream in(RegistryFilePath(), std::ios::binary);
    if (!in) return errno == ENOENT ? "" : std::strerror(errno);
    std::ostringstream text;
    text << in.rdbuf();
    std::string error;
    return registry::ParseHive(text.str(), &error) ? "" : error;
}

LONG RegOpenKeyEx(HKEY root, const char* subKey, DWORD /*options*/, REGSAM access, HKEY* result) {
    if (!root || !result) return ERROR_INVALID_PARAMETER;
    registry::Hive hive;
    if (const LONG loaded = LoadHive(hive); loaded != ERROR_SUCCESS) return loaded;
    const std::string path = JoinPath(root, subKey);
    if (!hive.FindKey(path)) return ERROR_FILE_NOT_FOUND;
    if ((access & KEY_SET_VALUE) && !Writable()) return ERROR_ACCESS_DENIED;
    *result = new RegistryKey{path, access, false};
    return ERROR_SUCCESS;
}

LONG RegCreateKeyEx(HKEY root, const char* subKey, HKEY* result) {
    if (!root || !result) return ERROR_INVALID_PARAMETER;
    const std::string path = JoinPath(root, subKey);
    if (RegistryFilePath().empty()) return ERROR_PATH_NOT_FOUND;
    if (const int error = MakeFolders(FolderOf(RegistryFilePath()))) return FromErrno(error);
    const LONG rc = ChangeHive([&](registry::Hive& hive) {
        hive.AddKey(path);
        return ERROR_SUCCESS;
    });
    if (rc != ERROR_SUCCESS) return rc;
    *result = new RegistryKey{path, KEY_ALL_ACCESS, false};
    return ERROR_SUCCESS;
}

LONG RegQueryValueEx(HKEY key, const char* name, DWORD* /*reserved*/, DWORD* type, BYTE* data,
                     DWORD* size) {
    if (!key || key->predefined) return ERROR_INVALID_HANDLE;
    if (data && !size) return ERROR_INVALID_PARAMETER;
    registry::Hive hive;
    if (const LONG loaded = LoadHive(hive); loaded != ERROR_SUCCESS) return loaded;
    const registry::Key* found = hive.FindKey(key->path);
    const registry::Value* value = found ? registry::FindValue(*found, name ? name : "") : nullptr;
    if (!value) return ERROR_FILE_NOT_FOUND;
    if (type) *type = value->type;
    const auto needed = static_cast<DWORD>(value->data.size());
    const DWORD room = size ? *size : 0;
    if (size) *size = needed;
    if (!data) return ERROR_SUCCESS;
    if (room < needed) return ERROR_MORE_DATA;
    std::copy(value->data.begin(), value->data.end(), data);
    return ERROR_SUCCESS;
}

LONG RegSetValueEx(HKEY key, const char* name, DWORD /*reserved*/, DWORD type, const BYTE* data,
                   DWORD size) {
    if (!key || key->predefined) return ERROR_INVALID_HANDLE;
    if (!(key->access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
    if (!data && size) return ERROR_INVALID_PARAMETER;
    std::vector<BYTE> bytes(data, data + size);
    return ChangeHive([&](registry::Hive& hive) {
        registry::Key* found = hive.FindKey(key->path);
        if (!found) return ERROR_FILE_NOT_FOUND;
        registry::SetValue(*found, name ? name : "", type, std::move(bytes));
        return ERROR_SUCCESS;
    });
}

LONG RegCloseKey(HKEY key) {
    if (!key) return ERROR_INVALID_HANDLE;
    if (!key->predefined) delete key;
    return ERROR_SUCCESS;
}
