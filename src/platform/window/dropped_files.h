// Files dropped on a window, or handed to it by another start of the program: a
// top-level window that accepts files (DragAcceptFiles) is posted WM_DROPFILES
// with a handle to the list; it reads the names with DragQueryFiles and lets the
// handle go with DragFinish. The list is whatever another program sent: the
// receiver checks every name before it opens anything.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "window.h"

using HDROP = std::uintptr_t;

// Whether the window takes drops from now on (top-level windows only; none do
// until asked). Called on the window's thread.
void DragAcceptFiles(CWnd* window, bool accept);
// Asked on the window's thread: it takes files now (it accepts them, exists and
// is enabled, so not under a modal box).
bool AcceptsDroppedFiles(CWnd* window);

// The user dropped `paths` on the window: posted as WM_DROPFILES when the window
// takes files now. False when refused.
bool DropFiles(CWnd* window, std::vector<std::string> paths);
// From any thread: posts the list without asking, so the window decides on its
// own thread (AcceptsDroppedFiles) whether to open it.
bool PostDroppedFiles(CWnd* window, std::vector<std::string> paths);

// The names of a drop, in order; empty once it is finished or for an unknown handle.
std::vector<std::string> DragQueryFiles(HDROP drop);
void DragFinish(HDROP drop);
