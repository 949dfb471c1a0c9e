// The object behind CLSID_PhoneLink: IPhoneLink, and a connection-point container
// with one point for IPhoneLinkEvents.
#pragma once

#include <string>

#include "connection_point.h"
#include "phone_delivery.h"
#include "phone_link_interfaces.h"

class PhoneLinkObject final : public IPhoneLink,
                              public IConnectionPointContainer,
                              private RefCounted {
public:
    PhoneLinkObject();

    HRESULT QueryInterface(const IID& iid, void** object) override;
    ULONG AddRef() override { return AddRefImpl(); }
    ULONG Release() override { return ReleaseImpl(); }

    HRESULT Init(std::wstring* message, long* status) override;
    HRESULT SendFile(const std::wstring& path, const std::wstring& phoneFolder,
                     std::wstring* message, long* status) override;
    HRESULT SetConversion(const std::wstring& mimeType, const std::wstring& parameter,
                          const std::wstring& value, std::wstring* message, long* status) override;

    HRESULT FindConnectionPoint(const IID& iid, IConnectionPoint** point) override;

private:
    class EventsPoint final : public IConnectionPoint {
    public:
        explicit EventsPoint(PhoneLinkObject& owner)
            : owner_(owner), sinks_(IID_IPhoneLinkEvents) {}
        HRESULT QueryInterface(const IID& iid, void** object) override;
        ULONG AddRef() override { return owner_.AddRef(); }
        ULONG Release() override { return owner_.Release(); }
        HRESULT GetConnectionInterface(IID* iid) override;
        HRESULT Advise(IUnknown* sink, std::uint32_t* cookie) override;
        HRESULT Unadvise(std::uint32_t cookie) override;
        void Raise(const std::wstring& text, long value1, long value2);

    private:
        PhoneLinkObject& owner_;
        SinkList<IPhoneLinkEvents> sinks_;
    };

    ~PhoneLinkObject() override = default;
    DeliveryResult DeliverOffThread(const DeliveryRequest& request, const std::string& language);
    void RaiseProgress(const std::string& language, const std::string& name, std::uint64_t sent,
                       std::uint64_t total);

    EventsPoint events_;
    bool sending_ = false;
    std::wstring conversion_;  // the last SetConversion, as "type;parameter=value"
};
