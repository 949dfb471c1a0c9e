// The one way the image library shows a message box ("File open error", "Gif error",
// "Png error"). The program installs a hook that shows its own message box; with no
// hook the library shows and prints nothing.
#pragma once

#include <functional>

#include "platform/base/win_types.h"

// Returns the button pressed (IDOK, ...). Must be safe to call from any thread that
// loads pictures.
using PxMessageBoxHook = int (*)(const char* text, const char* caption, UINT style);

// Installs the hook (null removes it) and returns the previous one.
PxMessageBoxHook PxSetMessageBoxHook(PxMessageBoxHook hook);

// IDOK when no hook is installed, or while the calling thread holds a
// PxQuietMessages; the relay's answer while it holds a PxMessageRelay.
int PxMessageBox(const char* text, const char* caption, UINT style);

// While one lives, the library shows no message box on this thread: for loads that
// must stay silent whatever the codec finds (thumbnails on a worker thread).
class PxQuietMessages {
public:
    PxQuietMessages();
    ~PxQuietMessages();
    PxQuietMessages(const PxQuietMessages&) = delete;
    PxQuietMessages& operator=(const PxQuietMessages&) = delete;
};

// While one lives, the library's message boxes on this thread go to `relay` instead
// of the hook: for a load on a worker thread whose messages the user-interface
// thread shows.
class PxMessageRelay {
public:
    using Relay = std::function<int(const char* text, const char* caption, UINT style)>;
    explicit PxMessageRelay(Relay relay);
    ~PxMessageRelay();
    PxMessageRelay(const PxMessageRelay&) = delete;
    PxMessageRelay& operator=(const PxMessageRelay&) = delete;

private:
    Relay relay_;
    const Relay* previous_;
};
