// Connection points: how an object finds the event sinks its clients offer.
// A client asks the object's container for the point of an event interface and
// advises its sink there; the object calls every advised sink.
#pragma once

#include <cstdint>
#include <vector>

#include "object_model.h"

class IConnectionPoint : public IUnknown {
public:
    virtual HRESULT GetConnectionInterface(IID* iid) = 0;
    // Keeps a reference to the sink until Unadvise; the cookie names the advice.
    virtual HRESULT Advise(IUnknown* sink, std::uint32_t* cookie) = 0;
    virtual HRESULT Unadvise(std::uint32_t cookie) = 0;

protected:
    ~IConnectionPoint() = default;
};
extern const IID IID_IConnectionPoint;

class IConnectionPointContainer : public IUnknown {
public:
    // CONNECT_E_NOCONNECTION when the object raises no such events.
    virtual HRESULT FindConnectionPoint(const IID& iid, IConnectionPoint** point) = 0;

protected:
    ~IConnectionPointContainer() = default;
};
extern const IID IID_IConnectionPointContainer;

// The sinks advised at one point, each held as the event interface `Sink`.
template <class Sink>
class SinkList {
public:
    explicit SinkList(const IID& eventIid) : eventIid_(eventIid) {}

    HRESULT Advise(IUnknown* sink, std::uint32_t* cookie) {
        if (!sink || !cookie) return E_POINTER;
        ComPtr<Sink> events;
        if (FAILED(sink->QueryInterface(eventIid_, events.PutVoid())))
            return CONNECT_E_CANNOTCONNECT;
        *cookie = nextCookie_++;
        sinks_.push_back({*cookie, std::move(events)});
        return S_OK;
    }
    HRESULT Unadvise(std::uint32_t cookie) {
        for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
            if (it->cookie != cookie) continue;
            sinks_.erase(it);
            return S_OK;
        }
        return CONNECT_E_NOCONNECTION;
    }
    // The sinks as they are now; a sink may unadvise while being called.
    std::vector<ComPtr<Sink>> Current() const {
        std::vector<ComPtr<Sink>> copy;
        for (const Entry& e : sinks_)
            copy.push_back(e.sink);
        return copy;
    }
    const IID& EventIid() const { return eventIid_; }

private:
    struct Entry {
        std::uint32_t cookie;
        ComPtr<Sink> sink;
    };
    IID eventIid_;
    std::vector<Entry> sinks_;
    std::uint32_t nextCookie_ = 1;
};
