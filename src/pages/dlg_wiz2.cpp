#include "dlg_wiz2.h"

#include "app/resources/wizard_resources.h"

CDlgWiz2::CDlgWiz2(CWnd* parent) : CDlgWizPage(IDD_WIZ1 + 1, 2, parent) {}

bool CDlgWiz2::OnInitDialog() {
    CDlgWizPage::OnInitDialog();
    confirmExit = false;
    return true;
}
