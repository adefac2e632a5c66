// FileCalls: counts the file calls a stretch of code makes, and the raw calls that replay the
// same number of them. The counter defines the C library's file functions in the benchmark
// executable itself, so that the static core's calls and those the C++ library makes on the
// core's behalf (std::fstream, std::filesystem) both pass through it on their way to the C
// library.
#pragma once

#include <string>
#include <vector>

#include "EveryBit.h"

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

// The least a write of `runs` takes: one open, one pwrite per run, one fdatasync and one
// close on `path`, straight on the C library (never counted). Returns false when a call fails.
bool WriteRunsFloor(const std::string& path, const std::vector<FileRun>& runs);

// The least a read of the whole file takes: one open, preads of `block` bytes from its start to
// its end, one close, straight on the C library (never counted). Returns false when a call
// fails.
bool ReadWholeFileFloor(const std::string& path, std::size_t block);

// The least a patch of two files takes: each of `sources` opened, read whole by one pread into
// a buffer of its own, and closed; then `bytes` put in place of `target` as a durable write
// does it: a new file beside it created, one pwrite, one fdatasync, one close, a rename over
// `target`, and the folder flushed (open, fsync, close). Straight on the C library (never
// counted). Returns false when a call fails.
bool ReadWholeThenReplaceFloor(const std::vector<std::string>& sources, const std::string& target,
                               const std::vector<unsigned char>& bytes);

}  // namespace brindlewick::bench
