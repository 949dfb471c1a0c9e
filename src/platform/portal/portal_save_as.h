// The desktop's own Save-As dialog, asked for through the desktop portal on the
// session bus. The exchange runs on a thread of its own that iterates a GLib
// context of its own, so the user-interface thread goes on handling its messages
// (and painting) while the dialog is open.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

struct PortalSaveQuestion {
    std::string parentWindow;  // "x11:1e00007"; empty: no parent
    std::string title;
    std::string currentName;
    std::string currentFolder;  // empty: the dialog chooses
    // Name and "*.ext" patterns of each filter.
    std::vector<std::pair<std::string, std::vector<std::string>>> filters;
};

enum class PortalOutcome {
    kWaiting,
    kChosen,
    kCancelled,
    // No portal answered in time, or it could not show a dialog: ask another way.
    kUnavailable,
};

class PortalSaveAs {
public:
    // Starts asking. No portal that takes the question within `answerWithin`
    // makes the outcome kUnavailable. `settled` is called once, on the portal's
    // thread, as soon as the outcome is known.
    PortalSaveAs(PortalSaveQuestion question, std::chrono::milliseconds answerWithin,
                 std::function<void()> settled);
    // A dialog still open is closed; returns once the thread has ended, or after
    // a moment at most when the bus does not answer.
    ~PortalSaveAs();
    PortalSaveAs(const PortalSaveAs&) = delete;
    PortalSaveAs& operator=(const PortalSaveAs&) = delete;

    PortalOutcome Outcome() const;
    // The file chosen (kChosen).
    std::string Path() const;
    // Why the portal was unavailable or answered without a usable file.
    std::string Problem() const;

    struct Exchange;

private:
    std::shared_ptr<Exchange> exchange_;
};

// The local path of a "file://" URI, percent-decoded; empty for any other URI,
// a remote host, a bad escape or an encoded NUL.
std::string LocalPathOfUri(const std::string& uri);
// The object path the portal gives a request of the connection `uniqueName`
// (":1.42") made with `token`.
std::string PredictedRequestPath(const std::string& uniqueName, const std::string& token);
