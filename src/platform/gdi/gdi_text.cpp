// Fonts by handle, and drawing and measuring text on device contexts.
#include <algorithm>
#include <cstring>

#include "font_engine.h"
#include "gdi_objects.h"
#include "gdi_text.h"
#include "text_layout.h"

namespace {

std::string_view Bytes(const char* text, std::int64_t length) {
    if (!text) return {};
    if (length < 0) return std::string_view(text);
    return std::string_view(text, static_cast<std::size_t>(length));
}

gdi::ScaledFont* FontOf(const DeviceContext& dc) {
    return dc.font ? gdi::ResolveFont(dc.font->logfont) : nullptr;
}

BYTE Blend(BYTE background, BYTE foreground, unsigned a) {
    return static_cast<BYTE>((background * (255 - a) + foreground * a + 127) / 255);
}

void FillDevice(DeviceContext& dc, const Region& clip, const RECT& rect, COLORREF color) {
    Surface& s = *dc.surface;
    for (const RECT& r : clip.Intersect(rect).Rects())
        for (LONG y = r.top; y < r.bottom; ++y)
            for (LONG x = r.left; x < r.right; ++x)
                s.Put(x, y, color);
}

// Blends one glyph's coverage in the text colour onto the visible pixels.
void DrawGlyph(DeviceContext& dc, const Region& clip, const gdi::GlyphImage& g, LONG penX,
               LONG baseline) {
    const RECT box{penX + g.left, baseline - g.top, penX + g.left + g.width,
                   baseline - g.top + g.rows};
    const COLORREF fg = dc.textColor;
    Surface& s = *dc.surface;
    for (const RECT& r : clip.Intersect(box).Rects()) {
        for (LONG y = r.top; y < r.bottom; ++y) {
            const BYTE* cov = g.coverage.data() + static_cast<std::size_t>(y - box.top) * g.width;
            for (LONG x = r.left; x < r.right; ++x) {
                const unsigned a = cov[x - box.left];
                if (a == 0) continue;
                const COLORREF bg = s.Get(x, y);
                s.Put(x, y,
                      RGB(Blend(GetRValue(bg), GetRValue(fg), a),
                          Blend(GetGValue(bg), GetGValue(fg), a),
                          Blend(GetBValue(bg), GetBValue(fg), a)));
            }
        }
    }
}

// Draws one line with its left end at x (device) and the given baseline: the
// cell in the background colour when OPAQUE, the glyphs, then the underline,
// strike-out and & mark.
void DrawLine(DeviceContext& dc, gdi::ScaledFont& font, const gdi::TextLine& line, LONG x,
              LONG baseline, const Region& clip) {
    const gdi::FontMetrics& m = font.Metrics();
    if (dc.bkMode == OPAQUE)
        FillDevice(dc, clip, RECT{x, baseline - m.ascent, x + line.width, baseline + m.descent},
                   dc.bkColor);
    // Glyphs past the right end of the visible area cannot show; stopping
    // there also keeps the pen within the coordinate range for any length.
    const LONG visibleRight = clip.Box().right;
    LONG pen = x;
    LONG markLeft = 0, markRight = 0;
    for (std::size_t i = 0; i < line.text.size() && pen < visibleRight; ++i) {
        const gdi::GlyphImage& g = font.Glyph(line.text[i]);
        DrawGlyph(dc, clip, g, pen, baseline);
        if (static_cast<int>(i) == line.underline) {
            markLeft = pen;
            markRight = pen + g.advance;
        }
        pen += g.advance;
    }
    const LONG under = baseline + m.underlinePosition;
    if (font.Request().lfUnderline)
        FillDevice(dc, clip, RECT{x, under, pen, under + m.underlineThickness}, dc.textColor);
    if (font.Request().lfStrikeOut) {
        const LONG strike = baseline - m.strikeoutPosition;
        FillDevice(dc, clip, RECT{x, strike, pen, strike + m.underlineThickness}, dc.textColor);
    }
    if (markRight > markLeft)
        FillDevice(dc, clip, RECT{markLeft, under, markRight, under + 1}, dc.textColor);
}

LONG AlignedLeft(LONG x, LONG width, UINT align) {
    if ((align & TA_CENTER) == TA_CENTER) return x - width / 2;
    if (align & TA_RIGHT) return x - width;
    return x;
}

LONG Baseline(LONG y, const gdi::FontMetrics& m, UINT align) {
    if ((align & TA_BASELINE) == TA_BASELINE) return y;
    if (align & TA_BOTTOM) return y - m.descent;
    return y + m.ascent;
}

}  // namespace

HFONT CreateFontIndirect(const LOGFONT* font) {
    if (!font) return nullptr;
    auto object = std::make_shared<FontObject>();
    object->logfont = *font;
    object->logfont.lfFaceName[LF_FACESIZE - 1] = '\0';
    return static_cast<HFONT>(gdi::Register(object));
}

HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                 DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                 DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, const char* face) {
    LOGFONT f{};
    f.lfHeight = height;
    f.lfWidth = width;
    f.lfEscapement = escapement;
    f.lfOrientation = orientation;
    f.lfWeight = weight;
    f.lfItalic = static_cast<BYTE>(italic != 0);
    f.lfUnderline = static_cast<BYTE>(underline != 0);
    f.lfStrikeOut = static_cast<BYTE>(strikeOut != 0);
    f.lfCharSet = static_cast<BYTE>(charSet);
    f.lfOutPrecision = static_cast<BYTE>(outPrecision);
    f.lfClipPrecision = static_cast<BYTE>(clipPrecision);
    f.lfQuality = static_cast<BYTE>(quality);
    f.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
    if (face) std::strncpy(f.lfFaceName, face, LF_FACESIZE - 1);
    return CreateFontIndirect(&f);
}

