// The main window's outline: a rounded rectangle whose lower sides bend inwards,
// built from the two region resources exactly as the window builds it.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/base/dib_header.h"
#include "platform/gdi/gdi.h"

namespace {

struct Band {
    LONG top, bottom, left;
};

// Resource 137: the right-hand cut, and resource 138: the left-hand piece.
const std::vector<Band> kRegion137 = {
    {0, 11, 32},    {11, 15, 31},   {15, 20, 30},   {20, 24, 29},   {24, 33, 28},   {33, 46, 27},
    {46, 59, 26},   {59, 72, 25},   {72, 85, 24},   {85, 98, 23},   {98, 111, 22},  {111, 124, 21},
    {124, 138, 20}, {138, 151, 19}, {151, 160, 18}, {160, 163, 17}, {163, 166, 16}, {166, 169, 15},
    {169, 170, 14}, {170, 172, 13}, {172, 173, 12}, {173, 174, 11}, {174, 175, 10}, {175, 176, 9},
    {176, 177, 8},  {177, 178, 7},  {178, 179, 5},  {179, 180, 3},  {180, 181, 0}};
const std::vector<Band> kRegion138 = {
    {0, 11, 1},     {11, 15, 2},    {15, 20, 3},    {20, 24, 4},    {24, 33, 5},    {33, 46, 6},
    {46, 59, 7},    {59, 72, 8},    {72, 85, 9},    {85, 98, 10},   {98, 111, 11},  {111, 124, 12},
    {124, 138, 13}, {138, 151, 14}, {151, 160, 15}, {160, 163, 16}, {163, 166, 17}, {166, 169, 18},
    {169, 170, 19}, {170, 172, 20}, {172, 173, 21}, {173, 174, 22}, {174, 175, 23}, {175, 176, 24},
    {176, 177, 25}, {177, 178, 26}, {178, 179, 28}, {179, 180, 30}};

// The resource bytes: little-endian header (32, 1, count, 16 x count, bounds)
// followed by one rectangle per band, all ending at x = 33.
std::vector<BYTE> ResourceBytes(const std::vector<Band>& bands, RECT bounds) {
    std::vector<BYTE> out(32 + 16 * bands.size());
    const DWORD header[4] = {32, 1, static_cast<DWORD>(bands.size()),
                             static_cast<DWORD>(16 * bands.size())};
    for (int i = 0; i < 4; ++i)
        StoreLE32(out.data() + 4 * i, header[i]);
    const LONG b[4] = {bounds.left, bounds.top, bounds.right, bounds.bottom};
    for (int i = 0; i < 4; ++i)
        StoreLE32(out.data() + 16 + 4 * i, static_cast<DWORD>(b[i]));
    for (std::size_t i = 0; i < bands.size(); ++i) {
        const LONG r[4] = {bands[i].left, bands[i].top, 33, bands[i].bottom};
        for (int k = 0; k < 4; ++k)
            StoreLE32(out.data() + 32 + 16 * i + 4 * k, static_cast<DWORD>(r[k]));
    }
    return out;
}

HRGN FromResource(const std::vector<BYTE>& bytes) {
    return ExtCreateRegion(nullptr, static_cast<DWORD>(bytes.size()),
                           reinterpret_cast<const RGNDATA*>(bytes.data()));
}

// The window's own construction: W = round rect; W -= (0,230)-(33,411);
// W -= A moved by (547, 230); W += B moved by (0, 230).
HRGN BuildOutline() {
    HRGN a = FromResource(ResourceBytes(kRegion137, RECT{0, 0, 33, 181}));
    HRGN b = FromResource(ResourceBytes(kRegion138, RECT{1, 0, 33, 180}));
    OffsetRgn(a, 547, 230);
    OffsetRgn(b, 0, 230);
    HRGN w = CreateRoundRectRgn(0, 0, 580, 411, 16, 16);
    HRGN cut = CreateRectRgn(0, 230, 33, 411);
    CombineRgn(w, w, cut, RGN_DIFF);
    CombineRgn(w, w, a, RGN_DIFF);
    CombineRgn(w, w, b, RGN_OR);
    for (HRGN r : {a, b, cut})
        DeleteObject(r);
    return w;
}

// First and one-past-last x of the outline on a row (the row is one span).
std::pair<LONG, LONG> Span(HRGN rgn, LONG y) {
    LONG first = -1, end = -1;
    for (LONG x = 0; x < 580; ++x) {
        if (!PtInRegion(rgn, x, y)) continue;
        if (first < 0) first = x;
        end = x + 1;
    }
    return {first, end};
}

}  // namespace

TEST(WindowOutline, ResourcesDecodeToTheirBands) {
    HRGN a = FromResource(ResourceBytes(kRegion137, RECT{0, 0, 33, 181}));
    HRGN b = FromResource(ResourceBytes(kRegion138, RECT{1, 0, 33, 180}));
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    RECT box;
    GetRgnBox(a, &box);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.bottom, 181);
    GetRgnBox(b, &box);
    EXPECT_EQ(box.left, 1);
    EXPECT_EQ(box.bottom, 180);
    DeleteObject(a);
    DeleteObject(b);
}

TEST(WindowOutline, LowerSidesBendInwardsBelowRow230) {
    HRGN w = BuildOutline();
    // Above row 230: the rounded rectangle, full width away from the corners.
    EXPECT_EQ(Span(w, 100), std::make_pair(0, 580));
    EXPECT_EQ(Span(w, 229), std::make_pair(0, 580));
    EXPECT_FALSE(PtInRegion(w, 0, 0));
    // Row 230: left edge at x = 1, right edge at x = 579 (exclusive).
    EXPECT_EQ(Span(w, 230), std::make_pair(1, 579));
    // Every band of the two resources shows on its rows.
    for (std::size_t i = 0; i < kRegion138.size(); ++i) {
        const LONG y = 230 + kRegion138[i].top;
        EXPECT_EQ(Span(w, y).first, kRegion138[i].left) << "row " << y;
    }
    for (std::size_t i = 0; i + 1 < kRegion137.size(); ++i) {
        const LONG y = 230 + kRegion137[i].top;
        EXPECT_EQ(Span(w, y).second, 547 + kRegion137[i].left) << "row " << y;
    }
    // The bends end at x = 30 on the left (row 409, the last of resource 138)
    // and x = 547 on the right (row 410, the last of resource 137).
    EXPECT_EQ(Span(w, 409), std::make_pair(30, 550));
    EXPECT_EQ(Span(w, 410), std::make_pair(33, 547));
    EXPECT_FALSE(PtInRegion(w, 290, 411));
    DeleteObject(w);
}
