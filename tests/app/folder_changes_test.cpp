// The picture browser following its folder: pictures added, removed and renamed
// come and go in the list with the choice and the view kept, a chosen file that
// vanished is refused once, a removed folder leaves, and a folder of things that
// are no pictures (pipes, sockets, broken links) neither blocks nor breaks it.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/globals.h"
#include "app/resources/wizard_resources.h"
#include "app/texts/wizard_texts.h"
#include "imaging/px_image.h"
#include "imaging/px_message.h"
#include "pages/dlg_wiz2.h"
#include "pages/thumbnail_list.h"
#include "platform/backends/headless_backend.h"
#include "platform/window/message_box.h"
#include "platform/window/message_loop.h"
#include "virtual_time.h"

namespace fs = std::filesystem;

namespace {

std::atomic<int> g_libraryBoxes{0};

int CountLibraryBox(const char*, const char*, UINT) {
    ++g_libraryBoxes;
    return IDOK;
}

void WritePicture(const fs::path& path, BYTE red) {
    PxImage image;
    image.Create(40, 20, 24, PX_FORMAT_PNG);
    image.Clear(red);
    ASSERT_TRUE(image.Save(path.c_str(), PX_FORMAT_PNG)) << path;
}

class FolderChanges : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterWizardResources(); }
    void SetUp() override {
        root = fs::temp_directory_path() / ("ostrel_changes_" + std::to_string(getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "home/Pictures/Holiday");
        std::ofstream(root / "r.reg")
            << "Windows Registry Editor Version 5.00\n\n"
               "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane\\Tessel 310-510\\Customization "
               "Wizards\\user]\n\"BrowseStamp\"=\""
            << Holiday() << "\"\n";
        setenv("OSTREL_REGISTRY", (root / "r.reg").c_str(), 1);
        g_texts = BuildTexts("EN");
        g_mainWnd = nullptr;
        SetMessageBoxHandler([this](HWND, const std::string& text, const std::string&, UINT) {
            boxes.push_back(text);
            return IDOK;
        });
        g_libraryBoxes = 0;
        PxSetMessageBoxHook(CountLibraryBox);
        for (const char* name : {"A.png", "b.png", "x.png"})
            WritePicture(root / "home/Pictures/Holiday" / name, 100);
        main.CreateEx(nullptr, RECT{0, 0, 580, 411}, "Ostrel", 0, WS_POPUP | WS_VISIBLE);
        page = std::make_unique<CDlgWiz2>(&main);
        page->Create(page->TemplateId(), &main);
        PlaceEnvironment env;
        env.home = (root / "home").string();
        page->folderTree.SetPlaceEnvironment(env);
    }
    void TearDown() override {
        page->DestroyWindow();
        page.reset();
        main.DestroyWindow();
        ClearQueue();
        PxSetMessageBoxHook(nullptr);
        SetMessageBoxHandler(nullptr);
        unsetenv("OSTREL_REGISTRY");
        fs::remove_all(root);
    }

    std::string Holiday() const { return (root / "home/Pictures/Holiday").string(); }
    void Show() {
        page->ShowWindow(SW_SHOW);
        LetTimePass(50);
    }
    // Carries out what the worker sends and the watch posts until `done`, in real
    // time (10 s at most).
    bool WaitFor(const std::function<bool()>& done) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!done()) {
            if (std::chrono::steady_clock::now() > end) return false;
            PumpWaitingMessages();
            if (!MessageQueue::Current()->HandleSentMessages())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }
    std::vector<std::string> Items() {
        std::vector<std::string> items;
        for (int i = 0; i < page->fileList.GetItemCount(); ++i)
            items.push_back(page->fileList.GetItemText(i));
        return items;
    }
    bool ListIs(const std::vector<std::string>& expected) {
        return WaitFor([&] { return Items() == expected; });
    }
    int Selected() { return page->fileList.GetNextItem(-1, LVNI_SELECTED); }
    void Select(int item) { page->fileList.SetItemState(item, LVIS_SELECTED, LVIS_SELECTED); }

    fs::path root;
    std::vector<std::string> boxes;
    HeadlessBackend backend;
    CWnd main;
    std::unique_ptr<CDlgWiz2> page;
};

}  // namespace

TEST_F(FolderChanges, PicturesAddedRemovedAndRenamedFollowWithTheChoiceKept) {
    Show();
    ASSERT_TRUE(ListIs({"A.png", "b.png", "x.png"}));
    Select(1);
    const fs::path holiday = Holiday();
    WritePicture(holiday / "c.png", 30);
    ASSERT_TRUE(ListIs({"A.png", "b.png", "c.png", "x.png"}));
    EXPECT_EQ(Selected(), 1);
    fs::remove(holiday / "A.png");
    ASSERT_TRUE(ListIs({"b.png", "c.png", "x.png"}));
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(page->chosenPath, Holiday() + "/b.png");
    // The chosen picture renamed stays chosen under its new name.
    fs::rename(holiday / "b.png", holiday / "d.png");
    ASSERT_TRUE(ListIs({"c.png", "d.png", "x.png"}));
    EXPECT_EQ(Selected(), 1);
    EXPECT_EQ(page->chosenPath, Holiday() + "/d.png");
    EXPECT_EQ(page->movie.TCurrentFrame("next"), 1);
    // No thumbnail was made again: the removed one's place went to none, the
    // renamed one kept its own.
    EXPECT_EQ(page->thumbnails.GetImageCount(), 4);
    // Back from another program: the folder is told again, the list stays.
    page->SendMessage(WM_WIZ_ACTIVATED, 1, 0);
    WritePicture(holiday / "e.png", 30);
    ASSERT_TRUE(ListIs({"c.png", "d.png", "e.png", "x.png"}));
    EXPECT_EQ(Selected(), 1);
    EXPECT_EQ(page->thumbnails.GetImageCount(), 4);  // the free place was used
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(g_libraryBoxes, 0);
}

