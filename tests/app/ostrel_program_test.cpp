// The wizard executable end to end: installed settings, a script, a screenshot of
// the shaped window.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "app/headless_program.h"
#include "imaging/px_image.h"

namespace fs = std::filesystem;

namespace {

using headless::Environment;
using headless::FreshFolder;
using headless::RunCommand;

}  // namespace

TEST(OstrelProgram, RunsAScriptAndShowsItsShapedWindow) {
    const fs::path dir = FreshFolder("ostrel_program");
    const std::string env = Environment(dir);
    ASSERT_EQ(RunCommand(env + OSTREL_SETUP_PATH " > /dev/null"), 0);
    std::ofstream(dir / "script.txt") << "wait 200\nscreenshot shot\nkey ENTER\nwait 10\nquit\n";
    const std::string command = env + "OSTREL_SCRIPT='" + (dir / "script.txt").string() +
                                "' " OSTREL_PROGRAM_PATH " > '" + (dir / "out.txt").string() + "'";
    ASSERT_EQ(RunCommand(command), 0);

    PxImage shot;
    ASSERT_TRUE(shot.Load((dir / "shot.png").c_str(), PX_FORMAT_PNG, true)) << shot.GetLastError();
    ASSERT_EQ(shot.GetWidth(), 580u);
    ASSERT_EQ(shot.GetHeight(), 411u);
    // Picture rows count from the bottom: y = 410 - window row.
    // Outside the outline a screenshot is black; inside, the window's pixels are not.
    auto shown = [&](LONG x, LONG row) { return shot.GetPixelColor(x, 410 - row).rgbRed != 0; };
    EXPECT_FALSE(shown(0, 0));  // the rounded corner
    EXPECT_TRUE(shown(290, 200));
    EXPECT_TRUE(shown(0, 229));   // full width above row 230
    EXPECT_FALSE(shown(0, 230));  // the lower sides bend inwards
    EXPECT_TRUE(shown(1, 230));
    EXPECT_FALSE(shown(579, 230));
    EXPECT_FALSE(shown(30, 410));
    fs::remove_all(dir);
}

namespace {

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Waits (real time, at most `seconds`) until `done` holds.
bool WaitFor(const std::function<bool()>& done, int seconds) {
    for (int i = 0; i < seconds * 20; ++i) {
        if (done()) return true;
        usleep(50000);
    }
    return done();
}

}  // namespace

TEST(OstrelProgram, ASecondCopyRestoresTheFirstAndLeavesSilently) {
    const fs::path dir = FreshFolder("ostrel_copies");
    const std::string env = Environment(dir);
    ASSERT_EQ(RunCommand(env + OSTREL_SETUP_PATH " > /dev/null"), 0);
    std::ofstream(dir / "first.txt") << "wait 200\nsleep 4000\nquit\n";
    std::ofstream(dir / "second.txt") << "quit\n";
    const fs::path firstOut = dir / "first.out";
    ASSERT_EQ(RunCommand(env + "OSTREL_SCRIPT='" + (dir / "first.txt").string() +
                         "' " OSTREL_PROGRAM_PATH " > '" + firstOut.string() + "' 2>&1 &"),
              0);
    // The first copy lists its window once it is up.
    const fs::path desktop = dir / "ostrel-desktop";
    ASSERT_TRUE(WaitFor(
        [&] {
            std::error_code error;
            for (const auto& e : fs::directory_iterator(desktop, error)) {
                if (e.path().extension() == ".windows" &&
                    ReadAll(e.path()).find("Ostrel") != std::string::npos)
                    return true;
            }
            return false;
        },
        10));
    const fs::path secondOut = dir / "second.out";
    EXPECT_EQ(RunCommand(env + "OSTREL_SCRIPT='" + (dir / "second.txt").string() +
                         "' " OSTREL_PROGRAM_PATH " > '" + secondOut.string() + "' 2>&1"),
              0);
    EXPECT_EQ(ReadAll(secondOut).find("message box"), std::string::npos) << ReadAll(secondOut);
    ASSERT_TRUE(
        WaitFor([&] { return ReadAll(firstOut).find("restore Ostrel") != std::string::npos; }, 10))
        << ReadAll(firstOut);
    const std::string first = ReadAll(firstOut);
    EXPECT_LT(first.find("desktop request: minimise Ostrel"),
              first.find("desktop request: restore Ostrel"));
    WaitFor([&] { return !fs::exists(desktop) || fs::is_empty(desktop); }, 10);
    fs::remove_all(dir);
}

