#include "stamp_check.h"

#include <cstring>

namespace {

constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::uint8_t kPaletteColour = 3;
// Signature, chunk length and type, then width, height, depth and colour type.
constexpr std::size_t kHeaderEnd = 8 + 8 + 10;

std::uint32_t BigEndian(const std::uint8_t* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

}  // namespace

bool IsPhoneStamp(const std::uint8_t* head, std::size_t size) {
    if (!head || size < kHeaderEnd) return false;
    if (std::memcmp(head, kSignature, sizeof kSignature) != 0) return false;
    if (BigEndian(head + 8) != 13 || std::memcmp(head + 12, "IHDR", 4) != 0) return false;
    const std::uint32_t width = BigEndian(head + 16);
    const std::uint32_t height = BigEndian(head + 20);
    const std::uint8_t depth = head[24];
    const std::uint8_t colour = head[25];
    if (width != height || (width != 16 && width != 32)) return false;
    return colour == kPaletteColour && (depth == 1 || depth == 2 || depth == 4 || depth == 8);
}
