// What the wizard's command line asks for: `ostrel [FILE]`. FILE is a picture to
// start with, as if chosen on the browser page; the headless script is never an
// argument (OSTREL_SCRIPT names it), so an argument naming that same file is not
// taken for a picture.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct StartRequest {
    // Absolute, or empty for a start as usual.
    std::string picture;
};

// Nothing when the arguments (those after the program's name) cannot be used.
std::optional<StartRequest> ReadCommandLine(const std::vector<std::string>& args,
                                            const std::string& scriptPath);
