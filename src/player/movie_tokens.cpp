#include "movie_tokens.h"

#include <cstdint>

#include "movie.h"

namespace player {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsWordChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '/' || c == '.';
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::size_t WordEnd(std::string_view line, std::size_t i) {
    while (i < line.size() && IsWordChar(line[i]))
        ++i;
    return i;
}

// A string from the opening quote at `i`; `i` ends after the closing quote.
bool ReadString(std::string_view line, std::size_t& i, std::string& out, std::string& error) {
    for (++i; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"') {
            ++i;
            return true;
        }
        if (c != '\\') {
            out.push_back(c);
            continue;
        }
        if (++i == line.size()) break;
        switch (line[i]) {
            case '"':
                out.push_back('"');
                break;
            case '\\':
                out.push_back('\\');
                break;
            case 'n':
                out.push_back('\n');
                break;
            default:
                error = "unknown escape in a string";
                return false;
        }
    }
    error = "a string is not closed";
    return false;
}

bool ReadColor(std::string_view line, std::size_t& i, Token& token, std::string& error) {
    const std::size_t end = WordEnd(line, i + 1);
    const std::string_view digits = line.substr(i + 1, end - i - 1);
    int rgb[3];
    bool ok = digits.size() == 6;
    for (int k = 0; ok && k < 3; ++k) {
        const int hi = HexDigit(digits[2 * k]), lo = HexDigit(digits[2 * k + 1]);
        ok = hi >= 0 && lo >= 0;
        rgb[k] = hi * 16 + lo;
    }
    if (!ok) {
        error = "a colour is #rrggbb";
        return false;
    }
    token.kind = TokenKind::Color;
    token.color =
        RGB(static_cast<BYTE>(rgb[0]), static_cast<BYTE>(rgb[1]), static_cast<BYTE>(rgb[2]));
    i = end;
    return true;
}

bool ReadToken(std::string_view line, std::size_t& i, Token& token, std::string& error) {
    const char c = line[i];
    if (c == '"') {
        token.kind = TokenKind::String;
        return ReadString(line, i, token.text, error);
    }
    if (c == '#') return ReadColor(line, i, token, error);
    if (c == ';') {
        token.kind = TokenKind::Semicolon;
        ++i;
        return true;
    }
    if ((c == '=' || c == '!') && i + 1 < line.size() && line[i + 1] == '=') {
        token.kind = c == '=' ? TokenKind::Equal : TokenKind::NotEqual;
        i += 2;
        return true;
    }
    const bool variable = c == '$';
    const std::size_t start = variable ? i + 1 : i;
    const std::size_t end = WordEnd(line, start);
    if (end == start) {
        error = std::string("unexpected character '") +
                (static_cast<unsigned char>(c) < 0x80 && c >= 0x20 ? std::string(1, c) : "?") + "'";
        return false;
    }
    token.kind = variable ? TokenKind::Variable : TokenKind::Word;
    token.text = std::string(line.substr(start, end - start));
    i = end;
    return true;
}

}  // namespace

bool TokenizeLine(std::string_view line, std::vector<Token>& tokens, std::string& error) {
    tokens.clear();
    std::size_t i = 0;
    while (true) {
        while (i < line.size() && IsBlank(line[i]))
            ++i;
        if (i == line.size()) return true;
        Token token;
        if (!ReadToken(line, i, token, error)) return false;
        tokens.push_back(std::move(token));
        // Tokens are separated by blanks; only ';' may touch its neighbours.
        if (i < line.size() && !IsBlank(line[i]) && line[i] != ';' &&
            tokens.back().kind != TokenKind::Semicolon) {
            error = "tokens must be separated by blanks";
            return false;
        }
    }
}

bool ParseNumber(std::string_view word, int& number) {
    std::size_t i = 0;
    const bool negative = !word.empty() && word[0] == '-';
    if (negative) ++i;
    if (i == word.size()) return false;
    std::int64_t value = 0;
    for (; i < word.size(); ++i) {
        if (word[i] < '0' || word[i] > '9') return false;
        value = value * 10 + (word[i] - '0');
        if (value > kMaxNumber) return false;
    }
    number = static_cast<int>(negative ? -value : value);
    return true;
}

}  // namespace player
