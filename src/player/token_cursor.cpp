#include "token_cursor.h"

namespace player {

const Token* TokenCursor::Take() {
    return AtEnd() ? nullptr : &tokens_[i_++];
}

bool TokenCursor::Fail(const std::string& message) {
    if (error_.empty()) error_ = message;
    return false;
}

bool TokenCursor::Expected(const char* what) {
    return Fail(std::string("expected ") + what);
}

bool TokenCursor::PeekWord(const char* word) const {
    const Token* t = Peek();
    return t && t->kind == TokenKind::Word && t->text == word;
}

bool TokenCursor::Word(std::string& out, const char* what) {
    const Token* t = Peek();
    if (!t || t->kind != TokenKind::Word) return Expected(what);
    out = Take()->text;
    return true;
}

bool TokenCursor::Keyword(const char* word) {
    if (!PeekWord(word)) return Expected((std::string("'") + word + "'").c_str());
    ++i_;
    return true;
}

bool TokenCursor::Number(int& out, const char* what) {
    const Token* t = Peek();
    if (!t || t->kind != TokenKind::Word || !ParseNumber(t->text, out))
        return Fail(std::string("expected ") + what + " (a number from -32767 to 32767)");
    ++i_;
    return true;
}

bool TokenCursor::Size(int& out, const char* what) {
    if (!Number(out, what)) return false;
    if (out < 0) return Fail(std::string(what) + " must not be negative");
    return true;
}

bool TokenCursor::String(std::string& out, const char* what) {
    const Token* t = Peek();
    if (!t || t->kind != TokenKind::String) return Expected(what);
    out = Take()->text;
    return true;
}

bool TokenCursor::Color(COLORREF& out, const char* what) {
    const Token* t = Peek();
    if (!t || t->kind != TokenKind::Color) return Expected(what);
    out = Take()->color;
    return true;
}

bool TokenCursor::ColorOrNone(std::optional<COLORREF>& out, const char* what) {
    if (PeekWord("none")) {
        ++i_;
        out.reset();
        return true;
    }
    COLORREF c = 0;
    if (!Color(c, what)) return false;
    out = c;
    return true;
}

bool TokenCursor::ValueToken(Value& out, const char* what) {
    const Token* t = Peek();
    if (!t || (t->kind != TokenKind::String && t->kind != TokenKind::Variable))
        return Expected(what);
    out.variable = t->kind == TokenKind::Variable;
    out.text = Take()->text;
    return true;
}

bool TokenCursor::FrameValue(Value& out, const char* what) {
    const Token* t = Peek();
    if (t && t->kind == TokenKind::Variable) {
        out = Value{Take()->text, true};
        return true;
    }
    int number = 0;
    if (!Number(number, what)) return false;
    out = Value{std::to_string(number), false};
    return true;
}

bool TokenCursor::Semicolon() {
    const Token* t = Peek();
    if (!t || t->kind != TokenKind::Semicolon) return Expected("';'");
    ++i_;
    return true;
}

bool TokenCursor::Comparison(bool& equal) {
    const Token* t = Peek();
    if (!t || (t->kind != TokenKind::Equal && t->kind != TokenKind::NotEqual))
        return Expected("'==' or '!='");
    equal = Take()->kind == TokenKind::Equal;
    return true;
}

bool TokenCursor::End() {
    const Token* t = Peek();
    if (!t) return true;
    if (t->kind == TokenKind::Word) return Fail("unexpected '" + t->text + "'");
    return Fail("unexpected text at the end of the line");
}

}  // namespace player
