#include "dlg_wiz6.h"

#include <cstdint>

#include "app/flash/flash_text.h"
#include "app/globals.h"
#include "app/resources/wizard_resources.h"
#include "app/settings/settings.h"
#include "app/texts/wizard_texts.h"
#include "platform/window/dropped_files.h"
#include "stamp/stamp_globals.h"

long ProgressFrame(WPARAM progress) {
    return static_cast<long>(static_cast<std::uint32_t>(progress) / 4 + 1);
}

CDlgWiz6::CDlgWiz6(CWnd* parent) : CDlgWizPage(IDD_WIZ1 + 5, 6, parent) {}

bool CDlgWiz6::OnInitDialog() {
    CDlgWizPage::OnInitDialog();
    confirmExit = false;
    return true;
}

void CDlgWiz6::OnShowWindow(bool show, UINT status) {
    if (show) {
        movie.SetVariable("_txt", FormatFlashText(g_texts.transferInProgress, true, true));
        if (ReadRegString("Current Link") != "None") {
            // A picture dropped meanwhile would start a new stamp under the one
            // being sent: the window takes none until the transfer is over.
            SetTakesDrops(false);
            // The movie's frame 7 plays the bar and sends "TransfertStarted".
            movie.GotoFrame(7);
            movie.TGotoFrame("/next", 0);
            movie.TGotoFrame("/barre", 0);
            movie.TPlay("/barre");
        } else {
            movie.SetVariable("CurrentLink", "None");
            movie.GotoFrame(6);
            movie.GotoFrame(8);
        }
    }
    if (!show) SetTakesDrops(true);
    CDlgWizPage::OnShowWindow(show, status);
}

void CDlgWiz6::SetTakesDrops(bool take) {
    if (GetParent()) DragAcceptFiles(GetParent(), take);
}

void CDlgWiz6::OnFSCommand(const std::string& command, const std::string& argument) {
    if (sending_) {
        OnCommandWhileSending(command);
        return;
    }
    if (command == "ChangeStep") {
        if (argument == "5") {
            movie.GotoFrame(2);
            RequestPrevious();
        } else if (argument == "2") {
            DeletePendingStampFile();
            if (GetParent()) GetParent()->PostMessage(WM_WIZ_NEXT, 1, 0);
        }
    } else if (command == "TransferDone") {
    } else if (command == "TransfertStarted") {
        // Run from a message of the page's own, outside the movie's delivery of
        // commands, so that what the movie sends while the copy runs (its close
        // button) reaches the page at once.
        if (!transferPosted_) transferPosted_ = PostMessage(kStartTransfer);
    } else if (command == "reduce") {
        RequestReduce();
    } else if (command == "exit") {
        RequestExit();
    }
}

void CDlgWiz6::Next() {
    if (IsWindowVisible()) OnFSCommand("ChangeStep", "2");
}

// The windows take input while the copy runs (the link waits as a call into
// another process does): the close button stops the copy and leaves; Previous
// and New stamp are shown disabled and do nothing until the outcome is shown.
void CDlgWiz6::OnCommandWhileSending(const std::string& command) {
    if (command == "exit" && !leaving_) {
        leaving_ = true;
        linkClient->CancelTransfer();
        RequestExit();
    } else if (command == "reduce") {
        RequestReduce();
    }
}

void CDlgWiz6::Transfer() {
    if (!linkClient) linkClient = std::make_unique<CPhoneLink>();
    leaving_ = false;
    sending_ = true;
    transferResult = linkClient->Transfer(g_pendingStampFile, "PhoneIconFolder");
    sending_ = false;
    if (leaving_) return;  // the wizard is closing: no outcome to show
    if (!transferResult.empty()) {
        const std::string text = "<B>" + g_texts.transferError + "</B>\n\n" + transferResult +
                                 "\n\n" + g_texts.pressPrevious;
        movie.SetVariable("_ErrTxt", FormatFlashText(text, false, false));
    } else {
        transferResult = FillPlaceholders(movie.GetVariable("_OkTxt"), g_stampName + ".png");
        movie.SetVariable("_ErrTxt", FormatFlashText(transferResult, false, false));
    }
    movie.GotoFrame(movie.FrameNum() + 1);
    movie.TCallFrame("ErrTxt", 0);
    SetTakesDrops(true);
}

LRESULT CDlgWiz6::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kStartTransfer) {
        transferPosted_ = false;
        Transfer();
        return 0;
    }
    if (message == WM_USER && IsWindowVisible()) ShowProgress(wParam);
    return CDlgWizPage::WindowProc(message, wParam, lParam);
}

void CDlgWiz6::ShowProgress(WPARAM progress) {
    movie.SetVariable("_txt", g_linkStatusText);
    movie.TCallFrame("barre", 1);
    movie.TGotoFrame("barre", ProgressFrame(progress));
    movie.SendMessage(WM_PAINT);
}
