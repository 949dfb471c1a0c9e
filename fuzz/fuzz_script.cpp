// The headless back end's script parser on arbitrary text: every step it accepts
// names a known verb with its arguments, and every refusal names the line.
#include <cstdlib>
#include <string>

#include "platform/backends/script.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string error;
    const auto steps = ParseScript(text, &error);
    if (!steps) {
        if (error.find("line ") == std::string::npos) std::abort();
        return 0;
    }
    int previous = 0;
    for (const ScriptStep& step : *steps) {
        if (step.verb.empty() || step.line <= previous) std::abort();
        previous = step.line;
    }
    return 0;
}
