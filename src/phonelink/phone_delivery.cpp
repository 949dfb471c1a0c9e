#include "phone_delivery.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <thread>
#include <vector>

#include "stamp_check.h"

namespace {

// Room kept free beyond the file itself, for the file system's own records.
constexpr std::uint64_t kSpareBytes = 4096;

std::string BaseName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsDirectory(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// What a failed write-side call means for the user.
DeliveryError WriteError(int error) {
    switch (error) {
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return DeliveryError::kNoSpace;
        case EACCES:
        case EPERM:
        case EROFS:
            return DeliveryError::kPermission;
        case ENOENT:
        case ENODEV:
        case ENXIO:
        case ENOTCONN:
        case ESHUTDOWN:
            return DeliveryError::kNotConnected;
        default:
            return DeliveryError::kCopyFailed;
    }
}

// The whole source file, at most kLargestStamp bytes.
DeliveryError ReadSource(const std::string& path, std::vector<std::uint8_t>& bytes) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? DeliveryError::kFileMissing
                                                   : DeliveryError::kFileUnreadable;
    struct stat info;
    DeliveryError error = DeliveryError::kNone;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) error = DeliveryError::kFileUnreadable;
    if (error == DeliveryError::kNone && static_cast<std::uint64_t>(info.st_size) > kLargestStamp)
        error = DeliveryError::kNotAStamp;
    std::uint8_t buffer[4096];
    while (error == DeliveryError::kNone) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) error = DeliveryError::kFileUnreadable;
        if (got <= 0) break;
        bytes.insert(bytes.end(), buffer, buffer + got);
        if (bytes.size() > kLargestStamp) error = DeliveryError::kNotAStamp;
    }
    close(fd);
    return error;
}

std::optional<std::vector<std::string>> FolderParts(const std::string& phoneFolder) {
    std::vector<std::string> parts;
    if (!SplitPhoneFolder(phoneFolder, parts)) return std::nullopt;
    return parts;
}

class Delivery {
public:
    Delivery(const DeliveryRequest& request, const DeliveryProgress& progress)
        : request_(request), progress_(progress) {}
    ~Delivery() { Undo(); }

    DeliveryResult Run() {
        result_.name = BaseName(request_.source);
        if (result_.name.empty()) return Fail(DeliveryError::kFileMissing);
        if (const DeliveryError e = ReadStamp(request_.source, bytes_); e != DeliveryError::kNone)
            return Fail(e);
        if (request_.storage.empty() || !IsDirectory(request_.storage))
            return Fail(DeliveryError::kNotConnected);
        if (const DeliveryError e = MakeFolder(); e != DeliveryError::kNone) return Fail(e);
        if (!HasRoom()) return Fail(DeliveryError::kNoSpace);
        if (const DeliveryError e = WriteTemporary(); e != DeliveryError::kNone) return Fail(e);
        if (const DeliveryError e = PutInPlace(); e != DeliveryError::kNone) return Fail(e);
        result_.bytes = bytes_.size();
        if (progress_) progress_(bytes_.size(), bytes_.size());
        return result_;
    }

private:
    DeliveryResult Fail(DeliveryError error) {
        result_.error = error;
        result_.target.clear();
        Undo();
        return result_;
    }

    DeliveryError MakeFolder() {
        const auto parts = FolderParts(request_.phoneFolder);
        folder_ = request_.storage;
        if (!parts) {
            result_.name = request_.phoneFolder;
            return DeliveryError::kFolderNotMade;
        }
        for (const std::string& part : *parts) {
            folder_ += (folder_.back() == '/' ? "" : "/") + part;
            if (IsDirectory(folder_)) continue;
            if (mkdir(folder_.c_str(), 0755) != 0) {
                const int error = errno;
                result_.name = request_.phoneFolder;
                return error == ENOSPC ? DeliveryError::kNoSpace : DeliveryError::kFolderNotMade;
            }
            made_.push_back(folder_);
        }
        return DeliveryError::kNone;
    }

    // Some mounted phones report no sizes at all; they are trusted to say ENOSPC.
    bool HasRoom() const {
        struct statvfs info;
        if (statvfs(folder_.c_str(), &info) != 0 || info.f_blocks == 0) return true;
        const std::uint64_t free = std::uint64_t{info.f_bavail} * info.f_frsize;
        return free >= bytes_.size() + kSpareBytes;
    }

