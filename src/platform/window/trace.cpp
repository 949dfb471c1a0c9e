#include "trace.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

bool TraceEnabled() {
    static const bool enabled = std::getenv("OSTREL_TRACE") != nullptr;
    return enabled;
}

void Trace(const std::string& line) {
    if (!TraceEnabled()) return;
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    std::fprintf(stderr, "ostrel-trace: %s\n", line.c_str());
    std::fflush(stderr);
}
