// Files and tools around the decoders for tests that compare with ImageMagick:
// a temporary folder, bytes in and out of files, decoding from memory with load
// options and ImageMagick's own reading of a file with extra operations.
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "imaging/px_image.h"
#include "imaging/px_load_options.h"
#include "imaging/px_mem_file.h"
#include "imaging/support/rgb_dump.h"

using Bytes = std::vector<unsigned char>;

class TempFolder {
public:
    TempFolder() {
        char name[] = "/tmp/pxmetaXXXXXX";
        if (mkdtemp(name)) path_ = name;
    }
    ~TempFolder() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

inline bool WriteBytes(const std::string& file, const Bytes& bytes) {
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

inline Bytes ReadBytes(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline Bytes EncodeToBytes(PxImage& image, DWORD type) {
    BYTE* buffer = nullptr;
    LONG size = 0;
    if (!image.Encode(buffer, size, type)) return {};
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

inline bool DecodeBytes(Bytes bytes, DWORD type, const PxLoadOptions& options, PxImage& image) {
    PxMemFile file(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    return image.Decode(&file, type, options);
}

// ImageMagick reads `file` and applies `operations` (say "-auto-orient"); the
// result comes back as 8-bit RGB.
inline std::optional<RgbPicture> ImageMagickRgb(const std::string& file,
                                                const std::string& operations) {
    if (ImageMagickConvert().empty()) return std::nullopt;
    return DecodeWithImageMagick(file, operations);
}

// The largest difference of one channel between two pictures of the same size;
// 256 when the sizes differ.
inline int MaxDifference(const RgbPicture& a, const RgbPicture& b) {
    if (a.width != b.width || a.height != b.height || a.rgb.size() != b.rgb.size()) return 256;
    int worst = 0;
    for (std::size_t i = 0; i < a.rgb.size(); ++i)
        worst = std::max(worst, std::abs(int{a.rgb[i]} - int{b.rgb[i]}));
    return worst;
}
