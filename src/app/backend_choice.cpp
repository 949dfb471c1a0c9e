#include "backend_choice.h"

std::optional<BackendKind> ChooseBackend(const std::string& override, const std::string& display) {
    if (override == "x11") return BackendKind::kX11;
    if (override == "headless") return BackendKind::kHeadless;
    if (!override.empty()) return std::nullopt;
    return display.empty() ? BackendKind::kHeadless : BackendKind::kX11;
}
