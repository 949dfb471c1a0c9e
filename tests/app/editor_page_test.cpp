// The editor page: the picture in its box, the selection frame under the mouse,
// the cursors, the small preview and the movie's commands.
#include <cstdlib>
#include <cstring>

#include "platform/window/cursor.h"
#include "stamp_pages.h"

namespace {

using Editing = StampPages;

bool Same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool SameBits(const PxImage& a, const PxImage& b) {
    return a.GetWidth() == b.GetWidth() && a.GetHeight() == b.GetHeight() &&
           a.GetSize() == b.GetSize() &&
           std::memcmp(a.GetBits(), b.GetBits(), a.GetHeight() * a.GetEffWidth()) == 0;
}

// Scaling may move a channel by a step or two.
bool Near(COLORREF a, COLORREF b) {
    return std::abs(int{GetRValue(a)} - GetRValue(b)) <= 2 &&
           std::abs(int{GetGValue(a)} - GetGValue(b)) <= 2 &&
           std::abs(int{GetBValue(a)} - GetBValue(b)) <= 2;
}

constexpr COLORREF kOrange = RGB(200, 100, 50);
constexpr COLORREF kInverse = RGB(55, 155, 205);

}  // namespace

TEST_F(Editing, ShowsThePictureScaledIntoItsBoxWithTheFrameAndTheName) {
    Choose(PlainPicture(400, 300, RGBQUAD{50, 100, 200, 0}), "holiday-at-the-sea.png");
    Show(editor.get());
    EXPECT_EQ(g_stampName, "holiday-at-t");
    EXPECT_EQ(editor->movie.GetVariable("filename"), "holiday-at-the-sea.png");
    EXPECT_PRED2(Same, g_editorPicture.drawRect, (RECT{33, 110, 215, 246}));
    EXPECT_PRED2(Same, editor->frame.sel, (RECT{56, 110, 192, 246}));
    // The picture, the black rest of the box, a handle and a dash of the frame.
    EXPECT_EQ(Pixel(40, 200), kOrange);
    EXPECT_EQ(Pixel(100, 250), RGB(0, 0, 0));
    EXPECT_EQ(Pixel(57, 112), kInverse);
    EXPECT_EQ(Pixel(70, 110), kInverse);
    EXPECT_EQ(Pixel(75, 110), kOrange);
    // The small preview: the stamp of the frame, at (461, 197).
    ASSERT_TRUE(editor->smallPreview.image);
    EXPECT_EQ(editor->smallPreview.GetWidth(), 32u);
    EXPECT_PRED2(Near, Pixel(461, 197), kOrange);

    // The movie never paints over the pictures, whatever it redraws.
    InvalidateRect(&editor->movie, nullptr);
    LetTimePass(300);
    EXPECT_EQ(Pixel(40, 200), kOrange);
    EXPECT_EQ(Pixel(57, 112), kInverse);
    EXPECT_PRED2(Near, Pixel(470, 220), kOrange);
}

// A 240-character name under the picture: one line, cut before its extension,
// within the box's width; no top of a second line above the selection line.
TEST_F(Editing, ALongNameIsShortenedToOneLineUnderThePicture) {
    const std::string name = std::string(236, 'n') + ".png";
    Choose(PlainPicture(100, 80, RGBQUAD{50, 100, 200, 0}), name);
    Show(editor.get());
    EXPECT_EQ(editor->movie.GetVariable("filename"), name);  // the movie keeps it whole
    const auto ink = [&](int x, int y) { return GetGValue(Pixel(x, y)) < 160; };
    int lines = 0, inkRows = 0, beside = 0;
    bool inLine = false;
    for (int y = 298; y < 316; ++y) {
        bool any = false;
        for (int x = 20; x < 230; ++x) {  // the slider beside it is not the name's
            if (!ink(x, y)) continue;
            any = true;
            beside += x < 33 || x >= 215;
        }
        inkRows += any;
        lines += any && !inLine;
        inLine = any;
    }
    EXPECT_EQ(lines, 1);
    EXPECT_GT(inkRows, 5);
    EXPECT_EQ(beside, 0);
    ASSERT_TRUE(backend.Screenshot(&main, (dir / "long-name.png").string()));
    if (const char* keep = std::getenv("OSTREL_DEMO_SCREENS"))
        backend.Screenshot(&main, std::string(keep) + "/long-name-step3.png");
}

