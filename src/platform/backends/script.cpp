#include "script.h"

#include <cerrno>
#include <cstdlib>
#include <map>
#include <sstream>
#include <thread>

#include "platform/window/clock.h"
#include "platform/window/input.h"
#include "platform/window/message_loop.h"
#include "screenshot.h"

namespace {

// Verbs and how many arguments each takes.
const std::map<std::string, std::size_t>& Verbs() {
    static const std::map<std::string, std::size_t> verbs = {
        {"wait", 1}, {"sleep", 1},      {"click", 2},  {"press", 2},  {"release", 2},
        {"move", 2}, {"dblclick", 2},   {"rclick", 2}, {"key", 1},    {"answer", 1},
        {"menu", 1}, {"screenshot", 1}, {"quit", 0},   {"saveas", 1}, {"drop", 1},
    };
    return verbs;
}

bool IsNumber(const std::string& text) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    return *end == '\0' && errno == 0 && value >= -100000 && value <= 100000000;
}

const std::map<std::string, WPARAM>& KeyNames() {
    static const std::map<std::string, WPARAM> keys = {
        {"ENTER", VK_RETURN}, {"ESCAPE", VK_ESCAPE}, {"TAB", VK_TAB},       {"LEFT", VK_LEFT},
        {"RIGHT", VK_RIGHT},  {"UP", VK_UP},         {"DOWN", VK_DOWN},     {"HOME", VK_HOME},
        {"END", VK_END},      {"PAGEUP", VK_PRIOR},  {"PAGEDOWN", VK_NEXT}, {"BACKSPACE", VK_BACK},
    };
    return keys;
}

const std::map<std::string, int>& Answers() {
    static const std::map<std::string, int> answers = {
        {"OK", IDOK}, {"CANCEL", IDCANCEL}, {"YES", IDYES}, {"NO", IDNO}};
    return answers;
}

std::string CheckArguments(const ScriptStep& step) {
    const std::string& verb = step.verb;
    const auto& a = step.args;
    if (verb == "wait" || verb == "sleep" || verb == "menu")
        return IsNumber(a[0]) ? "" : "needs a number";
    if (verb == "key")
        return KeyNames().count(a[0]) || a[0].size() == 1 ? "" : "unknown key '" + a[0] + "'";
    if (verb == "answer") return Answers().count(a[0]) ? "" : "answer OK, CANCEL, YES or NO";
    if (verb == "screenshot")
        return a[0].find('/') == std::string::npos ? "" : "a screenshot name has no '/'";
    if (a.size() == 2) return IsNumber(a[0]) && IsNumber(a[1]) ? "" : "needs two numbers";
    return "";
}

}  // namespace

std::optional<std::vector<ScriptStep>> ParseScript(const std::string& text, std::string* error) {
    std::vector<ScriptStep> steps;
    std::istringstream lines(text);
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
        ++number;
        std::istringstream words(line);
        ScriptStep step{number, {}, {}};
        if (!(words >> step.verb) || step.verb[0] == '#') continue;
        for (std::string word; words >> word;)
            step.args.push_back(word);
        const auto verb = Verbs().find(step.verb);
        std::string problem;
        if (verb == Verbs().end())
            problem = "unknown step '" + step.verb + "'";
        else if (verb->second != step.args.size())
            problem = step.verb + " takes " + std::to_string(verb->second) + " argument(s)";
        else
            problem = CheckArguments(step);
        if (!problem.empty()) {
            if (error) *error = "line " + std::to_string(number) + ": " + problem;
            return std::nullopt;
        }
        steps.push_back(std::move(step));
    }
    return steps;
}

ScriptRunner::ScriptRunner(HeadlessBackend& backend, std::vector<ScriptStep> steps,
                           std::string outputFolder)
    : backend_(backend), steps_(std::move(steps)), outputFolder_(std::move(outputFolder)) {}

void ScriptRunner::Start() {
    ScheduleNext(0);
}

void ScriptRunner::ScheduleNext(std::uint64_t delayMs) {
    if (Finished()) return;
    MessageQueue::Current()->Schedule(GetClock()->NowMs() + delayMs, [this] { RunNext(); });
}

void ScriptRunner::RunNext() {
    const ScriptStep& step = steps_[next_++];
    if (step.verb == "sleep") {
        const auto end =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(std::stoll(step.args[0]));
        return SleepUntil(end);
    }
    Run(step);
    ScheduleNext(step.verb == "wait" ? std::strtoull(step.args[0].c_str(), nullptr, 10) : 0);
}

// Real time passes in short naps between which the loop handles what arrived.
void ScriptRunner::SleepUntil(std::chrono::steady_clock::time_point end) {
    if (std::chrono::steady_clock::now() >= end) return ScheduleNext(0);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    MessageQueue::Current()->Schedule(GetClock()->NowMs(), [this, end] { SleepUntil(end); });
}

void ScriptRunner::Run(const ScriptStep& step) {
    const std::string& verb = step.verb;
    const std::string where = "line " + std::to_string(step.line) + ": ";
    if (verb == "wait") return;
    if (verb == "answer") return backend_.QueueBoxAnswer(Answers().at(step.args[0]));
    if (verb == "menu")
        return backend_.QueueMenuAnswer(static_cast<UINT>(std::stoul(step.args[0])));
    if (verb == "quit") return PostQuitMessage(0);
    if (verb == "saveas")
        return backend_.QueueSaveAsAnswer(step.args[0] == "CANCEL" ? "" : step.args[0]);
    if (verb == "drop") {
        if (!backend_.DropFiles({step.args[0]})) problems_.push_back(where + "drop refused");
        return;
    }
    if (verb == "key") {
        const auto named = KeyNames().find(step.args[0]);
        if (named != KeyNames().end()) {
            PostKeyEvent(WM_KEYDOWN, named->second);
            PostKeyEvent(WM_KEYUP, named->second);
        } else {
            PostKeyEvent(WM_CHAR, static_cast<unsigned char>(step.args[0][0]));
        }
        return;
    }
    if (verb == "screenshot") {
        const std::string path = outputFolder_ + "/" + step.args[0] +
                                 (kScreenshotFormat == PX_FORMAT_PNG ? ".png" : ".bmp");
        std::string error;
        CWnd* window = backend_.InputWindow();
        if (window && backend_.Screenshot(window, path, &error))
            screenshots_.push_back(path);
        else
            problems_.push_back(where + "screenshot failed: " + (window ? error : "no window"));
        return;
    }
    Mouse(step);
}

void ScriptRunner::Mouse(const ScriptStep& step) {
    CWnd* window = backend_.InputWindow();
    if (!window) {
        problems_.push_back("line " + std::to_string(step.line) + ": no window for " + step.verb);
        return;
    }
    const POINT at{std::stoi(step.args[0]), std::stoi(step.args[1])};
    const std::string& verb = step.verb;
    if (verb == "click" || verb == "press") PostMouseEvent(window, WM_LBUTTONDOWN, at, 1);
    if (verb == "click" || verb == "release") PostMouseEvent(window, WM_LBUTTONUP, at, 0);
    if (verb == "press" || verb == "release") leftDown_ = verb == "press";
    if (verb == "dblclick") PostMouseEvent(window, WM_LBUTTONDBLCLK, at, 1);
    if (verb == "rclick") PostMouseEvent(window, WM_RBUTTONDOWN, at, 2);
    if (verb == "move") PostMouseEvent(window, WM_MOUSEMOVE, at, leftDown_ ? 1 : 0);
}
