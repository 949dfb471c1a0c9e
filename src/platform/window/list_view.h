// The list view in icon view: each item shows its image (from a masked image
// list) with its text under it in at most two lines, in rows as wide as the
// control. Single selection with a visible highlight and focus, keys, a scroll bar
// and the mouse wheel. Items are added, removed and selected through messages, so
// another thread's SendMessage is carried out on the control's own thread. The
// parent hears of changes through WM_NOTIFY: LVN_ITEMCHANGED for every change of
// an item's state and NM_DBLCLK for a double click on an item. Items added or
// removed above the view keep what the view shows where it was.
#pragma once

#include <string>
#include <vector>

#include "image_list.h"
#include "scroll_bar.h"
#include "tooltip.h"
#include "window.h"

constexpr UINT LVM_SETIMAGELIST = 0x1003;
constexpr UINT LVM_GETITEMCOUNT = 0x1004;
constexpr UINT LVM_INSERTITEMA = 0x1007;
constexpr UINT LVM_DELETEITEM = 0x1008;
constexpr UINT LVM_DELETEALLITEMS = 0x1009;
constexpr UINT LVM_REDRAWITEMS = 0x1015;
constexpr UINT LVM_GETNEXTITEM = 0x100C;
constexpr UINT LVM_ENSUREVISIBLE = 0x1013;
constexpr UINT LVM_SETITEMSTATE = 0x102B;
constexpr UINT LVM_GETITEMSTATE = 0x102C;
constexpr UINT LVM_GETITEMTEXTA = 0x102D;
constexpr UINT LVM_SETITEMTEXTA = 0x102E;
// This control's own: moves item wParam to index lParam with its state and image.
constexpr UINT LVM_MOVEITEM = 0x10F0;

constexpr int LVSIL_NORMAL = 0;
constexpr UINT LVIF_TEXT = 0x0001;
constexpr UINT LVIF_IMAGE = 0x0002;
constexpr UINT LVIF_STATE = 0x0008;
constexpr UINT LVIS_FOCUSED = 0x0001;
constexpr UINT LVIS_SELECTED = 0x0002;
constexpr UINT LVNI_ALL = 0x0000;
constexpr UINT LVNI_FOCUSED = 0x0001;
constexpr UINT LVNI_SELECTED = 0x0002;

constexpr UINT NM_DBLCLK = static_cast<UINT>(-3);
constexpr UINT LVN_ITEMCHANGED = static_cast<UINT>(-101);

struct LVITEM {
    UINT mask;
    int iItem;
    int iSubItem;
    UINT state;
    UINT stateMask;
    char* pszText;
    int cchTextMax;
    int iImage;
    LPARAM lParam;
};

// LVN_ITEMCHANGED and NM_DBLCLK (iItem -1 when the click hit no item). A new text
// is told as a change with uChanged LVIF_TEXT and the item's state as it is.
struct NMLISTVIEW {
    NMHDR hdr;
    int iItem;
    int iSubItem;
    UINT uNewState;
    UINT uOldState;
    UINT uChanged;
    POINT ptAction;
    LPARAM lParam;
};

class CListCtrl : public CWnd {
public:
    // Cell of one item: the 64-pixel image with room around it and two text lines.
    static constexpr int kCellWidth = 78;
    static constexpr int kLineHeight = 14;
    static constexpr int kCellHeight = 64 + 8 + 2 * kLineHeight + 4;

    // The calls of the owner; each is a message to the control.
    CImageList* SetImageList(CImageList* list, int which);
    int InsertItem(int index, const std::string& text, int image);
    bool DeleteAllItems();
    // An item that held the selection or the focus gives it up first (told as a
    // change of its state).
    bool DeleteItem(int index);
    bool SetItemText(int index, const std::string& text);
    bool MoveItem(int from, int to);
    // Draws the items again, for an image that changed under them.
    bool RedrawItems(int first, int last);
    bool SetItemState(int index, UINT state, UINT mask);
    UINT GetItemState(int index, UINT mask);
    int GetItemCount();
    std::string GetItemText(int index);
    int GetNextItem(int start, UINT flags);

    // Item at a client point, or -1.
    int HitTest(POINT p) const;
    int TopPosition() const { return bar_.Position(); }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    struct Item {
        std::string text;
        int image;
        UINT state;
    };

    // The item at the view's top left and how far into its row the view starts.
    struct TopAnchor {
        int item;
        int offset;
    };

    int Insert(const LVITEM& item);
    void DeleteAll();
    bool Delete(int index);
    bool Move(int from, int to);
    bool SetText(int index, const char* text);
    TopAnchor Top() const;
    void ScrollToTop(TopAnchor anchor);
    bool ChangeState(int index, UINT state, UINT mask);
    void ChangeOne(std::size_t index, UINT state, UINT mask);
    int NextItem(int start, UINT flags) const;
    void CopyText(LVITEM& item, int index) const;

    void Notify(UINT code, int item, UINT newState, UINT oldState, UINT changed = LVIF_STATE);
    void Choose(int index);
    void OnKey(WPARAM key);
    void OnPress(POINT p, bool twice);
    void OnWheel(int delta);
    void EnsureVisible(int index);
    void Relayout();
    int Columns() const;
    RECT CellRect(int index) const;
    void Paint();
    void PaintItem(HDC hdc, int index) const;

    std::vector<Item> items_;
    CImageList* images_ = nullptr;
    VScrollBar bar_;
    bool focused_ = false;
    TopAnchor anchor_{0, 0};
    int anchoredAt_ = -1;  // the scroll position anchor_ belongs to
};
