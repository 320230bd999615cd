#pragma once

#include <cstdint>
#include <cstdio>

#include <malloc.h>
#include <unistd.h>

// Resident memory of this process, for benchmarks that report what a chart holds.
namespace resident {

inline std::int64_t bytes() {
    long pages = 0;
    long residentPages = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &residentPages) != 2) {
            residentPages = 0;
        }
        std::fclose(statm);
    }
    return std::int64_t(residentPages) * sysconf(_SC_PAGESIZE);
}

// Resident memory once the heap has given its free pages back, so that what a benchmark then
// allocates shows in the difference instead of reusing pages freed by earlier benchmarks.
inline std::int64_t baseline() {
    malloc_trim(0);
    return bytes();
}

// Starts the peak of resident memory afresh at what is resident now.
inline void resetPeak() {
    if (std::FILE* refs = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", refs);
        std::fclose(refs);
    }
}

// The peak of resident memory since the program started or resetPeak was called.
inline std::int64_t peakBytes() {
    std::int64_t kilobytes = 0;
    if (std::FILE* status = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, status)) {
            if (std::sscanf(line, "VmHWM: %ld kB", &kilobytes) == 1) {
                break;
            }
        }
        std::fclose(status);
    }
    return kilobytes * 1024;
}

inline double megabytes(std::int64_t b) {
    return double(b) / 1e6;
}

} // namespace resident
