#include "folder_tree.h"

#include <algorithm>

#include "folder_listing.h"
#include "folder_tree_node.h"
#include "paint.h"

namespace {

bool IsRootViewPath(const std::string& path) {
    return path.rfind("::", 0) == 0;
}

// The components of `path` below `folder` (which contains it).
std::vector<std::string> ComponentsBelow(const std::string& path, const std::string& folder) {
    std::vector<std::string> parts;
    std::size_t at = folder == "/" ? 1 : folder.size() + 1;
    while (at < path.size()) {
        const std::size_t slash = path.find('/', at);
        const std::size_t end = slash == std::string::npos ? path.size() : slash;
        parts.push_back(path.substr(at, end - at));
        at = end + 1;
    }
    return parts;
}

std::string ChildPath(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

}  // namespace

CFolderView::CFolderView() : env_(PlaceEnvironment::FromProcess()) {}

CFolderView::~CFolderView() = default;

void CFolderView::Initialize() {
    root_ = std::make_unique<Node>();
    root_->name = "Computer";
    root_->path = kComputerPath;
    root_->kind = PlaceKind::Computer;
    root_->expanded = true;
    selected_ = nullptr;
    ReadPlaces();
    selected_ = root_.get();
    current_ = kComputerPath;
    Rebuild();
}

// The places keep their open subtrees across a new reading.
void CFolderView::ReadPlaces() {
    std::vector<std::unique_ptr<Node>> places;
    for (const FolderPlace& place : FindFolderPlaces(env_)) {
        auto old = std::find_if(root_->children.begin(), root_->children.end(),
                                [&](const auto& n) { return n && n->path == place.path; });
        std::unique_ptr<Node> node = old != root_->children.end() ? std::move(*old) : nullptr;
        if (!node) node = std::make_unique<Node>();
        node->name = place.name;
        node->path = place.path;
        node->kind = place.kind;
        node->parent = root_.get();
        node->depth = 1;
        node->expandable = HasSubfolders(place.path);
        if (node->expanded)
            Relist(*node);
        else
            node->listed = false;  // read afresh when opened
        places.push_back(std::move(node));
    }
    root_->children = std::move(places);
    root_->listed = true;
    root_->expandable = !root_->children.empty();
}

void CFolderView::List(Node& node) {
    if (&node == root_.get()) return ReadPlaces();
    node.children.clear();
    for (const std::string& name : ListSubfolders(node.path)) {
        auto child = std::make_unique<Node>();
        child->name = name;
        child->path = ChildPath(node.path, name);
        child->parent = &node;
        child->depth = node.depth + 1;
        child->expandable = HasSubfolders(child->path);
        node.children.push_back(std::move(child));
    }
    node.listed = true;
    node.expandable = !node.children.empty();
}

// A folder read again keeps the nodes of the folders that still exist (so what
// points at them stays good) and what is open below them; closed ones are read
// afresh when opened. An open folder stays open when its last subfolder goes, so
// one made in it later shows at once.
void CFolderView::Relist(Node& node) {
    if (&node == root_.get()) return ReadPlaces();
    std::vector<std::unique_ptr<Node>> old = std::move(node.children);
    List(node);
    for (auto& child : node.children) {
        auto kept = std::find_if(old.begin(), old.end(),
                                 [&](const auto& n) { return n && n->name == child->name; });
        if (kept == old.end()) continue;
        (*kept)->expandable = child->expandable;
        child = std::move(*kept);
        if (child->expanded)
            Relist(*child);
        else
            child->listed = false;
    }
}

void CFolderView::Expand(Node& node) {
    Relist(node);
    node.expanded = !node.children.empty();
    Rebuild();
}

// Closing a folder above the selection moves the selection up to it.
void CFolderView::Collapse(Node& node) {
    node.expanded = false;
    bool below = false;
    for (Node* n = selected_ ? selected_->parent : nullptr; n; n = n->parent)
        below = below || n == &node;
    Rebuild();
    if (below) Select(&node);
}

CFolderView::Node* CFolderView::PlaceFor(const std::string& path) {
    Node* best = nullptr;
    for (auto& place : root_->children)
        if (IsWithinFolder(path, place->path) && (!best || place->path.size() > best->path.size()))
            best = place.get();
    return best;
}

// A folder the listing leaves out (a hidden one reached by its path) is added.
CFolderView::Node* CFolderView::ChildNamed(Node& node, const std::string& name, bool addMissing) {
    if (!node.listed) Relist(node);
    for (auto& child : node.children)
        if (child->name == name) return child.get();
    const std::string path = ChildPath(node.path, name);
    if (!addMissing || !IsFolder(path)) return nullptr;
    auto child = std::make_unique<Node>();
    child->name = name;
    child->path = path;
    child->parent = &node;
    child->depth = node.depth + 1;
    child->expandable = HasSubfolders(path);
    auto at = std::find_if(node.children.begin(), node.children.end(),
                           [&](const auto& n) { return FolderNameLess(name, n->name); });
    node.expandable = true;
    return node.children.insert(at, std::move(child))->get();
}

// The node of a folder, its ancestors opened; null when it is not a folder.
CFolderView::Node* CFolderView::Open(const std::string& rawPath) {
    const std::string path = NormalFolderPath(rawPath);
    if (path.empty() || !IsFolder(path)) return nullptr;
    Node* node = PlaceFor(path);
    if (!node) return nullptr;
    std::vector<Node*> chain{node};
    for (const std::string& part : ComponentsBelow(path, node->path)) {
        node = ChildNamed(*node, part, true);
        if (!node) return nullptr;
        chain.push_back(node);
    }
    chain.pop_back();
    for (Node* n : chain)
        n->expanded = true;
    Rebuild();
    return node;
}

void CFolderView::Select(Node* node) {
    if (!node) return;
    selected_ = node;
    EnsureVisible(node);
    InvalidateRect(this, nullptr);
    if (node->path == current_) return;
    current_ = node->path;
    WatchOpenFolders();
    fingerprint_ = IsRootViewPath(current_) ? 0 : FolderFingerprint(current_);
    if (!GetParent()) return;
    NMHDR info{this, static_cast<UINT_PTR>(GetDlgCtrlID()), FTN_FOLDERCHANGED};
    GetParent()->SendMessage(WM_NOTIFY, static_cast<WPARAM>(GetDlgCtrlID()),
                             reinterpret_cast<LPARAM>(&info));
}

BOOL CFolderView::Navigate(const std::string& path, long /*flags*/, BOOL /*show*/) {
    if (!root_) Initialize();
    if (IsRootViewPath(path)) {
        Select(root_.get());
        return TRUE;
    }
    Node* node = Open(path);
    if (!node) return FALSE;
    Select(node);
    return TRUE;
}

void CFolderView::GoToParent() {
    if (!root_ || IsRootViewPath(current_)) return;
    if (current_ == "/") return Select(root_.get());
    Navigate(ParentFolderPath(current_), 0, TRUE);
}

// Reads everything open again. The selection stays where its folder still
// exists, else moves to the nearest ancestor that does (telling the parent); a
// current folder whose files changed since it was chosen is told as a change too,
// so its pictures are listed again.
void CFolderView::Refresh() {
    if (!root_) return;
    selected_ = nullptr;
    rows_.clear();
    ReadPlaces();
    Rebuild();
    if (IsRootViewPath(current_)) return Select(root_.get());
    std::string target = current_;
    while (target != "/" && !IsFolder(target))
        target = ParentFolderPath(target);
    Node* node = Open(target);
    if (!node) node = root_.get();
    const bool stayed = node->path == current_;
    Select(node);
    if (!stayed) return WatchOpenFolders();
    const std::uint64_t now = FolderFingerprint(current_);
    if (now == fingerprint_) return;
    fingerprint_ = now;
    current_.clear();  // the same folder, told again
    Select(node);
}

// The node of a folder the tree holds, listing nothing; null when it holds none.
CFolderView::Node* CFolderView::Find(const std::string& path) const {
    if (!root_) return nullptr;
    if (IsRootViewPath(path)) return root_.get();
    Node* node = const_cast<CFolderView*>(this)->PlaceFor(path);
    if (!node) return nullptr;
    for (const std::string& part : ComponentsBelow(path, node->path)) {
        const auto child = std::find_if(node->children.begin(), node->children.end(),
                                        [&](const auto& n) { return n->name == part; });
        if (child == node->children.end()) return nullptr;
        node = child->get();
    }
    return node;
}

// Watched folders changed: each is read again (one that went away, through the
// folder above it). The selection stays where its folder still exists, else
// moves to the nearest folder above that does, telling the parent.
void CFolderView::OnFoldersChanged() {
    const std::vector<std::string> changed = watch_.TakeChanged();
    if (!root_ || changed.empty()) return;
    const std::string current = current_;
    selected_ = nullptr;
    rows_.clear();
    for (const std::string& path : changed)
        ReadAgain(path);
    Rebuild();
    if (Node* node = Find(current)) {
        selected_ = node;
        return WatchOpenFolders();
    }
    std::string target = current;
    while (target != "/" && !IsFolder(target))
        target = ParentFolderPath(target);
    Node* node = Open(target);
    Select(node ? node : root_.get());
}

void CFolderView::ReadAgain(const std::string& path) {
    std::string target = path;
    while (target != "/" && !IsFolder(target))
        target = ParentFolderPath(target);
    Node* node = Find(target);
    if (!node || node == root_.get()) return ReadPlaces();
    if (node->listed)
        Relist(*node);
    else
        node->expandable = HasSubfolders(node->path);
}

void CFolderView::WatchOpenFolders() {
    std::vector<std::string> folders;
    if (!IsRootViewPath(current_) && !current_.empty()) folders.push_back(current_);
    std::vector<const Node*> stack;
    if (root_) stack.push_back(root_.get());
    while (!stack.empty()) {
        const Node* node = stack.back();
        stack.pop_back();
        if (!node->expanded) continue;
        if (node != root_.get() && node->path != current_) folders.push_back(node->path);
        for (const auto& child : node->children)
            stack.push_back(child.get());
    }
    watch_.WatchFolders(folders);
}

void CFolderView::Rebuild() {
    rows_.clear();
    if (!root_) return;
    std::vector<Node*> stack{root_.get()};
    while (!stack.empty()) {
        Node* node = stack.back();
        stack.pop_back();
        rows_.push_back(node);
        if (!node->expanded) continue;
        for (auto it = node->children.rbegin(); it != node->children.rend(); ++it)
            stack.push_back(it->get());
    }
    RECT client;
    GetClientRect(&client);
    bar_.Layout(RECT{client.right - VScrollBar::kWidth, 0, client.right, client.bottom},
                static_cast<int>(rows_.size()) * kRowHeight, client.bottom);
    InvalidateRect(this, nullptr);
    WatchOpenFolders();
}

int CFolderView::RowOf(const Node* node) const {
    const auto at = std::find(rows_.begin(), rows_.end(), node);
    return at == rows_.end() ? -1 : static_cast<int>(at - rows_.begin());
}

void CFolderView::EnsureVisible(const Node* node) {
    const int row = RowOf(node);
    if (row < 0) return;
    RECT client;
    GetClientRect(&client);
    const int top = row * kRowHeight;
    if (top < bar_.Position())
        bar_.SetPosition(top);
    else if (top + kRowHeight > bar_.Position() + client.bottom)
        bar_.SetPosition(top + kRowHeight - static_cast<int>(client.bottom));
}

std::vector<CFolderView::Row> CFolderView::VisibleRows() const {
    std::vector<Row> rows;
    for (const Node* n : rows_)
        rows.push_back(Row{n->depth, n->name, n->path, n->expandable, n->expanded});
    return rows;
}
