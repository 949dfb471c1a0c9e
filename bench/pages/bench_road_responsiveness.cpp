// How long the user-interface thread stays away from its queue while the whole
// road runs headless: step 1 to step 6 with a picture chosen, the frame dragged and
// resized, the size switched, the picture turned, the whole picture taken and the
// frame again, the lightness changed, a colour picked, a copy saved and the stamp
// sent. Side by side: a 640 x 480 picture and a 6000 x 4000 (24 megapixel) one,
// both JPEGs of quality 90 made by our own encoder. The counters are the longest
// spell on each step in milliseconds; the label names the message behind the
// longest of all.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "app/flash/wiz_page.h"
#include "app/globals.h"
#include "app/main_window/dlg_main.h"
#include "app/resources/wizard_resources.h"
#include "app/settings/settings.h"
#include "app/texts/wizard_texts.h"
#include "imaging/px_image.h"
#include "imaging/px_message.h"
#include "phonelink/phone_link_server.h"
#include "platform/backends/headless_backend.h"
#include "platform/backends/script.h"
#include "platform/registry/registry.h"
#include "platform/window/message_box.h"
#include "platform/window/message_queue.h"

namespace fs = std::filesystem;

namespace {

// The picture sits alone in its folder, so it is the first thumbnail. The editor
// lays a landscape picture out 182 wide at (33, 110), its frame the centred square.
constexpr const char* kRoad = R"(
wait 300
click 485 375
wait 300
sleep 4000
wait 100
click 345 180
wait 100
key ENTER
wait 300
click 378 213
wait 200
click 284 213
wait 200
move 124 150
press 124 150
move 120 152
move 110 156
move 100 160
release 100 160
move 150 205
press 150 205
move 145 200
move 135 190
release 135 190
click 306 142
wait 200
click 260 142
wait 200
click 340 254
wait 200
click 340 254
wait 200
click 360 312
wait 300
key ENTER
wait 300
move 171 231
click 171 231
wait 300
key ENTER
wait 300
saveas road-copy.png
click 185 287
wait 300
key ENTER
wait 2000
quit
)";

fs::path MakePicture(const fs::path& folder, LONG width, LONG height) {
    fs::create_directories(folder);
    PxImage photo;
    photo.Create(static_cast<DWORD>(width), static_cast<DWORD>(height), 24, PX_FORMAT_JPG);
    for (LONG y = 0; y < height; ++y)
        for (LONG x = 0; x < width; ++x)
            photo.SetPixelColor(x, y,
                                RGBQUAD{static_cast<BYTE>(x * y), static_cast<BYTE>(y / 12),
                                        static_cast<BYTE>(x / 16), 0});
    photo.SetJpegQuality(90);
    const fs::path file = folder / "photo.jpg";
    photo.Save(file.c_str(), PX_FORMAT_JPG);
    return folder;
}

void SetValue(const std::string& key, const std::string& name, const std::string& text) {
    HKEY raw = nullptr;
    if (RegCreateKeyEx(HKEY_LOCAL_MACHINE, key.c_str(), &raw) != ERROR_SUCCESS) return;
    UniqueRegKey opened(raw);
    RegSetValueEx(opened.get(), name.c_str(), 0, REG_SZ,
                  reinterpret_cast<const BYTE*>(text.c_str()), static_cast<DWORD>(text.size() + 1));
}

// A home of its own, the installer's defaults, and the picture's folder as the
// one the browser starts in.
fs::path PrepareHome(LONG width, LONG height) {
    const fs::path home =
        fs::temp_directory_path() /
        ("ostrel_road_bench_" + std::to_string(getpid()) + "_" + std::to_string(width));
    fs::remove_all(home);
    fs::create_directories(home / "runtime");
    fs::permissions(home / "runtime", fs::perms::owner_all);
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (home / "runtime").c_str(), 1);
    setenv("OSTREL_REGISTRY", (home / "registry.reg").c_str(), 1);
    setenv("LC_ALL", "C", 1);
    if (std::system(OSTREL_SETUP_PATH " > /dev/null") != 0) return {};
    const fs::path pictures = MakePicture(home / "pictures", width, height);
    SetValue("SOFTWARE\\Norvane\\Tessel 310-510\\Customization Wizards\\user", "BrowseStamp",
             pictures.string() + "/");
    return home;
}

// Step 2 shown while 10 000 small pictures are copied into its folder, then a
// few seconds more for the list and its thumbnails to catch up.
constexpr const char* kFolderFilling = R"(
wait 300
click 485 375
wait 300
sleep 12000
quit
)";

// Copies `count` pictures into `folder` as a file manager would: each written
// under its own name, one after the other, as fast as the disk takes them.
void CopyPicturesInto(const fs::path& folder, int count) {
    PxImage picture;
    picture.Create(40, 30, 24, PX_FORMAT_PNG);
    picture.Clear(200);
    const fs::path source = folder.parent_path() / "source.png";
    picture.Save(source.c_str(), PX_FORMAT_PNG);
    for (int i = 0; i < count; ++i)
        fs::copy_file(source, folder / ("copied_" + std::to_string(i) + ".png"));
}

