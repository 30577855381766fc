// Zero-filled page memory for large tables, arenas and file texts, in huge
// pages where a block is large enough.
#include "common/page_memory.h"

#include <cstdint>
#include <cstdlib>
#include <malloc.h>
#include <sys/mman.h>

#include "common/memory.h"

namespace sornik {

namespace {

std::size_t mapped_size(std::size_t bytes) { return (bytes + kHugePageSize - 1) & ~(kHugePageSize - 1); }

// A block of huge pages; a fresh mapping is zero-filled by the kernel.
void* map_huge_pages(std::size_t bytes) {
  // Map one huge page more than needed and cut the ends so that the block
  // starts on a 2 MiB boundary.
  const std::size_t size = mapped_size(bytes);
  void* mapped =
      mmap(nullptr, size + kHugePageSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) memory_exhausted(bytes);
  auto* const start = static_cast<char*>(mapped);
  const auto address = reinterpret_cast<std::uintptr_t>(start);
  const std::size_t head = (kHugePageSize - (address & (kHugePageSize - 1))) & (kHugePageSize - 1);
  if (head != 0) munmap(start, head);
  munmap(start + head + size, kHugePageSize - head);
  madvise(start + head, size, MADV_HUGEPAGE);
  return start + head;
}

void* checked(void* block, std::size_t bytes) {
  if (block == nullptr) memory_exhausted(bytes);
  return block;
}

}  // namespace

bool start_heap_on_huge_page() {
  // The bytes below the huge page stay taken and are never touched.
  static void* below = nullptr;
  static bool started = false;
  if (kAddressSanitizer || below != nullptr) return started;
  // A block of twice the huge page and more, cut from the top of the heap,
  // holds one whole aligned huge page. The heap is not given back to the
  // system below 8 MiB free, or the huge page would go with it.
  mallopt(M_TRIM_THRESHOLD, static_cast<int>(4 * kHugePageSize));
  mallopt(M_MMAP_THRESHOLD, static_cast<int>(4 * kHugePageSize));
  void* block = std::malloc(2 * kHugePageSize + 4096);
  mallopt(M_MMAP_THRESHOLD, 128 * 1024);  // the heap's own default
  if (block == nullptr) return false;
  // Keep the block up to the huge page: the rest goes back to the top of
  // the heap, which then starts there. A heap block has a 16-byte header
  // before it and 8 bytes of it end the block before. The page is marked
  // first: once the heap writes a header into it, it is too late.
  const auto start = reinterpret_cast<std::uintptr_t>(block);
  const std::size_t to_huge = ((start + 64 + kHugePageSize - 1) & ~(kHugePageSize - 1)) - start;
  const bool marked = madvise(static_cast<char*>(block) + to_huge, kHugePageSize, MADV_HUGEPAGE) == 0;
  below = std::realloc(block, to_huge + 8);
  started = marked && below == block;
  return started;
}

void* allocate_pages(std::size_t bytes) {
  if (bytes >= kHugePageSize) return map_huge_pages(bytes);
  return checked(std::calloc(1, bytes == 0 ? 1 : bytes), bytes);
}

void* allocate_pages_unfilled(std::size_t bytes) {
  if (bytes >= kHugePageSize) return map_huge_pages(bytes);
  return checked(std::malloc(bytes == 0 ? 1 : bytes), bytes);
}

void release_pages(void* block, std::size_t bytes) {
  if (bytes < kHugePageSize) {
    std::free(block);
  } else {
    munmap(block, mapped_size(bytes));
  }
}

}  // namespace sornik
