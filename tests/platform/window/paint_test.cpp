#include "platform/window/paint.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/window/clock.h"
#include "platform/window/message_loop.h"
#include "platform/window/window_backend.h"

namespace {

// Fills its whole client area with one colour on every WM_PAINT and counts them.
class Painter : public CWnd {
public:
    explicit Painter(COLORREF color) : color_(color) {}
    int paints = 0;
    RECT lastPaint{};

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message != WM_PAINT) return CWnd::WindowProc(message, wParam, lParam);
        ++paints;
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(this, &ps);
        lastPaint = ps.rcPaint;
        RECT all;
        GetClientRect(&all);
        HBRUSH brush = CreateSolidBrush(color_);
        FillRect(hdc, &all, brush);
        DeleteObject(brush);
        EndPaint(this, &ps);
        return 0;
    }

private:
    COLORREF color_;
};

struct RecordingBackend : WindowBackend {
    std::vector<RECT> presented;
    int changes = 0;
    void TopLevelChanged(CWnd*) override { ++changes; }
    void Present(CWnd*, const RECT& dirty) override { presented.push_back(dirty); }
};

class Paint : public ::testing::Test {
protected:
    void SetUp() override {
        SetClock(std::make_shared<VirtualClock>());
        SetWindowBackend(&backend_);
    }
    void TearDown() override {
        SetWindowBackend(nullptr);
        SetClock(nullptr);
    }
    RecordingBackend backend_;
};

}  // namespace

