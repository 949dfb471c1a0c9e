// PxImage: the raster image. One DIB block (info header, palette, bottom-up rows
// with a 4-byte stride), an info record with the file-level facts, and optional
// alpha channel and selection mask. Row 0 is the bottom row of the picture.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>

#include "platform/base/global_memory.h"
#include "platform/base/resources.h"
#include "platform/base/win_types.h"
#include "platform/gdi/gdi_types.h"
#include "px_load_options.h"

// Image type codes. The caller always names the type; nothing is guessed.
enum ImageType : DWORD {
    PX_FORMAT_UNKNOWN = 0,
    PX_FORMAT_BMP = 1,
    PX_FORMAT_GIF = 2,
    PX_FORMAT_JPG = 3,
    PX_FORMAT_PNG = 4,
    PX_FORMAT_WEBP = 5,
    PX_FORMAT_HEIF = 6,  // HEIF, HEIC and AVIF
    PX_FORMAT_TIFF = 7,
};

struct rgb_color {
    BYTE r, g, b;
};

// Largest picture Create accepts: 2^28 pixels (about 268 megapixels), and a DIB
// block whose size fits the signed 32-bit GetSize.
constexpr std::uint64_t kPxMaxPixels = std::uint64_t{1} << 28;

class PxImage;
class PxFile;

struct PxImageInfo {
    DWORD effWidth;
    BYTE* bits;
    PxImage* ghostOf;
    DWORD type;
    char lastError[256];
    LONG progress;
    LONG escape;
    LONG transIndex;
    RGBQUAD transColor;
    BYTE jpegQuality;
    LONG frame;
    LONG numFrames;
    DWORD frameDelay;
    LONG xDpi;
    LONG yDpi;
    RECT selectionBox;
    BYTE alphaMax;
    bool alphaPaletteEnabled;
    bool enabled;
    LONG xOffset;
    LONG yOffset;
};

class PxImage {
public:
    explicit PxImage(DWORD imageType = 0);
    PxImage(DWORD width, DWORD height, DWORD bpp, DWORD imageType = 0);
    PxImage(const PxImage& src, bool copyPixels = true, bool copySelection = true,
            bool copyAlpha = true);
    PxImage(const char* fileName, DWORD imageType);
    PxImage(std::FILE* stream, DWORD imageType);
    PxImage(PxFile* stream, DWORD imageType);
    PxImage(BYTE* buffer, DWORD size, DWORD imageType);
    PxImage& operator=(const PxImage& src);
    virtual ~PxImage();

    // Codec dispatch: the caller always names the type; nothing is guessed.
    bool Decode(PxFile* stream, DWORD imageType);
    bool Decode(std::FILE* stream, DWORD imageType);
    bool Decode(BYTE* buffer, DWORD size, DWORD imageType);
    bool Load(const char* fileName, DWORD imageType = 0, bool quiet = false);
    // With options (upright, sRGB, by contents, reduced); after success GetType()
    // names the format that was actually read.
    bool Decode(PxFile* stream, DWORD imageType, const PxLoadOptions& options);
    bool Load(const char* fileName, DWORD imageType, bool quiet, const PxLoadOptions& options);
    bool Load(const wchar_t* fileName, DWORD imageType = 0);
    bool LoadResource(HRSRC resource, DWORD imageType, HMODULE module = nullptr);
    bool Encode(PxFile* stream, DWORD imageType);
    bool Encode(std::FILE* stream, DWORD imageType);
    // Only into a null buffer: on success it holds the file (free it with std::free).
    bool Encode(BYTE*& buffer, LONG& size, DWORD imageType);
    bool Save(const char* fileName, DWORD imageType);
    bool Save(const wchar_t* fileName, DWORD imageType);
    // Several pictures as one file; only GIF can hold them.
    bool Encode(PxFile* stream, PxImage** images, int count, DWORD imageType);
    bool Encode(std::FILE* stream, PxImage** images, int count, DWORD imageType);

    // Lifetime
    BYTE* Create(DWORD width, DWORD height, LONG bpp, LONG imageType = 0);
    bool Destroy();
    bool Copy(const PxImage& src, bool copyPixels = true, bool copySelection = true,
              bool copyAlpha = true);
    bool Transfer(PxImage& from);
    void Clear(BYTE fill = 0);
    HANDLE CopyToHandle() const;
    bool CreateFromHANDLE(HANDLE handle);
    static const char* GetVersion();

