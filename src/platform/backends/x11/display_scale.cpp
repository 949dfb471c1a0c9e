#include "display_scale.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <sstream>

namespace {

// A whole number and nothing else (surrounding blanks aside).
std::optional<long> WholeNumber(const char* text) {
    if (!text) return std::nullopt;
    std::string_view view(text);
    while (!view.empty() && (view.front() == ' ' || view.front() == '\t'))
        view.remove_prefix(1);
    while (!view.empty() && (view.back() == ' ' || view.back() == '\t'))
        view.remove_suffix(1);
    long value = 0;
    const auto [end, error] = std::from_chars(view.data(), view.data() + view.size(), value);
    if (error != std::errc() || end != view.data() + view.size() || view.empty())
        return std::nullopt;
    return value;
}

}  // namespace

int ChooseScale(const char* ostrelScale, const char* gdkScale, std::optional<double> xftDpi) {
    if (const auto own = WholeNumber(ostrelScale); own && *own >= 1 && *own <= kMaxScale)
        return static_cast<int>(*own);
    if (const auto gdk = WholeNumber(gdkScale); gdk && *gdk >= 1)
        return static_cast<int>(std::min<long>(*gdk, kMaxScale));
    if (xftDpi && *xftDpi >= 192 && *xftDpi < 1e6)
        return std::min(static_cast<int>(*xftDpi / 96), kMaxScale);
    return 1;
}

std::optional<double> XftDpiOf(const std::string& resources) {
    std::istringstream lines(resources);
    std::string line;
    std::optional<double> dpi;
    while (std::getline(lines, line)) {
        const std::string key = "Xft.dpi:";
        if (line.rfind(key, 0) != 0) continue;
        const char* start = line.c_str() + key.size();
        char* end = nullptr;
        const double value = std::strtod(start, &end);
        if (end != start && value > 0) dpi = value;  // the last setting wins
    }
    return dpi;
}
