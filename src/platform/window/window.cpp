#include "window.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include "focus.h"
#include "paint.h"
#include "paint_state.h"
#include "platform/base/utf8_cut.h"
#include "window_backend.h"

namespace {

// Live windows with their threads' queues, and the top-level ones in creation
// order. Other threads reach a window only through here, never through the object.
struct Registry {
    std::mutex mutex;
    std::unordered_map<CWnd*, std::shared_ptr<MessageQueue>> live;
    std::vector<CWnd*> topLevel;
};

Registry& registry() {
    static Registry r;
    return r;
}

std::shared_ptr<MessageQueue> QueueOf(HWND window) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    const auto it = r.live.find(window);
    return it == r.live.end() ? nullptr : it->second;
}

}  // namespace

CWnd::CWnd() : paint_(std::make_unique<WindowPaintState>()) {}

CWnd::~CWnd() {
    DestroyWindow();
}

void CWnd::TopLevelChanged() {
    if (WindowBackend* backend = GetWindowBackend(); backend && !parent_)
        backend->TopLevelChanged(this);
}

// A top-level window's pixels live in a surface of its own size.
void CWnd::ResizeSurface() {
    if (parent_) return;
    const LONG width = rect_.right - rect_.left, height = rect_.bottom - rect_.top;
    auto surface = std::make_shared<Surface>(std::max<LONG>(width, 0), std::max<LONG>(height, 0));
    if (surface->Valid()) surface->Fill(RGB(255, 255, 255));
    paint_->surface = surface->Valid() ? surface : nullptr;
}

bool CWnd::CreateEx(CWnd* parent, const RECT& rect, const std::string& text, int id, DWORD style) {
    if (alive_ || (parent && !IsWindow(parent))) return false;
    parent_ = parent;
    rect_ = rect;
    text_ = text;
    id_ = id;
    style_ = style;
    enabled_ = !(style & WS_DISABLED);
    queue_ = MessageQueue::Current();
    alive_ = true;
    {
        Registry& r = registry();
        std::lock_guard lock(r.mutex);
        r.live.emplace(this, queue_);
        if (!parent) r.topLevel.push_back(this);
    }
    if (parent) parent->children_.push_back(this);
    ResizeSurface();
    TopLevelChanged();
    if (SendMessage(WM_CREATE) == -1) {
        DestroyWindow();
        return false;
    }
    if (style & WS_VISIBLE) ShowWindow(SW_SHOW);
    return true;
}

void CWnd::DestroyWindow() {
    if (!alive_) return;
    SendMessage(WM_DESTROY);
    const std::vector<CWnd*> children = children_;
    for (CWnd* child : children)
        child->DestroyWindow();
    queue_->KillTimersOf(this);
    ForgetFocusOf(this);
    if (parent_ && visible_) InvalidateRect(parent_, &rect_);
    Unlink();
    alive_ = false;
    if (WindowBackend* backend = GetWindowBackend(); backend && !parent_)
        backend->TopLevelDestroyed(this);
    PostNcDestroy();
}

void CWnd::Unlink() {
    if (parent_) std::erase(parent_->children_, this);
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    r.live.erase(this);
    std::erase(r.topLevel, this);
}

CMenu* CWnd::GetSystemMenu(bool revert) {
    if (revert) systemMenu_ = CMenu();
    return &systemMenu_;
}

HWND CWnd::GetSafeHwnd() const {
    return alive_ ? const_cast<CWnd*>(this) : nullptr;
}

CWnd* CWnd::GetDlgItem(int id) const {
    for (CWnd* child : children_) {
        if (child->id_ == id) return child;
    }
    return nullptr;
}

void CWnd::SetWindowText(const std::string& text) {
    text_ = text;
    SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text_.c_str()));
    if (alive_) TopLevelChanged();
}

HICON CWnd::SetIcon(HICON icon, bool big) {
    HICON& slot = big ? bigIcon_ : smallIcon_;
    std::swap(slot, icon);
    if (alive_) TopLevelChanged();
    return icon;
}

int CWnd::GetWindowText(char* buffer, int size) const {
    if (!buffer || size <= 0) return 0;
    const std::size_t n = Utf8PrefixLength(text_, static_cast<std::size_t>(size - 1));
    std::memcpy(buffer, text_.data(), n);
    buffer[n] = '\0';
    return static_cast<int>(n);
}

bool CWnd::IsWindowVisible() const {
    for (const CWnd* w = this; w; w = w->parent_) {
        if (!w->visible_) return false;
    }
    return alive_;
}

bool CWnd::ShowWindow(int command) {
    const bool wasVisible = visible_, wasMinimized = minimized_;
    const bool show = command != SW_HIDE;
    if (command == SW_MINIMIZE || command == SW_SHOWMINIMIZED) minimized_ = true;
    if (command == SW_SHOWNORMAL || command == SW_RESTORE) minimized_ = false;
    // Minimised, a window shows only itself (its icon); restored, all of it again.
    if (minimized_ != wasMinimized && visible_) InvalidateRect(this, nullptr);
    if (show != visible_) {
        visible_ = show;
        SendMessage(WM_SHOWWINDOW, show ? 1 : 0);
        // What the window covered, or now covers, needs painting.
        if (show)
            InvalidateRect(this, nullptr);
        else if (parent_)
            InvalidateRect(parent_, &rect_);
    }
    TopLevelChanged();
    return wasVisible;
}

