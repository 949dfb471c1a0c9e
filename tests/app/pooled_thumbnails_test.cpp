// The picture browser with its thumbnails made by a pool of threads: the same
// list, in the same order and with the same pictures, whatever the pool's size; a
// folder change while the pool is busy shows the new folder only; the page goes
// away while the pool is busy without hanging.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <thread>

#include "app/globals.h"
#include "app/resources/wizard_resources.h"
#include "app/texts/wizard_texts.h"
#include "imaging/px_image.h"
#include "pages/dlg_wiz2.h"
#include "platform/backends/headless_backend.h"
#include "platform/gdi/gdi.h"
#include "platform/window/message_box.h"
#include "platform/window/message_queue.h"
#include "virtual_time.h"

namespace fs = std::filesystem;

namespace {

RGBQUAD Rgb(int red, int green, int blue) {
    return RGBQUAD{static_cast<BYTE>(blue), static_cast<BYTE>(green), static_cast<BYTE>(red), 0};
}

// A thumbnail's pixel in the picture's colour, clear of the stripe, whatever the
// picture's proportions.
constexpr std::size_t kMiddle = 30 * 64 + 32;

// A picture of one colour with a stripe along its bottom.
void WritePicture(const fs::path& path, DWORD type, LONG width, LONG height, RGBQUAD colour) {
    PxImage image;
    image.Create(static_cast<DWORD>(width), static_cast<DWORD>(height), 24, type);
    for (LONG y = 0; y < height; ++y)
        for (LONG x = 0; x < width; ++x)
            image.SetPixelColor(x, y, y < height / 4 ? Rgb(40, 220, 40) : colour);
    ASSERT_TRUE(image.Save(path.c_str(), type)) << path;
}

RGBQUAD Colour(int i) {
    return Rgb(30 + 13 * i, 200 - 11 * i, 120);
}

// JPEG's losses aside.
bool Near(COLORREF shown, RGBQUAD wanted) {
    const auto close = [](int a, int b) { return a - b < 12 && b - a < 12; };
    return close(GetRValue(shown), wanted.rgbRed) && close(GetGValue(shown), wanted.rgbGreen) &&
           close(GetBValue(shown), wanted.rgbBlue);
}

// Image `index` of the list as drawn over white.
std::vector<COLORREF> Pixels(const CImageList& images, int index) {
    HDC hdc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateBitmap(64, 64, 1, 24, nullptr);
    HGDIOBJ old = SelectObject(hdc, bitmap);
    FillSolidRect(hdc, RECT{0, 0, 64, 64}, RGB(255, 255, 255));
    images.Draw(hdc, index, 0, 0);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            pixels.push_back(GetPixel(hdc, x, y));
    SelectObject(hdc, old);
    DeleteObject(bitmap);
    DeleteDC(hdc);
    return pixels;
}

struct Shown {
    std::vector<std::string> items;
    std::vector<std::vector<COLORREF>> images;
    bool operator==(const Shown&) const = default;
};

class PooledThumbnails : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterWizardResources(); }
    void SetUp() override {
        root = fs::temp_directory_path() / ("ostrel_pooled_" + std::to_string(getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "home");
        g_texts = BuildTexts("EN");
        g_mainWnd = nullptr;
        SetMessageBoxHandler([this](HWND, const std::string& text, const std::string&, UINT) {
            boxes.push_back(text);
            return IDOK;
        });
        main.CreateEx(nullptr, RECT{0, 0, 580, 411}, "Ostrel", 0, WS_POPUP | WS_VISIBLE);
    }
    void TearDown() override {
        Close();
        main.DestroyWindow();
        ClearQueue();
        g_mainWnd = nullptr;
        SetMessageBoxHandler(nullptr);
        fs::remove_all(root);
    }

    void Open(int threads) {
        page = std::make_unique<CDlgWiz2>(&main);
        page->SetThumbnailThreads(threads);
        page->Create(page->TemplateId(), &main);
        PlaceEnvironment env;
        env.home = (root / "home").string();
        page->folderTree.SetPlaceEnvironment(env);
        page->firstShow = false;
        page->folderTree.Initialize();
        page->ShowWindow(SW_SHOW);
        LetTimePass(50);
    }
    void Close() {
        if (!page) return;
        page->DestroyWindow();
        page.reset();
    }
    void Browse(const fs::path& folder) { page->folderTree.Navigate(folder.string(), 0, TRUE); }
    // Carries out what the worker sends, one message at a time so that every step
    // of the list is seen, until `done` (10 s at most, in real time).
    bool WaitFor(const std::function<bool()>& done) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!done()) {
            if (std::chrono::steady_clock::now() > end) return false;
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
    // The list once it holds `count` items and has not changed for 300 ms.
    Shown Settled(int count) {
        auto stableSince = std::chrono::steady_clock::now();
        int last = -1;
        EXPECT_TRUE(WaitFor([&] {
            const int now = page->fileList.GetItemCount();
            if (now != last) stableSince = std::chrono::steady_clock::now();
            last = now;
            return now == count &&
                   std::chrono::steady_clock::now() - stableSince > std::chrono::milliseconds(300);
        }));
        Shown shown{Items(), {}};
        for (int i = 0; i < page->thumbnails.GetImageCount(); ++i)
            shown.images.push_back(Pixels(page->thumbnails, i));
        return shown;
    }
    // `count` JPEGs named PREFIX00.jpg on, big enough to keep the pool busy.
    void WritePhotos(const fs::path& folder, const std::string& prefix, int count, RGBQUAD colour) {
        fs::create_directories(folder);
        for (int i = 0; i < count; ++i) {
            const std::string number = std::string(i < 10 ? "0" : "").append(std::to_string(i));
            WritePicture(folder / (prefix + number + ".jpg"), PX_FORMAT_JPG, 600, 400, colour);
        }
    }

    fs::path root;
    std::vector<std::string> boxes;
    HeadlessBackend backend;
    CWnd main;
    std::unique_ptr<CDlgWiz2> page;
};

}  // namespace

