// Where the public picture suites live, relative to the project root.
#pragma once

#include <filesystem>
#include <string>

inline std::filesystem::path TestDataDir(const std::string& suite) {
    return std::filesystem::path(OSTREL_SOURCE_DIR) / ".." / "shared" / "testdata" / suite;
}
