// The picture browser page on folders of the test's own: what the worker lists
// and in what order, folder changes while it works, choosing a picture and moving
// on, coming back, the root view, "MyContent", refresh on activation, and the
// page's look.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/globals.h"
#include "app/resources/wizard_resources.h"
#include "app/settings/settings.h"
#include "app/texts/wizard_texts.h"
#include "imaging/px_image.h"
#include "imaging/px_message.h"
#include "pages/dlg_wiz2.h"
#include "pages/list_picture_files.h"
#include "platform/backends/headless_backend.h"
#include "platform/window/cursor.h"
#include "platform/window/input.h"
#include "platform/window/message_box.h"
#include "stamp/stamp_globals.h"
#include "virtual_time.h"

namespace fs = std::filesystem;

namespace {

std::atomic<int> g_libraryBoxes{0};

int CountLibraryBox(const char*, const char*, UINT) {
    ++g_libraryBoxes;
    return IDOK;
}

// Where and under which cursor the decoder's own box was shown.
std::thread::id g_libraryBoxThread;
int g_libraryBoxCursor = 0;
int NoteLibraryBox(const char*, const char*, UINT) {
    g_libraryBoxThread = std::this_thread::get_id();
    g_libraryBoxCursor = GetCursor()->id;
    return IDOK;
}

class MainProbe : public CWnd {
public:
    int nexts = 0;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_WIZ_NEXT) ++nexts;
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

void WritePicture(const fs::path& path, DWORD type, BYTE red) {
    PxImage image;
    image.Create(40, 20, 24, type);
    image.Clear(red);
    for (LONG x = 0; x < 40; ++x)
        image.SetPixelColor(x, 5, RGBQUAD{0, 0, red, 0});
    ASSERT_TRUE(image.Save(path.c_str(), type)) << path;
}

class PictureBrowser : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterWizardResources(); }
    void SetUp() override {
        root = fs::temp_directory_path() / ("ostrel_browser_" + std::to_string(getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "home/Pictures/Holiday/old");
        fs::create_directories(root / "content");
        registry = root / "r.reg";
        std::ofstream(registry)
            << "Windows Registry Editor Version 5.00\n\n"
               "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane\\Tessel 310-510\\Lumenor]\n"
               "\"home\"=\""
            << (root / "content").string()
            << "\"\n\n"
               "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane\\Tessel 310-510\\Customization "
               "Wizards\\user]\n"
               "\"BrowseStamp\"=\""
            << Holiday() << "\"\n";
        setenv("OSTREL_REGISTRY", registry.c_str(), 1);
        g_texts = BuildTexts("EN");
        g_mainWnd = nullptr;
        SetMessageBoxHandler([this](HWND, const std::string& text, const std::string&, UINT) {
            boxes.push_back(text);
            return IDOK;
        });
        WritePicture(root / "home/Pictures/Holiday/b.jpg", PX_FORMAT_JPG, 200);
        WritePicture(root / "home/Pictures/Holiday/A.gif", PX_FORMAT_GIF, 90);
        std::ofstream(root / "home/Pictures/Holiday/notes.txt") << "no picture";
        std::ofstream(root / "home/Pictures/Holiday/.Thumbs.png") << "hidden";
        std::ofstream(root / "home/Pictures/Holiday/x.png") << "not a png";
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
        g_mainWnd = nullptr;
        SetMessageBoxHandler(nullptr);
        unsetenv("OSTREL_REGISTRY");
        fs::remove_all(root);
    }

    std::string Holiday() const { return (root / "home/Pictures/Holiday").string(); }
    void Show() {
        page->ShowWindow(SW_SHOW);
        LetTimePass(50);
    }
    // Carries out what the worker sends until `done`, in real time (10 s at most).
    bool WaitFor(const std::function<bool()>& done) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!done()) {
            if (std::chrono::steady_clock::now() > end) return false;
            // One message of the worker at a time, so every step of the list is seen.
            if (!MessageQueue::Current()->HandleSentMessages())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }
    // The list once it holds `expected` items and has not changed for 300 ms.
    std::vector<std::string> SettledItems(int expected) {
        auto stableSince = std::chrono::steady_clock::now();
        int last = -1;
        WaitFor([&] {
            const int count = page->fileList.GetItemCount();
            const auto now = std::chrono::steady_clock::now();
            if (count != last) stableSince = now;
            last = count;
            return count == expected && now - stableSince > std::chrono::milliseconds(300);
        });
        std::vector<std::string> items;
        for (int i = 0; i < page->fileList.GetItemCount(); ++i)
            items.push_back(page->fileList.GetItemText(i));
        return items;
    }
    void Select(int item) { page->fileList.SetItemState(item, LVIS_SELECTED, LVIS_SELECTED); }
    std::string BrowseStamp() {
        return ReadRegString("BrowseStamp", nullptr, "\\Customization Wizards\\user");
    }

    fs::path root, registry;
    std::vector<std::string> boxes;
    HeadlessBackend backend;
    MainProbe main;
    std::unique_ptr<CDlgWiz2> page;
};

}  // namespace

