// What the real-window tests of sending set up before step 5: a stamp whose file
// takes several of the link's chunks, and a copy slowed down to watch it go.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "imaging/px_image.h"
#include "platform/registry/registry.h"

// A 32 x 32 stamp of many colours (`seed` picks which), so its file is large.
inline void WriteNoisyStamp(const std::string& path, unsigned seed = 7) {
    PxImage stamp;
    ASSERT_TRUE(stamp.Create(32, 32, 8, PX_FORMAT_PNG));
    for (int i = 0; i < 256; ++i)
        stamp.SetPaletteIndex(static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i * 3),
                              static_cast<BYTE>(i * 7));
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            seed = seed * 1103515245u + 12345u;
            stamp.SetPixelIndex(x, y, static_cast<BYTE>(seed >> 16));
        }
    ASSERT_TRUE(stamp.Save(path.c_str(), PX_FORMAT_PNG));
}

// The link's "Chunk Delay" in milliseconds, in the registry the test points at.
inline void SetChunkDelay(DWORD ms) {
    HKEY raw = nullptr;
    ASSERT_EQ(
        RegCreateKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Norvane\\Tessel 310-510\\PhoneLink", &raw),
        ERROR_SUCCESS);
    UniqueRegKey key(raw);
    const BYTE bytes[4] = {static_cast<BYTE>(ms), static_cast<BYTE>(ms >> 8), 0, 0};
    ASSERT_EQ(RegSetValueEx(key.get(), "Chunk Delay", 0, REG_DWORD, bytes, 4), ERROR_SUCCESS);
}
