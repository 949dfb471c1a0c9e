// Moveable global memory blocks addressed by handle, the way DIBs are handed
// between components (clipboard-style transfers, CopyToHandle). Unknown or freed
// handles are refused rather than dereferenced.
#pragma once

#include <cstddef>

#include "win_types.h"

using HANDLE = void*;
using HGLOBAL = HANDLE;

constexpr UINT GMEM_FIXED = 0x0000;
constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;

// Null when the block cannot be allocated. Blocks are always zero-filled.
HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes);
// The block's bytes, or null for an unknown handle. Counts locks.
void* GlobalLock(HGLOBAL handle);
// False once the lock count reaches zero (or for an unknown handle).
BOOL GlobalUnlock(HGLOBAL handle);
// 0 for an unknown handle.
std::size_t GlobalSize(HGLOBAL handle);
// Null on success; the handle itself when it is unknown.
HGLOBAL GlobalFree(HGLOBAL handle);
