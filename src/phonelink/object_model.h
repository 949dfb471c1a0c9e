// A small in-process object model: interfaces identified by GUIDs, reference-
// counted objects, class factories registered by class id, and creation by class
// id. Objects live in the apartment of the thread that initialised it; their
// events are carried out on that thread.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

using HRESULT = std::int32_t;
using ULONG = std::uint32_t;

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);
constexpr HRESULT CO_E_NOTINITIALIZED = static_cast<HRESULT>(0x800401F0);
constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110);
constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154);
constexpr HRESULT CONNECT_E_NOCONNECTION = static_cast<HRESULT>(0x80040200);
constexpr HRESULT CONNECT_E_CANNOTCONNECT = static_cast<HRESULT>(0x80040202);

constexpr bool SUCCEEDED(HRESULT hr) {
    return hr >= 0;
}
constexpr bool FAILED(HRESULT hr) {
    return hr < 0;
}

// Server kinds a creation may use; only in-process servers exist here.
constexpr std::uint32_t CLSCTX_INPROC_SERVER = 0x1;
constexpr std::uint32_t CLSCTX_INPROC_HANDLER = 0x2;
constexpr std::uint32_t CLSCTX_LOCAL_SERVER = 0x4;
constexpr std::uint32_t CLSCTX_REMOTE_SERVER = 0x10;
constexpr std::uint32_t CLSCTX_SERVER = 0x15;
constexpr std::uint32_t CLSCTX_ALL = 0x17;

constexpr std::uint32_t COINIT_APARTMENTTHREADED = 0x2;

struct GUID {
    std::uint32_t data1 = 0;
    std::uint16_t data2 = 0;
    std::uint16_t data3 = 0;
    std::array<std::uint8_t, 8> data4{};

    friend bool operator==(const GUID&, const GUID&) = default;
    // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", braces optional; nothing when malformed.
    static std::optional<GUID> Parse(std::string_view text);
    std::string ToString() const;
};
using IID = GUID;
using CLSID = GUID;

// Every interface starts with these three.
class IUnknown {
public:
    virtual HRESULT QueryInterface(const IID& iid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;
};
extern const IID IID_IUnknown;

class IClassFactory : public IUnknown {
public:
    virtual HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** object) = 0;
    virtual HRESULT LockServer(bool lock) = 0;

protected:
    ~IClassFactory() = default;
};
extern const IID IID_IClassFactory;

// Holds one reference; the RAII owner of interface pointers.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(T* p) : p_(p) {  // NOLINT: takes a new reference, like the system's
        if (p_) p_->AddRef();
    }
    ComPtr(const ComPtr& other) : ComPtr(other.p_) {}
    ComPtr(ComPtr&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(p_, other.p_);
        return *this;
    }
    ~ComPtr() { Reset(); }

    void Reset() {
        if (p_) std::exchange(p_, nullptr)->Release();
    }
    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For calls that hand out a new reference: releases what is held first.
    T** Put() {
        Reset();
        return &p_;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }

    // Another interface of the same object.
    template <class U>
    HRESULT As(const IID& iid, ComPtr<U>* other) const {
        if (!p_) return E_POINTER;
        return p_->QueryInterface(iid, other->PutVoid());
    }

private:
    T* p_ = nullptr;
};

// The reference count every object of the model keeps; deleting at zero.
class RefCounted {
protected:
    virtual ~RefCounted() = default;
    ULONG AddRefImpl() { return ++count_; }
    ULONG ReleaseImpl() {
        const ULONG left = --count_;
        if (left == 0) delete this;
        return left;
    }

private:
    std::atomic<ULONG> count_{1};
};

// Joins the calling thread to an apartment; every CoInitializeEx needs its
// CoUninitialize. S_FALSE when the thread had already joined.
HRESULT CoInitializeEx(void* reserved, std::uint32_t model);
void CoUninitialize();

// Makes a class creatable by id (the server's registration). The model keeps a
// reference to the factory until it is revoked.
HRESULT CoRegisterClassObject(const CLSID& clsid, IClassFactory* factory, std::uint32_t* cookie);
HRESULT CoRevokeClassObject(std::uint32_t cookie);

// Creates an object of the class and asks it for `iid`. REGDB_E_CLASSNOTREG when no
// factory is registered for a server kind in `context`; CO_E_NOTINITIALIZED when
// the calling thread has not joined an apartment.
HRESULT CoCreateInstance(const CLSID& clsid, IUnknown* outer, std::uint32_t context, const IID& iid,
                         void** object);

// Puts an object into its running state; in-process objects already run.
HRESULT OleRun(IUnknown* object);
