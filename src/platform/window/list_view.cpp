#include "list_view.h"

#include <algorithm>
#include <cstring>

#include "focus.h"
#include "focus_mark.h"
#include "paint.h"
#include "platform/gdi/gdi.h"
#include "text_fit.h"

namespace {

constexpr int kMargin = 4;
constexpr int kImageTop = 4;
constexpr int kWheelStep = CListCtrl::kCellHeight / 2;
constexpr COLORREF kBackground = RGB(255, 255, 255);
constexpr COLORREF kSelection = RGB(204, 228, 247);
constexpr COLORREF kSelectionFrame = RGB(0, 120, 215);
constexpr COLORREF kFocusFrame = RGB(160, 160, 160);

void Frame(HDC hdc, const RECT& r, COLORREF color) {
    FillSolidRect(hdc, RECT{r.left, r.top, r.right, r.top + 1}, color);
    FillSolidRect(hdc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, color);
    FillSolidRect(hdc, RECT{r.left, r.top, r.left + 1, r.bottom}, color);
    FillSolidRect(hdc, RECT{r.right - 1, r.top, r.right, r.bottom}, color);
}

HFONT ItemFont() {
    return CreateFont(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
}

}  // namespace

// ---- The owner's calls ----

CImageList* CListCtrl::SetImageList(CImageList* list, int which) {
    return reinterpret_cast<CImageList*>(
        SendMessage(LVM_SETIMAGELIST, static_cast<WPARAM>(which), reinterpret_cast<LPARAM>(list)));
}

int CListCtrl::InsertItem(int index, const std::string& text, int image) {
    LVITEM item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = index;
    item.pszText = const_cast<char*>(text.c_str());
    item.iImage = image;
    return static_cast<int>(SendMessage(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

bool CListCtrl::DeleteAllItems() {
    return SendMessage(LVM_DELETEALLITEMS) != 0;
}

bool CListCtrl::DeleteItem(int index) {
    return SendMessage(LVM_DELETEITEM, static_cast<WPARAM>(index)) != 0;
}

bool CListCtrl::SetItemText(int index, const std::string& text) {
    LVITEM item{};
    item.pszText = const_cast<char*>(text.c_str());
    return SendMessage(LVM_SETITEMTEXTA, static_cast<WPARAM>(index),
                       reinterpret_cast<LPARAM>(&item)) != 0;
}

bool CListCtrl::MoveItem(int from, int to) {
    return SendMessage(LVM_MOVEITEM, static_cast<WPARAM>(from), static_cast<LPARAM>(to)) != 0;
}

bool CListCtrl::RedrawItems(int first, int last) {
    return SendMessage(LVM_REDRAWITEMS, static_cast<WPARAM>(first), static_cast<LPARAM>(last)) != 0;
}

bool CListCtrl::SetItemState(int index, UINT state, UINT mask) {
    LVITEM item{};
    item.mask = LVIF_STATE;
    item.state = state;
    item.stateMask = mask;
    return SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                       reinterpret_cast<LPARAM>(&item)) != 0;
}

UINT CListCtrl::GetItemState(int index, UINT mask) {
    return static_cast<UINT>(SendMessage(LVM_GETITEMSTATE, static_cast<WPARAM>(index), mask));
}

int CListCtrl::GetItemCount() {
    return static_cast<int>(SendMessage(LVM_GETITEMCOUNT));
}

std::string CListCtrl::GetItemText(int index) {
    char buffer[4096];
    LVITEM item{};
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    const LRESULT n =
        SendMessage(LVM_GETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    return std::string(buffer, static_cast<std::size_t>(std::max<LRESULT>(0, n)));
}

int CListCtrl::GetNextItem(int start, UINT flags) {
    return static_cast<int>(SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(start), flags));
}

// ---- The items, on the control's thread ----

int CListCtrl::Insert(const LVITEM& item) {
    if (item.iItem < 0) return -1;
    const std::size_t at = std::min(static_cast<std::size_t>(item.iItem), items_.size());
    Item added{(item.mask & LVIF_TEXT) && item.pszText ? item.pszText : "",
               (item.mask & LVIF_IMAGE) ? item.iImage : -1, 0};
    TopAnchor top = Top();
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(at), std::move(added));
    if (static_cast<int>(at) <= top.item) ++top.item;
    ScrollToTop(top);
    return static_cast<int>(at);
}

bool CListCtrl::Delete(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= items_.size()) return false;
    ChangeOne(static_cast<std::size_t>(index), 0, LVIS_SELECTED | LVIS_FOCUSED);
    // The parent may have changed the items while it heard of that.
    if (static_cast<std::size_t>(index) >= items_.size()) return false;
    TopAnchor top = Top();
    items_.erase(items_.begin() + index);
    if (index < top.item) --top.item;
    ScrollToTop(top);
    return true;
}

bool CListCtrl::Move(int from, int to) {
    const int count = static_cast<int>(items_.size());
    if (from < 0 || from >= count || to < 0 || to >= count) return false;
    TopAnchor top = Top();
    Item moved = std::move(items_[static_cast<std::size_t>(from)]);
    items_.erase(items_.begin() + from);
    items_.insert(items_.begin() + to, std::move(moved));
    if (from != top.item) {  // the top item itself moving leaves the view in place
        if (from < top.item) --top.item;
        if (to <= top.item) ++top.item;
    }
    ScrollToTop(top);
    return true;
}

bool CListCtrl::SetText(int index, const char* text) {
    if (index < 0 || static_cast<std::size_t>(index) >= items_.size()) return false;
    Item& item = items_[static_cast<std::size_t>(index)];
    item.text = text ? text : "";
    InvalidateRect(this, nullptr);
    Notify(LVN_ITEMCHANGED, index, item.state, item.state, LVIF_TEXT);
    return true;
}

// The anchor of the last change while the view has not moved since, so that
// changes one after another each move it by a whole item, not a row.
CListCtrl::TopAnchor CListCtrl::Top() const {
    if (bar_.Position() == anchoredAt_) return anchor_;
    const int row = std::max(0, (bar_.Position() - kMargin) / kCellHeight);
    return TopAnchor{row * Columns(), bar_.Position() - row * kCellHeight};
}

// A view at the very top stays there, so new items at the start are seen.
void CListCtrl::ScrollToTop(TopAnchor anchor) {
    const bool atStart = bar_.Position() == 0;
    Relayout();
    if (!atStart) bar_.SetPosition((anchor.item / Columns()) * kCellHeight + anchor.offset);
    anchor_ = anchor;
    anchoredAt_ = atStart ? -1 : bar_.Position();
    InvalidateRect(this, nullptr);
}

void CListCtrl::DeleteAll() {
    items_.clear();
    bar_.SetPosition(0);
    anchoredAt_ = -1;
    Relayout();
    InvalidateRect(this, nullptr);
}

// Selecting one item takes the selection from the others (single selection).
bool CListCtrl::ChangeState(int index, UINT state, UINT mask) {
    mask &= LVIS_SELECTED | LVIS_FOCUSED;
    if (index == -1) {
        for (std::size_t i = 0; i < items_.size(); ++i)
            ChangeOne(i, state, mask);
        return true;
    }
    if (index < 0 || static_cast<std::size_t>(index) >= items_.size()) return false;
    const UINT exclusive = state & mask & (LVIS_SELECTED | LVIS_FOCUSED);
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (i != static_cast<std::size_t>(index) && exclusive) ChangeOne(i, 0, exclusive);
    ChangeOne(static_cast<std::size_t>(index), state, mask);
    return true;
}

void CListCtrl::ChangeOne(std::size_t index, UINT state, UINT mask) {
    if (index >= items_.size()) return;
    const UINT old = items_[index].state;
    const UINT now = (old & ~mask) | (state & mask);
    if (now == old) return;
    items_[index].state = now;
    InvalidateRect(this, nullptr);
    Notify(LVN_ITEMCHANGED, static_cast<int>(index), now, old);
}

int CListCtrl::NextItem(int start, UINT flags) const {
    const UINT wanted = flags & (LVNI_SELECTED | LVNI_FOCUSED);
    for (std::size_t i = start < 0 ? 0 : static_cast<std::size_t>(start) + 1; i < items_.size();
         ++i)
        if ((items_[i].state & wanted) == wanted) return static_cast<int>(i);
    return -1;
}

void CListCtrl::CopyText(LVITEM& item, int index) const {
    if (!item.pszText || item.cchTextMax <= 0) return;
    const std::string& text = items_[static_cast<std::size_t>(index)].text;
    const std::size_t n = std::min(text.size(), static_cast<std::size_t>(item.cchTextMax - 1));
    std::memcpy(item.pszText, text.data(), n);
    item.pszText[n] = '\0';
}

void CListCtrl::Notify(UINT code, int item, UINT newState, UINT oldState, UINT changed) {
    if (!GetParent()) return;
    NMLISTVIEW info{};
    info.hdr = NMHDR{this, static_cast<UINT_PTR>(GetDlgCtrlID()), code};
    info.iItem = item;
    info.uNewState = newState;
    info.uOldState = oldState;
    info.uChanged = changed;
    GetParent()->SendMessage(WM_NOTIFY, static_cast<WPARAM>(GetDlgCtrlID()),
                             reinterpret_cast<LPARAM>(&info));
}

// ---- Layout ----

int CListCtrl::Columns() const {
    RECT client;
    GetClientRect(&client);
    return std::max(1, static_cast<int>(client.right - VScrollBar::kWidth - kMargin) / kCellWidth);
}

RECT CListCtrl::CellRect(int index) const {
    const int cols = Columns();
    const int x = kMargin + (index % cols) * kCellWidth;
    const int y = kMargin + (index / cols) * kCellHeight - bar_.Position();
    return RECT{x, y, x + kCellWidth, y + kCellHeight};
}

void CListCtrl::Relayout() {
    RECT client;
    GetClientRect(&client);
    const int rows = (static_cast<int>(items_.size()) + Columns() - 1) / Columns();
    bar_.Layout(RECT{client.right - VScrollBar::kWidth, 0, client.right, client.bottom},
                2 * kMargin + rows * kCellHeight, client.bottom);
}

int CListCtrl::HitTest(POINT p) const {
    if (bar_.Contains(p)) return -1;
    const int cols = Columns();
    const int x = p.x - kMargin, y = p.y - kMargin + bar_.Position();
    if (x < 0 || y < 0 || x >= cols * kCellWidth) return -1;
    const long long index = static_cast<long long>(y / kCellHeight) * cols + x / kCellWidth;
    return index < static_cast<long long>(items_.size()) ? static_cast<int>(index) : -1;
}

void CListCtrl::EnsureVisible(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= items_.size()) return;
    RECT client;
    GetClientRect(&client);
    const RECT cell = CellRect(index);
    if (cell.top < 0)
        bar_.ScrollBy(cell.top - kMargin);
    else if (cell.bottom > client.bottom)
        bar_.ScrollBy(cell.bottom - client.bottom + kMargin);
    InvalidateRect(this, nullptr);
}

