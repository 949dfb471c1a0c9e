// The folder tree: a root view ("::Computer") whose children are the places of
// folder_places.h, each opening onto its subfolders. The current folder is the
// selected row; every change of it is told to the parent once, as WM_NOTIFY with
// FTN_FOLDERCHANGED. Drawn by the software GDI: expanders, the places' own icons,
// names cut with "..." (the full path as the tip), a scroll bar; keys and wheel.
// The open folders and the current one are watched: folders made or removed in
// them show up or leave within a second, and opening a folder reads it afresh.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "folder_places.h"
#include "folder_watch.h"
#include "scroll_bar.h"
#include "tooltip.h"
#include "window.h"

constexpr UINT FTN_FOLDERCHANGED = static_cast<UINT>(-1700);
// The tree's own: posted to itself when watched folders changed.
constexpr UINT WM_FOLDERTREE_WATCH = WM_USER + 0x100;

// The root view's path; every path beginning with "::" stands for it.
constexpr const char* kComputerPath = "::Computer";

// What SelectedFolder hands out: the folder's path at that moment.
class CFolderItem {
public:
    explicit CFolderItem(std::string path) : path_(std::move(path)) {}
    const std::string& FolderPath() const { return path_; }

private:
    std::string path_;
};

class CFolderView : public CWnd {
public:
    static constexpr int kRowHeight = 18;
    static constexpr int kIndent = 14;

    CFolderView();
    ~CFolderView() override;

    // Reads the places; the root view is the current folder until Navigate.
    void Initialize();
    // The folder above the current one in the file system; above "/" is the root
    // view, which has none.
    void GoToParent();
    // Opens the tree down to `path`, selects it and scrolls it into view. FALSE,
    // changing nothing, when it is not a folder. The long and the BOOL are unused.
    BOOL Navigate(const std::string& path, long flags, BOOL show);
    // Reads the places and the open folders again; see the .cpp for what it tells.
    void Refresh();
    CFolderItem SelectedFolder() const { return CFolderItem(current_); }

    // For the environment that Initialize and Refresh read (tests give their own).
    void SetPlaceEnvironment(PlaceEnvironment env) { env_ = std::move(env); }

    // Rows as shown, top first: depth and name, for tests and tips.
    struct Row {
        int depth;
        std::string name;
        std::string path;
        bool expandable;
        bool expanded;
    };
    std::vector<Row> VisibleRows() const;
    // The folders watched for changes: the open ones and the current one.
    std::vector<std::string> WatchedFolders() const { return watch_.Watched(); }
    int TopPosition() const { return bar_.Position(); }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    struct Node;

    // Model (folder_tree.cpp)
    void ReadPlaces();
    void List(Node& node);
    void Relist(Node& node);
    void Expand(Node& node);
    void Collapse(Node& node);
    Node* PlaceFor(const std::string& path);
    Node* ChildNamed(Node& node, const std::string& name, bool addMissing);
    Node* Open(const std::string& path);
    Node* Find(const std::string& path) const;
    void OnFoldersChanged();
    void ReadAgain(const std::string& path);
    void WatchOpenFolders();
    void Select(Node* node);
    void Rebuild();
    int RowOf(const Node* node) const;
    void EnsureVisible(const Node* node);

    // Input (folder_tree_input.cpp)
    void OnKey(WPARAM key);
    void OnPress(POINT p, bool twice);
    void OnMove(POINT p);
    void AnswerTip(NMTTDISPINFO& info);
    int RowAt(POINT p) const;

    // Painting (folder_tree_paint.cpp)
    void Paint();
    void PaintRow(HDC hdc, int row);
    RECT RowRect(int row) const;
    int TextLeft(const Node& node) const;

    PlaceEnvironment env_;
    std::unique_ptr<Node> root_;
    std::vector<Node*> rows_;
    Node* selected_ = nullptr;
    std::string current_ = kComputerPath;
    std::uint64_t fingerprint_ = 0;
    VScrollBar bar_;
    bool focused_ = false;
    CToolTipCtrl pathTip_;
    int tipRow_ = -1;
    std::string tipText_;
    FolderWatch watch_;
};
