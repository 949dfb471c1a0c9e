#include "dlg_wiz6.h"

#include "app/resources/wizard_resources.h"

CDlgWiz6::CDlgWiz6(CWnd* parent) : CDlgWizPage(IDD_WIZ1 + 5, 6, parent) {}

bool CDlgWiz6::OnInitDialog() {
    CDlgWizPage::OnInitDialog();
    confirmExit = false;
    return true;
}
