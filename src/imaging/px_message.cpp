#include "px_message.h"

#include <atomic>

namespace {
std::atomic<PxMessageBoxHook> g_hook{nullptr};
thread_local int t_quietDepth = 0;
}  // namespace

PxQuietMessages::PxQuietMessages() {
    ++t_quietDepth;
}

PxQuietMessages::~PxQuietMessages() {
    --t_quietDepth;
}

PxMessageBoxHook PxSetMessageBoxHook(PxMessageBoxHook hook) {
    return g_hook.exchange(hook);
}

int PxMessageBox(const char* text, const char* caption, UINT style) {
    if (t_quietDepth > 0) return IDOK;
    const PxMessageBoxHook hook = g_hook.load();
    return hook ? hook(text ? text : "", caption ? caption : "", style) : IDOK;
}
