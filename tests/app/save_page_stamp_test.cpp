// Step 5 shows the stamp file itself, 4 times its size, its transparent parts
// showing step 4's grey hatch.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "page_fixture.h"
#include "pages/dlg_wiz5.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/surface.h"
#include "platform/window/paint.h"
#include "stamp/stamp_globals.h"

namespace fs = std::filesystem;

namespace {

constexpr COLORREF kHatchGrey = RGB(128, 128, 128);

// Index 0 transparent on the left quarter; elsewhere (x, y) has its own colour.
PxImage Stamp(int size) {
    PxImage stamp;
    stamp.Create(size, size, 8, PX_FORMAT_PNG);
    stamp.SetPaletteIndex(0, 255, 0, 255);
    for (int i = 1; i < 256; ++i)
        stamp.SetPaletteIndex(static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(7 * i),
                              40);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            stamp.SetPixelIndex(x, y, x < size / 4 ? 0 : static_cast<BYTE>(1 + (x + 3 * y) % 255));
    stamp.SetTransIndex(0);
    return stamp;
}

COLORREF Colour(const PxImage& stamp, int x, int y) {
    const RGBQUAD c = stamp.GetPixelColor(x, static_cast<LONG>(stamp.GetHeight()) - 1 - y);
    return RGB(c.rgbRed, c.rgbGreen, c.rgbBlue);
}

class SavePageStamp : public PageHost<CDlgWiz5> {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("ostrel_step5_" + std::to_string(getpid()));
        fs::create_directories(dir);
        std::ofstream(dir / "r.reg") << "Windows Registry Editor Version 5.00\n\n"
                                     << "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane\\Tessel "
                                        "310-510]\n\"Current Link\"=\"USB\"\n";
        setenv("OSTREL_REGISTRY", (dir / "r.reg").c_str(), 1);
        g_stampName = "Sunset";
        g_pendingStampFile = Write(Stamp(32), "Sunset.png");
        PageHost<CDlgWiz5>::SetUp();
    }
    void TearDown() override {
        PageHost<CDlgWiz5>::TearDown();
        g_pendingStampFile.clear();
        unsetenv("OSTREL_REGISTRY");
        fs::remove_all(dir);
    }
    std::string Write(const PxImage& stamp, const std::string& name) {
        const std::string path = (dir / name).string();
        PxImage copy(stamp);
        EXPECT_TRUE(copy.Save(path.c_str(), PX_FORMAT_PNG));
        return path;
    }
    COLORREF Pixel(int x, int y) { return WindowSurface(&main)->Get(x, y); }

    // Every screen pixel of the stamp's squares: its colour, or the hatch where
    // the stamp is transparent.
    void ExpectMagnified(const PxImage& stamp, POINT at) {
        std::set<COLORREF> underTransparent;
        const int size = static_cast<int>(stamp.GetWidth());
        for (int y = 0; y < 4 * size; ++y)
            for (int x = 0; x < 4 * size; ++x) {
                const COLORREF shown = Pixel(at.x + x, at.y + y);
                if (x / 4 < size / 4)
                    underTransparent.insert(shown);
                else
                    ASSERT_EQ(shown, Colour(stamp, x / 4, y / 4)) << x << "," << y;
            }
        EXPECT_TRUE(underTransparent.count(kHatchGrey));
        EXPECT_FALSE(underTransparent.count(RGB(255, 0, 255)));
        EXPECT_LE(underTransparent.size(), 2u);  // the hatch's lines and its ground
    }

    fs::path dir;
};

}  // namespace

TEST_F(SavePageStamp, TheStampFourTimesItsSizeOverTheHatch) {
    ExpectMagnified(Stamp(32), CDlgWiz5::kStampBoxAt);

    // Repainted by the page after the movie paints.
    InvalidateRect(&main, nullptr);
    UpdateWindow(&main);
    ExpectMagnified(Stamp(32), CDlgWiz5::kStampBoxAt);

    // Back to step 4 and on with a 16 x 16 stamp: in the middle of the box.
    page->ShowWindow(SW_HIDE);
    g_pendingStampFile = Write(Stamp(16), "Small.png");
    page->ShowWindow(SW_SHOW);
    LetTimePass(100);
    ExpectMagnified(Stamp(16), POINT{78 + 32, 88 + 32});
}
