#include "focus.h"

#include <mutex>

#include "window_backend.h"

namespace {

struct State {
    std::mutex mutex;
    HWND focus = nullptr;
    HWND capture = nullptr;
    HWND active = nullptr;
};

State& state() {
    static State s;
    return s;
}

// Swaps a slot under the lock and returns the old value.
HWND Exchange(HWND State::*slot, HWND value) {
    State& s = state();
    std::lock_guard lock(s.mutex);
    HWND old = s.*slot;
    s.*slot = value;
    return old;
}

HWND Read(HWND State::*slot) {
    State& s = state();
    std::lock_guard lock(s.mutex);
    return s.*slot;
}

HWND TopLevelOf(HWND window) {
    while (window && window->GetParent())
        window = window->GetParent();
    return window;
}

}  // namespace

HWND SetFocus(HWND window) {
    if (window && !IsWindow(window)) return nullptr;
    HWND old = Exchange(&State::focus, window);
    if (old == window) return old;
    if (IsWindow(old)) old->SendMessage(WM_KILLFOCUS, reinterpret_cast<WPARAM>(window));
    if (window) window->SendMessage(WM_SETFOCUS, reinterpret_cast<WPARAM>(old));
    return old;
}

HWND GetFocus() {
    return Read(&State::focus);
}

HWND SetCapture(HWND window) {
    HWND old = Exchange(&State::capture, IsWindow(window) ? window : nullptr);
    if (IsWindow(old) && old != window)
        old->SendMessage(WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(window));
    return old;
}

bool ReleaseCapture() {
    HWND old = Exchange(&State::capture, nullptr);
    if (IsWindow(old)) old->SendMessage(WM_CAPTURECHANGED, 0, 0);
    return true;
}

HWND GetCapture() {
    return Read(&State::capture);
}

HWND SetActiveWindow(HWND window, WPARAM how) {
    window = TopLevelOf(window);
    if (window && !IsWindow(window)) return nullptr;
    HWND old = Exchange(&State::active, window);
    if (old == window) return old;
    if (IsWindow(old)) old->SendMessage(WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(window));
    if (window) window->SendMessage(WM_ACTIVATE, how, reinterpret_cast<LPARAM>(old));
    return old;
}

HWND GetActiveWindow() {
    return Read(&State::active);
}

void SetForegroundWindow(HWND window) {
    if (!IsWindow(window)) return;
    if (window->IsIconic()) window->ShowWindow(SW_RESTORE);
    if (GetActiveWindow() != window) SetActiveWindow(window, WA_ACTIVE);
    if (WindowBackend* backend = GetWindowBackend()) backend->BringToFront(window);
}

void ForgetFocusOf(HWND window) {
    State& s = state();
    std::lock_guard lock(s.mutex);
    for (HWND State::*slot : {&State::focus, &State::capture, &State::active}) {
        if (s.*slot == window) s.*slot = nullptr;
    }
}
