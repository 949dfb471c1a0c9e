#include "px_exif.h"

#include <libexif/exif-data.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr BYTE kExifHeader[] = {'E', 'x', 'i', 'f', 0, 0};

struct ExifDataFree {
    void operator()(ExifData* data) const { exif_data_unref(data); }
};

// libexif finds a block only behind its "Exif\0\0" header or a JPEG marker, so a
// bare TIFF-headed block (PNG eXIf, WebP EXIF) gets the header put before it.
std::unique_ptr<ExifData, ExifDataFree> ParseExif(const BYTE* data, std::size_t size) {
    if (!data || size < 8 || size > 0xFFFFFFu) return nullptr;
    std::unique_ptr<ExifData, ExifDataFree> exif(exif_data_new());
    if (!exif) return nullptr;
    // Only the values are wanted: the maker notes are left unread and nothing is
    // repaired or added.
    exif_data_unset_option(exif.get(), EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
    exif_data_set_option(exif.get(), EXIF_DATA_OPTION_DONT_CHANGE_MAKER_NOTE);
    exif_data_set_option(exif.get(), EXIF_DATA_OPTION_IGNORE_UNKNOWN_TAGS);
    if (std::memcmp(data, kExifHeader, sizeof kExifHeader) == 0) {
        exif_data_load_data(exif.get(), data, static_cast<unsigned>(size));
    } else {
        std::vector<BYTE> headed(kExifHeader, kExifHeader + sizeof kExifHeader);
        headed.insert(headed.end(), data, data + size);
        exif_data_load_data(exif.get(), headed.data(), static_cast<unsigned>(headed.size()));
    }
    return exif;
}

// The first IFD must hold all the entries it declares: libexif reads whatever
// entries fit, which takes a value out of a directory that is already damaged.
bool FirstIfdFits(const BYTE* data, std::size_t size) {
    if (size >= sizeof kExifHeader && std::memcmp(data, kExifHeader, sizeof kExifHeader) == 0) {
        data += sizeof kExifHeader;
        size -= sizeof kExifHeader;
    }
    if (size < 8 || (data[0] != data[1]) || (data[0] != 'I' && data[0] != 'M')) return false;
    const bool big = data[0] == 'M';
    const auto read = [&](std::size_t at, int bytes) {
        std::uint32_t v = 0;
        for (int i = 0; i < bytes; ++i) {
            const std::uint32_t b = data[at + static_cast<std::size_t>(i)];
            v |= big ? b << (8 * (bytes - 1 - i)) : b << (8 * i);
        }
        return v;
    };
    const std::uint64_t ifd = read(4, 4);
    if (ifd + 2 > size) return false;
    const std::uint64_t entries = read(static_cast<std::size_t>(ifd), 2);
    return ifd + 2 + 12 * entries <= size;
}

}  // namespace

int PxExifOrientation(const BYTE* data, std::size_t size) {
    if (!data || !FirstIfdFits(data, size)) return 1;
    const auto exif = ParseExif(data, size);
    if (!exif) return 1;
    ExifEntry* entry = exif_content_get_entry(exif->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION);
    if (!entry || entry->format != EXIF_FORMAT_SHORT || entry->components < 1 || !entry->data ||
        entry->size < 2)
        return 1;
    const int value = exif_get_short(entry->data, exif_data_get_byte_order(exif.get()));
    return value >= 1 && value <= 8 ? value : 1;
}

// libexif keeps the thumbnail only when its offset and length lie inside the block.
std::vector<BYTE> PxExifThumbnail(const BYTE* data, std::size_t size) {
    if (!data) return {};
    const auto exif = ParseExif(data, size);
    if (!exif || !exif->data || exif->size == 0 || exif->size > size) return {};
    return std::vector<BYTE>(exif->data, exif->data + exif->size);
}