    // Geometry and fields
    bool IsValid() const { return dib != nullptr; }
    bool IsInside(LONG x, LONG y) const;
    LONG GetSize() const;
    BYTE* GetDIB() const { return dib; }
    BYTE* GetBits() const { return dib ? info.bits : nullptr; }
    DWORD GetWidth() const { return static_cast<DWORD>(header.biWidth); }
    DWORD GetHeight() const { return static_cast<DWORD>(header.biHeight); }
    WORD GetBpp() const { return header.biBitCount; }
    DWORD GetNumColors() const { return header.biClrUsed; }
    bool IsIndexed() const { return header.biClrUsed != 0; }
    bool HasAlpha() const { return alpha != nullptr; }
    bool HasSelection() const { return selection != nullptr; }
    DWORD GetEffWidth() const { return info.effWidth; }
    DWORD GetType() const { return info.type; }
    void SetType(DWORD type) { info.type = type; }
    const char* GetLastError() const { return info.lastError; }
    LONG GetProgress() const { return info.progress; }
    void SetProgress(LONG progress) { info.progress = progress; }
    LONG GetEscape() const { return info.escape; }
    void SetEscape(LONG escape) { info.escape = escape; }
    LONG GetTransIndex() const { return info.transIndex; }
    void SetTransIndex(LONG index) { info.transIndex = index; }
    bool IsTransparent() const { return info.transIndex >= 0; }
    RGBQUAD GetTransColor() const;
    void SetTransColor(RGBQUAD color) { info.transColor = color; }
    BYTE GetJpegQuality() const { return info.jpegQuality; }
    void SetJpegQuality(BYTE quality) { info.jpegQuality = quality; }
    LONG GetFrame() const { return info.frame; }
    void SetFrame(LONG frame) { info.frame = frame; }
    LONG GetNumFrames() const { return info.numFrames; }
    void SetNumFrames(LONG count) { info.numFrames = count; }
    DWORD GetFrameDelay() const { return info.frameDelay; }
    void SetFrameDelay(DWORD delay) { info.frameDelay = delay; }
    LONG GetXDPI() const { return info.xDpi; }
    LONG GetYDPI() const { return info.yDpi; }
    void SetXDPI(LONG dpi);
    void SetYDPI(LONG dpi);
    void GetSelectionBox(RECT& box) const { box = info.selectionBox; }
    BYTE AlphaGetMax() const { return info.alphaMax; }
    void AlphaSetMax(BYTE max) { info.alphaMax = max; }
    void AlphaPaletteEnable(bool enable = true) { info.alphaPaletteEnabled = enable; }
    bool IsAlphaPaletteEnabled() const { return info.alphaPaletteEnabled; }
    void Enable(bool enable = true) { info.enabled = enable; }
    bool IsEnabled() const { return info.enabled; }
    void GetOffset(LONG* x, LONG* y) const;
    void SetOffset(LONG x, LONG y);

    // Palette
    DWORD GetPaletteSize() const;
    RGBQUAD* GetPalette() const;
    RGBQUAD GetPaletteColor(BYTE index) const;
    void SetPaletteIndex(BYTE index, BYTE r, BYTE g, BYTE b, BYTE alpha = 0);
    void SetPaletteIndex(BYTE index, RGBQUAD color);
    void SetPaletteIndex(BYTE index, COLORREF color);
    void SetPalette(const RGBQUAD* palette, DWORD count = 256);
    void SetPalette(DWORD count, const BYTE* red, const BYTE* green = nullptr,
                    const BYTE* blue = nullptr);
    void SetPalette(const rgb_color* rgb, DWORD count = 256);
    bool GetRGB(int index, BYTE* r, BYTE* g, BYTE* b) const;
    void SetGrayPalette();
    void BlendPalette(COLORREF color, LONG percent);
    bool IsGrayScale() const;
    bool SwapIndex(BYTE a, BYTE b);

    // Pixels
    BYTE GetPixelIndex(LONG x, LONG y) const;
    void SetPixelIndex(LONG x, LONG y, BYTE index);
    RGBQUAD GetPixelColor(LONG x, LONG y) const;
    void SetPixelColor(LONG x, LONG y, RGBQUAD color);
    void SetPixelColor(LONG x, LONG y, COLORREF color);
    BYTE GetNearestIndex(RGBQUAD color) const;
    static RGBQUAD RGBtoRGBQUAD(COLORREF color);
    static COLORREF RGBQUADtoRGB(RGBQUAD color);
    BYTE GetColorType() const;

