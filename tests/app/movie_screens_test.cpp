// Every screen of the movie in English, Russian and Simplified Chinese, compared
// with the recorded pictures in tests/app/golden/movie. When the movie's layout or
// texts change on purpose, regenerate them with
//   OSTREL_REGENERATE_GOLDEN=1 build/tests/app_tests --gtest_filter='MovieScreens.*'
// and look at the new pictures before committing them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>

#include "app/flash/flash_text.h"
#include "app/flash/movie_url.h"
#include "app/texts/wizard_texts.h"
#include "imaging/px_image.h"
#include "platform/backends/headless_backend.h"
#include "player/movie_player.h"
#include "virtual_time.h"

namespace fs = std::filesystem;

namespace {

struct Screen {
    int frame;
    const char* name;
};

const Screen kScreens[] = {{1, "1-welcome"}, {2, "2-picture"},  {3, "3-editor"},  {4, "4-preview"},
                           {5, "5-ready"},   {6, "6-checking"}, {7, "7-sending"}, {8, "8-outcome"}};

std::string OwnCommandLine() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    // Appended piece by piece: GCC 12 misreads "..." + string as an overlapping copy at -O3.
    std::string quoted(1, '"');
    quoted.append(path, length > 0 ? static_cast<std::size_t>(length) : 0);
    quoted += '"';
    return quoted;
}

class MovieScreens : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        g_texts = BuildTexts(GetParam());
        top.CreateEx(nullptr, RECT{0, 0, 580, 411}, "Ostrel", 0, WS_POPUP | WS_VISIBLE);
        player.CreateEx(&top, RECT{0, 0, 580, 411}, "", 1003, WS_CHILD | WS_VISIBLE);
    }
    void TearDown() override {
        top.DestroyWindow();
        ClearQueue();
        g_texts = BuildTexts("EN");
    }
    // What the pages would have written into the movie by the time it shows.
    void FillInAsThePagesDo(int frame) {
        player.SetVariable("filename", "Sunset.jpg");
        player.SetVariable("CurrentLink", "USB");
        const std::string ready = player.GetVariable("TxtPrepTr");
        player.SetVariable("TxtPrepTr", FillPlaceholders(ready, "Sunset.png", "1234"));
        player.TCallFrame("IllTr", 0);
        if (frame == 1) player.TGotoFrame("next", 1);  // the page's answer to "focus"
        if (frame == 7) {
            player.TGotoFrame("/next", 0);
            player.SetVariable("_txt", FormatFlashText(g_texts.transferInProgress, true, true));
            player.TGotoFrame("/barre", 13);
        }
        if (frame == 8) {
            const std::string done = FillPlaceholders(player.GetVariable("_OkTxt"), "Sunset.png");
            player.SetVariable("_ErrTxt", FormatFlashText(done, false, false));
            player.TCallFrame("ErrTxt", 0);
        }
    }
    void Show(int frame) {
        const int step = frame > 6 ? 6 : frame;
        player.Movie(MovieUrlFromCommandLine(OwnCommandLine(), g_languageCode,
                                             "Pennon.swf?frm=" + std::to_string(step)));
        LetTimePass(50);
        if (frame > 6) player.GotoFrame(frame);
        LetTimePass(50);
        FillInAsThePagesDo(frame);
        LetTimePass(200);
    }

    HeadlessBackend backend;
    CWnd top;
    CMoviePlayer player;
};

// Pixels that differ between two pictures of the same size; -1 when they cannot
// be compared.
long DifferingPixels(const std::string& a, const std::string& b) {
    PxImage first, second;
    if (!first.Load(a.c_str(), 4, true) || !second.Load(b.c_str(), 4, true)) return -1;
    if (first.GetWidth() != second.GetWidth() || first.GetHeight() != second.GetHeight()) return -1;
    long differing = 0;
    for (LONG y = 0; y < static_cast<LONG>(first.GetHeight()); ++y)
        for (LONG x = 0; x < static_cast<LONG>(first.GetWidth()); ++x) {
            const RGBQUAD p = first.GetPixelColor(x, y), q = second.GetPixelColor(x, y);
            differing += p.rgbRed != q.rgbRed || p.rgbGreen != q.rgbGreen || p.rgbBlue != q.rgbBlue;
        }
    return differing;
}

}  // namespace

TEST_P(MovieScreens, EveryStepLooksAsRecorded) {
    const fs::path golden = fs::path(OSTREL_SOURCE_DIR) / "tests/app/golden/movie";
    const fs::path actual =
        fs::temp_directory_path() / ("ostrel-movie-" + std::to_string(getpid()));
    fs::create_directories(actual);
    const bool regenerate = std::getenv("OSTREL_REGENERATE_GOLDEN") != nullptr;
    for (const Screen& screen : kScreens) {
        Show(screen.frame);
        ASSERT_TRUE(player.LastError().empty()) << player.LastError();
        EXPECT_EQ(player.FrameNum(), screen.frame);
        const std::string name = std::string(GetParam()) + "-" + screen.name + ".png";
        const std::string shot = (actual / name).string();
        ASSERT_TRUE(backend.Screenshot(&top, shot));
        if (regenerate) {
            fs::create_directories(golden);
            fs::copy_file(shot, golden / name, fs::copy_options::overwrite_existing);
            continue;
        }
        EXPECT_EQ(DifferingPixels(shot, (golden / name).string()), 0)
            << name << " differs from the recorded picture; see " << shot;
    }
    if (regenerate) GTEST_SKIP() << "wrote " << golden;
    fs::remove_all(actual);
}

INSTANTIATE_TEST_SUITE_P(Languages, MovieScreens, ::testing::Values("EN", "RU", "CHS"));
