// Step 6: Sending the stamp to the phone.
#pragma once

#include "app/flash/wiz_page.h"

class CDlgWiz6 : public CDlgWizPage {
public:
    explicit CDlgWiz6(CWnd* parent);
    bool OnInitDialog() override;
};
