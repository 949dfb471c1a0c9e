// The folder tree on a folder structure of the test's own: listing and order,
// the places, navigation and the rule that FolderChanged comes exactly once per
// change of the current folder, keys, refresh and drawing.
#include "platform/window/folder_tree.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/gdi/gdi.h"
#include "platform/window/clock.h"
#include "platform/window/focus.h"
#include "platform/window/folder_listing.h"
#include "platform/window/message_loop.h"
#include "platform/window/paint.h"

namespace fs = std::filesystem;

namespace {

// Counts the tree's FolderChanged notifications.
class Host : public CWnd {
public:
    int changes = 0;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_NOTIFY &&
            reinterpret_cast<const NMHDR*>(lParam)->code == FTN_FOLDERCHANGED)
            ++changes;
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

class FolderTree : public ::testing::Test {
protected:
    void SetUp() override {
        SetClock(std::make_shared<VirtualClock>());
        root = fs::temp_directory_path() / ("ostrel_tree_" + std::to_string(getpid()));
        fs::remove_all(root);
        for (const char* dir : {"home/Pictures/2003", "home/Pictures/img10", "home/Pictures/img2",
                                "home/Pictures/Album", "home/Pictures/.cache", "home/Desktop",
                                "media/Camera SD", "gvfs/mtp:host=Phone_1/Card"})
            fs::create_directories(root / dir);
        std::ofstream(root / "home/Pictures/photo.jpg") << "x";
        PlaceEnvironment env;
        env.home = (root / "home").string();
        env.runtimeDir = root.string();
        env.mountFolders = {(root / "media").string()};
        host.CreateEx(nullptr, RECT{0, 0, 300, 200}, "host", 0, WS_POPUP | WS_VISIBLE);
        tree.SetPlaceEnvironment(env);
        tree.CreateEx(&host, RECT{0, 0, 255, 190}, "", 1024, WS_CHILD | WS_VISIBLE);
        tree.Initialize();
    }
    void TearDown() override {
        tree.DestroyWindow();
        host.DestroyWindow();
        PumpWaitingMessages();
        std::error_code ignored;
        fs::permissions(root / "home/locked", fs::perms::owner_all, ignored);
        fs::remove_all(root);
        SetClock(nullptr);
    }
    std::string Path(const std::string& relative) const { return (root / relative).string(); }
    std::string Current() const { return tree.SelectedFolder().FolderPath(); }
    void Key(WPARAM key) { tree.SendMessage(WM_KEYDOWN, key, 0); }

    fs::path root;
    Host host;
    CFolderView tree;
};

}  // namespace

TEST(FolderListing, SortsAsFileManagersAndHidesDotNames) {
    std::vector<std::string> names{"img10", "Img2", "b", "A", "img02x", "2003"};
    std::sort(names.begin(), names.end(), FolderNameLess);
    EXPECT_EQ(names, (std::vector<std::string>{"2003", "A", "b", "Img2", "img02x", "img10"}));
    EXPECT_EQ(NormalFolderPath("/a//b/"), "/a/b");
    EXPECT_EQ(NormalFolderPath("/"), "/");
    EXPECT_EQ(NormalFolderPath("relative"), "");
    EXPECT_TRUE(IsWithinFolder("/a/b", "/a"));
    EXPECT_FALSE(IsWithinFolder("/ab", "/a"));
}

TEST_F(FolderTree, PlacesAreHomePicturesDesktopTheFileSystemAndTheMounts) {
    const auto rows = tree.VisibleRows();
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[0].path, kComputerPath);
    EXPECT_EQ(rows[1].name, "Home");
    EXPECT_EQ(rows[2].path, Path("home/Pictures"));
    EXPECT_EQ(rows[3].path, Path("home/Desktop"));
    EXPECT_FALSE(rows[3].expandable);  // no subfolders
    EXPECT_EQ(rows[4].path, "/");
    EXPECT_EQ(rows[5].name, "Camera SD");
    EXPECT_EQ(rows[6].name, "mtp:host=Phone_1");
    EXPECT_EQ(Current(), kComputerPath);
}

