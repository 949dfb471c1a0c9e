// Splitting one line of a movie file into tokens.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/base/win_types.h"

namespace player {

enum class TokenKind { Word, String, Color, Variable, Semicolon, Equal, NotEqual };

struct Token {
    TokenKind kind = TokenKind::Word;
    std::string text;    // the word, the string's characters, the variable's name
    COLORREF color = 0;  // TokenKind::Color
};

// Fills `tokens` with the tokens of one line (without its line break). False with
// a message in `error` on a character or string the format does not allow.
bool TokenizeLine(std::string_view line, std::vector<Token>& tokens, std::string& error);

// A word that is a number of the format (optional '-', digits, at most 32767 in size).
bool ParseNumber(std::string_view word, int& number);

}  // namespace player
