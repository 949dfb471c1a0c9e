// The stamp the editor and preview pages write, byte for byte the one the
// command-line tool makes from the same picture, frame, size, lightness and picks.
#include <fstream>
#include <iterator>
#include <sstream>

#include "imaging/support/metadata_splice.h"
#include "stamp_pages.h"

namespace {

std::string FileBytes(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A gradient with a plain block and a magenta spot, so that picks have areas to
// take and the key colour already occurs.
PxImage Scene(LONG w, LONG h) {
    PxImage picture = GradientPicture(w, h);
    for (LONG y = h / 4; y < h / 2; ++y)
        for (LONG x = w / 3; x < w / 2; ++x)
            picture.SetPixelColor(x, y, RGBQUAD{30, 160, 90, 0});
    for (LONG y = 0; y < 6; ++y)
        for (LONG x = 0; x < 6; ++x)
            picture.SetPixelColor(w / 2 + x, h / 2 + y, RGBQUAD{255, 0, 255, 0});
    return picture;
}

class StampRoad : public StampPages {
protected:
    void PickOnPreview(POINT magnified) {
        const POINT at{107 + magnified.x, 167 + magnified.y};
        Mouse(WM_MOUSEMOVE, at);
        Mouse(WM_LBUTTONDOWN, at, kLeft);
        Mouse(WM_LBUTTONUP, at);
        picks_ += " --pick " + std::to_string(magnified.x) + "," + std::to_string(magnified.y);
    }
    // Moves on from both pages and returns the stamp file they wrote.
    std::string Finish() {
        editor->OnFSCommand("ChangeStep", "4");
        LetTimePass(10);
        EXPECT_TRUE(main.Got(WM_WIZ_NEXT));
        Show(preview.get());
        for (const POINT& pick : picks)
            PickOnPreview(pick);
        preview->OnFSCommand("ChangeStep", "5");
        LetTimePass(10);
        EXPECT_GE(g_previewPicture.image->GetTransIndex(), 0) << "nothing became transparent";
        EXPECT_TRUE(main.Got(WM_WIZ_NEXT));
        return g_pendingStampFile;
    }
    // What the tool writes for the same choices.
    std::string ToolStamp(const std::string& edits) {
        const RECT& s = editor->frame.sel;
        const std::string select = editor->selectAll
                                       ? " --all"
                                       : " --select " + std::to_string(s.left) + "," +
                                             std::to_string(s.top) + "," + std::to_string(s.right) +
                                             "," + std::to_string(s.bottom);
        const std::string out = (dir / "tool.png").string();
        const std::string command =
            std::string(OSTREL_PXTOOL_PATH) + " stamp '" + g_chosenPicturePath + "' --size " +
            (editor->format == 1 ? "16" : "32") + select + edits + " --lightness " +
            std::to_string(lightness) + picks_ + " -o '" + out + "'";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return out;
    }

    std::vector<POINT> picks;
    int lightness = 0;
    std::string picks_;
};

}  // namespace

// The frame dragged and resized with the mouse, 16 x 16 chosen on the movie,
// lighter, two colours picked.
TEST_F(StampRoad, DraggedFrameSmallStampLighterWithPicks) {
    Choose(Scene(400, 300), "seaside.png");
    Show(editor.get());
    Drag(POINT{124, 178}, POINT{150, 190});       // move
    Drag(POINT{188 + 26, 242}, POINT{180, 215});  // handle 4 inwards
    Mouse(WM_LBUTTONDOWN, POINT{378, 213});       // the movie's "16 x 16"
    Mouse(WM_LBUTTONUP, POINT{378, 213});
    ASSERT_EQ(editor->format, 1);
    lightness = 30;
    editor->OnFSCommand("lightness", std::to_string(lightness));
    picks = {POINT{20, 20}, POINT{100, 60}};
    const std::string pages = Finish();
    ASSERT_FALSE(pages.empty());
    EXPECT_EQ(pages, (dir / "wizards" / "temp" / "seaside.png").string());
    const std::string tool = ToolStamp("");
    const std::string written = FileBytes(pages);
    ASSERT_FALSE(written.empty());
    EXPECT_TRUE(written == FileBytes(tool)) << "the pages' stamp differs from pxtool's";
}

// The picture turned and mirrored, the whole of it, darker, a pick of the key colour.
TEST_F(StampRoad, TurnedWholePictureDarker) {
    Choose(Scene(300, 120), "bay.png");
    Show(editor.get());
    editor->OnFSCommand("ButtonRotateleft", "");
    editor->OnFSCommand("ButtonMirror", "");
    editor->OnFSCommand("SelectAll", "All");
    lightness = -20;
    editor->OnFSCommand("lightness", std::to_string(lightness));
    picks = {POINT{64, 64}, POINT{2, 2}};
    const std::string pages = Finish();
    ASSERT_FALSE(pages.empty());
    const std::string tool = ToolStamp(" --rotate left --mirror");
    EXPECT_TRUE(FileBytes(pages) == FileBytes(tool)) << "the pages' stamp differs from pxtool's";
}

// A phone's portrait photo (stored sideways, EXIF orientation 6): the stamp of the
// whole picture is upright and the same as the tool's.
TEST_F(StampRoad, PortraitPhotoWholeAndUpright) {
    PxImage stored = PlainPicture(90, 60, RGBQUAD{200, 200, 200, 0});
    for (LONG y = 45; y < 60; ++y)  // the stored top-left corner
        for (LONG x = 0; x < 18; ++x)
            stored.SetPixelColor(x, y, RGBQUAD{0, 0, 255, 0});
    BYTE* jpeg = nullptr;
    LONG size = 0;
    ASSERT_TRUE(stored.Encode(jpeg, size, PX_FORMAT_JPG));
    const Bytes oriented = InsertJpegSegments(Bytes(jpeg, jpeg + size), 0xE1,
                                              {WithExifHeader(ExifWithOrientation(6))});
    std::free(jpeg);
    g_chosenPicturePath = (dir / "portrait.jpg").string();
    std::ofstream(g_chosenPicturePath, std::ios::binary)
        .write(reinterpret_cast<const char*>(oriented.data()),
               static_cast<std::streamsize>(oriented.size()));
    ASSERT_TRUE(g_editorPicture.Open(g_chosenPicturePath, kAcceptAll, 0));
    ASSERT_EQ(g_editorPicture.GetHeight(), 90u);
    Show(editor.get());
    editor->OnFSCommand("SelectAll", "All");
    picks = {POINT{2, 2}};
    const std::string pages = Finish();
    ASSERT_FALSE(pages.empty());
    EXPECT_TRUE(FileBytes(pages) == FileBytes(ToolStamp("")))
        << "the pages' stamp differs from pxtool's";

    // Upright: the red corner is at the stamp's top right, not its top left.
    PxImage stamp;
    ASSERT_TRUE(stamp.Load(pages.c_str(), PX_FORMAT_PNG, true));
    const auto red = [&](LONG x, LONG yFromTop) {
        const RGBQUAD c = stamp.GetPixelColor(x, 31 - yFromTop);
        return c.rgbRed > 180 && c.rgbGreen < 80 && c.rgbBlue < 80;
    };
    EXPECT_TRUE(red(23, 2));
    EXPECT_FALSE(red(8, 2));
}
