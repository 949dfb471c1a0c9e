#include "dlg_wiz1.h"

#include "app/resources/wizard_resources.h"

CDlgWiz1::CDlgWiz1(CWnd* parent) : CDlgWizPage(IDD_WIZ1 + 0, 1, parent) {}

bool CDlgWiz1::OnInitDialog() {
    CDlgWizPage::OnInitDialog();
    confirmExit = false;
    return true;
}
