#include "platform/window/dialog.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/window/clock.h"
#include "platform/window/dialog_template.h"
#include "platform/window/focus.h"
#include "platform/window/input.h"
#include "platform/window/menu.h"
#include "platform/window/message_loop.h"
#include "platform/window/paint.h"

namespace {

constexpr int kModal = 901;
constexpr int kParent = 902;
constexpr int kPage = 903;

// Counts its handler calls; the control 1003 is a member it binds itself.
class TestDialog : public CDialog {
public:
    using CDialog::CDialog;
    int inits = 0, oks = 0, cancels = 0;
    std::vector<POINT> presses;
    CWnd player;

    bool OnInitDialog() override {
        ++inits;
        return true;
    }
    void OnOK() override {
        ++oks;
        CDialog::OnOK();
    }
    void OnCancel() override {
        ++cancels;
        CDialog::OnCancel();
    }
    void OnLButtonDown(UINT, POINT point) override { presses.push_back(point); }

protected:
    CWnd* CreateControlObject(const ControlTemplate& control) override {
        return control.id == 1003 ? &player : CDialog::CreateControlObject(control);
    }
};

class Dialogs : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        RegisterDialogTemplate({kModal,
                                RECT{0, 0, 100, 40},
                                WS_POPUP | DS_CENTER,
                                "Modal",
                                {{IDOK, "Button", "OK", RECT{10, 10, 50, 24}, WS_VISIBLE}}});
        RegisterDialogTemplate(
            {kParent, RECT{0, 0, 200, 100}, WS_POPUP | WS_VISIBLE, "Parent", {}});
        RegisterDialogTemplate({kPage,
                                RECT{0, 0, 200, 100},
                                WS_CHILD | WS_VISIBLE,
                                "Page",
                                {{1003, "ShockwaveFlash", "", RECT{0, 0, 200, 100}, WS_VISIBLE}}});
        RegisterString(101, "&About");
    }
    void SetUp() override { SetClock(std::make_shared<VirtualClock>()); }
    void TearDown() override {
        MSG left;
        while (PeekMessage(&left)) {
        }
        SetMenuHandler(nullptr);
        SetClock(nullptr);
    }
    static void Later(std::uint64_t ms, std::function<void()> action) {
        MessageQueue::Current()->Schedule(GetClock()->NowMs() + ms, std::move(action));
    }
};

}  // namespace

TEST_F(Dialogs, ModalDialogEndsOnEnterAndFreesItsOwner) {
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(nullptr, RECT{0, 0, 10, 10}, "owner", 0, WS_VISIBLE));
    TestDialog dialog(kModal, &owner);
    bool ownerWasDisabled = false;
    Later(10, [&] {
        ownerWasDisabled = !owner.IsWindowEnabled();
        RECT r;
        dialog.GetWindowRect(&r);
        EXPECT_EQ(r.left, (1280 - 150) / 2);
        CWnd* button = dialog.GetDlgItem(IDOK);
        ASSERT_NE(button, nullptr);
        SetFocus(button);
        PostKeyEvent(WM_KEYDOWN, VK_RETURN);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(ownerWasDisabled);
    EXPECT_TRUE(owner.IsWindowEnabled());
    EXPECT_EQ(dialog.inits, 1);
    EXPECT_EQ(dialog.oks, 1);
    EXPECT_FALSE(IsWindow(&dialog));
    EXPECT_EQ(GetActiveWindow(), &owner);
}

TEST_F(Dialogs, EscapeCancelsAndAQuitEndsTheModalRun) {
    TestDialog dialog(kModal, nullptr);
    Later(5, [] { PostKeyEvent(WM_KEYDOWN, VK_ESCAPE); });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.cancels, 1);
    TestDialog again(kModal, nullptr);
    Later(5, [] { PostQuitMessage(0); });
    EXPECT_EQ(again.DoModal(), -1);
    TestDialog missing(4242, nullptr);
    EXPECT_EQ(missing.DoModal(), -1);
}

