#include "named_mutex.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "user_folders.h"

std::string NamedMutex::PathFor(const std::string& name) {
    return RuntimeFolder() + "/ostrel-" + name + ".lock";
}

// An exclusive try succeeds only when nobody holds the file; every copy then keeps
// a shared hold for as long as it runs.
NamedMutex::NamedMutex(const std::string& name) {
    fd_ = ::open(PathFor(name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0) return;  // not detected, as a failed create is not on the original either
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) alreadyExisted_ = true;
    ::flock(fd_, LOCK_SH);
}

NamedMutex::~NamedMutex() {
    Close();
}

void NamedMutex::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}
