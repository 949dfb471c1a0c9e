// The objects behind GDI handles and the table that maps handles to them.
// A handle is the object's address, but it is only ever used as a key: a
// stale or foreign handle finds nothing, and a DC keeps the objects selected
// into it alive, so deleting one while selected never leaves a dangling pointer.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "gdi_types.h"
#include "region.h"
#include "surface.h"

// Clamps a coordinate computed in 64 bits to the range GDI coordinates live in.
LONG SaturateCoordinate(std::int64_t v);

enum class ObjectKind { Brush, Pen, Region, Bitmap, Font, DC };

struct GdiObject {
    virtual ~GdiObject() = default;
    virtual ObjectKind Kind() const = 0;
    bool stock = false;
};

struct BrushObject final : GdiObject {
    ObjectKind Kind() const override { return ObjectKind::Brush; }
    UINT style = BS_SOLID;
    COLORREF color = 0;
    int hatch = 0;
};

struct PenObject final : GdiObject {
    ObjectKind Kind() const override { return ObjectKind::Pen; }
    int style = PS_SOLID;
    COLORREF color = 0;
};

struct RegionObject final : GdiObject {
    ObjectKind Kind() const override { return ObjectKind::Region; }
    Region region;
};

struct BitmapObject final : GdiObject {
    ObjectKind Kind() const override { return ObjectKind::Bitmap; }
    SurfacePtr surface;
    // What GetObject reports: 1 for monochrome, 24 otherwise.
    WORD bitsPerPixel = 24;
    bool dibSection = false;
};

struct FontObject final : GdiObject {
    ObjectKind Kind() const override { return ObjectKind::Font; }
    LOGFONT logfont{};
};

// Drawing state of a device context. Coordinates given to drawing calls are
// logical: device = logical - windowOrg + viewportOrg. The clip region is kept
// in device coordinates; none means the whole surface.
struct DeviceContext final : GdiObject {
    ObjectKind Kind() const override { return ObjectKind::DC; }
    SurfacePtr surface;
    bool memory = false;
    std::shared_ptr<BitmapObject> bitmap;
    std::shared_ptr<BrushObject> brush;
    std::shared_ptr<PenObject> pen;
    std::shared_ptr<FontObject> font;
    std::optional<Region> clip;
    POINT windowOrg{0, 0};
    POINT viewportOrg{0, 0};
    POINT brushOrg{0, 0};
    int rop2 = R2_COPYPEN;
    int bkMode = OPAQUE;
    COLORREF bkColor = RGB(255, 255, 255);
    COLORREF textColor = RGB(0, 0, 0);
    UINT textAlign = TA_LEFT | TA_TOP;
    int stretchMode = BLACKONWHITE;

    // Results saturate at the coordinate limits rather than wrap.
    POINT ToDevice(LONG x, LONG y) const;
    RECT ToDevice(const RECT& r) const;
    RECT ToLogical(const RECT& r) const;
    // Surface bounds cut by the clip region: every pixel drawing may touch.
    Region Visible() const;
    bool IsVisible(LONG x, LONG y) const {
        return surface && x >= 0 && y >= 0 && x < surface->Width() && y < surface->Height() &&
               (!clip || clip->Contains(x, y));
    }
    // The visible pixels of a device rectangle.
    Region VisibleIn(const RECT& deviceRect) const;
};

namespace gdi {

// Registers an object and returns its handle.
void* Register(std::shared_ptr<GdiObject> object);
// The object of a handle, or null for an unknown handle or another kind.
std::shared_ptr<GdiObject> Find(const void* handle);
// Removes a handle; false for unknown handles and stock objects.
bool Unregister(const void* handle);

template <class T>
std::shared_ptr<T> Lookup(const void* handle) {
    std::shared_ptr<GdiObject> object = Find(handle);
    return std::dynamic_pointer_cast<T>(object);
}

inline std::shared_ptr<DeviceContext> LookupDC(HDC hdc) {
    return Lookup<DeviceContext>(hdc);
}

// The stock object of an index, created on first use (null for an unknown index).
std::shared_ptr<GdiObject> Stock(int index);
// The 1 x 1 monochrome bitmap a fresh memory DC holds.
std::shared_ptr<BitmapObject> StockBitmap();

}  // namespace gdi
