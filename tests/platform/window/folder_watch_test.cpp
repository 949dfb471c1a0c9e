// Watching folders: a burst of changes is told as few messages at least 250 ms
// apart, each within a second; and the folder tree following folders made and
// removed in its open folders, moving off a current folder that went away, and
// reading a closed folder afresh when it is opened again.
#include "platform/window/folder_watch.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/window/clock.h"
#include "platform/window/folder_tree.h"
#include "platform/window/message_loop.h"

namespace fs = std::filesystem;
using Steady = std::chrono::steady_clock;

namespace {

constexpr UINT kWatchMessage = WM_USER + 7;

// Takes the changes each time it is told, noting when.
class Listener : public CWnd {
public:
    FolderWatch* watch = nullptr;
    std::vector<Steady::time_point> told;
    std::vector<std::string> changed;
    int folderChanges = 0;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kWatchMessage) {
            told.push_back(Steady::now());
            for (const std::string& folder : watch->TakeChanged())
                changed.push_back(folder);
        }
        if (message == WM_NOTIFY &&
            reinterpret_cast<const NMHDR*>(lParam)->code == FTN_FOLDERCHANGED)
            ++folderChanges;
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

// Carries out what arrives until `done`, in real time (5 s at most).
bool PumpUntil(const std::function<bool()>& done) {
    const auto end = Steady::now() + std::chrono::seconds(5);
    while (!done()) {
        if (Steady::now() > end) return false;
        PumpWaitingMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

void PumpFor(std::chrono::milliseconds span) {
    const auto end = Steady::now() + span;
    PumpUntil([&] { return Steady::now() > end; });
}

class FolderWatcher : public ::testing::Test {
protected:
    void SetUp() override {
        SetClock(std::make_shared<VirtualClock>());
        root = fs::temp_directory_path() / ("ostrel_watch_" + std::to_string(getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "shown");
        listener.CreateEx(nullptr, RECT{0, 0, 300, 200}, "host", 0, WS_POPUP | WS_VISIBLE);
    }
    void TearDown() override {
        listener.DestroyWindow();
        PumpWaitingMessages();
        fs::remove_all(root);
        SetClock(nullptr);
    }
    std::string Path(const std::string& relative) const { return (root / relative).string(); }

    fs::path root;
    Listener listener;
};

}  // namespace

TEST_F(FolderWatcher, ABurstIsToldInFewMessagesAQuarterSecondApartEachWithinASecond) {
    FolderWatch watch;
    listener.watch = &watch;
    ASSERT_TRUE(watch.Start(&listener, kWatchMessage));
    watch.WatchFolders({Path("shown"), Path("missing")});
    EXPECT_EQ(watch.Watched(), std::vector<std::string>{Path("shown")});

    const auto start = Steady::now();
    std::ofstream(root / "shown/first.png") << "x";
    ASSERT_TRUE(PumpUntil([&] { return !listener.told.empty(); }));
    EXPECT_LT(listener.told.front() - start, std::chrono::seconds(1));
    EXPECT_EQ(listener.changed, std::vector<std::string>{Path("shown")});

    // 300 files over about 600 ms: at most one message per 250 ms.
    for (int i = 0; i < 300; ++i) {
        std::ofstream(root / "shown" / std::string("p").append(std::to_string(i)).append(".png"))
            << "x";
        if (i % 10 == 0) PumpFor(std::chrono::milliseconds(20));
    }
    const auto lastWrite = Steady::now();
    PumpFor(std::chrono::milliseconds(600));
    ASSERT_GE(listener.told.size(), 2u);
    EXPECT_LE(listener.told.size(),
              2u + static_cast<std::size_t>((Steady::now() - start) / FolderWatch::kSpacing));
    // Measured where the messages arrive: a busy machine can deliver one late and
    // the next on time, so the spacing seen may fall somewhat short of the posts'.
    for (std::size_t i = 1; i < listener.told.size(); ++i)
        EXPECT_GE(listener.told[i] - listener.told[i - 1], std::chrono::milliseconds(180));
    EXPECT_LT(listener.told.back() - lastWrite, std::chrono::seconds(1));
    watch.Stop();
}

TEST_F(FolderWatcher, RenamesRemovalsAndTheFolderGoingAwayAreTold) {
    FolderWatch watch;
    listener.watch = &watch;
    ASSERT_TRUE(watch.Start(&listener, kWatchMessage));
    std::ofstream(root / "shown/a.png") << "x";
    watch.WatchFolders({Path("shown")});
    fs::rename(root / "shown/a.png", root / "shown/b.png");
    ASSERT_TRUE(PumpUntil([&] { return listener.told.size() == 1; }));
    fs::remove_all(root / "shown");
    ASSERT_TRUE(PumpUntil([&] { return listener.told.size() == 2; }));
    EXPECT_EQ(listener.changed, (std::vector<std::string>{Path("shown"), Path("shown")}));
    EXPECT_TRUE(watch.Watched().empty());  // the system dropped the gone folder's watch

    // Watching nothing, or stopped, tells nothing more.
    fs::create_directories(root / "shown");
    watch.WatchFolders({Path("shown")});
    watch.WatchFolders({});
    std::ofstream(root / "shown/c.png") << "x";
    PumpFor(std::chrono::milliseconds(400));
    EXPECT_EQ(listener.told.size(), 2u);
}

namespace {

class FolderTreeWatch : public FolderWatcher {
protected:
    void SetUp() override {
        FolderWatcher::SetUp();
        fs::create_directories(root / "home/Pictures/Album");
        fs::create_directories(root / "home/Pictures/Trips/2003");
        PlaceEnvironment env;
        env.home = (root / "home").string();
        env.runtimeDir = root.string();
        tree.SetPlaceEnvironment(env);
        tree.CreateEx(&listener, RECT{0, 0, 255, 190}, "", 1024, WS_CHILD | WS_VISIBLE);
        tree.Initialize();
    }
    void TearDown() override {
        tree.DestroyWindow();
        FolderWatcher::TearDown();
    }
    bool Shows(const std::string& relative) const {
        for (const auto& row : tree.VisibleRows())
            if (row.path == Path(relative)) return true;
        return false;
    }
    CFolderView tree;
};

}  // namespace

TEST_F(FolderTreeWatch, FoldersMadeOrRemovedInAnOpenFolderComeAndGo) {
    ASSERT_TRUE(tree.Navigate(Path("home/Pictures/Album"), 0, TRUE));
    const int told = listener.folderChanges;
    fs::create_directories(root / "home/Pictures/New");
    ASSERT_TRUE(PumpUntil([&] { return Shows("home/Pictures/New"); }));
    fs::remove_all(root / "home/Pictures/Trips");
    ASSERT_TRUE(PumpUntil([&] { return !Shows("home/Pictures/Trips"); }));
    // The selection stayed and nothing was told.
    EXPECT_EQ(tree.SelectedFolder().FolderPath(), Path("home/Pictures/Album"));
    EXPECT_EQ(listener.folderChanges, told);
    // A subfolder made in the current folder gives it an expander.
    fs::create_directories(root / "home/Pictures/Album/inner");
    ASSERT_TRUE(PumpUntil([&] {
        for (const auto& row : tree.VisibleRows())
            if (row.path == Path("home/Pictures/Album")) return row.expandable;
        return false;
    }));
}

TEST_F(FolderTreeWatch, ACurrentFolderRemovedLeavesAndTheSelectionMovesUpOnce) {
    ASSERT_TRUE(tree.Navigate(Path("home/Pictures/Trips/2003"), 0, TRUE));
    const int told = listener.folderChanges;
    fs::remove_all(root / "home/Pictures/Trips/2003");
    ASSERT_TRUE(PumpUntil([&] { return !Shows("home/Pictures/Trips/2003"); }));
    EXPECT_EQ(tree.SelectedFolder().FolderPath(), Path("home/Pictures/Trips"));
    EXPECT_EQ(listener.folderChanges, told + 1);
    const auto watched = tree.WatchedFolders();
    EXPECT_NE(std::find(watched.begin(), watched.end(), Path("home/Pictures/Trips")),
              watched.end());
}

TEST_F(FolderTreeWatch, AClosedFolderIsReadAfreshWhenOpenedAgain) {
    ASSERT_TRUE(tree.Navigate(Path("home/Pictures/Trips/2003"), 0, TRUE));
    ASSERT_TRUE(tree.Navigate(Path("home/Pictures"), 0, TRUE));
    tree.SendMessage(WM_KEYDOWN, VK_LEFT, 0);  // close Pictures: no longer watched
    ASSERT_FALSE(Shows("home/Pictures/Album"));
    fs::create_directories(root / "home/Pictures/Later");
    fs::remove_all(root / "home/Pictures/Album");
    tree.SendMessage(WM_KEYDOWN, VK_RIGHT, 0);  // open it again
    EXPECT_TRUE(Shows("home/Pictures/Later"));
    EXPECT_FALSE(Shows("home/Pictures/Album"));
    EXPECT_TRUE(Shows("home/Pictures/Trips"));
}
