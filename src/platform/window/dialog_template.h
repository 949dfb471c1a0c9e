// Dialog templates compiled into the program, found by resource identifier. Sizes
// are in dialog units of the template's font, as the dialog editor writes them.
#pragma once

#include <string>
#include <vector>

#include "win_messages.h"

struct ControlTemplate {
    int id;
    std::string className;  // "Static", "Button", "ShockwaveFlash", ...
    std::string text;
    RECT rect;  // dialog units
    DWORD style;
};

struct DialogTemplate {
    int id;
    RECT rect;  // dialog units
    DWORD style;
    std::string title;
    std::vector<ControlTemplate> controls;
};

// Adds (or replaces) a template.
void RegisterDialogTemplate(DialogTemplate dialog);
// Null when no template has the identifier.
const DialogTemplate* FindDialogTemplate(int id);

// Dialog units of "MS Shell Dlg" 8 to pixels: 4 horizontal units are one average
// character width (6 pixels), 8 vertical units one character height (13 pixels).
RECT DialogUnitsToPixels(const RECT& units);

// String resources of the program.
void RegisterString(int id, std::string text);
// The empty text when the identifier is unknown.
std::string LoadString(int id);
