// Owners of GLib's objects, strings and errors, released with GLib's own calls.
#pragma once

#include <gio/gio.h>

#include <memory>
#include <string>

struct GObjectUnref {
    void operator()(void* object) const { g_object_unref(object); }
};
template <typename T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

// The other reference-counted or freed kinds, each with its own release call.
template <auto Release>
struct GlibRelease {
    template <typename T>
    void operator()(T* held) const {
        Release(held);
    }
};
using GVariantPtr = std::unique_ptr<GVariant, GlibRelease<g_variant_unref>>;
using GMainContextPtr = std::unique_ptr<GMainContext, GlibRelease<g_main_context_unref>>;
using GMainLoopPtr = std::unique_ptr<GMainLoop, GlibRelease<g_main_loop_unref>>;
using GErrorPtr = std::unique_ptr<GError, GlibRelease<g_error_free>>;
using GDBusNodeInfoPtr = std::unique_ptr<GDBusNodeInfo, GlibRelease<g_dbus_node_info_unref>>;

// Takes a string GLib handed over; empty for none.
inline std::string TakeText(char* owned) {
    std::unique_ptr<char, decltype(&g_free)> text(owned, &g_free);
    return text ? std::string(text.get()) : std::string();
}

// For GLib's GError** out-parameters: `Call(..., caught.Out())`, then Get().
class CaughtError {
public:
    CaughtError() = default;
    ~CaughtError() { Clear(); }
    CaughtError(const CaughtError&) = delete;
    CaughtError& operator=(const CaughtError&) = delete;

    GError** Out() {
        Clear();
        return &raw_;
    }
    const GError* Get() const { return raw_; }
    void Clear() {
        if (raw_) g_error_free(raw_);
        raw_ = nullptr;
    }

private:
    GError* raw_ = nullptr;
};