// ---- Input ----

void CListCtrl::Choose(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= items_.size()) return;
    ChangeState(index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    EnsureVisible(index);
}

void CListCtrl::OnKey(WPARAM key) {
    if (items_.empty()) return;
    const int last = static_cast<int>(items_.size()) - 1;
    const int cols = Columns();
    RECT client;
    GetClientRect(&client);
    const int page = std::max(1, static_cast<int>(client.bottom) / kCellHeight) * cols;
    int at = NextItem(-1, LVNI_FOCUSED);
    const bool none = at < 0;
    if (none) at = 0;
    switch (key) {
        case VK_LEFT:
            at = none ? 0 : at - 1;
            break;
        case VK_RIGHT:
            at = none ? 0 : at + 1;
            break;
        case VK_UP:
            at = none ? 0 : at - cols;
            break;
        case VK_DOWN:
            at = none ? 0 : at + cols;
            break;
        case VK_PRIOR:
            at -= page;
            break;
        case VK_NEXT:
            at += page;
            break;
        case VK_HOME:
            at = 0;
            break;
        case VK_END:
            at = last;
            break;
        case VK_SPACE:
            break;
        default:
            return;
    }
    Choose(std::clamp(at, 0, last));
}

// A press on empty space keeps the selection: what was chosen stays chosen.
void CListCtrl::OnPress(POINT p, bool twice) {
    SetFocus(this);
    if (bar_.Contains(p)) {
        bar_.Press(p);
        if (bar_.Dragging()) SetCapture(this);
        InvalidateRect(this, nullptr);
        return;
    }
    const int hit = HitTest(p);
    Choose(hit);
    if (twice) Notify(NM_DBLCLK, hit, 0, 0);
}