TEST(ListPictureFiles, PlainFilesInByteOrderWithoutHiddenOnesOrFolders) {
    const fs::path dir = fs::temp_directory_path() / ("ostrel_list_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "old");
    for (const char* name : {"b.jpg", "A.gif", "notes.txt", ".Thumbs.db", "B.jpg", "a.jpg"})
        std::ofstream(dir / name) << "x";
    fs::create_symlink(dir / "old", dir / "link.png");
    std::vector<std::string> names{"stale"};
    EXPECT_TRUE(ListPictureFiles(dir.string() + "/", "*.*", names));
    EXPECT_EQ(names, (std::vector<std::string>{"A.gif", "B.jpg", "a.jpg", "b.jpg", "notes.txt"}));
    EXPECT_FALSE(ListPictureFiles("::Computer/", "*.*", names));
    EXPECT_TRUE(names.empty());
    EXPECT_FALSE(ListPictureFiles((dir / "missing/").string(), "*.*", names));
    EXPECT_FALSE(ListPictureFiles((dir / "old/").string(), "*.*", names));
    fs::remove_all(dir);
}

TEST_F(PictureBrowser, FirstShowListsTheRememberedFolderWithThePlaceholderForABadPicture) {
    // The worker never opens a box, not even the decoders' own.
    g_libraryBoxes = 0;
    PxSetMessageBoxHook(CountLibraryBox);
    Show();
    EXPECT_EQ(page->folderTree.SelectedFolder().FolderPath(), Holiday());
    EXPECT_EQ(SettledItems(3), (std::vector<std::string>{"A.gif", "b.jpg", "x.png"}));
    EXPECT_EQ(page->thumbnails.GetImageCount(), 3);
    EXPECT_EQ(page->movie.TCurrentFrame("next"), 0);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(g_libraryBoxes, 0);
    PxSetMessageBoxHook(nullptr);
}

// Pictures of today's phones, of the web and of scanners are listed with the
// others, each with its own thumbnail rather than the placeholder.
TEST_F(PictureBrowser, WebpHeicAndTiffPicturesAreListedWithThumbnails) {
    const fs::path png = root / "source.png";
    WritePicture(png, PX_FORMAT_PNG, 120);
    // Appended, not "literal" + string, on which GCC 12 warns wrongly (-Wrestrict).
    const std::string from = std::string("'").append(png.string()).append("' ");
    const std::string to = std::string("'").append(Holiday()).append("/");
    for (const std::string& command : {"cwebp -quiet " + from + "-o " + to + "web.webp'",
                                       "heif-enc -q 90 " + from + "-o " + to + "phone.heic'",
                                       "convert " + from + to + "scan.tiff'"})
        if (std::system((command + " > /dev/null 2>&1").c_str()) != 0)
            GTEST_SKIP() << "cannot make the pictures: " << command;
    Show();
    EXPECT_EQ(SettledItems(6), (std::vector<std::string>{"A.gif", "b.jpg", "phone.heic",
                                                         "scan.tiff", "web.webp", "x.png"}));
    EXPECT_EQ(page->thumbnails.GetImageCount(), 6);
    for (int item : {2, 3, 4}) {
        Select(item);
        LetTimePass(20);
        EXPECT_EQ(page->chosenPath, Holiday() + "/" + page->fileList.GetItemText(item));
    }
    EXPECT_TRUE(boxes.empty());
}

TEST_F(PictureBrowser, ThreeQuickFolderChangesEndWithTheThirdFoldersListOnly) {
    for (const char* folder : {"one", "two", "three"}) {
        fs::create_directories(root / folder);
        for (int i = 0; i < (std::string(folder) == "three" ? 2 : 20); ++i)
            WritePicture(root / folder / (std::string(folder) + std::to_string(i) + ".png"),
                         PX_FORMAT_PNG, static_cast<BYTE>(i * 10));
    }
    Show();
    for (const char* folder : {"one", "two", "three"})
        page->folderTree.Navigate((root / folder).string(), 0, TRUE);
    EXPECT_EQ(SettledItems(2), (std::vector<std::string>{"three0.png", "three1.png"}));
    EXPECT_EQ(page->thumbnails.GetImageCount(), 2);
}

TEST_F(PictureBrowser, AFolderOf500PicturesShowsItsFirstThumbnailsAndAChangeRestarts) {
    fs::create_directories(root / "many");
    for (int i = 0; i < 500; ++i)
        WritePicture(
            root / "many" / (std::string("p").append(std::to_string(1000 + i)).append(".png")),
            PX_FORMAT_PNG, static_cast<BYTE>(i));
    Show();
    SettledItems(3);
    page->folderTree.Navigate((root / "many").string(), 0, TRUE);
    ASSERT_TRUE(WaitFor([&] {
        return page->fileList.GetItemCount() >= 3 && page->fileList.GetItemText(0) == "p1000.png";
    }));
    EXPECT_LT(page->fileList.GetItemCount(), 500);  // the rest still loading
    page->folderTree.Navigate(Holiday(), 0, TRUE);
    EXPECT_EQ(SettledItems(3), (std::vector<std::string>{"A.gif", "b.jpg", "x.png"}));
}

TEST_F(PictureBrowser, ChoosingAPictureEnablesNextAndEnterOrADoubleClickMoveOn) {
    Show();
    SettledItems(3);
    page->SendMessage(WM_COMMAND, IDOK);  // Enter with Next disabled
    LetTimePass(10);
    EXPECT_EQ(main.nexts, 0);
    Select(0);
    EXPECT_EQ(page->movie.TCurrentFrame("next"), 1);
    EXPECT_EQ(page->chosenPath, Holiday() + "/A.gif");
    std::ofstream(registry, std::ios::app) << "";
    page->SendMessage(WM_COMMAND, IDOK);  // Enter
    LetTimePass(10);
    EXPECT_EQ(main.nexts, 1);
    EXPECT_EQ(g_chosenPicturePath, Holiday() + "/A.gif");
    ASSERT_TRUE(g_editorPicture.image);
    EXPECT_EQ(g_editorPicture.image->GetWidth(), 40u);
    EXPECT_EQ(BrowseStamp(), Holiday());

    // A double click on the second item, at its place in the list.
    PostMouseEvent(&main, WM_LBUTTONDBLCLK, POINT{302 + 4 + 78 + 39, 140 + 40});
    LetTimePass(10);
    EXPECT_EQ(main.nexts, 2);
    EXPECT_EQ(g_chosenPicturePath, Holiday() + "/b.jpg");
}

TEST_F(PictureBrowser, APictureThatDoesNotOpenIsRefusedAndBrowseStampStays) {
    fs::create_directories(root / "other");
    std::ofstream(registry, std::ios::app);
    WriteRegString("BrowseStamp", (root / "other").string(), "\\Customization Wizards\\user");
    page->folderTree.Initialize();
    page->firstShow = false;
    page->folderTree.Navigate(Holiday(), 0, TRUE);
    Show();
    SettledItems(3);
    Select(2);  // x.png
    boxes.clear();
    // The file is read on a worker under the busy cursor; the decoder's box still
    // shows on the page's thread.
    PxSetMessageBoxHook(NoteLibraryBox);
    g_libraryBoxThread = {};
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    page->Next();
    LetTimePass(10);
    PxSetMessageBoxHook(nullptr);
    EXPECT_EQ(g_libraryBoxThread, std::this_thread::get_id());
    EXPECT_EQ(g_libraryBoxCursor, IDC_WAIT);
    EXPECT_EQ(GetCursor()->id, IDC_ARROW);
    EXPECT_EQ(main.nexts, 0);
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back(), "Invalid picture : " + Holiday() + "/x.png");
    EXPECT_EQ(BrowseStamp(), (root / "other").string());
    EXPECT_TRUE(page->IsWindowVisible());
}

