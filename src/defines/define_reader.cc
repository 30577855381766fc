// Placeholder until the definition-file reader lands.
#include "defines/define_reader.h"

#include "services/diagnostics.h"

namespace sornik {

int set_chgdata(const std::string& file_name) {
  errmsg("%s: not found\n", file_name);
  return -1;
}

}  // namespace sornik
