// A byte stream over a stdio FILE*.
#pragma once

#include <cstdio>

#include "px_file.h"

class PxIOFile : public PxFile {
public:
    // A stream handed in by the caller stays the caller's: it is not closed here.
    explicit PxIOFile(std::FILE* stream = nullptr)
        : stream_(stream), closeFile_(stream == nullptr) {}
    // A copy shares the stream but never closes it, so the stream is closed once.
    PxIOFile(const PxIOFile& other) : stream_(other.stream_), closeFile_(false) {}
    PxIOFile& operator=(const PxIOFile& other);
    ~PxIOFile() override;

    bool Open(const char* name, const char* mode);

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
    std::FILE* stream_;
    bool closeFile_;
};
