#include "globals.h"

CWnd* g_mainWnd = nullptr;
std::string g_pendingStampFile;
