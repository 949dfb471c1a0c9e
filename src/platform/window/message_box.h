// Message boxes. The back end shows them (a real dialog, or a recorded answer in
// headless runs); without one installed, a box answers IDOK for OK-only styles and
// IDCANCEL otherwise, so nothing destructive goes ahead unasked.
#pragma once

#include <functional>
#include <string>

#include "window.h"

constexpr UINT MB_ICONHAND = MB_ICONERROR;
constexpr UINT MB_TYPEMASK = 0x0000000F;
constexpr UINT MB_ICONMASK = 0x000000F0;

using MessageBoxHandler =
    std::function<int(HWND owner, const std::string& text, const std::string& caption, UINT style)>;

// Installs the handler (empty removes it) and returns the previous one.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

int MessageBox(HWND owner, const std::string& text, const std::string& caption, UINT style);
