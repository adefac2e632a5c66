#include "FileCalls.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace brindlewick::bench {
namespace {

bool g_counting = false;
FileCallCounts g_counts;

// The C library's own definition of `name`, the next one after this executable's.
template <typename Function>
Function* Next(const char* name) {
    void* symbol = dlsym(RTLD_NEXT, name);
    if (symbol == nullptr) {
        std::fprintf(stderr, "brindlewick_bench: the C library has no %s\n", name);
        std::abort();
    }
    return reinterpret_cast<Function*>(symbol);
}

void Count(int FileCallCounts::*field) {
    if (g_counting) {
        ++(g_counts.*field);
    }
}

// The mode argument of open exists only when the flags create a file.
bool TakesMode(int flags) {
    return (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE;
}

}  // namespace

void StartCounting() {
    g_counts = {};
    g_counting = true;
}

FileCallCounts StopCounting() {
    g_counting = false;
    return g_counts;
}

std::string Describe(const FileCallCounts& counts) {
    std::string text = std::to_string(counts.opens) + " open, " + std::to_string(counts.reads) +
                       " read, " + std::to_string(counts.writes) + " write, " +
                       std::to_string(counts.syncs) + " sync, " + std::to_string(counts.closes) +
                       " close";
    const int others = counts.seeks + counts.queries + counts.changes;
    if (others > 0) {
        text += " + " + std::to_string(counts.seeks) + " seek, " + std::to_string(counts.queries) +
                " stat, " + std::to_string(counts.changes) + " chmod";
    }
    return text;
}

bool ReplayFloor(const std::string& path, long offset, const FileCallCounts& counts) {
    static auto* const realOpen = Next<int(const char*, int, ...)>("open");
    static auto* const realPread = Next<ssize_t(int, void*, size_t, off_t)>("pread");
    static auto* const realPwrite = Next<ssize_t(int, const void*, size_t, off_t)>("pwrite");
    static auto* const realFdatasync = Next<int(int)>("fdatasync");
    static auto* const realClose = Next<int(int)>("close");

    const int opens = counts.opens > 0 ? counts.opens : 1;
    unsigned char byte = 0;
    long position = offset;
    bool ok = true;
    for (int i = 0; i < opens; ++i) {
        // The transfers of the workflow, dealt out over its opens as evenly as they go.
        const int reads = counts.reads / opens + (i < counts.reads % opens ? 1 : 0);
        const int writes = counts.writes / opens + (i < counts.writes % opens ? 1 : 0);
        const int syncs = counts.syncs / opens + (i < counts.syncs % opens ? 1 : 0);
        const bool writing = writes > 0 || syncs > 0;
        const int fd = counts.opens > 0 ? realOpen(path.c_str(), writing ? O_RDWR : O_RDONLY)
                                        : realOpen(path.c_str(), O_RDWR);
        if (fd < 0) {
            return false;
        }
        for (int r = 0; r < reads; ++r) {
            ok = realPread(fd, &byte, 1, position++) == 1 && ok;
        }
        for (int w = 0; w < writes; ++w) {
            ok = realPwrite(fd, &byte, 1, position++) == 1 && ok;
        }
        for (int s = 0; s < syncs; ++s) {
            ok = realFdatasync(fd) == 0 && ok;
        }
        if (counts.closes > 0 || counts.opens == 0) {
            ok = realClose(fd) == 0 && ok;
        }
    }
    return ok;
}

bool WriteRunsFloor(const std::string& path, const std::vector<FileRun>& runs) {
    static auto* const realOpen = Next<int(const char*, int, ...)>("open");
    static auto* const realPwrite = Next<ssize_t(int, const void*, size_t, off_t)>("pwrite");
    static auto* const realFdatasync = Next<int(int)>("fdatasync");
    static auto* const realClose = Next<int(int)>("close");

    const int fd = realOpen(path.c_str(), O_RDWR);
    if (fd < 0) {
        return false;
    }
    bool ok = true;
    for (const FileRun& run : runs) {
        ok = realPwrite(fd, run.bytes.data(), run.bytes.size(), run.offset) ==
                 static_cast<ssize_t>(run.bytes.size()) &&
             ok;
    }
    ok = realFdatasync(fd) == 0 && ok;
    return realClose(fd) == 0 && ok;
}

bool ReadWholeFileFloor(const std::string& path, std::size_t block) {
    static auto* const realOpen = Next<int(const char*, int, ...)>("open");
    static auto* const realPread = Next<ssize_t(int, void*, size_t, off_t)>("pread");
    static auto* const realClose = Next<int(int)>("close");

    const int fd = realOpen(path.c_str(), O_RDONLY);
    if (fd < 0) {
        return false;
    }
    std::vector<unsigned char> buffer(block);
    bool ok = true;
    for (off_t at = 0;; at += static_cast<off_t>(block)) {
        const ssize_t count = realPread(fd, buffer.data(), block, at);
        if (count <= 0) {
            ok = count == 0 && ok;
            break;
        }
    }
    return realClose(fd) == 0 && ok;
}

}  // namespace brindlewick::bench

