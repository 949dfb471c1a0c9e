// The lines of a movie file and their checks: UTF-8, length in characters.
#pragma once

#include <string_view>

namespace player {

// True when `text` is well-formed UTF-8 (no overlong forms, surrogates or
// values past U+10FFFF).
bool IsValidUtf8(std::string_view text);

// Number of characters (code points) of well-formed UTF-8 text.
std::size_t CountChars(std::string_view text);

// Walks the lines of `text`: each without its "\n" or "\r\n".
class LineReader {
public:
    explicit LineReader(std::string_view text);
    bool Next(std::string_view& line);
    int LineNumber() const { return number_; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    int number_ = 0;
};

}  // namespace player