void CListCtrl::OnWheel(int delta) {
    if (bar_.ScrollBy(-delta * kWheelStep / WHEEL_DELTA)) InvalidateRect(this, nullptr);
}

LRESULT CListCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    auto* item = reinterpret_cast<LVITEM*>(lParam);
    const int index = static_cast<int>(static_cast<INT_PTR>(wParam));
    switch (message) {
        case LVM_SETIMAGELIST: {
            CImageList* old = images_;
            if (wParam == LVSIL_NORMAL) images_ = reinterpret_cast<CImageList*>(lParam);
            InvalidateRect(this, nullptr);
            return reinterpret_cast<LRESULT>(old);
        }
        case LVM_GETITEMCOUNT:
            return static_cast<LRESULT>(items_.size());
        case LVM_INSERTITEMA:
            return item ? Insert(*item) : -1;
        case LVM_DELETEALLITEMS:
            DeleteAll();
            return 1;
        case LVM_DELETEITEM:
            return Delete(index);
        case LVM_MOVEITEM:
            return Move(index, static_cast<int>(lParam));
        case LVM_SETITEMTEXTA:
            return item && SetText(index, item->pszText);
        case LVM_REDRAWITEMS:
            InvalidateRect(this, nullptr);
            return 1;
        case LVM_SETITEMSTATE:
            return item ? ChangeState(index, item->state, item->stateMask) : 0;
        case LVM_GETITEMSTATE:
            if (index < 0 || static_cast<std::size_t>(index) >= items_.size()) return 0;
            return static_cast<LRESULT>(items_[static_cast<std::size_t>(index)].state & lParam);
        case LVM_GETNEXTITEM:
            return NextItem(index, static_cast<UINT>(lParam));
        case LVM_ENSUREVISIBLE:
            EnsureVisible(index);
            return 1;
        case LVM_GETITEMTEXTA:
            if (!item || index < 0 || static_cast<std::size_t>(index) >= items_.size()) return 0;
            CopyText(*item, index);
            return static_cast<LRESULT>(std::strlen(item->pszText ? item->pszText : ""));
        case WM_SIZE:
            Relayout();
            return 0;
        case WM_PAINT:
            Paint();
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            focused_ = message == WM_SETFOCUS;
            InvalidateRect(this, nullptr);
            return 0;
        case WM_KEYDOWN:
            OnKey(wParam);
            return 0;
        case WM_LBUTTONDOWN:
            OnPress(p, false);
            return 0;
        case WM_LBUTTONDBLCLK:
            OnPress(p, true);
            return 0;
        case WM_MOUSEMOVE:
            if (bar_.Drag(p)) InvalidateRect(this, nullptr);
            return 0;
        case WM_LBUTTONUP:
            if (bar_.Dragging()) ReleaseCapture();
            bar_.Release();
            InvalidateRect(this, nullptr);
            return 0;
        case WM_MOUSEWHEEL:
            OnWheel(static_cast<short>(HIWORD(wParam)));
            return 0;
        default:
            return CWnd::WindowProc(message, wParam, lParam);
    }
}

