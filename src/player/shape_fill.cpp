#include "shape_fill.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/gdi/gdi.h"

namespace player {
namespace {

// Fills rows of spans with one brush.
class SpanFiller {
public:
    SpanFiller(HDC hdc, COLORREF color) : hdc_(hdc), brush_(CreateSolidBrush(color)) {}
    ~SpanFiller() { DeleteObject(brush_); }
    SpanFiller(const SpanFiller&) = delete;
    SpanFiller& operator=(const SpanFiller&) = delete;

    void Span(long y, long left, long right) {
        if (right <= left) return;
        const RECT r{static_cast<LONG>(left), static_cast<LONG>(y), static_cast<LONG>(right),
                     static_cast<LONG>(y + 1)};
        FillRect(hdc_, &r, brush_);
    }

private:
    HDC hdc_;
    HBRUSH brush_;
};

// The rows of [top, bottom) that the DC may show.
bool VisibleRows(HDC hdc, long& top, long& bottom) {
    RECT clip;
    if (GetClipBox(hdc, &clip) == ERROR) return false;
    top = std::max<long>(top, clip.top);
    bottom = std::min<long>(bottom, clip.bottom);
    return top < bottom;
}

BYTE Mix(BYTE a, BYTE b, long i, long n) {
    return static_cast<BYTE>(a + (static_cast<long>(b) - a) * i / n);
}

// How far row y of a rectangle with rounded corners of `radius` starts inside
// its left and right edges (pixel centres inside).
long CornerInset(const RECT& r, long radius, long y) {
    const double cy = y + 0.5;
    double d = 0;
    if (cy < r.top + radius) d = r.top + radius - cy;
    if (cy > r.bottom - radius) d = cy - (r.bottom - radius);
    if (d <= 0) return 0;
    return std::lround(radius - std::sqrt(std::max(0.0, double(radius) * radius - d * d)));
}

void RoundRectangle(HDC hdc, const RECT& r, std::optional<COLORREF> fill,
                    std::optional<COLORREF> stroke, int width, int radius) {
    long top = r.top, bottom = r.bottom;
    if (!VisibleRows(hdc, top, bottom)) return;
    const long rad = std::min<long>(radius, std::min(r.right - r.left, r.bottom - r.top) / 2);
    const RECT inner{r.left + width, r.top + width, r.right - width, r.bottom - width};
    const long innerRadius = std::max<long>(0, rad - width);
    if (fill) {
        SpanFiller f(hdc, *fill);
        for (long y = top; y < bottom; ++y) {
            const long inset = CornerInset(r, rad, y);
            f.Span(y, r.left + inset, r.right - inset);
        }
    }
    if (!stroke) return;
    SpanFiller f(hdc, *stroke);
    for (long y = top; y < bottom; ++y) {
        const long inset = CornerInset(r, rad, y);
        if (y < inner.top || y >= inner.bottom || inner.left >= inner.right) {
            f.Span(y, r.left + inset, r.right - inset);
            continue;
        }
        const long innerInset = CornerInset(inner, innerRadius, y);
        f.Span(y, r.left + inset, std::max(inner.left + innerInset, r.left + inset + 1));
        f.Span(y, std::min(inner.right - innerInset, r.right - inset - 1), r.right - inset);
    }
}

// Spans of the ellipse in `r` on row y (pixel centres inside); false when none.
bool EllipseRow(const RECT& r, long y, long& left, long& right) {
    const double rx = (r.right - r.left) / 2.0, ry = (r.bottom - r.top) / 2.0;
    if (rx <= 0 || ry <= 0) return false;
    const double cx = r.left + rx, cy = r.top + ry;
    const double dy = (y + 0.5 - cy) / ry;
    if (dy * dy > 1) return false;
    const double half = rx * std::sqrt(1 - dy * dy);
    left = std::lround(cx - half);
    right = std::lround(cx + half);
    return left < right;
}

// Cuts the segment to the DC's clip box (one pixel more on each side), so a
// line far longer than the stage costs no more than one across it.
bool ClipSegment(HDC hdc, POINT& a, POINT& b) {
    RECT clip;
    if (GetClipBox(hdc, &clip) == ERROR) return false;
    const double left = clip.left - 1, top = clip.top - 1, right = clip.right, bottom = clip.bottom;
    const double dx = b.x - a.x, dy = b.y - a.y;
    double t0 = 0, t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x - left, right - a.x, a.y - top, bottom - a.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    const POINT from = a;
    a = POINT{static_cast<LONG>(std::lround(from.x + t0 * dx)),
              static_cast<LONG>(std::lround(from.y + t0 * dy))};
    b = POINT{static_cast<LONG>(std::lround(from.x + t1 * dx)),
              static_cast<LONG>(std::lround(from.y + t1 * dy))};
    return true;
}

void ThinLine(HDC hdc, POINT a, POINT b, COLORREF color) {
    if (!ClipSegment(hdc, a, b)) return;
    SpanFiller f(hdc, color);
    long x0 = a.x, y0 = a.y;
    const long x1 = b.x, y1 = b.y;
    const long dx = std::labs(x1 - x0), dy = -std::labs(y1 - y0);
    const long sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    long err = dx + dy;
    long runStart = x0;
    while (true) {
        const bool last = x0 == x1 && y0 == y1;
        const long e2 = 2 * err;
        const bool stepY = !last && e2 <= dx;
        if (last || stepY) f.Span(y0, std::min(runStart, x0), std::max(runStart, x0) + 1);
        if (last) break;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (stepY) {
            err += dx;
            y0 += sy;
            runStart = x0;
        }
    }
}

}  // namespace

void FillBox(HDC hdc, const RECT& rect, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(hdc, &rect, brush);
    DeleteObject(brush);
}

void DrawRectangle(HDC hdc, const RECT& r, std::optional<COLORREF> fill,
                   std::optional<COLORREF> stroke, int width, int radius) {
    if (r.right <= r.left || r.bottom <= r.top) return;
    if (radius > 0) return RoundRectangle(hdc, r, fill, stroke, width, radius);
    if (fill) FillBox(hdc, r, *fill);
    if (!stroke) return;
    const LONG w = std::min<LONG>(width, std::min(r.right - r.left, r.bottom - r.top));
    FillBox(hdc, RECT{r.left, r.top, r.right, r.top + w}, *stroke);
    FillBox(hdc, RECT{r.left, r.bottom - w, r.right, r.bottom}, *stroke);
    FillBox(hdc, RECT{r.left, r.top + w, r.left + w, r.bottom - w}, *stroke);
    FillBox(hdc, RECT{r.right - w, r.top + w, r.right, r.bottom - w}, *stroke);
}

void DrawGradient(HDC hdc, const RECT& r, COLORREF from, COLORREF to, bool horizontal) {
    const long n = horizontal ? r.right - r.left : r.bottom - r.top;
    if (n <= 0 || r.right <= r.left || r.bottom <= r.top) return;
    RECT clip;
    if (GetClipBox(hdc, &clip) == ERROR) return;
    const long start = horizontal ? r.left : r.top;
    const long first = std::max(0L, (horizontal ? clip.left : clip.top) - start);
    const long last = std::min(n, (horizontal ? clip.right : clip.bottom) - start);
    const long steps = std::max(1L, n - 1);
    for (long i = first; i < last; ++i) {
        const COLORREF c = RGB(Mix(GetRValue(from), GetRValue(to), i, steps),
                               Mix(GetGValue(from), GetGValue(to), i, steps),
                               Mix(GetBValue(from), GetBValue(to), i, steps));
        const RECT band = horizontal ? RECT{static_cast<LONG>(r.left + i), r.top,
                                            static_cast<LONG>(r.left + i + 1), r.bottom}
                                     : RECT{r.left, static_cast<LONG>(r.top + i), r.right,
                                            static_cast<LONG>(r.top + i + 1)};
        FillBox(hdc, band, c);
    }
}

void DrawLine(HDC hdc, POINT a, POINT b, COLORREF color, int width) {
    if (width <= 1) return ThinLine(hdc, a, b, color);
    if (a.y == b.y || a.x == b.x) {  // straight: a plain band
        const LONG h = width / 2;
        const RECT band =
            a.y == b.y ? RECT{std::min(a.x, b.x), a.y - h, std::max(a.x, b.x) + 1, a.y - h + width}
                       : RECT{a.x - h, std::min(a.y, b.y), a.x - h + width, std::max(a.y, b.y) + 1};
        return FillBox(hdc, band, color);
    }
    const double dx = b.x - a.x, dy = b.y - a.y, len = std::hypot(dx, dy);
    const double ox = -dy / len * width / 2, oy = dx / len * width / 2;
    auto at = [](double x, double y) {
        return POINT{static_cast<LONG>(std::lround(x)), static_cast<LONG>(std::lround(y))};
    };
    const double ax = a.x + 0.5, ay = a.y + 0.5, bx = b.x + 0.5, by = b.y + 0.5;
    FillPolygon(
        hdc,
        {at(ax + ox, ay + oy), at(bx + ox, by + oy), at(bx - ox, by - oy), at(ax - ox, ay - oy)},
        color);
}

void DrawEllipse(HDC hdc, const RECT& r, std::optional<COLORREF> fill,
                 std::optional<COLORREF> stroke) {
    long top = r.top, bottom = r.bottom;
    if (!VisibleRows(hdc, top, bottom)) return;
    const RECT inner{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    if (fill) {
        SpanFiller f(hdc, *fill);
        long left = 0, right = 0;
        for (long y = top; y < bottom; ++y)
            if (EllipseRow(r, y, left, right)) f.Span(y, left, right);
    }
    if (!stroke) return;
    SpanFiller f(hdc, *stroke);
    for (long y = top; y < bottom; ++y) {
        long left = 0, right = 0, innerLeft = 0, innerRight = 0;
        if (!EllipseRow(r, y, left, right)) continue;
        // Rows where the inner ellipse is narrow are drawn across, so the outline stays closed.
        if (!EllipseRow(inner, y, innerLeft, innerRight) || y == top || y == bottom - 1) {
            f.Span(y, left, right);
            continue;
        }
        long prevLeft = 0, prevRight = 0, nextLeft = 0, nextRight = 0;
        const bool prev = EllipseRow(r, y - 1, prevLeft, prevRight);
        const bool next = EllipseRow(r, y + 1, nextLeft, nextRight);
        // The outline covers the step to the neighbouring rows as well.
        const long reachLeft =
            std::max({left + 1, prev ? prevLeft : left + 1, next ? nextLeft : left + 1});
        const long reachRight =
            std::min({right - 1, prev ? prevRight : right - 1, next ? nextRight : right - 1});
        f.Span(y, left, std::max(reachLeft, std::min(innerLeft, right)));
        f.Span(y, std::min(reachRight, std::max(innerRight, left)), right);
    }
}

void FillPolygon(HDC hdc, const std::vector<POINT>& points, COLORREF color) {
    if (points.size() < 3) return;
    long top = points[0].y, bottom = points[0].y;
    for (const POINT& p : points) {
        top = std::min<long>(top, p.y);
        bottom = std::max<long>(bottom, p.y);
    }
    if (!VisibleRows(hdc, top, bottom)) return;
    SpanFiller f(hdc, color);
    std::vector<double> xs;
    for (long y = top; y < bottom; ++y) {
        const double cy = y + 0.5;
        xs.clear();
        for (std::size_t i = 0; i < points.size(); ++i) {
            const POINT& p = points[i];
            const POINT& q = points[(i + 1) % points.size()];
            if ((p.y <= cy) == (q.y <= cy)) continue;
            xs.push_back(p.x + (cy - p.y) * (q.x - p.x) / static_cast<double>(q.y - p.y));
        }
        std::sort(xs.begin(), xs.end());
        for (std::size_t i = 0; i + 1 < xs.size(); i += 2)
            f.Span(y, std::lround(std::ceil(xs[i] - 0.5)), std::lround(std::ceil(xs[i + 1] - 0.5)));
    }
}

}  // namespace player
