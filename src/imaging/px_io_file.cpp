#include "px_io_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

constexpr const char* kNotRegularText = "not a regular file";

bool ReadingMode(const char* mode) {
    return mode[0] == 'r';
}

bool UpdateMode(const char* mode) {
    return std::strchr(mode, '+') != nullptr;
}

}  // namespace

PxIOFile::~PxIOFile() {
    Close();
}

PxIOFile& PxIOFile::operator=(const PxIOFile& other) {
    if (this != &other) {
        Close();
        stream_ = other.stream_;
        closeFile_ = false;
    }
    return *this;
}

bool PxIOFile::Open(const char* name, const char* mode) {
    if (stream_ || !name || !mode) return false;
    openError_ = 0;
    stream_ = ReadingMode(mode) ? OpenForReading(name, mode) : std::fopen(name, mode);
    if (!stream_) {
        if (openError_ == 0) openError_ = errno;
        return false;
    }
    closeFile_ = true;
    return true;
}

const char* PxIOFile::OpenError() const {
    if (openError_ == kNotRegularFile) return kNotRegularText;
    return openError_ ? std::strerror(openError_) : "";
}

// O_NONBLOCK keeps the open itself from waiting for a FIFO's writer or a device;
// fstat then tells on the very descriptor what was opened.
std::FILE* PxIOFile::OpenForReading(const char* name, const char* mode) {
    const int access = UpdateMode(mode) ? O_RDWR : O_RDONLY;
    const int fd = ::open(name, access | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        // A socket cannot be opened at all; it is no regular file either.
        openError_ = errno == ENXIO ? kNotRegularFile : errno;
        errno = openError_ == kNotRegularFile ? EINVAL : openError_;
        return nullptr;
    }
    struct stat facts {};
    if (::fstat(fd, &facts) != 0) {
        openError_ = errno;
    } else if (S_ISDIR(facts.st_mode)) {
        openError_ = EISDIR;
    } else if (!S_ISREG(facts.st_mode)) {
        openError_ = kNotRegularFile;
    }
    if (openError_ != 0) {
        ::close(fd);
        errno = openError_ == kNotRegularFile ? EINVAL : openError_;
        return nullptr;
    }
    // Regular files never block; the flag is cleared so that the stream behaves
    // exactly as one fopen made.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::FILE* stream = ::fdopen(fd, mode);
    if (!stream) {
        openError_ = errno;
        ::close(fd);
        errno = openError_;
    }
    return stream;
}

bool PxIOFile::Close() {
    if (!stream_ || !closeFile_) return true;
    const int rc = std::fclose(stream_);
    stream_ = nullptr;
    return rc == 0;
}

std::size_t PxIOFile::Read(void* buffer, std::size_t size, std::size_t count) {
    if (!stream_ || !buffer) return 0;
    return std::fread(buffer, size, count, stream_);
}

std::size_t PxIOFile::Write(const void* buffer, std::size_t size, std::size_t count) {
    if (!stream_ || !buffer) return 0;
    return std::fwrite(buffer, size, count, stream_);
}

bool PxIOFile::Seek(std::int32_t offset, int origin) {
    return stream_ && std::fseek(stream_, offset, origin) == 0;
}

std::int32_t PxIOFile::Tell() {
    return stream_ ? static_cast<std::int32_t>(std::ftell(stream_)) : 0;
}

std::int32_t PxIOFile::Size() {
    if (!stream_) return -1;
    const long here = std::ftell(stream_);
    std::fseek(stream_, 0, SEEK_END);
    const long end = std::ftell(stream_);
    std::fseek(stream_, here, SEEK_SET);
    return static_cast<std::int32_t>(end);
}

bool PxIOFile::Flush() {
    return stream_ && std::fflush(stream_) == 0;
}

bool PxIOFile::Eof() {
    return !stream_ || std::feof(stream_) != 0;
}

std::int32_t PxIOFile::Error() {
    return stream_ ? std::ferror(stream_) : -1;
}

bool PxIOFile::PutC(std::uint8_t c) {
    return stream_ && std::fputc(c, stream_) == c;
}

int PxIOFile::GetC() {
    return stream_ ? std::getc(stream_) : -1;
}
