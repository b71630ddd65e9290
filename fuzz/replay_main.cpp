// Feeds every input once to a fuzz target built without libFuzzer: the seeds and the kept
// findings of the fuzz runs stay regression tests of the normal build. Arguments are files
// or directories (read recursively, in name order); an argument that names nothing, or no
// input at all, is an error, so that a moved corpus cannot pass unnoticed.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

namespace fs = std::filesystem;

bool collect(const fs::path& path, std::vector<fs::path>& files) {
    std::error_code ec;
    if (fs::is_regular_file(path, ec)) {
        files.push_back(path);
        return true;
    }
    if (!fs::is_directory(path, ec)) {
        return false;
    }
    std::vector<fs::path> found;
    for (const auto& entry : fs::recursive_directory_iterator(path, ec)) {
        if (entry.is_regular_file()) {
            found.push_back(entry.path());
        }
    }
    std::sort(found.begin(), found.end());
    files.insert(files.end(), found.begin(), found.end());
    return !ec;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<fs::path> files;
    for (int i = 1; i < argc; ++i) {
        if (!collect(argv[i], files)) {
            std::fprintf(stderr, "replay: no input at %s\n", argv[i]);
            return 2;
        }
    }
    if (files.empty()) {
        std::fprintf(stderr, "replay: no input to replay\n");
        return 2;
    }
    for (const fs::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                      std::istreambuf_iterator<char>()};
        // A block of exactly the input's size, as the fuzzer hands it: a read past its end
        // is caught by the sanitizer.
        const auto copy = std::make_unique<uint8_t[]>(bytes.size() + (bytes.empty() ? 1 : 0));
        std::copy(bytes.begin(), bytes.end(), copy.get());
        std::printf("replay %s (%zu bytes)\n", file.c_str(), bytes.size());
        std::fflush(stdout);
        LLVMFuzzerTestOneInput(copy.get(), bytes.size());
    }
    std::printf("replayed %zu inputs\n", files.size());
    return 0;
}
