// Program resources compiled into the binary, found by module, type and
// identifier the way the wizard finds its dialogs, regions and pictures.
// A null module stands for the program itself.
#pragma once

#include <cstddef>

#include "global_memory.h"
#include "win_types.h"

using HMODULE = void*;
struct ResourceEntry;
using HRSRC = const ResourceEntry*;

struct ResourceEntry {
    HMODULE module;
    const char* type;
    int id;
    const BYTE* data;
    std::size_t size;
};

// Adds a resource to the table; the data must outlive the program. A later entry
// with the same module, type and id replaces the earlier one.
void RegisterResource(HMODULE module, const char* type, int id, const BYTE* data, std::size_t size);

// Defined at namespace scope by generated resource sources, so registration runs
// before main.
struct ResourceRegistrar {
    ResourceRegistrar(const char* type, int id, const BYTE* data, std::size_t size) {
        RegisterResource(nullptr, type, id, data, size);
    }
};

HRSRC FindResource(HMODULE module, int id, const char* type);
DWORD SizeofResource(HMODULE module, HRSRC resource);
// The resource's bytes as a handle for LockResource; null for an unknown resource.
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
const void* LockResource(HGLOBAL loaded);