TEST_F(Editing, SmallAndFlatPicturesLimitTheFrame) {
    Choose(GradientPicture(100, 80), "small.png");
    Show(editor.get());
    EXPECT_PRED2(Same, g_editorPicture.drawRect, (RECT{33, 110, 133, 190}));
    EXPECT_PRED2(Same, editor->frame.limits, (RECT{33, 110, 133, 190}));
    EXPECT_PRED2(Same, editor->frame.sel, (RECT{43, 110, 123, 190}));

    Choose(GradientPicture(300, 120), "flat.png");
    editor->OnFSCommand("SelectAll", "Frame");  // a new picture gets a new frame
    EXPECT_PRED2(Same, g_editorPicture.drawRect, (RECT{33, 110, 215, 182}));
    Drag(POINT{124, 150}, POINT{124, 300});
    EXPECT_EQ(editor->frame.sel.bottom, 182);
}

// Dragged through the mask, the frame follows the pointer even past the mask's
// edge, the old frame is erased by the redraw and the cursor tells what a press does.
TEST_F(Editing, DraggingTheFrameThroughTheMask) {
    Choose(PlainPicture(400, 300, RGBQUAD{50, 100, 200, 0}), "p.png");
    Show(editor.get());
    Mouse(WM_MOUSEMOVE, POINT{60, 114});
    EXPECT_EQ(backend.CurrentCursor(), IDC_SIZENWSE);
    Mouse(WM_MOUSEMOVE, POINT{188, 114});
    EXPECT_EQ(backend.CurrentCursor(), IDC_SIZENESW);
    Mouse(WM_MOUSEMOVE, POINT{40, 200});
    EXPECT_EQ(backend.CurrentCursor(), IDC_ARROW);
    Mouse(WM_MOUSEMOVE, POINT{124, 178});
    EXPECT_EQ(backend.CurrentCursor(), IDC_SIZEALL);
    Mouse(WM_MOUSEMOVE, POINT{300, 300});  // over the movie
    EXPECT_EQ(backend.CurrentCursor(), IDC_ARROW);
    // A tip of the movie goes when the pointer reaches the picture.
    Mouse(WM_MOUSEMOVE, POINT{260, 142});
    LetTimePass(2000);
    ASSERT_TRUE(editor->tooltip.IsWindowVisible());
    Mouse(WM_MOUSEMOVE, POINT{200, 150});
    EXPECT_FALSE(editor->tooltip.IsWindowVisible());

    Drag(POINT{124, 178}, POINT{624, 178});
    EXPECT_PRED2(Same, editor->frame.sel, (RECT{79, 110, 215, 246}));
    EXPECT_EQ(Pixel(57, 112), kOrange);   // the old handle is gone
    EXPECT_EQ(Pixel(80, 112), kInverse);  // the new one is drawn
    // The preview followed the frame.
    ASSERT_TRUE(editor->ExtractStamp(g_previewPicture));
    EXPECT_TRUE(SameBits(*editor->smallPreview.image, *g_previewPicture.image));
}

TEST_F(Editing, FormatLightnessAndWholePicture) {
    Choose(GradientPicture(400, 100), "panorama.png");
    Show(editor.get());
    editor->OnFSCommand("ButtonFormat", "1");
    EXPECT_EQ(editor->format, 1);
    EXPECT_EQ(editor->smallPreview.originX, 469);
    EXPECT_EQ(editor->smallPreview.originY, 205);
    EXPECT_EQ(editor->smallPreview.GetWidth(), 16u);
    EXPECT_EQ(Pixel(461, 197), RGB(0, 0, 0));  // the rest of the 32 x 32 box
    EXPECT_EQ(Pixel(468, 228), RGB(0, 0, 0));
    editor->OnFSCommand("ButtonFormat", "0x");
    EXPECT_EQ(editor->smallPreview.originX, 461);

    editor->OnFSCommand("lightness", "30");
    EXPECT_DOUBLE_EQ(editor->smallPreview.lightness, 0.5);
    EXPECT_DOUBLE_EQ(g_previewPicture.lightness, 0.5);

    // The whole panorama: black bars above and below the picture, and no frame.
    editor->OnFSCommand("SelectAll", "ALL");
    EXPECT_TRUE(editor->selectAll);
    const PxImage& stamp = *editor->smallPreview.image;
    auto topLeft = [&](LONG x, LONG y) { return stamp.GetPixelColor(x, 31 - y); };
    EXPECT_EQ(topLeft(16, 0).rgbRed + topLeft(16, 0).rgbGreen + topLeft(16, 0).rgbBlue, 0);
    EXPECT_EQ(topLeft(16, 31).rgbRed + topLeft(16, 31).rgbGreen, 0);
    EXPECT_GT(topLeft(16, 16).rgbBlue, 0);
    const RECT before = editor->frame.sel;
    Drag(POINT{124, 130}, POINT{200, 130});
    EXPECT_PRED2(Same, editor->frame.sel, before);
    editor->OnFSCommand("SelectAll", "Frame");
    EXPECT_FALSE(editor->selectAll);
}

