// Whether a file is a stamp the phone can show: a PNG with a palette, 16 x 16 or
// 32 x 32 pixels. Only the signature and the header chunk are looked at.
#pragma once

#include <cstddef>
#include <cstdint>

// `head` holds the first `size` bytes of the file.
bool IsPhoneStamp(const std::uint8_t* head, std::size_t size);
