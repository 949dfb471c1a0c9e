// Shrinking a 24 bpp picture by area averaging, in one pass over the source rows.
// Every result pixel is the weighted mean of the source pixels it covers, weights in
// integer thousandths. A source row or column that straddles a result boundary is
// shared: its next-side share is (long)((position - boundary) * 1000).
#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "px_image.h"

namespace {

using Sum = std::int64_t;  // 32 bits overflow once a result pixel covers ~8000 pixels

// One result row being summed: the current row and the row after it, each with
// blue, green, red per result column plus a spare column.
struct RowSums {
    std::vector<Sum> current, next;
    explicit RowSums(LONG columns)
        : current(3 * (static_cast<std::size_t>(columns) + 1)), next(current.size()) {}
    void Advance() {
        std::swap(current, next);
        next[0] = next[1] = next[2] = 0;
    }
};

BYTE Mean(Sum sum, Sum divisor) {
    // Truncated weights can push a mean of 255 a hair above it; keep it white.
    return static_cast<BYTE>(std::min<Sum>(255, sum / divisor));
}

// One source row that lies wholly inside the current result row.
void AddInsideRow(const BYTE* src, LONG width, float xs, LONG columns, Sum* cur) {
    float bx = xs - 1;
    LONG col = 0;
    for (LONG x = 0; x < width; ++x, src += 3) {
        Sum* c = cur + 3 * col;
        if (bx > static_cast<float>(x) || col >= columns) {
            for (int k = 0; k < 3; ++k)
                c[k] += Sum{src[k]} * 1000;
            continue;
        }
        const Sum fx = static_cast<long>((static_cast<float>(x) - bx) * 1000);
        for (int k = 0; k < 3; ++k) {
            c[k] += src[k] * (1000 - fx);
            c[3 + k] += src[k] * fx;
        }
        ++col;
        bx += xs;
    }
}

// A source row that crosses into the next result row (next-row share fy). Its
// boundary columns complete result pixels, written into out. Returns how many.
LONG AddBoundaryRow(const BYTE* src, LONG width, float xs, Sum fy, RowSums& sums, BYTE* out,
                    Sum divisor) {
    const LONG columns = static_cast<LONG>(sums.current.size() / 3 - 1);
    float bx = xs - 1;
    LONG col = 0;
    for (LONG x = 0; x < width; ++x, src += 3) {
        Sum* c = sums.current.data() + 3 * col;
        Sum* n = sums.next.data() + 3 * col;
        if (bx > static_cast<float>(x) || col >= columns) {
            for (int k = 0; k < 3; ++k) {
                c[k] += src[k] * (1000 - fy);
                n[k] += src[k] * fy;
            }
            continue;
        }
        const Sum fx = static_cast<long>((static_cast<float>(x) - bx) * 1000);
        for (int k = 0; k < 3; ++k) {
            const Sum v = src[k];
            c[k] += v * (1000 - fx) * (1000 - fy) / 1000;
            out[3 * col + k] = Mean(c[k], divisor);
            n[k] += v * (1000 - fx) * fy / 1000;
            c[3 + k] += v * fx * (1000 - fy) / 1000;
            n[3 + k] = v * fx * fy / 1000;
        }
        ++col;
        bx += xs;
    }
    return col;
}

void WriteRow(const Sum* sums, LONG first, LONG last, BYTE* out, Sum divisor) {
    for (LONG col = first; col <= last; ++col) {
        for (int k = 0; k < 3; ++k)
            out[3 * col + k] = Mean(sums[3 * col + k], divisor);
    }
}

}  // namespace

// Reports no progress and ignores escape: it is one fast pass.
void PxImage::ResampleArea(PxImage& result, float xs, float ys) const {
    ResampleArea(result, PxPart{0, 0, header.biWidth, header.biHeight}, xs, ys);
}

void PxImage::ResampleArea(PxImage& result, const PxPart& part, float xs, float ys) const {
    const LONG columns = result.header.biWidth, rows = result.header.biHeight;
    const Sum divisor = static_cast<Sum>(xs * ys * 1000);
    const auto source = [&](LONG y) { return RowAt(part.firstRow + y) + 3 * part.left; };
    RowSums sums(columns);
    float by = ys - 1;
    LONG row = 0;
    for (LONG y = 0; y < part.rows; ++y) {
        // Past the last result row (only float drift gets there) rows just accumulate.
        if (by > static_cast<float>(y) || row >= rows) {
            AddInsideRow(source(y), part.width, xs, columns, sums.current.data());
            continue;
        }
        const Sum fy = static_cast<long>((static_cast<float>(y) - by) * 1000);
        BYTE* out = result.RowAt(row);
        const LONG written = AddBoundaryRow(source(y), part.width, xs, fy, sums, out, divisor);
        if (written < columns) {
            const LONG last = std::min(written, columns - 1);
            WriteRow(sums.current.data(), last, last, out, divisor);
        }
        sums.Advance();
        ++row;
        by += ys;
    }
    if (row < rows) WriteRow(sums.current.data(), 0, columns - 1, result.RowAt(row), divisor);
}
