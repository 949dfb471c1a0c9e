#include "px_jpeg_head.h"

#include <cstring>

namespace {

constexpr BYTE kExifHeader[] = {'E', 'x', 'i', 'f', 0, 0};

bool ReadByte(PxFile* stream, BYTE& byte) {
    return stream->Read(&byte, 1, 1) == 1;
}

bool ReadLength(PxFile* stream, std::uint32_t& length) {
    BYTE b[2];
    if (stream->Read(b, 1, 2) != 2) return false;
    length = (static_cast<std::uint32_t>(b[0]) << 8) | b[1];
    return length >= 2;
}

// Start of frame: C0 to CF except DHT (C4), JPG (C8) and DAC (CC).
bool IsFrameHeader(BYTE marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Markers without a length: TEM and the restart markers.
bool StandsAlone(BYTE marker) {
    return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);
}

// The next marker code; fill bytes (0xFF runs) are skipped.
bool NextMarker(PxFile* stream, BYTE& marker) {
    BYTE b = 0;
    if (!ReadByte(stream, b) || b != 0xFF) return false;
    do {
        if (!ReadByte(stream, marker)) return false;
    } while (marker == 0xFF);
    return true;
}

bool ReadFrameSize(PxFile* stream, std::uint32_t payload, PxJpegHead& head) {
    BYTE b[5];
    if (payload < sizeof b || stream->Read(b, 1, sizeof b) != sizeof b) return false;
    head.height = (static_cast<DWORD>(b[1]) << 8) | b[2];
    head.width = (static_cast<DWORD>(b[3]) << 8) | b[4];
    return head.width > 0 && head.height > 0;
}

// Keeps the payload when it is the first EXIF block; skips it otherwise.
bool ReadSegment(PxFile* stream, BYTE marker, std::uint32_t payload, PxJpegHead& head) {
    if (marker != 0xE1 || !head.exif.empty() || payload < sizeof kExifHeader)
        return stream->Seek(static_cast<std::int32_t>(payload), 1);
    std::vector<BYTE> data(payload);
    if (stream->Read(data.data(), 1, payload) != payload) return false;
    if (std::memcmp(data.data(), kExifHeader, sizeof kExifHeader) == 0) head.exif.swap(data);
    return true;
}

}  // namespace

bool PxReadJpegHead(PxFile* stream, PxJpegHead& head) {
    if (!stream) return false;
    const std::int32_t start = stream->Tell();
    BYTE soi[2];
    if (start < 0 || stream->Read(soi, 1, 2) != 2 || soi[0] != 0xFF || soi[1] != 0xD8) return false;
    for (;;) {
        const std::int32_t at = stream->Tell();
        BYTE marker = 0;
        if (at < 0 || at - start > kPxJpegHeadLimit || !NextMarker(stream, marker)) return false;
        if (StandsAlone(marker)) continue;
        std::uint32_t length = 0;
        // A scan or the end before any frame header: no size to tell.
        if (marker == 0xD8 || marker == 0xD9 || marker == 0xDA || !ReadLength(stream, length))
            return false;
        if (IsFrameHeader(marker)) return ReadFrameSize(stream, length - 2, head);
        if (!ReadSegment(stream, marker, length - 2, head)) return false;
    }
}
