#include "object_model.h"

#include <cstdio>
#include <mutex>
#include <vector>

const IID IID_IUnknown = *GUID::Parse("{00000000-0000-0000-C000-000000000046}");
const IID IID_IClassFactory = *GUID::Parse("{00000001-0000-0000-C000-000000000046}");

namespace {

std::optional<std::uint64_t> Hex(std::string_view text) {
    if (text.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return std::nullopt;
        value = value << 4 | static_cast<std::uint64_t>(digit);
    }
    return value;
}

struct Registration {
    std::uint32_t cookie;
    CLSID clsid;
    ComPtr<IClassFactory> factory;
};

std::mutex g_classesMutex;
std::vector<Registration> g_classes;
std::uint32_t g_nextCookie = 1;

thread_local int t_apartmentJoins = 0;

ComPtr<IClassFactory> FactoryOf(const CLSID& clsid) {
    std::lock_guard lock(g_classesMutex);
    for (const Registration& r : g_classes)
        if (r.clsid == clsid) return r.factory;
    return {};
}

}  // namespace

std::optional<GUID> GUID::Parse(std::string_view text) {
    if (text.size() == 38 && text.front() == '{' && text.back() == '}') text = text.substr(1, 36);
    if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' ||
        text[23] != '-')
        return std::nullopt;
    const auto d1 = Hex(text.substr(0, 8));
    const auto d2 = Hex(text.substr(9, 4));
    const auto d3 = Hex(text.substr(14, 4));
    const auto d4a = Hex(text.substr(19, 4));
    const auto d4b = Hex(text.substr(24, 12));
    if (!d1 || !d2 || !d3 || !d4a || !d4b) return std::nullopt;
    GUID guid;
    guid.data1 = static_cast<std::uint32_t>(*d1);
    guid.data2 = static_cast<std::uint16_t>(*d2);
    guid.data3 = static_cast<std::uint16_t>(*d3);
    guid.data4[0] = static_cast<std::uint8_t>(*d4a >> 8);
    guid.data4[1] = static_cast<std::uint8_t>(*d4a);
    for (int i = 0; i < 6; ++i)
        guid.data4[2 + i] = static_cast<std::uint8_t>(*d4b >> (8 * (5 - i)));
    return guid;
}

std::string GUID::ToString() const {
    char text[39];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", data1,
                  data2, data3, data4[0], data4[1], data4[2], data4[3], data4[4], data4[5],
                  data4[6], data4[7]);
    return text;
}

HRESULT CoInitializeEx(void* /*reserved*/, std::uint32_t model) {
    if (model != COINIT_APARTMENTTHREADED) return E_INVALIDARG;
    return t_apartmentJoins++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize() {
    if (t_apartmentJoins > 0) --t_apartmentJoins;
}

HRESULT CoRegisterClassObject(const CLSID& clsid, IClassFactory* factory, std::uint32_t* cookie) {
    if (!factory || !cookie) return E_INVALIDARG;
    std::lock_guard lock(g_classesMutex);
    *cookie = g_nextCookie++;
    g_classes.push_back(Registration{*cookie, clsid, ComPtr<IClassFactory>(factory)});
    return S_OK;
}

HRESULT CoRevokeClassObject(std::uint32_t cookie) {
    ComPtr<IClassFactory> released;  // released outside the lock
    std::lock_guard lock(g_classesMutex);
    for (auto it = g_classes.begin(); it != g_classes.end(); ++it) {
        if (it->cookie != cookie) continue;
        released = std::move(it->factory);
        g_classes.erase(it);
        return S_OK;
    }
    return E_INVALIDARG;
}

HRESULT CoCreateInstance(const CLSID& clsid, IUnknown* outer, std::uint32_t context, const IID& iid,
                         void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (t_apartmentJoins == 0) return CO_E_NOTINITIALIZED;
    if (!(context & (CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER))) return REGDB_E_CLASSNOTREG;
    const ComPtr<IClassFactory> factory = FactoryOf(clsid);
    if (!factory) return REGDB_E_CLASSNOTREG;
    return factory->CreateInstance(outer, iid, object);
}

HRESULT OleRun(IUnknown* object) {
    return object ? S_OK : E_INVALIDARG;
}
