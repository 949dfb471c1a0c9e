// Which keys are held down, as the user-interface thread has taken their key
// messages: a key's state at a message is what the messages before it said.
#pragma once

#include "window.h"

bool IsKeyDown(WPARAM key);
// Follows a key message taken from the queue.
void NoteKeyMessage(const MSG& message);
