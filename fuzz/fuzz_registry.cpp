// The registry file reader on arbitrary text (the user may edit that file). A hive
// that reads must write out as text that reads back to the same hive, byte for byte,
// or a later write by the wizard would change values nobody touched.
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/registry/reg_file.h"

namespace {

bool SameHive(const registry::Hive& a, const registry::Hive& b) {
    if (a.keys.size() != b.keys.size()) return false;
    for (std::size_t k = 0; k < a.keys.size(); ++k) {
        const registry::Key& x = a.keys[k];
        const registry::Key& y = b.keys[k];
        if (x.path != y.path || x.values.size() != y.values.size()) return false;
        for (std::size_t v = 0; v < x.values.size(); ++v) {
            const registry::Value& p = x.values[v];
            const registry::Value& q = y.values[v];
            if (p.name != q.name || p.type != q.type || p.data != q.data) return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string error;
    const auto hive = registry::ParseHive(text, &error);
    if (!hive) {
        if (error.empty()) std::abort();  // a refusal always says why
        return 0;
    }
    const std::string written = registry::FormatHive(*hive);
    const auto again = registry::ParseHive(written, &error);
    if (!again || !SameHive(*hive, *again) || registry::FormatHive(*again) != written) std::abort();
    for (const registry::Key& key : hive->keys) {
        if (hive->FindKey(key.path) == nullptr) std::abort();
        for (const registry::Value& value : key.values)
            if (registry::FindValue(key, value.name) == nullptr) std::abort();
    }
    return 0;
}
