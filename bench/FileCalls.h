// FileCalls: counts the file calls a stretch of code makes, and the raw calls that replay the
// same number of them. The counter defines the C library's file functions in the benchmark
// executable itself, so that the static core's calls and those the C++ library makes on the
// core's behalf (std::fstream, std::filesystem) both pass through it on their way to the C
// library.
#pragma once

#include <string>
#include <vector>

namespace brindlewick::bench {

struct FileCallCounts {
    int opens = 0;    // open, openat, fopen
    int reads = 0;    // read, pread
    int writes = 0;   // write, writev, pwrite
    int closes = 0;   // close, fclose
    int syncs = 0;    // fsync, fdatasync
    int seeks = 0;    // lseek
    int queries = 0;  // stat, lstat, fstat, fstatat, statx
    int changes = 0;  // chmod, fchmodat

    bool operator==(const FileCallCounts&) const = default;
};

// Starts counting from zero.
void StartCounting();
// Stops counting and returns what was counted since StartCounting.
FileCallCounts StopCounting();

std::string Describe(const FileCallCounts& counts);

// Replays exactly counts.opens opens, counts.reads single-byte preads, counts.writes
// single-byte pwrites, counts.syncs fdatasyncs and counts.closes closes on `path`, spread
// evenly over the opens, straight on the C library (never counted). The transfers touch the
// bytes from `offset` on. Returns false when a call fails.
bool ReplayFloor(const std::string& path, long offset, const FileCallCounts& counts);

// Bytes that lie next to each other in the file, written in one call.
struct FileRun {
    long offset = 0;
    std::vector<unsigned char> bytes;
};

// The least a write of `runs` takes: one open, one pwrite per run, one fdatasync and one
// close on `path`, straight on the C library (never counted). Returns false when a call fails.
bool WriteRunsFloor(const std::string& path, const std::vector<FileRun>& runs);

// The least a read of the whole file takes: one open, preads of `block` bytes from its start to
// its end, one close, straight on the C library (never counted). Returns false when a call
// fails.
bool ReadWholeFileFloor(const std::string& path, std::size_t block);

}  // namespace brindlewick::bench
