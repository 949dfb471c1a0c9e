// Helpers of the player tests: movies from text, folders to write files in.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "player/movie_parser.h"

namespace player_test {

// "pennon 1" and a stage, then `body`.
inline std::string WithHeader(const std::string& body, int fps = 12) {
    return "pennon 1\nstage 580 411 fps " + std::to_string(fps) + " background #ffffff\n" + body;
}

inline std::shared_ptr<const player::Movie> Parse(const std::string& text,
                                                  const std::string& folder = {}) {
    std::string error;
    auto movie = player::ParseMovie(text, folder, &error);
    EXPECT_TRUE(movie) << error;
    return movie;
}

inline std::string ParseError(const std::string& text, const std::string& folder = {}) {
    std::string error;
    EXPECT_FALSE(player::ParseMovie(text, folder, &error)) << "accepted:\n" << text;
    return error;
}

// A fresh folder under the test's temporary folder, removed afterwards.
class TempFolder {
public:
    TempFolder() {
        static int counter = 0;
        path_ = std::filesystem::path(testing::TempDir()) /
                ("ostrel_player_" + std::to_string(::getpid()) + "_" + std::to_string(++counter));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string Path() const { return path_.string(); }
    std::string Write(const std::string& name, const std::string& text) const {
        const auto file = path_ / name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << text;
        return file.string();
    }

private:
    std::filesystem::path path_;
};

inline std::string SampleMoviePath() {
    return std::string(OSTREL_SOURCE_DIR) + "/tests/player/data/sample.swf";
}

}  // namespace player_test
