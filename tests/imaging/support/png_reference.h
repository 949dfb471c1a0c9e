// PNG files read and written with libpng called directly, so that the codec's
// results can be checked against something that does not share its code.
#pragma once

#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

// A file decoded to red, green, blue, alpha at its own depth (8 or 16), top row
// first, with the facts the codec's compositing depends on.
struct PngReference {
    int width = 0, height = 0;
    int colorType = 0, bitDepth = 0, channels = 0;
    int depth = 8;  // of the samples below
    bool hasBackground = false;
    std::uint16_t background[3] = {};  // at `depth`
    std::vector<std::uint16_t> rgba;
    int max() const { return (1 << depth) - 1; }
    const std::uint16_t* at(int x, int y) const {
        return &rgba[4 * (static_cast<std::size_t>(y) * width + x)];
    }
};

namespace png_reference_detail {

struct Input {
    const std::vector<unsigned char>* bytes;
    std::size_t at;
};

inline void ReadInput(png_structp png, png_bytep out, png_size_t n) {
    auto* in = static_cast<Input*>(png_get_io_ptr(png));
    if (in->at + n > in->bytes->size()) png_error(png, "short");
    std::memcpy(out, in->bytes->data() + in->at, n);
    in->at += n;
}

inline void Quiet(png_structp, png_const_charp) {}

// The file's bKGD colour at the sample depth the reference uses.
inline void ExpandBackground(png_structp png, png_infop info, PngReference& ref) {
    png_color_16p bg = nullptr;
    if (!png_get_bKGD(png, info, &bg) || !bg) return;
    ref.hasBackground = true;
    if (ref.colorType == PNG_COLOR_TYPE_PALETTE) {
        png_colorp palette = nullptr;
        int count = 0;
        png_get_PLTE(png, info, &palette, &count);
        ref.background[0] = palette[bg->index].red;
        ref.background[1] = palette[bg->index].green;
        ref.background[2] = palette[bg->index].blue;
    } else if (!(ref.colorType & PNG_COLOR_MASK_COLOR)) {
        const int scale = ref.bitDepth < 8 ? 255 / ((1 << ref.bitDepth) - 1) : 1;
        ref.background[0] = ref.background[1] = ref.background[2] =
            static_cast<std::uint16_t>(bg->gray * scale);
    } else {
        ref.background[0] = bg->red;
        ref.background[1] = bg->green;
        ref.background[2] = bg->blue;
    }
}

// Heap-held: a libpng error jumps over the frames that fill it.
struct Work {
    PngReference ref;
    std::vector<unsigned char> pixels;
    std::vector<png_bytep> rows;
    bool done = false;
};

inline void Decode(png_structp png, png_infop info, Work& work) {
    PngReference& ref = work.ref;
    png_read_info(png, info);
    ref.width = static_cast<int>(png_get_image_width(png, info));
    ref.height = static_cast<int>(png_get_image_height(png, info));
    ref.colorType = png_get_color_type(png, info);
    ref.bitDepth = png_get_bit_depth(png, info);
    ref.channels = png_get_channels(png, info);
    ref.depth = ref.bitDepth == 16 ? 16 : 8;
    ExpandBackground(png, info, ref);
    png_set_expand(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFFFF, PNG_FILLER_AFTER);
    if (png_get_interlace_type(png, info) != PNG_INTERLACE_NONE) png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const std::size_t rowBytes = png_get_rowbytes(png, info);
    std::vector<unsigned char>& pixels = work.pixels;
    pixels.resize(rowBytes * ref.height);
    work.rows.resize(ref.height);
    for (int y = 0; y < ref.height; ++y)
        work.rows[y] = pixels.data() + y * rowBytes;
    png_read_image(png, work.rows.data());
    ref.rgba.resize(static_cast<std::size_t>(ref.width) * ref.height * 4);
    for (std::size_t i = 0; i < ref.rgba.size(); ++i) {
        ref.rgba[i] = ref.depth == 16
                          ? static_cast<std::uint16_t>(pixels[2 * i] << 8 | pixels[2 * i + 1])
                          : pixels[i];
    }
    work.done = true;
}

}  // namespace png_reference_detail

inline std::optional<PngReference> DecodePngDirectly(const std::vector<unsigned char>& bytes) {
    png_structp png = png_create_read_struct(
        PNG_LIBPNG_VER_STRING, nullptr, png_reference_detail::Quiet, png_reference_detail::Quiet);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return std::nullopt;
    }
    png_reference_detail::Input input{&bytes, 0};
    png_set_read_fn(png, &input, png_reference_detail::ReadInput);
    auto* work = new png_reference_detail::Work;
    if (!setjmp(png_jmpbuf(png))) png_reference_detail::Decode(png, info, *work);
    png_destroy_read_struct(&png, &info, nullptr);
    std::optional<PngReference> result;
    if (work->done) result = std::move(work->ref);
    delete work;
    return result;
}
