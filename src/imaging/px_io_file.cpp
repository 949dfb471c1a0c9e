#include "px_io_file.h"

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
    stream_ = std::fopen(name, mode);
    if (!stream_) return false;
    closeFile_ = true;
    return true;
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
