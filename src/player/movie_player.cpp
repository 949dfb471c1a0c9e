#include "movie_player.h"

#include <filesystem>
#include <fstream>

#include "movie_address.h"
#include "movie_parser.h"
#include "platform/gdi/gdi.h"
#include "platform/window/focus.h"
#include "platform/window/paint.h"
#include "shape_fill.h"

namespace {

constexpr UINT_PTR kFrameTimer = 1;
// Posted to itself: deliver the commands the movie sent.
constexpr UINT kDeliverCommands = 0x8000 + 0x3A0;

POINT PointOf(LPARAM lParam) {
    return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

// The file's text, at most one byte more than a movie may hold (the parser
// reports the excess).
bool ReadMovieFile(const std::string& path, std::string& text) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return false;
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    text.resize(player::kMaxMovieBytes + 1);
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (file.bad()) return false;
    text.resize(static_cast<std::size_t>(file.gcount()));
    return true;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {};
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

CMoviePlayer::CMoviePlayer() : alive_(std::make_shared<bool>(true)) {}

CMoviePlayer::~CMoviePlayer() {
    *alive_ = false;
}

void CMoviePlayer::Unload() {
    if (pointer_ && pointer_->Busy() && GetCapture() == this) {
        pointer_->Cancel();
        ReleaseCapture();
    }
    pointer_.reset();
    playback_.reset();
    renderer_.Reset();
    if (GetSafeHwnd()) {
        KillTimer(kFrameTimer);
        InvalidateRect(this, nullptr, false);
    }
}

void CMoviePlayer::Movie(const std::string& url) {
    Unload();
    lastError_.clear();
    if (url.empty()) return;
    player::MovieAddress address;
    if (!player::ParseMovieAddress(url, address, lastError_)) return;
    std::string text;
    if (!ReadMovieFile(address.path, text)) {
        lastError_ = "cannot open the movie \"" + address.path + "\"";
        return;
    }
    auto movie = player::ParseMovie(text, FolderOf(address.path), &lastError_);
    if (!movie) return;
    playback_ = std::make_unique<player::MoviePlayback>(std::move(movie), address.query);
    pointer_ = std::make_unique<player::MoviePointer>(*playback_);
    playback_->Start();
    StartTimer();
    Settle();
}

void CMoviePlayer::StartTimer() {
    if (!playback_ || !GetSafeHwnd()) return;
    SetTimer(kFrameTimer, static_cast<UINT>(1000 / playback_->movie().fps));
}

long CMoviePlayer::FrameNum() const {
    return playback_ ? playback_->FrameNum() : -1;
}

void CMoviePlayer::GotoFrame(long frame) {
    if (!playback_) return;
    playback_->GotoFrame(frame);
    Settle();
}

void CMoviePlayer::TGotoFrame(const std::string& path, long frame) {
    if (!playback_) return;
    playback_->TGotoFrame(path, frame);
    Settle();
}

long CMoviePlayer::TCurrentFrame(const std::string& path) {
    return playback_ ? playback_->TCurrentFrame(path) : -1;
}

void CMoviePlayer::TPlay(const std::string& path) {
    if (playback_) playback_->TPlay(path);
}

void CMoviePlayer::SetVariable(const std::string& name, const std::string& value) {
    if (!playback_) return;
    playback_->SetVariable(name, value);
    Settle();
}

void CMoviePlayer::TCallFrame(const std::string& path, long frame) {
    if (!playback_) return;
    playback_->TCallFrame(path, frame);
    Settle();
}

std::string CMoviePlayer::GetVariable(const std::string& name) {
    return playback_ ? playback_->GetVariable(name) : std::string();
}

void CMoviePlayer::Settle() {
    if (!playback_) return;
    bool changed = playback_->TakeChanged();
    if (changed) {
        pointer_->Refresh();  // what is under the pointer may have come or gone
        changed = playback_->TakeChanged() || changed;
    }
    for (auto& command : playback_->TakeCommands())
        pending_.push_back(std::move(command));
    PostDelivery();
    if (changed && GetSafeHwnd()) InvalidateRect(this, nullptr, false);
}

void CMoviePlayer::PostDelivery() {
    if (pending_.empty() || deliveryPosted_ || delivering_ || !GetSafeHwnd()) return;
    deliveryPosted_ = PostMessage(kDeliverCommands);
}

void CMoviePlayer::DeliverCommands() {
    deliveryPosted_ = false;
    if (delivering_) return;  // a handler's own message loop: the outer loop goes on
    delivering_ = true;
    const std::shared_ptr<bool> alive = alive_;
    while (!pending_.empty()) {
        const player::FsCommand command = std::move(pending_.front());
        pending_.pop_front();
        OnFSCommand(command.command, command.argument);
        if (!*alive) return;  // the handler deleted the player
        if (!GetSafeHwnd()) break;
    }
    delivering_ = false;
}

void CMoviePlayer::OnFSCommand(const std::string& command, const std::string& argument) {
    if (handler_) handler_(command, argument);
}

void CMoviePlayer::OnTimer() {
    if (!playback_) return;
    playback_->Tick();
    Settle();
}

void CMoviePlayer::OnPaint() {
    PAINTSTRUCT paint;
    HDC hdc = BeginPaint(this, &paint);
    RECT client;
    GetClientRect(&client);
    if (playback_)
        renderer_.Draw(hdc, client, *playback_, pointer_->Hover());
    else
        player::FillBox(hdc, client, RGB(255, 255, 255));
    EndPaint(this, &paint);
}

void CMoviePlayer::OnLButtonDown(UINT, POINT point) {
    if (!playback_) return;
    if (pointer_->Press(point)) SetCapture(this);
    Settle();
}

void CMoviePlayer::OnLButtonUp(UINT, POINT point) {
    if (!playback_) return;
    pointer_->Release(point);
    if (GetCapture() == this) ReleaseCapture();
    Settle();
}

void CMoviePlayer::OnMouseMove(UINT, POINT point) {
    if (!playback_) return;
    pointer_->Move(point);
    Settle();
}

void CMoviePlayer::OnRButtonDown(UINT, POINT) {}

LRESULT CMoviePlayer::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const auto flags = static_cast<UINT>(wParam);
    switch (message) {
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_TIMER:
            if (wParam != kFrameTimer) break;
            OnTimer();
            return 0;
        case WM_LBUTTONDOWN:
            OnLButtonDown(flags, PointOf(lParam));
            return 0;
        case WM_LBUTTONUP:
            OnLButtonUp(flags, PointOf(lParam));
            return 0;
        case WM_MOUSEMOVE:
            OnMouseMove(flags, PointOf(lParam));
            return 0;
        case WM_RBUTTONDOWN:
            OnRButtonDown(flags, PointOf(lParam));
            return 0;
        case WM_RBUTTONUP:
            return 0;
        case WM_CAPTURECHANGED:
            if (pointer_ && reinterpret_cast<CWnd*>(lParam) != this) pointer_->Cancel();
            return 0;
        case WM_CREATE: {
            const LRESULT result = CWnd::WindowProc(message, wParam, lParam);
            StartTimer();
            PostDelivery();
            return result;
        }
        case WM_DESTROY:
            KillTimer(kFrameTimer);
            break;
        default:
            if (message == kDeliverCommands) {
                DeliverCommands();
                return 0;
            }
            break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
