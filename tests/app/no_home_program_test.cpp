// The wizard and its setup where the environment gives no usable home: the user
// database gives it, and where that has none either both refuse before they
// touch a file. Nothing is ever written below the folder they were started in.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/headless_program.h"

namespace fs = std::filesystem;

namespace {

using headless::FreshFolder;
using headless::RunCommand;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A folder anybody may write in, as the folder a program is started from may be.
fs::path StartFolder(const fs::path& dir) {
    const fs::path cwd = dir / "cwd";
    fs::create_directories(cwd);
    fs::permissions(cwd, fs::perms::all);
    return cwd;
}

// Runs `command` from `cwd` in a mount namespace of its own where /etc/passwd is
// `passwd`: the user database the programs see is the test's. Needs root.
int WithUserDatabase(const fs::path& passwd, const fs::path& cwd, const std::string& command) {
    return RunCommand("cd '" + cwd.string() + "' && unshare --mount sh -c \"mount --bind '" +
                      passwd.string() + "' /etc/passwd && " + command + "\"");
}

// Why the user database cannot be replaced here; empty when it can.
std::string NoOwnUserDatabase() {
    if (geteuid() != 0) return "not root: the user database cannot be replaced for a child";
    if (RunCommand("unshare --mount true 2>/dev/null") != 0) return "unshare --mount fails here";
    return "";
}

}  // namespace

// Relative XDG folders are ignored: the registry and the defaults lie below HOME.
TEST(NoHomeProgram, RelativeBaseFoldersAreIgnored) {
    const fs::path dir = FreshFolder("ostrel_relative_xdg");
    const fs::path cwd = StartFolder(dir);
    const std::string env = "cd '" + cwd.string() + "' && env -u OSTREL_REGISTRY HOME='" +
                            (dir / "home").string() +
                            "' XDG_CONFIG_HOME=.config XDG_DATA_HOME=data XDG_RUNTIME_DIR=run ";
    ASSERT_EQ(RunCommand(env + OSTREL_SETUP_PATH " > /dev/null"), 0);
    const std::string registry = ReadAll(dir / "home/.config/norvane/registry.reg");
    EXPECT_NE(registry.find("\"Installation Path\"=\"" + (dir / "home").string() +
                            "/.local/share/norvane/wizards/\""),
              std::string::npos)
        << registry;
    EXPECT_TRUE(fs::is_empty(cwd));
    fs::remove_all(dir);
}

// HOME unset or empty: the user database names the home, for both programs.
TEST(NoHomeProgram, TheUserDatabaseGivesTheHomeWhenTheEnvironmentDoesNot) {
    if (const std::string why = NoOwnUserDatabase(); !why.empty()) GTEST_SKIP() << why;
    const fs::path dir = FreshFolder("ostrel_database_home");
    const fs::path cwd = StartFolder(dir);
    const fs::path home = dir / "home";
    std::ofstream(dir / "passwd") << "root:x:0:0:root:" << home.string() << ":/bin/sh\n";
    std::ofstream(dir / "quit.txt") << "quit\n";
    const std::string env =
        "env -u HOME -u OSTREL_REGISTRY -u XDG_CONFIG_HOME -u XDG_DATA_HOME "
        "OSTREL_BACKEND=headless XDG_RUNTIME_DIR='" +
        dir.string() + "' ";
    ASSERT_EQ(WithUserDatabase(dir / "passwd", cwd, env + OSTREL_SETUP_PATH " > /dev/null"), 0);
    const std::string registry = ReadAll(home / ".config/norvane/registry.reg");
    EXPECT_NE(registry.find("\"BrowseStamp\"=\"" + home.string() + "/Pictures/\""),
              std::string::npos)
        << registry;
    // The wizard reads that registry: no box tells of a missing value.
    ASSERT_EQ(
        WithUserDatabase(dir / "passwd", cwd,
                         env + "HOME= OSTREL_SCREENSHOTS='" + dir.string() + "' OSTREL_SCRIPT='" +
                             (dir / "quit.txt").string() + "' " OSTREL_PROGRAM_PATH " > '" +
                             (dir / "out.txt").string() + "'"),
        0);
    EXPECT_EQ(ReadAll(dir / "out.txt").find("message box"), std::string::npos)
        << ReadAll(dir / "out.txt");
    EXPECT_TRUE(fs::is_empty(cwd));
    fs::remove_all(dir);
}

// Neither the environment nor the user database: both refuse, and say why.
TEST(NoHomeProgram, WithoutAnyHomeBothProgramsRefuse) {
    if (const std::string why = NoOwnUserDatabase(); !why.empty()) GTEST_SKIP() << why;
    const fs::path dir = FreshFolder("ostrel_no_home");
    const fs::path cwd = StartFolder(dir);
    std::ofstream(dir / "passwd") << "root:x:0:0:root:/root:/bin/sh\n";  // no entry for 54321
    std::ofstream(dir / "quit.txt") << "quit\n";
    fs::permissions(dir, fs::perms::all);
    fs::permissions(dir / "quit.txt", fs::perms::all);
    const std::string stranger =
        "setpriv --reuid=54321 --regid=54321 --clear-groups env -u OSTREL_REGISTRY "
        "-u XDG_CONFIG_HOME -u XDG_DATA_HOME OSTREL_BACKEND=headless OSTREL_SCRIPT='" +
        (dir / "quit.txt").string() + "' ";
    for (const std::string& home : {std::string("-u HOME "), std::string("HOME= ")}) {
        for (const char* program : {OSTREL_SETUP_PATH, OSTREL_PROGRAM_PATH}) {
            const fs::path err = dir / "err.txt";
            EXPECT_EQ(WithUserDatabase(dir / "passwd", cwd,
                                       stranger + "env " + home + program + " 2> '" + err.string() +
                                           "' > /dev/null"),
                      1)
                << program << " with " << home;
            const std::string said = ReadAll(err);
            EXPECT_NE(said.find("cannot find your home folder"), std::string::npos) << said;
            EXPECT_NE(said.find("no entry for user 54321"), std::string::npos) << said;
            EXPECT_TRUE(fs::is_empty(cwd)) << program << " wrote below the folder it started in";
        }
    }
    fs::remove_all(dir);
}
