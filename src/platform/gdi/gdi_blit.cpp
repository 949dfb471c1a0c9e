// Block transfers: DIB rows to a device, nearest-neighbour stretching, and
// copies between device contexts.
#include <algorithm>
#include <cstring>
#include <vector>

#include "dib_reader.h"
#include "gdi_bitmap.h"
#include "gdi_objects.h"
#include "raster.h"

namespace {

// One destination rectangle mapped onto a source: destination pixel
// (left + i, top + j) takes source column Col(i) and source row Row(j), both
// counted from the source's top-left. Source positions are 64-bit so that
// hostile offsets cannot overflow.
struct Mapping {
    RECT dest;
    std::int64_t srcLeft, srcTop, srcWidth, srcHeight;
    bool mirrorX = false, mirrorY = false;

    std::int64_t Col(LONG i) const {
        return Scale(i, dest.right - dest.left, srcWidth, mirrorX) + srcLeft;
    }
    std::int64_t Row(LONG j) const {
        return Scale(j, dest.bottom - dest.top, srcHeight, mirrorY) + srcTop;
    }

    static std::int64_t Scale(LONG i, LONG destSize, std::int64_t srcSize, bool mirror) {
        const std::int64_t s = i * srcSize / destSize;
        return mirror ? srcSize - 1 - s : s;
    }
};

// Writes a source colour to a destination pixel under a raster operation.
class PixelWriter {
public:
    PixelWriter(DeviceContext& dc, DWORD rop) : dc_(dc), rop_(rop), pattern_(dc, dc.brush.get()) {}
    void Put(LONG x, LONG y, COLORREF source) {
        Surface& s = *dc_.surface;
        if (rop_ == SRCCOPY) {
            s.Put(x, y, source);
            return;
        }
        COLORREF p = 0;
        if (gdi::Rop3UsesPattern(rop_) && !pattern_.At(x, y, p)) return;
        s.Put(x, y, gdi::Rop3(rop_, p, source, s.Get(x, y)));
    }

private:
    DeviceContext& dc_;
    DWORD rop_;
    gdi::BrushColors pattern_;
};

// Copies DIB pixels into the visible part of a mapping. `rowScan` turns a
// source row (from the top) into a pointer, or null when that row is missing.
template <class RowScan>
void Transfer(DeviceContext& dc, const Mapping& m, const gdi::DibReader& dib, DWORD rop,
              RowScan rowScan) {
    PixelWriter writer(dc, rop);
    const bool direct = rop == SRCCOPY && dib.BitCount() == 24 && !dc.surface->Monochrome() &&
                        !m.mirrorX && m.srcWidth == m.dest.right - m.dest.left;
    for (const RECT& r : dc.VisibleIn(m.dest).Rects()) {
        for (LONG y = r.top; y < r.bottom; ++y) {
            const std::int64_t sy = m.Row(y - m.dest.top);
            const BYTE* row =
                sy >= 0 && sy < dib.Height() ? rowScan(static_cast<LONG>(sy)) : nullptr;
            if (!row) continue;
            if (direct) {
                // Unscaled 24-bit rows copy as bytes, cut to the columns the DIB has.
                const std::int64_t x0 = std::max<std::int64_t>(r.left, m.dest.left - m.srcLeft);
                const std::int64_t x1 =
                    std::min<std::int64_t>(r.right, m.dest.left - m.srcLeft + dib.Width());
                if (x0 < x1)
                    std::memcpy(dc.surface->Row(y) + 3 * static_cast<std::size_t>(x0),
                                row + 3 * static_cast<std::size_t>(
                                              m.Col(static_cast<LONG>(x0 - m.dest.left))),
                                3 * static_cast<std::size_t>(x1 - x0));
                continue;
            }
            for (LONG x = r.left; x < r.right; ++x) {
                const std::int64_t sx = m.Col(x - m.dest.left);
                if (sx >= 0 && sx < dib.Width())
                    writer.Put(x, y, dib.Pixel(row, static_cast<LONG>(sx)));
            }
        }
    }
}

LONG Extent(std::int64_t a, std::int64_t size) {
    return SaturateCoordinate(a + size);
}

}  // namespace

int SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD width, DWORD height, int xSrc, int ySrc,
                      UINT startScan, UINT lines, const void* bits, const BITMAPINFO* info,
                      UINT usage) {
    auto dc = gdi::LookupDC(hdc);
    const gdi::DibReader dib(info, bits, usage);
    if (!dc || !dc->surface || !dib.Valid() || width == 0 || height == 0) return 0;
    const LONG w = static_cast<LONG>(std::min<DWORD>(width, kRegionLimit));
    const LONG h = static_cast<LONG>(std::min<DWORD>(height, kRegionLimit));
    const POINT d = dc->ToDevice(xDest, yDest);
    // (xSrc, ySrc) is the lower-left corner of the source rectangle in a
    // bottom-up DIB and its upper-left corner in a top-down one.
    const std::int64_t srcTop = dib.TopDown() ? ySrc : std::int64_t{dib.Height()} - ySrc - h;
    const Mapping m{RECT{d.x, d.y, Extent(d.x, w), Extent(d.y, h)}, xSrc, srcTop, w, h};
    const std::int64_t first = startScan, last = std::int64_t{startScan} + lines;
    Transfer(*dc, m, dib, SRCCOPY, [&](LONG row) -> const BYTE* {
        const LONG scan = dib.ScanOfRow(row);
        return scan >= first && scan < last ? dib.Scan(scan, static_cast<LONG>(first)) : nullptr;
    });
    return static_cast<int>(lines);
}

