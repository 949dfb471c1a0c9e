// Step 2: Choosing a picture.
#pragma once

#include "app/flash/wiz_page.h"

class CDlgWiz2 : public CDlgWizPage {
public:
    explicit CDlgWiz2(CWnd* parent);
    bool OnInitDialog() override;
};
