// Placeholder until output formatting lands.
#include "expand/output_format.h"

#include "driver/line_buffers.h"
#include "services/run_io.h"

namespace sornik {

std::string_view format;
int format_flag = 0;

void print_chgdata() { out_write(obuf); }
int edit_chgdata1() { return 0; }
int edit_chgdata2() { return 0; }
int format_edit(std::size_t&, std::size_t&, int count) { return count; }

}  // namespace sornik
