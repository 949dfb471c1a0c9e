#include "thumbnail_cache.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "thumbnail_uri.h"
#include "user_folders.h"

namespace {

namespace fs = std::filesystem;

struct SizeClass {
    const char* name;
    unsigned side;
};
constexpr SizeClass kSizeClasses[] = {
    {"normal", 128}, {"large", 256}, {"x-large", 512}, {"xx-large", 1024}};
const std::string kFailFolder = std::string("fail/ostrel-") + OSTREL_VERSION;
// An xx-large RGBA thumbnail that does not compress at all stays below this.
constexpr off_t kMaxCacheFile = 5 * 1024 * 1024;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// A symlink is never followed, and nothing but a regular file of a sane size is read.
std::vector<unsigned char> ReadCacheFile(const std::string& path) {
    const Descriptor fd(open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (fd.get() < 0 || fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_size <= 0 || info.st_size > kMaxCacheFile)
        return {};
    std::vector<unsigned char> bytes(static_cast<std::size_t>(info.st_size));
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = read(fd.get(), bytes.data() + got, bytes.size() - got);
        if (n <= 0) return {};
        got += static_cast<std::size_t>(n);
    }
    return bytes;
}

// Each missing folder is made for this user alone.
bool MakeFolders(const fs::path& folder) {
    fs::path made;
    struct stat info {};
    for (const fs::path& part : folder) {
        made /= part;
        // An existing folder may answer another error than EEXIST (read-only mounts).
        if (mkdir(made.c_str(), 0700) != 0 &&
            (stat(made.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)))
            return false;
    }
    return true;
}

bool Inside(const fs::path& path, const fs::path& folder) {
    const auto [end, at] = std::mismatch(folder.begin(), folder.end(), path.begin(), path.end());
    return end == folder.end();
}

fs::path Normal(const fs::path& path) {
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error);
    return error ? fs::path() : absolute.lexically_normal();
}

fs::path Resolved(const fs::path& path) {
    std::error_code error;
    const fs::path real = fs::weakly_canonical(path, error);
    return error ? path : real;
}

// The picture goes under a name of its own in the same folder and is renamed
// into place, so a reader never sees half a thumbnail.
bool WriteAtomically(const fs::path& target, const RgbaPicture& picture,
                     const std::vector<std::pair<std::string, std::string>>& texts) {
    std::string temporary = target.string() + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) return false;
    std::unique_ptr<std::FILE, FileCloser> file(fdopen(fd, "wb"));
    if (!file) {
        close(fd);
        unlink(temporary.c_str());
        return false;
    }
    bool written = fchmod(fd, 0600) == 0 && WriteThumbnailPng(file.get(), picture, texts) &&
                   std::fflush(file.get()) == 0;
    written = std::fclose(file.release()) == 0 && written;
    if (written && rename(temporary.c_str(), target.c_str()) == 0) return true;
    unlink(temporary.c_str());
    return false;
}

}  // namespace

ThumbnailCache::ThumbnailCache(std::string cacheHome)
    : folder_(cacheHome.empty() ? std::string() : (Normal(cacheHome) / "thumbnails").string()) {}

ThumbnailCache ThumbnailCache::ForThisUser() {
    return ThumbnailCache(CurrentUserFolders().cacheHome);
}

std::optional<ThumbnailSubject> ThumbnailCache::Subject(const std::string& path) const {
    if (folder_.empty() || path.empty()) return std::nullopt;
    const fs::path absolute = Normal(path);
    if (absolute.empty() || Inside(absolute, folder_) ||
        Inside(Resolved(absolute), Resolved(folder_)))
        return std::nullopt;
    struct stat info {};
    if (stat(absolute.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    return ThumbnailSubject{ThumbnailUri(absolute.string()),
                            static_cast<long long>(info.st_mtim.tv_sec),
                            static_cast<long long>(info.st_size)};
}

std::vector<unsigned char> ThumbnailCache::ReadValid(const std::string& file,
                                                     const ThumbnailSubject& subject,
                                                     unsigned maxSide) const {
    std::vector<unsigned char> bytes = ReadCacheFile(file);
    ThumbnailPngFacts facts;
    if (bytes.empty() || !ReadThumbnailPngFacts(bytes, facts)) return {};
    const bool fits =
        facts.width > 0 && facts.height > 0 && facts.width <= maxSide && facts.height <= maxSide;
    const bool current = facts.uri == subject.uri && facts.mtime == std::to_string(subject.mtime) &&
                         (facts.size.empty() || facts.size == std::to_string(subject.size));
    return fits && current ? bytes : std::vector<unsigned char>();
}

std::vector<unsigned char> ThumbnailCache::Find(const ThumbnailSubject& subject) const {
    if (folder_.empty()) return {};
    const std::string name = ThumbnailFileName(subject.uri);
    for (const SizeClass& size : kSizeClasses) {
        std::vector<unsigned char> bytes =
            ReadValid(folder_ + "/" + size.name + "/" + name, subject, size.side);
        if (!bytes.empty()) return bytes;
    }
    return {};
}

bool ThumbnailCache::HasFailed(const ThumbnailSubject& subject) const {
    if (folder_.empty()) return false;
    const std::string file = folder_ + "/" + kFailFolder + "/" + ThumbnailFileName(subject.uri);
    return !ReadValid(file, subject, kSizeClasses[0].side).empty();
}

bool ThumbnailCache::Store(const ThumbnailSubject& subject, const RgbaPicture& picture,
                           const std::string& mimeType) const {
    if (picture.width > kNormalThumbnailSide || picture.height > kNormalThumbnailSide) return false;
    return Write(kSizeClasses[0].name, subject, picture, mimeType);
}

bool ThumbnailCache::StoreFailure(const ThumbnailSubject& subject) const {
    const RgbaPicture nothing{1, 1, {0, 0, 0, 0}};
    return Write(kFailFolder, subject, nothing, "");
}

bool ThumbnailCache::Write(const std::string& subfolder, const ThumbnailSubject& subject,
                           const RgbaPicture& picture, const std::string& mimeType) const {
    if (folder_.empty()) return false;
    const fs::path folder = fs::path(folder_) / subfolder;
    if (!MakeFolders(folder)) return false;
    std::vector<std::pair<std::string, std::string>> texts = {
        {"Thumb::URI", subject.uri},
        {"Thumb::MTime", std::to_string(subject.mtime)},
        {"Thumb::Size", std::to_string(subject.size)},
        {"Software", std::string("Ostrel ") + OSTREL_VERSION}};
    if (!mimeType.empty()) texts.emplace_back("Thumb::Mimetype", mimeType);
    return WriteAtomically(folder / ThumbnailFileName(subject.uri), picture, texts);
}
