// The preview page: the stamp at real size and magnified over the hatch, picking
// transparent colours, the redraw rule and the stamp file written on moving on.
#include <sys/stat.h>

#include <cstring>

#include "platform/gdi/gdi.h"
#include "stamp/stamp_name.h"
#include "stamp_pages.h"

namespace {

constexpr RGBQUAD kKey{255, 0, 255, 0};

bool IsKey(RGBQUAD c) {
    return c.rgbRed == 255 && c.rgbGreen == 0 && c.rgbBlue == 255;
}

class PreviewPage : public StampPages {
protected:
    // The editor's stamp of a picture, as moving on from step 3 leaves it.
    void Extracted(PxImage picture, int format, const std::string& name = "seaside.png") {
        Choose(std::move(picture), name);
        Show(editor.get());
        editor->OnFSCommand("ButtonFormat", std::to_string(format));
        editor->OnFSCommand("ChangeStep", "4");
        Show(preview.get());
    }
    // The stamp's colour at (x, y) from the top-left.
    RGBQUAD StampPixel(LONG x, LONG y) {
        const PxImage& stamp = *g_previewPicture.image;
        return stamp.GetPixelColor(x, static_cast<LONG>(stamp.GetHeight()) - 1 - y);
    }
};

}  // namespace

TEST_F(PreviewPage, RealSizeAndMagnifiedPicturesOverTheHatch) {
    Extracted(GradientPicture(32, 32), 0);
    EXPECT_EQ(g_previewPicture.originX, 379);
    EXPECT_EQ(g_previewPicture.originY, 180);
    EXPECT_EQ(preview->converter.GetWidth(), 128u);
    EXPECT_EQ(preview->realSizeMask->WindowRect().left, 379);
    EXPECT_EQ(preview->magnifiedMask->WindowRect().right, 107 + 128);
    // The 32 x 32 picture is the stamp itself: (8x, 8y, 40) at real size and 4 times.
    EXPECT_EQ(Pixel(379 + 3, 180 + 2), RGB(24, 16, 40));
    EXPECT_EQ(Pixel(107 + 4 * 3 + 3, 167 + 4 * 2), RGB(24, 16, 40));
    EXPECT_EQ(preview->movie.GetVariable("filename"), "seaside.png");

    // A 16 x 16 stamp sits in the middle of the box and is magnified 8 times.
    preview->OnFSCommand("ChangeStep", "3");
    Extracted(GradientPicture(32, 32), 1);
    EXPECT_EQ(g_previewPicture.originX, 387);
    EXPECT_EQ(g_previewPicture.originY, 188);
    EXPECT_EQ(preview->converter.GetWidth(), 128u);
    EXPECT_EQ(preview->realSizeMask->WindowRect().right, 387 + 16);
}

TEST_F(PreviewPage, AClickPicksTheStampPixelUnderItAndOnlyThere) {
    WriteRegistry((dir / "wizards").string(), 1);  // exact colours only
    Extracted(GradientPicture(32, 32), 0);
    const LONG k = 5, m = 9;
    Mouse(WM_MOUSEMOVE, POINT{107 + 4 * k + 1, 167 + 4 * m + 2});
    Mouse(WM_LBUTTONDOWN, POINT{107 + 4 * k + 1, 167 + 4 * m + 2}, kLeft);
    Mouse(WM_LBUTTONUP, POINT{107 + 4 * k + 1, 167 + 4 * m + 2});
    EXPECT_TRUE(IsKey(StampPixel(k, m)));
    EXPECT_FALSE(IsKey(StampPixel(k + 1, m)));
    EXPECT_FALSE(IsKey(StampPixel(k, m + 1)));
    // The hatch shows through at both sizes.
    EXPECT_NE(Pixel(379 + k, 180 + m), RGB(255, 0, 255));
    EXPECT_NE(Pixel(107 + 4 * k, 167 + 4 * m), RGB(255, 0, 255));
    EXPECT_NE(Pixel(379 + k, 180 + m), RGB(8 * k, 8 * m, 40));

    // Off the magnified picture nothing is picked, even on the real-size one.
    const PxImage before(*g_previewPicture.image);
    for (POINT at : {POINT{379 + 1, 180 + 1}, POINT{300, 300}, POINT{107 + 128, 170}}) {
        Mouse(WM_MOUSEMOVE, at);
        Mouse(WM_LBUTTONDOWN, at, kLeft);
        Mouse(WM_LBUTTONUP, at);
    }
    EXPECT_EQ(std::memcmp(before.GetBits(), g_previewPicture.image->GetBits(),
                          static_cast<std::size_t>(before.GetEffWidth()) * 32),
              0);
}

TEST_F(PreviewPage, AllowscaleDoesNotRedrawAnyOtherCommandDoes) {
    Extracted(PlainPicture(32, 32, RGBQUAD{50, 100, 200, 0}), 0);
    auto scribble = [&] {
        HDC hdc = GetDC(preview.get());
        SetPixel(hdc, 110, 170, RGB(1, 2, 3));
        ReleaseDC(preview.get(), hdc);
    };
    scribble();
    preview->OnFSCommand("allowscale", "false");
    EXPECT_EQ(Pixel(110, 170), RGB(1, 2, 3));
    preview->OnFSCommand("ChangeStep", "4");
    EXPECT_EQ(Pixel(110, 170), RGB(200, 100, 50));
    scribble();
    preview->OnFSCommand("anything", "");
    EXPECT_EQ(Pixel(110, 170), RGB(200, 100, 50));
}

TEST_F(PreviewPage, MovingOnWritesTheStampUnderItsShortName) {
    Extracted(GradientPicture(16, 16), 0, "holiday-at-the-sea.gif");
    EXPECT_EQ(preview->TemporaryFolder(), (dir / "wizards").string() + "/temp/");
    preview->Next();
    LetTimePass(10);
    const std::string expected = (dir / "wizards" / "temp" / "holiday-at-t.png").string();
    EXPECT_EQ(g_pendingStampFile, expected);
    EXPECT_TRUE(fs::exists(expected));
    EXPECT_TRUE(main.Got(WM_WIZ_NEXT));
    EXPECT_EQ(g_previewPicture.image->GetBpp(), 8u);
}

// A temporary folder the user deleted is made again, for the owner only.
TEST_F(PreviewPage, AMissingTemporaryFolderIsMadeAgain) {
    Extracted(GradientPicture(64, 64), 0, "holiday-at-the-sea.png");
    fs::remove_all(dir / "wizards");
    preview->OnFSCommand("ChangeStep", "5");
    const fs::path temp = dir / "wizards" / "temp";
    EXPECT_TRUE(fs::exists(temp / "holiday-at-t.png"));
    struct stat info {};
    ASSERT_EQ(stat(temp.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(g_pendingStampFile, (temp / "holiday-at-t.png").string());
}

// A folder that cannot be made: nothing is recorded, but the page still moves on.
TEST_F(PreviewPage, AFailedSaveKeepsThePreviousPathAndMovesOn) {
    std::ofstream(dir / "blocker") << "a file where a folder should be";
    WriteRegistry((dir / "blocker").string(), 16);
    RemakePreview();  // the folder is read when the page is made
    Extracted(GradientPicture(64, 64), 0);
    g_pendingStampFile = "/earlier/stamp.png";
    preview->OnFSCommand("ChangeStep", "5");
    LetTimePass(10);
    EXPECT_EQ(g_pendingStampFile, "/earlier/stamp.png");
    EXPECT_TRUE(main.Got(WM_WIZ_NEXT));
}
