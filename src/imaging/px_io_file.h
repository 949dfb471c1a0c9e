// A byte stream over a stdio FILE*.
#pragma once

#include <cstdio>

#include "px_file.h"

class PxIOFile : public PxFile {
public:
    // `OpenError`'s code for a name that is there but is no regular file.
    static constexpr int kNotRegularFile = -1;

    // A stream handed in by the caller stays the caller's: it is not closed here.
    explicit PxIOFile(std::FILE* stream = nullptr)
        : stream_(stream), closeFile_(stream == nullptr) {}
    // A copy shares the stream but never closes it, so the stream is closed once.
    PxIOFile(const PxIOFile& other) : stream_(other.stream_), closeFile_(false) {}
    PxIOFile& operator=(const PxIOFile& other);
    ~PxIOFile() override;

    // Reading ("r" modes) takes regular files only: a FIFO, a socket, a device or
    // a folder would block the opening or never end, so it is refused, checked on
    // the opened descriptor so that a file swapped in meanwhile cannot slip
    // through. `OpenError` tells why the last Open failed.
    bool Open(const char* name, const char* mode);
    const char* OpenError() const;

    bool Close() override;
    std::size_t Read(void* buffer, std::size_t size, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t size, std::size_t count) override;
    bool Seek(std::int32_t offset, int origin) override;
    std::int32_t Tell() override;
    std::int32_t Size() override;
    bool Flush() override;
    bool Eof() override;
    std::int32_t Error() override;
    bool PutC(std::uint8_t c) override;
    int GetC() override;

private:
    std::FILE* OpenForReading(const char* name, const char* mode);

    std::FILE* stream_;
    bool closeFile_;
    int openError_ = 0;  // errno of the last failed Open, or kNotRegularFile
};