    // Alpha channel
    bool AlphaCreate();
    void AlphaDelete();
    void AlphaClear();
    void AlphaSet(BYTE level);
    void AlphaSet(LONG x, LONG y, BYTE level);
    BYTE AlphaGet(LONG x, LONG y) const;
    void AlphaInvert();
    bool AlphaCopy(const PxImage& from);
    bool AlphaFlip();
    bool AlphaMirror();
    bool AlphaSplit(PxImage* dest) const;
    bool AlphaStrip();
    void AlphaPaletteClear();
    bool HasAlphaPalette() const;

    // Selection mask
    bool SelectionCreate();
    bool SelectionDelete();
    bool SelectionClear();
    bool SelectionInvert();
    bool SelectionCopy(const PxImage& from);
    bool SelectionAddRect(RECT rect);
    bool SelectionAddEllipse(RECT rect);
    bool SelectionAddPolygon(const POINT* points, LONG count);
    bool IsInsideSelection(LONG x, LONG y) const;

    // ---- Geometry, colour depth, colour operations and effects ----
    // Each builds its result in a temporary image and moves it in with Transfer.

    // Geometric transforms
    // With a target the result goes there and this picture stays as it is.
    bool Resample(LONG newWidth, LONG newHeight, int mode = 1, PxImage* target = nullptr);
    bool RotateLeft(PxImage* target = nullptr);
    bool RotateRight(PxImage* target = nullptr);
    bool Mirror();
    bool Flip();
    // Turns a picture stored with EXIF orientation 2 to 8 upright; 1 and anything
    // out of range leave it as it is.
    bool TurnUpright(int orientation);
    bool Crop(LONG left, LONG top, LONG right, LONG bottom, PxImage* target = nullptr);
    bool Crop(const RECT& rect, PxImage* target = nullptr);
    // The very picture Crop(rect) followed by Resample(newWidth, newHeight, 0) gives.
    // A 24 bpp part that shrinks both ways is averaged straight from this picture,
    // without the copy of the part.
    bool CropResampled(const RECT& rect, LONG newWidth, LONG newHeight, PxImage* target = nullptr);

    // Colour depth and palettes
    bool DecreaseBpp(DWORD bpp, bool errorDiffusion, const RGBQUAD* palette = nullptr);
    bool IncreaseBpp(DWORD bpp);
    void SetStdPalette();

    // Colour operations
    bool Light(LONG brightness, LONG contrast = 100);
    bool Colorize(BYTE hue, BYTE saturation);
    // HSL travels in an RGBQUAD: red = hue, green = saturation, blue = lightness.
    static RGBQUAD RGBtoHSL(RGBQUAD color);
    static RGBQUAD HSLtoRGB(RGBQUAD color);
    static RGBQUAD HSLtoRGB(COLORREF color);
    // The other colour spaces travel the same way: red, green, blue carry the
    // first, second and third component (Y U V, Y I Q, X Y Z), each 0..255.
    static RGBQUAD RGBtoYUV(RGBQUAD color);
    static RGBQUAD YUVtoRGB(RGBQUAD color);
    static RGBQUAD RGBtoYIQ(RGBQUAD color);
    static RGBQUAD YIQtoRGB(RGBQUAD color);
    static RGBQUAD RGBtoXYZ(RGBQUAD color);
    static RGBQUAD XYZtoRGB(RGBQUAD color);

    // Channels and effects
    bool SplitRGB(PxImage* red, PxImage* green, PxImage* blue) const;
    bool SplitHSL(PxImage* hue, PxImage* saturation, PxImage* lightness) const;
    bool SplitYUV(PxImage* y, PxImage* u, PxImage* v) const;
    bool SplitYIQ(PxImage* y, PxImage* i, PxImage* q) const;
    bool SplitXYZ(PxImage* x, PxImage* y, PxImage* z) const;
    bool Combine(PxImage* first, PxImage* second, PxImage* third, PxImage* alphaImage = nullptr,
                 LONG colorSpace = 0);
    bool Repair(float strength = 0.25f, LONG passes = 1, LONG colorSpace = 0);
    bool MidMix(PxImage* other, double amount);
    bool ImplodeExplode(double exponent);
    bool Swirl(double twist);
    bool Wave(double amplitude, double period);

