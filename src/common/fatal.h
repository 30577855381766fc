// Ending a run after a fatal message: the exception the driver catches.
#pragma once

namespace sornik {

// Thrown once a fatal condition has written its message. The driver catches
// it, flushes standard output and ends the run with exit status 1, so that a
// run can also be driven in-process by tests, benchmarks and fuzzers.
struct FatalStop {};

// Ends the current run with exit status 1; the message is already written.
[[noreturn]] void fatal_stop();

}  // namespace sornik
