// A JPEG shown small from the thumbnail its EXIF block carries: only the file's
// head is read, and the thumbnail stands in only when it shows the same picture.
#include <algorithm>

#include "px_exif.h"
#include "px_jpeg_codec.h"
#include "px_jpeg_head.h"
#include "px_mem_file.h"

namespace {

// Thumbnails are only ever a few kilobytes; an APP1 cannot hold more anyway.
constexpr std::size_t kMaxThumbnailBytes = 0xFFFF;

}  // namespace

bool PxThumbnailFits(DWORD thumbWidth, DWORD thumbHeight, DWORD width, DWORD height,
                     DWORD minimumLongerSide) {
    if (thumbWidth == 0 || thumbHeight == 0 || width == 0 || height == 0) return false;
    if (std::max(thumbWidth, thumbHeight) < minimumLongerSide) return false;
    // Cross-multiplied: |tw/th - w/h| <= 2% of w/h.
    const double thumb = double(thumbWidth) * height;
    const double picture = double(width) * thumbHeight;
    return thumb >= picture * 0.98 && thumb <= picture * 1.02;
}

bool PxJpegCodec::DecodeEmbeddedThumbnail(PxFile* stream) {
    const std::int32_t start = stream->Tell();
    if (start < 0) return false;
    PxJpegHead head;
    const bool found = PxReadJpegHead(stream, head) && !head.exif.empty();
    // Whatever happens next, the picture itself is decoded from its start.
    if (!stream->Seek(start, 0) || !found) return false;
    std::vector<BYTE> bytes = PxExifThumbnail(head.exif.data(), head.exif.size());
    if (bytes.size() < 4 || bytes.size() > kMaxThumbnailBytes) return false;
    PxJpegCodec thumbnail;
    thumbnail.strict_ = true;
    PxMemFile file(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    if (!thumbnail.Decode(&file) ||
        !PxThumbnailFits(thumbnail.GetWidth(), thumbnail.GetHeight(), head.width, head.height,
                         LoadOptions().embeddedThumbnailSide) ||
        !Transfer(thumbnail))
        return false;
    if (LoadOptions().upright)
        SetOrientation(PxExifOrientation(head.exif.data(), head.exif.size()));
    return true;
}
