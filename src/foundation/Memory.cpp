#include "Memory.h"

#include <atomic>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <string>

#include <unistd.h>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace memory {
namespace {

void* heapAllocZeroed(std::size_t bytes) {
    return std::calloc(bytes == 0 ? 1 : bytes, 1);
}

// Pictures are also made on the thread that writes recovery copies.
std::atomic<Allocator> currentAllocator{&heapAllocZeroed};

std::uint64_t memAvailableFromProc() {
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    std::uint64_t kilobytes = 0;
    std::string unit;
    while (meminfo >> key >> kilobytes >> unit) {
        if (key == "MemAvailable:") {
            return kilobytes * 1024;
        }
    }
    const long pages = sysconf(_SC_AVPHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    return pages > 0 && pageSize > 0 ? std::uint64_t(pages) * std::uint64_t(pageSize)
                                     : std::numeric_limits<std::uint64_t>::max();
}

// Room left under a cgroup v2 memory limit ("max" means none).
std::uint64_t cgroupRoom() {
    std::ifstream limitFile("/sys/fs/cgroup/memory.max");
    std::ifstream currentFile("/sys/fs/cgroup/memory.current");
    std::string limit;
    std::uint64_t current = 0;
    if (!(limitFile >> limit) || limit == "max" || !(currentFile >> current)) {
        return std::numeric_limits<std::uint64_t>::max();
    }
    std::uint64_t max = 0;
    if (std::from_chars(limit.data(), limit.data() + limit.size(), max).ec != std::errc{}) {
        return std::numeric_limits<std::uint64_t>::max();
    }
    return max > current ? max - current : 0;
}

} // namespace

std::uint64_t availableBytes() {
    const std::uint64_t system = memAvailableFromProc();
    const std::uint64_t group = cgroupRoom();
    return system < group ? system : group;
}

std::uint64_t budgetBytes() {
    const std::uint64_t available = availableBytes();
    return available - available / 8;
}

void giveBack() {
#if defined(__GLIBC__)
    // The heap keeps freed pages of small blocks, and blocks between still used ones, mapped
    // until the program ends; trimming returns every whole free page.
    malloc_trim(0);
#endif
}

void* allocZeroed(std::size_t bytes) {
    return currentAllocator.load()(bytes);
}

void release(void* block) {
    std::free(block);
}

void setAllocator(Allocator allocator) {
    currentAllocator = allocator ? allocator : &heapAllocZeroed;
}

void resetAllocator() {
    currentAllocator = &heapAllocZeroed;
}

} // namespace memory
