#include "app/ordered_workers.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

#include "common/fatal.h"
#include "common/run_io.h"
#include "support/captured_io.h"

namespace sornik {
namespace {

TEST(OrderedWorkers, OutputAndDiagnosticsComeInUnitOrder) {
  testing::CapturedIo io;
  std::atomic<int> workers = 0;
  const int status = run_in_order(40, 3, [&]() -> UnitWork {
    ++workers;
    return [](std::size_t index) {
      // Later units end first.
      std::this_thread::sleep_for(std::chrono::microseconds((40 - index) * 50));
      out_write(std::to_string(index) + " ");
      if (index % 10 == 3) err_write("e" + std::to_string(index) + " ");
      return index == 17 ? 1 : 0;
    };
  });
  EXPECT_EQ(status, 1);
  EXPECT_EQ(workers, 3);
  out_flush();
  std::string expected;
  for (int i = 0; i < 40; ++i) expected += std::to_string(i) + " ";
  EXPECT_EQ(io.out(), expected);
  EXPECT_EQ(io.err(), "e3 e13 e23 e33 ");
}

TEST(OrderedWorkers, AWorkerStaysWithinTheWindowOfUnwrittenUnits) {
  testing::CapturedIo io;
  std::atomic<std::size_t> highest = 0;
  std::atomic<bool> first_held = true;
  // Unit 0 is held until the others have gone as far as they may.
  run_in_order(20, 2, [&]() -> UnitWork {
    return [&](std::size_t index) {
      if (index == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        first_held = false;
      } else if (first_held) {
        highest = std::max<std::size_t>(highest, index);
      }
      return 0;
    };
  });
  EXPECT_EQ(highest, 3U);  // two jobs and two more: units 1 to 3
}

TEST(OrderedWorkers, AStopIsThrownInItsTurnAfterTheUnitsBefore) {
  testing::CapturedIo io;
  EXPECT_THROW(run_in_order(10, 2,
                            []() -> UnitWork {
                              return [](std::size_t index) {
                                out_write(std::to_string(index));
                                if (index == 4) fatal_stop();
                                return 0;
                              };
                            }),
               FatalStop);
  out_flush();
  EXPECT_EQ(io.out(), "01234");
}

}  // namespace
}  // namespace sornik
