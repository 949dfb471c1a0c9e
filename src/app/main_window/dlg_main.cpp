#include "dlg_main.h"

#include <cstdio>

#include "app/resources/wizard_icon.h"
#include "app/resources/wizard_resources.h"
#include "dropped_picture.h"
#include "pages/dlg_wiz1.h"
#include "pages/dlg_wiz2.h"
#include "pages/dlg_wiz3.h"
#include "pages/dlg_wiz4.h"
#include "pages/dlg_wiz5.h"
#include "pages/dlg_wiz6.h"
#include "phonelink/send_stop.h"
#include "platform/gdi/gdi.h"
#include "platform/window/dialog_template.h"
#include "platform/window/focus.h"
#include "platform/window/menu.h"
#include "platform/window/paint.h"
#include "platform/window/trace.h"
#include "window_outline.h"

namespace {

constexpr LONG kWidth = 580;
constexpr LONG kHeight = 411;

}  // namespace

CDlgMain::CDlgMain() : CDialog(IDD_MAIN, nullptr) {
    icon.LoadResource(FindResource(nullptr, IDR_MAINFRAME, "ICON"), PX_FORMAT_PNG);
}

// However the wizard ends (its exit button, a script's quit, the desktop closing it),
// the stamp waiting in the temporary folder goes with it.
CDlgMain::~CDlgMain() {
    DeletePendingStampFile();
}

// Closed by the desktop: a copy to the phone still running stops first, so the
// wizard ends at once and leaves the phone as it was.
void CDlgMain::OnCancel() {
    CancelSending();
    CDialog::OnCancel();
}

// Minimised, the window shows its icon in the middle of its client area.
void CDlgMain::OnPaint() {
    PAINTSTRUCT paint;
    HDC hdc = BeginPaint(this, &paint);
    PaintBackground(hdc);
    if (IsIconic() && icon.IsValid()) {
        RECT client;
        GetClientRect(&client);
        const LONG w = static_cast<LONG>(icon.GetWidth()), h = static_cast<LONG>(icon.GetHeight());
        icon.Draw(hdc, (client.right - w + 1) / 2, (client.bottom - h + 1) / 2);
    }
    EndPaint(this, &paint);
}

bool CDlgMain::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowText(texts->ownTitle);
    ApplyOutline();
    const RECT place = WindowRect();
    MoveWindow(RECT{place.left, place.top, place.left + kWidth, place.top + kHeight});
    ShowWindow(SW_SHOW);
    AddAboutToSystemMenu();
    const HICON windowIcon = WindowIconFromImage(icon);
    SetIcon(windowIcon, true);
    SetIcon(windowIcon, false);
    ShowFirstPage();
    SetTimer(kCreatePagesTimer, 100);
    DragAcceptFiles(this, true);
    OfferOnSessionBus();
    return true;
}

// Another start with a file hands it over here and ends; one without comes to
// the front. The door's thread only posts to the window.
void CDlgMain::OfferOnSessionBus() {
    if (busName.empty()) return;
    ApplicationService::Handlers handlers;
    handlers.activate = [this] { PostMessage(WM_WIZ_BRING_FORWARD); };
    handlers.open = [this](std::vector<std::string> paths) {
        PostMessage(WM_WIZ_BRING_FORWARD);
        if (!paths.empty()) PostDroppedFiles(this, std::move(paths));
    };
    busService_ = ApplicationService::Start(busName, std::move(handlers));
    Trace(busService_ ? "offered on the session bus as " + busName : "no session bus door");
}

// Restored and raised in place: minimising first, as a second start does to
// another process's window, would cross the desktop's own report of it.
void CDlgMain::BringForward() {
    SetForegroundWindow(this);
}

// Taken only while the window takes files: not while a transfer runs or a box is
// up, which may have begun after the drop was posted.
void CDlgMain::OnDropFiles(HDROP drop) {
    const std::vector<std::string> paths = DragQueryFiles(drop);
    DragFinish(drop);
    if (paths.empty() || !AcceptsDroppedFiles(this)) {
        Trace("drop refused");
        return;
    }
    OpenDropped(PictureToOpen(paths));
}

// As `ostrel FILE` opens it: the browser page accepts it as a pick and moves on.
// The stamp made so far is let go, as "New stamp" lets it go.
void CDlgMain::OpenDropped(const std::string& path) {
    Trace("drop " + path);
    while (stepCount < 2)
        CreateNextPage();
    DeletePendingStampFile();
    Next(1);
    static_cast<CDlgWiz2&>(*pages[1]).OpenGivenPicture(path);
}

// The welcome page, or with a start picture the browser page (the welcome page
// made behind it, for going back), which opens the picture as if it were picked
// there and moves on by itself.
void CDlgMain::ShowFirstPage() {
    CreateNextPage();
    current = 0;
    previous = kEnd;
    if (!startPicture.empty()) {
        CreateNextPage();
        current = 1;
    }
    ShowCurrentPage();
    if (!startPicture.empty()) static_cast<CDlgWiz2&>(*pages[1]).OpenGivenPicture(startPicture);
}

void CDlgMain::ApplyOutline() {
    HRGN outline = BuildMainWindowOutline();
    SetWindowRgn(this, outline, true);
    DeleteObject(outline);
}

