// Converting a run's sources on several threads, written in order.
#include "app/ordered_workers.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

#include "common/located_diagnostics.h"
#include "common/run_io.h"

namespace sornik {

namespace {

struct UnitResult {
  CapturedOutput output;
  int status = 0;
  std::exception_ptr failure;
  bool done = false;
};

// The shared progress of a run: which unit is next to start and which next
// to be written, under one lock.
class OrderedRun {
 public:
  OrderedRun(std::size_t count, unsigned jobs) : results_(count), window_(jobs + 2) {}

  void work(const std::function<UnitWork()>& make_worker) {
    const UnitWork unit_work = make_worker();
    for (std::size_t index = 0; take(index);) {
      UnitResult& result = results_[index];
      capture_output(&result.output);
      try {
        result.status = unit_work(index);
      } catch (...) {
        result.failure = std::current_exception();
      }
      capture_output(nullptr);
      // A worker's own error flags become its unit's status.
      if (located_error_reported() || read_failed()) result.status = 1;
      reset_located_errors();
      reset_read_errors();
      finish(result);
    }
  }

  // Writes the units in order as they end; the status.
  int write_all() {
    int status = 0;
    for (std::size_t index = 0; index < results_.size(); ++index) {
      UnitResult result = wait_for(index);
      out_write(result.output.out);
      if (!result.output.err.empty()) {
        out_flush();
        err_write(result.output.err);
      }
      if (result.failure) {
        stop();
        failure_ = result.failure;
        return 1;
      }
      if (result.status != 0) status = 1;
    }
    return status;
  }

  void stop() {
    const std::lock_guard lock(mutex_);
    stopped_ = true;
    changed_.notify_all();
  }

  std::exception_ptr failure() const { return failure_; }

 private:
  bool take(std::size_t& index) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] {
      return stopped_ || next_ >= results_.size() || next_ < written_ + window_;
    });
    if (stopped_ || next_ >= results_.size()) return false;
    index = next_++;
    return true;
  }

  void finish(UnitResult& result) {
    const std::lock_guard lock(mutex_);
    result.done = true;
    changed_.notify_all();
  }

  // Takes unit `index`'s result once it is done, and lets a worker start
  // the unit one window further.
  UnitResult wait_for(std::size_t index) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] {
      return results_[index].done;
    });
    UnitResult result = std::move(results_[index]);
    results_[index] = UnitResult();
    written_ = index + 1;
    changed_.notify_all();
    return result;
  }

  std::vector<UnitResult> results_;
  const std::size_t window_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::size_t next_ = 0;
  std::size_t written_ = 0;
  bool stopped_ = false;
  std::exception_ptr failure_;
};

}  // namespace

int run_in_order(std::size_t count, unsigned jobs, const std::function<UnitWork()>& make_worker) {
  OrderedRun run(count, jobs);
  std::vector<std::thread> threads;
  threads.reserve(jobs);
  int status = 1;
  try {
    for (unsigned i = 0; i < jobs; ++i)
      threads.emplace_back([&] {
        run.work(make_worker);
      });
    status = run.write_all();
  } catch (...) {
    // The output itself failed: the workers stop before the run ends.
    run.stop();
    for (std::thread& thread : threads) thread.join();
    throw;
  }
  for (std::thread& thread : threads) thread.join();
  if (run.failure()) std::rethrow_exception(run.failure());
  return status;
}

}  // namespace sornik
