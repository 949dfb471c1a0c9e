#include "drop_down.h"

#include "dialog_look.h"
#include "menu.h"
#include "paint.h"
#include "platform/gdi/gdi.h"

namespace {

constexpr int kArrowWidth = 22;
constexpr COLORREF kFieldText = RGB(0x4B, 0x55, 0x63);

// A small triangle pointing down, centred in `box`.
void DrawArrow(HDC hdc, const RECT& box) {
    const LONG cx = (box.left + box.right) / 2, cy = (box.top + box.bottom) / 2;
    for (LONG row = 0; row < 4; ++row)
        FillSolidRect(hdc, RECT{cx - 4 + row, cy - 2 + row, cx + 4 - row, cy - 1 + row},
                      look::kText);
}

}  // namespace

void CDropDown::SetItems(std::vector<std::string> items, int selected, std::string noneText) {
    items_ = std::move(items);
    selected_ = selected >= 0 && selected < static_cast<int>(items_.size()) ? selected : -1;
    noneText_ = std::move(noneText);
    InvalidateRect(this, nullptr);
}

void CDropDown::Paint() {
    PAINTSTRUCT paint;
    HDC hdc = BeginPaint(this, &paint);
    RECT r;
    GetClientRect(&r);
    FillSolidRect(hdc, r, look::kPage);
    FillRoundRect(hdc, r, 4, look::kBorder);
    FillRoundRect(hdc, RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, 3, look::kPanel);
    DrawArrow(hdc, RECT{r.right - kArrowWidth, r.top, r.right, r.bottom});
    HFONT font = CreateLookFont(look::kTextPixels, false);
    HGDIOBJ old = SelectObject(hdc, font);
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, kFieldText);
    RECT text{r.left + 6, r.top, r.right - kArrowWidth, r.bottom};
    const std::string& shown =
        selected_ >= 0 ? items_[static_cast<std::size_t>(selected_)] : noneText_;
    DrawText(hdc, shown.c_str(), -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(hdc, old);
    DeleteObject(font);
    EndPaint(this, &paint);
}

// The menu opens under the field; item ids are the indexes plus one, 0 being
// the answer when nothing was chosen.
void CDropDown::Open() {
    CMenu menu;
    for (std::size_t i = 0; i < items_.size(); ++i)
        menu.AppendMenu(MF_STRING, static_cast<UINT>(i + 1), items_[i]);
    RECT place;
    GetWindowRect(&place);
    const UINT chosen =
        TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RETURNCMD, POINT{place.left, place.bottom}, this);
    if (chosen == 0 || static_cast<int>(chosen) - 1 == selected_) return;
    selected_ = static_cast<int>(chosen) - 1;
    InvalidateRect(this, nullptr);
    if (GetParent())
        GetParent()->SendMessage(WM_COMMAND,
                                 static_cast<WPARAM>(MAKELPARAM(GetDlgCtrlID(), CBN_SELCHANGE)), 0);
}

LRESULT CDropDown::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_LBUTTONDOWN:
            if (!items_.empty()) Open();
            return 0;
        default:
            return CWnd::WindowProc(message, wParam, lParam);
    }
}
