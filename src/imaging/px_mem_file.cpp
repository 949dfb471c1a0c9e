#include "px_mem_file.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {
constexpr std::int64_t kMaxBytes = std::numeric_limits<std::int32_t>::max();
}

PxMemFile::PxMemFile(std::uint8_t* buffer, std::uint32_t size)
    : buffer_(buffer),
      size_(static_cast<std::int32_t>(std::min<std::int64_t>(size, kMaxBytes))),
      freeOnClose_(buffer == nullptr),
      position_(0),
      capacity_(size_) {}

PxMemFile::PxMemFile(const PxMemFile& other)
    : buffer_(other.buffer_),
      size_(other.size_),
      freeOnClose_(false),
      position_(other.position_),
      capacity_(other.capacity_) {}

PxMemFile& PxMemFile::operator=(const PxMemFile& other) {
    if (this != &other) {
        Close();
        buffer_ = other.buffer_;
        size_ = other.size_;
        freeOnClose_ = false;
        position_ = other.position_;
        capacity_ = other.capacity_;
    }
    return *this;
}

PxMemFile::~PxMemFile() {
    Close();
}

bool PxMemFile::Open() {
    if (buffer_) return false;
    size_ = capacity_ = position_ = 0;
    // A zero-length block; some allocators answer malloc(0) with null.
    buffer_ = static_cast<std::uint8_t*>(std::malloc(0));
    if (!buffer_) buffer_ = static_cast<std::uint8_t*>(std::malloc(1));
    freeOnClose_ = true;
    return buffer_ != nullptr;
}

std::uint8_t* PxMemFile::GetBuffer() {
    freeOnClose_ = false;
    return buffer_;
}

bool PxMemFile::Close() {
    if (buffer_ && freeOnClose_) {
        std::free(buffer_);
        buffer_ = nullptr;
        size_ = 0;
    }
    return true;
}

void PxMemFile::Free() {
    Close();
}

std::size_t PxMemFile::Read(void* buffer, std::size_t size, std::size_t count) {
    if (!buffer_ || !buffer || position_ > size_ || size == 0 || count == 0) return 0;
    const std::size_t left = static_cast<std::size_t>(size_ - position_);
    // Compared by division so size * count is only formed when it fits in what is left.
    const std::size_t n = count > left / size ? left : size * count;
    std::memcpy(buffer, buffer_ + position_, n);
    position_ += static_cast<std::int32_t>(n);
    return n / size;
}

std::size_t PxMemFile::Write(const void* buffer, std::size_t size, std::size_t count) {
    if (!buffer_ || !buffer || size == 0 || count == 0) return 0;
    if (count > static_cast<std::size_t>(kMaxBytes) / size) return 0;
    const auto n = static_cast<std::int64_t>(size * count);
    if (!Reserve(position_ + n)) return 0;
    Store(buffer, static_cast<std::int32_t>(n));
    return count;
}

bool PxMemFile::PutC(std::uint8_t c) {
    if (!buffer_ || !Reserve(std::int64_t{position_} + 1)) return false;
    Store(&c, 1);
    return true;
}

bool PxMemFile::Reserve(std::int64_t end) {
    if (end > kMaxBytes) return false;
    return end <= capacity_ || Alloc(end);
}

// Copies n bytes at the position. A gap left by seeking past the end is zeroed
// so the data never holds bytes nobody wrote.
void PxMemFile::Store(const void* source, std::int32_t n) {
    if (position_ > size_)
        std::memset(buffer_ + size_, 0, static_cast<std::size_t>(position_ - size_));
    std::memcpy(buffer_ + position_, source, static_cast<std::size_t>(n));
    position_ += n;
    size_ = std::max(size_, position_);
}

bool PxMemFile::Alloc(std::int64_t needed) {
    if (needed <= capacity_) return true;
    const std::int64_t old = capacity_;
    const std::int64_t grown = old + (((needed - old - 1) >> 12) << 12) + 4096;
    if (grown > kMaxBytes) return false;
    const auto bytes = static_cast<std::size_t>(grown);
    std::uint8_t* block;
    if (freeOnClose_) {
        block = static_cast<std::uint8_t*>(std::realloc(buffer_, bytes));
        if (!block) std::free(buffer_);
    } else {
        // The buffer belongs to a caller (given in, or handed out by GetBuffer):
        // grow into a block of our own and leave theirs untouched.
        block = static_cast<std::uint8_t*>(std::malloc(bytes));
        if (block && buffer_) std::memcpy(block, buffer_, static_cast<std::size_t>(size_));
    }
    buffer_ = block;
    if (!block) {
        size_ = capacity_ = 0;
        return false;
    }
    freeOnClose_ = true;
    capacity_ = static_cast<std::int32_t>(grown);
    return true;
}

bool PxMemFile::Seek(std::int32_t offset, int origin) {
    if (!buffer_) return false;
    std::int64_t base;
    switch (origin) {
        case SEEK_SET:
            base = 0;
            break;
        case SEEK_CUR:
            base = position_;
            break;
        case SEEK_END:
            base = size_;
            break;
        default:
            return false;
    }
    const std::int64_t target = base + offset;
    if (target < 0 || target > kMaxBytes) return false;
    position_ = static_cast<std::int32_t>(target);
    return true;
}

std::int32_t PxMemFile::Tell() {
    return buffer_ ? position_ : -1;
}

std::int32_t PxMemFile::Size() {
    return buffer_ ? size_ : -1;
}

bool PxMemFile::Flush() {
    return buffer_ != nullptr;
}

bool PxMemFile::Eof() {
    return !buffer_ || position_ >= size_;
}

std::int32_t PxMemFile::Error() {
    if (!buffer_) return -1;
    return position_ > size_ ? 1 : 0;
}

int PxMemFile::GetC() {
    if (Eof()) return -1;
    return buffer_[position_++];
}
