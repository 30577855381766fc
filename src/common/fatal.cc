#include "common/fatal.h"

namespace sornik {

void fatal_stop() { throw FatalStop{}; }

}  // namespace sornik