TEST_F(FolderChanges, PicturesAddedAboveTheViewLeaveItWhereItWas) {
    for (int i = 0; i < 30; ++i)
        WritePicture(root / "home/Pictures/Holiday" /
                         std::string("p").append(std::to_string(10 + i)).append(".png"),
                     50);
    Show();
    ASSERT_TRUE(WaitFor([&] { return page->fileList.GetItemCount() == 33; }));
    page->fileList.SendMessage(WM_MOUSEWHEEL, static_cast<WPARAM>(-6 * WHEEL_DELTA) << 16);
    const std::string top = page->fileList.GetItemText(page->fileList.HitTest(POINT{10, 10}));
    ASSERT_NE(top, "A.png");
    WritePicture(root / "home/Pictures/Holiday/0.png", 20);
    WritePicture(root / "home/Pictures/Holiday/1.png", 20);
    ASSERT_TRUE(WaitFor([&] { return page->fileList.GetItemCount() == 35; }));
    EXPECT_EQ(page->fileList.GetItemText(page->fileList.HitTest(POINT{10, 10})), top);
}

TEST_F(FolderChanges, AChosenPictureThatVanishedIsRefusedOnceAndLeavesTheList) {
    Show();
    ASSERT_TRUE(ListIs({"A.png", "b.png", "x.png"}));
    Select(1);
    fs::remove(root / "home/Pictures/Holiday/b.png");
    page->Next();
    LetTimePass(10);
    EXPECT_EQ(boxes, std::vector<std::string>{"Invalid picture : " + Holiday() + "/b.png"});
    EXPECT_EQ(g_libraryBoxes, 0);  // no "File open error"
    ASSERT_TRUE(ListIs({"A.png", "x.png"}));
    EXPECT_EQ(Selected(), -1);
    EXPECT_EQ(page->movie.TCurrentFrame("next"), 0);
}

TEST_F(FolderChanges, ARemovedFolderLeavesTheTreeAndItsListEmpties) {
    fs::create_directories(root / "home/Pictures/Empty/Sub");
    WritePicture(root / "home/Pictures/Empty/Sub/s.png", 10);
    Show();
    page->folderTree.Navigate((root / "home/Pictures/Empty/Sub").string(), 0, TRUE);
    ASSERT_TRUE(ListIs({"s.png"}));
    fs::remove_all(root / "home/Pictures/Empty/Sub");
    ASSERT_TRUE(ListIs({}));
    ASSERT_TRUE(WaitFor([&] {
        return page->folderTree.SelectedFolder().FolderPath() ==
               (root / "home/Pictures/Empty").string();
    }));
    for (const auto& row : page->folderTree.VisibleRows())
        EXPECT_NE(row.name, "Sub");
    // A folder made afterwards in the open parent shows up.
    fs::create_directories(root / "home/Pictures/Empty/Later");
    EXPECT_TRUE(WaitFor([&] {
        for (const auto& row : page->folderTree.VisibleRows())
            if (row.name == "Later") return true;
        return false;
    }));
}

TEST_F(FolderChanges, PipesSocketsAndBrokenLinksNeitherBlockNorShow) {
    const fs::path odd = root / "home/Pictures/Odd";
    fs::create_directories(odd);
    WritePicture(odd / "good.png", 60);
    ASSERT_EQ(mkfifo((odd / "pipe.png").c_str(), 0644), 0);
    fs::create_symlink(odd / "pipe.png", odd / "to_pipe.jpg");
    fs::create_symlink(odd / "nowhere.png", odd / "dangling.png");
    const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = (odd / "sock.bmp").string();
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(bind(sock, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    Show();
    page->folderTree.Navigate(odd.string(), 0, TRUE);
    ASSERT_TRUE(ListIs({"good.png"}));
    // Choosing a pipe by its path (as from outside) refuses it without opening it.
    page->OpenGivenPicture((odd / "to_pipe.jpg").string());
    LetTimePass(10);
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back(), "Invalid picture : " + (odd / "to_pipe.jpg").string());
    EXPECT_EQ(g_libraryBoxes, 0);
    close(sock);

    // A file gone between listing and loading gets no item; the rest still do.
    CListCtrl list;
    list.CreateEx(&main, RECT{0, 0, 250, 190}, "", 77, WS_CHILD);
    CImageList images;
    images.Create(64, 64, ILC_COLOR32 | ILC_MASK, 0, 10);
    ThumbnailList shown(list, images);
    shown.Reset(odd.string() + "/");
    shown.Update({"gone.png", "good.png", "pipe.png"});
    ThumbnailPool pool(2);
    EXPECT_TRUE(shown.LoadMarked(pool, [] { return false; }));
    ASSERT_EQ(list.GetItemCount(), 1);
    EXPECT_EQ(list.GetItemText(0), "good.png");
    list.DestroyWindow();
}

TEST_F(FolderChanges, AnUnreadablePictureShowsThePlaceholder) {
    if (geteuid() == 0) GTEST_SKIP() << "root reads every file: run as another user to check";
    WritePicture(root / "home/Pictures/Holiday/locked.png", 10);
    fs::permissions(root / "home/Pictures/Holiday/locked.png", fs::perms::none);
    Show();
    ASSERT_TRUE(ListIs({"A.png", "b.png", "locked.png", "x.png"}));
    EXPECT_EQ(page->thumbnails.GetImageCount(), 4);
    EXPECT_TRUE(boxes.empty());
}
