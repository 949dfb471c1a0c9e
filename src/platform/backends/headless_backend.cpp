#include "headless_backend.h"

#include <algorithm>

#include "platform/window/dropped_files.h"
#include "platform/window/focus.h"
#include "platform/window/menu.h"
#include "platform/window/message_box.h"
#include "platform/window/paint.h"
#include "platform/window/paint_state.h"
#include "screenshot.h"

namespace {

int FirstButton(UINT style) {
    switch (style & MB_TYPEMASK) {
        case MB_YESNO:
            return IDYES;
        default:
            return IDOK;
    }
}

}  // namespace

namespace {

// A bare name typed into the dialog lands in the folder the dialog shows.
std::string InDialogFolder(const std::string& answer, const std::string& folder) {
    if (answer.empty() || answer.front() == '/' || folder.empty()) return answer;
    return folder + (folder.back() == '/' ? "" : "/") + answer;
}

}  // namespace

HeadlessBackend::HeadlessBackend() : clock_(std::make_shared<VirtualClock>()) {
    SetClock(clock_);
    SetWindowBackend(this);
    SetMessageBoxHandler([this](CWnd* owner, const std::string& text, const std::string& caption,
                                UINT style) { return AnswerBox(owner, text, caption, style); });
    SetMenuHandler([this](const CMenu&, POINT at, CWnd*) -> UINT {
        menuPositions_.push_back(at);
        if (menuAnswers_.empty()) return 0;
        const UINT id = menuAnswers_.front();
        menuAnswers_.pop_front();
        return id;
    });
    SetSaveAsHandler([this](const SaveAsRequest& request) {
        saveRequests_.push_back(request);
        SaveAsAnswer answer;
        if (!saveAnswers_.empty()) {
            answer.path = InDialogFolder(saveAnswers_.front(), request.initialFolder);
            saveAnswers_.pop_front();
            savedAs_.push_back(WithDefaultExtension(answer.path, request.defaultExtension));
        }
        return answer;
    });
}

void HeadlessBackend::JoinDesktop(
    std::function<void(const std::string&, const std::string&)> report) {
    desktop_ = std::make_unique<HeadlessDesktop>();
    desktop_->OnRequest(std::move(report));
    SetForeignWindowFinder(
        [this](const std::string& title) { return desktop_->FindForeign(title); });
    desktop_->Publish(TopLevelWindows());
}

HeadlessBackend::~HeadlessBackend() {
    if (desktop_) SetForeignWindowFinder(nullptr);
    SetSaveAsHandler(nullptr);
    SetMenuHandler(nullptr);
    SetMessageBoxHandler(nullptr);
    if (GetWindowBackend() == this) SetWindowBackend(nullptr);
    SetClock(nullptr);
}

int HeadlessBackend::AnswerBox(CWnd* owner, const std::string& text, const std::string& caption,
                               UINT style) {
    int answer = FirstButton(style);
    if (!boxAnswers_.empty()) {
        answer = boxAnswers_.front();
        boxAnswers_.pop_front();
    }
    boxes_.push_back(RecordedBox{text, caption, style, owner, answer});
    return answer;
}

void HeadlessBackend::TopLevelChanged(CWnd* window) {
    std::erase(shown_, window);
    if (window->IsWindowVisible() && window->TakesActivation()) shown_.push_back(window);
    if (desktop_) desktop_->Publish(TopLevelWindows());
}

void HeadlessBackend::TopLevelDestroyed(CWnd* window) {
    std::erase(shown_, window);
    if (desktop_) desktop_->Publish(TopLevelWindows());
}

CWnd* HeadlessBackend::InputWindow() const {
    CWnd* active = GetActiveWindow();
    if (IsWindow(active)) return active;
    return shown_.empty() ? nullptr : shown_.back();
}

bool HeadlessBackend::DropFiles(std::vector<std::string> paths) {
    CWnd* window = InputWindow();
    return window && ::DropFiles(window, std::move(paths));
}

bool HeadlessBackend::Screenshot(CWnd* window, const std::string& path, std::string* error) const {
    const SurfacePtr surface = WindowSurface(window);
    if (!surface) {
        if (error) *error = "the window has no pixels";
        return false;
    }
    RECT client;
    window->GetClientRect(&client);
    const POINT origin = SurfaceOrigin(window);
    Surface shot(client.right, client.bottom);
    std::optional<Region> shape;
    if (!window->GetParent()) shape = window->PaintState().shape;
    for (LONG y = 0; y < client.bottom; ++y) {
        for (LONG x = 0; x < client.right; ++x) {
            const bool inside = !shape || shape->Contains(x, y);
            shot.Put(x, y, inside ? surface->Get(origin.x + x, origin.y + y) : RGB(0, 0, 0));
        }
    }
    return WriteScreenshot(shot, path, kScreenshotFormat, error);
}
