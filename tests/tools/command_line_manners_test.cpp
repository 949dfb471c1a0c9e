// pxtool and ostrel-setup as programs: usage errors exit 2 with what is wrong and
// the usage, other failures 1, and nothing waits on a file that is no regular file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "imaging/px_image.h"

namespace fs = std::filesystem;

namespace {

struct Outcome {
    int code;
    std::string err;  // standard error (standard output for `out`)
    std::string out;
};

// Under `timeout`, so a program that waits fails the test instead of hanging it.
Outcome RunProgram(const std::string& program, const std::string& args, const fs::path& dir,
                   const std::string& env = "") {
    const std::string errFile = (dir / "err.txt").string();
    const std::string command =
        env + "timeout 10 " + program + " " + args + " 2> '" + errFile + "' < /dev/null";
    Outcome run{-1, "", ""};
    std::FILE* pipe = popen(command.c_str(), "r");
    std::array<char, 512> chunk{};
    while (std::fgets(chunk.data(), chunk.size(), pipe))
        run.out += chunk.data();
    const int status = pclose(pipe);
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::FILE* err = std::fopen(errFile.c_str(), "r");
    while (err && std::fgets(chunk.data(), chunk.size(), err))
        run.err += chunk.data();
    if (err) std::fclose(err);
    return run;
}

class CommandLine : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("ostrel_manners_" + std::to_string(getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir / "folder.png");
        picture = (dir / "in.png").string();
        PxImage image(40, 30, 24, PX_FORMAT_PNG);
        image.Clear(120);
        ASSERT_TRUE(image.Save(picture.c_str(), PX_FORMAT_PNG));
    }
    void TearDown() override { fs::remove_all(dir); }
    Outcome Pxtool(const std::string& args) { return RunProgram(OSTREL_PXTOOL_PATH, args, dir); }
    // As BMP: PNG writers refuse rows of more than a million pixels.
    std::string Line(const PxImage& image, const std::string& name) {
        const std::string path = (dir / name).string();
        EXPECT_TRUE(const_cast<PxImage&>(image).Save(path.c_str(), PX_FORMAT_BMP));
        return path;
    }

    fs::path dir;
    std::string picture;
};

}  // namespace

TEST_F(CommandLine, SpecialFilesAreRefusedAtOnceWithExitOne) {
    const std::string fifo = (dir / "fifo.png").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& args :
         std::vector<std::string>{"info " + fifo, "info /dev/zero png",
                                  "stamp " + fifo + " -o " + (dir / "o.png").string(),
                                  "thumbnail " + fifo + " -o " + (dir / "thumbs").string()}) {
        const Outcome run = Pxtool(args);
        EXPECT_EQ(run.code, 1) << args;
        EXPECT_NE(run.err.find(": not a regular file\n"), std::string::npos) << args << run.err;
    }
    const Outcome folder = Pxtool("info " + (dir / "folder.png").string());
    EXPECT_EQ(folder.code, 1);
    EXPECT_EQ(folder.err,
              "pxtool: cannot open " + (dir / "folder.png").string() + ": Is a directory\n");
}

TEST_F(CommandLine, UsageErrorsSayWhatIsWrongThenTheUsage) {
    const std::string out = " -o " + (dir / "o.png").string();
    struct Case {
        std::string args, what, usage;
    };
    const Case cases[] = {
        {"stamp " + picture + " --select 0,0,0,0" + out, "the selection 0,0,0,0 is empty",
         "usage: pxtool stamp IN"},
        {"stamp " + picture + " --size 24" + out, "bad size '24' (32 or 16)",
         "usage: pxtool stamp"},
        {"stamp " + picture + " --size abc" + out, "bad size 'abc' (32 or 16)",
         "usage: pxtool stamp"},
        {"stamp " + picture + " -o " + (dir / "o.jpg").string(), "OUT must end in .png",
         "usage: pxtool stamp"},
        {"info " + picture + " 8", "unknown picture type '8'", "usage: pxtool info FILE"},
        {"info", "info takes one FILE", "usage: pxtool info FILE"},
        {"convert " + picture, "convert takes IN and OUT", "usage: pxtool convert IN"},
        {"frobnicate", "unknown command 'frobnicate'", "usage: pxtool COMMAND"},
    };
    for (const Case& c : cases) {
        const Outcome run = Pxtool(c.args);
        EXPECT_EQ(run.code, 2) << c.args;
        EXPECT_EQ(run.err.rfind("pxtool: ", 0), 0u) << run.err;
        const std::size_t lineEnd = run.err.find('\n');
        EXPECT_NE(run.err.substr(0, lineEnd).find(c.what), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find(c.usage, lineEnd), lineEnd + 1) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 2) << run.err;
    }
    EXPECT_FALSE(fs::exists(dir / "o.jpg"));
    EXPECT_EQ(Pxtool("stamp " + picture + out).code, 0);
}

// A picture with too few pixels one way gives no frame: said, with the way out.
TEST_F(CommandLine, APictureTooSmallForAFramePointsAtAll) {
    for (const auto& [width, height] : {std::pair{1u, 1u}, {400u, 1u}, {2000000u, 1u}}) {
        PxImage image(width, height, 24, PX_FORMAT_PNG);
        image.Clear(200);
        const std::string path = Line(image, "thin.bmp");
        const std::string out = " -o " + (dir / "o.png").string();
        const Outcome run = Pxtool("stamp " + path + out);
        EXPECT_EQ(run.code, 1) << width;
        EXPECT_NE(run.err.find("too narrow or too small to give a frame; --all"), std::string::npos)
            << run.err;
        EXPECT_EQ(run.err.find("Can't extract!"), std::string::npos);
        EXPECT_EQ(Pxtool("stamp " + path + " --all" + out).code, 0) << width;
    }
}

TEST_F(CommandLine, SetupTellsItsVersionAndItsUsage) {
    const std::string env = "OSTREL_REGISTRY='" + (dir / "r.reg").string() + "' ";
    const Outcome version = RunProgram(OSTREL_SETUP_PATH, "--version", dir, env);
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out.rfind("ostrel-setup ", 0), 0u) << version.out;
    EXPECT_EQ(RunProgram(OSTREL_SETUP_PATH, "--help", dir, env).code, 0);
    for (const char* args :
         {"--bogus", "--storage-folder", "extra", "--phone", "--list-phones x"}) {
        const Outcome run = RunProgram(OSTREL_SETUP_PATH, args, dir, env);
        EXPECT_EQ(run.code, 2) << args;
        EXPECT_EQ(run.err.rfind("ostrel-setup: ", 0), 0u) << run.err;
        EXPECT_NE(run.err.find("\nusage: ostrel-setup"), std::string::npos) << run.err;
    }
    EXPECT_FALSE(fs::exists(dir / "r.reg"));
}