bool CWnd::EnableWindow(bool enable) {
    const bool wasDisabled = !enabled_;
    if (enable != enabled_) {
        enabled_ = enable;
        SendMessage(WM_ENABLE, enable ? 1 : 0);
    }
    return wasDisabled;
}

void CWnd::MoveWindow(const RECT& rect) {
    const bool moved = rect.left != rect_.left || rect.top != rect_.top;
    const bool resized = rect.right - rect.left != rect_.right - rect_.left ||
                         rect.bottom - rect.top != rect_.bottom - rect_.top;
    if (parent_ && visible_) InvalidateRect(parent_, &rect_);
    rect_ = rect;
    if (resized) ResizeSurface();
    if (moved) SendMessage(WM_MOVE, 0, MAKELPARAM(rect.left, rect.top));
    if (resized)
        SendMessage(WM_SIZE, 0, MAKELPARAM(rect.right - rect.left, rect.bottom - rect.top));
    // A moved top-level window keeps its pixels; a moved child uncovers new ones.
    if (resized || (moved && parent_)) InvalidateRect(this, nullptr);
    if (moved || resized) TopLevelChanged();
}

void CWnd::GetClientRect(RECT* rect) const {
    if (rect) *rect = RECT{0, 0, rect_.right - rect_.left, rect_.bottom - rect_.top};
}

void CWnd::GetWindowRect(RECT* rect) const {
    if (!rect) return;
    POINT origin{0, 0};
    ClientToScreen(&origin);
    *rect = RECT{origin.x, origin.y, origin.x + rect_.right - rect_.left,
                 origin.y + rect_.bottom - rect_.top};
}

void CWnd::ClientToScreen(POINT* point) const {
    if (!point) return;
    for (const CWnd* w = this; w; w = w->parent_) {
        point->x += w->rect_.left;
        point->y += w->rect_.top;
    }
}

void CWnd::ScreenToClient(POINT* point) const {
    if (!point) return;
    POINT origin{0, 0};
    ClientToScreen(&origin);
    point->x -= origin.x;
    point->y -= origin.y;
}

// Safe from any thread: the window is found through the registry, not the object.
LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const std::shared_ptr<MessageQueue> queue = QueueOf(this);
    if (!queue) return 0;
    const MSG msg{this, message, wParam, lParam, 0};
    return queue == MessageQueue::Current() ? DeliverMessage(msg) : queue->SendFromOtherThread(msg);
}

bool CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const std::shared_ptr<MessageQueue> queue = QueueOf(this);
    return queue && queue->Post(MSG{this, message, wParam, lParam, 0});
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapseMs) {
    if (!alive_) return 0;
    queue_->SetTimer(this, id, elapseMs);
    return id;
}

bool CWnd::KillTimer(UINT_PTR id) {
    return alive_ && queue_->KillTimer(this, id);
}

void CWnd::ForEachDescendant(const std::function<void(CWnd*)>& visit) const {
    const std::vector<CWnd*> children = children_;
    for (CWnd* child : children) {
        if (!IsWindow(child)) continue;
        visit(child);
        child->ForEachDescendant(visit);
    }
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    switch (message) {
        case WM_CLOSE:
            DestroyWindow();
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(this, &paint);
            EndPaint(this, &paint);
            return 0;
        }
        case WM_NCLBUTTONDOWN:
            if (wParam == HTCAPTION && !parent_) {
                if (WindowBackend* backend = GetWindowBackend()) backend->BeginCaptionDrag(this);
            }
            return 0;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_MINIMIZE) ShowWindow(SW_MINIMIZE);
            if ((wParam & 0xFFF0) == SC_RESTORE) ShowWindow(SW_RESTORE);
            return 0;
        default:
            return 0;
    }
}

bool IsWindow(HWND window) {
    return QueueOf(window) != nullptr;
}

LRESULT DeliverMessage(const MSG& message) {
    if (!IsWindow(message.hwnd)) return 0;
    return message.hwnd->WindowProc(message.message, message.wParam, message.lParam);
}

std::vector<HWND> TopLevelWindows() {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    return r.topLevel;
}

namespace {

std::mutex g_finderMutex;
std::function<HWND(const std::string&)> g_foreignFinder;

}  // namespace

void SetForeignWindowFinder(std::function<HWND(const std::string& title)> finder) {
    std::lock_guard lock(g_finderMutex);
    g_foreignFinder = std::move(finder);
}

HWND FindWindow(const char* /*className*/, const char* title) {
    if (!title) return nullptr;
    for (HWND window : TopLevelWindows()) {
        if (IsWindow(window) && window->Text() == title) return window;
    }
    std::function<HWND(const std::string&)> finder;
    {
        std::lock_guard lock(g_finderMutex);
        finder = g_foreignFinder;
    }
    return finder ? finder(title) : nullptr;
}
