// The running copy's door on the desktop's session bus: it owns a name derived
// from the application id and serves the application interface there (Activate,
// and Open with the URIs of files), so another start hands it its file and ends.
// Without a session bus nothing is offered and nothing is asked.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

// "/" and the name's parts: "org.example.App" is served at "/org/example/App".
std::string ApplicationObjectPath(const std::string& busName);

class ApplicationService {
public:
    struct Handlers {
        std::function<void()> activate;
        // The local files among the URIs asked for (others left out), in order.
        std::function<void(std::vector<std::string> paths)> open;
    };

    // Serves the interface under `busName` on a thread of its own, which calls the
    // handlers. Nothing when there is no session bus or the name has an owner.
    static std::unique_ptr<ApplicationService> Start(const std::string& busName, Handlers handlers);
    // Gives up the name and waits for the thread: no handler runs afterwards.
    ~ApplicationService();
    ApplicationService(const ApplicationService&) = delete;
    ApplicationService& operator=(const ApplicationService&) = delete;

private:
    struct State;
    explicit ApplicationService(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

// Asks the copy owning `busName` to open the files (Open), or only to come
// forward (Activate) when there are none. True once it has answered.
bool AskRunningCopy(const std::string& busName, const std::vector<std::string>& paths);
