#include "phone_link_server.h"

#include <mutex>
#include <new>

#include "phone_link_object.h"

const CLSID CLSID_PhoneLink = *GUID::Parse("{FA9ABB20-D0F9-40DC-9645-21FE03867B32}");
const IID IID_IPhoneLink = *GUID::Parse("{30273485-9AEC-410C-A65C-8489794CAC22}");
const IID IID_IPhoneLinkEvents = *GUID::Parse("{FD595754-6C01-44F8-B382-366DF022BEF8}");

namespace {

class PhoneLinkFactory final : public IClassFactory, private RefCounted {
public:
    HRESULT QueryInterface(const IID& iid, void** object) override {
        if (!object) return E_POINTER;
        if (iid != IID_IUnknown && iid != IID_IClassFactory) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return AddRefImpl(); }
    ULONG Release() override { return ReleaseImpl(); }

    HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        auto* link = new (std::nothrow) PhoneLinkObject;
        if (!link) return E_OUTOFMEMORY;
        const HRESULT hr = link->QueryInterface(iid, object);
        link->Release();  // the caller's reference, if any, keeps it alive
        return hr;
    }
    HRESULT LockServer(bool /*lock*/) override { return S_OK; }
};

}  // namespace

namespace {

std::mutex g_deliveredMutex;
std::vector<std::string> g_delivered;

}  // namespace

std::vector<std::string> DeliveredFiles() {
    std::lock_guard lock(g_deliveredMutex);
    return g_delivered;
}

void RecordDelivery(const std::string& target) {
    std::lock_guard lock(g_deliveredMutex);
    g_delivered.push_back(target);
}

void RegisterPhoneLinkServer() {
    static std::once_flag once;
    std::call_once(once, [] {
        ComPtr<IClassFactory> factory;
        *factory.Put() = new PhoneLinkFactory;  // starts with the one reference we hold
        std::uint32_t cookie = 0;
        CoRegisterClassObject(CLSID_PhoneLink, factory.Get(), &cookie);
    });
}