TEST_F(PooledThumbnails, APoolOfOneTwoOrEightShowsTheSameItemsAndPicturesInNameOrder) {
    const fs::path mixed = root / "home/Mixed";
    fs::create_directories(mixed);
    std::vector<std::string> expected;
    for (int i = 0; i < 14; ++i) {
        const DWORD type = i % 3 == 0 ? PX_FORMAT_PNG : i % 3 == 1 ? PX_FORMAT_JPG : PX_FORMAT_GIF;
        const std::string name =
            std::string("p").append(std::to_string(10 + i)) + (type == PX_FORMAT_PNG   ? ".png"
                                                               : type == PX_FORMAT_JPG ? ".jpg"
                                                                                       : ".gif");
        WritePicture(mixed / name, type, 40 + 10 * i, 30 + 20 * (i % 4), Colour(i));
        expected.push_back(name);
    }
    std::ofstream(mixed / "p15.png") << "not a png";  // the placeholder, in its place
    std::ofstream(mixed / "p99.txt") << "no picture";
    expected.insert(expected.begin() + 6, "p15.png");

    Open(1);
    Browse(mixed);
    const Shown one = Settled(15);
    EXPECT_EQ(one.items, expected);
    ASSERT_EQ(one.images.size(), 15u);
    // Each image is its own file's: the picture's colour at its centre.
    for (int i : {0, 1, 2, 4, 13}) {
        const std::size_t item = static_cast<std::size_t>(i <= 5 ? i : i + 1);
        EXPECT_TRUE(Near(one.images[item][kMiddle], Colour(i))) << i;
    }
    Close();
    for (int threads : {2, 8}) {
        Open(threads);
        Browse(mixed);
        EXPECT_TRUE(Settled(15) == one) << threads << " threads";
        Close();
    }
    EXPECT_TRUE(boxes.empty());
}

TEST_F(PooledThumbnails, AFolderChangeWhileThePoolIsBusyShowsTheNewFolderOnly) {
    WritePhotos(root / "home/Old", "old", 40, Rgb(20, 20, 200));
    WritePhotos(root / "home/New", "new", 3, Rgb(200, 20, 20));
    Open(8);
    for (int round = 0; round < 3; ++round) {
        Browse(root / "home/Old");
        ASSERT_TRUE(WaitFor([&] {
            const std::vector<std::string> items = Items();
            return items.size() >= static_cast<std::size_t>(1 + round) && items[0] == "old00.jpg";
        }));
        Browse(root / "home/New");
        // Once the list has been emptied for the new folder, no old item comes back.
        bool emptied = false;
        bool oldAfter = false;
        ASSERT_TRUE(WaitFor([&] {
            const std::vector<std::string> items = Items();
            if (items.empty()) emptied = true;
            for (const std::string& item : items)
                if (emptied && item.rfind("old", 0) == 0) oldAfter = true;
            return emptied && items.size() == 3;
        }));
        EXPECT_FALSE(oldAfter) << round;
    }
    const Shown shown = Settled(3);
    EXPECT_EQ(shown.items, (std::vector<std::string>{"new00.jpg", "new01.jpg", "new02.jpg"}));
    ASSERT_EQ(shown.images.size(), 3u);
    for (const auto& image : shown.images)
        EXPECT_TRUE(Near(image[kMiddle], Rgb(200, 20, 20)));
}

TEST_F(PooledThumbnails, ThePageGoesAwayWhileThePoolIsBusyWithoutHanging) {
    WritePhotos(root / "home/Many", "many", 40, Rgb(90, 90, 90));
    for (int threads : {1, 8}) {
        Open(threads);
        Browse(root / "home/Many");
        ASSERT_TRUE(WaitFor([&] { return page->fileList.GetItemCount() >= 2; }));
        EXPECT_LT(page->fileList.GetItemCount(), 40);
        Close();  // joins the worker and its pool
        // And straight after a folder change, before anything was shown.
        Open(threads);
        Browse(root / "home/Many");
        Close();
    }
}
