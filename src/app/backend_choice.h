// Which back end the wizard runs on: x11 when a display is named, headless
// otherwise; OSTREL_BACKEND ("x11" or "headless") decides when it is set.
#pragma once

#include <optional>
#include <string>

enum class BackendKind { kHeadless, kX11 };

// Nothing for an override that names no back end.
std::optional<BackendKind> ChooseBackend(const std::string& override, const std::string& display);
