// The message loop calls of the calling thread's queue.
#pragma once

#include "window.h"

// Blocks for the next message; false for WM_QUIT.
bool GetMessage(MSG* message);
// Takes a waiting message without blocking; false when there is none.
bool PeekMessage(MSG* message);
LRESULT DispatchMessage(const MSG* message);
void PostQuitMessage(int exitCode);
bool PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Dispatches until `done` is true after a message; a WM_QUIT met on the way is put
// back for the outer loop and ends this one. Returns false in that case.
bool RunLoopUntil(const std::function<bool()>& done);
// Dispatches what is waiting now, without blocking or moving the clock.
void PumpWaitingMessages();
