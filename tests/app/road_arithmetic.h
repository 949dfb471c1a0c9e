// Where the pages' coordinates lead on the stamp road, for the tests that walk it
// (headless or in the real window) and hold the stamp against pxtool stamp: the
// frame the editor starts with, the lightness a click on the slider gives, the
// pick on the magnified stamp and the step marks along the top.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/base/win_types.h"

namespace road {

// The editor lays a picture out at this corner of a 182 x 182 box.
constexpr LONG kBoxLeft = 33, kBoxTop = 110, kBoxSide = 182;
// The magnified stamp of step 4 has its top left corner here.
constexpr LONG kMagnifiedLeft = 107, kMagnifiedTop = 167;

struct Square {
    LONG left, top, side;
    std::string Select() const {
        return std::to_string(left) + "," + std::to_string(top) + "," +
               std::to_string(left + side) + "," + std::to_string(top + side);
    }
};

// The frame the editor starts with, and takes again on each size switch: the
// largest centred square of the picture as laid out (shrunk to fit the box, never
// enlarged).
inline Square StartingFrame(double width, double height) {
    double w = width, h = height;
    if (w > kBoxSide || h > kBoxSide) {
        const double scale = kBoxSide / std::max(w, h);
        w = std::trunc(w * scale);
        h = std::trunc(h * scale);
    }
    const LONG side = static_cast<LONG>(std::min(w, h));
    if (w > h) {
        const LONG centre = (2 * kBoxLeft + static_cast<LONG>(w)) / 2;
        return {static_cast<LONG>(std::trunc(centre - side / 2.0)), kBoxTop, side};
    }
    const LONG centre = (2 * kBoxTop + static_cast<LONG>(h)) / 2;
    return {kBoxLeft, static_cast<LONG>(std::trunc(centre - side / 2.0)), side};
}

// The lightness a click at page x gives on the movie's slider of 180 x 20 at
// x = 240 running from -60 to 60 (a knob 10 wide, centred on the pointer).
inline int SliderValueAt(LONG x) {
    const double along = (x - 240 - 5) / 170.0;
    return static_cast<int>(std::lround(-60 + along * 120));
}

// pxtool's --pick for a click at page (x, y) on the magnified stamp.
inline std::string PickAt(LONG x, LONG y) {
    return std::to_string(x - kMagnifiedLeft) + "," + std::to_string(y - kMagnifiedTop);
}

// The mark of step 1..6 along the top, filled with the accent colour (0x2563EB)
// while that step shows.
struct MarkPoint {
    int x, y;
};
inline MarkPoint StepMark(int step) {
    return {383 + 28 * (step - 1) + 2, 45};
}
inline bool IsAccent(BYTE red, BYTE green, BYTE blue) {
    return red == 0x25 && green == 0x63 && blue == 0xEB;
}

inline std::string FileBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// What `tool stamp` writes for the picture with the arguments.
inline std::string ToolStamp(const std::string& tool, const std::filesystem::path& picture,
                             const std::string& arguments, const std::filesystem::path& out) {
    const std::string command =
        tool + " stamp '" + picture.string() + "' " + arguments + " -o '" + out.string() + "'";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command;
    return FileBytes(out);
}

}  // namespace road
