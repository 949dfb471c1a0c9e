#include "px_jpeg_reduced.h"

#include "px_io_file.h"
#include "px_jpeg_codec.h"

bool PxLoadJpegReduced(const char* fileName, DWORD minimumLongerSide, PxImage& image,
                       std::string* error) {
    PxIOFile file;
    if (!file.Open(fileName, "rb")) {
        if (error) *error = "File open error";
        return false;
    }
    PxJpegCodec codec;
    codec.SetMinimumLongerSide(minimumLongerSide);
    if (codec.Decode(&file)) return image.Transfer(codec);
    if (error) *error = codec.GetLastError();
    return false;
}
