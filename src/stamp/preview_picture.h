// CPreviewPicture: a stamp-sized picture shown at real size, by the editor's small
// preview (on black) and by the preview page (on a grey hatch, so that transparent
// parts show). The preview page's one is the stamp itself and is saved from here.
#pragma once

#include <string>

#include "picture.h"

class CPreviewPicture : public CPicture {
public:
    // Draws at the origin on the owner's device context; 0 for w or h means the
    // image's own. Nothing without an owner or an image.
    void Draw(LONG w, LONG h);

    // Writes a copy, brightened by the lightness and brought to bpp bits per pixel,
    // as a file of the given format. The file is written whole or not at all (a
    // file of that name written before stays as it was). False when there is no
    // image or the file cannot be encoded or written; *reason then says why (the
    // system's reason or the library's), empty only when there is no image.
    bool SaveAs(const std::string& file, DWORD formatCode, DWORD bpp,
                std::string* reason = nullptr) const;

    bool hatched = false;
};
