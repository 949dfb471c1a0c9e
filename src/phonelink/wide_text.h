// Between the wizard's UTF-8 texts and the phone link's wide strings. A byte that
// is not part of valid UTF-8 (a file name in another encoding) travels as the
// lone surrogate U+DC80 + byte and comes back as that byte, so every path
// survives the round trip.
#pragma once

#include <string>
#include <string_view>

std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);
