// ostrel [FILE]: the wizard; with FILE it starts on the editor with that picture
// (see app/command_line.h). It opens its real window on the X display named by
// $DISPLAY, or runs on the headless back end (virtual time, scripted input,
// screenshots) when there is none; OSTREL_BACKEND=x11|headless chooses. Headless
// runs take:
//   OSTREL_SCRIPT       the script to run (see src/platform/backends/script.h)
//   OSTREL_SCREENSHOTS  where screenshots go (default: a new folder, printed)
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/backend_choice.h"
#include "app/command_line.h"
#include "app/wizard_app.h"
#include "phonelink/phone_link_server.h"
#include "platform/backends/headless_backend.h"
#include "platform/backends/script.h"
#include "platform/system/user_folders.h"
#ifdef OSTREL_HAVE_X11
#include "platform/backends/x11/x11_backend.h"
#endif

namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The folder named by OSTREL_SCREENSHOTS, made when missing, else a new one.
// Nothing when it cannot be made (said on standard error).
std::optional<std::string> ScreenshotFolder() {
    std::string folder = Env("OSTREL_SCREENSHOTS");
    if (folder.empty()) {
        char pattern[] = "/tmp/ostrel-screens-XXXXXX";
        const char* made = mkdtemp(pattern);
        return made ? made : "/tmp";
    }
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::cerr << "ostrel: cannot make the screenshot folder " << folder << ": "
                  << error.message() << "\n";
        return std::nullopt;
    }
    return folder;
}

// Loads and starts the script; false (with a message) when it cannot be used.
bool StartScript(HeadlessBackend& backend, std::unique_ptr<ScriptRunner>& runner) {
    const std::string path = Env("OSTREL_SCRIPT");
    if (path.empty()) {
        std::cerr << "ostrel: no display; set OSTREL_SCRIPT to run headless\n";
        return false;
    }
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    std::string error;
    auto steps = in ? ParseScript(text.str(), &error) : std::nullopt;
    if (!steps) {
        std::cerr << "ostrel: " << path << ": " << (in ? error : "cannot read the script") << "\n";
        return false;
    }
    const std::optional<std::string> folder = ScreenshotFolder();
    if (!folder) return false;
    std::cout << "ostrel: screenshots go to " << *folder << std::endl;
    runner = std::make_unique<ScriptRunner>(backend, std::move(*steps), *folder);
    runner->Start();
    return true;
}

int RunHeadless(const std::string& startPicture) {
    HeadlessBackend backend;
    backend.JoinDesktop([](const std::string& request, const std::string& title) {
        std::cout << "desktop request: " << request << " " << title << std::endl;
    });
    std::unique_ptr<ScriptRunner> runner;
    if (!StartScript(backend, runner)) return 2;
    CWizardApp(startPicture).InitInstance();
    for (const RecordedBox& box : backend.Boxes())
        std::cout << "message box \"" << box.caption << "\": " << box.text << "\n";
    // A copy the user refused to let replace a file, or that failed, is not named.
    for (const std::string& path : backend.SavedAs())
        if (access(path.c_str(), F_OK) == 0) std::cout << "saved a copy as " << path << "\n";
    for (const std::string& path : DeliveredFiles())
        std::cout << "sent to the phone: " << path << "\n";
    for (const std::string& shot : runner->Screenshots())
        std::cout << "screenshot " << shot << "\n";
    for (const std::string& problem : runner->Problems())
        std::cerr << "ostrel: " << problem << "\n";
    return 0;
}

int RunOnDisplay(const std::string& startPicture) {
#ifdef OSTREL_HAVE_X11
    if (!X11Backend::DisplayAvailable()) {
        std::cerr << "ostrel: cannot open the display \"" << Env("DISPLAY") << "\"\n";
        return 1;
    }
    X11Backend backend;
    // Copies on the desktop find each other on its session bus; headless ones
    // (tests, the demo) through their desktop folder alone.
    CWizardApp(startPicture, true).InitInstance();
    return 0;
#else
    std::cerr << "ostrel: built without the x11 back end (FLTK was missing)\n";
    return 1;
#endif
}

}  // namespace

int main(int argc, char** argv) {
    const auto request =
        ReadCommandLine(std::vector<std::string>(argv + 1, argv + argc), Env("OSTREL_SCRIPT"));
    if (!request) {
        std::cerr << "usage: ostrel [FILE]\n";
        return 2;
    }
    // Settings, pictures and stamps all live below the home: without one the wizard
    // would read its settings from wherever it was started.
    if (CurrentUserFolders().home.empty()) {
        std::cerr << "ostrel: cannot find your home folder: " << NoHomeReason() << "\n";
        return 1;
    }
    const auto kind = ChooseBackend(Env("OSTREL_BACKEND"), Env("DISPLAY"));
    if (!kind) {
        std::cerr << "ostrel: OSTREL_BACKEND must be x11 or headless\n";
        return 2;
    }
    return *kind == BackendKind::kX11 ? RunOnDisplay(request->picture)
                                      : RunHeadless(request->picture);
}
