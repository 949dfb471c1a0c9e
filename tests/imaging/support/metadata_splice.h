// Metadata put into finished JPEG and PNG files: EXIF blocks built byte by byte,
// PNG chunks inserted before the pixels, JPEG segments inserted after SOI, and
// ICC profiles packed the way each format carries them.
#pragma once

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

// A TIFF-headed EXIF block written entry by entry, in either byte order.
class ExifWriter {
public:
    explicit ExifWriter(bool bigEndian = true) : big_(bigEndian) {
        bytes_ = big_ ? Bytes{'M', 'M', 0, 42} : Bytes{'I', 'I', 42, 0};
        Long(8);
    }
    void Short(std::uint32_t v) { Put(v, 2); }
    void Long(std::uint32_t v) { Put(v, 4); }
    // One 12-byte IFD entry; a SHORT value sits in the first two value bytes.
    void Entry(std::uint16_t tag, std::uint16_t type, std::uint32_t count, std::uint32_t value) {
        Short(tag);
        Short(type);
        Long(count);
        if (type == 3 && count == 1) {
            Short(value);
            Short(0);
        } else {
            Long(value);
        }
    }
    Bytes& bytes() { return bytes_; }

private:
    void Put(std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i) {
            const int shift = big_ ? 8 * (n - 1 - i) : 8 * i;
            bytes_.push_back(static_cast<unsigned char>(v >> shift));
        }
    }
    bool big_;
    Bytes bytes_;
};

// IFD0 with a lone orientation entry.
inline Bytes ExifWithOrientation(int orientation, bool bigEndian = true) {
    ExifWriter w(bigEndian);
    w.Short(1);
    w.Entry(0x0112, 3, 1, static_cast<std::uint32_t>(orientation));
    w.Long(0);
    return w.bytes();
}

// IFD0 with the orientation, then IFD1 naming a JPEG thumbnail (Compression 6,
// JPEGInterchangeFormat and its length) that follows right behind it. The offset
// and length written can be set apart from the true ones.
struct ExifThumbnailPlace {
    std::uint32_t offsetShift = 0;  // added to the true offset
    std::uint32_t length = 0;       // 0: the true length
};
inline Bytes ExifWithThumbnail(const Bytes& thumbnail, int orientation,
                               ExifThumbnailPlace place = {}, bool bigEndian = true) {
    constexpr std::uint32_t kIfd1 = 8 + 2 + 12 + 4;
    constexpr std::uint32_t kData = kIfd1 + 2 + 3 * 12 + 4;
    ExifWriter w(bigEndian);
    w.Short(1);
    w.Entry(0x0112, 3, 1, static_cast<std::uint32_t>(orientation));
    w.Long(kIfd1);
    w.Short(3);
    w.Entry(0x0103, 3, 1, 6);
    w.Entry(0x0201, 4, 1, kData + place.offsetShift);
    w.Entry(0x0202, 4, 1,
            place.length ? place.length : static_cast<std::uint32_t>(thumbnail.size()));
    w.Long(0);
    w.bytes().insert(w.bytes().end(), thumbnail.begin(), thumbnail.end());
    return w.bytes();
}

inline Bytes WithExifHeader(const Bytes& tiff) {
    static constexpr unsigned char kHeader[] = {'E', 'x', 'i', 'f', 0, 0};
    // Sized first and filled in place: GCC 12 warns falsely on a byte vector
    // grown by inserting a range.
    Bytes out(sizeof kHeader + tiff.size());
    std::copy(std::begin(kHeader), std::end(kHeader), out.begin());
    std::copy(tiff.begin(), tiff.end(), out.begin() + sizeof kHeader);
    return out;
}

// The chunk goes before the first IDAT; the file is returned unchanged when it
// has none.
inline Bytes InsertPngChunk(const Bytes& png, const char* type, const Bytes& data) {
    const std::string file(png.begin(), png.end());
    const std::size_t idat = file.find("IDAT");
    if (idat == std::string::npos || idat < 4) return png;
    Bytes chunk(8 + data.size() + 4);  // filled in place, as above
    const auto put32 = [&chunk](std::size_t at, std::uint32_t value) {
        for (std::size_t i = 0; i < 4; ++i)
            chunk[at + i] = static_cast<unsigned char>(value >> (24 - 8 * i));
    };
    put32(0, static_cast<std::uint32_t>(data.size()));
    std::copy(type, type + 4, chunk.begin() + 4);
    std::copy(data.begin(), data.end(), chunk.begin() + 8);
    put32(8 + data.size(), static_cast<std::uint32_t>(crc32(crc32(0, nullptr, 0), chunk.data() + 4,
                                                            static_cast<uInt>(4 + data.size()))));
    Bytes out(png.begin(), png.begin() + static_cast<std::ptrdiff_t>(idat - 4));
    out.insert(out.end(), chunk.begin(), chunk.end());
    out.insert(out.end(), png.begin() + static_cast<std::ptrdiff_t>(idat - 4), png.end());
    return out;
}

// iCCP: a name, compression method 0 and the zlib stream of the profile.
inline Bytes IccpChunkData(const Bytes& profile) {
    Bytes out{'I', 'C', 'C', 0, 0};
    uLongf size = compressBound(static_cast<uLong>(profile.size()));
    Bytes packed(size);
    if (compress(packed.data(), &size, profile.data(), static_cast<uLong>(profile.size())) != Z_OK)
        return {};
    out.insert(out.end(), packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(size));
    return out;
}

// One APPn segment per payload, all right after SOI in the order given.
inline Bytes InsertJpegSegments(const Bytes& jpeg, int marker, const std::vector<Bytes>& payloads) {
    if (jpeg.size() < 2) return jpeg;
    Bytes out(jpeg.begin(), jpeg.begin() + 2);
    for (const Bytes& p : payloads) {
        const std::size_t length = p.size() + 2;
        out.insert(out.end(), {0xFF, static_cast<unsigned char>(marker),
                               static_cast<unsigned char>(length >> 8),
                               static_cast<unsigned char>(length & 0xFF)});
        out.insert(out.end(), p.begin(), p.end());
    }
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

// The APP2 payloads of a profile cut into pieces of `piece` bytes.
inline std::vector<Bytes> IccSegments(const Bytes& profile, std::size_t piece = 60000) {
    std::vector<Bytes> out;
    const std::size_t count = (profile.size() + piece - 1) / piece;
    for (std::size_t i = 0; i < count; ++i) {
        Bytes p{'I', 'C', 'C', '_', 'P', 'R', 'O', 'F', 'I', 'L', 'E', 0};
        p.push_back(static_cast<unsigned char>(i + 1));
        p.push_back(static_cast<unsigned char>(count));
        const auto from = profile.begin() + static_cast<std::ptrdiff_t>(i * piece);
        const auto to = profile.begin() +
                        static_cast<std::ptrdiff_t>(std::min(profile.size(), (i + 1) * piece));
        p.insert(p.end(), from, to);
        out.push_back(std::move(p));
    }
    return out;
}
