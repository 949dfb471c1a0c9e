#include "dlg_wiz4.h"

#include "app/resources/wizard_resources.h"

CDlgWiz4::CDlgWiz4(CWnd* parent) : CDlgWizPage(IDD_WIZ1 + 3, 4, parent) {}
