#include "dlg_wiz3.h"

#include "app/resources/wizard_resources.h"
#include "app/settings/settings.h"
#include "busy_picture_work.h"
#include "leading_integer.h"
#include "platform/window/cursor.h"
#include "platform/window/focus.h"
#include "platform/window/focus_mark.h"
#include "platform/window/key_state.h"
#include "stamp/picture_drawing.h"
#include "stamp/stamp_globals.h"
#include "stamp/stamp_name.h"

namespace {

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

}  // namespace

CDlgWiz3::CDlgWiz3(CWnd* parent) : CDlgWizPage(IDD_WIZ1 + 2, 3, parent) {}

bool CDlgWiz3::ExtractStamp(CPicture& target) const {
    return ::ExtractStamp(g_editorPicture, selectAll, format, frame.sel, target);
}

void CDlgWiz3::Next() {
    if (IsWindowVisible()) OnFSCommand("ChangeStep", "4");
}

void CDlgWiz3::OnFSCommand(const std::string& command, const std::string& argument) {
    if (command == "ChangeStep" && argument == "4") return MoveOn();
    if (command == "ChangeStep" && argument == "2") return BackToPictures();
    if (command == "exit") return RequestExit();
    if (command == "reduce") return RequestReduce();
    if (command == "ButtonFlip") return Turn([](PxImage& image) { return image.Flip(); });
    if (command == "ButtonMirror") return Turn([](PxImage& image) { return image.Mirror(); });
    if (command == "ButtonRotateright")
        return Turn([](PxImage& image) { return image.RotateRight(); });
    if (command == "ButtonRotateleft")
        return Turn([](PxImage& image) { return image.RotateLeft(); });
    if (command == "ButtonFormat") {
        format = LeadingInteger(argument);
        return ApplyFormat();
    }
    if (command == "lightness") {
        smallPreview.lightness = LeadingInteger(argument) / 60.0;
        UpdatePreview();
        g_previewPicture.lightness = smallPreview.lightness;
        return;
    }
    if (command == "SelectAll") {
        selectAll = EqualsIgnoringCase(argument, "All");
        RedrawPicture();
        ResetSelection();
        UpdatePreview();
    }
}

void CDlgWiz3::MoveOn() {
    if (ExtractStamp(g_previewPicture))
        RequestNext();
    else
        AppMessageBox("Can't extract!", MB_OK);
}

void CDlgWiz3::BackToPictures() {
    ForgetEdits();
    RequestPrevious();
}

// A new picture forgets the size, the whole-picture choice, the frame and the
// lightness; the movie starts this step afresh.
void CDlgWiz3::ForgetEdits() {
    selectAll = false;
    format = 0;
    ApplyFormat();
    frame.enabled = false;
    smallPreview.lightness = 0.0;
    g_previewPicture.lightness = 0.0;
    movie.GotoFrame(2);
    movie.GotoFrame(4);
}

// Turning a large picture takes long enough to be felt: the page keeps painting the
// picture as it was until the turned one takes its place.
void CDlgWiz3::Turn(const std::function<bool(PxImage&)>& edit) {
    std::unique_ptr<PxImage> turned;
    if (g_editorPicture.image) turned = EditedCopyShowingBusy(*g_editorPicture.image, edit);
    const bool changed = turned != nullptr;
    if (changed) {
        g_editorPicture.image = std::move(turned);
        ++turns_;
    }
    AfterEdit(changed);
}

// A turned or mirrored picture gets a new frame, the largest centred square.
void CDlgWiz3::AfterEdit(bool /*changed*/) {
    RedrawPicture();
    ResetSelection();
}

void CDlgWiz3::OnShowWindow(bool show, UINT status) {
    CDlgWizPage::OnShowWindow(show, status);
    if (!show) {
        if (pictureMask) pictureMask->ShowWindow(SW_HIDE);
        if (previewMask) previewMask->ShowWindow(SW_HIDE);
        return;
    }
    // A picture chosen afresh on step 2 (after "new stamp" too) gets a fresh editor;
    // coming back from step 4 keeps the edits.
    if (shownOpening_ != 0 && shownOpening_ != g_editorPicture.openings) ForgetEdits();
    shownOpening_ = g_editorPicture.openings;
    g_stampName = ProposedStampName(g_chosenPicturePath);
    movie.SetVariable("filename", FileNameOf(g_chosenPicturePath));
    movie.SetVariable("SelectType", "");
    g_editorPicture.owner = this;
    g_editorPicture.originX = kPictureAt.x;
    g_editorPicture.originY = kPictureAt.y;
    smallPreview.owner = this;
    smallPreview.originX = kPreviewAt.x + PreviewInset();
    smallPreview.originY = kPreviewAt.y + PreviewInset();
    if (!pictureMask) pictureMask = std::make_unique<CDlgMask>(this);
    pictureMask->Place(kPictureAt.x, kPictureAt.y, kEditBoxSide, kEditBoxSide);
    pictureMask->ModifyStyle(0, WS_TABSTOP);
    if (!previewMask) previewMask = std::make_unique<CDlgMask>(this);
    previewMask->Place(kPreviewAt.x, kPreviewAt.y, kPreviewBox, kPreviewBox);
}

