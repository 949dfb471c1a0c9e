#include "wiz_page.h"

#include <cstdio>

#include "app/globals.h"
#include "app/resources/wizard_resources.h"
#include "app/texts/wizard_texts.h"
#include "platform/window/message_box.h"

CDlgWizPage::CDlgWizPage(int templateId, int step, CWnd* parent)
    : CDialog(templateId, parent), step_(step) {
    if (!g_mainWnd) g_mainWnd = parent;
}

bool CDlgWizPage::OnInitDialog() {
    CDialog::OnInitDialog();
    FitToMainClient(this);
    FitToMainClient(GetDlgItem(IDC_PLAYER));
    return true;
}

void CDlgWizPage::OnFSCommand(const std::string& command, const std::string& argument) {
    if (command == "ChangeStep") {
        if (argument == std::to_string(step_ + 1))
            Next();
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
    std::remove(g_pendingStampFile.c_str());
    g_pendingStampFile.clear();
}
