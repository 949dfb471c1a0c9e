#include "region.h"

#include <algorithm>
#include <cmath>

#include "gdi_types.h"

namespace {

struct Span {
    LONG left, right;
    bool operator==(const Span&) const = default;
};
using Spans = std::vector<Span>;

bool IsEmptyRect(const RECT& r) {
    return r.left >= r.right || r.top >= r.bottom;
}

LONG ClampCoordinate(LONG v) {
    return static_cast<LONG>(std::clamp<std::int64_t>(v, -kRegionLimit, kRegionLimit));
}

RECT ClampRect(const RECT& r) {
    return {ClampCoordinate(r.left), ClampCoordinate(r.top), ClampCoordinate(r.right),
            ClampCoordinate(r.bottom)};
}

// Merges overlapping or touching spans of an unsorted list.
Spans Normalise(Spans spans) {
    std::sort(spans.begin(), spans.end(),
              [](const Span& a, const Span& b) { return a.left < b.left; });
    Spans out;
    for (const Span& s : spans) {
        if (!out.empty() && s.left <= out.back().right)
            out.back().right = std::max(out.back().right, s.right);
        else
            out.push_back(s);
    }
    return out;
}

// Spans of a banded rectangle list on the rows [y, y + 1) of one band.
Spans SpansAt(const std::vector<RECT>& rects, LONG y) {
    Spans spans;
    for (const RECT& r : rects) {
        if (r.top > y) break;
        if (r.bottom > y) spans.push_back({r.left, r.right});
    }
    return spans;
}

bool Inside(bool a, bool b, Region::Op op) {
    switch (op) {
        case Region::Op::And:
            return a && b;
        case Region::Op::Or:
            return a || b;
        case Region::Op::Xor:
            return a != b;
        case Region::Op::Diff:
            return a && !b;
    }
    return false;
}

// Walks the x edges of both span lists and keeps the stretches where the
// operation holds.
Spans CombineSpans(const Spans& a, const Spans& b, Region::Op op) {
    std::vector<LONG> xs;
    for (const Span& s : a)
        xs.insert(xs.end(), {s.left, s.right});
    for (const Span& s : b)
        xs.insert(xs.end(), {s.left, s.right});
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    auto covers = [](const Spans& spans, LONG x) {
        return std::any_of(spans.begin(), spans.end(),
                           [x](const Span& s) { return s.left <= x && x < s.right; });
    };
    Spans out;
    for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
        if (!Inside(covers(a, xs[i]), covers(b, xs[i]), op)) continue;
        if (!out.empty() && out.back().right == xs[i])
            out.back().right = xs[i + 1];
        else
            out.push_back({xs[i], xs[i + 1]});
    }
    return out;
}

// Appends one band, extending the previous band instead when it ends where this
// one starts and has the same spans.
class BandWriter {
public:
    void Add(LONG top, LONG bottom, const Spans& spans) {
        if (spans.empty()) {
            last_.clear();
            return;
        }
        if (!last_.empty() && lastBottom_ == top && spans == last_) {
            for (std::size_t i = rects_.size() - spans.size(); i < rects_.size(); ++i)
                rects_[i].bottom = bottom;
        } else {
            for (const Span& s : spans)
                rects_.push_back({s.left, top, s.right, bottom});
        }
        last_ = spans;
        lastBottom_ = bottom;
    }
    std::vector<RECT> Take() { return std::move(rects_); }

private:
    std::vector<RECT> rects_;
    Spans last_;
    LONG lastBottom_ = 0;
};

std::vector<LONG> BandEdges(std::span<const RECT> a, std::span<const RECT> b) {
    std::vector<LONG> ys;
    for (const RECT& r : a)
        ys.insert(ys.end(), {r.top, r.bottom});
    for (const RECT& r : b)
        ys.insert(ys.end(), {r.top, r.bottom});
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
    return ys;
}

// Left inset of the row at distance `row` (pixel centre row + 0.5) from the
// nearest horizontal edge, for a corner ellipse of radii rx, ry.
LONG CornerInset(double row, double rx, double ry) {
    if (row >= ry) return 0;
    const double dy = (ry - row) / ry;
    const double halfWidth = rx * std::sqrt(std::max(0.0, 1.0 - dy * dy));
    return static_cast<LONG>(std::floor(rx - halfWidth + 0.5));
}

}  // namespace

Region::Region(const RECT& rect) {
    const RECT r = ClampRect(rect);
    if (!IsEmptyRect(r)) rects_.push_back(r);
}

