#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "gdi_test_util.h"

namespace {

// A 4 x 3 8-bit DIB whose pixel at column x, row y from the top is index
// 10 * y + x, with palette entry i = RGB(i, 2i, 3i).
struct IndexedDib {
    BITMAPINFO256 info{};
    std::vector<BYTE> bits;
    IndexedDib(bool topDown = false) {
        info.bmiHeader = BITMAPINFOHEADER{40, 4, topDown ? -3 : 3, 1, 8, BI_RGB, 0, 0, 0, 0, 0};
        for (int i = 0; i < 256; ++i)
            info.bmiColors[i] = RGBQUAD{BYTE(3 * i), BYTE(2 * i), BYTE(i), 0};
        bits.assign(4 * 3, 0);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x)
                bits[(topDown ? y : 2 - y) * 4 + x] = BYTE(10 * y + x);
    }
    const BITMAPINFO* Info() const { return reinterpret_cast<const BITMAPINFO*>(&info); }
};

COLORREF Entry(int i) {
    return RGB(i, 2 * i, 3 * i);
}

}  // namespace

TEST(SetDIBitsToDevice, PlacesBottomUpAndTopDownRowsAndHonoursScanBands) {
    for (bool topDown : {false, true}) {
        TestCanvas c(10, 10);
        const IndexedDib dib(topDown);
        EXPECT_EQ(SetDIBitsToDevice(c.dc, 2, 1, 4, 3, 0, 0, 0, 3, dib.bits.data(), dib.Info(),
                                    DIB_RGB_COLORS),
                  3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x)
                EXPECT_EQ(c.At(2 + x, 1 + y), Entry(10 * y + x));
        EXPECT_EQ(c.At(6, 1), RGB(255, 255, 255));
    }
    // Only scan line 0 (the bottom row) supplied: the other rows stay untouched.
    TestCanvas c(10, 10);
    const IndexedDib dib;
    SetDIBitsToDevice(c.dc, 0, 0, 4, 3, 0, 0, 0, 1, dib.bits.data(), dib.Info(), DIB_RGB_COLORS);
    EXPECT_EQ(c.At(1, 2), Entry(21));
    EXPECT_EQ(c.At(1, 1), RGB(255, 255, 255));
    // A source rectangle's (x, y) is its lower-left corner in a bottom-up DIB.
    TestCanvas part(10, 10);
    SetDIBitsToDevice(part.dc, 0, 0, 2, 1, 1, 1, 0, 3, dib.bits.data(), dib.Info(), DIB_RGB_COLORS);
    EXPECT_EQ(part.At(0, 0), Entry(11));
    EXPECT_EQ(part.At(1, 0), Entry(12));
}

TEST(SetDIBitsToDevice, RefusesWhatItCannotRead) {
    TestCanvas c(4, 4);
    IndexedDib dib;
    dib.info.bmiHeader.biCompression = BI_RLE8;
    EXPECT_EQ(SetDIBitsToDevice(c.dc, 0, 0, 4, 3, 0, 0, 0, 3, dib.bits.data(), dib.Info(),
                                DIB_RGB_COLORS),
              0);
    dib.info.bmiHeader.biCompression = BI_RGB;
    dib.info.bmiHeader.biBitCount = 16;
    EXPECT_EQ(SetDIBitsToDevice(c.dc, 0, 0, 4, 3, 0, 0, 0, 3, dib.bits.data(), dib.Info(),
                                DIB_RGB_COLORS),
              0);
    EXPECT_EQ(c.Count(RECT{0, 0, 4, 4}, RGB(255, 255, 255)), 16);
}