// The wizard as the program runs it, without the single-copy rule (each road runs
// in this one process).
void RunWizard() {
    RegisterWizardResources();
    RegisterPhoneLinkServer();
    PxSetMessageBoxHook([](const char* text, const char* caption, UINT style) {
        return MessageBox(nullptr, text, caption, style);
    });
    g_texts = BuildTexts(ReadRegString("Language"));
    g_mainWnd = nullptr;
    CDlgMain dialog;
    dialog.texts = &g_texts;
    dialog.DoModal();
}

// The step of the page a window belongs to; 0 for none (the main window, actions).
int StepOf(HWND window) {
    for (CWnd* at = window; at && IsWindow(at); at = at->GetParent())
        if (auto* page = dynamic_cast<CDlgWizPage*>(at)) return page->Step();
    return 0;
}

void BM_WholeRoad(benchmark::State& state) {
    const LONG width = static_cast<LONG>(state.range(0)),
               height = static_cast<LONG>(state.range(1));
    const fs::path home = PrepareHome(width, height);
    if (home.empty()) return state.SkipWithError("the installer's defaults could not be written");
    std::array<double, 7> longest{};  // by step; 0: outside the pages
    double worst = 0;
    std::string worstCause;
    for (auto _ : state) {
        // Nothing of an earlier road (its closing WM_QUIT above all) may reach this one.
        MessageQueue::Current()->CancelScheduled();
        for (MSG leftover; MessageQueue::Current()->Next(leftover, false);) {
        }
        HeadlessBackend backend;
        ScriptRunner runner(backend, *ParseScript(kRoad, nullptr), home.string());
        MessageQueue::Current()->WatchBusySpells([&](std::chrono::microseconds spell,
                                                     const MSG& cause) {
            const double ms = static_cast<double>(spell.count()) / 1000.0;
            const int step = StepOf(cause.hwnd);
            if (ms > 30 && std::getenv("ROAD_TRACE"))
                std::fprintf(stderr, "spell %.1f ms message %u step %d\n", ms, cause.message, step);
            longest[static_cast<std::size_t>(step)] =
                std::max(longest[static_cast<std::size_t>(step)], ms);
            if (ms > worst) {
                worst = ms;
                worstCause =
                    "message " + std::to_string(cause.message) + " on step " + std::to_string(step);
            }
        });
        runner.Start();
        RunWizard();
        MessageQueue::Current()->WatchBusySpells(nullptr);
        for (const std::string& problem : runner.Problems())
            std::fprintf(stderr, "road: %s\n", problem.c_str());
        for (const RecordedBox& box : backend.Boxes())
            std::fprintf(stderr, "road: message box %s\n", box.text.c_str());
        if (!runner.Finished() || !runner.Problems().empty())
            state.SkipWithError("the road did not run to its end");
        if (!fs::exists(home / "data/norvane/phone/Stamps/photo.png"))
            state.SkipWithError("no stamp reached the phone");
    }
    for (int step = 0; step <= 6; ++step)
        state.counters["step" + std::to_string(step) + "_ms"] =
            longest[static_cast<std::size_t>(step)];
    state.counters["longest_ms"] = worst;
    state.SetLabel(worstCause);
    fs::remove_all(home);
}
// The longest spell while the shown folder fills; the list must follow it with
// the page staying responsive throughout.
void BM_FolderFilling(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const fs::path home = PrepareHome(64, 48);
    if (home.empty()) return state.SkipWithError("the installer's defaults could not be written");
    double worst = 0;
    std::string worstCause;
    for (auto _ : state) {
        HeadlessBackend backend;
        ScriptRunner runner(backend, *ParseScript(kFolderFilling, nullptr), home.string());
        MessageQueue::Current()->WatchBusySpells(
            [&](std::chrono::microseconds spell, const MSG& cause) {
                const double ms = static_cast<double>(spell.count()) / 1000.0;
                if (ms > worst) {
                    worst = ms;
                    worstCause = "message " + std::to_string(cause.message) + " on step " +
                                 std::to_string(StepOf(cause.hwnd));
                }
            });
        // The copy starts once step 2 shows its first list.
        std::thread copier([&] {
            std::this_thread::sleep_for(std::chrono::seconds(2));
            CopyPicturesInto(home / "pictures", count);
        });
        runner.Start();
        RunWizard();
        copier.join();
        MessageQueue::Current()->WatchBusySpells(nullptr);
        if (!runner.Finished() || !runner.Problems().empty())
            state.SkipWithError("the road did not run to its end");
    }
    state.counters["longest_ms"] = worst;
    state.SetLabel(worstCause);
    fs::remove_all(home);
}
BENCHMARK(BM_FolderFilling)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

BENCHMARK(BM_WholeRoad)
    ->Args({640, 480})
    ->Args({6000, 4000})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

}  // namespace
