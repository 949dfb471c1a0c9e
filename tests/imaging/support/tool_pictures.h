// Pictures made at test time with the formats' own command-line tools, from
// sources our PNG encoder writes, and the comparisons their decodes need.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "imaging/px_image.h"

namespace toolpic {

namespace fs = std::filesystem;

// The profiles colord ships, for the colour tests.
inline const std::string kAdobeRgb = "/usr/share/color/icc/colord/AdobeRGB1998.icc";
inline const std::string kSrgb = "/usr/share/color/icc/colord/sRGB.icc";

inline bool HaveTool(const std::string& name) {
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

// Skips the test, naming the first of the tools that is missing.
#define REQUIRE_TOOLS(...)                 \
    for (const char* tool : {__VA_ARGS__}) \
        if (!toolpic::HaveTool(tool)) GTEST_SKIP() << "no " << tool << " here";

// True when the command ran and succeeded; its output is kept out of the log.
inline bool RunTool(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// A fresh folder, removed with everything in it.
class TempDir {
public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "pxtoolpicXXXXXX").string();
        if (mkdtemp(pattern.data())) path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        if (!path_.empty()) fs::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
    fs::path path_;
};

inline std::vector<BYTE> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::string& path, const std::vector<BYTE>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

inline bool DecodeBytes(PxImage& image, std::vector<BYTE>& bytes, DWORD type) {
    return image.Decode(bytes.data(), static_cast<DWORD>(bytes.size()), type);
}

// A picture of smooth ramps and a hard edge; with alpha, every level from clear
// to opaque across it, colours kept under the clear part.
inline PxImage Source(DWORD w, DWORD h, bool withAlpha) {
    PxImage image(w, h, 24);
    if (withAlpha) image.AlphaCreate();
    for (LONG y = 0; y < static_cast<LONG>(h); ++y) {
        for (LONG x = 0; x < static_cast<LONG>(w); ++x) {
            const int edge = x < static_cast<LONG>(w) / 2 ? 0 : 60;
            image.SetPixelColor(
                x, y, RGB((x * 7 + edge) % 256, (y * 11 + edge) % 256, (x * 3 + y * 5) % 256));
            if (withAlpha) image.AlphaSet(x, y, static_cast<BYTE>((x * 255) / (w - 1)));
        }
    }
    return image;
}

// Damaged files of one type, each refused within two seconds with a message.
using NamedFiles = std::vector<std::pair<const char*, std::vector<BYTE>>>;
inline void ExpectQuickRefusals(NamedFiles& cases, DWORD type) {
    for (auto& [name, bytes] : cases) {
        const auto start = std::chrono::steady_clock::now();
        PxImage image;
        EXPECT_FALSE(DecodeBytes(image, bytes, type)) << name;
        EXPECT_STRNE(image.GetLastError(), "") << name;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << name;
    }
}

// `image`'s pixels written by our PNG encoder.
inline bool SavePng(PxImage& image, const std::string& path) {
    return image.Save(path.c_str(), PX_FORMAT_PNG);
}

// Every pixel's colour within `tolerance` per channel, and the alpha levels the
// same (an image without alpha counts as opaque).
inline ::testing::AssertionResult SamePixels(const PxImage& got, const PxImage& want,
                                             int tolerance = 0) {
    if (got.GetWidth() != want.GetWidth() || got.GetHeight() != want.GetHeight())
        return ::testing::AssertionFailure()
               << "size " << got.GetWidth() << "x" << got.GetHeight() << " instead of "
               << want.GetWidth() << "x" << want.GetHeight();
    for (LONG y = 0; y < static_cast<LONG>(want.GetHeight()); ++y) {
        for (LONG x = 0; x < static_cast<LONG>(want.GetWidth()); ++x) {
            const RGBQUAD a = got.GetPixelColor(x, y);
            const RGBQUAD b = want.GetPixelColor(x, y);
            const BYTE alphaA = got.HasAlpha() ? got.AlphaGet(x, y) : 255;
            const BYTE alphaB = want.HasAlpha() ? want.AlphaGet(x, y) : 255;
            if (std::abs(a.rgbRed - b.rgbRed) > tolerance ||
                std::abs(a.rgbGreen - b.rgbGreen) > tolerance ||
                std::abs(a.rgbBlue - b.rgbBlue) > tolerance || alphaA != alphaB)
                return ::testing::AssertionFailure()
                       << "pixel " << x << "," << y << ": " << int(a.rgbRed) << ","
                       << int(a.rgbGreen) << "," << int(a.rgbBlue) << "/" << int(alphaA)
                       << " instead of " << int(b.rgbRed) << "," << int(b.rgbGreen) << ","
                       << int(b.rgbBlue) << "/" << int(alphaB);
        }
    }
    return ::testing::AssertionSuccess();
}

// Where FuzzSeeds tests put the seeds of `target`: the folder the fuzz replays
// read when OSTREL_FUZZ_SEEDS is set, otherwise a folder of `scratch`.
inline std::string SeedDir(const char* target, const TempDir& scratch) {
    const char* root = std::getenv("OSTREL_FUZZ_SEEDS");
    const fs::path dir = root ? fs::path(root) / target : fs::path(scratch / target);
    fs::create_directories(dir);
    return dir.string();
}

}  // namespace toolpic
