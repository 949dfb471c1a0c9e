// Step 5: the stamp is ready. The page names it with its size, shows the phone
// connection in use, and saves a copy anywhere on the computer.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/flash/wiz_page.h"
#include "phonelink/phone_choice.h"
#include "platform/window/drop_down.h"

// The movie's ready text as it came, with "%1%" for the name and "%2%" for the
// size; taken on the first show, since later the movie holds the filled-in text.
extern std::string readyTemplate;

class CDlgWiz5 : public CDlgWizPage {
public:
    explicit CDlgWiz5(CWnd* parent);

    bool OnInitDialog() override;
    void OnShowWindow(bool show, UINT status) override;
    void OnFSCommand(const std::string& command, const std::string& argument) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Enter: as the movie's Next button.
    void Next() override;

    // Asks where to put a copy of `source` (proposing `fileName`.`extension` in the
    // folder last used for `kind`), copies it there through the shell, which asks
    // before replacing, and remembers the folder. The path chosen; empty when
    // cancelled.
    std::string SaveCopyOnComputer(const std::string& source, const std::string& fileName,
                                   const std::string& extension, const std::string& kind);

    // Posted by the watch when a phone is plugged in or out.
    static constexpr UINT kPhonesChanged = WM_USER + 0x100;
    static constexpr int kPhonesId = 1004;
    // With two phones or more, the phone connection line is this drop-down.
    CDropDown phones;

private:
    void ShowCurrentLink();
    void ShowPhoneLine();
    void PhoneChosen();
    bool ShowReadyText();

    PhoneChoice choice_;
    std::unique_ptr<PhonePlacesWatch> watch_;  // while the page is shown
};

// "Sunset" and 1234 in "Stamp %1% has %2% bytes" give "Stamp Sunset.png has 1234 bytes".
std::string ReadyText(const std::string& templateText, const std::string& stampName,
                      std::uint64_t size);
