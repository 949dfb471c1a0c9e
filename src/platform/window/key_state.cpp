#include "key_state.h"

#include <bitset>
#include <mutex>

namespace {

struct Held {
    std::mutex mutex;
    std::bitset<256> keys;
};

Held& held() {
    static Held h;
    return h;
}

}  // namespace

bool IsKeyDown(WPARAM key) {
    if (key >= 256) return false;
    std::lock_guard lock(held().mutex);
    return held().keys.test(key);
}

void NoteKeyMessage(const MSG& message) {
    if ((message.message != WM_KEYDOWN && message.message != WM_KEYUP) || message.wParam >= 256)
        return;
    std::lock_guard lock(held().mutex);
    held().keys.set(message.wParam, message.message == WM_KEYDOWN);
}
