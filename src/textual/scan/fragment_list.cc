// The fragment list: the pieces of physical lines that a scan collects.
#include "textual/scan/fragment_list.h"

namespace sornik {

namespace {

// Storage kept across del_allname: enough for any ordinary construct, while
// the text of one huge construct is given back.
constexpr std::size_t kKeptCapacity = 1 << 16;

}  // namespace

void name_init(FragmentList& lst) {
  std::string().swap(lst.joined);
  std::vector<std::size_t>().swap(lst.ends);
  lst.name_cursor = 0;
}

void add_name(FragmentList& lst, std::string_view newtext) {
  lst.joined.append(newtext);
  lst.ends.push_back(lst.joined.size());
}

std::optional<std::string_view> get_name(FragmentList& lst, int mode) {
  if (mode == 0) lst.name_cursor = 0;
  const std::size_t entry = lst.name_cursor;
  if (entry >= lst.ends.size()) return std::nullopt;
  ++lst.name_cursor;
  const std::size_t begin = entry == 0 ? 0 : lst.ends[entry - 1];
  return std::string_view(lst.joined).substr(begin, lst.ends[entry] - begin);
}

void del_allname(FragmentList& lst) {
  if (lst.joined.capacity() > kKeptCapacity) {
    name_init(lst);
    return;
  }
  lst.joined.clear();
  lst.ends.clear();
}

}  // namespace sornik
