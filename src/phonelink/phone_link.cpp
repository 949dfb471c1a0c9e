#include "phone_link.h"

#include <cstdio>

#include "app/flash/flash_text.h"
#include "app/globals.h"
#include "app/settings/settings.h"
#include "app/texts/wizard_texts.h"
#include "link_texts.h"
#include "platform/window/window.h"
#include "send_stop.h"
#include "wide_text.h"

std::string g_linkStatusText;

namespace {

// Sound files go through the phone's speech coder on the way.
bool IsSound(const std::string& path) {
    if (path.size() < 3) return false;
    std::string tail = path.substr(path.size() - 3);
    for (char& c : tail)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return tail == "wav";
}

}  // namespace

class CPhoneLink::Sink final : public IPhoneLinkEvents, private RefCounted {
public:
    HRESULT QueryInterface(const IID& iid, void** object) override {
        if (!object) return E_POINTER;
        if (iid != IID_IUnknown && iid != IID_IPhoneLinkEvents) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IPhoneLinkEvents*>(this);
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return AddRefImpl(); }
    ULONG Release() override { return ReleaseImpl(); }

    HRESULT OnStatus(const std::wstring& text, long value1, long value2, long /*value3*/) override {
        g_linkStatusText = FormatFlashText(Utf8FromWide(text), true, false);
        if (!IsWindow(g_mainWnd)) return S_OK;
        // Collected first: a handler may create or destroy windows.
        std::vector<CWnd*> windows;
        g_mainWnd->ForEachDescendant([&](CWnd* w) { windows.push_back(w); });
        for (CWnd* w : windows)
            if (IsWindow(w))
                w->SendMessage(WM_USER, static_cast<WPARAM>(value2), static_cast<LPARAM>(value1));
        return S_OK;
    }
};

CPhoneLink::CPhoneLink() {
    apartment_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    ComPtr<IUnknown> object;
    creation_ =
        CoCreateInstance(CLSID_PhoneLink, nullptr, CLSCTX_ALL, IID_IUnknown, object.PutVoid());
    if (SUCCEEDED(creation_)) creation_ = OleRun(object.Get());
    if (SUCCEEDED(creation_)) creation_ = object.As(IID_IPhoneLink, &link_);
    if (FAILED(creation_)) {
        link_.Reset();
        return;
    }
    Advise();
    message_ = L"INIT";
    link_->Init(&message_, &status_);
}

// Without a container or that point the link works, only without events.
void CPhoneLink::Advise() {
    ComPtr<IConnectionPointContainer> container;
    if (FAILED(link_.As(IID_IConnectionPointContainer, &container))) return;
    if (FAILED(container->FindConnectionPoint(IID_IPhoneLinkEvents, point_.Put()))) return;
    ComPtr<Sink> sink;
    *sink.Put() = new Sink;
    if (FAILED(point_->Advise(sink.Get(), &cookie_))) point_.Reset();
}

CPhoneLink::~CPhoneLink() {
    if (point_) point_->Unadvise(cookie_);
    point_.Reset();
    link_.Reset();
    if (apartment_) CoUninitialize();
}

std::string CPhoneLink::Transfer(const std::string& path, const std::string& valueName) {
    status_ = 0;
    if (!link_) {
        char code[16];
        std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(creation_));
        return std::string(LinkTextIn(g_languageCode, LinkText::kNotCreatable)) + " (" + code + ")";
    }
    if (IsSound(path))
        link_->SetConversion(L"audio/amr", L"VocoderTypeName", L"MR102", &message_, &status_);
    const std::string folder = ReadRegString(valueName, nullptr, "\\Customization Wizards");
    link_->SendFile(WideFromUtf8(path), WideFromUtf8(folder), &message_, &status_);
    return Utf8FromWide(message_);
}

void CPhoneLink::CancelTransfer() {
    CancelSending();
}
