// Writes PNG files with libpng called directly, with whatever chunks a test needs.
#pragma once

#include <png.h>

#include <csetjmp>
#include <optional>
#include <vector>

struct PngRecipe {
    int width = 1, height = 1, bitDepth = 8, colorType = PNG_COLOR_TYPE_GRAY;
    bool interlaced = false;
    std::vector<png_color> palette;
    std::vector<png_byte> paletteAlpha;
    std::optional<png_color_16> transColor;
    std::optional<png_color_16> background;
    double gamma = 0;                         // no gAMA chunk when 0
    std::vector<std::vector<png_byte>> rows;  // file rows as packed bytes, top first
};

namespace png_builder_detail {

// Heap-held: a libpng error jumps over the frames that fill it.
struct Work {
    std::vector<unsigned char> out;
    std::vector<png_bytep> rows;
    bool done = false;
};

inline void Append(png_structp png, png_bytep data, png_size_t n) {
    auto* work = static_cast<Work*>(png_get_io_ptr(png));
    work->out.insert(work->out.end(), data, data + n);
}

inline void NoFlush(png_structp) {}

inline void Write(png_structp png, png_infop info, const PngRecipe& recipe, Work& work) {
    png_set_write_fn(png, &work, Append, NoFlush);
    png_set_IHDR(png, info, recipe.width, recipe.height, recipe.bitDepth, recipe.colorType,
                 recipe.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!recipe.palette.empty())
        png_set_PLTE(png, info, recipe.palette.data(), static_cast<int>(recipe.palette.size()));
    if (!recipe.paletteAlpha.empty())
        png_set_tRNS(png, info, recipe.paletteAlpha.data(),
                     static_cast<int>(recipe.paletteAlpha.size()), nullptr);
    png_color_16 trans = recipe.transColor.value_or(png_color_16{});
    if (recipe.transColor) png_set_tRNS(png, info, nullptr, 1, &trans);
    png_color_16 background = recipe.background.value_or(png_color_16{});
    if (recipe.background) png_set_bKGD(png, info, &background);
    if (recipe.gamma > 0) png_set_gAMA(png, info, recipe.gamma);
    for (const auto& row : recipe.rows)
        work.rows.push_back(const_cast<png_bytep>(row.data()));
    png_set_rows(png, info, work.rows.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    work.done = true;
}

}  // namespace png_builder_detail

// The file's bytes; empty when libpng refused the description.
inline std::vector<unsigned char> WritePngDirectly(const PngRecipe& recipe) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    auto* work = new png_builder_detail::Work;
    if (info && !setjmp(png_jmpbuf(png))) png_builder_detail::Write(png, info, recipe, *work);
    png_destroy_write_struct(&png, &info);
    std::vector<unsigned char> result;
    if (work->done) result = std::move(work->out);
    delete work;
    return result;
}
