#include "gdi_objects.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_map>

namespace {

struct Table {
    std::mutex mutex;
    std::unordered_map<const void*, std::shared_ptr<GdiObject>> objects;
};

Table& table() {
    static Table t;
    return t;
}

std::shared_ptr<BrushObject> MakeBrush(UINT style, COLORREF color) {
    auto brush = std::make_shared<BrushObject>();
    brush->style = style;
    brush->color = color;
    return brush;
}

std::shared_ptr<PenObject> MakePen(int style, COLORREF color) {
    auto pen = std::make_shared<PenObject>();
    pen->style = style;
    pen->color = color;
    return pen;
}

std::shared_ptr<FontObject> MakeFont(LONG height, LONG weight, const char* face) {
    auto font = std::make_shared<FontObject>();
    font->logfont.lfHeight = height;
    font->logfont.lfWeight = weight;
    font->logfont.lfCharSet = DEFAULT_CHARSET;
    std::strncpy(font->logfont.lfFaceName, face, LF_FACESIZE - 1);
    return font;
}

std::shared_ptr<GdiObject> MakeStock(int index) {
    switch (index) {
        case WHITE_BRUSH:
            return MakeBrush(BS_SOLID, RGB(255, 255, 255));
        case LTGRAY_BRUSH:
            return MakeBrush(BS_SOLID, RGB(192, 192, 192));
        case GRAY_BRUSH:
            return MakeBrush(BS_SOLID, RGB(128, 128, 128));
        case DKGRAY_BRUSH:
            return MakeBrush(BS_SOLID, RGB(64, 64, 64));
        case BLACK_BRUSH:
            return MakeBrush(BS_SOLID, RGB(0, 0, 0));
        case NULL_BRUSH:
            return MakeBrush(BS_NULL, 0);
        case WHITE_PEN:
            return MakePen(PS_SOLID, RGB(255, 255, 255));
        case BLACK_PEN:
            return MakePen(PS_SOLID, RGB(0, 0, 0));
        case NULL_PEN:
            return MakePen(PS_NULL, 0);
        case SYSTEM_FONT:
            return MakeFont(16, FW_BOLD, "System");
        case DEFAULT_GUI_FONT:
            return MakeFont(-11, FW_NORMAL, "MS Shell Dlg");
        default:
            return nullptr;
    }
}

}  // namespace

LONG SaturateCoordinate(std::int64_t v) {
    return static_cast<LONG>(std::clamp(v, -kRegionLimit, kRegionLimit));
}

POINT DeviceContext::ToDevice(LONG x, LONG y) const {
    return {SaturateCoordinate(std::int64_t{x} - windowOrg.x + viewportOrg.x),
            SaturateCoordinate(std::int64_t{y} - windowOrg.y + viewportOrg.y)};
}

RECT DeviceContext::ToDevice(const RECT& r) const {
    const POINT a = ToDevice(r.left, r.top);
    const POINT b = ToDevice(r.right, r.bottom);
    return {a.x, a.y, b.x, b.y};
}

RECT DeviceContext::ToLogical(const RECT& r) const {
    const std::int64_t dx = std::int64_t{windowOrg.x} - viewportOrg.x;
    const std::int64_t dy = std::int64_t{windowOrg.y} - viewportOrg.y;
    return {SaturateCoordinate(r.left + dx), SaturateCoordinate(r.top + dy),
            SaturateCoordinate(r.right + dx), SaturateCoordinate(r.bottom + dy)};
}

Region DeviceContext::Visible() const {
    const RECT bounds = surface ? surface->Bounds() : RECT{0, 0, 0, 0};
    return clip ? clip->Intersect(bounds) : Region(bounds);
}

Region DeviceContext::VisibleIn(const RECT& deviceRect) const {
    return Visible().Intersect(deviceRect);
}

namespace gdi {

void* Register(std::shared_ptr<GdiObject> object) {
    void* handle = object.get();
    Table& t = table();
    std::lock_guard lock(t.mutex);
    t.objects.emplace(handle, std::move(object));
    return handle;
}

std::shared_ptr<GdiObject> Find(const void* handle) {
    if (!handle) return nullptr;
    Table& t = table();
    std::lock_guard lock(t.mutex);
    auto it = t.objects.find(handle);
    return it == t.objects.end() ? nullptr : it->second;
}

bool Unregister(const void* handle) {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    auto it = t.objects.find(handle);
    if (it == t.objects.end() || it->second->stock) return false;
    t.objects.erase(it);
    return true;
}

std::shared_ptr<GdiObject> Stock(int index) {
    static std::mutex mutex;
    static std::unordered_map<int, std::shared_ptr<GdiObject>> stock;
    std::lock_guard lock(mutex);
    auto it = stock.find(index);
    if (it != stock.end()) return it->second;
    std::shared_ptr<GdiObject> object = MakeStock(index);
    if (!object) return nullptr;
    object->stock = true;
    Register(object);
    stock.emplace(index, object);
    return object;
}

std::shared_ptr<BitmapObject> StockBitmap() {
    static std::shared_ptr<BitmapObject> bitmap = [] {
        auto b = std::make_shared<BitmapObject>();
        b->surface = std::make_shared<Surface>(1, 1, false, true);
        b->bitsPerPixel = 1;
        b->stock = true;
        Register(b);
        return b;
    }();
    return bitmap;
}

}  // namespace gdi
