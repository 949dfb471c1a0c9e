// The named instance mutex: a lock file under $XDG_RUNTIME_DIR that every running
// copy holds shared. Creating it tells whether another holder exists, as the system
// call reports ERROR_ALREADY_EXISTS. It is never waited on.
#pragma once

#include <string>

class NamedMutex {
public:
    explicit NamedMutex(const std::string& name);
    ~NamedMutex();
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    // True when another process held the name when this one was created.
    bool AlreadyExisted() const { return alreadyExisted_; }
    // Releases the name early (the destructor does it otherwise).
    void Close();

    // $XDG_RUNTIME_DIR/ostrel-<name>.lock, or the same under /tmp when unset.
    static std::string PathFor(const std::string& name);

private:
    int fd_ = -1;
    bool alreadyExisted_ = false;
};