TEST_F(FolderTree, UserDirsNameThePicturesFolder) {
    EXPECT_EQ(UserDirFrom("# x\nXDG_PICTURES_DIR=\"$HOME/Bilder\"\n", "XDG_PICTURES_DIR", "/h"),
              "/h/Bilder");
    EXPECT_EQ(UserDirFrom("XDG_DESKTOP_DIR=\"/d\"\n", "XDG_PICTURES_DIR", "/h"), "");
}

TEST_F(FolderTree, NavigateOpensTheAncestorsAndTellsEachChangeOnce) {
    EXPECT_TRUE(tree.Navigate(Path("home/Pictures/img2/"), 0, TRUE));
    EXPECT_EQ(Current(), Path("home/Pictures/img2"));
    EXPECT_EQ(host.changes, 1);
    // The subfolders in file-manager order, the hidden one left out.
    std::vector<std::string> under;
    for (const auto& row : tree.VisibleRows())
        if (row.depth == 2) under.push_back(row.name);
    EXPECT_EQ(under, (std::vector<std::string>{"2003", "Album", "img2", "img10"}));

    EXPECT_TRUE(tree.Navigate(Path("home/Pictures/img2"), 0, TRUE));  // the same folder
    EXPECT_EQ(host.changes, 1);
    EXPECT_FALSE(tree.Navigate(Path("home/Pictures/photo.jpg"), 0, TRUE));
    EXPECT_FALSE(tree.Navigate(Path("nowhere"), 0, TRUE));
    EXPECT_EQ(Current(), Path("home/Pictures/img2"));
    EXPECT_EQ(host.changes, 1);

    // A hidden folder reached by its path is shown.
    EXPECT_TRUE(tree.Navigate(Path("home/Pictures/.cache"), 0, TRUE));
    EXPECT_EQ(host.changes, 2);
    EXPECT_TRUE(tree.Navigate("::anything", 0, TRUE));
    EXPECT_EQ(Current(), kComputerPath);
    EXPECT_EQ(host.changes, 3);
}

TEST_F(FolderTree, GoToParentClimbsTheFileSystemUpToTheRootView) {
    tree.Navigate(Path("home/Pictures/2003"), 0, TRUE);
    tree.GoToParent();
    EXPECT_EQ(Current(), Path("home/Pictures"));
    tree.GoToParent();
    EXPECT_EQ(Current(), Path("home"));
    tree.Navigate("/", 0, TRUE);
    tree.GoToParent();
    EXPECT_EQ(Current(), kComputerPath);
    const int changes = host.changes;
    tree.GoToParent();
    EXPECT_EQ(host.changes, changes);
}

TEST_F(FolderTree, KeysMoveOpenAndCloseAndBackspaceGoesUp) {
    tree.Navigate(Path("home/Pictures"), 0, TRUE);
    const int before = host.changes;
    Key(VK_RIGHT);  // open: the current folder stays
    EXPECT_EQ(host.changes, before);
    Key(VK_RIGHT);  // to the first subfolder
    EXPECT_EQ(Current(), Path("home/Pictures/2003"));
    Key(VK_DOWN);
    EXPECT_EQ(Current(), Path("home/Pictures/Album"));
    Key(VK_UP);
    Key(VK_LEFT);  // to the parent
    EXPECT_EQ(Current(), Path("home/Pictures"));
    Key(VK_LEFT);  // closes it
    EXPECT_EQ(Current(), Path("home/Pictures"));
    Key(VK_HOME);
    EXPECT_EQ(Current(), kComputerPath);
    Key(VK_END);
    EXPECT_EQ(tree.VisibleRows().back().path, Current());
    tree.Navigate(Path("home/Pictures/img10"), 0, TRUE);
    Key(VK_BACK);
    EXPECT_EQ(Current(), Path("home/Pictures"));
    EXPECT_EQ(host.changes, before + 8);
}

TEST_F(FolderTree, ClosingAFolderAboveTheSelectionSelectsIt) {
    tree.Navigate(Path("home/Pictures/2003"), 0, TRUE);
    const auto rows = tree.VisibleRows();
    const auto pictures = std::find_if(
        rows.begin(), rows.end(), [&](const auto& r) { return r.path == Path("home/Pictures"); });
    const int row = static_cast<int>(pictures - rows.begin());
    // Double click on the name closes it.
    tree.SendMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(80, row * CFolderView::kRowHeight + 5));
    tree.SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(80, row * CFolderView::kRowHeight + 5));
    EXPECT_EQ(Current(), Path("home/Pictures"));
    EXPECT_FALSE(tree.VisibleRows()[static_cast<std::size_t>(row)].expanded);
}