TEST_F(PictureBrowser, ComingBackKeepsTheListWithNothingSelected) {
    Show();
    SettledItems(3);
    Select(1);
    page->ShowWindow(SW_HIDE);
    LetTimePass(10);
    Show();
    EXPECT_EQ(SettledItems(3), (std::vector<std::string>{"A.gif", "b.jpg", "x.png"}));
    EXPECT_EQ(page->fileList.GetNextItem(-1, LVNI_SELECTED), -1);
    EXPECT_EQ(page->movie.TCurrentFrame("next"), 0);
}

TEST_F(PictureBrowser, TheRootViewListsNothingAndMyContentGoesToTheContentFolder) {
    WritePicture(root / "content/c.bmp", PX_FORMAT_BMP, 10);
    Show();
    SettledItems(3);
    page->folderTree.Navigate("::", 0, TRUE);
    EXPECT_TRUE(SettledItems(0).empty());
    page->OnFSCommand("MyContent", "");
    EXPECT_EQ(page->folderTree.SelectedFolder().FolderPath(), (root / "content").string());
    EXPECT_EQ(SettledItems(1), (std::vector<std::string>{"c.bmp"}));
    page->OnFSCommand("ParentDir", "");
    EXPECT_EQ(page->folderTree.SelectedFolder().FolderPath(), root.string());
}

