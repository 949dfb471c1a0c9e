#include "message_loop.h"

#include "cursor.h"
#include "dialog.h"
#include "key_state.h"

bool GetMessage(MSG* message) {
    MessageQueue::Current()->Next(*message, true);
    NoteKeyMessage(*message);
    return message->message != WM_QUIT;
}

bool PeekMessage(MSG* message) {
    if (!MessageQueue::Current()->Next(*message, false)) return false;
    NoteKeyMessage(*message);
    return true;
}

LRESULT DispatchMessage(const MSG* message) {
    if (!message) return 0;
    return message->message == WM_MOUSEMOVE ? DeliverMouseMove(*message) : DeliverMessage(*message);
}

void PostQuitMessage(int exitCode) {
    MessageQueue::Current()->PostQuit(exitCode);
}

bool PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return window && window->PostMessage(message, wParam, lParam);
}

LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return window ? window->SendMessage(message, wParam, lParam) : 0;
}

bool RunLoopUntil(const std::function<bool()>& done) {
    MSG message;
    while (!done()) {
        if (!GetMessage(&message)) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        if (!PreTranslateMessage(message)) DispatchMessage(&message);
    }
    return true;
}

void PumpWaitingMessages() {
    MSG message;
    while (PeekMessage(&message)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (!PreTranslateMessage(message)) DispatchMessage(&message);
    }
}
