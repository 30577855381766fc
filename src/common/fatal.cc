// Ending a run after a fatal message: the exception the driver catches.
#include "common/fatal.h"

namespace sornik {

void fatal_stop() { throw FatalStop{}; }

}  // namespace sornik
