// Replays the committed inputs of one fuzz target without libFuzzer: every file of the folders
// named on the command line goes once through the target's LLVMFuzzerTestOneInput, so a
// normal build's test run checks the same properties on the seeds. A broken property aborts,
// as it does under libFuzzer.
// Usage: replay_<name> FOLDER...
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
// A target may set itself up once before the first input, as libFuzzer allows.
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

int main(int argc, char* argv[]) {
    namespace fs = std::filesystem;
    if (argc < 2) {
        std::fprintf(stderr, "Usage: %s FOLDER...\n", argv[0]);
        return 2;
    }
    if (LLVMFuzzerInitialize != nullptr) {
        LLVMFuzzerInitialize(&argc, &argv);
    }
    int replayed = 0;
    for (int folder = 1; folder < argc; ++folder) {
        std::error_code error;
        std::vector<fs::path> inputs;
        for (const auto& entry : fs::directory_iterator(argv[folder], error)) {
            if (entry.is_regular_file()) {
                inputs.push_back(entry.path());
            }
        }
        if (error) {
            std::fprintf(stderr, "%s: %s\n", argv[folder], error.message().c_str());
            return 1;
        }
        // In name order, so a failing run can be repeated input by input.
        std::sort(inputs.begin(), inputs.end());
        for (const fs::path& input : inputs) {
            std::ifstream file(input, std::ios::binary);
            const std::vector<char> bytes{std::istreambuf_iterator<char>(file),
                                          std::istreambuf_iterator<char>()};
            if (!file.good() && !file.eof()) {
                std::fprintf(stderr, "%s: cannot be read\n", input.c_str());
                return 1;
            }
            std::printf("%s\n", input.filename().c_str());
            std::fflush(stdout);
            // A copy of exactly the input's size, so a read past its end is caught by the
            // sanitizers as it would be under libFuzzer.
            std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
            LLVMFuzzerTestOneInput(data.empty() ? nullptr : data.data(), data.size());
            ++replayed;
        }
    }
    if (replayed == 0) {
        std::fprintf(stderr, "no inputs to replay\n");
        return 1;
    }
    std::printf("replayed %d inputs\n", replayed);
    return 0;
}
