// Value resolution: the values of object-like defines rewritten with the
// values of the names they hold, after the definition files are read.
#include "textual/defines/value_resolution.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "common/byte_class.h"
#include "common/run_io.h"
#include "textual/defines/define_table.h"
#include "textual/scan/line_buffers.h"

namespace sornik {

namespace {

// The most bytes a separator or a word may hold; a longer run is cut there.
constexpr std::size_t kAreaSize = 1024;

// A record takes part in resolution until it has been rewritten this often.
constexpr int kMostRewrites = 3;

// The total length of values that outgrew their storage may reach this many
// bytes; beyond it resolution is taken for an endless loop and stops.
constexpr std::size_t kGrowthBudget = 32000;

// What a byte is to the word cutter: separator text, a word byte, or a byte
// that ends the separator without beginning a word (a quote or a backslash,
// where substitution must stop). A NUL is separator text.
enum WordByte : std::uint8_t { kSeparator, kWord, kStop };
constexpr std::array<std::uint8_t, 256> kWordBytes = [] {
  std::array<std::uint8_t, 256> kinds{};
  for (std::size_t c = 0; c < kinds.size(); ++c) {
    if ((kByteClass[c] & kNameByte) != 0) kinds[c] = kWord;
  }
  for (const unsigned char c : {'\'', '"', '\\'}) kinds[c] = kStop;
  return kinds;
}();

// get_word, made inline for the sweep's loops.
inline std::size_t cut_word(std::string_view text, std::size_t pos, std::string_view& word,
                            std::string_view& separator) {
  const auto* const bytes = reinterpret_cast<const unsigned char*>(text.data());
  pos = std::min(pos, text.size());
  std::size_t word_start = pos;
  const std::size_t separator_limit = std::min(text.size(), pos + kAreaSize);
  while (word_start < separator_limit && kWordBytes[bytes[word_start]] == kSeparator) ++word_start;
  std::size_t word_end = word_start;
  const std::size_t word_limit = std::min(text.size(), word_start + kAreaSize);
  while (word_end < word_limit && kWordBytes[bytes[word_end]] == kWord) ++word_end;
  separator = text.substr(pos, word_start - pos);
  word = text.substr(word_start, word_end - word_start);
  return word_end;
}

// The sweep fetches what the lookups of a record will read in steps, each
// some records ahead of the one being resolved: its value, the index slot of
// the first word that may be a defined name, the record that slot names, and
// that record's name.
constexpr int kValueAhead = 24;
constexpr int kSlotAhead = 12;
constexpr int kRecordAhead = 6;
constexpr int kNameAhead = 3;

// Whether the sweep works on the record: rewritten fewer than three times, and
// not found to be done.
bool takes_part(const DefineEntry& entry) {
  return entry.resolve_cnt() >= 0 && entry.resolve_cnt() < kMostRewrites;
}

class LookupAhead {
 public:
  explicit LookupAhead(const DefineTable& table) : table_(table) {}

  // Makes the fetch steps of the records ahead of record `i`, which the sweep is about to take.
  void fetch(int i) {
    if (i + kValueAhead < table_.def_cnt())
      __builtin_prefetch(table_.body(table_.chg_tbl(i + kValueAhead)).data());
    fetch_slot(i + kSlotAhead);
    Pending& slot_step = pending_[(i + kRecordAhead) & kMask];
    if (slot_step.entry == kSlotFetched) {
      slot_step.entry = table_.define_index().likely_entry(slot_step.hash);
      if (slot_step.entry >= 0) __builtin_prefetch(&table_.chg_tbl(slot_step.entry));
    }
    const Pending& record_step = pending_[(i + kNameAhead) & kMask];
    if (record_step.entry >= 0) __builtin_prefetch(table_.name(table_.chg_tbl(record_step.entry)).data());
  }

  // Whether the value of record `i`, which the sweep takes now, was found to
  // hold no word that may be a defined name (before any quote or backslash):
  // its rebuild would change nothing.
  bool names_nothing(int i) const { return pending_[i & kMask].names_nothing; }

