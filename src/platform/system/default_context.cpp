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

namespace {

std::mutex g_holdMutex;
std::function<void()> g_hold;
std::function<void()> g_release;

}  // namespace

void SetVolumeMonitorHold(std::function<void()> hold, std::function<void()> release) {
    const std::lock_guard lock(g_holdMutex);
    g_hold = std::move(hold);
    g_release = std::move(release);
}

VolumeMonitorHeld::VolumeMonitorHeld() {
    std::function<void()> hold;
    {
        const std::lock_guard lock(g_holdMutex);
        hold = g_hold;
        release_ = g_release;
    }
    if (hold) hold();
}

VolumeMonitorHeld::~VolumeMonitorHeld() {
    if (release_) release_();
}
