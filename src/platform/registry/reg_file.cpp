#include "reg_file.h"

#include <algorithm>
#include <cstdio>

namespace registry {
namespace {

constexpr std::string_view kSignature = "Windows Registry Editor Version 5.00";

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

struct Line {
    int number;
    std::string text;
};

// Splits the text into logical lines: CR LF or LF ends a line, and a hex list
// ending in a backslash goes on on the next line.
std::vector<Line> LogicalLines(std::string_view text) {
    std::vector<Line> lines;
    std::string pending;
    int number = 0, start = 0;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        ++number;
        if (pending.empty()) {
            start = number;
        } else {
            line.remove_prefix(std::min(line.find_first_not_of(" \t"), line.size()));
        }
        pending += line;
        if (!pending.empty() && pending.back() == '\\' &&
            pending.find("=hex") != std::string::npos) {
            pending.pop_back();
        } else {
            lines.push_back({start, std::move(pending)});
            pending.clear();
        }
        at = end + 1;
    }
    if (!pending.empty()) lines.push_back({start, std::move(pending)});
    return lines;
}

// Reads a quoted string with \\ and \" escapes starting at text[at] == '"'; on
// success `at` stands after the closing quote.
std::optional<std::string> Quoted(std::string_view text, std::size_t& at) {
    if (at >= text.size() || text[at] != '"') return std::nullopt;
    std::string out;
    for (++at; at < text.size(); ++at) {
        const char c = text[at];
        if (c == '"') {
            ++at;
            return out;
        }
        if (c == '\\') {
            if (++at >= text.size() || (text[at] != '\\' && text[at] != '"')) return std::nullopt;
        }
        out += text[at];
    }
    return std::nullopt;
}

// The text in double quotes with \\ and \" escapes. Built by appending: GCC 12
// misreads "..." + string concatenations here as overlapping copies at -O3.
std::string Quote(std::string_view text) {
    std::string out(1, '"');
    for (char c : text) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    out += '"';
    return out;
}

std::optional<std::vector<BYTE>> HexList(std::string_view text) {
    auto digit = [](char c) {
        c = Lower(c);
        return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    };
    auto skipBlanks = [text](std::size_t at) {
        while (at < text.size() && (text[at] == ' ' || text[at] == '\t'))
            ++at;
        return at;
    };
    std::vector<BYTE> bytes;
    std::size_t at = skipBlanks(0);
    if (at == text.size()) return bytes;
    for (;;) {
        if (at + 1 >= text.size()) return std::nullopt;
        const int hi = digit(text[at]), lo = digit(text[at + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        bytes.push_back(static_cast<BYTE>(hi * 16 + lo));
        at = skipBlanks(at + 2);
        if (at == text.size()) return bytes;
        if (text[at] != ',') return std::nullopt;
        at = skipBlanks(at + 1);
    }
}

// The data after '=': "text", dword:xxxxxxxx, hex:.. or hex(N):..
std::optional<Value> ParseData(std::string_view text, Value value) {
    if (!text.empty() && text[0] == '"') {
        std::size_t at = 0;
        auto s = Quoted(text, at);
        if (!s || at != text.size()) return std::nullopt;
        value.type = kRegSz;
        value.data.assign(s->begin(), s->end());
        value.data.push_back(0);
        return value;
    }
    if (text.starts_with("dword:")) {
        const std::string_view digits = text.substr(6);
        if (digits.size() != 8 ||
            digits.find_first_not_of("0123456789abcdefABCDEF") != std::string_view::npos)
            return std::nullopt;
        const auto number = static_cast<DWORD>(std::stoul(std::string(digits), nullptr, 16));
        value.type = kRegDword;
        value.data = {static_cast<BYTE>(number), static_cast<BYTE>(number >> 8),
                      static_cast<BYTE>(number >> 16), static_cast<BYTE>(number >> 24)};
        return value;
    }
    DWORD type = kRegBinary;
    std::size_t colon;
    if (text.starts_with("hex:")) {
        colon = 3;
    } else if (text.starts_with("hex(")) {
        const std::size_t close = text.find("):");
        const std::string_view digits =
            close == std::string_view::npos ? "" : text.substr(4, close - 4);
        if (digits.empty() || digits.size() > 8 ||
            digits.find_first_not_of("0123456789abcdefABCDEF") != std::string_view::npos)
            return std::nullopt;
        type = static_cast<DWORD>(std::stoul(std::string(digits), nullptr, 16));
        colon = close + 1;
    } else {
        return std::nullopt;
    }
    auto bytes = HexList(text.substr(colon + 1));
    if (!bytes) return std::nullopt;
    value.type = type;
    value.data = std::move(*bytes);
    return value;
}

std::optional<Value> ParseValueLine(std::string_view line) {
    Value value;
    std::size_t at = 0;
    if (line.starts_with("@")) {
        at = 1;
    } else {
        auto name = Quoted(line, at);
        if (!name) return std::nullopt;
        value.name = std::move(*name);
    }
    if (at >= line.size() || line[at] != '=') return std::nullopt;
    return ParseData(line.substr(at + 1), std::move(value));
}

bool IsPlainText(const std::vector<BYTE>& data) {
    if (data.empty() || data.back() != 0) return false;
    return std::none_of(data.begin(), data.end() - 1,
                        [](BYTE b) { return b == 0 || b == '\r' || b == '\n'; });
}

std::string FormatData(const Value& value) {
    char buffer[16];
    if (value.type == kRegSz && IsPlainText(value.data))
        return Quote({reinterpret_cast<const char*>(value.data.data()), value.data.size() - 1});
    if (value.type == kRegDword && value.data.size() == 4) {
        const DWORD n = value.data[0] | (value.data[1] << 8) | (value.data[2] << 16) |
                        (static_cast<DWORD>(value.data[3]) << 24);
        std::snprintf(buffer, sizeof buffer, "%08x", n);
        return std::string("dword:") + buffer;
    }
    std::string out = "hex";
    if (value.type != kRegBinary) {
        std::snprintf(buffer, sizeof buffer, "(%x)", value.type);
        out += buffer;
    }
    out += ':';
    for (std::size_t i = 0; i < value.data.size(); ++i) {
        std::snprintf(buffer, sizeof buffer, i ? ",%02x" : "%02x", value.data[i]);
        out += buffer;
    }
    return out;
}

}  // namespace

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return Lower(x) == Lower(y); });
}

