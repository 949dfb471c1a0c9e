#include "dlg_wiz5.h"

#include "app/resources/wizard_resources.h"

CDlgWiz5::CDlgWiz5(CWnd* parent) : CDlgWizPage(IDD_WIZ1 + 4, 5, parent) {}
