// The program's entry: one run over the command line, unbuffered output.
#include <cstdio>
#include <vector>

#include "app/run.h"

int main(int argc, char** argv) {
  // The run gathers its output in large blocks itself: each goes out in one write.
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  const std::vector<std::string> args(argv + 1, argv + argc);
  sornik::run_ends_process = true;
  return sornik::run_sornik(args);
}
