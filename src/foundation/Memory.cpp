#include "Memory.h"

#include <atomic>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <string>

#include <sys/mman.h>
#include <unistd.h>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace memory {
namespace {

// Blocks from this size on are asked to be backed by large pages.
constexpr std::size_t kLargePageFrom = std::size_t(4) << 20;

void* heapAllocZeroed(std::size_t bytes) {
    void* block = std::calloc(bytes == 0 ? 1 : bytes, 1);
#if defined(MADV_HUGEPAGE)
    // A large block is fresh memory that faults in page by page on its first write, and on
    // virtual machines each fault is dear: a new picture's first pass then costs more than the
    // work itself. Large pages take one fault per 2 MB. Only advice: ignored where unsupported.
    if (block && bytes >= kLargePageFrom) {
        const auto page = std::uintptr_t(sysconf(_SC_PAGESIZE));
        const std::uintptr_t begin = (std::uintptr_t(block) + page - 1) & ~(page - 1);
        const std::uintptr_t end = (std::uintptr_t(block) + bytes) & ~(page - 1);
        if (end > begin) {
            madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
        }
    }
#endif
    return block;
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
