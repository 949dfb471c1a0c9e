// Reading the tokens of one statement in order, with the message of the first
// thing that is not what the statement expects.
#pragma once

#include <string>
#include <vector>

#include "movie.h"
#include "movie_tokens.h"

namespace player {

class TokenCursor {
public:
    explicit TokenCursor(const std::vector<Token>& tokens, std::size_t start = 0)
        : tokens_(tokens), i_(start) {}

    bool AtEnd() const { return i_ >= tokens_.size(); }
    const Token* Peek() const { return AtEnd() ? nullptr : &tokens_[i_]; }
    bool PeekWord(const char* word) const;
    const std::string& Error() const { return error_; }
    // Records the message (the first one wins) and returns false.
    bool Fail(const std::string& message);

    bool Word(std::string& out, const char* what);
    bool Keyword(const char* word);  // fails unless the next token is that word
    bool Number(int& out, const char* what);
    bool Size(int& out, const char* what);  // a number of at least 0
    bool String(std::string& out, const char* what);
    bool Color(COLORREF& out, const char* what);
    bool ColorOrNone(std::optional<COLORREF>& out, const char* what);
    // A string or $name.
    bool ValueToken(Value& out, const char* what);
    // A number or $name.
    bool FrameValue(Value& out, const char* what);
    bool Semicolon();
    bool Comparison(bool& equal);
    bool End();  // fails when tokens are left over

private:
    const Token* Take();
    bool Expected(const char* what);

    const std::vector<Token>& tokens_;
    std::size_t i_;
    std::string error_;
};

}  // namespace player