TEST_F(Paint, ChildrenPaintIntoTheTopLevelSurfaceAfterTheirParent) {
    Painter top(RGB(255, 0, 0)), child(RGB(0, 0, 255));
    ASSERT_TRUE(top.CreateEx(nullptr, RECT{100, 100, 140, 130}, "top", 0, WS_POPUP));
    ASSERT_TRUE(child.CreateEx(&top, RECT{10, 5, 20, 15}, "child", 1, WS_CHILD | WS_VISIBLE));
    top.ShowWindow(SW_SHOW);
    PumpWaitingMessages();
    EXPECT_EQ(top.paints, 1);
    EXPECT_EQ(child.paints, 1);
    const SurfacePtr surface = WindowSurface(&child);
    ASSERT_TRUE(surface);
    EXPECT_EQ(surface->Width(), 40);
    EXPECT_EQ(surface->Get(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(surface->Get(10, 5), RGB(0, 0, 255));
    EXPECT_EQ(surface->Get(19, 14), RGB(0, 0, 255));
    EXPECT_EQ(surface->Get(20, 14), RGB(255, 0, 0));
    EXPECT_FALSE(backend_.presented.empty());
    EXPECT_GT(backend_.changes, 0);
}

TEST_F(Paint, InvalidAreasCollectAndPaintOnceClipped) {
    Painter top(RGB(0, 255, 0));
    ASSERT_TRUE(top.CreateEx(nullptr, RECT{0, 0, 50, 50}, "top", 0, WS_POPUP | WS_VISIBLE));
    PumpWaitingMessages();
    ASSERT_EQ(top.paints, 1);
    WindowSurface(&top)->Fill(RGB(0, 0, 0));
    const RECT a{0, 0, 5, 5}, b{10, 10, 12, 12};
    InvalidateRect(&top, &a);
    InvalidateRect(&top, &b);
    RECT pending;
    ASSERT_TRUE(GetUpdateRect(&top, &pending));
    EXPECT_EQ(pending.right, 12);
    PumpWaitingMessages();
    EXPECT_EQ(top.paints, 2);
    // The brush covered the client area, but only the invalid pixels changed.
    const SurfacePtr s = WindowSurface(&top);
    EXPECT_EQ(s->Get(4, 4), RGB(0, 255, 0));
    EXPECT_EQ(s->Get(11, 11), RGB(0, 255, 0));
    EXPECT_EQ(s->Get(7, 7), RGB(0, 0, 0));
    EXPECT_FALSE(GetUpdateRect(&top, nullptr));
    ValidateRect(&top, nullptr);
    UpdateWindow(&top);
    EXPECT_EQ(top.paints, 2);
}

TEST_F(Paint, HiddenWindowsDoNotPaintAndHidingRepaintsTheParent) {
    Painter top(RGB(255, 255, 0)), child(RGB(0, 0, 255));
    ASSERT_TRUE(top.CreateEx(nullptr, RECT{0, 0, 30, 30}, "top", 0, WS_POPUP | WS_VISIBLE));
    ASSERT_TRUE(child.CreateEx(&top, RECT{0, 0, 10, 10}, "child", 1, WS_CHILD));
    PumpWaitingMessages();
    EXPECT_EQ(child.paints, 0);
    child.ShowWindow(SW_SHOW);
    PumpWaitingMessages();
    EXPECT_EQ(WindowSurface(&top)->Get(5, 5), RGB(0, 0, 255));
    child.ShowWindow(SW_HIDE);
    PumpWaitingMessages();
    EXPECT_EQ(WindowSurface(&top)->Get(5, 5), RGB(255, 255, 0));
    EXPECT_EQ(top.lastPaint.right, 10);
}

TEST_F(Paint, WindowRegionIsKeptAsACopy) {
    CWnd top;
    ASSERT_TRUE(top.CreateEx(nullptr, RECT{0, 0, 580, 411}, "top", 0, WS_POPUP));
    HRGN shape = CreateRoundRectRgn(0, 0, 580, 411, 16, 16);
    ASSERT_EQ(SetWindowRgn(&top, shape, true), 1);
    DeleteObject(shape);
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(GetWindowRgn(&top, copy), 0);
    EXPECT_FALSE(PtInRegion(copy, 0, 0));
    EXPECT_TRUE(PtInRegion(copy, 290, 200));
    DeleteObject(copy);
    SetWindowRgn(&top, nullptr, false);
    HRGN none = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(&top, none), 0);
    DeleteObject(none);
}

TEST_F(Paint, GetDCDrawsAtTheClientOriginAndPresents) {
    CWnd top, child;
    ASSERT_TRUE(top.CreateEx(nullptr, RECT{0, 0, 20, 20}, "top", 0, WS_POPUP | WS_VISIBLE));
    ASSERT_TRUE(child.CreateEx(&top, RECT{4, 6, 14, 16}, "child", 1, WS_CHILD | WS_VISIBLE));
    PumpWaitingMessages();
    backend_.presented.clear();
    HDC hdc = GetDC(&child);
    SetPixel(hdc, 0, 0, RGB(9, 9, 9));
    SetPixel(hdc, 12, 0, RGB(9, 9, 9));  // outside the child: clipped
    ReleaseDC(&child, hdc);
    EXPECT_EQ(WindowSurface(&top)->Get(4, 6), RGB(9, 9, 9));
    EXPECT_NE(WindowSurface(&top)->Get(16, 6), RGB(9, 9, 9));
    ASSERT_EQ(backend_.presented.size(), 1u);
    EXPECT_EQ(backend_.presented[0].left, 4);
    EXPECT_EQ(backend_.presented[0].bottom, 16);
}

// A movie-like window under a later sibling (a mask over a picture its parent
// draws): neither its own painting nor a DC on it reaches the covered part, while
// the parent still draws there.
TEST_F(Paint, LaterSiblingsAreNeverPaintedOver) {
    Painter page(RGB(200, 200, 200)), movie(RGB(0, 0, 255)), mask(RGB(0, 255, 0));
    ASSERT_TRUE(page.CreateEx(nullptr, RECT{0, 0, 60, 40}, "page", 0, WS_POPUP));
    ASSERT_TRUE(movie.CreateEx(&page, RECT{0, 0, 60, 40}, "movie", 1, WS_CHILD | WS_VISIBLE));
    CWnd cover;
    ASSERT_TRUE(cover.CreateEx(&page, RECT{10, 10, 30, 20}, "mask", 2, WS_CHILD | WS_VISIBLE));
    page.ShowWindow(SW_SHOW);
    PumpWaitingMessages();
    HDC parent = GetDC(&page);
    SetPixel(parent, 15, 15, RGB(1, 2, 3));  // the page's picture under the mask
    ReleaseDC(&page, parent);

    InvalidateRect(&movie, nullptr);  // a frame of the animation
    PumpWaitingMessages();
    HDC own = GetDC(&movie);
    SetPixel(own, 16, 15, RGB(9, 9, 9));
    ReleaseDC(&movie, own);
    const SurfacePtr surface = WindowSurface(&page);
    EXPECT_EQ(surface->Get(15, 15), RGB(1, 2, 3));
    EXPECT_NE(surface->Get(16, 15), RGB(9, 9, 9));
    EXPECT_EQ(surface->Get(9, 15), RGB(0, 0, 255));   // left of the mask
    EXPECT_EQ(surface->Get(30, 19), RGB(0, 0, 255));  // right of it

    // A hidden sibling covers nothing; nor does an earlier one.
    cover.ShowWindow(SW_HIDE);
    PumpWaitingMessages();
    EXPECT_EQ(surface->Get(15, 15), RGB(0, 0, 255));
    cover.ShowWindow(SW_SHOW);
    ASSERT_TRUE(mask.CreateEx(&movie, RECT{0, 0, 5, 5}, "inner", 3, WS_CHILD | WS_VISIBLE));
    InvalidateRect(&page, nullptr);
    PumpWaitingMessages();
    EXPECT_EQ(surface->Get(2, 2), RGB(0, 255, 0));  // the movie's own child, above it
    // The movie's child is clipped by its parent's later siblings too.
    mask.MoveWindow(RECT{8, 8, 14, 14});
    PumpWaitingMessages();
    EXPECT_EQ(surface->Get(9, 9), RGB(0, 255, 0));
    EXPECT_EQ(surface->Get(12, 12), RGB(200, 200, 200));
}

TEST_F(Paint, AHiddenWindowDrawsNothing) {
    CWnd top, child;
    ASSERT_TRUE(top.CreateEx(nullptr, RECT{0, 0, 20, 20}, "top", 0, WS_POPUP | WS_VISIBLE));
    ASSERT_TRUE(child.CreateEx(&top, RECT{4, 6, 14, 16}, "child", 1, WS_CHILD));
    PumpWaitingMessages();
    HDC hdc = GetDC(&child);
    SetPixel(hdc, 0, 0, RGB(9, 9, 9));
    ReleaseDC(&child, hdc);
    EXPECT_NE(WindowSurface(&top)->Get(4, 6), RGB(9, 9, 9));
}

// Whatever a window draws stays on it: a paint asked for while it was larger, or a
// child that reaches past its parent, never draws over the parent around it.
TEST_F(Paint, AWindowNeverDrawsPastItsOwnOrItsParentsEdges) {
    Painter page(RGB(200, 200, 200)), control(RGB(0, 0, 255)), inner(RGB(0, 255, 0));
    ASSERT_TRUE(page.CreateEx(nullptr, RECT{0, 0, 60, 60}, "page", 0, WS_POPUP));
    ASSERT_TRUE(control.CreateEx(&page, RECT{10, 10, 50, 50}, "c", 1, WS_CHILD | WS_VISIBLE));
    // Made at its template's size while the page is hidden, then placed smaller.
    control.MoveWindow(RECT{10, 10, 30, 30});
    ASSERT_TRUE(inner.CreateEx(&control, RECT{15, 15, 40, 40}, "i", 2, WS_CHILD | WS_VISIBLE));
    page.ShowWindow(SW_SHOW);
    PumpWaitingMessages();
    const SurfacePtr surface = WindowSurface(&page);
    EXPECT_EQ(surface->Get(29, 20), RGB(0, 0, 255));
    EXPECT_EQ(surface->Get(27, 27), RGB(0, 255, 0));  // the inner child, inside its parent
    for (const POINT p : {POINT{30, 20}, POINT{20, 30}, POINT{45, 45}, POINT{32, 27}})
        EXPECT_EQ(surface->Get(p.x, p.y), RGB(200, 200, 200)) << p.x << "," << p.y;
    // GetDC draws on the control alone too.
    HDC own = GetDC(&inner);
    SetPixel(own, 10, 10, RGB(9, 9, 9));  // (35, 35) on the page: beyond the control
    ReleaseDC(&inner, own);
    EXPECT_EQ(surface->Get(35, 35), RGB(200, 200, 200));
}
