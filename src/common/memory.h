#pragma once

#include <cstddef>
#include <string_view>

namespace sornik {

// A request of at least this many bytes that cannot be met makes getmem
// return null instead of ending the run.
inline constexpr int terminate_size = 2147483647;

// A zero-filled block of `size` bytes; on failure it retries with 4000 bytes
// more, then reports the size and ends the run (or returns null, see above).
void* getmem(int size);

// Resizes `block` (null gives a new block), retrying with 1000 bytes more;
// reports the size and ends the run when both fail. Never returns null.
void* moremem(void* block, int size);

// Reports, as moremem does, that a block of `size` bytes cannot be had, and
// ends the run.
[[noreturn]] void memory_exhausted(std::size_t size);

// The most bytes that one text the program builds may take: a quarter of the
// physical memory, so that the text and the copies made of it fit, and no
// more than 4 GiB.
std::size_t largest_text_size();

// A NUL-terminated copy of `text`; ends the run when no memory is left.
char* setstr(std::string_view text);

// Releases a block of the services above; null is ignored.
void freemem(void* block);

// The allocator behind the services; tests replace it to make requests fail.
struct Allocator {
  void* (*allocate)(std::size_t size);
  void* (*reallocate)(void* block, std::size_t size);
};

// Installs `allocator` and returns the one it replaces.
Allocator set_allocator(Allocator allocator);

}  // namespace sornik