    DeliveryError WriteTemporary() {
        std::string pattern = folder_ + "/." + result_.name + ".part-XXXXXX";
        fd_ = mkstemp(pattern.data());
        if (fd_ < 0) return WriteError(errno);
        temporary_ = pattern;
        const std::size_t chunk = request_.chunkSize ? request_.chunkSize : bytes_.size();
        if (progress_) progress_(0, bytes_.size());
        for (std::size_t done = 0; done < bytes_.size();) {
            const std::size_t size = std::min(chunk, bytes_.size() - done);
            if (const int error = WriteAll(bytes_.data() + done, size)) return WriteError(error);
            done += size;
            if (!Pause()) return DeliveryError::kCancelled;
            if (progress_ && done < bytes_.size()) progress_(done, bytes_.size());
        }
        // Some phone mounts cannot flush; their close reports what went wrong.
        if (fsync(fd_) != 0 && errno != EINVAL && errno != ENOTSUP) return WriteError(errno);
        fchmod(fd_, 0644);
        const int closed = close(fd_);
        fd_ = -1;
        return closed == 0 ? DeliveryError::kNone : WriteError(errno);
    }

    // The delay between chunks; false when the send is to stop.
    bool Pause() {
        if (!request_.stop) {
            if (request_.chunkDelay.count() > 0) std::this_thread::sleep_for(request_.chunkDelay);
            return true;
        }
        if (request_.chunkDelay.count() > 0) return request_.stop->Wait(request_.chunkDelay);
        return !request_.stop->Requested();
    }

    int WriteAll(const std::uint8_t* data, std::size_t size) {
        while (size > 0) {
            const ssize_t put = write(fd_, data, size);
            if (put < 0 && errno == EINTR) continue;
            if (put <= 0) return put < 0 ? errno : EIO;
            data += put;
            size -= static_cast<std::size_t>(put);
        }
        return 0;
    }

    DeliveryError PutInPlace() {
        // Past this point the old stamp is replaced: a stop must come before it.
        if (request_.stop && request_.stop->Requested()) return DeliveryError::kCancelled;
        const std::string target = folder_ + "/" + result_.name;
        if (rename(temporary_.c_str(), target.c_str()) != 0) return WriteError(errno);
        temporary_.clear();
        made_.clear();
        if (const int dir = open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
            fsync(dir);
            close(dir);
        }
        result_.target = target;
        return DeliveryError::kNone;
    }

    // Takes away what this delivery left on the phone: the partial file, then the
    // folders it made, deepest first.
    void Undo() {
        if (fd_ >= 0) close(fd_);
        fd_ = -1;
        if (!temporary_.empty()) unlink(temporary_.c_str());
        temporary_.clear();
        for (auto it = made_.rbegin(); it != made_.rend(); ++it)
            rmdir(it->c_str());
        made_.clear();
    }

    const DeliveryRequest& request_;
    const DeliveryProgress& progress_;
    DeliveryResult result_;
    std::vector<std::uint8_t> bytes_;
    std::string folder_;
    std::vector<std::string> made_;
    std::string temporary_;
    int fd_ = -1;
};

}  // namespace

DeliveryError ReadStamp(const std::string& path, std::vector<std::uint8_t>& bytes) {
    if (const DeliveryError e = ReadSource(path, bytes); e != DeliveryError::kNone) return e;
    return IsPhoneStamp(bytes.data(), bytes.size()) ? DeliveryError::kNone
                                                    : DeliveryError::kNotAStamp;
}

bool SplitPhoneFolder(const std::string& phoneFolder, std::vector<std::string>& parts) {
    std::string part;
    for (std::size_t i = 0; i <= phoneFolder.size(); ++i) {
        const char c = i < phoneFolder.size() ? phoneFolder[i] : '/';
        if (c != '/' && c != '\\') {
            part += c;
            continue;
        }
        if (part == "..") return false;
        if (!part.empty() && part != ".") parts.push_back(part);
        part.clear();
    }
    return true;
}

DeliveryResult Deliver(const DeliveryRequest& request, const DeliveryProgress& progress) {
    return Delivery(request, progress).Run();
}