// The counted functions. Each one counts itself and passes the call on unchanged; nothing else
// of the program sees a difference.
using brindlewick::bench::FileCallCounts;
using brindlewick::bench::Next;
using brindlewick::bench::TakesMode;

namespace {

template <typename Function>
Function* Real(Function*& cache, const char* name) {
    if (cache == nullptr) {
        cache = Next<Function>(name);
    }
    return cache;
}

}  // namespace

#define BRINDLEWICK_FORWARD(field, name, type, ...)    \
    brindlewick::bench::Count(&FileCallCounts::field); \
    using Function = type;                             \
    static Function* real = nullptr;                   \
    return Real(real, #name)(__VA_ARGS__)

extern "C" {

int open(const char* path, int flags, ...) {
    mode_t mode = 0;
    if (TakesMode(flags)) {
        va_list arguments;
        va_start(arguments, flags);
        mode = va_arg(arguments, mode_t);
        va_end(arguments);
    }
    BRINDLEWICK_FORWARD(opens, open, int(const char*, int, ...), path, flags, mode);
}
int open64(const char* path, int flags, ...) {
    mode_t mode = 0;
    if (TakesMode(flags)) {
        va_list arguments;
        va_start(arguments, flags);
        mode = va_arg(arguments, mode_t);
        va_end(arguments);
    }
    BRINDLEWICK_FORWARD(opens, open64, int(const char*, int, ...), path, flags, mode);
}
int openat(int dir, const char* path, int flags, ...) {
    mode_t mode = 0;
    if (TakesMode(flags)) {
        va_list arguments;
        va_start(arguments, flags);
        mode = va_arg(arguments, mode_t);
        va_end(arguments);
    }
    BRINDLEWICK_FORWARD(opens, openat, int(int, const char*, int, ...), dir, path, flags, mode);
}
int openat64(int dir, const char* path, int flags, ...) {
    mode_t mode = 0;
    if (TakesMode(flags)) {
        va_list arguments;
        va_start(arguments, flags);
        mode = va_arg(arguments, mode_t);
        va_end(arguments);
    }
    BRINDLEWICK_FORWARD(opens, openat64, int(int, const char*, int, ...), dir, path, flags, mode);
}
FILE* fopen(const char* path, const char* mode) {
    BRINDLEWICK_FORWARD(opens, fopen, FILE * (const char*, const char*), path, mode);
}
FILE* fopen64(const char* path, const char* mode) {
    BRINDLEWICK_FORWARD(opens, fopen64, FILE * (const char*, const char*), path, mode);
}
int close(int fd) {
    BRINDLEWICK_FORWARD(closes, close, int(int), fd);
}
int fclose(FILE* stream) {
    BRINDLEWICK_FORWARD(closes, fclose, int(FILE*), stream);
}
ssize_t read(int fd, void* buffer, size_t size) {
    BRINDLEWICK_FORWARD(reads, read, ssize_t(int, void*, size_t), fd, buffer, size);
}
ssize_t pread(int fd, void* buffer, size_t size, off_t offset) {
    BRINDLEWICK_FORWARD(reads, pread, ssize_t(int, void*, size_t, off_t), fd, buffer, size, offset);
}
ssize_t pread64(int fd, void* buffer, size_t size, off64_t offset) {
    BRINDLEWICK_FORWARD(reads, pread64, ssize_t(int, void*, size_t, off64_t), fd, buffer, size,
                        offset);
}
ssize_t write(int fd, const void* buffer, size_t size) {
    BRINDLEWICK_FORWARD(writes, write, ssize_t(int, const void*, size_t), fd, buffer, size);
}
ssize_t writev(int fd, const struct iovec* vectors, int count) {
    BRINDLEWICK_FORWARD(writes, writev, ssize_t(int, const struct iovec*, int), fd, vectors, count);
}
ssize_t pwrite(int fd, const void* buffer, size_t size, off_t offset) {
    BRINDLEWICK_FORWARD(writes, pwrite, ssize_t(int, const void*, size_t, off_t), fd, buffer, size,
                        offset);
}
ssize_t pwrite64(int fd, const void* buffer, size_t size, off64_t offset) {
    BRINDLEWICK_FORWARD(writes, pwrite64, ssize_t(int, const void*, size_t, off64_t), fd, buffer,
                        size, offset);
}
int fsync(int fd) {
    BRINDLEWICK_FORWARD(syncs, fsync, int(int), fd);
}
int fdatasync(int fd) {
    BRINDLEWICK_FORWARD(syncs, fdatasync, int(int), fd);
}
off_t lseek(int fd, off_t offset, int whence) {
    BRINDLEWICK_FORWARD(seeks, lseek, off_t(int, off_t, int), fd, offset, whence);
}
off64_t lseek64(int fd, off64_t offset, int whence) {
    BRINDLEWICK_FORWARD(seeks, lseek64, off64_t(int, off64_t, int), fd, offset, whence);
}
int stat(const char* path, struct stat* status) {
    BRINDLEWICK_FORWARD(queries, stat, int(const char*, struct stat*), path, status);
}
int stat64(const char* path, struct stat64* status) {
    BRINDLEWICK_FORWARD(queries, stat64, int(const char*, struct stat64*), path, status);
}
int lstat(const char* path, struct stat* status) {
    BRINDLEWICK_FORWARD(queries, lstat, int(const char*, struct stat*), path, status);
}
int lstat64(const char* path, struct stat64* status) {
    BRINDLEWICK_FORWARD(queries, lstat64, int(const char*, struct stat64*), path, status);
}
int fstat(int fd, struct stat* status) {
    BRINDLEWICK_FORWARD(queries, fstat, int(int, struct stat*), fd, status);
}
int fstat64(int fd, struct stat64* status) {
    BRINDLEWICK_FORWARD(queries, fstat64, int(int, struct stat64*), fd, status);
}
int fstatat(int dir, const char* path, struct stat* status, int flags) {
    BRINDLEWICK_FORWARD(queries, fstatat, int(int, const char*, struct stat*, int), dir, path,
                        status, flags);
}
int fstatat64(int dir, const char* path, struct stat64* status, int flags) {
    BRINDLEWICK_FORWARD(queries, fstatat64, int(int, const char*, struct stat64*, int), dir, path,
                        status, flags);
}
int statx(int dir, const char* path, int flags, unsigned mask, struct statx* status) {
    BRINDLEWICK_FORWARD(queries, statx, int(int, const char*, int, unsigned, struct statx*), dir,
                        path, flags, mask, status);
}
int chmod(const char* path, mode_t mode) {
    BRINDLEWICK_FORWARD(changes, chmod, int(const char*, mode_t), path, mode);
}
int fchmodat(int dir, const char* path, mode_t mode, int flags) {
    BRINDLEWICK_FORWARD(changes, fchmodat, int(int, const char*, mode_t, int), dir, path, mode,
                        flags);
}

}  // extern "C"