// ---- Painting ----

void CListCtrl::Paint() {
    PAINTSTRUCT paint;
    HDC hdc = BeginPaint(this, &paint);
    if (!hdc) return;
    Relayout();
    RECT client;
    GetClientRect(&client);
    FillSolidRect(hdc, client, kBackground);
    HGDIOBJ oldFont = SelectObject(hdc, ItemFont());
    SetBkMode(hdc, TRANSPARENT);
    const int cols = Columns();
    const int first = std::max(0, (bar_.Position() - kMargin) / kCellHeight) * cols;
    for (int i = first; i < static_cast<int>(items_.size()); ++i) {
        if (CellRect(i).top >= client.bottom) break;
        PaintItem(hdc, i);
    }
    DeleteObject(SelectObject(hdc, oldFont));
    bar_.Paint(hdc);
    if (focused_) DrawFocusMark(hdc, client);
    EndPaint(this, &paint);
}

void CListCtrl::PaintItem(HDC hdc, int index) const {
    const Item& item = items_[static_cast<std::size_t>(index)];
    const RECT cell = CellRect(index);
    const RECT box{cell.left + 1, cell.top + 1, cell.right - 1, cell.bottom - 1};
    const bool selected = item.state & LVIS_SELECTED;
    if (selected) {
        FillSolidRect(hdc, box, kSelection);
        Frame(hdc, box, focused_ ? kSelectionFrame : kFocusFrame);
    } else if ((item.state & LVIS_FOCUSED) && focused_) {
        Frame(hdc, box, kFocusFrame);
    }
    const SIZE size = images_ ? images_->ImageSize() : SIZE{64, 64};
    if (images_)
        images_->Draw(hdc, item.image, cell.left + (kCellWidth - size.cx) / 2,
                      cell.top + kImageTop);
    SetTextColor(hdc, RGB(0, 0, 0));
    const int width = kCellWidth - 6;
    int y = cell.top + kImageTop + size.cy + 3;
    for (const std::string& line : WrapLines(hdc, DisplayText(item.text), width, 2)) {
        const int x = cell.left + (kCellWidth - TextWidth(hdc, line)) / 2;
        TextOut(hdc, x, y, line.c_str(), static_cast<int>(line.size()));
        y += kLineHeight;
    }
}
