#include "defines/value_resolution.h"

#include <algorithm>

#include "defines/define_table.h"
#include "services/byte_class.h"
#include "services/line_buffers.h"
#include "services/run_io.h"

namespace sornik {

namespace {

// The most bytes a separator or a word may hold; a longer run is cut there.
constexpr std::size_t kAreaSize = 1024;

// A record takes part in resolution until it has been rewritten this often.
constexpr int kMostRewrites = 3;

// The total length of values that outgrew their storage may reach this many
// bytes; beyond it resolution is taken for an endless loop and stops.
constexpr std::size_t kGrowthBudget = 32000;

// The bytes that end a separator: where a word may begin, or where
// substitution must stop (a literal or an escape). A NUL is separator text.
bool ends_separator(char c) { return c == '\'' || c == '"' || c == '\\' || is_name_byte(c); }

// The end of the run of bytes from `pos` that satisfy `belongs`, at most kAreaSize long.
template <typename Predicate>
std::size_t run_end(std::string_view text, std::size_t pos, Predicate belongs) {
  const std::size_t limit = std::min(text.size(), pos + kAreaSize);
  while (pos < limit && belongs(text[pos])) ++pos;
  return pos;
}

// How many records ahead of the one being resolved the sweep fetches values.
constexpr int kAhead = 8;

enum class Rebuild { kUnchanged, kChanged, kOverBudget };

// The object-like define that `word` names, unless its value is the word
// itself (such a name is never substituted); null when there is none.
const DefineEntry* substitute_for(std::string_view word) {
  const int found = def_check(word);
  if (found < 0) return nullptr;
  const DefineEntry* named = &chg_tbl[found];
  return named->params() || named->body() == word ? nullptr : named;
}

// Builds in obuf `body` with every word replaced by what it stands for.
// Substitution ends at the first word that is empty (a quote, a backslash or
// an overlong separator); the rest is copied as it is. Gives up early once the
// value is bound to outgrow both its storage and the `budget_left`. Text is
// copied only from the first substitution on: most values name no define.
Rebuild rebuild_value(std::string_view body, std::size_t budget_left) {
  obuf.clear();
  bool changed = false;
  std::size_t copied = 0;
  std::size_t pos = 0;
  while (pos < body.size()) {
    std::string_view word;
    std::string_view separator;
    const std::size_t after_word = get_word(body, pos, word, separator);
    if (word.empty()) break;
    if (const DefineEntry* named = substitute_for(word)) {
      obuf_append(body.substr(copied, after_word - word.size() - copied));
      obuf_append(named->body());
      copied = after_word;
      changed = true;
    }
    // Only a substitution makes the value longer than the body, and the
    // finished value can only be longer still.
    const std::size_t built = obuf.size() + (after_word - copied);
    if (built > body.size() && built > budget_left) return Rebuild::kOverBudget;
    pos = after_word;
  }
  if (!changed) return Rebuild::kUnchanged;
  obuf_append(body.substr(copied));
  return Rebuild::kChanged;
}

}  // namespace

std::size_t get_word(std::string_view text, std::size_t pos, std::string_view& word,
                     std::string_view& separator) {
  pos = std::min(pos, text.size());
  const std::size_t word_start = run_end(text, pos, [](char c) {
    return !ends_separator(c);
  });
  const std::size_t word_end = run_end(text, word_start, is_name_byte);
  separator = text.substr(pos, word_start - pos);
  word = text.substr(word_start, word_end - word_start);
  return word_end;
}

int set_value() {
  std::size_t budget = 0;
  bool sweep_changed = true;
  while (sweep_changed) {
    sweep_changed = false;
    for (int i = 0; i < def_cnt; ++i) {
      // The records lie in table order, their values wherever they were loaded.
      if (i + kAhead < def_cnt) __builtin_prefetch(chg_tbl[i + kAhead].body().data());
      DefineEntry& entry = chg_tbl[i];
      if (entry.resolve_cnt < 0 || entry.resolve_cnt >= kMostRewrites) continue;
      const Rebuild rebuilt = rebuild_value(entry.body(), kGrowthBudget - budget);
      if (rebuilt == Rebuild::kUnchanged) {
        entry.resolve_cnt = -1;
        continue;
      }
      if (rebuilt == Rebuild::kChanged && obuf.size() > entry.body().size()) budget += obuf.size();
      if (rebuilt == Rebuild::kOverBudget || budget > kGrowthBudget) {
        err_write("no end loop\n");
        return -1;
      }
      rewrite_body(entry, obuf);
      ++entry.resolve_cnt;
      sweep_changed = true;
    }
  }
  return 0;
}

}  // namespace sornik