int StretchDIBits(HDC hdc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc,
                  int srcWidth, int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage,
                  DWORD rop) {
    auto dc = gdi::LookupDC(hdc);
    const gdi::DibReader dib(info, bits, usage);
    if (!dc || !dc->surface || !dib.Valid()) return 0;
    if (destWidth == 0 || destHeight == 0 || srcWidth == 0 || srcHeight == 0) return 0;
    const RECT logical{
        std::min(xDest, Extent(xDest, destWidth)), std::min(yDest, Extent(yDest, destHeight)),
        std::max(xDest, Extent(xDest, destWidth)), std::max(yDest, Extent(yDest, destHeight))};
    const std::int64_t sw = std::abs(std::int64_t{srcWidth}),
                       sh = std::abs(std::int64_t{srcHeight});
    const std::int64_t sx = std::min<std::int64_t>(xSrc, std::int64_t{xSrc} + srcWidth);
    const std::int64_t sy = std::min<std::int64_t>(ySrc, std::int64_t{ySrc} + srcHeight);
    const std::int64_t srcTop = dib.TopDown() ? sy : dib.Height() - sy - sh;
    Mapping m{dc->ToDevice(logical), sx, srcTop, sw, sh};
    m.mirrorX = (destWidth < 0) != (srcWidth < 0);
    m.mirrorY = (destHeight < 0) != (srcHeight < 0);
    if (m.dest.right <= m.dest.left || m.dest.bottom <= m.dest.top) return 0;
    Transfer(*dc, m, dib, rop, [&](LONG row) { return dib.Scan(dib.ScanOfRow(row)); });
    return static_cast<int>(sh);
}

namespace {

// Colour conversion between monochrome and colour surfaces, as GDI does it:
// black and white become the destination's text and background colours; a
// colour becomes white exactly when it is the source's background colour.
COLORREF Convert(COLORREF c, const DeviceContext& src, const DeviceContext& dst) {
    const bool srcMono = src.surface->Monochrome(), dstMono = dst.surface->Monochrome();
    if (srcMono && !dstMono) return c ? dst.bkColor : dst.textColor;
    if (!srcMono && dstMono) return c == src.bkColor ? RGB(255, 255, 255) : RGB(0, 0, 0);
    return c;
}

// The source pixels under a destination box, converted to the destination's
// kind; CLR_INVALID where the source surface has no pixel. Read before any
// writing, as the source may be the destination itself.
std::vector<COLORREF> ReadSource(const DeviceContext& source, const DeviceContext& dest,
                                 const RECT& box, std::int64_t dx, std::int64_t dy) {
    const Surface& from = *source.surface;
    const LONG boxWidth = box.right - box.left;
    std::vector<COLORREF> pixels(static_cast<std::size_t>(boxWidth) * (box.bottom - box.top),
                                 CLR_INVALID);
    const std::int64_t x0 = std::max<std::int64_t>(box.left, -dx);
    const std::int64_t x1 = std::min<std::int64_t>(box.right, from.Width() - dx);
    for (LONG py = box.top; py < box.bottom; ++py) {
        const std::int64_t sy = py + dy;
        if (sy < 0 || sy >= from.Height()) continue;
        COLORREF* out = pixels.data() + static_cast<std::size_t>(py - box.top) * boxWidth;
        const BYTE* in = from.Row(static_cast<LONG>(sy));
        for (std::int64_t px = x0; px < x1; ++px) {
            const BYTE* p = in + 3 * static_cast<std::size_t>(px + dx);
            out[px - box.left] = Convert(RGB(p[2], p[1], p[0]), source, dest);
        }
    }
    return pixels;
}

}  // namespace

BOOL BitBlt(HDC hdc, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop) {
    auto dc = gdi::LookupDC(hdc);
    if (!dc || !dc->surface || width <= 0 || height <= 0) return false;
    const POINT d = dc->ToDevice(x, y);
    const RECT dest{d.x, d.y, Extent(d.x, width), Extent(d.y, height)};
    PixelWriter writer(*dc, rop);
    if (!gdi::Rop3UsesSource(rop)) {
        for (const RECT& r : dc->VisibleIn(dest).Rects())
            for (LONG py = r.top; py < r.bottom; ++py)
                for (LONG px = r.left; px < r.right; ++px)
                    writer.Put(px, py, 0);
        return true;
    }
    auto source = gdi::LookupDC(src);
    if (!source || !source->surface) return false;
    const Region visible = dc->VisibleIn(dest);
    if (visible.Empty()) return true;
    // Read the source pixels under the visible box first: the source may be
    // the destination itself.
    const RECT box = visible.Box();
    const POINT s = source->ToDevice(xSrc, ySrc);
    const std::int64_t dx = std::int64_t{s.x} - dest.left, dy = std::int64_t{s.y} - dest.top;
    const std::vector<COLORREF> pixels = ReadSource(*source, *dc, box, dx, dy);
    const LONG boxWidth = box.right - box.left;
    const bool direct = rop == SRCCOPY && !dc->surface->Monochrome();
    for (const RECT& r : visible.Rects()) {
        for (LONG py = r.top; py < r.bottom; ++py) {
            const COLORREF* row = pixels.data() + static_cast<std::size_t>(py - box.top) * boxWidth;
            BYTE* out = dc->surface->Row(py);
            for (LONG px = r.left; px < r.right; ++px) {
                const COLORREF c = row[px - box.left];
                if (c == CLR_INVALID) continue;
                if (!direct) {
                    writer.Put(px, py, c);
                    continue;
                }
                BYTE* p = out + 3 * static_cast<std::size_t>(px);
                p[0] = GetBValue(c);
                p[1] = GetGValue(c);
                p[2] = GetRValue(c);
            }
        }
    }
    return true;
}