TEST(StretchDIBits, NearestNeighbourScalesAndNegativeWidthMirrors) {
    TestCanvas c(16, 16);
    const IndexedDib dib;
    SetStretchBltMode(c.dc, COLORONCOLOR);
    StretchDIBits(c.dc, 0, 0, 8, 6, 0, 0, 4, 3, dib.bits.data(), dib.Info(), DIB_RGB_COLORS,
                  SRCCOPY);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(c.At(x, y), Entry(10 * (y / 2) + x / 2));
    StretchDIBits(c.dc, 8, 8, -4, 3, 0, 0, 4, 3, dib.bits.data(), dib.Info(), DIB_RGB_COLORS,
                  SRCCOPY);
    EXPECT_EQ(c.At(4, 8), Entry(3));
    EXPECT_EQ(c.At(7, 8), Entry(0));
    // Shrinking keeps every second column and row.
    TestCanvas small(4, 4);
    StretchDIBits(small.dc, 0, 0, 2, 1, 0, 0, 4, 3, dib.bits.data(), dib.Info(), DIB_RGB_COLORS,
                  SRCCOPY);
    EXPECT_EQ(small.At(0, 0), Entry(0));
    EXPECT_EQ(small.At(1, 0), Entry(2));
}

TEST(StretchDIBits, RasterOperationsCombineWithTheDevice) {
    TestCanvas c(4, 3, RGB(0x0F, 0xF0, 0x3C));
    const IndexedDib dib;
    StretchDIBits(c.dc, 0, 0, 4, 3, 0, 0, 4, 3, dib.bits.data(), dib.Info(), DIB_RGB_COLORS,
                  SRCAND);
    EXPECT_EQ(c.At(3, 2), Entry(23) & RGB(0x0F, 0xF0, 0x3C));
    StretchDIBits(c.dc, 0, 0, 4, 3, 0, 0, 4, 3, dib.bits.data(), dib.Info(), DIB_RGB_COLORS,
                  SRCINVERT);
    EXPECT_EQ(c.At(3, 2), (Entry(23) & RGB(0x0F, 0xF0, 0x3C)) ^ Entry(23));
}

