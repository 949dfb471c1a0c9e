// The dialogs for the window system's requests: message boxes and pop-up menus in
// the wizard's look, and the toolkit's Save-As dialog.
#pragma once

#include <string>
#include <vector>

#include "display_scale.h"
#include "platform/window/file_dialog.h"
#include "platform/window/menu.h"
#include "platform/window/window.h"

class X11Backend;

// Modal to its owner (the owner's top-level window is disabled meanwhile); the
// window system's messages go on being handled while it is open.
int ShowFltkMessageBox(X11Backend& backend, CWnd* owner, const std::string& text,
                       const std::string& caption, UINT style);
// At `at` on the screen (the window system's screen pixels); the chosen
// identifier, 0 for none.
UINT ShowFltkPopupMenu(const CMenu& menu, POINT at, const DisplayScale& scale);
SaveAsAnswer ShowFltkSaveAs(const SaveAsRequest& request);

// Filters as the file chooser takes them: "name\tpattern" lines, several
// "*.ext" patterns joined as "*.{a,b}".
std::string FltkFilterText(const std::vector<FileFilter>& filters);
// The file the chooser proposes: an absolute path in the folder.
std::string PresetPath(const std::string& folder, const std::string& fileName);