Key* Hive::FindKey(std::string_view path) {
    for (Key& key : keys) {
        if (SameName(key.path, path)) return &key;
    }
    return nullptr;
}

const Key* Hive::FindKey(std::string_view path) const {
    return const_cast<Hive*>(this)->FindKey(path);
}

Key& Hive::AddKey(std::string_view path) {
    if (Key* existing = FindKey(path)) return *existing;
    keys.push_back(Key{std::string(path), {}});
    return keys.back();
}

const Value* FindValue(const Key& key, std::string_view name) {
    for (const Value& value : key.values) {
        if (SameName(value.name, name)) return &value;
    }
    return nullptr;
}

void SetValue(Key& key, std::string_view name, DWORD type, std::vector<BYTE> data) {
    for (Value& value : key.values) {
        if (SameName(value.name, name)) {
            value.type = type;
            value.data = std::move(data);
            return;
        }
    }
    key.values.push_back(Value{std::string(name), type, std::move(data)});
}

std::optional<Hive> ParseHive(std::string_view text, std::string* error) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    auto fail = [error](int line, const std::string& what) -> std::optional<Hive> {
        if (error) *error = "line " + std::to_string(line) + ": " + what;
        return std::nullopt;
    };
    Hive hive;
    Key* current = nullptr;
    bool signed_ = false;
    for (const Line& line : LogicalLines(text)) {
        const std::string_view s = line.text;
        if (s.find_first_not_of(" \t") == std::string_view::npos || s[0] == ';') continue;
        if (!signed_) {
            if (s != kSignature) return fail(line.number, "not a registry file");
            signed_ = true;
        } else if (s[0] == '[') {
            if (s.back() != ']' || s.size() < 3) return fail(line.number, "bad key line");
            current = &hive.AddKey(s.substr(1, s.size() - 2));
        } else {
            auto value = ParseValueLine(s);
            if (!value) return fail(line.number, "bad value line");
            if (!current) return fail(line.number, "value outside a key");
            SetValue(*current, value->name, value->type, std::move(value->data));
        }
    }
    if (!signed_) return fail(1, "not a registry file");
    return hive;
}

std::string FormatHive(const Hive& hive) {
    std::string out(kSignature);
    out += '\n';
    for (const Key& key : hive.keys) {
        out.append("\n[").append(key.path).append("]\n");
        for (const Value& value : key.values) {
            out += value.name.empty() ? std::string("@") : Quote(value.name);
            out.append("=").append(FormatData(value)).append("\n");
        }
    }
    return out;
}

}  // namespace registry
