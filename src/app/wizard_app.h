// Start-up: the language, the texts, the sibling wizards and the single-instance
// rule, then the main window run modally.
#pragma once

#include <string>
#include <utility>

class CWizardApp {
public:
    static constexpr const char* kInstanceMutexName = "TarnInterKW9Proj";
    // The application id, and the session-bus name derived from it.
    static constexpr const char* kApplicationId = "org.norvane.Ostrel";

    // A picture to start with (absolute path), or empty for the welcome page.
    // On the desktop's session bus (`sessionBus`) the running copy takes files
    // from later starts.
    explicit CWizardApp(std::string startPicture = {}, bool sessionBus = false)
        : startPicture_(std::move(startPicture)), sessionBus_(sessionBus) {}

    // False when the wizard must not run (a sibling or another copy runs); true
    // after the main window has been run and closed.
    bool InitInstance();

private:
    bool RefuseBesideSibling();
    bool HandOverToRunningCopy();

    std::string startPicture_;
    bool sessionBus_;
};