TEST_F(Dialogs, KeysGoToTheNearestDialogFirst) {
    TestDialog parent(kParent, nullptr), page(kPage, nullptr);
    ASSERT_TRUE(parent.Create(kParent, nullptr));
    ASSERT_TRUE(page.Create(kPage, &parent));
    EXPECT_EQ(page.GetParent(), &parent);
    EXPECT_EQ(page.GetDlgItem(1003), &page.player);
    SetFocus(&page.player);
    PostKeyEvent(WM_KEYDOWN, VK_RETURN);
    PostKeyEvent(WM_KEYDOWN, VK_ESCAPE);
    PumpWaitingMessages();
    EXPECT_EQ(page.oks, 1);
    EXPECT_EQ(page.cancels, 1);
    EXPECT_EQ(parent.oks + parent.cancels, 0);
    EXPECT_FALSE(page.IsWindowVisible());  // a modeless dialog's EndDialog hides it
}

TEST_F(Dialogs, MouseEventsReachTheWindowUnderThePointOrTheCapture) {
    TestDialog parent(kParent, nullptr), page(kPage, nullptr);
    ASSERT_TRUE(parent.Create(kParent, nullptr));
    ASSERT_TRUE(page.Create(kPage, &parent));
    page.player.ShowWindow(SW_HIDE);
    EXPECT_EQ(ChildWindowFromPoint(&parent, POINT{7, 9}), &page);
    ASSERT_TRUE(PostMouseEvent(&parent, WM_LBUTTONDOWN, POINT{7, 9}));
    EXPECT_EQ(GetActiveWindow(), &parent);
    PumpWaitingMessages();
    ASSERT_EQ(page.presses.size(), 1u);
    EXPECT_EQ(page.presses[0].x, 7);
    SetCapture(&parent);
    PostMouseEvent(&parent, WM_LBUTTONDOWN, POINT{30, 40});
    PumpWaitingMessages();
    ASSERT_EQ(parent.presses.size(), 1u);
    EXPECT_EQ(parent.presses[0].y, 40);
    ReleaseCapture();
}

TEST_F(Dialogs, PopupMenusAnswerThroughTheBackEnd) {
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(nullptr, RECT{0, 0, 10, 10}, "owner", 0, 0));
    CMenu menu;
    menu.AppendMenu(MF_STRING, 1, "About");
    menu.AppendMenu(MF_STRING, 0xF020, "Reduce");
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, POINT{10, 25}, &owner), 0u);
    POINT shownAt{};
    SetMenuHandler([&](const CMenu& m, POINT at, CWnd*) -> UINT {
        shownAt = at;
        return m.Items()[1].id;
    });
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, POINT{10, 25}, &owner), 0xF020u);
    EXPECT_EQ(shownAt.y, 25);
    CMenu* system = owner.GetSystemMenu(false);
    system->AppendMenu(MF_SEPARATOR);
    system->AppendMenu(MF_STRING, 0x0010, LoadString(101));
    EXPECT_EQ(owner.GetSystemMenu(false)->Items().back().text, "&About");
    EXPECT_TRUE(owner.GetSystemMenu(true)->Items().empty());
    EXPECT_EQ(LoadString(4711), "");
}

TEST_F(Dialogs, StaticTextIsDrawnAndAButtonClickCommandsItsDialog) {
    RegisterDialogTemplate({904,
                            RECT{0, 0, 120, 40},
                            WS_POPUP,
                            "About",
                            {{-1, "Static", "Version RC4 (1.3)", RECT{4, 4, 100, 14}, WS_VISIBLE},
                             {IDOK, "Button", "OK", RECT{70, 20, 110, 34}, WS_VISIBLE}}});
    TestDialog dialog(904, nullptr);
    int darkPixels = 0;
    Later(10, [&] {
        const SurfacePtr surface = WindowSurface(&dialog);
        for (LONG y = 6; y < 21; ++y)
            for (LONG x = 6; x < 150; ++x)
                darkPixels += GetRValue(surface->Get(x, y)) < 128;
        CWnd* button = dialog.GetDlgItem(IDOK);
        const RECT place = button->WindowRect();
        const POINT middle{(place.left + place.right) / 2, (place.top + place.bottom) / 2};
        PostMouseEvent(&dialog, WM_LBUTTONDOWN, middle, 1);
        PostMouseEvent(&dialog, WM_LBUTTONUP, middle, 0);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_GT(darkPixels, 20);  // the text's strokes
    EXPECT_EQ(dialog.oks, 1);
}
