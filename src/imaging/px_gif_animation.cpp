// Several paletted pictures as one animated GIF that loops through the NETSCAPE2.0
// application extension.
#include "platform/base/dib_header.h"
#include "px_gif_codec.h"

bool PxGifCodec::Encode(PxFile* stream, PxImage** images, int count) {
    if (!stream) return Fail("invalid file pointer");
    if (!images || count <= 0 || !images[0]) return Fail("multipage GIF, no images!");
    if (!IsAnimationFrame(*images[0])) return false;
    if (!WriteHeader(stream, *images[0], true) || !WriteLoopExtension(stream)) return false;
    for (int i = 0; i < count; ++i) {
        if (!images[i]) return Fail("Bad image pointer");
        if (!IsAnimationFrame(*images[i]) || !WriteGraphicControl(stream, *images[i]) ||
            !WriteImage(stream, *images[i], true))
            return false;
    }
    if (!WriteComment(stream)) return false;
    return stream->PutC(';') || Fail("Error writing GIF");
}

// A frame without a palette has no colour table to write: it is refused before a
// broken table could reach the file.
bool PxGifCodec::IsAnimationFrame(const PxImage& image) {
    if (!image.IsValid()) return Fail("Bad image pointer");
    if (!image.IsIndexed()) return Fail("multipage GIF frames must be paletted");
    return true;
}

bool PxGifCodec::WriteLoopExtension(PxFile* stream) {
    BYTE block[19] = {0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S',  'C',
                      'A',  'P',  'E',  '2', '.', '0', 0x03, 0x01};
    StoreLE16(block + 16, loopCount);
    block[18] = 0;
    return stream->Write(block, 1, sizeof(block)) == sizeof(block) || Fail("Error writing GIF");
}
