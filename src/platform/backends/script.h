// Scripts for the headless back end: a small text file, one step a line.
//
//   # a comment                      blank lines and comments are skipped
//   wait MS                          let MS milliseconds of virtual time pass
//   sleep MS                         let MS milliseconds of real time pass, handling
//                                    whatever arrives meanwhile (other processes)
//   click X Y                        left press and release at a point of the input window
//   press X Y / release X Y / move X Y / dblclick X Y / rclick X Y
//                                    (a move between press and release drags)
//   key NAME                         ENTER ESCAPE TAB LEFT RIGHT UP DOWN HOME END PAGEUP
//                                    PAGEDOWN BACKSPACE, or one character
//   answer OK|CANCEL|YES|NO          how the next message box is answered
//   menu ID                          what the next pop-up menu chooses (0: nothing)
//   saveas PATH|CANCEL               what the next Save-As dialog answers (a path
//                                    without blanks, a bare one inside the dialog's
//                                    folder, or cancel)
//   drop PATH                        the file (a path without blanks) dropped on the
//                                    input window, as from a file manager
//   screenshot NAME                  writes the input window to NAME.<ext> in the output folder
//   quit                             ends the program's message loop
//
// Steps run one after another on the user-interface thread, each once everything
// the step before it caused has been handled.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "headless_backend.h"

struct ScriptStep {
    int line;
    std::string verb;
    std::vector<std::string> args;
};

// Nothing when the text is not a valid script; `error` then names the line.
std::optional<std::vector<ScriptStep>> ParseScript(const std::string& text, std::string* error);

class ScriptRunner {
public:
    ScriptRunner(HeadlessBackend& backend, std::vector<ScriptStep> steps, std::string outputFolder);
    // Schedules the first step on the calling thread's queue.
    void Start();
    bool Finished() const { return next_ >= steps_.size(); }
    const std::vector<std::string>& Screenshots() const { return screenshots_; }
    // Steps that could not be carried out (no window to click, a screenshot that failed).
    const std::vector<std::string>& Problems() const { return problems_; }

private:
    void RunNext();
    void Run(const ScriptStep& step);
    void Mouse(const ScriptStep& step);
    void ScheduleNext(std::uint64_t delayMs);
    void SleepUntil(std::chrono::steady_clock::time_point end);

    HeadlessBackend& backend_;
    std::vector<ScriptStep> steps_;
    std::string outputFolder_;
    std::size_t next_ = 0;
    std::vector<std::string> screenshots_;
    std::vector<std::string> problems_;
    bool leftDown_ = false;  // between a press and its release
};
