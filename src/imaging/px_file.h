// The abstract byte stream every codec reads and writes through.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

class PxFile {
public:
    virtual ~PxFile() = default;

    virtual bool Close() = 0;
    // Returns the number of whole items read.
    virtual std::size_t Read(void* buffer, std::size_t size, std::size_t count) = 0;
    virtual std::size_t Write(const void* buffer, std::size_t size, std::size_t count) = 0;
    // origin: 0 from the start, 1 from the current position, 2 from the end.
    virtual bool Seek(std::int32_t offset, int origin) = 0;
    virtual std::int32_t Tell() = 0;
    virtual std::int32_t Size() = 0;
    virtual bool Flush() = 0;
    virtual bool Eof() = 0;
    virtual std::int32_t Error() = 0;
    virtual bool PutC(std::uint8_t c) { return Write(&c, 1, 1) == 1; }
    // The next byte (0 to 255), or -1.
    virtual int GetC() = 0;
};
