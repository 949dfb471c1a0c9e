// A byte stream over a heap buffer that grows in 4 KB steps while it is written.
#pragma once

#include "px_file.h"

class PxMemFile : public PxFile {
public:
    // A caller's buffer is read in place and never freed or reallocated by the stream.
    explicit PxMemFile(std::uint8_t* buffer = nullptr, std::uint32_t size = 0);
    // A copy shares the buffer but never frees it, so it is freed once.
    PxMemFile(const PxMemFile& other);
    PxMemFile& operator=(const PxMemFile& other);
    ~PxMemFile() override;

    bool Open();
    // Hands the buffer to the caller, who frees it with std::free.
    std::uint8_t* GetBuffer();

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

    std::int32_t Capacity() const { return capacity_; }

protected:
    bool Alloc(std::int64_t needed);
    void Free();

private:
    bool Reserve(std::int64_t end);
    void Store(const void* source, std::int32_t n);

    std::uint8_t* buffer_;
    std::int32_t size_;
    bool freeOnClose_;
    std::int32_t position_;
    std::int32_t capacity_;
};
