#include "px_message.h"

#include <atomic>

namespace {
std::atomic<PxMessageBoxHook> g_hook{nullptr};
thread_local int t_quietDepth = 0;
thread_local const PxMessageRelay::Relay* t_relay = nullptr;
}  // namespace

PxQuietMessages::PxQuietMessages() {
    ++t_quietDepth;
}

PxQuietMessages::~PxQuietMessages() {
    --t_quietDepth;
}

PxMessageRelay::PxMessageRelay(Relay relay) : relay_(std::move(relay)), previous_(t_relay) {
    t_relay = &relay_;
}

PxMessageRelay::~PxMessageRelay() {
    t_relay = previous_;
}

PxMessageBoxHook PxSetMessageBoxHook(PxMessageBoxHook hook) {
    return g_hook.exchange(hook);
}

int PxMessageBox(const char* text, const char* caption, UINT style) {
    if (t_quietDepth > 0) return IDOK;
    if (t_relay && *t_relay) return (*t_relay)(text ? text : "", caption ? caption : "", style);
    const PxMessageBoxHook hook = g_hook.load();
    return hook ? hook(text ? text : "", caption ? caption : "", style) : IDOK;
}
