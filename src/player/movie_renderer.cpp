#include "movie_renderer.h"

#include "imaging/px_image.h"
#include "platform/gdi/gdi.h"
#include "platform/window/text_fit.h"
#include "shape_fill.h"
#include "slider_geometry.h"
#include "stage_walk.h"

namespace player {
namespace {

int AlignOffset(Align align, int room, int used) {
    switch (align) {
        case Align::Center:
            return (room - used) / 2;
        case Align::Right:
            return room - used;
        case Align::Left:
            break;
    }
    return 0;
}

int VAlignOffset(VAlign valign, int room, int used) {
    switch (valign) {
        case VAlign::Middle:
            return (room - used) / 2;
        case VAlign::Bottom:
            return room - used;
        case VAlign::Top:
            break;
    }
    return 0;
}

RunStyle RunStyleOf(const TextStyle& style) {
    return RunStyle{style.font, style.size, style.color, style.bold};
}

}  // namespace

MovieRenderer::~MovieRenderer() {
    for (auto& [key, font] : fonts_)
        DeleteObject(font);
}

HFONT MovieRenderer::Font(const RunStyle& style) {
    const auto key = std::make_tuple(style.face, style.size, style.bold);
    auto found = fonts_.find(key);
    if (found != fonts_.end()) return found->second;
    const LOGFONT logfont = LogFontFor(style);
    HFONT font = CreateFontIndirect(&logfont);
    fonts_.emplace(key, font);
    return font;
}

void MovieRenderer::Draw(HDC hdc, const RECT& client, const MoviePlayback& playback,
                         const PointerTarget& hover) {
    FillBox(hdc, client, playback.movie().background);
    const int oldMode = SetBkMode(hdc, TRANSPARENT);
    const UINT oldAlign = SetTextAlign(hdc, TA_LEFT | TA_BASELINE);
    WalkStage(playback.movie(), playback.Root(), POINT{0, 0},
              [&](const ClipInstance& instance, POINT origin, const Item& item) {
                  DrawItem(hdc, playback, instance, origin, item, hover);
              });
    SetTextAlign(hdc, oldAlign);
    SetBkMode(hdc, oldMode);
}

void MovieRenderer::DrawItem(HDC hdc, const MoviePlayback& playback, const ClipInstance& instance,
                             POINT origin, const Item& item, const PointerTarget& hover) {
    if (const auto* r = std::get_if<RectItem>(&item)) {
        DrawRectangle(hdc, StageBox(r->box, origin), r->fill, r->stroke, r->width, r->radius);
    } else if (const auto* g = std::get_if<GradientItem>(&item)) {
        DrawGradient(hdc, StageBox(g->box, origin), g->from, g->to, g->horizontal);
    } else if (const auto* l = std::get_if<LineItem>(&item)) {
        DrawLine(hdc, POINT{origin.x + l->x1, origin.y + l->y1},
                 POINT{origin.x + l->x2, origin.y + l->y2}, l->color, l->width);
    } else if (const auto* e = std::get_if<EllipseItem>(&item)) {
        DrawEllipse(hdc, StageBox(e->box, origin), e->fill, e->stroke);
    } else if (const auto* p = std::get_if<PolygonItem>(&item)) {
        std::vector<POINT> points = p->points;
        for (POINT& pt : points)
            pt = POINT{pt.x + origin.x, pt.y + origin.y};
        FillPolygon(hdc, points, p->fill);
    } else if (const auto* pic = std::get_if<PictureItem>(&item)) {
        const auto& image = playback.movie().images[static_cast<std::size_t>(pic->image)];
        image.picture->Draw(hdc, origin.x + pic->x, origin.y + pic->y);
    } else if (const auto* t = std::get_if<TextItem>(&item)) {
        DrawText(hdc, item, t->markup, t->style, StageBox(t->box, origin), false);
    } else if (const auto* f = std::get_if<FieldItem>(&item)) {
        DrawText(hdc, item, playback.GetVariable(f->variable), f->style, StageBox(f->box, origin),
                 f->fileName);
    } else if (const auto* b = std::get_if<ButtonItem>(&item)) {
        if (b->hilite && hover.item == &item && hover.instance == instance.id)
            DrawRectangle(hdc, StageBox(b->box, origin), std::nullopt, b->hilite, 1, 0);
    } else if (const auto* s = std::get_if<SliderItem>(&item)) {
        DrawSlider(hdc, *s, StageBox(s->box, origin), playback.SliderValue(instance, *s));
    }
}

// A file name is shown as it is named, on one line: cut before its extension
// (as names are wherever they lack room) rather than wrapped into lines the box
// has no height for.
MarkupLine MovieRenderer::NameLine(HDC hdc, const std::string& name, const TextStyle& style,
                                   int width) {
    const RunStyle run = RunStyleOf(style);
    HGDIOBJ old = SelectObject(hdc, Font(run));
    const std::string shown = EllipsizeName(hdc, DisplayText(name), width);
    SelectObject(hdc, old);
    return MarkupLine{style.align, run, {StyledRun{run, shown}}};
}

void MovieRenderer::DrawText(HDC hdc, const Item& key, const std::string& markup,
                             const TextStyle& style, const RECT& box, bool fileName) {
    const int width = box.right - box.left;
    CachedText& cached = texts_[&key];
    if (cached.block.lines.empty() || cached.markup != markup || cached.width != width) {
        cached.markup = markup;
        cached.width = width;
        cached.block = fileName ? LayoutText({NameLine(hdc, markup, style, width)}, width)
                                : LayoutText(ParseMarkup(markup, style), width);
    }
    const TextBlock& block = cached.block;
    RECT clip;
    if (GetClipBox(hdc, &clip) == ERROR) return;
    int top = box.top + VAlignOffset(style.valign, box.bottom - box.top, block.height);
    for (const PlacedLine& line : block.lines) {
        const int lineTop = top, baseline = top + line.ascent;
        top += line.ascent + line.descent;
        if (lineTop >= box.bottom || lineTop >= clip.bottom) break;
        if (top <= box.top || top <= clip.top) continue;
        const int left = box.left + AlignOffset(line.align, width, line.width);
        for (const PlacedRun& run : line.runs) {
            HGDIOBJ old = SelectObject(hdc, Font(run.style));
            SetTextColor(hdc, run.style.color);
            ExtTextOut(hdc, left + run.x, baseline, ETO_CLIPPED, &box, run.text.c_str(),
                       static_cast<UINT>(run.text.size()), nullptr);
            SelectObject(hdc, old);
        }
    }
}

void MovieRenderer::DrawSlider(HDC hdc, const SliderItem& slider, const RECT& box, int value) {
    const SliderGeometry g = SliderLayout(box, slider, value);
    const LONG trackHeight = g.track.bottom - g.track.top;
    DrawRectangle(hdc, g.track, slider.track, std::nullopt, 1, trackHeight / 2);
    const LONG knobWidth = g.knob.right - g.knob.left;
    DrawRectangle(hdc, g.knob, slider.knob, std::nullopt, 1, std::min<LONG>(3, knobWidth / 2));
}

}  // namespace player