TEST(BitBlt, CopiesBetweenDCsAndWithinOneSurface) {
    TestCanvas c(10, 10);
    for (LONG x = 0; x < 10; ++x)
        c.surface->Put(x, 0, RGB(x, 0, 0));
    // Overlapping copy to the right inside the same surface.
    EXPECT_TRUE(BitBlt(c.dc, 2, 0, 8, 1, c.dc, 0, 0, SRCCOPY));
    for (LONG x = 2; x < 10; ++x)
        EXPECT_EQ(c.At(x, 0), RGB(x - 2, 0, 0));

    // Into a DIB section selected into a memory DC; the caller sees its bits.
    BITMAPINFO256 info{};
    info.bmiHeader = BITMAPINFOHEADER{40, 3, 2, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(c.dc, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                       &bits, nullptr, 0);
    ASSERT_NE(section, nullptr);
    HDC memory = CreateCompatibleDC(c.dc);
    HGDIOBJ old = SelectObject(memory, section);
    EXPECT_TRUE(BitBlt(memory, 0, 0, 3, 2, c.dc, 4, 0, SRCCOPY));
    const BYTE* topRow = static_cast<const BYTE*>(bits) + 12;  // bottom-up: row 1 is the top
    EXPECT_EQ(topRow[2], 2);
    EXPECT_EQ(topRow[5], 3);
    // A source partly off the surface copies only what exists.
    PatBlt(memory, 0, 0, 3, 2, BLACKNESS);
    BitBlt(memory, 0, 0, 3, 2, c.dc, 8, 9, SRCCOPY);
    EXPECT_EQ(GetPixel(memory, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(memory, 2, 0), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(memory, 0, 1), RGB(0, 0, 0));
    SelectObject(memory, old);
    DeleteObject(section);
    DeleteDC(memory);
}

TEST(DeviceBitmaps, CreateReadBackAndConvertMonochrome) {
    TestCanvas c(4, 4);
    const IndexedDib dib;
    HBITMAP bmp = CreateDIBitmap(c.dc, &dib.info.bmiHeader, CBM_INIT, dib.bits.data(), dib.Info(),
                                 DIB_RGB_COLORS);
    ASSERT_NE(bmp, nullptr);
    BITMAP bm{};
    ASSERT_EQ(GetObject(bmp, sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(bm.bmWidth, 4);
    EXPECT_EQ(bm.bmHeight, 3);
    EXPECT_EQ(bm.bmBitsPixel, 24);

    BITMAPINFO256 out{};
    out.bmiHeader.biSize = 40;
    ASSERT_NE(
        GetDIBits(c.dc, bmp, 0, 3, nullptr, reinterpret_cast<BITMAPINFO*>(&out), DIB_RGB_COLORS),
        0);
    EXPECT_EQ(out.bmiHeader.biBitCount, 24);
    EXPECT_EQ(out.bmiHeader.biSizeImage, 36u);
    std::vector<BYTE> rows(36);
    EXPECT_EQ(GetDIBits(c.dc, bmp, 0, 3, rows.data(), reinterpret_cast<BITMAPINFO*>(&out),
                        DIB_RGB_COLORS),
              3);
    // Bottom-up: the first row read is the picture's bottom row (indices 20..23).
    EXPECT_EQ(rows[0], 60);
    EXPECT_EQ(rows[2], 20);
    DeleteObject(bmp);

    // Device-bitmap rows are top-down and padded to 2 bytes; 1 bpp is black and white.
    const BYTE monoBits[] = {0xA0, 0x00, 0x40, 0x00};  // 3 x 2: 101 / 010
    HBITMAP mono = CreateBitmap(3, 2, 1, 1, monoBits);
    HDC memory = CreateCompatibleDC(c.dc);
    HGDIOBJ old = SelectObject(memory, mono);
    EXPECT_EQ(GetPixel(memory, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(memory, 1, 0), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(memory, 1, 1), RGB(255, 255, 255));
    // Copied to colour, black and white become the text and background colours.
    SetTextColor(c.dc, RGB(200, 0, 0));
    SetBkColor(c.dc, RGB(0, 0, 200));
    BitBlt(c.dc, 0, 0, 3, 2, memory, 0, 0, SRCCOPY);
    EXPECT_EQ(c.At(0, 0), RGB(0, 0, 200));
    EXPECT_EQ(c.At(1, 0), RGB(200, 0, 0));
    // Colour to monochrome: the source background colour is white, all else black.
    SetBkColor(c.dc, RGB(200, 0, 0));
    BitBlt(memory, 0, 0, 3, 2, c.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(GetPixel(memory, 1, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(memory, 0, 0), RGB(0, 0, 0));
    SelectObject(memory, old);
    DeleteObject(mono);
    DeleteDC(memory);
    EXPECT_EQ(CreateBitmap(2, 2, 1, 8, nullptr), nullptr);
}

TEST(StretchDIBits, ExtremeCoordinatesDrawNothingAndNeverOverflow) {
    TestCanvas c(8, 8);
    const IndexedDib dib;
    constexpr int kMin = INT32_MIN, kMax = INT32_MAX;
    for (int v : {kMin, kMax, kMin + 1, -5}) {
        StretchDIBits(c.dc, v, 0, 4, 3, 0, 0, 4, 3, dib.bits.data(), dib.Info(), DIB_RGB_COLORS,
                      SRCCOPY);
        StretchDIBits(c.dc, 0, 0, 4, 3, v, v, 4, 3, dib.bits.data(), dib.Info(), DIB_RGB_COLORS,
                      SRCCOPY);
        StretchDIBits(c.dc, 0, 0, v, v, 0, 0, v, v, dib.bits.data(), dib.Info(), DIB_RGB_COLORS,
                      SRCCOPY);
        SetDIBitsToDevice(c.dc, v, v, 4, 3, v, v, 0, 3, dib.bits.data(), dib.Info(),
                          DIB_RGB_COLORS);
        SetDIBitsToDevice(c.dc, 0, 0, 0xFFFFFFFF, 0xFFFFFFFF, v, 0, 0, 3, dib.bits.data(),
                          dib.Info(), DIB_RGB_COLORS);
        BitBlt(c.dc, v, v, kMax, kMax, c.dc, v, v == kMin ? kMax : -v, SRCCOPY);
    }
    EXPECT_EQ(c.Count(RECT{0, 0, 8, 8}, RGB(255, 255, 255)), 64);
}