BOOL TextOut(HDC hdc, int x, int y, const char* text, int length) {
    if (length < 0) return false;
    return ExtTextOut(hdc, x, y, 0, nullptr, text, static_cast<UINT>(length), nullptr);
}

BOOL ExtTextOut(HDC hdc, int x, int y, UINT options, const RECT* rect, const char* text,
                UINT length, const int* dx) {
    auto dc = gdi::LookupDC(hdc);
    if (!dc || !dc->surface || dx || (length && !text)) return false;
    auto lock = gdi::FontLock();
    gdi::ScaledFont* font = FontOf(*dc);
    if (!font) return false;
    Region clip = dc->Visible();
    if (rect) {
        const RECT r = dc->ToDevice(*rect);
        if (options & ETO_OPAQUE) FillDevice(*dc, clip, r, dc->bkColor);
        if (options & ETO_CLIPPED) clip = clip.Intersect(r);
    }
    gdi::TextLine line;
    line.text = gdi::DecodeUtf8(Bytes(text, length));
    line.width = gdi::RunWidth(*font, line.text);
    const POINT p = dc->ToDevice(x, y);
    DrawLine(*dc, *font, line, AlignedLeft(p.x, line.width, dc->textAlign),
             Baseline(p.y, font->Metrics(), dc->textAlign), clip);
    return true;
}

BOOL GetTextExtentPoint32(HDC hdc, const char* text, int length, SIZE* size) {
    auto dc = gdi::LookupDC(hdc);
    if (!dc || !size || length < 0 || (length && !text)) return false;
    auto lock = gdi::FontLock();
    gdi::ScaledFont* font = FontOf(*dc);
    if (!font) return false;
    size->cx = gdi::RunWidth(*font, gdi::DecodeUtf8(Bytes(text, length)));
    size->cy = font->Metrics().height;
    return true;
}

BOOL GetTextMetrics(HDC hdc, TEXTMETRIC* tm) {
    auto dc = gdi::LookupDC(hdc);
    if (!dc || !tm) return false;
    auto lock = gdi::FontLock();
    gdi::ScaledFont* font = FontOf(*dc);
    if (!font) return false;
    const gdi::FontMetrics& m = font->Metrics();
    const LOGFONT& f = font->Request();
    *tm = TEXTMETRIC{};
    tm->tmHeight = m.height;
    tm->tmAscent = m.ascent;
    tm->tmDescent = m.descent;
    tm->tmInternalLeading = m.internalLeading;
    tm->tmExternalLeading = m.externalLeading;
    tm->tmAveCharWidth = m.aveCharWidth;
    tm->tmMaxCharWidth = m.maxCharWidth;
    tm->tmWeight = f.lfWeight ? f.lfWeight : FW_NORMAL;
    tm->tmDigitizedAspectX = tm->tmDigitizedAspectY = 96;
    tm->tmFirstChar = U' ';
    tm->tmLastChar = 0xFFFF;
    tm->tmDefaultChar = U'?';
    tm->tmBreakChar = U' ';
    tm->tmItalic = f.lfItalic;
    tm->tmUnderlined = f.lfUnderline;
    tm->tmStruckOut = f.lfStrikeOut;
    tm->tmCharSet = f.lfCharSet;
    return true;
}

int DrawText(HDC hdc, const char* text, int length, RECT* rect, UINT format) {
    auto dc = gdi::LookupDC(hdc);
    if (!dc || !dc->surface || !rect || (length != 0 && !text)) return 0;
    auto lock = gdi::FontLock();
    gdi::ScaledFont* font = FontOf(*dc);
    if (!font) return 0;
    const std::vector<gdi::TextLine> lines =
        gdi::LayoutLines(*font, gdi::DecodeUtf8(Bytes(text, length)),
                         SaturateCoordinate(std::int64_t{rect->right} - rect->left), format);
    const LONG lineHeight = font->Metrics().height;
    const LONG total =
        SaturateCoordinate(std::int64_t{lineHeight} * static_cast<std::int64_t>(lines.size()));
    if (format & DT_CALCRECT) {
        LONG widest = 0;
        for (const gdi::TextLine& line : lines)
            widest = std::max(widest, line.width);
        rect->right = SaturateCoordinate(std::int64_t{rect->left} + widest);
        rect->bottom = SaturateCoordinate(std::int64_t{rect->top} + total);
        return total;
    }
    const RECT box = dc->ToDevice(*rect);
    LONG top = box.top;
    if (format & DT_SINGLELINE) {
        if (format & DT_BOTTOM)
            top = box.bottom - total;
        else if (format & DT_VCENTER)
            top = box.top + (box.bottom - box.top - total) / 2;
    }
    const Region clip = (format & DT_NOCLIP) ? dc->Visible() : dc->VisibleIn(box);
    const LONG visibleBottom = clip.Box().bottom;
    for (gdi::TextLine line : lines) {
        if (top >= visibleBottom) break;
        LONG x = box.left;
        if (format & DT_CENTER)
            x = box.left + (box.right - box.left - line.width) / 2;
        else if (format & DT_RIGHT)
            x = box.right - line.width;
        if (format & DT_HIDEPREFIX) line.underline = -1;
        DrawLine(*dc, *font, line, x, top + font->Metrics().ascent, clip);
        top += lineHeight;
    }
    return total;
}

std::string GetResolvedFontFamily(HDC hdc) {
    auto dc = gdi::LookupDC(hdc);
    if (!dc) return {};
    auto lock = gdi::FontLock();
    gdi::ScaledFont* font = FontOf(*dc);
    return font ? font->Family() : std::string();
}
