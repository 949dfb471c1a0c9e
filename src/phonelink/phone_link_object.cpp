#include "phone_link_object.h"

#include "gio_delivery.h"
#include "link_texts.h"
#include "phone_choice.h"
#include "phone_link_server.h"
#include "platform/registry/registry.h"
#include "platform/window/off_thread_work.h"
#include "wide_text.h"

namespace {

// A value of the link's settings, or of the root key; empty when missing.
std::string ReadText(const char* key, const char* name) {
    HKEY raw = nullptr;
    if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, key, 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS) return {};
    UniqueRegKey open(raw);
    BYTE data[520] = {};
    DWORD size = sizeof data - 1;
    if (RegQueryValueEx(open.get(), name, nullptr, nullptr, data, &size) != ERROR_SUCCESS)
        return {};
    return reinterpret_cast<const char*>(data);
}

std::uint32_t ReadNumber(const char* key, const char* name) {
    HKEY raw = nullptr;
    if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, key, 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS) return 0;
    UniqueRegKey open(raw);
    BYTE data[4] = {};
    DWORD size = sizeof data;
    DWORD type = REG_NONE;
    if (RegQueryValueEx(open.get(), name, nullptr, &type, data, &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return 0;
    return std::uint32_t{data[0]} | std::uint32_t{data[1]} << 8 | std::uint32_t{data[2]} << 16 |
           std::uint32_t{data[3]} << 24;
}

LinkText TextFor(DeliveryError error) {
    switch (error) {
        case DeliveryError::kNotConnected:
            return LinkText::kNotConnected;
        case DeliveryError::kFolderNotMade:
            return LinkText::kFolderNotMade;
        case DeliveryError::kNoSpace:
            return LinkText::kNoSpace;
        case DeliveryError::kPermission:
            return LinkText::kPermission;
        case DeliveryError::kFileMissing:
            return LinkText::kFileMissing;
        case DeliveryError::kFileUnreadable:
            return LinkText::kFileUnreadable;
        case DeliveryError::kNotAStamp:
            return LinkText::kNotAStamp;
        case DeliveryError::kNotSupported:
            return LinkText::kNotSupported;
        default:
            return LinkText::kCopyFailed;
    }
}

long Percent(std::uint64_t sent, std::uint64_t total) {
    return total == 0 ? 100 : static_cast<long>(sent * 100 / total);
}

}  // namespace

PhoneLinkObject::PhoneLinkObject() : events_(*this) {}

HRESULT PhoneLinkObject::QueryInterface(const IID& iid, void** object) {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IPhoneLink)
        *object = static_cast<IPhoneLink*>(this);
    else if (iid == IID_IConnectionPointContainer)
        *object = static_cast<IConnectionPointContainer*>(this);
    else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

HRESULT PhoneLinkObject::Init(std::wstring* message, long* status) {
    if (message) message->clear();
    if (status) *status = 0;
    return S_OK;
}

HRESULT PhoneLinkObject::SetConversion(const std::wstring& mimeType, const std::wstring& parameter,
                                       const std::wstring& value, std::wstring* message,
                                       long* status) {
    conversion_ = mimeType + L";" + parameter + L"=" + value;
    if (message) message->clear();
    if (status) *status = 0;
    return S_OK;
}

HRESULT PhoneLinkObject::SendFile(const std::wstring& path, const std::wstring& phoneFolder,
                                  std::wstring* message, long* status) {
    if (!message || !status) return E_POINTER;
    const std::string language = ReadText("SOFTWARE\\Norvane\\Tessel 310-510", "Language");
    DeliveryRequest request;
    request.source = Utf8FromWide(path);
    // A phone the desktop has mounted when there is one to choose, else the
    // storage folder as configured.
    const PhoneChoice choice = ChoosePhone();
    if (choice.chosen >= 0)
        request.phoneUri = choice.connected[static_cast<std::size_t>(choice.chosen)].uri;
    else
        request.storage = choice.storageFolder;
    request.phoneFolder = Utf8FromWide(phoneFolder);
    request.chunkDelay = std::chrono::milliseconds(
        std::min(ReadNumber(kPhoneLinkSettingsKey, "Chunk Delay"), kLongestChunkDelayMs));
    // A transfer started from inside one of its own events would copy twice.
    DeliveryResult result{DeliveryError::kCopyFailed, request.source, {}};
    if (!sending_) {
        sending_ = true;
        result = DeliverOffThread(request, language);
        sending_ = false;
    }
    *status = static_cast<long>(result.error);
    if (result.error == DeliveryError::kNone) {
        RecordDelivery(result.target);
        message->clear();
        events_.Raise(WideFromUtf8(FormatLinkText(language, LinkText::kSent, result.name)),
                      static_cast<long>(result.bytes), 100);
        return S_OK;
    }
    *message = WideFromUtf8(FormatLinkText(language, TextFor(result.error), result.name));
    return S_OK;
}

DeliveryResult PhoneLinkObject::DeliverOffThread(const DeliveryRequest& request,
                                                 const std::string& language) {
    DeliveryResult result;
    SendStop stop;
    const CurrentSend current(stop);
    DeliveryRequest stoppable = request;
    stoppable.stop = &stop;
    // The caller waits as on a call into another process: its windows go on
    // taking input, so the user can close the wizard while a phone stalls.
    OffThreadWork::RunTakingInput([&](OffThreadWork& work) {
        const std::string name = request.source.substr(request.source.rfind('/') + 1);
        const DeliveryProgress progress = [&](std::uint64_t sent, std::uint64_t total) {
            work.CallOnCaller([&] { RaiseProgress(language, name, sent, total); });
        };
        result = stoppable.phoneUri.empty() ? Deliver(stoppable, progress)
                                            : DeliverThroughDesktop(stoppable, progress);
    });
    return result;
}

void PhoneLinkObject::RaiseProgress(const std::string& language, const std::string& name,
                                    std::uint64_t sent, std::uint64_t total) {
    const long percent = Percent(sent, total);
    const std::string text =
        FormatLinkText(language, LinkText::kSending, name, std::to_string(percent));
    events_.Raise(WideFromUtf8(text), static_cast<long>(sent), percent);
}

HRESULT PhoneLinkObject::FindConnectionPoint(const IID& iid, IConnectionPoint** point) {
    if (!point) return E_POINTER;
    *point = nullptr;
    if (iid != IID_IPhoneLinkEvents) return CONNECT_E_NOCONNECTION;
    events_.AddRef();
    *point = &events_;
    return S_OK;
}

HRESULT PhoneLinkObject::EventsPoint::QueryInterface(const IID& iid, void** object) {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IConnectionPoint) {
        *object = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT PhoneLinkObject::EventsPoint::GetConnectionInterface(IID* iid) {
    if (!iid) return E_POINTER;
    *iid = IID_IPhoneLinkEvents;
    return S_OK;
}

HRESULT PhoneLinkObject::EventsPoint::Advise(IUnknown* sink, std::uint32_t* cookie) {
    return sinks_.Advise(sink, cookie);
}

HRESULT PhoneLinkObject::EventsPoint::Unadvise(std::uint32_t cookie) {
    return sinks_.Unadvise(cookie);
}

void PhoneLinkObject::EventsPoint::Raise(const std::wstring& text, long value1, long value2) {
    for (const ComPtr<IPhoneLinkEvents>& sink : sinks_.Current())
        sink->OnStatus(text, value1, value2, 0);
}