TEST_F(FolderTree, RefreshKeepsTheSelectionMovesUpWhenItVanishesAndTellsNewFiles) {
    tree.Navigate(Path("home/Pictures/img10"), 0, TRUE);
    int changes = host.changes;
    tree.Refresh();
    EXPECT_EQ(host.changes, changes);  // nothing changed
    std::ofstream(Path("home/Pictures/img10/new.png")) << "x";
    tree.Refresh();
    EXPECT_EQ(host.changes, ++changes);  // a picture saved meanwhile
    EXPECT_EQ(Current(), Path("home/Pictures/img10"));
    fs::create_directories(Path("home/Pictures/Zoo"));
    fs::remove_all(Path("home/Pictures/img10"));
    tree.Refresh();
    EXPECT_EQ(host.changes, ++changes);
    EXPECT_EQ(Current(), Path("home/Pictures"));
    const auto rows = tree.VisibleRows();
    EXPECT_TRUE(std::any_of(rows.begin(), rows.end(),
                            [&](const auto& r) { return r.path == Path("home/Pictures/Zoo"); }));
}

TEST_F(FolderTree, AFolderThatCannotBeReadHasNoExpander) {
    if (geteuid() == 0) GTEST_SKIP() << "root reads every folder";
    fs::create_directories(Path("home/locked/inner"));
    fs::permissions(Path("home/locked"), fs::perms::none);
    EXPECT_FALSE(HasSubfolders(Path("home/locked")));
    EXPECT_TRUE(ListSubfolders(Path("home/locked")).empty());
}

TEST_F(FolderTree, DrawsIconsAndTheSelectionAndScrollsWithTheWheel) {
    for (int i = 0; i < 30; ++i)
        fs::create_directories(Path("home/Pictures/2003/d" + std::to_string(i)));
    tree.Navigate(Path("home/Pictures/2003/d29"), 0, TRUE);
    EXPECT_GT(tree.TopPosition(), 0);  // scrolled to show it
    SetFocus(&tree);
    while (HWND dirty = NextWindowToPaint(MessageQueue::Current().get()))
        UpdateWindow(dirty);
    const SurfacePtr surface = WindowSurface(&host);
    // The selected row is highlighted near the bottom; the scroll bar shows.
    int highlighted = 0;
    for (LONG y = 0; y < 190; ++y)
        highlighted += surface->Get(100, y) == RGB(0, 120, 215);
    EXPECT_GT(highlighted, 0);
    EXPECT_NE(surface->Get(250, 5), RGB(255, 255, 255));
    const int top = tree.TopPosition();
    tree.SendMessage(WM_MOUSEWHEEL, static_cast<WPARAM>(WHEEL_DELTA) << 16, 0);
    EXPECT_LT(tree.TopPosition(), top);
}

TEST_F(FolderTree, ANameCutToFitShowsItsWholePathAsTheTip) {
    const std::string longName = "a folder name far too long for the tree to show whole";
    fs::create_directories(Path("home/Desktop/" + longName));
    tree.Navigate(Path("home/Desktop/" + longName), 0, TRUE);
    const auto rows = tree.VisibleRows();
    const auto at = [&](const std::string& path) {
        const auto row =
            std::find_if(rows.begin(), rows.end(), [&](const auto& r) { return r.path == path; });
        return static_cast<int>(row - rows.begin()) * CFolderView::kRowHeight + 5 -
               tree.TopPosition();
    };
    const auto tipAt = [&](int y) {
        tree.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(120, y));
        NMTTDISPINFO info{};
        info.hdr.code = TTN_GETDISPINFO;
        info.uFlags = TTF_IDISHWND;
        tree.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
        return std::string(info.lpszText ? info.lpszText : "");
    };
    EXPECT_EQ(tipAt(at(Path("home/Desktop/" + longName))), Path("home/Desktop/" + longName));
    EXPECT_EQ(tipAt(at(Path("home/Desktop"))), "");  // shown whole: no tip
}
