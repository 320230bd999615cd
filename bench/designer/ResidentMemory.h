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

inline double megabytes(std::int64_t b) {
    return double(b) / 1e6;
}

} // namespace resident
