// ostrel-setup and the wizard as a user meets them on the command line: a damaged
// registry file and a screenshot folder that does not exist yet.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

int RunCommand(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

fs::path FreshFolder(const std::string& name) {
    const fs::path dir = fs::temp_directory_path() / (name + "_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

}  // namespace

TEST(OstrelSetupProgram, ADamagedFileIsNamedOnceWithItsLineAndLeftAlone) {
    const fs::path dir = FreshFolder("ostrel_setup_damaged");
    const fs::path file = dir / "r.reg";
    const std::string damaged =
        "Windows Registry Editor Version 5.00\n\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane\\Tessel 310-510]\n"
        "\"Language\"=\"EN\"\n"
        "\"StampTolerance\"=dword:1\n";
    std::ofstream(file, std::ios::binary) << damaged;
    const std::string env = "OSTREL_REGISTRY='" + file.string() + "' HOME='" + dir.string() + "' ";
    EXPECT_EQ(RunCommand(env + OSTREL_SETUP_PATH " > '" + (dir / "out").string() + "' 2> '" +
                         (dir / "err").string() + "'"),
              1);
    const std::string err = ReadAll(dir / "err");
    EXPECT_EQ(err,
              "ostrel-setup: " + file.string() + ": line 5: bad value line; nothing was changed\n");
    EXPECT_EQ(ReadAll(dir / "out"), "");
    EXPECT_EQ(ReadAll(file), damaged);
    fs::remove_all(dir);
}

TEST(OstrelProgram, AMissingScreenshotFolderIsMade) {
    const fs::path dir = FreshFolder("ostrel_screens_made");
    const fs::path shots = dir / "not" / "yet";
    const std::string env = "OSTREL_BACKEND=headless OSTREL_REGISTRY='" + (dir / "r.reg").string() +
                            "' XDG_RUNTIME_DIR='" + dir.string() + "' HOME='" + dir.string() +
                            "' OSTREL_SCREENSHOTS='" + shots.string() + "' ";
    ASSERT_EQ(RunCommand(env + OSTREL_SETUP_PATH " > /dev/null"), 0);
    std::ofstream(dir / "script.txt") << "wait 50\nscreenshot shot\nquit\n";
    ASSERT_EQ(RunCommand(env + "OSTREL_SCRIPT='" + (dir / "script.txt").string() +
                         "' " OSTREL_PROGRAM_PATH " > /dev/null"),
              0);
    EXPECT_TRUE(fs::is_regular_file(shots / "shot.png"));

    // A folder that cannot be made is said, and nothing runs.
    std::ofstream(dir / "plain") << "a file, not a folder";
    const std::string blocked = "OSTREL_BACKEND=headless OSTREL_REGISTRY='" +
                                (dir / "r.reg").string() + "' XDG_RUNTIME_DIR='" + dir.string() +
                                "' OSTREL_SCREENSHOTS='" + (dir / "plain" / "x").string() +
                                "' OSTREL_SCRIPT='" + (dir / "script.txt").string() + "' ";
    EXPECT_EQ(RunCommand(blocked + OSTREL_PROGRAM_PATH " > /dev/null 2> '" +
                         (dir / "err").string() + "'"),
              2);
    EXPECT_NE(ReadAll(dir / "err").find("cannot make the screenshot folder"), std::string::npos);
    fs::remove_all(dir);
}
