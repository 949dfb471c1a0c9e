// The registry hive kept as a text file in the format of Windows .reg files:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_LOCAL_MACHINE\SOFTWARE\Norvane\Tessel 310-510]
//   "Language"="EN"
//   "StampTolerance"=dword:0000000a
//   "Raw"=hex(1):44,3a,00
//
// Values keep their exact bytes: a text value is stored with its terminating zero,
// and anything that is not plain text of one line is written as hex(type).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/win_types.h"

namespace registry {

constexpr DWORD kRegNone = 0;
constexpr DWORD kRegSz = 1;
constexpr DWORD kRegBinary = 3;
constexpr DWORD kRegDword = 4;

struct Value {
    std::string name;  // empty for the default value, written @
    DWORD type = kRegNone;
    std::vector<BYTE> data;
};

struct Key {
    std::string path;  // full path from the root, e.g. HKEY_LOCAL_MACHINE\SOFTWARE\...
    std::vector<Value> values;
};

struct Hive {
    std::vector<Key> keys;

    // Names compare without regard to ASCII case, as the system's do.
    Key* FindKey(std::string_view path);
    const Key* FindKey(std::string_view path) const;
    Key& AddKey(std::string_view path);
};

const Value* FindValue(const Key& key, std::string_view name);
void SetValue(Key& key, std::string_view name, DWORD type, std::vector<BYTE> data);

// Nothing when the text is not a hive; `error` then says what and on which line.
std::optional<Hive> ParseHive(std::string_view text, std::string* error);
std::string FormatHive(const Hive& hive);

bool SameName(std::string_view a, std::string_view b);

}  // namespace registry
