// A region: a set of pixels kept as y-x banded rectangles, the way GDI keeps
// them. Rectangles exclude their right and bottom edges. Bands are sorted top
// to bottom, rectangles within a band left to right, never touching or
// overlapping, and vertically adjacent bands with the same spans are merged, so
// two equal pixel sets always have the same rectangle list.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/base/win_types.h"

// Coordinates are kept within +-2^27, as in GDI; offsets saturate there.
constexpr std::int64_t kRegionLimit = std::int64_t{1} << 27;

class Region {
public:
    enum class Op { And, Or, Xor, Diff };

    Region() = default;
    explicit Region(const RECT& rect);
    // The union of any rectangles; empty or inverted ones add nothing.
    static Region FromRects(std::span<const RECT> rects);
    // Rounded rectangle whose corners follow an ellipse of the given width and height.
    static Region RoundRect(const RECT& rect, LONG ellipseWidth, LONG ellipseHeight);
    static Region Combine(const Region& a, const Region& b, Op op);

    bool Empty() const { return rects_.empty(); }
    const std::vector<RECT>& Rects() const& { return rects_; }
    // A temporary region hands its rectangles over, so looping over the
    // rectangles of a region returned by a call is safe.
    std::vector<RECT> Rects() && { return std::move(rects_); }
    // {0, 0, 0, 0} when empty.
    RECT Box() const;
    bool Contains(LONG x, LONG y) const;
    void Offset(LONG dx, LONG dy);
    Region Intersect(const RECT& rect) const;
    // NULLREGION, SIMPLEREGION or COMPLEXREGION.
    int Kind() const;

    bool operator==(const Region& other) const;

private:
    std::vector<RECT> rects_;
};
