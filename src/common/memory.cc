// The out-of-memory message and the size limit of built texts.
#include "common/memory.h"

#include <algorithm>
#include <limits>
#include <unistd.h>

#include "common/diagnostics.h"
#include "common/fatal.h"

namespace sornik {

void memory_exhausted(std::size_t size) {
  if (size > 1000) {
    errmsg("cannot get the memory of %d K bytes\n",
           static_cast<int>(std::min<std::size_t>(size / 1000, std::numeric_limits<int>::max())));
  } else {
    errmsg("cannot get the memory of %d bytes\n", static_cast<int>(size));
  }
  fatal_stop();
}

std::size_t largest_text_size() {
  constexpr std::size_t kMost = std::size_t{4} << 30;
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long page_size = sysconf(_SC_PAGE_SIZE);
  if (pages <= 0 || page_size <= 0) return kMost;
  return std::min(kMost, static_cast<std::size_t>(pages) / 4 * static_cast<std::size_t>(page_size));
}

}  // namespace sornik
