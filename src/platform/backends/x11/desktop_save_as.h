// The Save-As dialog on a desktop: the desktop's own, asked for through the
// portal, when a portal takes the question within two seconds; else a GTK 3
// chooser of our own. Either is modal to the owner's window, which is disabled
// meanwhile; it goes on painting while the portal's dialog is open.
#pragma once

#include <string>

#include "platform/window/file_dialog.h"

class X11Backend;

SaveAsAnswer ShowDesktopSaveAs(X11Backend& backend, const SaveAsRequest& request);

// The portal's name of an X window: "x11:" and its id in hex; empty for none.
std::string PortalParentOf(unsigned long xid);
// The folder the dialog starts in: `wanted` when it is a folder, else the home
// folder.
std::string StartFolder(const std::string& wanted);