TEST_F(PictureBrowser, ComingBackToTheWizardListsPicturesSavedMeanwhile) {
    Show();
    SettledItems(3);
    WritePicture(root / "home/Pictures/Holiday/c.png", PX_FORMAT_PNG, 30);
    page->SendMessage(WM_WIZ_ACTIVATED, 1, 0);
    EXPECT_EQ(SettledItems(4).back(), "x.png");
    EXPECT_EQ(page->fileList.GetItemText(2), "c.png");
}

// The page with its tree and thumbnails, compared with the recorded picture. After
// a deliberate change of the look, regenerate with OSTREL_REGENERATE_GOLDEN=1.
TEST_F(PictureBrowser, ThePageLooksAsRecorded) {
    Show();
    SettledItems(3);
    Select(0);
    LetTimePass(300);
    const fs::path golden = fs::path(OSTREL_SOURCE_DIR) / "tests/app/golden/picture_browser.png";
    const fs::path shot = root / "shot.png";
    ASSERT_TRUE(backend.Screenshot(&main, shot.string()));
    if (std::getenv("OSTREL_REGENERATE_GOLDEN")) {
        fs::copy_file(shot, golden, fs::copy_options::overwrite_existing);
        GTEST_SKIP() << "wrote " << golden;
    }
    PxImage expected, actual;
    ASSERT_TRUE(expected.Load(golden.c_str(), PX_FORMAT_PNG, true));
    ASSERT_TRUE(actual.Load(shot.c_str(), PX_FORMAT_PNG, true));
    ASSERT_EQ(actual.GetWidth(), expected.GetWidth());
    long differing = 0;
    for (LONG y = 0; y < static_cast<LONG>(actual.GetHeight()); ++y)
        for (LONG x = 0; x < static_cast<LONG>(actual.GetWidth()); ++x) {
            const RGBQUAD p = actual.GetPixelColor(x, y), q = expected.GetPixelColor(x, y);
            differing += p.rgbRed != q.rgbRed || p.rgbGreen != q.rgbGreen || p.rgbBlue != q.rgbBlue;
        }
    EXPECT_EQ(differing, 0);
}
