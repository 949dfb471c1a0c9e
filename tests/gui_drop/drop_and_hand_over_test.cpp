// The real window on a virtual X server with a session bus of its own: a picture
// dropped from another program (a small drag source speaking the protocol) opens
// step 3, and a second start with a picture hands it to the running window and
// ends at once.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "gui/desktop_tools.h"
#include "platform/system/uri_list.h"

namespace fs = std::filesystem;

namespace {

const std::string kTitle = "Ostrel";

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class DropAndHandOver : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("DBUS_SESSION_BUS_ADDRESS"), nullptr)
            << "run under dbus-run-session: the hand-over goes through the session bus";
        dir_ = fs::temp_directory_path() / ("ostrel_gui_drop_" + std::to_string(getpid()));
        fs::remove_all(dir_);
        screens_ = ScreensFolder((dir_ / "screens").string());
        env_ = OwnHome(dir_.string());
        env_["OSTREL_BACKEND"] = "x11";
        env_["OSTREL_TRACE"] = "1";
        ASSERT_EQ(RunShellWith(env_, OSTREL_SETUP_PATH " > /dev/null"), 0);
        // A name with a blank and a letter outside ASCII: the URI escapes both.
        fs::create_directories(dir_ / "My pictures");
        picture_ = (dir_ / "My pictures" / "Tiles \xC3\xA9t\xC3\xA9.png").string();
        fs::copy_file(OSTREL_DEMO_PICTURES "/Tiles.png", picture_);
    }
    void TearDown() override {
        Stop(first_);
        fs::remove_all(dir_);
    }
    void StartFirst() {
        first_ = Start(OSTREL_PROGRAM_PATH, env_, (dir_ / "first.trace").string());
        ASSERT_TRUE(WaitFor([&] { return Traced("step 1"); }, 30)) << Trace();
        ASSERT_TRUE(WaitFor([&] { return WindowsTitled(kTitle).size() == 1; }, 20));
        window_ = WindowsTitled(kTitle).front();
        ASSERT_TRUE(WaitFor([&] { return MapState(window_) == "IsViewable"; }, 20));
        place_ = WindowGeometry(window_);
    }
    std::string Trace() const { return ReadAll(dir_ / "first.trace"); }
    bool Traced(const std::string& line) const {
        return Trace().find("ostrel-trace: " + line) != std::string::npos;
    }
    // Step 3 shows the picture: its box is no longer the black it is cleared with.
    void ExpectStepThreeShowsThePicture(const std::string& shot) {
        ASSERT_TRUE(WaitFor([&] { return Traced("step 3"); }, 30)) << Trace();
        // The middle of the box, which any picture wider or taller than it fills.
        const Geometry box{place_.x + 33 + 40, place_.y + 110 + 40, 100, 100};
        ASSERT_TRUE(WaitUntilStill(place_, screens_ + "/scratch.png", 30));
        PxImage screen;
        ASSERT_TRUE(ScreenShot(screens_ + "/screen-" + shot, screen));
        ASSERT_TRUE(CropTo(screens_ + "/screen-" + shot, place_, screens_ + "/" + shot));
        int black = 0;
        for (int y = box.y; y < box.y + box.height; y += 4)
            for (int x = box.x; x < box.x + box.width; x += 4)
                black += ScreenPixel(screen, x, y) == RGB(0, 0, 0);
        EXPECT_EQ(black, 0) << "the editor's box shows no picture";
    }

    fs::path dir_;
    std::string screens_, picture_;
    std::map<std::string, std::string> env_;
    pid_t first_ = -1;
    std::string window_;
    Geometry place_;
};

}  // namespace

TEST_F(DropAndHandOver, APictureDroppedFromAnotherProgramOpensStepThree) {
    ASSERT_NO_FATAL_FAILURE(StartFirst());
    const std::string list = "# from the test\r\n" + FileUriOf(picture_) + "\r\n";
    const std::string answer = Capture(std::string(OSTREL_XDND_SOURCE_PATH " ") + window_ + " " +
                                       std::to_string(place_.x + 290) + " " +
                                       std::to_string(place_.y + 200) + " '" + list + "'");
    EXPECT_NE(answer.find("status 1 XdndActionCopy"), std::string::npos) << answer;
    EXPECT_NE(answer.find("finished 1 XdndActionCopy"), std::string::npos) << answer;
    EXPECT_TRUE(WaitFor([&] { return Traced("drop " + picture_); }, 20)) << Trace();
    ExpectStepThreeShowsThePicture("step3-after-drop.png");
}

TEST_F(DropAndHandOver, ASecondStartHandsItsPictureToTheRunningWindow) {
    ASSERT_NO_FATAL_FAILURE(StartFirst());
    ASSERT_TRUE(WaitFor([&] { return Traced("offered on the session bus"); }, 20)) << Trace();
    const auto started = std::chrono::steady_clock::now();
    const pid_t second =
        Start(OSTREL_PROGRAM_PATH, env_, (dir_ / "second.trace").string(), {picture_});
    const int code = WaitForExit(second, 20);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const std::string secondTrace = ReadAll(dir_ / "second.trace");
    EXPECT_EQ(code, 0) << secondTrace;
    EXPECT_LT(seconds, 5.0) << "the second start did not end at once";
    EXPECT_EQ(secondTrace.find("shown "), std::string::npos) << "the second start opened a window";
    EXPECT_TRUE(WaitFor([&] { return Traced("drop " + picture_); }, 20)) << Trace();
    EXPECT_EQ(WindowsTitled(kTitle).size(), 1u);
    ExpectStepThreeShowsThePicture("step3-handed-over.png");
    std::printf("second start ended after %.2f s\n", seconds);
}
