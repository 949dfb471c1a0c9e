#include "movie_player.h"

#include <filesystem>
#include <fstream>

#include "movie_address.h"
#include "movie_key_stops.h"
#include "movie_parser.h"
#include "platform/gdi/gdi.h"
#include "platform/window/focus.h"
#include "platform/window/focus_mark.h"
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

// Around the box, a pixel clear of it: a button filled with the accent colour
// would hide a ring inside it.
RECT AroundBox(const RECT& box) {
    const LONG out = kFocusMarkWidth + 1;
    return RECT{box.left - out, box.top - out, box.right + out, box.bottom + out};
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
    focus_ = -1;
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
    if (playback_) {
        renderer_.Draw(hdc, client, *playback_, pointer_->Hover());
        if (const auto stop = Focused()) DrawFocusMark(hdc, AroundBox(player::KeyStopBox(*stop)));
    } else
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

std::vector<player::PointerTarget> CMoviePlayer::Stops() const {
    std::vector<player::PointerTarget> stops;
    if (!playback_) return stops;
    for (const auto& stop : player::KeyStops(*playback_))
        if (TakesKeys(player::KeyStopBox(stop))) stops.push_back(stop);
    return stops;
}

std::optional<player::PointerTarget> CMoviePlayer::Focused() const {
    if (focus_ < 0) return std::nullopt;
    const auto stops = Stops();
    if (static_cast<std::size_t>(focus_) >= stops.size()) return std::nullopt;
    return stops[static_cast<std::size_t>(focus_)];
}

void CMoviePlayer::SetFocusedStop(int index) {
    if (index == focus_) return;
    focus_ = index;
    if (GetSafeHwnd()) InvalidateRect(this, nullptr, false);
}

bool CMoviePlayer::MoveInnerFocus(bool backwards) {
    const int count = static_cast<int>(Stops().size());
    // A place the stage no longer has counts as none.
    const int from = focus_ < count ? focus_ : -1;
    SetFocusedStop(player::NextKeyStop(from, count, backwards));
    return focus_ >= 0;
}

bool CMoviePlayer::PressInnerFocus() {
    const auto stop = Focused();
    if (!stop || !player::PressKeyStop(*playback_, *stop)) return false;
    Settle();
    return true;
}

bool CMoviePlayer::OnKeyDown(UINT key) {
    const auto stop = Focused();
    if (!stop) return false;
    if (key == VK_SPACE) return PressInnerFocus();
    int steps = 0;
    if (key == VK_LEFT || key == VK_DOWN) steps = -1;
    if (key == VK_RIGHT || key == VK_UP) steps = 1;
    if (steps == 0 || !player::StepSlider(*playback_, *stop, steps)) return false;
    Settle();
    return true;
}

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
        case WM_KEYDOWN:
            if (OnKeyDown(static_cast<UINT>(wParam))) return 0;
            break;
        case WM_KILLFOCUS:
            SetFocusedStop(-1);
            break;
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
