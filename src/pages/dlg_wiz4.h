// Step 4: The stamp at real size and magnified; picking transparent colours.
#pragma once

#include "app/flash/wiz_page.h"

class CDlgWiz4 : public CDlgWizPage {
public:
    explicit CDlgWiz4(CWnd* parent);
};
