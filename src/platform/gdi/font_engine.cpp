#include "font_engine.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <tuple>
#include <unordered_map>

#include "font_rules.h"

namespace gdi {
namespace {

// Pixel sizes are kept sane whatever a caller asks for.
constexpr LONG kMaxPixelSize = 512;
constexpr LONG kDefaultCellHeight = 16;

LONG Round(double v) {
    return static_cast<LONG>(std::floor(v + 0.5));
}

struct FaceRef {
    std::string file;
    int index = 0;
    FcCharSet* charset = nullptr;  // owned by the font set
    // A bold or italic request that found only an upright regular face is
    // drawn with synthetic emboldening or slant.
    bool embolden = false;
    bool slant = false;
};

// One font file opened at one pixel size, with its glyph cache.
class SizedFace {
public:
    SizedFace(FT_Library library, const FaceRef& ref, LONG ppem)
        : embolden_(ref.embolden), slant_(ref.slant) {
        if (FT_New_Face(library, ref.file.c_str(), ref.index, &face_) != 0) {
            face_ = nullptr;
            return;
        }
        FT_Select_Charmap(face_, FT_ENCODING_UNICODE);
        FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(ppem));
    }
    ~SizedFace() {
        if (face_) FT_Done_Face(face_);
    }
    SizedFace(const SizedFace&) = delete;
    SizedFace& operator=(const SizedFace&) = delete;

    bool Ok() const { return face_ != nullptr; }
    FT_Face Face() const { return face_; }
    bool Has(char32_t c) const { return face_ && FT_Get_Char_Index(face_, c) != 0; }

    const GlyphImage& Glyph(char32_t c) {
        auto it = glyphs_.find(c);
        if (it != glyphs_.end()) return it->second;
        return glyphs_.emplace(c, Render(FT_Get_Char_Index(face_, c))).first->second;
    }

private:
    GlyphImage Render(FT_UInt index) {
        GlyphImage g;
        if (FT_Load_Glyph(face_, index, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) != 0) return g;
        FT_GlyphSlot slot = face_->glyph;
        if (slant_) FT_GlyphSlot_Oblique(slot);
        if (embolden_) FT_GlyphSlot_Embolden(slot);
        if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return g;
        const FT_Bitmap& bm = slot->bitmap;
        g.advance = static_cast<LONG>((slot->advance.x + 32) >> 6);
        g.left = slot->bitmap_left;
        g.top = slot->bitmap_top;
        if (bm.pixel_mode != FT_PIXEL_MODE_GRAY) return g;
        g.width = static_cast<LONG>(bm.width);
        g.rows = static_cast<LONG>(bm.rows);
        g.coverage.resize(static_cast<std::size_t>(g.width) * g.rows);
        for (LONG y = 0; y < g.rows; ++y) {
            const BYTE* src = bm.buffer + static_cast<std::ptrdiff_t>(y) * bm.pitch;
            std::memcpy(g.coverage.data() + static_cast<std::size_t>(y) * g.width, src,
                        static_cast<std::size_t>(g.width));
        }
        return g;
    }

    FT_Face face_ = nullptr;
    bool embolden_;
    bool slant_;
    std::unordered_map<char32_t, GlyphImage> glyphs_;
};

FontMetrics MeasureFace(FT_Face face, LONG ppem) {
    const double scale = static_cast<double>(ppem) / face->units_per_EM;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    const double ascent = os2 && os2->usWinAscent ? os2->usWinAscent : face->ascender;
    const double descent = os2 && os2->usWinDescent ? os2->usWinDescent : -face->descender;
    FontMetrics m;
    m.height = Round((ascent + descent) * scale);
    m.ascent = Round(ascent * scale);
    m.descent = m.height - m.ascent;
    m.internalLeading = m.height - ppem;
    const double hheaHeight = static_cast<double>(face->ascender) - face->descender;
    const double gap = face->height - hheaHeight - ((ascent + descent) - hheaHeight);
    m.externalLeading = std::max<LONG>(0, Round(gap * scale));
    m.aveCharWidth = Round((os2 ? os2->xAvgCharWidth : face->max_advance_width / 2) * scale);
    m.maxCharWidth = Round(face->max_advance_width * scale);
    m.underlinePosition = std::max<LONG>(1, Round(-face->underline_position * scale));
    m.underlineThickness = std::max<LONG>(1, Round(face->underline_thickness * scale));
    m.strikeoutPosition = Round((os2 ? os2->yStrikeoutPosition : ascent / 3) * scale);
    return m;
}

class Font final : public ScaledFont {
public:
    Font(FT_Library library, const LOGFONT& request, std::vector<FaceRef> faces, std::string family)
        : library_(library),
          request_(request),
          faces_(std::move(faces)),
          family_(std::move(family)) {
        sized_.resize(faces_.size());
        SizedFace probe(library, faces_.front(), 64);
        ppem_ = PixelSize(probe.Face());
        SizedFace& primary = Face(0);
        if (primary.Ok()) metrics_ = MeasureFace(primary.Face(), ppem_);
    }

    bool Ok() { return Face(0).Ok(); }
    const FontMetrics& Metrics() const override { return metrics_; }
    const LOGFONT& Request() const override { return request_; }
    const std::string& Family() const override { return family_; }

