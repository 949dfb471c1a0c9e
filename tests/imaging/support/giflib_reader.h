// Reads GIFs with giflib, the reference decoder our GIF codec is checked against.
#pragma once

#include <gif_lib.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/win_types.h"

struct GiflibFrame {
    int left = 0, top = 0, width = 0, height = 0;
    bool interlaced = false;
    int transparent = -1;
    int disposal = 0;
    int delay = 0;
    std::vector<BYTE> indices;  // top row first
    std::vector<BYTE> colours;  // R, G, B triples of the table in force
};

struct GiflibFile {
    int screenWidth = 0, screenHeight = 0;
    int loopCount = -1;  // -1: no NETSCAPE2.0 extension
    std::vector<GiflibFrame> frames;
};

namespace giflib_detail {

struct MemorySource {
    const BYTE* data;
    std::size_t size;
    std::size_t position = 0;
};

inline int ReadMemory(GifFileType* gif, GifByteType* out, int wanted) {
    auto* source = static_cast<MemorySource*>(gif->UserData);
    const std::size_t n =
        std::min<std::size_t>(static_cast<std::size_t>(wanted), source->size - source->position);
    std::memcpy(out, source->data + source->position, n);
    source->position += n;
    return static_cast<int>(n);
}

// The loop count of a NETSCAPE2.0 application extension among a frame's blocks.
inline void FindLoopCount(const ExtensionBlock* blocks, int count, int& loopCount) {
    for (int i = 0; i + 1 < count; ++i) {
        if (blocks[i].Function == APPLICATION_EXT_FUNC_CODE && blocks[i].ByteCount == 11 &&
            std::memcmp(blocks[i].Bytes, "NETSCAPE2.0", 11) == 0 && blocks[i + 1].ByteCount == 3)
            loopCount = blocks[i + 1].Bytes[1] | (blocks[i + 1].Bytes[2] << 8);
    }
}

}  // namespace giflib_detail

// Every frame of a file with DGifSlurp; nothing when giflib refuses it.
inline std::optional<GiflibFile> ReadWithGiflib(const BYTE* data, std::size_t size) {
    giflib_detail::MemorySource source{data, size};
    int error = 0;
    GifFileType* gif = DGifOpen(&source, giflib_detail::ReadMemory, &error);
    if (!gif) return std::nullopt;
    std::optional<GiflibFile> file;
    if (DGifSlurp(gif) == GIF_OK) {
        file.emplace();
        file->screenWidth = gif->SWidth;
        file->screenHeight = gif->SHeight;
        for (int i = 0; i < gif->ImageCount; ++i) {
            const SavedImage& saved = gif->SavedImages[i];
            GiflibFrame frame;
            frame.left = saved.ImageDesc.Left;
            frame.top = saved.ImageDesc.Top;
            frame.width = saved.ImageDesc.Width;
            frame.height = saved.ImageDesc.Height;
            frame.interlaced = saved.ImageDesc.Interlace;
            GraphicsControlBlock control{};
            if (DGifSavedExtensionToGCB(gif, i, &control) == GIF_OK) {
                frame.transparent = control.TransparentColor;
                frame.disposal = control.DisposalMode;
                frame.delay = control.DelayTime;
            }
            const BYTE* raster = saved.RasterBits;
            const std::size_t pixels = static_cast<std::size_t>(frame.width) * frame.height;
            if (raster && pixels > 0) {
                frame.indices.assign(raster, raster + pixels);  // DGifSlurp de-interlaces
            }
            const ColorMapObject* map =
                saved.ImageDesc.ColorMap ? saved.ImageDesc.ColorMap : gif->SColorMap;
            for (int c = 0; map && c < map->ColorCount; ++c)
                frame.colours.insert(frame.colours.end(), {map->Colors[c].Red, map->Colors[c].Green,
                                                           map->Colors[c].Blue});
            file->frames.push_back(std::move(frame));
            giflib_detail::FindLoopCount(saved.ExtensionBlocks, saved.ExtensionBlockCount,
                                         file->loopCount);
        }
    }
    DGifCloseFile(gif, &error);
    return file;
}
