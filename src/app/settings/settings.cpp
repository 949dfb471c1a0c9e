#include "settings.h"

#include <cstdio>
#include <cstring>

#include "app/texts/wizard_texts.h"
#include "platform/registry/registry.h"
#include "platform/window/message_box.h"

namespace {

constexpr DWORD kStringBufferSize = 520;

void ReportRegistryError(const std::string& keyPath, const std::string& name, LONG code) {
    char text[1024];
    std::snprintf(text, sizeof text, "Registry error :\n%s[%s] (%d)", keyPath.c_str(), name.c_str(),
                  static_cast<int>(code));
    AppMessageBox(text, MB_ICONHAND | MB_OK);
}

// Cuts a trailing partial UTF-8 sequence left by a value that filled the buffer.
std::string WholeCharacters(const char* bytes, std::size_t length) {
    std::size_t end = length;
    std::size_t lead = end;
    while (lead > 0 && (static_cast<unsigned char>(bytes[lead - 1]) & 0xC0) == 0x80)
        --lead;
    if (lead > 0) {
        const auto c = static_cast<unsigned char>(bytes[lead - 1]);
        const std::size_t need = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        if (end - (lead - 1) < need) end = lead - 1;
    }
    return std::string(bytes, end);
}

// The 32-bit value under the key, or the system error code.
LONG QueryDword(const std::string& keyPath, const std::string& name, DWORD* value) {
    BYTE bytes[4] = {};
    HKEY raw = nullptr;
    LONG rc = RegOpenKeyEx(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_QUERY_VALUE, &raw);
    if (rc == ERROR_SUCCESS) {
        UniqueRegKey key(raw);
        DWORD size = sizeof bytes;
        rc = RegQueryValueEx(key.get(), name.c_str(), nullptr, nullptr, bytes, &size);
    }
    if (rc != ERROR_SUCCESS) return rc;
    *value = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<DWORD>(bytes[3]) << 24);
    return ERROR_SUCCESS;
}

// The 32-bit value under the wizards' key, or the system error code after the
// "Registry error" box.
LONG ReadDword(const std::string& name, DWORD* value) {
    const LONG rc = QueryDword(std::string(kRegistryRoot) + "\\Customization Wizards", name, value);
    if (rc != ERROR_SUCCESS) AppMessageBox("Registry error", MB_ICONHAND | MB_OK);
    return rc;
}

}  // namespace

int AppMessageBox(const std::string& text, UINT style) {
    return MessageBox(nullptr, text, g_texts.ownTitle.empty() ? "Ostrel" : g_texts.ownTitle, style);
}

std::string ReadRegString(const std::string& name, std::string* second,
                          const std::string& keySuffix) {
    const std::string keyPath = kRegistryRoot + keySuffix;
    char buffer[kStringBufferSize] = {};
    HKEY raw = nullptr;
    LONG rc = RegOpenKeyEx(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, &raw);
    if (rc == ERROR_SUCCESS) {
        UniqueRegKey key(raw);
        DWORD size = kStringBufferSize;
        rc = RegQueryValueEx(key.get(), name.c_str(), nullptr, nullptr,
                             reinterpret_cast<BYTE*>(buffer), &size);
    }
    if (rc != ERROR_SUCCESS) {
        ReportRegistryError(keyPath, name, rc);
        return {};
    }
    std::string text = WholeCharacters(buffer, strnlen(buffer, kStringBufferSize));
    if (second) *second = text;
    return text;
}

bool WriteRegString(const std::string& name, const std::string& text,
                    const std::string& keySuffix) {
    const std::string keyPath = kRegistryRoot + keySuffix;
    HKEY raw = nullptr;
    LONG rc = RegOpenKeyEx(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_ALL_ACCESS, &raw);
    if (rc == ERROR_SUCCESS) {
        UniqueRegKey key(raw);
        rc = RegSetValueEx(key.get(), name.c_str(), 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(text.c_str()),
                           static_cast<DWORD>(text.size() + 1));
    }
    if (rc != ERROR_SUCCESS) {
        ReportRegistryError(keyPath, name, rc);
        return false;
    }
    return true;
}

DWORD ReadRegDword(const std::string& name) {
    DWORD value = 0;
    const LONG rc = ReadDword(name, &value);
    return rc == ERROR_SUCCESS ? value : static_cast<DWORD>(rc);
}

bool ReadRegDword(const std::string& name, DWORD* value) {
    return ReadDword(name, value) == ERROR_SUCCESS;
}

bool ReadRegDwordQuietly(const std::string& name, const std::string& keySuffix, DWORD* value) {
    return QueryDword(kRegistryRoot + keySuffix, name, value) == ERROR_SUCCESS;
}