    const GlyphImage& Glyph(char32_t c) override {
        for (std::size_t i = 0; i < faces_.size(); ++i) {
            if (i > 0 && (!faces_[i].charset || !FcCharSetHasChar(faces_[i].charset, c))) continue;
            SizedFace& face = Face(i);
            if (face.Has(c)) return face.Glyph(c);
        }
        return Face(0).Glyph(c);
    }

private:
    // A negative height is the em size; a positive one the cell height
    // (ascent + descent), as in GDI.
    LONG PixelSize(FT_Face face) const {
        LONG h = request_.lfHeight;
        if (h < 0) return std::clamp<LONG>(h == INT32_MIN ? kMaxPixelSize : -h, 1, kMaxPixelSize);
        if (h == 0) h = kDefaultCellHeight;
        if (!face) return std::clamp<LONG>(h, 1, kMaxPixelSize);
        const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        const double cell = os2 && os2->usWinAscent
                                ? static_cast<double>(os2->usWinAscent) + os2->usWinDescent
                                : static_cast<double>(face->ascender) - face->descender;
        return std::clamp<LONG>(Round(h * face->units_per_EM / cell), 1, kMaxPixelSize);
    }

    SizedFace& Face(std::size_t i) {
        if (!sized_[i]) sized_[i] = std::make_unique<SizedFace>(library_, faces_[i], ppem_);
        return *sized_[i];
    }

    FT_Library library_;
    LOGFONT request_;
    std::vector<FaceRef> faces_;
    std::vector<std::unique_ptr<SizedFace>> sized_;
    std::string family_;
    LONG ppem_ = 1;
    FontMetrics metrics_;
};

class Engine {
public:
    Engine() {
        if (FT_Init_FreeType(&library_) != 0) library_ = nullptr;
        config_ = FcInitLoadConfigAndFonts();
        if (config_)
            FcConfigParseAndLoadFromMemory(
                config_, reinterpret_cast<const FcChar8*>(kOstrelFontRules), FcTrue);
    }
    ~Engine() {
        fonts_.clear();
        for (FcFontSet* set : sets_)
            FcFontSetDestroy(set);
        if (config_) FcConfigDestroy(config_);
        if (library_) FT_Done_FreeType(library_);
    }

    std::mutex mutex;

    ScaledFont* Resolve(const LOGFONT& request) {
        if (!library_ || !config_) return nullptr;
        const auto key = Key(request);
        auto it = fonts_.find(key);
        if (it != fonts_.end()) return it->second.get();
        std::unique_ptr<Font> font = Build(request);
        if (!font) return nullptr;
        return fonts_.emplace(key, std::move(font)).first->second.get();
    }

private:
    using FontKey = std::tuple<std::string, LONG, LONG, bool, bool, bool>;

    static FontKey Key(const LOGFONT& f) {
        const std::string face(f.lfFaceName, strnlen(f.lfFaceName, LF_FACESIZE));
        return {
            face, f.lfHeight, f.lfWeight, f.lfItalic != 0, f.lfUnderline != 0, f.lfStrikeOut != 0};
    }

    std::unique_ptr<Font> Build(const LOGFONT& request) {
        FcPattern* pattern = FcPatternCreate();
        const std::string face(request.lfFaceName, strnlen(request.lfFaceName, LF_FACESIZE));
        FcPatternAddString(
            pattern, FC_FAMILY,
            reinterpret_cast<const FcChar8*>(face.empty() ? "sans-serif" : face.c_str()));
        const LONG weight = request.lfWeight > 0 ? std::min<LONG>(request.lfWeight, 1000) : 400;
        FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
        FcPatternAddInteger(pattern, FC_SLANT, request.lfItalic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
        FcConfigSubstitute(config_, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result;
        FcFontSet* set = FcFontSort(config_, pattern, FcTrue, nullptr, &result);
        FcPatternDestroy(pattern);
        if (!set) return nullptr;
        sets_.push_back(set);
        std::vector<FaceRef> faces;
        for (int i = 0; i < set->nfont; ++i) {
            FcChar8* file = nullptr;
            if (FcPatternGetString(set->fonts[i], FC_FILE, 0, &file) != FcResultMatch) continue;
            FaceRef ref;
            ref.file = reinterpret_cast<const char*>(file);
            FcPatternGetInteger(set->fonts[i], FC_INDEX, 0, &ref.index);
            FcPatternGetCharSet(set->fonts[i], FC_CHARSET, 0, &ref.charset);
            int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
            FcPatternGetInteger(set->fonts[i], FC_WEIGHT, 0, &weight);
            FcPatternGetInteger(set->fonts[i], FC_SLANT, 0, &slant);
            ref.embolden = request.lfWeight >= FW_SEMIBOLD && weight < FC_WEIGHT_DEMIBOLD;
            ref.slant = request.lfItalic && slant == FC_SLANT_ROMAN;
            faces.push_back(std::move(ref));
        }
        if (faces.empty()) return nullptr;
        return MakeFont(request, set, std::move(faces));
    }

    std::unique_ptr<Font> MakeFont(const LOGFONT& request, FcFontSet* set,
                                   std::vector<FaceRef> faces) {
        FcChar8* family = nullptr;
        FcPatternGetString(set->fonts[0], FC_FAMILY, 0, &family);
        auto font = std::make_unique<Font>(library_, request, std::move(faces),
                                           family ? reinterpret_cast<const char*>(family) : "");
        if (!font->Ok()) return nullptr;
        return font;
    }

    FT_Library library_ = nullptr;
    FcConfig* config_ = nullptr;
    std::vector<FcFontSet*> sets_;
    std::map<FontKey, std::unique_ptr<Font>> fonts_;
};

Engine& TheEngine() {
    static Engine engine;
    return engine;
}

}  // namespace

std::unique_lock<std::mutex> FontLock() {
    return std::unique_lock<std::mutex>(TheEngine().mutex);
}

ScaledFont* ResolveFont(const LOGFONT& request) {
    return TheEngine().Resolve(request);
}

}  // namespace gdi
