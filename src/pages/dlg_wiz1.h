// Step 1: The welcome page.
#pragma once

#include "app/flash/wiz_page.h"

class CDlgWiz1 : public CDlgWizPage {
public:
    explicit CDlgWiz1(CWnd* parent);
    bool OnInitDialog() override;
};
