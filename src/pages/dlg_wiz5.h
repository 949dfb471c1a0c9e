// Step 5: Naming the stamp and saving a copy.
#pragma once

#include "app/flash/wiz_page.h"

class CDlgWiz5 : public CDlgWizPage {
public:
    explicit CDlgWiz5(CWnd* parent);
};
