// Process-wide state of the wizard that the frame and the pages share.
#pragma once

#include <string>

class CWnd;

// The main window, set by the first page constructed.
extern CWnd* g_mainWnd;
// The temporary stamp file written by the preview page; deleted when leaving.
extern std::string g_pendingStampFile;
