#include "stamp_support.h"

#include <csetjmp>

#include "platform/gdi/gdi.h"

namespace stamp_test {

void PageWindow::Fill(COLORREF color) {
    HDC hdc = GetDC(&page_);
    RECT all{0, 0, 580, 411};
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(hdc, &all, brush);
    DeleteObject(brush);
    ReleaseDC(&page_, hdc);
}

namespace {

// libpng leaves through longjmp on a bad file; nothing here needs unwinding.
bool ReadPngStream(std::FILE* in, PngFacts& facts) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_init_io(png, in);
    png_read_info(png, info);
    facts.width = static_cast<int>(png_get_image_width(png, info));
    facts.height = static_cast<int>(png_get_image_height(png, info));
    facts.colorType = png_get_color_type(png, info);
    facts.bitDepth = png_get_bit_depth(png, info);
    png_colorp palette = nullptr;
    int count = 0;
    if (png_get_PLTE(png, info, &palette, &count)) facts.palette.assign(palette, palette + count);
    facts.paletteSize = count;
    png_bytep alpha = nullptr;
    int alphas = 0;
    if (png_get_tRNS(png, info, &alpha, &alphas, nullptr) && alpha)
        facts.trns.assign(alpha, alpha + alphas);
    facts.rows.assign(static_cast<std::size_t>(facts.height),
                      std::vector<png_byte>(png_get_rowbytes(png, info)));
    for (auto& row : facts.rows)
        png_read_row(png, row.data(), nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

}  // namespace

PngFacts ReadPng(const std::string& file) {
    PngFacts facts;
    std::FILE* in = std::fopen(file.c_str(), "rb");
    if (!in) return facts;
    facts.read = ReadPngStream(in, facts);
    std::fclose(in);
    return facts;
}

}  // namespace stamp_test
