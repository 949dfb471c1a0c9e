#include "global_memory.h"

#include <memory>
#include <mutex>
#include <new>
#include <unordered_map>

namespace {

struct Block {
    std::unique_ptr<BYTE[]> bytes;
    std::size_t size = 0;
    int locks = 0;
};

// Handles are opaque keys into this table, so a stale handle finds nothing.
struct Table {
    std::mutex mutex;
    std::unordered_map<HGLOBAL, Block> blocks;
};

Table& table() {
    static Table t;
    return t;
}

}  // namespace

HGLOBAL GlobalAlloc(UINT /*flags*/, std::size_t bytes) {
    Block block;
    block.bytes.reset(new (std::nothrow) BYTE[bytes == 0 ? 1 : bytes]());
    if (!block.bytes) return nullptr;
    block.size = bytes;
    HGLOBAL handle = block.bytes.get();
    Table& t = table();
    std::lock_guard lock(t.mutex);
    t.blocks.emplace(handle, std::move(block));
    return handle;
}

void* GlobalLock(HGLOBAL handle) {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    auto it = t.blocks.find(handle);
    if (it == t.blocks.end()) return nullptr;
    ++it->second.locks;
    return it->second.bytes.get();
}

BOOL GlobalUnlock(HGLOBAL handle) {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    auto it = t.blocks.find(handle);
    if (it == t.blocks.end() || it->second.locks == 0) return false;
    return --it->second.locks > 0;
}

std::size_t GlobalSize(HGLOBAL handle) {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    auto it = t.blocks.find(handle);
    return it == t.blocks.end() ? 0 : it->second.size;
}

HGLOBAL GlobalFree(HGLOBAL handle) {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    return t.blocks.erase(handle) ? nullptr : handle;
}
