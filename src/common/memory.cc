#include "common/memory.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <unistd.h>

#include "common/diagnostics.h"
#include "common/fatal.h"

namespace sornik {

namespace {

Allocator current{std::malloc, std::realloc};

// Negative sizes are requests that can never be met.
void* allocate(int size) { return size < 0 ? nullptr : current.allocate(static_cast<std::size_t>(size)); }

void* reallocate(void* block, int size) {
  return size < 0 ? nullptr : current.reallocate(block, static_cast<std::size_t>(size));
}

void report_size(long long size, std::string_view in_k, std::string_view in_bytes) {
  if (size > 1000) {
    errmsg(in_k, static_cast<int>(std::min<long long>(size / 1000, std::numeric_limits<int>::max())));
  } else {
    errmsg(in_bytes, static_cast<int>(size));
  }
}

// The message of a block that could not be enlarged.
void report_resize_failure(long long size) {
  report_size(size, "cannot get the memory of %d K bytes\n", "cannot get the memory of %d bytes\n");
}

}  // namespace

void* getmem(int size) {
  void* block = allocate(size);
  if (block == nullptr && size <= terminate_size - 4000) block = allocate(size + 4000);
  if (block != nullptr) {
    std::memset(block, 0, static_cast<std::size_t>(size));
    return block;
  }
  report_size(size, "\ncannot get the memory of %d K bytes\n", "\ncannot get the memory of %d bytes\n");
  if (size >= terminate_size) return nullptr;
  fatal_stop();
}

void* moremem(void* block, int size) {
  void* resized = reallocate(block, size);
  if (resized == nullptr && size <= terminate_size - 1000) resized = reallocate(block, size + 1000);
  if (resized != nullptr) return resized;
  report_resize_failure(size);
  fatal_stop();
}

void memory_exhausted(std::size_t size) {
  report_resize_failure(
      static_cast<long long>(std::min<std::size_t>(size, std::numeric_limits<long long>::max())));
  fatal_stop();
}

std::size_t largest_text_size() {
  constexpr std::size_t kMost = std::size_t{4} << 30;
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long page_size = sysconf(_SC_PAGE_SIZE);
  if (pages <= 0 || page_size <= 0) return kMost;
  return std::min(kMost, static_cast<std::size_t>(pages) / 4 * static_cast<std::size_t>(page_size));
}

char* setstr(std::string_view text) {
  char* copy = static_cast<char*>(current.allocate(text.size() + 1));
  if (copy == nullptr) {
    errmsg("cannot get memory\n");
    fatal_stop();
  }
  std::memcpy(copy, text.data(), text.size());
  copy[text.size()] = '\0';
  return copy;
}

void freemem(void* block) { std::free(block); }

Allocator set_allocator(Allocator allocator) {
  const Allocator previous = current;
  current = allocator;
  return previous;
}

}  // namespace sornik