void CDlgMain::AddAboutToSystemMenu() {
    const std::string about = LoadString(IDS_ABOUTBOX);
    if (about.empty()) return;
    CMenu* menu = GetSystemMenu(false);
    menu->AppendMenu(MF_SEPARATOR);
    menu->AppendMenu(MF_STRING, kIdmAbout, about);
}

std::unique_ptr<CDlgWizPage> CDlgMain::MakePage(int step) {
    switch (step) {
        case 1:
            return std::make_unique<CDlgWiz1>(this);
        case 2:
            return std::make_unique<CDlgWiz2>(this);
        case 3:
            return std::make_unique<CDlgWiz3>(this);
        case 4:
            return std::make_unique<CDlgWiz4>(this);
        case 5:
            return std::make_unique<CDlgWiz5>(this);
        default:
            return std::make_unique<CDlgWiz6>(this);
    }
}

void CDlgMain::CreateNextPage() {
    if (stepCount == kPageCount) {
        SetFocus(pages.front().get());
        return;
    }
    ++stepCount;
    std::unique_ptr<CDlgWizPage> page = MakePage(stepCount);
    page->Create(page->TemplateId(), this);
    char text[16];
    std::snprintf(text, sizeof text, "Wiz%d", stepCount);
    page->SetWindowText(text);
    RECT client;
    GetClientRect(&client);
    page->MoveWindow(client);
    page->ShowWindow(SW_HIDE);
    pages.push_back(std::move(page));
}

void CDlgMain::ShowCurrentPage() {
    if (previous < pages.size()) pages[previous]->ShowWindow(SW_HIDE);
    if (current >= pages.size()) return;
    CDlgWizPage* page = pages[current].get();
    page->ShowWindow(SW_SHOW);
    page->SendMessage(WM_PAINT);
    SetFocus(page);
    Trace("step " + std::to_string(current + 1));
}

// Next (jump 0) creates a page if one is missing and moves one on; a jump n moves
// to the page at zero-based index n without creating anything.
void CDlgMain::Next(WPARAM jump) {
    if (jump == 0) {
        CreateNextPage();
        previous = current;
        current = current < pages.size() && current + 1 < pages.size() ? current + 1 : kEnd;
    } else {
        previous = current;
        current = jump < pages.size() ? jump : kEnd;
    }
    ShowCurrentPage();
}

// From the end position the preceding page is the last one; before the first
// there is none.
void CDlgMain::Previous() {
    CreateNextPage();
    previous = current;
    if (current == kEnd)
        current = pages.empty() ? kEnd : pages.size() - 1;
    else
        current = current == 0 ? kEnd : current - 1;
    ShowCurrentPage();
}

// Makes only the pages still missing: with all six made, CreateNextPage hands the
// focus to the hidden welcome page, and after a start with a picture the shown page
// is step 3, whose Enter would then reach the welcome page and skip the stamp.
void CDlgMain::OnTimer(UINT_PTR id) {
    if (id != kCreatePagesTimer) return;
    while (stepCount < kPageCount)
        CreateNextPage();
    KillTimer(kCreatePagesTimer);
    Trace("all pages made");
}

void CDlgMain::Minimise() {
    ShowWindow(SW_MINIMIZE);
}

void CDlgMain::ShowPopupMenu() {
    CMenu menu;
    menu.AppendMenu(MF_STRING, 1, texts->about);
    menu.AppendMenu(MF_STRING, SC_MINIMIZE, texts->reduce);
    RECT window;
    GetWindowRect(&window);
    const UINT chosen = TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RETURNCMD,
                                       POINT{window.left + 10, window.top + 25}, this);
    if (chosen == 1)
        CDialog(IDD_ABOUTBOX, this).DoModal();
    else if (chosen == SC_MINIMIZE)
        Minimise();
}

void CDlgMain::OnSysCommand(WPARAM id, LPARAM lParam) {
    if ((id & 0xFFF0) == SC_MOUSEMENU) ShowPopupMenu();
    if ((id & 0xFFF0) == kIdmAbout)
        CDialog(IDD_ABOUTBOX, this).DoModal();
    else
        CDialog::OnSysCommand(id, lParam);
}

// Becoming active tells every window inside, at every depth.
void CDlgMain::OnActivate(UINT state, CWnd* /*other*/) {
    if (state != WA_ACTIVE && state != WA_CLICKACTIVE) return;
    ForEachDescendant([](CWnd* window) { window->SendMessage(WM_WIZ_ACTIVATED, 1, 0); });
}

LRESULT CDlgMain::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_WIZ_NEXT:
            Next(wParam);
            return 0;
        case WM_WIZ_PREVIOUS:
            Previous();
            return 0;
        case WM_WIZ_EXIT:
            EndDialog(IDOK);
            return 0;
        case WM_WIZ_REDUCE:
            Minimise();
            return 0;
        case WM_DROPFILES:
            OnDropFiles(static_cast<HDROP>(wParam));
            return 0;
        case WM_WIZ_BRING_FORWARD:
            BringForward();
            return 0;
        case WM_DESTROY:
            // No call from the bus may reach a window that is going.
            busService_.reset();
            DragAcceptFiles(this, false);
            return CDialog::WindowProc(message, wParam, lParam);
        case WM_QUERYDRAGICON:
            return reinterpret_cast<LRESULT>(&icon);
        default:
            return CDialog::WindowProc(message, wParam, lParam);
    }
}
