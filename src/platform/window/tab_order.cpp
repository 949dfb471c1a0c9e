#include "tab_order.h"

#include <algorithm>
#include <vector>

#include "focus.h"
#include "inner_tab_stops.h"

namespace {

void CollectStops(HWND window, std::vector<HWND>& stops) {
    for (CWnd* child : window->Children()) {
        if (!child->IsWindowVisible() || !child->IsWindowEnabled()) continue;
        if (child->GetStyle() & WS_TABSTOP) stops.push_back(child);
        CollectStops(child, stops);
    }
}

std::vector<HWND> TabStops(HWND dialog) {
    std::vector<HWND> stops;
    if (IsWindow(dialog)) CollectStops(dialog, stops);
    return stops;
}

HWND StopAfter(const std::vector<HWND>& stops, HWND from, bool backwards) {
    if (stops.empty()) return nullptr;
    const auto at = std::find(stops.begin(), stops.end(), from);
    if (at == stops.end()) return backwards ? stops.back() : stops.front();
    const std::size_t n = stops.size(), i = static_cast<std::size_t>(at - stops.begin());
    return stops[backwards ? (i + n - 1) % n : (i + 1) % n];
}

InnerTabStops* InnerStopsOf(HWND window) {
    return IsWindow(window) ? dynamic_cast<InnerTabStops*>(window) : nullptr;
}

}  // namespace

HWND NextTabStop(HWND dialog, HWND from, bool backwards) {
    return StopAfter(TabStops(dialog), from, backwards);
}

void MoveTabFocus(HWND dialog, bool backwards) {
    HWND from = GetFocus();
    if (InnerTabStops* inner = InnerStopsOf(from); inner && inner->MoveInnerFocus(backwards))
        return;
    const std::vector<HWND> stops = TabStops(dialog);
    // Each stop once, the one left last included: a lone window goes round itself.
    for (std::size_t tries = 0; tries < stops.size(); ++tries) {
        from = StopAfter(stops, from, backwards);
        InnerTabStops* inner = InnerStopsOf(from);
        if (!inner || inner->MoveInnerFocus(backwards)) {
            SetFocus(from);
            return;
        }
    }
}
