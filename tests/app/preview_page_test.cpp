// The preview page: the stamp at real size and magnified over the hatch, picking
// transparent colours, the redraw rule and the stamp file written on moving on.
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <vector>

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

// A stamp that cannot be written is said once, with the folder and the system's
// reason; the page stays, nothing is recorded, and a later try works.
TEST_F(PreviewPage, AStampThatCannotBeWrittenIsToldAndThePageStays) {
    std::ofstream(dir / "blocker") << "a file where a folder should be";
    WriteRegistry((dir / "blocker").string(), 16);
    RemakePreview();  // the folder is read when the page is made
    Extracted(GradientPicture(64, 64), 0);
    g_pendingStampFile = "/earlier/stamp.png";
    const std::size_t boxesBefore = backend.Boxes().size();
    preview->OnFSCommand("ChangeStep", "5");
    LetTimePass(10);
    ASSERT_EQ(backend.Boxes().size(), boxesBefore + 1);
    EXPECT_EQ(
        backend.Boxes().back().text,
        "The stamp cannot be written to " + (dir / "blocker").string() + "/temp/: Not a directory");
    EXPECT_EQ(g_pendingStampFile, "/earlier/stamp.png");
    EXPECT_FALSE(main.Got(WM_WIZ_NEXT));
    // Shown as on arrival: wide again, so colours can still be picked.
    EXPECT_EQ(g_previewPicture.image->GetBpp(), 24u);
    EXPECT_EQ(preview->converter.GetWidth(), 128u);

    fs::remove(dir / "blocker");
    preview->Next();
    LetTimePass(10);
    EXPECT_EQ(backend.Boxes().size(), boxesBefore + 1);
    EXPECT_TRUE(main.Got(WM_WIZ_NEXT));
    EXPECT_EQ(g_pendingStampFile, (dir / "blocker" / "temp" / "seaside.png").string());
    EXPECT_TRUE(fs::exists(g_pendingStampFile));
}

TEST_F(PreviewPage, AFolderWithoutWriteRightsIsToldWithThatReason) {
    if (geteuid() == 0) GTEST_SKIP() << "running as root: folder modes do not stop root";
    Extracted(GradientPicture(32, 32), 0);
    const fs::path temp = dir / "wizards" / "temp";
    fs::permissions(temp, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                              fs::perms::group_exec | fs::perms::others_read |
                              fs::perms::others_exec);
    preview->OnFSCommand("ChangeStep", "5");
    LetTimePass(10);
    fs::permissions(temp, fs::perms::owner_all);
    ASSERT_FALSE(backend.Boxes().empty());
    EXPECT_EQ(backend.Boxes().back().text,
              "The stamp cannot be written to " + temp.string() + "/: Permission denied");
    EXPECT_FALSE(main.Got(WM_WIZ_NEXT));
    EXPECT_TRUE(fs::is_empty(temp));
}

namespace {

// A tiny file system of its own over a folder, in a mount namespace of this
// thread's own, so that nothing of it is seen outside the test. Needs root.
class TinyFileSystem {
public:
    explicit TinyFileSystem(const fs::path& at) : at_(at) {
        mounted_ = unshare(CLONE_NEWNS) == 0 &&
                   mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                   mount("tmpfs", at.c_str(), "tmpfs", 0, "size=64k") == 0;
    }
    ~TinyFileSystem() {
        if (mounted_) umount2(at_.c_str(), MNT_DETACH);
    }
    TinyFileSystem(const TinyFileSystem&) = delete;
    TinyFileSystem& operator=(const TinyFileSystem&) = delete;
    bool mounted() const { return mounted_; }
    bool MakeReadOnly() {
        return mount(nullptr, at_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, "size=64k") == 0;
    }
    // Writes one file until the file system has no room left.
    void FillUp() {
        std::FILE* filler = std::fopen((at_ / "filler").c_str(), "wb");
        if (!filler) return;
        const std::string block(4096, 'x');
        while (std::fwrite(block.data(), 1, block.size(), filler) == block.size() &&
               std::fflush(filler) == 0) {
        }
        std::fclose(filler);
    }

private:
    fs::path at_;
    bool mounted_ = false;
};

std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

// A full disk is found even when the few bytes of a stamp fit the write buffer;
// the stamp written before under the same name stays whole.
TEST_F(PreviewPage, AFullOrReadOnlyFileSystemLeavesNothingHalfWritten) {
    if (geteuid() != 0) GTEST_SKIP() << "not root: cannot mount a small file system";
    const fs::path temp = dir / "wizards" / "temp";
    TinyFileSystem tiny(temp);
    if (!tiny.mounted()) GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
    Extracted(GradientPicture(32, 32), 0);
    preview->Next();
    LetTimePass(10);
    const fs::path stamp = temp / "seaside.png";
    ASSERT_TRUE(fs::exists(stamp));
    std::ifstream first(stamp, std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(first)), {});

    Show(preview.get());  // back from step 5, another colour, on again
    Mouse(WM_MOUSEMOVE, POINT{107 + 9, 167 + 9});
    Mouse(WM_LBUTTONDOWN, POINT{107 + 9, 167 + 9}, kLeft);
    Mouse(WM_LBUTTONUP, POINT{107 + 9, 167 + 9});
    tiny.FillUp();
    const std::size_t boxesBefore = backend.Boxes().size();
    preview->Next();
    LetTimePass(10);
    ASSERT_EQ(backend.Boxes().size(), boxesBefore + 1);
    EXPECT_EQ(backend.Boxes().back().text,
              "The stamp cannot be written to " + temp.string() + "/: No space left on device");
    EXPECT_FALSE(main.Got(WM_WIZ_NEXT));
    EXPECT_EQ(Names(temp), (std::vector<std::string>{"filler", "seaside.png"}));
    std::ifstream kept(stamp, std::ios::binary);
    EXPECT_TRUE(std::string((std::istreambuf_iterator<char>(kept)), {}) == written);

    ASSERT_TRUE(tiny.MakeReadOnly());
    preview->Next();
    LetTimePass(10);
    ASSERT_EQ(backend.Boxes().size(), boxesBefore + 2);
    EXPECT_EQ(backend.Boxes().back().text,
              "The stamp cannot be written to " + temp.string() + "/: Read-only file system");
    EXPECT_FALSE(main.Got(WM_WIZ_NEXT));
    EXPECT_EQ(g_pendingStampFile, stamp.string());
}
