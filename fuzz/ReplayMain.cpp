// Runs every file of the given corpus directories (or the given files) through the fuzz target
// once, so the saved corpus is an ordinary test with any compiler, without libFuzzer.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

bool RunFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "cannot read %s\n", path.string().c_str());
        return false;
    }
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                                  std::istreambuf_iterator<char>());
    // A copy of exactly the input's size, so reads past the end are caught by the sanitizers.
    std::vector<std::uint8_t> input(bytes.begin(), bytes.end());
    static const std::uint8_t kNothing = 0;  // libFuzzer never passes null either
    LLVMFuzzerTestOneInput(input.empty() ? &kNothing : input.data(), input.size());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <corpus directory or file>...\n", argv[0]);
        return 2;
    }
    std::size_t runs = 0;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path path(argv[i]);
        std::error_code error;
        if (std::filesystem::is_directory(path, error)) {
            for (const auto& entry : std::filesystem::directory_iterator(path)) {
                if (entry.is_regular_file()) {
                    if (!RunFile(entry.path())) {
                        return 1;
                    }
                    ++runs;
                }
            }
        } else if (!RunFile(path)) {
            return 1;
        } else {
            ++runs;
        }
    }
    std::printf("%zu inputs run\n", runs);
    return runs == 0 ? 1 : 0;
}