void CDlgWiz3::OnPaint() {
    CDlgWizPage::OnPaint();
    for (CDlgMask* mask : {pictureMask.get(), previewMask.get()})
        if (mask && mask->GetSafeHwnd()) mask->SendMessage(WM_PAINT);
    if (format != 0) {
        OwnerDC dc(this);
        FillBlack(dc.get(), RECT{kPreviewAt.x, kPreviewAt.y, kPreviewAt.x + kPreviewBox,
                                 kPreviewAt.y + kPreviewBox});
    }
    RedrawPicture();
    if (!selectAll) {
        if (frame.enabled)
            ClearSelectionFrame();
        else
            ResetSelection();
    }
    UpdatePreview();
    PaintFocusMark();
}

void CDlgWiz3::OnMouseMove(UINT flags, POINT point) {
    if (selectAll) return;
    SetCursor(LoadCursor(nullptr, frame.OnMouse(flags, point.x, point.y, &g_editorPicture)));
    if (flags == 0) return;
    UpdatePreview();
    PaintFocusMark();
}

bool CDlgWiz3::PictureBoxFocused() const {
    return pictureMask && GetFocus() == pictureMask.get();
}

bool CDlgWiz3::FrameTakesKeys() const {
    return PictureBoxFocused() && !selectAll && frame.enabled;
}

void CDlgWiz3::OnKeyDown(UINT key) {
    if (!FrameTakesKeys()) return;
    const LONG step = IsKeyDown(VK_SHIFT) ? 10 : 1;
    switch (key) {
        case VK_LEFT:
            return AfterFrameKey(frame.Nudge(-step, 0));
        case VK_RIGHT:
            return AfterFrameKey(frame.Nudge(step, 0));
        case VK_UP:
            return AfterFrameKey(frame.Nudge(0, -step));
        case VK_DOWN:
            return AfterFrameKey(frame.Nudge(0, step));
        default:
            return;
    }
}

void CDlgWiz3::OnChar(UINT character) {
    if (!FrameTakesKeys()) return;
    if (character == '+') AfterFrameKey(frame.Grow(2));
    if (character == '-') AfterFrameKey(frame.Grow(-2));
}

// The frame moved by a key shows and cuts the preview as a drag does.
void CDlgWiz3::AfterFrameKey(bool changed) {
    if (!changed) return;
    RepaintPictureBox();
    UpdatePreview();
}

void CDlgWiz3::RepaintPictureBox() {
    RedrawPicture();
    if (!selectAll) frame.DrawFrame();
    PaintFocusMark();
}

// Drawn over the picture's edge, so redrawing the picture takes it away.
void CDlgWiz3::PaintFocusMark() {
    if (!PictureBoxFocused()) return;
    OwnerDC dc(this);
    if (dc.get())
        DrawFocusMark(dc.get(), RECT{kPictureAt.x, kPictureAt.y, kPictureAt.x + kEditBoxSide,
                                     kPictureAt.y + kEditBoxSide});
}

LRESULT CDlgWiz3::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MASK_FOCUS) {
        if (IsWindowVisible()) RepaintPictureBox();
        return 0;
    }
    return CDlgWizPage::WindowProc(message, wParam, lParam);
}

void CDlgWiz3::RedrawPicture() {
    g_editorPicture.Draw();
}

void CDlgWiz3::ResetSelection() {
    frame.Init(this, g_editorPicture.displayRect);
    if (!selectAll) {
        RedrawPicture();
        frame.DrawFrame();
    }
    UpdatePreview();
    PaintFocusMark();
}

void CDlgWiz3::ApplyFormat() {
    smallPreview.originX = kPreviewAt.x + PreviewInset();
    smallPreview.originY = kPreviewAt.y + PreviewInset();
    frame.aspect = 1.0;
    frame.FitToAspect();
    if (!selectAll) {
        RedrawPicture();
        frame.DrawFrame();
    }
    OwnerDC dc(this);
    FillBlack(dc.get(), RECT{kPreviewAt.x, kPreviewAt.y, kPreviewAt.x + kPreviewBox,
                             kPreviewAt.y + kPreviewBox});
    UpdatePreview();
    PaintFocusMark();
}

CDlgWiz3::PreviewSource CDlgWiz3::CurrentPreviewSource() const {
    return PreviewSource{
        g_editorPicture.image.get(), g_editorPicture.openings, turns_, selectAll, format, frame.sel,
        g_editorPicture.drawRect};
}

void CDlgWiz3::UpdatePreview() {
    const PreviewSource source = CurrentPreviewSource();
    if (source != previewSource_) {
        ExtractStamp(smallPreview);
        previewSource_ = source;
    }
    smallPreview.Draw(0, 0);
}

void CDlgWiz3::ClearSelectionFrame() {
    if (selectAll) return;
    frame.ForgetPoint();
    frame.DrawFrame();
}
