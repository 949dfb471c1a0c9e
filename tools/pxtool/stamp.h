// pxtool stamp: the wizard's road from a picture to a stamp file, on the wizard's
// own classes, for scripts and machines without a display.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/base/win_types.h"

namespace pxtool {

struct StampOptions {
    std::string input;
    std::string output;
    int format = 0;  // 0: 32 x 32, 1: 16 x 16
    bool selectAll = false;
    std::optional<RECT> select;      // editor page coordinates
    std::vector<std::string> edits;  // "left", "right", "mirror", "flip" in order
    long lightness = 0;              // the editor's lightness control value
    std::vector<POINT> picks;        // magnified-picture coordinates
    std::optional<DWORD> tolerance;  // else "StampTolerance" from the settings
    bool asStored = false;
};

// Throws UsageError on anything malformed.
StampOptions ParseStampOptions(const std::vector<std::string>& args);
int RunStamp(const std::vector<std::string>& args);

extern const char* const kStampHelp;

}  // namespace pxtool
