#include "px_message.h"

#include <atomic>

namespace {
std::atomic<PxMessageBoxHook> g_hook{nullptr};
}

PxMessageBoxHook PxSetMessageBoxHook(PxMessageBoxHook hook) {
    return g_hook.exchange(hook);
}

int PxMessageBox(const char* text, const char* caption, UINT style) {
    const PxMessageBoxHook hook = g_hook.load();
    return hook ? hook(text ? text : "", caption ? caption : "", style) : IDOK;
}
