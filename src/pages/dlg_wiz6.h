// Step 6: sending the stamp to the phone through the phone link, with the
// movie's progress bar fed from the link's status events, and the outcome.
#pragma once

#include <memory>
#include <string>

#include "app/flash/wiz_page.h"
#include "phonelink/phone_link.h"

class CDlgWiz6 : public CDlgWizPage {
public:
    explicit CDlgWiz6(CWnd* parent);

    bool OnInitDialog() override;
    void OnShowWindow(bool show, UINT status) override;
    void OnFSCommand(const std::string& command, const std::string& argument) override;
    // Enter: start over with a new stamp.
    void Next() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The client, made on the first transfer and kept for every later one.
    std::unique_ptr<CPhoneLink> linkClient;
    // The outcome text of the last transfer.
    std::string transferResult;

private:
    void Transfer();
    void OnCommandWhileSending(const std::string& command);
    // Whether the main window takes dropped files.
    void SetTakesDrops(bool take);
    void ShowProgress(WPARAM progress);

    static constexpr UINT kStartTransfer = WM_USER + 0x101;
    bool transferPosted_ = false;
    bool sending_ = false;  // inside Transfer, waiting for the link
    bool leaving_ = false;  // closed while sending: the copy was stopped
};

// The bar's frame for a progress value: 0-3 give 1, 50 gives 13, 100 gives 26.
long ProgressFrame(WPARAM progress);
