// Trace lines for watching a real-window run from outside (the GUI smoke test):
// with OSTREL_TRACE set, each line goes to standard error as "ostrel-trace: LINE".
// Nothing is written otherwise.
#pragma once

#include <string>

bool TraceEnabled();
void Trace(const std::string& line);
