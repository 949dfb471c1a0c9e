// Runs a fuzz target's entry point once on each file named, and on every file in
// each folder named (folders that do not exist are skipped), without libFuzzer: the
// seeds and the inputs that once failed are replayed with every test run.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "malloc_limit.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size);

namespace {

constexpr const char kLimitOption[] = "-malloc_limit_mb=";

// -malloc_limit_mb=N, as libFuzzer takes it; 0 when not given.
std::size_t MallocLimit(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]).rfind(kLimitOption, 0) == 0)
            return std::stoul(argv[i] + sizeof kLimitOption - 1) << 20;
    return 0;
}

std::vector<std::filesystem::path> Inputs(int argc, char** argv) {
    std::vector<std::filesystem::path> files;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]).rfind(kLimitOption, 0) == 0) continue;
        const std::filesystem::path path(argv[i]);
        if (std::filesystem::is_directory(path)) {
            std::vector<std::filesystem::path> found;
            for (const auto& entry : std::filesystem::recursive_directory_iterator(path))
                if (entry.is_regular_file()) found.push_back(entry.path());
            std::sort(found.begin(), found.end());
            files.insert(files.end(), found.begin(), found.end());
        } else if (std::filesystem::exists(path)) {
            files.push_back(path);
        }
    }
    return files;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::filesystem::path> files = Inputs(argc, argv);
    SetMallocLimit(MallocLimit(argc, argv));
    for (const auto& file : files) {
        SetMallocLimitInput(file.c_str());
        std::ifstream in(file, std::ios::binary);
        const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                               std::istreambuf_iterator<char>());
        if (!in.eof() && in.fail()) {
            std::fprintf(stderr, "cannot read %s\n", file.c_str());
            return 1;
        }
        // An empty vector's data() may be null; the fuzzer never passes null.
        const unsigned char none = 0;
        LLVMFuzzerTestOneInput(bytes.empty() ? &none : bytes.data(), bytes.size());
    }
    std::printf("replayed %zu inputs\n", files.size());
    // No input at all means the seeds went missing: that is a failure too.
    return files.empty() ? 1 : 0;
}