 private:
  static constexpr int kNothing = -1;
  static constexpr int kSlotFetched = -2;
  static constexpr int kMask = 15;
  static_assert(kSlotAhead - kNameAhead <= kMask);
  // The steps of one record, kept from its slot step to its name step.
  struct Pending {
    std::uint32_t hash = 0;
    int entry = kNothing;
    bool names_nothing = false;
  };

  void fetch_slot(int i) {
    Pending& step = pending_[i & kMask];
    step.entry = kNothing;
    step.names_nothing = false;
    if (i >= table_.def_cnt() || !takes_part(table_.chg_tbl(i))) return;
    const std::string_view body = table_.body(table_.chg_tbl(i));
    for (std::size_t pos = 0; pos < body.size();) {
      std::string_view word;
      std::string_view separator;
      pos = cut_word(body, pos, word, separator);
      if (word.empty()) break;
      if (table_.define_index().may_hold(word)) {
        step.hash = NameIndex::hash(word);
        step.entry = kSlotFetched;
        table_.define_index().prefetch(step.hash);
        return;
      }
    }
    step.names_nothing = true;
  }

  const DefineTable& table_;
  std::array<Pending, kMask + 1> pending_;
};

enum class Rebuild { kUnchanged, kChanged, kOverBudget };

// The object-like define that `word` names, unless its value is the word
// itself (such a name is never substituted); null when there is none.
const DefineEntry* substitute_for(const DefineTable& table, std::string_view word) {
  const int found = table.def_check(word);
  if (found < 0) return nullptr;
  const DefineEntry* named = &table.chg_tbl(found);
  return table.params(*named) || table.body(*named) == word ? nullptr : named;
}

// Builds in `buffers`' obuf `body` with every word replaced by what it stands for.
// Substitution ends at the first word that is empty (a quote, a backslash or
// an overlong separator); the rest is copied as it is. Gives up early once the
// value is bound to outgrow both its storage and the `budget_left`. Text is
// copied only from the first substitution on: most values name no define.
Rebuild rebuild_value(const DefineTable& table, LineBuffers& buffers, std::string_view body,
                      std::size_t budget_left) {
  std::string& obuf = buffers.obuf;
  obuf.clear();
  bool changed = false;
  std::size_t copied = 0;
  std::size_t pos = 0;
  while (pos < body.size()) {
    std::string_view word;
    std::string_view separator;
    const std::size_t after_word = cut_word(body, pos, word, separator);
    if (word.empty()) break;
    if (const DefineEntry* named = substitute_for(table, word)) {
      buffers.obuf_append(body.substr(copied, after_word - word.size() - copied));
      buffers.obuf_append(table.body(*named));
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
  buffers.obuf_append(body.substr(copied));
  return Rebuild::kChanged;
}

}  // namespace

std::size_t get_word(std::string_view text, std::size_t pos, std::string_view& word,
                     std::string_view& separator) {
  return cut_word(text, pos, word, separator);
}

int set_value(DefineTable& table, LineBuffers& buffers) {
  const std::string& obuf = buffers.obuf;
  std::size_t budget = 0;
  bool sweep_changed = true;
  while (sweep_changed) {
    sweep_changed = false;
    LookupAhead ahead(table);
    for (int i = 0; i < table.def_cnt(); ++i) {
      ahead.fetch(i);
      DefineEntry& entry = table.chg_tbl(i);
      if (!takes_part(entry)) continue;
      if (ahead.names_nothing(i)) {
        entry.set_resolve_cnt(-1);
        continue;
      }
      const Rebuild rebuilt = rebuild_value(table, buffers, table.body(entry), kGrowthBudget - budget);
      if (rebuilt == Rebuild::kUnchanged) {
        entry.set_resolve_cnt(-1);
        continue;
      }
      if (rebuilt == Rebuild::kChanged && obuf.size() > table.body(entry).size()) budget += obuf.size();
      if (rebuilt == Rebuild::kOverBudget || budget > kGrowthBudget) {
        err_write("no end loop\n");
        return -1;
      }
      table.rewrite_body(entry, obuf);
      entry.set_resolve_cnt(entry.resolve_cnt() + 1);
      sweep_changed = true;
    }
  }
  return 0;
}

}  // namespace sornik
