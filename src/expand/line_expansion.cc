// Placeholder until line expansion lands.
#include "expand/line_expansion.h"

#include "driver/line_buffers.h"

namespace sornik {

int comm_flag = 0;
int str_flag = 0;
int print_f = 1;

int edit_line(LineReader*) {
  obuf.assign(ibuf);
  return 0;
}

}  // namespace sornik
