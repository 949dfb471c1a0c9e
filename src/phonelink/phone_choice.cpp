#include "phone_choice.h"

#include <algorithm>

#include "phone_link_server.h"
#include "platform/registry/registry.h"

namespace {

std::string ReadSetting(const char* name) {
    HKEY raw = nullptr;
    if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, kPhoneLinkSettingsKey, 0, KEY_QUERY_VALUE, &raw) !=
        ERROR_SUCCESS)
        return {};
    UniqueRegKey open(raw);
    BYTE data[520] = {};
    DWORD size = sizeof data - 1;
    if (RegQueryValueEx(open.get(), name, nullptr, nullptr, data, &size) != ERROR_SUCCESS)
        return {};
    return reinterpret_cast<const char*>(data);
}

// "scheme://host[:port]" of a URI, or the whole URI for local paths.
std::string PhoneKey(const std::string& uri) {
    const std::size_t colon = uri.find("://");
    if (colon == std::string::npos || uri.compare(0, colon, "file") == 0) return uri;
    const std::size_t end = uri.find('/', colon + 3);
    return uri.substr(0, end);
}

std::string WithoutTrailingSlash(std::string uri) {
    while (uri.size() > 1 && uri.back() == '/' && uri[uri.size() - 2] != '/')
        uri.pop_back();
    return uri;
}

}  // namespace

bool SamePhone(const std::string& a, const std::string& b) {
    return PhoneKey(WithoutTrailingSlash(a)) == PhoneKey(WithoutTrailingSlash(b));
}

PhoneChoice ChoosePhone() {
    PhoneChoice choice;
    choice.storageFolder = ReadSetting("Storage Folder");
    choice.connected = ListPhonePlaces();
    const std::string remembered = ReadSetting("Phone");
    if (!remembered.empty()) {
        const auto& connected = choice.connected;
        const auto found = std::find_if(connected.begin(), connected.end(), [&](const auto& place) {
            return SamePhone(place.uri, remembered);
        });
        if (found != connected.end()) {
            choice.chosen = static_cast<int>(found - connected.begin());
            return choice;
        }
        if (auto place = MountedPlaceOf(remembered)) {
            choice.connected.push_back(*place);
            choice.chosen = static_cast<int>(choice.connected.size()) - 1;
            return choice;
        }
    }
    if (choice.connected.size() == 1) choice.chosen = 0;
    return choice;
}

bool RememberPhone(const std::string& uri) {
    HKEY raw = nullptr;
    if (RegCreateKeyEx(HKEY_LOCAL_MACHINE, kPhoneLinkSettingsKey, &raw) != ERROR_SUCCESS)
        return false;
    UniqueRegKey key(raw);
    return RegSetValueEx(key.get(), "Phone", 0, REG_SZ, reinterpret_cast<const BYTE*>(uri.c_str()),
                         static_cast<DWORD>(uri.size() + 1)) == ERROR_SUCCESS;
}