TEST_F(Editing, TurningBackRestoresThePictureAndRecentresTheFrame) {
    Choose(GradientPicture(120, 90), "turn.png");
    Show(editor.get());
    const PxImage original(*g_editorPicture.image);
    Drag(POINT{80, 150}, POINT{70, 150});
    editor->OnFSCommand("ButtonRotateleft", "");
    EXPECT_EQ(g_editorPicture.GetWidth(), 90u);
    EXPECT_PRED2(Same, editor->frame.sel, (RECT{33, 125, 123, 215}));
    editor->OnFSCommand("ButtonRotateright", "");
    EXPECT_TRUE(SameBits(*g_editorPicture.image, original));
    EXPECT_PRED2(Same, editor->frame.sel, (RECT{48, 110, 138, 200}));
    // The preview follows every turn, though the frame stays where it was.
    const auto previewIsFresh = [&] {
        CPicture fresh;
        return editor->ExtractStamp(fresh) && SameBits(*fresh.image, *editor->smallPreview.image);
    };
    const PxImage unmirrored(*editor->smallPreview.image);
    editor->OnFSCommand("ButtonMirror", "");
    EXPECT_TRUE(previewIsFresh());
    EXPECT_FALSE(SameBits(*editor->smallPreview.image, unmirrored));
    editor->OnFSCommand("ButtonMirror", "");
    EXPECT_TRUE(previewIsFresh());
    editor->OnFSCommand("ButtonFlip", "");
    editor->OnFSCommand("ButtonFlip", "");
    EXPECT_TRUE(SameBits(*g_editorPicture.image, original));
}

TEST_F(Editing, MovingOnExtractsTheStampOrSaysWhyNot) {
    Show(editor.get());  // no picture
    editor->OnFSCommand("ChangeStep", "4");
    LetTimePass(10);
    ASSERT_EQ(backend.Boxes().size(), 1u);
    EXPECT_EQ(backend.Boxes()[0].text, "Can't extract!");
    EXPECT_FALSE(main.Got(WM_WIZ_NEXT));

    // Back to the pictures and forward again with one.
    editor->OnFSCommand("ChangeStep", "2");
    Choose(GradientPicture(400, 300), "p.png");
    Show(editor.get());
    editor->OnFSCommand("ButtonFormat", "1");
    editor->Next();  // Enter
    LetTimePass(10);
    EXPECT_TRUE(main.Got(WM_WIZ_NEXT));
    ASSERT_TRUE(g_previewPicture.image);
    EXPECT_EQ(g_previewPicture.GetWidth(), 16u);
}

TEST_F(Editing, GoingBackForgetsTheEdits) {
    Choose(GradientPicture(400, 300), "p.png");
    Show(editor.get());
    editor->OnFSCommand("ButtonFormat", "1");
    editor->OnFSCommand("SelectAll", "All");
    editor->OnFSCommand("lightness", "-60");
    editor->OnFSCommand("ChangeStep", "3");  // no such step from here: ignored
    editor->OnFSCommand("ChangeStep", "2");
    LetTimePass(10);
    EXPECT_TRUE(main.Got(WM_WIZ_PREVIOUS));
    EXPECT_EQ(editor->format, 0);
    EXPECT_FALSE(editor->selectAll);
    EXPECT_FALSE(editor->frame.enabled);
    EXPECT_EQ(editor->smallPreview.lightness, 0.0);
    EXPECT_EQ(g_previewPicture.lightness, 0.0);
    // Shown again, the frame starts afresh.
    Show(editor.get());
    EXPECT_TRUE(editor->frame.enabled);
    EXPECT_PRED2(Same, editor->frame.sel, (RECT{56, 110, 192, 246}));
}

// Back from step 4 the edits stay; a picture chosen again on step 2 (as after
// "new stamp", even the same file) starts the editor afresh.
TEST_F(Editing, APictureChosenAgainForgetsTheEditsComingBackKeepsThem) {
    Choose(GradientPicture(400, 300), "p.png");
    Show(editor.get());
    Drag(POINT{120, 170}, POINT{100, 170});
    editor->OnFSCommand("lightness", "-30");
    const RECT dragged = editor->frame.sel;
    EXPECT_PRED2(Same, dragged, (RECT{36, 110, 172, 246}));
    Show(preview.get());
    Show(editor.get());
    EXPECT_PRED2(Same, editor->frame.sel, dragged);
    EXPECT_EQ(editor->smallPreview.lightness, -0.5);

    Show(preview.get());
    Choose(GradientPicture(400, 300), "p.png");
    Show(editor.get());
    EXPECT_PRED2(Same, editor->frame.sel, (RECT{56, 110, 192, 246}));
    EXPECT_EQ(editor->smallPreview.lightness, 0.0);
    EXPECT_EQ(g_previewPicture.lightness, 0.0);
}
