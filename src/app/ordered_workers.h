// Converting a run's sources on several threads, with their output and
// diagnostics written in the sources' order, as one thread would write them.
#pragma once

#include <cstddef>
#include <functional>

namespace sornik {

// Converts unit `index` through out_write and err_write; its status.
using UnitWork = std::function<int(std::size_t index)>;

// Runs units 0 to count-1 on `jobs` threads, each with a worker of its own
// from `make_worker` (made on its thread), taking the next unit as it gets
// free. A unit's output and diagnostics are held in memory and written in
// unit order by the calling thread; a worker starts no unit more than
// jobs + 2 ahead of the last one written, so that at most that many outputs
// are held at once. The status: 1 when any unit's was not 0. An exception
// thrown by a unit (a fatal stop) is thrown again here in its turn, after
// the units before it are written and the threads have ended.
int run_in_order(std::size_t count, unsigned jobs, const std::function<UnitWork()>& make_worker);

}  // namespace sornik
