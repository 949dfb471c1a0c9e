#include "resources.h"

#include <cstring>
#include <list>
#include <mutex>

namespace {

struct Table {
    std::mutex mutex;
    std::list<ResourceEntry> entries;  // stable addresses: HRSRC points into it
};

Table& table() {
    static Table t;
    return t;
}

bool Matches(const ResourceEntry& e, HMODULE module, int id, const char* type) {
    return e.module == module && e.id == id && std::strcmp(e.type, type) == 0;
}

bool Known(Table& t, HRSRC resource) {
    for (const ResourceEntry& e : t.entries) {
        if (&e == resource) return true;
    }
    return false;
}

}  // namespace

void RegisterResource(HMODULE module, const char* type, int id, const BYTE* data,
                      std::size_t size) {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    for (ResourceEntry& e : t.entries) {
        if (Matches(e, module, id, type)) {
            e.data = data;
            e.size = size;
            return;
        }
    }
    t.entries.push_back(ResourceEntry{module, type, id, data, size});
}

HRSRC FindResource(HMODULE module, int id, const char* type) {
    if (!type) return nullptr;
    Table& t = table();
    std::lock_guard lock(t.mutex);
    for (const ResourceEntry& e : t.entries) {
        if (Matches(e, module, id, type)) return &e;
    }
    return nullptr;
}

DWORD SizeofResource(HMODULE /*module*/, HRSRC resource) {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    return Known(t, resource) ? static_cast<DWORD>(resource->size) : 0;
}

// Resources are read-only and live as long as the program, so the handle is the
// entry itself.
HGLOBAL LoadResource(HMODULE /*module*/, HRSRC resource) {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    return Known(t, resource) ? const_cast<ResourceEntry*>(resource) : nullptr;
}

const void* LockResource(HGLOBAL loaded) {
    if (!loaded) return nullptr;
    Table& t = table();
    std::lock_guard lock(t.mutex);
    const auto* entry = static_cast<const ResourceEntry*>(loaded);
    return Known(t, entry) ? entry->data : nullptr;
}
