#include "px_format_sniff.h"

#include <cstring>
#include <string_view>
#include <utility>

#include "px_image.h"

namespace {

using namespace std::string_view_literals;

// Signatures hold NUL bytes, so they are views with their own length.
bool StartsWith(const BYTE* head, std::size_t size, std::size_t at, std::string_view text) {
    return size >= at + text.size() && std::memcmp(head + at, text.data(), text.size()) == 0;
}

// The brands of an ISO base media file whose primary picture libheif decodes.
bool IsHeifBrand(const BYTE* brand) {
    static const char* const kBrands[] = {"heic", "heix", "hevc", "hevx", "heim", "heis",
                                          "hevm", "hevs", "mif1", "msf1", "avif", "avis"};
    for (const char* known : kBrands)
        if (std::memcmp(brand, known, 4) == 0) return true;
    return false;
}

// "ftyp" box first: its major brand, then the compatible ones that fit in `head`.
bool IsHeif(const BYTE* head, std::size_t size) {
    if (!StartsWith(head, size, 4, "ftyp") || size < 12) return false;
    const std::size_t box = (std::size_t{head[0]} << 24) | (std::size_t{head[1]} << 16) |
                            (std::size_t{head[2]} << 8) | head[3];
    if (box < 16) return false;
    if (IsHeifBrand(head + 8)) return true;
    const std::size_t end = box < size ? box : size;
    for (std::size_t at = 16; at + 4 <= end; at += 4)
        if (IsHeifBrand(head + at)) return true;
    return false;
}

}  // namespace

DWORD PxFormatOfContents(const BYTE* head, std::size_t size) {
    if (!head) return PX_FORMAT_UNKNOWN;
    if (StartsWith(head, size, 0, "\x89PNG\r\n\x1a\n"sv)) return PX_FORMAT_PNG;
    if (size >= 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF) return PX_FORMAT_JPG;
    if (StartsWith(head, size, 0, "GIF87a") || StartsWith(head, size, 0, "GIF89a"))
        return PX_FORMAT_GIF;
    if (StartsWith(head, size, 0, "RIFF") && StartsWith(head, size, 8, "WEBP"))
        return PX_FORMAT_WEBP;
    // Classic and big TIFF, in either byte order.
    if (StartsWith(head, size, 0, "II*\0"sv) || StartsWith(head, size, 0, "II+\0"sv) ||
        StartsWith(head, size, 0, "MM\0*"sv) || StartsWith(head, size, 0, "MM\0+"sv))
        return PX_FORMAT_TIFF;
    if (IsHeif(head, size)) return PX_FORMAT_HEIF;
    if (StartsWith(head, size, 0, "BM")) return PX_FORMAT_BMP;
    return PX_FORMAT_UNKNOWN;
}

DWORD PxFormatOfExtension(std::string_view extension) {
    static const std::pair<std::string_view, DWORD> kNames[] = {
        {"jpg", PX_FORMAT_JPG},   {"jpeg", PX_FORMAT_JPG},  {"jpe", PX_FORMAT_JPG},
        {"png", PX_FORMAT_PNG},   {"bmp", PX_FORMAT_BMP},   {"gif", PX_FORMAT_GIF},
        {"webp", PX_FORMAT_WEBP}, {"heic", PX_FORMAT_HEIF}, {"heif", PX_FORMAT_HEIF},
        {"hif", PX_FORMAT_HEIF},  {"avif", PX_FORMAT_HEIF}, {"tif", PX_FORMAT_TIFF},
        {"tiff", PX_FORMAT_TIFF}};
    if (extension.size() > 4) return PX_FORMAT_UNKNOWN;
    char lowered[4];
    for (std::size_t i = 0; i < extension.size(); ++i) {
        const char c = extension[i];
        lowered[i] = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    const std::string_view name(lowered, extension.size());
    for (const auto& [known, format] : kNames)
        if (name == known) return format;
    return PX_FORMAT_UNKNOWN;
}
