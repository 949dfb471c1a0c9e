#include "default_context.h"

#include <glib.h>

#include <mutex>

namespace {

std::mutex g_serving;
bool g_takenByToolkit = false;

void RunWhatIsReady() {
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
}

}  // namespace

void ServeDefaultContextIfFree() {
    const std::lock_guard lock(g_serving);
    if (g_takenByToolkit) return;
    GMainContext* context = g_main_context_default();
    if (!g_main_context_acquire(context)) return;
    RunWhatIsReady();
    g_main_context_release(context);
}

void TakeDefaultContextForToolkit() {
    const std::lock_guard lock(g_serving);
    g_takenByToolkit = true;
}

void ServeTakenDefaultContext() {
    RunWhatIsReady();
}
