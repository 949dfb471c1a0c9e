#include "tab_order.h"

#include <algorithm>
#include <vector>

namespace {

void CollectStops(HWND window, std::vector<HWND>& stops) {
    for (CWnd* child : window->Children()) {
        if (!child->IsWindowVisible() || !child->IsWindowEnabled()) continue;
        if (child->GetStyle() & WS_TABSTOP) stops.push_back(child);
        CollectStops(child, stops);
    }
}

}  // namespace

HWND NextTabStop(HWND dialog, HWND from, bool backwards) {
    if (!IsWindow(dialog)) return nullptr;
    std::vector<HWND> stops;
    CollectStops(dialog, stops);
    if (stops.empty()) return nullptr;
    const auto at = std::find(stops.begin(), stops.end(), from);
    if (at == stops.end()) return backwards ? stops.back() : stops.front();
    const std::size_t n = stops.size(), i = static_cast<std::size_t>(at - stops.begin());
    return stops[backwards ? (i + n - 1) % n : (i + 1) % n];
}
