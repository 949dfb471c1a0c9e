// Step 3: editing the picture and choosing the stamp size. The page draws the
// picture in a 182 x 182 box with the selection frame on it, and a stamp-sized
// preview beside it, over the movie; mask windows bring it the mouse there.
#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "app/flash/wiz_page.h"
#include "dlg_mask.h"
#include "selection_frame.h"
#include "stamp/preview_picture.h"

class CDlgWiz3 : public CDlgWizPage {
public:
    static constexpr POINT kPictureAt{33, 110};
    static constexpr POINT kPreviewAt{461, 197};
    static constexpr LONG kPreviewBox = 32;

    explicit CDlgWiz3(CWnd* parent);

    void Next() override;
    void OnFSCommand(const std::string& command, const std::string& argument) override;
    void OnShowWindow(bool show, UINT status) override;
    void OnPaint() override;
    void OnMouseMove(UINT flags, POINT point) override;
    // With the picture box focused: the arrows move the frame by a pixel (ten with
    // Shift), '+' and '-' make it larger and smaller about its centre.
    void OnKeyDown(UINT key) override;
    void OnChar(UINT character) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void RedrawPicture();
    void ResetSelection();
    void ApplyFormat();
    void UpdatePreview();
    void ClearSelectionFrame();
    // The stamp-sized picture of the current edits into target; false when it
    // cannot be cut (target unchanged).
    bool ExtractStamp(CPicture& target) const;

    int format = 0;  // 0: 32 x 32, 1: 16 x 16
    CSelectionFrame frame;
    bool selectAll = false;
    CPreviewPicture smallPreview;
    std::unique_ptr<CDlgMask> pictureMask;
    std::unique_ptr<CDlgMask> previewMask;

private:
    void MoveOn();
    bool PictureBoxFocused() const;
    bool FrameTakesKeys() const;
    void AfterFrameKey(bool changed);
    void RepaintPictureBox();
    void PaintFocusMark();
    void BackToPictures();
    void ForgetEdits();
    void Turn(const std::function<bool(PxImage&)>& edit);
    void AfterEdit(bool changed);
    // The preview's offset inside the 32 x 32 box: a 16 x 16 stamp sits in the middle.
    LONG PreviewInset() const { return format != 0 ? 8 : 0; }
    unsigned shownOpening_ = 0;  // the editor picture's opening this page last showed

    // What the preview was cut from: on a large picture the cut is felt, so it is
    // made again only when one of these changed.
    struct PreviewSource {
        const PxImage* image = nullptr;
        unsigned opening = 0;
        unsigned turns = 0;
        bool selectAll = false;
        int format = 0;
        RECT frame{};
        RECT drawRect{};
        bool operator==(const PreviewSource&) const = default;
    };
    PreviewSource CurrentPreviewSource() const;
    std::optional<PreviewSource> previewSource_;
    unsigned turns_ = 0;
};
