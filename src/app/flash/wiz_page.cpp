#include "wiz_page.h"

#include <cstring>

#include "app/globals.h"
#include "app/resources/wizard_resources.h"
#include "app/texts/wizard_texts.h"
#include "movie_url.h"
#include "platform/base/utf8_cut.h"
#include "platform/window/dialog_template.h"
#include "platform/window/message_box.h"
#include "shell_file_op.h"

CDlgWizPage::CDlgWizPage(int templateId, int step, CWnd* parent)
    : CDialog(templateId, parent), step_(step) {
    if (!g_mainWnd) g_mainWnd = parent;
}

CWnd* CDlgWizPage::CreateControlObject(const ControlTemplate& control) {
    if (control.id == IDC_PLAYER) return &movie;
    return CDialog::CreateControlObject(control);
}

bool CDlgWizPage::OnInitDialog() {
    CDialog::OnInitDialog();
    FitToMainClient(this);
    FitToMainClient(&movie);
    movie.ModifyStyle(0, WS_TABSTOP);  // Tab reaches the buttons the movie draws
    BeforeLoadingMovie();
    movie.Movie(MakeMovieUrl("Pennon.swf?frm=" + std::to_string(step_)));
    tooltip.Create(this);
    tooltip.AddTool(&movie);
    tooltip.SetMaxTipWidth(600);
    tooltip.SetDelayTime(TTDT_AUTOPOP, 10000);
    return true;
}

void CDlgWizPage::OnShowWindow(bool show, UINT /*status*/) {
    if (!show) tooltip.Pop();
}

bool CDlgWizPage::PreTranslateMessage(const MSG& message) {
    if (message.message == WM_MOUSEMOVE) {
        const POINT at{GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam)};
        // A move in both directions is a new place: the old tip may not belong there.
        if (at.x != lastMove_.x && at.y != lastMove_.y) tooltip.Pop();
        lastMove_ = at;
    }
    tooltip.RelayEvent(message);
    return CDialog::PreTranslateMessage(message);
}

LRESULT CDlgWizPage::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header && header->code == TTN_GETDISPINFO)
            AnswerTipRequest(*reinterpret_cast<NMTTDISPINFO*>(lParam));
        return 1;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

void CDlgWizPage::AnswerTipRequest(NMTTDISPINFO& info) {
    auto* tool = reinterpret_cast<CWnd*>(info.hdr.idFrom);
    if (!(info.uFlags & TTF_IDISHWND) || !IsWindow(tool) || tool->GetDlgCtrlID() == 0) return;
    const std::string tip = TipText(movie.GetVariable("tt"), kTipBytes);
    std::memcpy(info.szText, tip.c_str(), tip.size() + 1);
    info.lpszText = info.szText;
}

std::string TipText(const std::string& tt, std::size_t limit) {
    return tt.substr(0, Utf8PrefixLength(tt, limit));
}

void CDlgWizPage::OnFSCommand(const std::string& command, const std::string& argument) {
    if (command == "ChangeStep") {
        if (argument == std::to_string(step_ + 1))
            RequestNext();
        else if (step_ > 1 && argument == std::to_string(step_ - 1))
            RequestPrevious();
    } else if (command == "exit") {
        RequestExit();
    } else if (command == "reduce") {
        RequestReduce();
    }
}

void CDlgWizPage::RequestNext() {
    if (GetParent()) GetParent()->PostMessage(WM_WIZ_NEXT, 0, 0);
}

void CDlgWizPage::RequestPrevious() {
    if (GetParent()) GetParent()->PostMessage(WM_WIZ_PREVIOUS, 0, 0);
}

void CDlgWizPage::RequestReduce() {
    if (GetParent()) GetParent()->PostMessage(WM_WIZ_REDUCE, 0, 0);
}

void CDlgWizPage::RequestExit() {
    if (confirmExit && MessageBox(this, g_texts.exitQuestion, g_texts.ownTitle,
                                  MB_OKCANCEL | MB_ICONQUESTION) == IDCANCEL)
        return;
    DeletePendingStampFile();
    if (GetParent()) GetParent()->PostMessage(WM_WIZ_EXIT, 0, 0);
}

void CDlgWizPage::FitToMainClient(CWnd* window) {
    if (!window || !IsWindow(g_mainWnd)) return;
    RECT client;
    g_mainWnd->GetClientRect(&client);
    window->MoveWindow(RECT{0, 0, client.right, client.bottom});
}

void DeletePendingStampFile() {
    if (g_pendingStampFile.empty()) return;
    CShellFileOp deletion;
    deletion.SetOperation(FO_DELETE);
    deletion.SetOwnerWindow(g_mainWnd);
    deletion.SetFlags(FOF_NOCONFIRMATION | FOF_FILESONLY | FOF_NOERRORUI);
    deletion.AddSourceFile(g_pendingStampFile);
    deletion.Go();
    g_pendingStampFile.clear();
}