Region Region::FromRects(std::span<const RECT> rects) {
    std::vector<RECT> valid;
    for (const RECT& r : rects)
        if (!IsEmptyRect(ClampRect(r))) valid.push_back(ClampRect(r));
    const std::vector<LONG> ys = BandEdges(valid, {});
    BandWriter writer;
    for (std::size_t i = 0; i + 1 < ys.size(); ++i) {
        Spans spans;
        for (const RECT& r : valid)
            if (r.top <= ys[i] && ys[i] < r.bottom) spans.push_back({r.left, r.right});
        writer.Add(ys[i], ys[i + 1], Normalise(std::move(spans)));
    }
    Region region;
    region.rects_ = writer.Take();
    return region;
}

Region Region::RoundRect(const RECT& rect, LONG ellipseWidth, LONG ellipseHeight) {
    const RECT c = ClampRect(rect);
    const RECT r{std::min(c.left, c.right), std::min(c.top, c.bottom), std::max(c.left, c.right),
                 std::max(c.top, c.bottom)};
    const double width = static_cast<double>(r.right) - r.left;
    const double height = static_cast<double>(r.bottom) - r.top;
    const double rx = std::clamp(std::abs(static_cast<double>(ellipseWidth)), 0.0, width) / 2;
    const double ry = std::clamp(std::abs(static_cast<double>(ellipseHeight)), 0.0, height) / 2;
    if (rx < 1 || ry < 1) return Region(r);
    // Only the rows within ry of the top and bottom edges are inset; the rows
    // between them form one band.
    const LONG cornerRows = static_cast<LONG>(std::ceil(ry));
    const LONG rows = r.bottom - r.top;
    BandWriter writer;
    auto addRow = [&](LONG y) {
        const double fromEdge = std::min(y - r.top, r.bottom - 1 - y) + 0.5;
        const LONG inset = CornerInset(fromEdge, rx, ry);
        writer.Add(y, y + 1, {{r.left + inset, r.right - inset}});
    };
    for (LONG y = r.top; y < r.top + std::min(cornerRows, rows); ++y)
        addRow(y);
    if (rows > 2 * cornerRows)
        writer.Add(r.top + cornerRows, r.bottom - cornerRows, {{r.left, r.right}});
    for (LONG y = std::max(r.top + cornerRows, r.bottom - cornerRows); y < r.bottom; ++y)
        addRow(y);
    Region region;
    region.rects_ = writer.Take();
    return region;
}

Region Region::Combine(const Region& a, const Region& b, Op op) {
    const std::vector<LONG> ys = BandEdges(a.rects_, b.rects_);
    BandWriter writer;
    for (std::size_t i = 0; i + 1 < ys.size(); ++i) {
        writer.Add(ys[i], ys[i + 1],
                   CombineSpans(SpansAt(a.rects_, ys[i]), SpansAt(b.rects_, ys[i]), op));
    }
    Region region;
    region.rects_ = writer.Take();
    return region;
}

RECT Region::Box() const {
    if (rects_.empty()) return RECT{0, 0, 0, 0};
    RECT box = rects_.front();
    for (const RECT& r : rects_) {
        box.left = std::min(box.left, r.left);
        box.right = std::max(box.right, r.right);
        box.bottom = std::max(box.bottom, r.bottom);
    }
    return box;
}

bool Region::Contains(LONG x, LONG y) const {
    return std::any_of(rects_.begin(), rects_.end(), [x, y](const RECT& r) {
        return r.left <= x && x < r.right && r.top <= y && y < r.bottom;
    });
}

// Coordinates saturate at the limits of the coordinate space instead of
// wrapping around.
void Region::Offset(LONG dx, LONG dy) {
    auto move = [](LONG v, LONG d) {
        return static_cast<LONG>(
            std::clamp<std::int64_t>(std::int64_t{v} + d, -kRegionLimit, kRegionLimit));
    };
    for (RECT& r : rects_) {
        r.left = move(r.left, dx);
        r.right = move(r.right, dx);
        r.top = move(r.top, dy);
        r.bottom = move(r.bottom, dy);
    }
    *this = FromRects(rects_);
}

Region Region::Intersect(const RECT& rect) const {
    Region out;
    for (const RECT& r : rects_) {
        const RECT cut{std::max(r.left, rect.left), std::max(r.top, rect.top),
                       std::min(r.right, rect.right), std::min(r.bottom, rect.bottom)};
        if (!IsEmptyRect(cut)) out.rects_.push_back(cut);
    }
    // Cutting a banded list by a rectangle keeps it banded, but bands may now
    // have equal spans and touch; rebuild to merge them.
    return FromRects(out.rects_);
}

int Region::Kind() const {
    if (rects_.empty()) return NULLREGION;
    return rects_.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

bool Region::operator==(const Region& other) const {
    if (rects_.size() != other.rects_.size()) return false;
    for (std::size_t i = 0; i < rects_.size(); ++i) {
        const RECT& a = rects_[i];
        const RECT& b = other.rects_[i];
        if (a.left != b.left || a.top != b.top || a.right != b.right || a.bottom != b.bottom)
            return false;
    }
    return true;
}