    // ---- Drawing on device contexts and device bitmaps (px_image_draw*.cpp) ----
    // Draws into (x, y, cx, cy), negative sizes meaning the picture's own, honouring
    // the transparent colour, the alpha channel and palette alpha by blending over
    // what the device shows; nearest neighbour when scaled; limited to clip when
    // given, the device's clip region being restored afterwards. 1 when drawn.
    LONG Draw(HDC hdc, LONG x = 0, LONG y = 0, LONG cx = -1, LONG cy = -1,
              const RECT* clip = nullptr) const;
    LONG Draw(HDC hdc, const RECT& rect, const RECT* clip = nullptr) const;
    // The whole picture scaled into the rectangle, colour on colour, no transparency.
    LONG Stretch(HDC hdc, LONG x, LONG y, LONG cx, LONG cy) const;
    LONG Stretch(HDC hdc, const RECT& rect) const;
    // A device bitmap of the picture (the caller deletes it); null when invalid.
    HBITMAP MakeBitmap(HDC hdc = nullptr) const;
    bool CreateFromHBITMAP(HBITMAP bitmap);
    // Repeats the picture, unscaled, over the rectangle from its top-left corner.
    LONG Tile(HDC hdc, const RECT* rect) const;
    // Draws through a monochrome mask of the transparent colour (no blending).
    LONG Draw2(HDC hdc, LONG x = 0, LONG y = 0, LONG cx = -1, LONG cy = -1) const;
    LONG Draw2(HDC hdc, const RECT& rect) const;

protected:
    void Startup(DWORD imageType);
    void Ghost(PxImage* from);
    void CopyInfo(const PxImage& src);
    void RGBtoBGR(BYTE* buffer, LONG length) const;
    void Bitfield2RGB(const BYTE* src, WORD redMask, WORD greenMask, WORD blueMask, BYTE bpp);
    // Copies text into lastError, cut to 255 bytes.
    void SetLastErrorText(const char* text);
    // Writes `header` into the block's first 40 bytes.
    void SyncDibHeader();
    static LONG DpiFromPelsPerMeter(LONG pelsPerMeter);
    // Turns a top-down picture the right way up (rows only).
    void ReverseRows();
    // Row y (0 = bottom) of a valid image; the caller keeps 0 <= y < height.
    BYTE* RowAt(LONG y) const { return info.bits + static_cast<std::size_t>(y) * info.effWidth; }

    // ---- Geometry, colour depth, colour operations and effects (helpers) ----
    bool RepairChannel(PxImage* channel, float strength);

    BYTE* dib;
    BITMAPINFOHEADER header;
    PxImageInfo info;
    BYTE* selection;
    BYTE* alpha;

private:
    friend class PxImageDrawer;

    std::size_t PixelCount() const;
    void ResetSelectionBox();
    void GrowSelectionBox(LONG x, LONG y);
    void SelectSpan(LONG y, LONG x0, LONG x1);
    bool ReplaceMask(BYTE*& mask, BYTE* fresh);
    bool LoadDibBlock(const BYTE* block, std::size_t size);
    template <class Codec>
    bool DecodeWith(Codec& codec, PxFile* stream, const PxLoadOptions& options);
    bool EncodeToStream(PxFile* stream, DWORD imageType);

    // ---- Geometry, colour depth, colour operations and effects (helpers) ----
    void ResampleNearest(PxImage& result, float xs, float ys);
    void ResampleArea(PxImage& result, float xs, float ys) const;
    // Rows counted as stored (bottom row first), as Crop cuts them.
    struct PxPart {
        LONG left, firstRow, width, rows;
    };
    void ResampleArea(PxImage& result, const PxPart& part, float xs, float ys) const;
    // The part of the picture Crop cuts for rect; none when it is empty.
    std::optional<PxPart> CropPart(LONG left, LONG top, LONG right, LONG bottom) const;
    void ResampleBilinear(PxImage& result, float xs, float ys);
    bool Rotate90(PxImage* target, bool left);
    void DiffuseError(LONG x, LONG y, int weight, const int error[3]);
    bool SplitChannels(PxImage* first, PxImage* second, PxImage* third,
                       RGBQUAD (*convert)(RGBQUAD)) const;
    // The selection box clamped to the picture (the whole picture without a mask).
    RECT SelectedArea() const;
    // Rewrites every selected pixel with map(colour), bottom row of the box first.
    template <class Map>
    void MapSelectedPixels(Map map) {
        const RECT area = SelectedArea();
        for (LONG y = area.bottom; y < area.top; ++y) {
            for (LONG x = area.left; x < area.right; ++x) {
                if (IsInsideSelection(x, y)) SetPixelColor(x, y, map(GetPixelColor(x, y)));
            }
        }
    }
};
