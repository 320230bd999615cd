#pragma once

#include <cstddef>
#include <cstdint>

// All blocks of pictures, record arrays and owned texts come from here, so that one
// release routine fits every block and tests can simulate a machine that runs out of memory.
namespace memory {

// Returns a zero-filled block of `bytes` bytes, or nullptr when it cannot be obtained.
// A request of 0 bytes yields a valid one-byte block.
void* allocZeroed(std::size_t bytes);

// Releases a block from allocZeroed; nullptr is ignored.
void release(void* block);

// Bytes the program can still take without pushing the machine into swapping or the
// out-of-memory killer: the system's available memory, bounded by the control group's limit.
// Lazy overcommit means a large request rarely fails outright here, so work that may need
// gigabytes (huge charts full of pictures) plans against this figure instead.
std::uint64_t availableBytes();

// What one large piece of work (a new chart, a file being read, an exported picture) may
// take: the available memory less an eighth kept for drawing, editing and the system.
std::uint64_t budgetBytes();

// Hands memory that was freed but is still held by the heap back to the system, after a large
// piece of work was released (a big chart replaced by a small one).
void giveBack();

// Test hook: while installed, every request goes through `allocator` instead of the heap.
// The replacement must return blocks that std::free can release (or nullptr).
using Allocator = void* (*)(std::size_t bytes);
void setAllocator(Allocator allocator);
void resetAllocator();

} // namespace memory
