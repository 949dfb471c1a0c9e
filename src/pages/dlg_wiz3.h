// Step 3: Editing the picture and choosing the stamp size.
#pragma once

#include "app/flash/wiz_page.h"

class CDlgWiz3 : public CDlgWizPage {
public:
    explicit CDlgWiz3(CWnd* parent);
};
