// Dialogs with a caption (the About box) in the wizard's look, and tips that hide
// when a message box, a menu or a modal dialog opens over them.
#include <gtest/gtest.h>

#include "platform/window/clock.h"
#include "platform/window/controls.h"
#include "platform/window/dialog.h"
#include "platform/window/dialog_look.h"
#include "platform/window/dialog_template.h"
#include "platform/window/input.h"
#include "platform/window/menu.h"
#include "platform/window/message_box.h"
#include "platform/window/message_loop.h"
#include "platform/window/paint.h"
#include "platform/window/tooltip.h"

namespace {

constexpr int kStyled = 951;
constexpr int kPlain = 952;
constexpr int kIcon = 77;

// Answers the tip's question for its text.
class TipOwner : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message != WM_NOTIFY) return CWnd::WindowProc(message, wParam, lParam);
        reinterpret_cast<NMTTDISPINFO*>(lParam)->lpszText = "Next step";
        return 0;
    }
};

class DialogLook : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const std::vector<ControlTemplate> controls{
            {-1, "Static", "#77", RECT{4, 4, 26, 24}, WS_VISIBLE | SS_ICON},
            {IDOK, "Button", "OK", RECT{70, 20, 130, 38}, WS_VISIBLE | BS_DEFPUSHBUTTON}};
        RegisterDialogTemplate(
            {kStyled, RECT{0, 0, 140, 44}, WS_POPUP | WS_CAPTION, "About", controls});
        RegisterDialogTemplate({kPlain, RECT{0, 0, 140, 44}, WS_POPUP, "Plain", controls});
    }
    void SetUp() override {
        SetClock(std::make_shared<VirtualClock>());
        SetIconLoader([](int id) -> HICON {
            if (id != kIcon) return nullptr;
            auto icon = std::make_shared<WindowIcon>();
            icon->width = icon->height = 2;
            icon->rgba = {255, 0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 0};
            return icon;
        });
    }
    void TearDown() override {
        MSG left;
        while (PeekMessage(&left)) {
        }
        SetIconLoader(nullptr);
        SetMessageBoxHandler(nullptr);
        SetMenuHandler(nullptr);
        SetClock(nullptr);
    }
    static void Later(std::uint64_t ms, std::function<void()> action) {
        MessageQueue::Current()->Schedule(GetClock()->NowMs() + ms, std::move(action));
    }
    // The dialog's pixels while it runs modally; it is closed with Escape.
    static SurfacePtr Snapshot(int templateId) {
        CDialog dialog(templateId, nullptr);
        SurfacePtr copy;
        Later(10, [&] {
            copy = std::make_shared<Surface>(*WindowSurface(&dialog));
            PostKeyEvent(WM_KEYDOWN, VK_ESCAPE);
        });
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        return copy;
    }
};

}  // namespace

TEST_F(DialogLook, ACaptionedDialogShowsItsIconAndABlueDefaultButtonOnThePageColour) {
    const SurfacePtr styled = Snapshot(kStyled);
    ASSERT_TRUE(styled);
    const RECT icon = DialogUnitsToPixels(RECT{4, 4, 26, 24});
    const RECT button = DialogUnitsToPixels(RECT{70, 20, 130, 38});
    EXPECT_EQ(styled->Get(2, 2), look::kPage);
    EXPECT_EQ(styled->Get(icon.left + 2, icon.top + 2), RGB(255, 0, 0));
    // The icon's see-through corner shows the page.
    EXPECT_EQ(styled->Get(icon.right - 2, icon.bottom - 2), look::kPage);
    EXPECT_EQ(styled->Get(button.left + 8, button.top + 3), look::kAccent);
    EXPECT_NE(styled->Get(button.left, button.top), look::kAccent);  // a rounded corner

    // Without a caption the controls keep the plain dialog look; an unknown icon
    // leaves its place empty.
    const SurfacePtr plain = Snapshot(kPlain);
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->Get(2, 2), kDialogColor);
    EXPECT_NE(plain->Get(button.left + 8, button.top + 3), look::kAccent);
    SetIconLoader(nullptr);
    EXPECT_EQ(LoadIcon(kIcon), nullptr);
    const SurfacePtr noIcon = Snapshot(kStyled);
    EXPECT_EQ(noIcon->Get(icon.left + 2, icon.top + 2), look::kPage);
}

TEST_F(DialogLook, AShownTipHidesWhenABoxAMenuOrADialogOpens) {
    TipOwner owner;
    ASSERT_TRUE(owner.CreateEx(nullptr, RECT{0, 0, 200, 100}, "owner", 0, WS_VISIBLE));
    CToolTipCtrl tip;
    ASSERT_TRUE(tip.Create(&owner));
    tip.AddTool(&owner);
    auto showTip = [&] {
        tip.RelayEvent(MSG{&owner, WM_MOUSEMOVE, 0, MAKELPARAM(20, 20), 0});
        RunLoopUntil([&] { return tip.IsWindowVisible(); });
        ASSERT_EQ(tip.ShownText(), "Next step");
    };
    // Lets virtual time pass while messages are handled.
    auto wait = [](std::uint64_t ms) {
        bool waited = false;
        Later(ms, [&] {
            waited = true;
            MessageQueue::Current()->Post(MSG{nullptr, WM_NULL, 0, 0, 0});
        });
        RunLoopUntil([&] { return waited; });
    };
    bool tipDuringBox = true, tipDuringMenu = true, tipDuringDialog = true;
    SetMessageBoxHandler([&](HWND, const std::string&, const std::string&, UINT) {
        tipDuringBox = tip.IsWindowVisible();
        // A move over the tool while the box is open arms no tip.
        tip.RelayEvent(MSG{&owner, WM_MOUSEMOVE, 0, MAKELPARAM(30, 20), 0});
        wait(1000);
        tipDuringBox = tipDuringBox || tip.IsWindowVisible();
        return IDOK;
    });
    SetMenuHandler([&](const CMenu&, POINT, CWnd*) -> UINT {
        tipDuringMenu = tip.IsWindowVisible();
        return 0;
    });
    showTip();
    MessageBox(&owner, "text", "caption", MB_OK);
    EXPECT_FALSE(tipDuringBox);
    showTip();
    CMenu menu;
    menu.AppendMenu(MF_STRING, 1, "About");
    TrackPopupMenu(menu, TPM_RETURNCMD, POINT{10, 25}, &owner);
    EXPECT_FALSE(tipDuringMenu);
    showTip();
    CDialog dialog(kStyled, &owner);
    Later(10, [&] {
        tipDuringDialog = tip.IsWindowVisible();
        PostKeyEvent(WM_KEYDOWN, VK_RETURN);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_FALSE(tipDuringDialog);
    // Once they are closed, tips show again.
    showTip();
    tip.DestroyWindow();
    owner.DestroyWindow();
}
