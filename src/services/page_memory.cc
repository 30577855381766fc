#include "services/page_memory.h"

#include <cstdint>
#include <cstdlib>
#include <sys/mman.h>

#include "services/memory.h"

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
