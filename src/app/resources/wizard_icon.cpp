#include "wizard_icon.h"

#include "imaging/px_encode_bytes.h"

namespace {

constexpr LONG kSize = 32;

// Perforation: round notches every 4 pixels along each edge.
bool Notched(LONG x, LONG y) {
    auto notch = [](LONG along, LONG across) {
        const LONG dx = along % 4 - 2, dy = across;
        return dx * dx + dy * dy <= 2;
    };
    return notch(x, y) || notch(x, kSize - 1 - y) || notch(y, x) || notch(y, kSize - 1 - x);
}

RGBQUAD Landscape(LONG x, LONG y) {  // y counts from the top
    const LONG sunX = 21 - x, sunY = 10 - y;
    if (sunX * sunX + sunY * sunY <= 9) return RGBQUAD{40, 200, 250, 0};  // sun
    const LONG hill = 20 + (x - 16) * (x - 16) / 24;
    if (y >= hill) return RGBQUAD{60, 160, 70, 0};  // hill
    return RGBQUAD{235, 190, 120, 0};               // sky
}

std::vector<BYTE> Draw() {
    PxImage icon(kSize, kSize, 24, PX_FORMAT_PNG);
    icon.AlphaCreate();
    for (LONG y = 0; y < kSize; ++y) {
        for (LONG x = 0; x < kSize; ++x) {
            const LONG row = kSize - 1 - y;  // picture rows count from the bottom
            const bool inner = x >= 5 && x < kSize - 5 && y >= 5 && y < kSize - 5;
            icon.SetPixelColor(x, row, inner ? Landscape(x, y) : RGBQUAD{250, 250, 250, 0});
            icon.AlphaSet(x, row, Notched(x, y) ? 0 : 255);
        }
    }
    return EncodeToBytes(icon, PX_FORMAT_PNG);
}

}  // namespace

const std::vector<BYTE>& WizardIconPng() {
    static const std::vector<BYTE> png = Draw();
    return png;
}

HICON WindowIconFromImage(const PxImage& image) {
    if (!image.IsValid()) return nullptr;
    auto icon = std::make_shared<WindowIcon>();
    icon->width = static_cast<LONG>(image.GetWidth());
    icon->height = static_cast<LONG>(image.GetHeight());
    icon->rgba.reserve(static_cast<std::size_t>(icon->width) * icon->height * 4);
    for (LONG y = 0; y < icon->height; ++y) {
        const LONG row = icon->height - 1 - y;  // picture rows count from the bottom
        for (LONG x = 0; x < icon->width; ++x) {
            const RGBQUAD c = image.GetPixelColor(x, row);
            const BYTE alpha = image.HasAlpha() ? image.AlphaGet(x, row) : 255;
            icon->rgba.insert(icon->rgba.end(), {c.rgbRed, c.rgbGreen, c.rgbBlue, alpha});
        }
    }
    return icon;
}
