// The tags that decide how the samples are read.
#include "px_tiff_layout.h"

namespace {

int ColourSamplesOf(TIFF* tif, std::uint16_t photometric) {
    switch (photometric) {
        case PHOTOMETRIC_MINISBLACK:
        case PHOTOMETRIC_MINISWHITE:
        case PHOTOMETRIC_PALETTE:
            return 1;
        case PHOTOMETRIC_RGB:
            return 3;
        case PHOTOMETRIC_SEPARATED: {
            std::uint16_t inkset = INKSET_CMYK;
            TIFFGetFieldDefaulted(tif, TIFFTAG_INKSET, &inkset);
            return inkset == INKSET_CMYK ? 4 : 0;
        }
        default:
            return 0;
    }
}

// The first extra sample, when it is alpha.
void ReadAlpha(TIFF* tif, PxTiffLayout& layout) {
    std::uint16_t count = 0;
    std::uint16_t* kinds = nullptr;
    if (!TIFFGetFieldDefaulted(tif, TIFFTAG_EXTRASAMPLES, &count, &kinds) || count == 0 || !kinds)
        return;
    if (kinds[0] != EXTRASAMPLE_ASSOCALPHA && kinds[0] != EXTRASAMPLE_UNASSALPHA) return;
    if (layout.samples <= layout.colourSamples) return;
    layout.alphaSample = layout.colourSamples;
    layout.associatedAlpha = kinds[0] == EXTRASAMPLE_ASSOCALPHA;
}

PxTiffPath PathOf(const PxTiffLayout& layout, std::uint16_t planar, std::uint16_t format) {
    if (format != SAMPLEFORMAT_UINT || layout.colourSamples == 0) return PxTiffPath::Rgba;
    if (layout.samples > 1 && planar != PLANARCONFIG_CONTIG) return PxTiffPath::Rgba;
    if (layout.samples == 1 && layout.bits <= 8 && (layout.bits & (layout.bits - 1)) == 0)
        return PxTiffPath::Indexed;
    if (layout.photometric != PHOTOMETRIC_PALETTE && (layout.bits == 8 || layout.bits == 16))
        return PxTiffPath::Samples;
    return PxTiffPath::Rgba;
}

}  // namespace

PxTiffLayout PxTiffReadLayout(TIFF* tif) {
    PxTiffLayout layout;
    std::uint16_t compression = COMPRESSION_NONE;
    std::uint16_t planar = PLANARCONFIG_CONTIG;
    std::uint16_t format = SAMPLEFORMAT_UINT;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &layout.width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &layout.height);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &layout.bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &layout.samples);
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &format);
    if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &layout.photometric))
        layout.photometric = layout.samples >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
    // The JPEG codec converts YCbCr to RGB itself when asked, whatever the subsampling.
    if (compression == COMPRESSION_JPEG && layout.photometric == PHOTOMETRIC_YCBCR &&
        TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB))
        layout.photometric = PHOTOMETRIC_RGB;
    layout.colourSamples = ColourSamplesOf(tif, layout.photometric);
    if (layout.samples < layout.colourSamples) layout.colourSamples = 0;
    ReadAlpha(tif, layout);
    layout.path = PathOf(layout, planar, format);
    return layout;
}
