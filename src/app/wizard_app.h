// Start-up: the language, the texts, the sibling wizards and the single-instance
// rule, then the main window run modally.
#pragma once

#include <string>
#include <utility>

class CWizardApp {
public:
    static constexpr const char* kInstanceMutexName = "TarnInterKW9Proj";

    // A picture to start with (absolute path), or empty for the welcome page.
    explicit CWizardApp(std::string startPicture = {}) : startPicture_(std::move(startPicture)) {}

    // False when the wizard must not run (a sibling or another copy runs); true
    // after the main window has been run and closed.
    bool InitInstance();

private:
    bool RefuseBesideSibling();
    bool HandOverToRunningCopy();

    std::string startPicture_;
};
