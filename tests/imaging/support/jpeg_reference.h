// JPEG files read and written with libjpeg called directly, so that the codec's
// results can be checked against something that does not share its code.
#pragma once

#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

#include <csetjmp>
#include <optional>
#include <vector>

struct JpegPicture {
    int width = 0, height = 0, components = 0;
    int densityUnit = 0, xDensity = 0, yDensity = 0;
    std::vector<unsigned char> samples;  // top row first, `components` a pixel
};

namespace jpeg_reference_detail {

struct Error {
    jpeg_error_mgr manager;
    std::jmp_buf recovery;
};

inline void Fail(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<Error*>(cinfo->err)->recovery, 1);
}

inline void Quiet(j_common_ptr) {}

inline jpeg_error_mgr* Errors(Error& error) {
    jpeg_std_error(&error.manager);
    error.manager.error_exit = Fail;
    error.manager.output_message = Quiet;
    return &error.manager;
}

// Heap-held: a libjpeg error jumps over the frames that fill it.
struct Work {
    Error error;
    jpeg_decompress_struct decompress;
    jpeg_compress_struct compress;
    JpegPicture picture;
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    bool done = false;
};

inline void Decode(Work& work, const std::vector<unsigned char>& bytes) {
    jpeg_decompress_struct& cinfo = work.decompress;
    jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&cinfo, TRUE);
    jpeg_start_decompress(&cinfo);
    JpegPicture& p = work.picture;
    p.width = static_cast<int>(cinfo.output_width);
    p.height = static_cast<int>(cinfo.output_height);
    p.components = cinfo.output_components;
    p.densityUnit = cinfo.density_unit;
    p.xDensity = cinfo.X_density;
    p.yDensity = cinfo.Y_density;
    const std::size_t stride = static_cast<std::size_t>(p.width) * p.components;
    p.samples.resize(stride * p.height);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = p.samples.data() + stride * cinfo.output_scanline;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    work.done = true;
}

inline void Encode(Work& work, const JpegPicture& p, J_COLOR_SPACE space, int quality) {
    jpeg_compress_struct& cinfo = work.compress;
    jpeg_mem_dest(&cinfo, &work.out, &work.outSize);
    cinfo.image_width = static_cast<JDIMENSION>(p.width);
    cinfo.image_height = static_cast<JDIMENSION>(p.height);
    cinfo.input_components = p.components;
    cinfo.in_color_space = space;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    cinfo.density_unit = static_cast<UINT8>(p.densityUnit);
    cinfo.X_density = static_cast<UINT16>(p.xDensity);
    cinfo.Y_density = static_cast<UINT16>(p.yDensity);
    jpeg_start_compress(&cinfo, TRUE);
    const std::size_t stride = static_cast<std::size_t>(p.width) * p.components;
    while (cinfo.next_scanline < cinfo.image_height) {
        auto row = const_cast<JSAMPROW>(p.samples.data() + stride * cinfo.next_scanline);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    work.done = true;
}

}  // namespace jpeg_reference_detail

// libjpeg's own decode with its default output; nothing when it fails.
inline std::optional<JpegPicture> DecodeJpegDirectly(const std::vector<unsigned char>& bytes) {
    auto* work = new jpeg_reference_detail::Work;
    work->decompress.err = jpeg_reference_detail::Errors(work->error);
    jpeg_create_decompress(&work->decompress);
    if (!setjmp(work->error.recovery)) jpeg_reference_detail::Decode(*work, bytes);
    jpeg_destroy_decompress(&work->decompress);
    std::optional<JpegPicture> result;
    if (work->done) result = std::move(work->picture);
    delete work;
    return result;
}

// A file holding `picture` (its density fields included) in the given colour space.
inline std::vector<unsigned char> WriteJpegDirectly(const JpegPicture& picture, J_COLOR_SPACE space,
                                                    int quality = 90) {
    auto* work = new jpeg_reference_detail::Work;
    work->compress.err = jpeg_reference_detail::Errors(work->error);
    jpeg_create_compress(&work->compress);
    if (!setjmp(work->error.recovery))
        jpeg_reference_detail::Encode(*work, picture, space, quality);
    jpeg_destroy_compress(&work->compress);
    std::vector<unsigned char> result;
    if (work->done) result.assign(work->out, work->out + work->outSize);
    std::free(work->out);
    delete work;
    return result;
}
