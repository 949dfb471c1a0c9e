#include "dlg_wiz3.h"

#include "app/resources/wizard_resources.h"

CDlgWiz3::CDlgWiz3(CWnd* parent) : CDlgWizPage(IDD_WIZ1 + 2, 3, parent) {}
