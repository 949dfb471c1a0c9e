#include "whole_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace {

// The stream's own error, else errno, else "write gave up".
int WriteError(std::FILE* out) {
    return std::ferror(out) && errno != 0 ? errno : -1;
}

}  // namespace

int WriteWholeFile(const std::string& path, const std::function<bool(std::FILE*)>& write) {
    const std::string part = path + ".part" + std::to_string(::getpid());
    const int fd = ::open(part.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return errno;
    std::FILE* out = ::fdopen(fd, "wb");
    if (!out) {
        const int error = errno;
        ::close(fd);
        ::unlink(part.c_str());
        return error;
    }
    errno = 0;
    int error = write(out) ? 0 : WriteError(out);
    // A full disk often shows only when the buffered bytes reach it.
    if (error == 0 && (std::fflush(out) != 0 || ::fsync(fd) != 0)) error = errno;
    if (std::fclose(out) != 0 && error == 0) error = errno;
    if (error == 0 && std::rename(part.c_str(), path.c_str()) != 0) error = errno;
    if (error != 0) ::unlink(part.c_str());
    return error;
}
