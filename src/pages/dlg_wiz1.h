// Step 1: the welcome page.
#pragma once

#include "app/flash/wiz_page.h"

class CDlgWiz1 : public CDlgWizPage {
public:
    // The oldest player the movie plays in: version 5, major version in the high word.
    static constexpr long kRequiredPlayer = 0x50000;

    explicit CDlgWiz1(CWnd* parent);
    bool OnInitDialog() override;
    void OnFSCommand(const std::string& command, const std::string& argument) override;

protected:
    void BeforeLoadingMovie() override;
};
