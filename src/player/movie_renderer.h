// Drawing the stage of a playing movie onto a DC with the software GDI. Fonts
// and text layouts are kept between frames: a text is laid out again only when
// what it shows changes.
#pragma once

#include <map>
#include <string>
#include <tuple>

#include "movie_playback.h"
#include "movie_pointer.h"
#include "platform/gdi/gdi_types.h"
#include "text_block.h"

namespace player {

class MovieRenderer {
public:
    MovieRenderer() = default;
    ~MovieRenderer();
    MovieRenderer(const MovieRenderer&) = delete;
    MovieRenderer& operator=(const MovieRenderer&) = delete;

    // Fills `client` with the stage's background and draws every item of the
    // stage at its stage position (no scaling). `hover` gets its hilite.
    void Draw(HDC hdc, const RECT& client, const MoviePlayback& playback,
              const PointerTarget& hover);
    // Forgets the layouts (the movie they belong to is gone).
    void Reset() { texts_.clear(); }

private:
    void DrawItem(HDC hdc, const MoviePlayback& playback, const ClipInstance& instance,
                  POINT origin, const Item& item, const PointerTarget& hover);
    void DrawText(HDC hdc, const Item& key, const std::string& markup, const TextStyle& style,
                  const RECT& box, bool fileName);
    MarkupLine NameLine(HDC hdc, const std::string& name, const TextStyle& style, int width);
    void DrawSlider(HDC hdc, const SliderItem& slider, const RECT& box, int value);
    HFONT Font(const RunStyle& style);

    struct CachedText {
        std::string markup;
        int width = 0;
        TextBlock block;
    };
    std::map<const Item*, CachedText> texts_;
    std::map<std::tuple<std::string, int, bool>, HFONT> fonts_;
};

}  // namespace player
