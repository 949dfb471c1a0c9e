// The list view and its image list: single selection and its notifications, keys,
// double click, items sent from another thread, and the mask colour.
#include "platform/window/list_view.h"

#include <gtest/gtest.h>

#include <thread>

#include "imaging/px_image.h"
#include "platform/gdi/gdi.h"
#include "platform/window/clock.h"
#include "platform/window/message_loop.h"
#include "platform/window/message_queue.h"
#include "platform/window/paint.h"

namespace {

constexpr COLORREF kPage = RGB(128, 128, 128);

class Owner : public CWnd {
public:
    std::vector<NMLISTVIEW> changes;
    int doubleClicked = -2;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_PAINT) {  // grey, so what the list draws beyond itself shows
            PAINTSTRUCT paint;
            HDC hdc = BeginPaint(this, &paint);
            RECT all;
            GetClientRect(&all);
            FillSolidRect(hdc, all, kPage);
            EndPaint(this, &paint);
            return 0;
        }
        if (message == WM_NOTIFY) {
            const auto& info = *reinterpret_cast<const NMLISTVIEW*>(lParam);
            if (info.hdr.code == LVN_ITEMCHANGED) changes.push_back(info);
            if (info.hdr.code == NM_DBLCLK) doubleClicked = info.iItem;
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

class ListView : public ::testing::Test {
protected:
    void SetUp() override {
        SetClock(std::make_shared<VirtualClock>());
        owner.CreateEx(nullptr, RECT{0, 0, 300, 250}, "owner", 0, WS_POPUP | WS_VISIBLE);
        list.CreateEx(&owner, RECT{0, 0, 250, 190}, "", 1022, WS_CHILD | WS_VISIBLE);
        images.Create(64, 64, ILC_COLOR32 | ILC_MASK, 0, 10);
        list.SetImageList(&images, LVSIL_NORMAL);
    }
    void TearDown() override {
        list.DestroyWindow();
        owner.DestroyWindow();
        PumpWaitingMessages();
        SetClock(nullptr);
    }
    int Selected() { return list.GetNextItem(-1, LVNI_SELECTED); }

    Owner owner;
    CListCtrl list;
    CImageList images;
};

}  // namespace

TEST_F(ListView, OneItemIsSelectedAtATimeAndEveryChangeIsTold) {
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(list.InsertItem(i, "item" + std::to_string(i), i), i);
    list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    list.SetItemState(4, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(Selected(), 4);
    EXPECT_EQ(list.GetNextItem(4, LVNI_SELECTED), -1);
    ASSERT_EQ(owner.changes.size(), 3u);  // 1 on, 1 off, 4 on
    EXPECT_EQ(owner.changes[1].iItem, 1);
    EXPECT_EQ(owner.changes[1].uNewState & LVIS_SELECTED, 0u);
    list.SetItemState(4, 0, LVIS_SELECTED);
    EXPECT_EQ(Selected(), -1);
    EXPECT_FALSE(list.SetItemState(99, LVIS_SELECTED, LVIS_SELECTED));
    EXPECT_EQ(list.GetItemText(6), "item6");
    EXPECT_EQ(list.GetItemText(60), "");
}

TEST_F(ListView, KeysMoveTheSelectionAndADoubleClickIsTold) {
    for (int i = 0; i < 12; ++i)
        list.InsertItem(i, "n", -1);
    // 250 pixels hold two cells a row, the scroll bar beside them.
    list.SendMessage(WM_KEYDOWN, VK_DOWN);
    EXPECT_EQ(Selected(), 0);
    list.SendMessage(WM_KEYDOWN, VK_DOWN);
    EXPECT_EQ(Selected(), 2);
    list.SendMessage(WM_KEYDOWN, VK_RIGHT);
    EXPECT_EQ(Selected(), 3);
    list.SendMessage(WM_KEYDOWN, VK_END);
    EXPECT_EQ(Selected(), 11);
    EXPECT_GT(list.TopPosition(), 0);  // scrolled into view
    list.SendMessage(WM_KEYDOWN, VK_HOME);
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(list.TopPosition(), 0);
    list.SendMessage(WM_MOUSEWHEEL, static_cast<WPARAM>(static_cast<WORD>(-WHEEL_DELTA)) << 16);
    EXPECT_GT(list.TopPosition(), 0);
    list.SendMessage(WM_MOUSEWHEEL, static_cast<WPARAM>(WHEEL_DELTA) << 16);
    EXPECT_EQ(list.TopPosition(), 0);

    list.SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(4 + 78 + 10, 20));
    EXPECT_EQ(owner.doubleClicked, 1);
    EXPECT_EQ(Selected(), 1);
    list.SendMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(200, 20));  // beside the items: kept
    EXPECT_EQ(Selected(), 1);
}

TEST_F(ListView, ItemsSentFromAnotherThreadArriveInOrder) {
    std::thread sender([this] {
        for (int i = 0; i < 50; ++i)
            list.InsertItem(i, std::to_string(i), i);
        list.DeleteAllItems();
        list.InsertItem(0, "last", 0);
    });
    while (list.GetItemCount() != 1 || list.GetItemText(0) != "last")
        MessageQueue::Current()->HandleSentMessages();
    sender.join();
    EXPECT_EQ(list.GetItemCount(), 1);
}

