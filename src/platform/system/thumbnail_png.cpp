#include "thumbnail_png.h"

#include <png.h>

#include <cstring>

namespace {

// A thumbnail carries a handful of short keys; nothing more is read.
constexpr png_uint_32 kMaxAncillaryChunks = 64;
constexpr png_alloc_size_t kMaxChunkBytes = 64 * 1024;
constexpr std::size_t kMaxTextLength = 4096;
constexpr png_uint_32 kMaxSide = 4096;

struct MemorySource {
    const unsigned char* data;
    std::size_t size;
    std::size_t position;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t length) {
    auto* source = static_cast<MemorySource*>(png_get_io_ptr(png));
    if (length > source->size - source->position) png_error(png, "truncated");
    std::memcpy(out, source->data + source->position, length);
    source->position += length;
}

// libpng reports through longjmp; the library must never print.
[[noreturn]] void OnError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void OnWarning(png_structp, png_const_charp) {}

class ReadHandles {
public:
    ReadHandles()
        : png_(png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning)),
          info_(png_ ? png_create_info_struct(png_) : nullptr) {}
    ~ReadHandles() { png_destroy_read_struct(&png_, info_ ? &info_ : nullptr, nullptr); }
    ReadHandles(const ReadHandles&) = delete;
    ReadHandles& operator=(const ReadHandles&) = delete;
    png_structp png() const { return png_; }
    png_infop info() const { return info_; }

private:
    png_structp png_;
    png_infop info_;
};

class WriteHandles {
public:
    WriteHandles()
        : png_(png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning)),
          info_(png_ ? png_create_info_struct(png_) : nullptr) {}
    ~WriteHandles() { png_destroy_write_struct(&png_, info_ ? &info_ : nullptr); }
    WriteHandles(const WriteHandles&) = delete;
    WriteHandles& operator=(const WriteHandles&) = delete;
    png_structp png() const { return png_; }
    png_infop info() const { return info_; }

private:
    png_structp png_;
    png_infop info_;
};

void KeepText(const png_text& text, ThumbnailPngFacts& facts) {
    if (!text.key || !text.text || text.text_length > kMaxTextLength) return;
    const std::string value(text.text, text.text_length);
    if (std::strcmp(text.key, "Thumb::URI") == 0) facts.uri = value;
    if (std::strcmp(text.key, "Thumb::MTime") == 0) facts.mtime = value;
    if (std::strcmp(text.key, "Thumb::Size") == 0) facts.size = value;
}

// Only plain data lives in this frame: a library error jumps back to it.
bool ReadFactsGuarded(png_structp png, png_infop info, ThumbnailPngFacts& facts) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_info(png, info);
    facts.width = png_get_image_width(png, info);
    facts.height = png_get_image_height(png, info);
    png_textp texts = nullptr;
    int count = 0;
    png_get_text(png, info, &texts, &count);
    for (int i = 0; i < count; ++i)
        KeepText(texts[i], facts);
    return true;
}

bool WriteGuarded(png_structp png, png_infop info, const RgbaPicture& picture, png_textp texts,
                  int textCount, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_IHDR(png, info, picture.width, picture.height, 8, PNG_COLOR_TYPE_RGB_ALPHA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_text(png, info, texts, textCount);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, info);
    return true;
}

}  // namespace

bool ReadThumbnailPngFacts(const std::vector<unsigned char>& bytes, ThumbnailPngFacts& facts) {
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) return false;
    ReadHandles handles;
    if (!handles.info()) return false;
    png_set_user_limits(handles.png(), kMaxSide, kMaxSide);
    png_set_chunk_cache_max(handles.png(), kMaxAncillaryChunks);
    png_set_chunk_malloc_max(handles.png(), kMaxChunkBytes);
    MemorySource source{bytes.data(), bytes.size(), 0};
    png_set_read_fn(handles.png(), &source, ReadFromMemory);
    return ReadFactsGuarded(handles.png(), handles.info(), facts);
}

bool WriteThumbnailPng(std::FILE* file, const RgbaPicture& picture,
                       const std::vector<std::pair<std::string, std::string>>& texts) {
    const std::size_t stride = std::size_t{picture.width} * 4;
    if (!file || picture.width == 0 || picture.height == 0 ||
        picture.pixels.size() != stride * picture.height)
        return false;
    WriteHandles handles;
    if (!handles.info()) return false;
    std::vector<png_text> chunks(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        chunks[i].compression = PNG_TEXT_COMPRESSION_NONE;
        chunks[i].key = const_cast<char*>(texts[i].first.c_str());
        chunks[i].text = const_cast<char*>(texts[i].second.c_str());
        chunks[i].text_length = texts[i].second.size();
    }
    // libpng takes rows as non-const pointers even for writing.
    std::vector<png_bytep> rows(picture.height);
    for (unsigned y = 0; y < picture.height; ++y)
        rows[y] = const_cast<png_bytep>(picture.pixels.data() + y * stride);
    png_init_io(handles.png(), file);
    return WriteGuarded(handles.png(), handles.info(), picture, chunks.data(),
                        static_cast<int>(chunks.size()), rows.data());
}