// The README's demo: the movie's Next button takes the welcome page to step 2,
// Enter walks on, and every step's screen is written out.
TEST(OstrelProgram, TheDemoWalksFromTheWelcomePageByTheMoviesNextButton) {
    const fs::path dir = FreshFolder("ostrel_demo");
    ASSERT_NO_FATAL_FAILURE(headless::RunDemo(dir));
    EXPECT_EQ(ReadAll(dir / "out.txt").find("message box"), std::string::npos);
    // The current step's mark is the one filled with the accent colour.
    const char* shots[] = {"1-welcome", "2-picture", "3-editor",
                           "4-preview", "5-save",    "6-transfer"};
    for (int step = 1; step <= 6; ++step) {
        PxImage shot;
        const fs::path path = dir / (std::string(shots[step - 1]) + ".png");
        ASSERT_TRUE(shot.Load(path.c_str(), PX_FORMAT_PNG, true)) << path;
        if (step == 2) {  // the first thumbnail is shown, and chosen
            const RGBQUAD p = shot.GetPixelColor(345, 410 - 175);
            EXPECT_FALSE(p.rgbRed == 255 && p.rgbGreen == 255 && p.rgbBlue == 255);
        }
        for (int mark = 1; mark <= 6; ++mark) {
            const RGBQUAD p = shot.GetPixelColor(383 + 28 * (mark - 1) + 2, 410 - 45);
            const bool accent = p.rgbRed == 0x25 && p.rgbGreen == 0x63 && p.rgbBlue == 0xEB;
            EXPECT_EQ(accent, mark == step) << shots[step - 1] << ", mark " << mark;
        }
    }
    fs::remove_all(dir);
}

namespace {

// The step whose mark is filled with the accent colour on a screenshot, 0 for none.
int MarkedStep(const fs::path& path) {
    PxImage shot;
    if (!shot.Load(path.c_str(), PX_FORMAT_PNG, true)) return -1;
    int marked = 0;
    for (int mark = 1; mark <= 6; ++mark) {
        const RGBQUAD p = shot.GetPixelColor(383 + 28 * (mark - 1) + 2, 410 - 45);
        if (p.rgbRed == 0x25 && p.rgbGreen == 0x63 && p.rgbBlue == 0xEB) marked = mark;
    }
    return marked;
}

}  // namespace

// As a file manager's "Open with" does: the menu's launcher with the file.
TEST(OstrelProgram, TheLauncherOpensAGivenPictureOnTheEditorOrNamesABadOne) {
    const fs::path dir = FreshFolder("ostrel_open_with");
    const std::string env = Environment(dir);
    fs::create_directories(dir / "my pictures");
    const fs::path good = dir / "my pictures/cat.png", bad = dir / "my pictures/dog.png";
    PxImage image;
    image.Create(48, 30, 24, PX_FORMAT_PNG);
    image.Clear(90);
    ASSERT_TRUE(image.Save(good.c_str(), PX_FORMAT_PNG));
    std::ofstream(bad) << "not a picture";
    std::ofstream(dir / "script.txt") << "wait 500\nscreenshot shot\nquit\n";
    const auto run = [&](const fs::path& picture) {
        return RunCommand(env + "OSTREL_SCRIPT='" + (dir / "script.txt").string() +
                          "' " OSTREL_LAUNCHER_PATH " '" + picture.string() + "' > '" +
                          (dir / "out.txt").string() + "'");
    };

    ASSERT_EQ(run(good), 0);
    EXPECT_EQ(ReadAll(dir / "out.txt").find("message box"), std::string::npos)
        << ReadAll(dir / "out.txt");
    EXPECT_EQ(MarkedStep(dir / "shot.png"), 3);
    EXPECT_NE(ReadAll(dir / "r.reg").find("\"BrowseStamp\"=\"" + (dir / "my pictures").string()),
              std::string::npos);

    ASSERT_EQ(run(bad), 0);
    EXPECT_NE(ReadAll(dir / "out.txt").find("Invalid picture : " + bad.string()), std::string::npos)
        << ReadAll(dir / "out.txt");
    EXPECT_EQ(MarkedStep(dir / "shot.png"), 2);

    // A FIFO would make the loading wait for ever; it is named like the bad file.
    const fs::path fifo = dir / "my pictures/pipe.png";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(RunCommand(env + "OSTREL_SCRIPT='" + (dir / "script.txt").string() +
                         "' timeout 20 " OSTREL_PROGRAM_PATH " '" + fifo.string() + "' > '" +
                         (dir / "out.txt").string() + "'"),
              0);
    EXPECT_NE(ReadAll(dir / "out.txt").find("Invalid picture : " + fifo.string()),
              std::string::npos)
        << ReadAll(dir / "out.txt");

    EXPECT_EQ(RunCommand(env + OSTREL_PROGRAM_PATH " a.png b.png 2> /dev/null"), 2);
    fs::remove_all(dir);
}

