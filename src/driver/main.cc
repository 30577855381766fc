#include <vector>

#include "driver/run.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return sornik::run_sornik(args);
}
