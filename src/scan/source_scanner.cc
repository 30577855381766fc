// Placeholder until the source scanner lands.
#include "scan/source_scanner.h"

namespace sornik {

int nest_flag = 0;

std::size_t get_linend(LineReader*, std::string& linebuf, int, std::size_t) { return linebuf.size(); }
std::size_t get_commend(LineReader*, std::string&, int, std::size_t) { return kNotClosed; }
std::size_t get_strend(LineReader*, std::string&, int, std::size_t) { return kNotClosed; }
std::size_t get_braend(LineReader*, std::string&, int, std::size_t startp) { return startp; }
int init_get_data() { return 0; }
std::string_view get_content(int) { return {}; }
void reset_source_scanner() {}

}  // namespace sornik
