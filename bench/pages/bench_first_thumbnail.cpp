// The picture browser on the headless back end: the time from a folder change to
// the first thumbnail in the list, for a folder of twenty 4000 x 3000 JPEGs
// (quality 90) made by our own encoder.
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

// Carries out what the worker sends until the list holds `count` items.
void WaitForItems(CDlgWiz2& page, int count) {
    while (page.fileList.GetItemCount() < count) {
        if (!MessageQueue::Current()->HandleSentMessages())
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        PumpWaitingMessages();
    }
}

void BM_FirstThumbnailAfterAFolderChange(benchmark::State& state) {
    static const fs::path dir = MakePhotos();
    RegisterWizardResources();
    HeadlessBackend backend;
    CWnd main;
    main.CreateEx(nullptr, RECT{0, 0, 580, 411}, "Ostrel", 0, WS_POPUP | WS_VISIBLE);
    auto page = std::make_unique<CDlgWiz2>(&main);
    page->Create(page->TemplateId(), &main);
    page->firstShow = false;
    page->folderTree.Initialize();
    page->ShowWindow(SW_SHOW);
    for (auto _ : state) {
        state.PauseTiming();
        page->folderTree.Navigate((dir / "empty").string(), 0, TRUE);
        std::this_thread::sleep_for(std::chrono::milliseconds(400));  // the last pass ends
        PumpWaitingMessages();
        while (MessageQueue::Current()->HandleSentMessages()) {
        }
        state.ResumeTiming();
        page->folderTree.Navigate((dir / "photos").string(), 0, TRUE);
        WaitForItems(*page, 1);
    }
    page->DestroyWindow();
    page.reset();
    main.DestroyWindow();
}
BENCHMARK(BM_FirstThumbnailAfterAFolderChange)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(10);

}  // namespace
