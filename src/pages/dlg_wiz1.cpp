#include "dlg_wiz1.h"

#include "app/resources/wizard_resources.h"
#include "app/texts/wizard_texts.h"
#include "platform/window/message_box.h"

CDlgWiz1::CDlgWiz1(CWnd* parent) : CDlgWizPage(IDD_WIZ1 + 0, 1, parent) {}

bool CDlgWiz1::OnInitDialog() {
    CDlgWizPage::OnInitDialog();
    confirmExit = false;
    return true;
}

// An old player still runs the wizard; the user is only told.
void CDlgWiz1::BeforeLoadingMovie() {
    if (movie.FlashVersion() < kRequiredPlayer)
        MessageBox(this, g_texts.flashMissing, g_texts.ownTitle, MB_OK | MB_ICONHAND);
}

void CDlgWiz1::OnFSCommand(const std::string& command, const std::string& argument) {
    if (command == "ChangeStep") {
        if (argument == "2") RequestNext();
    } else if (command == "exit") {
        RequestExit();
    } else if (command == "reduce") {
        RequestReduce();
    } else if (command == "focus") {
        movie.TGotoFrame("next", 1);
    }
}