// Enter alone after a start with a picture: steps 3, 4 and 5 move on, and the stamp
// of the given picture reaches the phone's storage.
TEST(OstrelProgram, AGivenPictureReachesThePhoneByEnterAlone) {
    const fs::path dir = FreshFolder("ostrel_given_keys");
    const std::string env = Environment(dir);
    ASSERT_EQ(RunCommand(env + OSTREL_SETUP_PATH " > /dev/null"), 0);
    const fs::path picture = dir / "Balloon.bmp";
    PxImage image;
    image.Create(60, 40, 24, PX_FORMAT_BMP);
    image.Clear(200);
    ASSERT_TRUE(image.Save(picture.c_str(), PX_FORMAT_BMP));
    // Well past the moment the remaining pages are made behind the editor.
    std::ofstream(dir / "script.txt") << "wait 600\nkey ENTER\nwait 300\nscreenshot 4\n"
                                         "key ENTER\nwait 300\nkey ENTER\nwait 500\n"
                                         "screenshot 6\nquit\n";
    ASSERT_EQ(RunCommand(env + "OSTREL_SCRIPT='" + (dir / "script.txt").string() +
                         "' " OSTREL_PROGRAM_PATH " '" + picture.string() + "' > '" +
                         (dir / "out.txt").string() + "'"),
              0);
    EXPECT_EQ(ReadAll(dir / "out.txt").find("message box"), std::string::npos)
        << ReadAll(dir / "out.txt");
    EXPECT_EQ(MarkedStep(dir / "4.png"), 4);
    EXPECT_EQ(MarkedStep(dir / "6.png"), 6);
    PxImage sent;
    const fs::path stamp = dir / "data/norvane/phone/Stamps/Balloon.png";
    ASSERT_TRUE(sent.Load(stamp.c_str(), PX_FORMAT_PNG, true)) << stamp;
    EXPECT_EQ(sent.GetWidth(), 32u);
    EXPECT_EQ(sent.GetBpp(), 8u);
    fs::remove_all(dir);
}

TEST(OstrelProgram, TheDesktopEntryOffersItselfForPictures) {
    const std::string entry = ReadAll(OSTREL_DESKTOP_ENTRY);
    EXPECT_NE(entry.find("\nExec=\"" OSTREL_LAUNCHER_PATH "\" %f\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\nMimeType=image/bmp;image/gif;image/jpeg;image/png;image/webp;"
                         "image/heic;image/heif;image/avif;image/tiff;\n"),
              std::string::npos)
        << entry;
    // Started as a program, never by the bus: the running copy takes later files.
    EXPECT_NE(entry.find("\nDBusActivatable=false\n"), std::string::npos) << entry;
}

// An iPhone's photo from the command line: step 3 shows it, Next makes its stamp
// and step 4 shows the stamp magnified.
TEST(OstrelProgram, AHeicPhotoFromTheCommandLineReachesThePreview) {
    if (RunCommand("command -v heif-enc > /dev/null") != 0) GTEST_SKIP() << "heif-enc is missing";
    const fs::path dir = FreshFolder("ostrel_heic");
    PxImage source;
    source.Create(120, 90, 24, PX_FORMAT_PNG);
    for (LONG y = 0; y < 90; ++y)
        for (LONG x = 0; x < 120; ++x)
            source.SetPixelColor(x, y, RGBQUAD{BYTE(2 * x), BYTE(2 * y), 90, 0});
    ASSERT_TRUE(source.Save((dir / "source.png").c_str(), PX_FORMAT_PNG));
    const fs::path photo = dir / "photo.heic";
    ASSERT_EQ(RunCommand("heif-enc -q 90 '" + (dir / "source.png").string() + "' -o '" +
                         photo.string() + "' > /dev/null 2>&1"),
              0);
    // The movie's Next button; Enter moves on from a picture chosen on step 2.
    std::ofstream(dir / "script.txt")
        << "wait 500\nscreenshot step3\nclick 485 375\nwait 500\nscreenshot step4\nquit\n";
    ASSERT_EQ(RunCommand(Environment(dir) + OSTREL_SETUP_PATH " > /dev/null"), 0);
    ASSERT_EQ(RunCommand(Environment(dir) + "OSTREL_SCRIPT='" + (dir / "script.txt").string() +
                         "' " OSTREL_PROGRAM_PATH " '" + photo.string() + "' > '" +
                         (dir / "out.txt").string() + "'"),
              0);
    EXPECT_EQ(ReadAll(dir / "out.txt").find("message box"), std::string::npos)
        << ReadAll(dir / "out.txt");
    EXPECT_EQ(MarkedStep(dir / "step3.png"), 3);
    ASSERT_EQ(MarkedStep(dir / "step4.png"), 4);
    // The magnified stamp holds the photo's gradient, not one flat colour.
    PxImage shot;
    ASSERT_TRUE(shot.Load((dir / "step4.png").c_str(), PX_FORMAT_PNG, true));
    const LONG top = static_cast<LONG>(shot.GetHeight()) - 1;
    const RGBQUAD a = shot.GetPixelColor(112, top - 172), b = shot.GetPixelColor(230, top - 290);
    EXPECT_GT(std::abs(a.rgbRed - b.rgbRed) + std::abs(a.rgbGreen - b.rgbGreen), 40);
    fs::remove_all(dir);
}
