// Codec dispatch: the type code picks the codec; a codec object lives for one call.
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <type_traits>

#include "px_bmp_codec.h"
#include "px_format_sniff.h"
#include "px_gif_codec.h"
#include "px_heif_codec.h"
#include "px_io_file.h"
#include "px_jpeg_codec.h"
#include "px_mem_file.h"
#include "px_message.h"
#include "px_png_codec.h"
#include "px_tiff_codec.h"
#include "px_webp_codec.h"

namespace {

constexpr const char* kUnsupported = "Unsupported operation for this format";

// Wide names are UTF-32 on this platform; files are opened by their UTF-8 name.
std::string Utf8Name(const wchar_t* name) {
    std::string out;
    for (; name && *name; ++name) {
        auto c = static_cast<char32_t>(*name);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

}  // namespace

PxImage::PxImage(const char* fileName, DWORD imageType) {
    Startup(imageType);
    Load(fileName, imageType, false);
}

PxImage::PxImage(std::FILE* stream, DWORD imageType) {
    Startup(imageType);
    Decode(stream, imageType);
}

PxImage::PxImage(PxFile* stream, DWORD imageType) {
    Startup(imageType);
    Decode(stream, imageType);
}

PxImage::PxImage(BYTE* buffer, DWORD size, DWORD imageType) {
    Startup(imageType);
    Decode(buffer, size, imageType);
}

namespace {

// The format a stream's first bytes show, the stream left where it was.
DWORD FormatOfStream(PxFile* stream) {
    BYTE head[kPxSniffBytes];
    const std::int32_t start = stream->Tell();
    if (start < 0) return PX_FORMAT_UNKNOWN;
    const std::size_t got = stream->Read(head, 1, sizeof head);
    if (!stream->Seek(start, 0)) return PX_FORMAT_UNKNOWN;
    return PxFormatOfContents(head, got);
}

}  // namespace

// On success the whole picture moves in (turned upright when asked); on failure
// only the error text (and, for GIF, the frame count) reaches this image, which
// keeps its picture.
template <class Codec>
bool PxImage::DecodeWith(Codec& codec, PxFile* stream, const PxLoadOptions& options) {
    if constexpr (std::is_base_of_v<PxDecodeSettings, Codec>) codec.SetLoadOptions(options);
    const DWORD format = codec.GetType();  // the decoder may leave its picture's type at 0
    if (codec.Decode(stream)) {
        if (!Transfer(codec)) return false;
        // Read by its contents, the picture says which format it turned out to be.
        if (options.byContents) info.type = format;
        if constexpr (std::is_base_of_v<PxDecodeSettings, Codec>)
            if (options.upright) TurnUpright(codec.Orientation());
        return true;
    }
    SetLastErrorText(codec.GetLastError());
    if (codec.GetType() == PX_FORMAT_GIF) {
        info.numFrames = codec.GetNumFrames();
        PxMessageBox(info.lastError, "Gif error", MB_OK | MB_ICONERROR);
    } else if (codec.GetType() == PX_FORMAT_PNG) {
        PxMessageBox(info.lastError, "Png error", MB_OK | MB_ICONERROR);
    }
    return false;
}

bool PxImage::Decode(PxFile* stream, DWORD imageType) {
    return Decode(stream, imageType, PxLoadOptions{});
}

bool PxImage::Decode(PxFile* stream, DWORD imageType, const PxLoadOptions& options) {
    // Only a signature of another supported format overrides the type named, so
    // a damaged file still gets its own decoder's message.
    if (options.byContents && stream && imageType != PX_FORMAT_UNKNOWN) {
        const DWORD contents = FormatOfStream(stream);
        if (contents != PX_FORMAT_UNKNOWN) imageType = contents;
    }
    switch (imageType) {
        case PX_FORMAT_BMP: {
            PxBmpCodec codec;
            return DecodeWith(codec, stream, options);
        }
        case PX_FORMAT_GIF: {
            PxGifCodec codec;
            codec.SetFrame(info.frame);
            return DecodeWith(codec, stream, options);
        }
        case PX_FORMAT_JPG: {
            PxJpegCodec codec;
            codec.SetMinimumLongerSide(options.minimumLongerSide);
            return DecodeWith(codec, stream, options);
        }
        case PX_FORMAT_PNG: {
            PxPngCodec codec;
            return DecodeWith(codec, stream, options);
        }
        case PX_FORMAT_WEBP: {
            PxWebpCodec codec;
            return DecodeWith(codec, stream, options);
        }
        case PX_FORMAT_TIFF: {
            PxTiffCodec codec;
            return DecodeWith(codec, stream, options);
        }
        case PX_FORMAT_HEIF: {
            PxHeifCodec codec;
            return DecodeWith(codec, stream, options);
        }
        default:
            SetLastErrorText(kUnsupported);
            return false;
    }
}

bool PxImage::Decode(std::FILE* stream, DWORD imageType) {
    PxIOFile file(stream);
    return Decode(&file, imageType);
}

bool PxImage::Decode(BYTE* buffer, DWORD size, DWORD imageType) {
    PxMemFile file(buffer, size);
    return Decode(&file, imageType);
}

bool PxImage::Load(const char* fileName, DWORD imageType, bool quiet) {
    return Load(fileName, imageType, quiet, PxLoadOptions{});
}

bool PxImage::Load(const char* fileName, DWORD imageType, bool quiet,
                   const PxLoadOptions& options) {
    PxIOFile file;
    if (!file.Open(fileName, "rb")) {
        // Said once: in the box, or, quietly, as the error text for the caller to tell.
        if (quiet) {
            SetLastErrorText(file.OpenError());
        } else {
            PxMessageBox("File open error", fileName, MB_OK);
        }
        return false;
    }
    return Decode(&file, imageType, options);
}

bool PxImage::Load(const wchar_t* fileName, DWORD imageType) {
    PxIOFile file;
    if (!file.Open(Utf8Name(fileName).c_str(), "rb")) {
        SetLastErrorText(file.OpenError());
        return false;
    }
    return Decode(&file, imageType);
}

bool PxImage::LoadResource(HRSRC resource, DWORD imageType, HMODULE module) {
    const DWORD size = SizeofResource(module, resource);
    HGLOBAL loaded = ::LoadResource(module, resource);
    if (!loaded) {
        SetLastErrorText("Unable to load resource!");
        return false;
    }
    const void* data = LockResource(loaded);
    if (!data) return false;
    // Decoders only read, so the program's read-only bytes are safe in a stream.
    PxMemFile file(static_cast<BYTE*>(const_cast<void*>(data)), size);
    return Decode(&file, imageType);
}

// The codec object is a ghost of this image: it sees the picture and its info
// without owning either.
bool PxImage::EncodeToStream(PxFile* stream, DWORD imageType) {
    auto run = [this, stream](auto& codec) {
        static_cast<PxImage&>(codec).Ghost(this);
        if (codec.Encode(stream)) return true;
        SetLastErrorText(codec.GetLastError());
        return false;
    };
    switch (imageType) {
        case PX_FORMAT_BMP: {
            PxBmpCodec codec;
            return run(codec);
        }
        case PX_FORMAT_GIF: {
            PxGifCodec codec;
            return run(codec);
        }
        case PX_FORMAT_JPG: {
            PxJpegCodec codec;
            return run(codec);
        }
        case PX_FORMAT_PNG: {
            PxPngCodec codec;
            return run(codec);
        }
        default:
            SetLastErrorText(kUnsupported);
            return false;
    }
}

bool PxImage::Encode(PxFile* stream, DWORD imageType) {
    return EncodeToStream(stream, imageType);
}

bool PxImage::Encode(std::FILE* stream, DWORD imageType) {
    PxIOFile file(stream);
    return Encode(&file, imageType);
}

bool PxImage::Encode(BYTE*& buffer, LONG& size, DWORD imageType) {
    if (buffer) return false;
    PxMemFile file;
    if (!file.Open() || !Encode(&file, imageType)) return false;
    size = file.Size();
    buffer = file.GetBuffer();
    return true;
}

// Encoded in memory first: a picture the type cannot hold leaves an existing file
// as it was, never emptied. A file that cannot be written names the system's
// reason, and a part written is removed.
bool PxImage::Save(const char* fileName, DWORD imageType) {
    BYTE* bytes = nullptr;
    LONG size = 0;
    if (!Encode(bytes, size, imageType)) return false;
    const std::unique_ptr<BYTE, decltype(&std::free)> owned(bytes, &std::free);
    PxIOFile file;
    if (!file.Open(fileName, "wb")) {
        SetLastErrorText(std::strerror(errno));
        return false;
    }
    const auto length = static_cast<std::size_t>(size);
    const bool written = file.Write(bytes, 1, length) == length;
    const int writeError = errno;
    if (!file.Close() || !written) {
        SetLastErrorText(std::strerror(written ? errno : writeError));
        std::remove(fileName);
        return false;
    }
    return true;
}

bool PxImage::Save(const wchar_t* fileName, DWORD imageType) {
    return Save(Utf8Name(fileName).c_str(), imageType);
}

bool PxImage::Encode(PxFile* stream, PxImage** images, int count, DWORD imageType) {
    if (imageType != PX_FORMAT_GIF) {
        SetLastErrorText(kUnsupported);
        return false;
    }
    PxGifCodec codec;
    static_cast<PxImage&>(codec).Ghost(this);
    if (codec.Encode(stream, images, count)) return true;
    SetLastErrorText(codec.GetLastError());
    return false;
}

bool PxImage::Encode(std::FILE* stream, PxImage** images, int count, DWORD imageType) {
    PxIOFile file(stream);
    return Encode(&file, images, count, imageType);
}
