#include "defines/define_table.h"

#include <cstdlib>
#include <cstring>
#include <deque>

#include "defines/loaded_names.h"
#include "defines/name_index.h"
#include "services/memory.h"
#include "services/text_arena.h"

namespace sornik {

DefineEntry** chg_tbl = nullptr;
int chg_max = 1000;
int def_cnt = 0;

namespace {

constexpr int kTableStep = 1000;

std::deque<DefineEntry> records;
TextArena texts;
LoadedNames loaded_names;
NameIndex index;

}  // namespace

void reset_define_table() {
  freemem(chg_tbl);
  chg_max = kTableStep;
  chg_tbl = static_cast<DefineEntry**>(getmem(chg_max * static_cast<int>(sizeof(DefineEntry*))));
  def_cnt = 0;
  records.clear();
  texts.clear();
  loaded_names.clear();
  index.clear();
}

DefineEntry& add_define_record(int count) {
  if (count == chg_max) {
    chg_max += kTableStep;
    chg_tbl = static_cast<DefineEntry**>(moremem(chg_tbl, chg_max * static_cast<int>(sizeof(DefineEntry*))));
  }
  chg_tbl[count] = &records.emplace_back();
  return *chg_tbl[count];
}

bool name_loaded_before(int entry) { return loaded_names.add_through(chg_tbl, entry); }

std::string_view keep_text(std::string_view text) { return texts.store(text); }

void rewrite_body(DefineEntry& entry, std::string_view value) {
  if (value.size() <= entry.body.size() && !entry.body.empty()) {
    // The body's storage belongs to this table's arena, so it may be reused.
    char* storage = const_cast<char*>(entry.body.data());
    std::memmove(storage, value.data(), value.size());
    entry.body = {storage, value.size()};
  } else {
    entry.body = keep_text(value);
  }
}

int comp(const void* left, const void* right) {
  const std::string_view a = (*static_cast<DefineEntry* const*>(left))->name;
  const std::string_view b = (*static_cast<DefineEntry* const*>(right))->name;
  const int order = a.compare(b);
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

void sort_defines() {
  // No record is added after the sort; the lookup index takes over.
  loaded_names.clear();
  std::qsort(chg_tbl, static_cast<std::size_t>(def_cnt), sizeof(DefineEntry*), comp);
  index.build(chg_tbl, def_cnt);
}

int def_check(std::string_view name) { return index.find(name); }

}  // namespace sornik
