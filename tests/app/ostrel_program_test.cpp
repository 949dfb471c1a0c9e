// The wizard executable end to end: installed settings, a script, a screenshot of
// the shaped window.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "imaging/px_image.h"

namespace fs = std::filesystem;

namespace {

int RunCommand(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST(OstrelProgram, RunsAScriptAndShowsItsShapedWindow) {
    const fs::path dir = fs::temp_directory_path() / ("ostrel_program_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string env = "OSTREL_REGISTRY='" + (dir / "r.reg").string() + "' XDG_DATA_HOME='" +
                            (dir / "data").string() + "' XDG_RUNTIME_DIR='" + dir.string() +
                            "' HOME='" + dir.string() + "' ";
    ASSERT_EQ(RunCommand(env + OSTREL_SETUP_PATH " > /dev/null"), 0);
    std::ofstream(dir / "script.txt") << "wait 200\nscreenshot shot\nkey ENTER\nwait 10\nquit\n";
    const std::string command = env + "OSTREL_SCRIPT='" + (dir / "script.txt").string() +
                                "' OSTREL_SCREENSHOTS='" + dir.string() +
                                "' " OSTREL_PROGRAM_PATH " > '" + (dir / "out.txt").string() + "'";
    ASSERT_EQ(RunCommand(command), 0);

    PxImage shot;
    ASSERT_TRUE(shot.Load((dir / "shot.png").c_str(), PX_FORMAT_PNG, true)) << shot.GetLastError();
    ASSERT_EQ(shot.GetWidth(), 580u);
    ASSERT_EQ(shot.GetHeight(), 411u);
    // Picture rows count from the bottom: y = 410 - window row.
    auto at = [&](LONG x, LONG row) { return shot.GetPixelColor(x, 410 - row).rgbRed; };
    EXPECT_EQ(at(0, 0), 0);  // the rounded corner lies outside
    EXPECT_EQ(at(290, 200), 255);
    EXPECT_EQ(at(0, 229), 255);  // full width above row 230
    EXPECT_EQ(at(0, 230), 0);    // the lower sides bend inwards
    EXPECT_EQ(at(1, 230), 255);
    EXPECT_EQ(at(579, 230), 0);
    EXPECT_EQ(at(30, 410), 0);
    fs::remove_all(dir);
}