TEST_F(ListView, BlackIsTheMaskAndTheSelectionShows) {
    PxImage picture;  // red on the left, black on the right
    picture.Create(64, 64, 24, PX_FORMAT_BMP);
    picture.Clear(0);
    for (LONG y = 0; y < 64; ++y)
        for (LONG x = 0; x < 32; ++x)
            picture.SetPixelColor(x, y, RGBQUAD{0, 0, 255, 0});
    HBITMAP bitmap = picture.MakeBitmap(nullptr);
    EXPECT_EQ(images.Add(bitmap, RGB(0, 0, 0)), 0);
    DeleteObject(bitmap);
    EXPECT_EQ(images.GetImageCount(), 1);
    list.InsertItem(0, "a name far too long to fit in two lines of one cell.png", 0);
    list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    while (HWND dirty = NextWindowToPaint(MessageQueue::Current().get()))
        UpdateWindow(dirty);
    const SurfacePtr surface = WindowSurface(&owner);
    // The cell starts at (4, 4), its image 7 pixels in and 4 down.
    EXPECT_EQ(surface->Get(4 + 7 + 10, 4 + 4 + 10), RGB(255, 0, 0));
    EXPECT_EQ(surface->Get(4 + 7 + 50, 4 + 4 + 10), RGB(204, 228, 247));  // highlight shows through
    EXPECT_TRUE(images.Remove(-1));
    EXPECT_EQ(images.GetImageCount(), 0);
}

// The browser's case: the list gets its place while its page is hidden, filled
// with names that wrap, then shown and scrolled. Labels and icons of the rows it
// cannot show whole stay inside it; the page around it keeps its own pixels.
TEST_F(ListView, ItemsAreDrawnInsideTheListOnly) {
    owner.ShowWindow(SW_HIDE);
    list.MoveWindow(RECT{20, 20, 270, 150});
    PxImage picture;
    picture.Create(64, 64, 24, PX_FORMAT_BMP);
    for (LONG y = 0; y < 64; ++y)
        for (LONG x = 0; x < 64; ++x)
            picture.SetPixelColor(x, y, RGBQUAD{0, 0, 255, 0});
    HBITMAP bitmap = picture.MakeBitmap(nullptr);
    for (int i = 0; i < 9; ++i) {
        images.Add(bitmap, RGB(0, 0, 0));
        list.InsertItem(i, "holiday_picture_number_" + std::to_string(i) + "_of_the_summer.png", i);
    }
    DeleteObject(bitmap);
    owner.ShowWindow(SW_SHOW);
    const SurfacePtr surface = WindowSurface(&owner);
    const auto outsideTouched = [&] {
        int touched = 0;
        for (LONG y = 0; y < 250; ++y)
            for (LONG x = 0; x < 300; ++x) {
                const bool inside = x >= 20 && x < 270 && y >= 20 && y < 150;
                touched += !inside && surface->Get(x, y) != kPage;
            }
        return touched;
    };
    const auto paint = [] {
        while (HWND dirty = NextWindowToPaint(MessageQueue::Current().get()))
            UpdateWindow(dirty);
    };
    paint();
    EXPECT_EQ(outsideTouched(), 0);
    EXPECT_EQ(surface->Get(20 + 4 + 7 + 30, 20 + 108 + 4 + 10), RGB(255, 0, 0));  // row 2 shows
    for (int turn = 0; turn < 3; ++turn) {
        list.SendMessage(WM_MOUSEWHEEL, static_cast<WPARAM>(static_cast<WORD>(-WHEEL_DELTA)) << 16);
        paint();
        EXPECT_EQ(outsideTouched(), 0) << "after scrolling " << turn + 1;
    }
}

TEST_F(ListView, ItemsRemovedMovedOrRenamedKeepTheSelectionAndTheViewInPlace) {
    for (int i = 0; i < 40; ++i)
        list.InsertItem(i, "item" + std::to_string(100 + i), i);
    list.SendMessage(WM_MOUSEWHEEL, static_cast<WPARAM>(-3 * WHEEL_DELTA) << 16);
    const int top = list.TopPosition();
    ASSERT_GT(top, 0);
    const int shownFirst = list.HitTest(POINT{10, 10});
    // Two items a row: two new items above the view move it down one row.
    list.InsertItem(0, "a", 40);
    list.InsertItem(0, "b", 41);
    EXPECT_EQ(list.HitTest(POINT{10, 10}), shownFirst + 2);
    EXPECT_EQ(list.GetItemText(list.HitTest(POINT{10, 10})),
              "item" + std::to_string(100 + shownFirst));
    list.DeleteItem(0);
    list.DeleteItem(0);
    EXPECT_EQ(list.TopPosition(), top);

    // The selected item moved and renamed stays selected; the new text is told.
    list.SetItemState(30, LVIS_SELECTED, LVIS_SELECTED);
    owner.changes.clear();
    EXPECT_TRUE(list.SetItemText(30, "renamed"));
    ASSERT_EQ(owner.changes.size(), 1u);
    EXPECT_EQ(owner.changes[0].uChanged, static_cast<UINT>(LVIF_TEXT));
    EXPECT_TRUE(owner.changes[0].uNewState & LVIS_SELECTED);
    EXPECT_TRUE(list.MoveItem(30, 35));
    EXPECT_EQ(Selected(), 35);
    EXPECT_EQ(list.GetItemText(35), "renamed");
    EXPECT_FALSE(list.MoveItem(35, 40));

    // Removing the selected item takes the selection away first, told as a change.
    owner.changes.clear();
    EXPECT_TRUE(list.DeleteItem(35));
    ASSERT_EQ(owner.changes.size(), 1u);
    EXPECT_EQ(owner.changes[0].iItem, 35);
    EXPECT_EQ(owner.changes[0].uNewState & LVIS_SELECTED, 0u);
    EXPECT_EQ(Selected(), -1);
    EXPECT_EQ(list.GetItemCount(), 39);
    EXPECT_FALSE(list.DeleteItem(39));
}
