// Support: what the benchmark's figures share: the thread's processor time, batches of
// repetitions long enough for the clock, a scratch image of a supported release, and a message
// sink that keeps what a run reported.
#pragma once

#include <stdlib.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/Messages.h"

namespace brindlewick::bench {

// The release every figure works on.
inline constexpr const char* kGameCode = "AAUE";
inline constexpr std::size_t kImageSize = 2 * 1024 * 1024;
inline constexpr std::size_t kGameCodeOffset = 0x13F;
// Each timed batch lasts at least this long, so that the clock's resolution does not count.
inline constexpr double kMinimumBatchMicroseconds = 3000;

// The processor time this thread has used, in the kernel included, in microseconds. Unlike the
// wall clock it leaves out the time the thread waits while other programs run.
inline double ThreadMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

// How many repetitions make one batch last at least kMinimumBatchMicroseconds.
inline int BatchSize(const std::function<void()>& once) {
    int repetitions = 1;
    for (;;) {
        const double start = ThreadMicroseconds();
        for (int i = 0; i < repetitions; ++i) {
            once();
        }
        if (ThreadMicroseconds() - start >= kMinimumBatchMicroseconds) {
            return repetitions;
        }
        repetitions *= 2;
    }
}

// Microseconds per repetition of one batch.
inline double TimeBatch(const std::function<void()>& once, int repetitions) {
    const double start = ThreadMicroseconds();
    for (int i = 0; i < repetitions; ++i) {
        once();
    }
    return (ThreadMicroseconds() - start) / repetitions;
}

// Keeps the last message and how many came, so a run can tell success from a failure. A
// question is answered no.
class CountingSink final : public MessageSink {
public:
    void Show(const Message& message) override {
        ++count;
        last = message;
    }

    int count = 0;
    Message last;
};

// A temporary folder holding a 2 MiB image of a supported release, removed at the end: a plain
// one (zeros and the game code), or the bytes given.
class ScratchImage {
public:
    ScratchImage() : ScratchImage(PlainImage()) {}
    explicit ScratchImage(const std::vector<unsigned char>& bytes) {
        namespace fs = std::filesystem;
        std::string pattern = (fs::temp_directory_path() / "brindlewick-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::perror("brindlewick_bench: mkdtemp");
            std::exit(1);
        }
        m_folder = pattern;
        m_path = (m_folder / "bench.gbc").string();
        std::ofstream(m_path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    ~ScratchImage() {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
    ScratchImage(const ScratchImage&) = delete;
    ScratchImage& operator=(const ScratchImage&) = delete;

    const std::string& Path() const { return m_path; }

private:
    static std::vector<unsigned char> PlainImage() {
        std::vector<unsigned char> bytes(kImageSize, 0);
        std::copy_n(kGameCode, 4, bytes.begin() + kGameCodeOffset);
        return bytes;
    }

    std::filesystem::path m_folder;
    std::string m_path;
};

}  // namespace brindlewick::bench
