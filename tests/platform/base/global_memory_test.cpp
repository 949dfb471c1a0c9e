#include "platform/base/global_memory.h"

#include <gtest/gtest.h>

#include "platform/base/dib_header.h"

TEST(GlobalMemory, BlocksAreZeroedSizedAndLockCounted) {
    HGLOBAL h = GlobalAlloc(GHND, 10);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GlobalSize(h), 10u);
    auto* bytes = static_cast<BYTE*>(GlobalLock(h));
    ASSERT_NE(bytes, nullptr);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(bytes[i], 0);
    EXPECT_NE(GlobalLock(h), nullptr);
    EXPECT_TRUE(GlobalUnlock(h));
    EXPECT_FALSE(GlobalUnlock(h));
    EXPECT_EQ(GlobalFree(h), nullptr);
}

TEST(GlobalMemory, StaleAndForeignHandlesAreRefused) {
    HGLOBAL h = GlobalAlloc(GHND, 4);
    ASSERT_EQ(GlobalFree(h), nullptr);
    EXPECT_EQ(GlobalLock(h), nullptr);
    EXPECT_EQ(GlobalSize(h), 0u);
    EXPECT_EQ(GlobalFree(h), h);
    int local = 0;
    EXPECT_EQ(GlobalLock(&local), nullptr);
    EXPECT_EQ(GlobalLock(nullptr), nullptr);
}

TEST(DibHeader, PacksLittleEndianAndRoundTrips) {
    BITMAPINFOHEADER h{40, 0x01020304, -2, 1, 24, 3, 0xA0B0C0D0, 2835, -1, 256, 0};
    BYTE raw[40];
    PackInfoHeader(h, raw);
    EXPECT_EQ(raw[0], 40);
    EXPECT_EQ(raw[4], 0x04);
    EXPECT_EQ(raw[7], 0x01);
    EXPECT_EQ(raw[8], 0xFE);
    EXPECT_EQ(raw[11], 0xFF);
    EXPECT_EQ(raw[14], 24);
    EXPECT_EQ(raw[20], 0xD0);
    BITMAPINFOHEADER back = UnpackInfoHeader(raw);
    EXPECT_EQ(back.biWidth, h.biWidth);
    EXPECT_EQ(back.biHeight, -2);
    EXPECT_EQ(back.biSizeImage, h.biSizeImage);
    EXPECT_EQ(back.biYPelsPerMeter, -1);
    EXPECT_EQ(back.biClrUsed, 256u);
}
