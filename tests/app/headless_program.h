// Running the real program headless from a test: a fresh folder, the environment
// that keeps everything of the run inside it, and the README's demo.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace headless {

inline int RunCommand(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// An empty folder of this test run's own.
inline std::filesystem::path FreshFolder(const std::string& name) {
    const auto dir =
        std::filesystem::temp_directory_path() / (name + "_" + std::to_string(getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

// The program's environment: headless even where a display exists, with its
// registry, runtime folder, home and screenshots all inside `dir`.
inline std::string Environment(const std::filesystem::path& dir) {
    return "OSTREL_BACKEND=headless OSTREL_REGISTRY='" + (dir / "r.reg").string() +
           "' XDG_DATA_HOME='" + (dir / "data").string() + "' XDG_RUNTIME_DIR='" + dir.string() +
           "' HOME='" + dir.string() + "' OSTREL_SCREENSHOTS='" + dir.string() + "' ";
}

// The README's demo as ./run.sh runs it, browsing the pictures drawn at build
// time; what it prints goes to dir/out.txt, its screens into dir.
inline void RunDemo(const std::filesystem::path& dir) {
    const std::string env = Environment(dir);
    std::ofstream(dir / "r.reg") << "Windows Registry Editor Version 5.00\n\n"
                                    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane\\Tessel 310-510\\"
                                    "Customization Wizards\\user]\n"
                                    "\"BrowseStamp\"=\"" OSTREL_DEMO_PICTURES "\"\n";
    ASSERT_EQ(RunCommand(env + OSTREL_SETUP_PATH " > /dev/null"), 0);
    ASSERT_EQ(RunCommand(env + "OSTREL_SCRIPT='" OSTREL_SOURCE_DIR "/data/demo/walkthrough.txt' " +
                         OSTREL_PROGRAM_PATH " > '" + (dir / "out.txt").string() + "'"),
              0);
}

}  // namespace headless
