// The picture browser on the headless back end: the time from a folder change to
// the first thumbnail in the list, and to the whole list, for a folder of twenty
// 4000 x 3000 JPEGs (quality 90) made by our own encoder; the whole list with the
// thumbnail pool of one thread per core and with a pool of one.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "app/resources/wizard_resources.h"
#include "imaging/px_image.h"
#include "pages/dlg_wiz2.h"
#include "platform/backends/headless_backend.h"
#include "platform/window/message_loop.h"
#include "platform/window/message_queue.h"
#include "stamp/thumbnail_pool.h"

namespace fs = std::filesystem;

namespace {

fs::path MakePhotos() {
    const fs::path dir = fs::temp_directory_path() / ("ostrel_photos_" + std::to_string(getpid()));
    fs::create_directories(dir / "photos");
    fs::create_directories(dir / "empty");
    PxImage photo;
    photo.Create(4000, 3000, 24, PX_FORMAT_JPG);
    for (LONG y = 0; y < 3000; ++y)
        for (LONG x = 0; x < 4000; ++x)
            photo.SetPixelColor(x, y,
                                RGBQUAD{static_cast<BYTE>(x * y), static_cast<BYTE>(y / 12),
                                        static_cast<BYTE>(x / 16), 0});
    photo.SetJpegQuality(90);
    for (int i = 0; i < 20; ++i) {
        const std::string name =
            (dir / "photos" / ("photo" + std::to_string(10 + i) + ".jpg")).string();
        photo.Save(name.c_str(), PX_FORMAT_JPG);
    }
    return dir;
}

// Made on first use, for both benchmarks.
const fs::path& Photos() {
    static const fs::path dir = MakePhotos();
    return dir;
}

// Carries out what the worker sends until the list holds `count` items.
void WaitForItems(CDlgWiz2& page, int count) {
    while (page.fileList.GetItemCount() < count) {
        if (!MessageQueue::Current()->HandleSentMessages())
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        PumpWaitingMessages();
    }
}

// The page shown on an empty folder, its thumbnails made by `threads` threads.
class Browser {
public:
    explicit Browser(int threads) {
        RegisterWizardResources();
        main_.CreateEx(nullptr, RECT{0, 0, 580, 411}, "Ostrel", 0, WS_POPUP | WS_VISIBLE);
        page_ = std::make_unique<CDlgWiz2>(&main_);
        page_->SetThumbnailThreads(threads);
        page_->Create(page_->TemplateId(), &main_);
        page_->firstShow = false;
        page_->folderTree.Initialize();
        page_->ShowWindow(SW_SHOW);
    }
    ~Browser() {
        page_->DestroyWindow();
        page_.reset();
        main_.DestroyWindow();
    }
    Browser(const Browser&) = delete;
    Browser& operator=(const Browser&) = delete;

    // Untimed: an empty folder, once the last pass has ended.
    void Empty(const fs::path& dir) {
        page_->folderTree.Navigate((dir / "empty").string(), 0, TRUE);
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        PumpWaitingMessages();
        while (MessageQueue::Current()->HandleSentMessages()) {
        }
    }
    void ShowPhotos(const fs::path& dir, int items) {
        page_->folderTree.Navigate((dir / "photos").string(), 0, TRUE);
        WaitForItems(*page_, items);
    }

private:
    HeadlessBackend backend_;
    CWnd main_;
    std::unique_ptr<CDlgWiz2> page_;
};

void BM_FirstThumbnailAfterAFolderChange(benchmark::State& state) {
    const fs::path& dir = Photos();
    Browser browser(ThumbnailPool::DefaultSize());
    for (auto _ : state) {
        state.PauseTiming();
        browser.Empty(dir);
        state.ResumeTiming();
        browser.ShowPhotos(dir, 1);
    }
}
BENCHMARK(BM_FirstThumbnailAfterAFolderChange)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(10);

// Argument: the pool's threads.
void BM_WholeFolderAfterAFolderChange(benchmark::State& state) {
    const fs::path& dir = Photos();
    Browser browser(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        browser.Empty(dir);
        state.ResumeTiming();
        browser.ShowPhotos(dir, 20);
    }
    state.counters["threads"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_WholeFolderAfterAFolderChange)
    ->Arg(1)
    ->Arg(ThumbnailPool::DefaultSize())
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

}  // namespace
