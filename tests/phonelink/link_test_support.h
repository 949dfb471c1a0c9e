// Scratch folders, stamp-shaped files and a registry of the phone link's own for
// the phone link tests.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace link_test {

namespace fs = std::filesystem;

class Scratch {
public:
    Scratch() {
        static int counter = 0;
        path_ = fs::temp_directory_path() /
                ("ostrel_link_" + std::to_string(getpid()) + "_" + std::to_string(counter++));
        fs::create_directories(path_);
    }
    ~Scratch() {
        std::error_code ignored;
        // Folders a test made read-only must open again to be removed.
        for (auto& entry : fs::recursive_directory_iterator(path_, ignored))
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(path_, ignored);
    }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

inline void Put32(std::string& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>(v >> shift);
}

// A PNG signature and header of the given size and colour type, then a data chunk
// of `payload` bytes (the link only reads the header; the rest is carried as is).
inline std::string PngBytes(std::uint32_t width, std::uint32_t height, std::uint8_t colour,
                            std::size_t payload, std::uint8_t depth = 8) {
    std::string out("\x89PNG\r\n\x1a\n", 8);
    Put32(out, 13);
    out += "IHDR";
    Put32(out, width);
    Put32(out, height);
    out += static_cast<char>(depth);
    out += static_cast<char>(colour);
    out += std::string(3, '\0');
    Put32(out, 0);
    Put32(out, static_cast<std::uint32_t>(payload));
    out += "IDAT";
    for (std::size_t i = 0; i < payload; ++i)
        out += static_cast<char>(i * 37 + 11);
    Put32(out, 0);
    Put32(out, 0);
    out += "IEND";
    Put32(out, 0);
    return out;
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Every entry below the folder with its contents (folders as "<dir>"), to compare a
// phone before and after.
inline std::map<std::string, std::string> Snapshot(const fs::path& folder) {
    std::map<std::string, std::string> entries;
    std::error_code ignored;
    for (auto& entry : fs::recursive_directory_iterator(folder, ignored)) {
        const std::string name = fs::relative(entry.path(), folder).string();
        entries[name] = entry.is_directory() ? "<dir>" : ReadFile(entry.path().string());
    }
    return entries;
}

// A registry file of the test's own with the given values under the link's key
// and the root ("Language").
inline void UseRegistry(const std::string& file, const std::string& storage,
                        const std::string& language, std::uint32_t chunkDelay = 0) {
    std::ofstream reg(file);
    reg << "Windows Registry Editor Version 5.00\n\n"
           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane\\Tessel 310-510]\n"
           "\"Language\"=\""
        << language
        << "\"\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane\\Tessel 310-510\\PhoneLink]\n"
           "\"Storage Folder\"=\""
        << storage << "\"\n";
    char delay[16];
    std::snprintf(delay, sizeof delay, "%08x", chunkDelay);
    reg << "\"Chunk Delay\"=dword:" << delay << "\n";
    setenv("OSTREL_REGISTRY", file.c_str(), 1);
}

}  // namespace link_test
