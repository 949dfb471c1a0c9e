// Byte limits on UTF-8 text: a cut never splits a character.
#pragma once

#include <cstddef>
#include <string_view>

// The length of the longest prefix of `text` of at most `limit` bytes that ends
// on a character boundary.
inline std::size_t Utf8PrefixLength(std::string_view text, std::size_t limit) {
    if (text.size() <= limit) return text.size();
    std::size_t cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return cut;
}
