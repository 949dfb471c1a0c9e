// The picture browser on the headless back end: the time from a folder change to
// the first thumbnail in the list, and to the whole list, for a folder of twenty
// 4000 x 3000 JPEGs (quality 90) made by our own encoder, in three cases: decoded
// (reduced) with no help, the same photos carrying a 160 x 120 EXIF thumbnail as
// cameras write them, and the plain photos again with the desktop's thumbnail
// cache warm; the whole list with the thumbnail pool of one thread per core and
// with a pool of one.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/resources/wizard_resources.h"
#include "imaging/px_image.h"
#include "imaging/support/metadata_splice.h"
#include "pages/dlg_wiz2.h"
#include "platform/backends/headless_backend.h"
#include "platform/window/message_loop.h"
#include "platform/window/message_queue.h"
#include "stamp/cached_thumbnail.h"
#include "stamp/thumbnail_pool.h"

namespace fs = std::filesystem;

namespace {

enum Case { kDecoded, kExifThumbnail, kWarmCache };

// A camera's 160 x 120 thumbnail of the photo, in an EXIF block after SOI.
Bytes WithExifThumbnail(PxImage photo, const Bytes& jpeg) {
    photo.Resample(160, 120, 1);
    BYTE* small = nullptr;
    LONG size = 0;
    photo.Encode(small, size, PX_FORMAT_JPG);
    const Bytes thumbnail(small, small + size);
    std::free(small);
    return InsertJpegSegments(jpeg, 0xE1, {WithExifHeader(ExifWithThumbnail(thumbnail, 1))});
}

fs::path MakePhotos() {
    const fs::path dir = fs::temp_directory_path() / ("ostrel_photos_" + std::to_string(getpid()));
    fs::create_directories(dir / "photos");
    fs::create_directories(dir / "exif");
    fs::create_directories(dir / "empty");
    PxImage photo;
    photo.Create(4000, 3000, 24, PX_FORMAT_JPG);
    for (LONG y = 0; y < 3000; ++y)
        for (LONG x = 0; x < 4000; ++x)
            photo.SetPixelColor(x, y,
                                RGBQUAD{static_cast<BYTE>(x * y), static_cast<BYTE>(y / 12),
                                        static_cast<BYTE>(x / 16), 0});
    photo.SetJpegQuality(90);
    BYTE* jpeg = nullptr;
    LONG size = 0;
    photo.Encode(jpeg, size, PX_FORMAT_JPG);
    const Bytes plain(jpeg, jpeg + size);
    std::free(jpeg);
    const Bytes exif = WithExifThumbnail(photo, plain);
    for (int i = 0; i < 20; ++i) {
        const std::string name = "photo" + std::to_string(10 + i) + ".jpg";
        for (const auto& [folder, bytes] : {std::pair{"photos", &plain}, std::pair{"exif", &exif}})
            std::ofstream(dir / folder / name, std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes->data()),
                       static_cast<std::streamsize>(bytes->size()));
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
    void ShowPhotos(const fs::path& dir, int items, Case which) {
        page_->folderTree.Navigate((dir / (which == kExifThumbnail ? "exif" : "photos")).string(),
                                   0, TRUE);
        WaitForItems(*page_, items);
    }

private:
    HeadlessBackend backend_;
    CWnd main_;
    std::unique_ptr<CDlgWiz2> page_;
};

// The desktop's cache in a folder of the benchmark's own, on only for the warm
// case, filled by one untimed pass.
void PrepareCase(Browser& browser, const fs::path& dir, Case which) {
    setenv("XDG_CACHE_HOME", (dir / "cache").c_str(), 1);
    SetThumbnailCacheInUse(which == kWarmCache);
    if (which == kWarmCache) {
        browser.Empty(dir);
        browser.ShowPhotos(dir, 20, which);
    }
}

// Argument: the case.
void BM_FirstThumbnailAfterAFolderChange(benchmark::State& state) {
    const fs::path& dir = Photos();
    const auto which = static_cast<Case>(state.range(0));
    Browser browser(ThumbnailPool::DefaultSize());
    PrepareCase(browser, dir, which);
    for (auto _ : state) {
        state.PauseTiming();
        browser.Empty(dir);
        state.ResumeTiming();
        browser.ShowPhotos(dir, 1, which);
    }
    SetThumbnailCacheInUse(false);
}
BENCHMARK(BM_FirstThumbnailAfterAFolderChange)
    ->ArgName("case")
    ->DenseRange(kDecoded, kWarmCache)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(10);

// Arguments: the case and the pool's threads.
void BM_WholeFolderAfterAFolderChange(benchmark::State& state) {
    const fs::path& dir = Photos();
    const auto which = static_cast<Case>(state.range(0));
    Browser browser(static_cast<int>(state.range(1)));
    PrepareCase(browser, dir, which);
    for (auto _ : state) {
        state.PauseTiming();
        browser.Empty(dir);
        state.ResumeTiming();
        browser.ShowPhotos(dir, 20, which);
    }
    SetThumbnailCacheInUse(false);
}
BENCHMARK(BM_WholeFolderAfterAFolderChange)
    ->ArgNames({"case", "threads"})
    ->ArgsProduct({{kDecoded, kExifThumbnail, kWarmCache}, {1, ThumbnailPool::DefaultSize()}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

}  // namespace
