// Tests of value resolution: the values of object-like defines rewritten with the
// values of the names they hold, after the definition files are read.
#include "textual/defines/value_resolution.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "captured_io.h"
#include "textual/defines/define_table.h"
#include "textual/scan/line_buffers.h"

namespace sornik {
namespace {

struct Define {
  std::string name;
  std::string body;
  std::optional<std::string> params = std::nullopt;
};

// The table of a test's run, made anew by each load.
std::optional<DefineTable> loaded;

// Loads `defines` as the definition phase would leave them, sorted.
void load(const std::vector<Define>& defines) {
  DefineTable& table = loaded.emplace();
  for (const Define& define : defines) {
    DefineEntry& entry = table.add_define_record();
    table.keep_name(entry, define.name, define.params);
    table.keep_body(entry, define.body);
  }
  table.sort_defines();
}

const DefineEntry& record(const std::string& name) { return loaded->chg_tbl(loaded->def_check(name)); }
// Resolves the loaded values in line buffers of their own.
int resolve() {
  LineBuffers buffers;
  return set_value(*loaded, buffers);
}

std::string body(const std::string& name) { return std::string(loaded->body(record(name))); }

std::vector<std::string> words_of(std::string_view text) {
  std::vector<std::string> words;
  for (std::size_t pos = 0; pos < text.size();) {
    std::string_view word, separator;
    pos = get_word(text, pos, word, separator);
    words.push_back(std::string(separator) + "|" + std::string(word));
    if (word.empty()) break;
  }
  return words;
}

TEST(GetWord, CutsSeparatorsAndWordsByteByByte) {
  using Words = std::vector<std::string>;
  EXPECT_EQ(words_of("(0x1F+ 1e5)*_a"), (Words{"(|0x1F", "+ |1e5", ")*|_a"}));
  EXPECT_EQ(words_of("a \"b\" c"), (Words{"|a", " |"}));
  // A NUL is separator text like any other byte that is no word byte.
  EXPECT_EQ(words_of(std::string("a\0b\0", 4)), (Words{"|a", std::string("\0|b", 3), std::string("\0|", 2)}));
  EXPECT_EQ(words_of("x\\\ny"), (Words{"|x", "|"}));
  // The second byte of a two-byte character is taken for a letter here.
  EXPECT_EQ(words_of("\x82"
                     "a1"),
            (Words{"\x82|a1"}));
}

TEST(GetWord, CutsRunsAt1024Bytes) {
  const std::string long_word(1030, 'w');
  EXPECT_EQ(words_of(long_word), (std::vector<std::string>{"|" + long_word.substr(0, 1024), "|wwwwww"}));
  const std::string separator(1024, '(');
  EXPECT_EQ(words_of(separator + "x"), (std::vector<std::string>{separator + "|x"}));
  EXPECT_EQ(words_of(separator + "(x"), (std::vector<std::string>{separator + "|"}));
}

TEST(SetValue, ResolvesChainsInTableOrder) {
  load({{"A", "B"}, {"B", "C"}, {"C", "1"}, {"N", "(10)"}, {"E", ""}});
  EXPECT_EQ(resolve(), 0);
  for (const char* name : {"A", "B", "C"}) EXPECT_EQ(body(name), "1") << name;
  EXPECT_EQ(body("N"), "(10)");
  EXPECT_EQ(body("E"), "");
  for (const char* name : {"A", "B", "C", "N", "E"}) EXPECT_EQ(record(name).resolve_cnt(), -1) << name;
}

TEST(SetValue, SelfReferenceGrowsThreeTimesAndMutualNamesSettle) {
  load({{"A", "A+1"}, {"P", "Q"}, {"Q", "P"}, {"X", "X"}, {"Y", "X + 1"}});
  EXPECT_EQ(resolve(), 0);
  EXPECT_EQ(body("A"), "A+1+1+1+1+1+1+1+1");
  EXPECT_EQ(record("A").resolve_cnt(), 3);
  EXPECT_EQ(body("P"), "P");
  EXPECT_EQ(body("Q"), "P");
  EXPECT_EQ(body("Y"), "X + 1");
}

TEST(SetValue, SubstitutesOnlyWholeObjectLikeNamesBeforeAnyQuoteOrBackslash) {
  load({{"F", "N*2", "N"},
        {"N", "10"},
        {"G", "F(1) + N"},
        {"W", "N_2 N2 xN N"},
        {"S", "\"s\" N"},
        {"T", "1 + N 'c' N"},
        {"V", "N \\\n  N"},
        {"Z", std::string("N\0N", 3)},
        {"J", "N\x95\\N"}});
  EXPECT_EQ(resolve(), 0);
  EXPECT_EQ(body("F"), "10*2");
  EXPECT_EQ(body("G"), "F(1) + 10");
  EXPECT_EQ(body("W"), "N_2 N2 xN 10");
  EXPECT_EQ(body("S"), "\"s\" N");
  EXPECT_EQ(body("T"), "1 + 10 'c' N");
  EXPECT_EQ(body("V"), "10 \\\n  N");
  EXPECT_EQ(body("Z"), std::string("10\0"
                                   "10",
                                   5));
  EXPECT_EQ(body("J"), "10\x95\\N");
}

TEST(SetValue, WordsAndSeparatorsOver1024BytesAreCut) {
  const std::string name(1024, 'a');
  const std::string parens(1025, '(');
  load({{name, "7"}, {"L", name + "b"}, {"N", "1"}, {"S", parens + "N"}});
  EXPECT_EQ(resolve(), 0);
  EXPECT_EQ(body("L"), "7b");
  EXPECT_EQ(body("S"), parens + "N");
}

TEST(SetValue, RewritesInPlaceUnlessLonger) {
  const std::string long_value(3073, '-');  // one byte too many for 3073 with its NUL
  load({{"A", "LONGNAME"}, {"B", "LONGNAME LONGNAME"}, {"C", "M"}, {"LONGNAME", "1"}, {"M", long_value}});
  const char* storage_of_a = loaded->body(record("A")).data();
  EXPECT_EQ(resolve(), 0);
  EXPECT_EQ(loaded->body(record("A")).data(), storage_of_a);
  EXPECT_EQ(body("B"), "1 1");
  EXPECT_EQ(body("C"), long_value);
}

TEST(SetValue, StopsOnceGrownValuesPassTheBudget) {
  testing::CapturedIo io;
  const std::string piece(10000, '(');
  load({{"A", "B B"}, {"B", piece}, {"C", "B B B"}, {"D", "B"}});
  EXPECT_EQ(resolve(), -1);
  EXPECT_EQ(io.err(), "no end loop\n");
  EXPECT_EQ(body("A"), piece + " " + piece);
  EXPECT_EQ(body("C"), "B B B");
  EXPECT_EQ(record("C").resolve_cnt(), 0);
  EXPECT_EQ(body("D"), "B");
}

TEST(SetValue, BudgetCountsTheWholeLengthOfEveryGrownValue) {
  // Each value grows by one byte ("N" becomes "10") to the given length, and
  // counts with all of it: the budget is passed once the lengths exceed 32000.
  const struct {
    std::vector<std::size_t> grown_lengths;
    int result;
  } cases[] = {
      {{17000}, 0},
      {{17000, 17000}, -1},
      {{16000, 16000}, 0},
      {{16000, 16001}, -1},
  };
  for (const auto& c : cases) {
    testing::CapturedIo io;
    std::vector<Define> defines = {{"N", "10"}};
    for (const std::size_t length : c.grown_lengths) {
      std::string words(length % 2, ' ');
      while (words.size() < length - 2) words += "x ";
      defines.push_back({"V" + std::to_string(defines.size()), words + "N"});
    }
    load(defines);
    EXPECT_EQ(resolve(), c.result) << c.grown_lengths.size() << " values, the last "
                                   << c.grown_lengths.back();
    EXPECT_EQ(io.err(), c.result == 0 ? "" : "no end loop\n");
    if (c.result == 0) {
      EXPECT_EQ(body("V1").size(), c.grown_lengths[0]);
    }
  }
}

TEST(SetValue, HugeGrowthStopsWithoutBuildingTheWholeValue) {
  testing::CapturedIo io;
  std::string many_names;
  for (int i = 0; i < 100000; ++i) many_names += "B ";
  load({{"A", many_names}, {"B", std::string(1000000, '(')}});
  LineBuffers buffers;
  EXPECT_EQ(set_value(*loaded, buffers), -1);
  EXPECT_EQ(io.err(), "no end loop\n");
  EXPECT_LT(buffers.obuf.capacity(), 2000000u);
}

}  // namespace
}  // namespace sornik

namespace sornik {
namespace {

// Value resolution done the plain way, on copies: sweeps in name order,
// every value rebuilt word by word.
struct PlainRecord {
  std::string name;
  std::string body;
  bool function_like = false;
  int count = 0;
};

int resolve_plainly(std::vector<PlainRecord>& records) {
  std::sort(records.begin(), records.end(), [](const PlainRecord& a, const PlainRecord& b) {
    return std::string_view(a.name) < std::string_view(b.name);
  });
  const auto named = [&records](std::string_view word) -> const PlainRecord* {
    for (const PlainRecord& record : records) {
      if (record.name == word) return record.function_like || record.body == word ? nullptr : &record;
    }
    return nullptr;
  };
  std::size_t budget = 0;
  for (bool changed = true; changed;) {
    changed = false;
    for (PlainRecord& record : records) {
      if (record.count < 0 || record.count >= 3) continue;
      std::string built;
      bool substituted = false;
      for (std::size_t pos = 0; pos < record.body.size();) {
        std::string_view word, separator;
        const std::size_t after = get_word(record.body, pos, word, separator);
        if (word.empty()) {
          built += record.body.substr(pos);
          break;
        }
        built += separator;
        const PlainRecord* found = named(word);
        built += found != nullptr ? std::string_view(found->body) : word;
        substituted = substituted || found != nullptr;
        pos = after;
      }
      if (!substituted) {
        record.count = -1;
        continue;
      }
      if (built.size() > record.body.size()) budget += built.size();
      if (budget > 32000) return -1;
      record.body = built;
      ++record.count;
      changed = true;
    }
  }
  return 0;
}

TEST(SetValue, LargeTablesResolveAsTheSweepsDescribe) {
  // Tables large enough that the sweep fetches ahead: values of defined and
  // undefined names, function-like names, self and mutual references, and
  // quotes, backslashes, NUL and high bytes before and after the names.
  std::mt19937 random(41);
  for (int table = 0; table < 60; ++table) {
    std::vector<PlainRecord> records;
    const int size = 20 + static_cast<int>(random() % 300);
    for (int i = 0; i < size; ++i) records.push_back({"N" + std::to_string(i * 7919 % size), "", i % 9 == 0});
    static const std::vector<std::string> kPieces = {
        " + ", "(", ")", "12", "0x1f", "'", "\"", "\\", std::string(1, '\0'), "\x81", "_u", "N", "Nx", "F"};
    for (PlainRecord& record : records) {
      const int pieces = static_cast<int>(random() % 6);
      for (int p = 0; p < pieces; ++p) {
        if (random() % 3 == 0) {
          record.body += (p > 0 ? " " : "") + records[random() % records.size()].name + " ";
        } else {
          record.body += kPieces[random() % kPieces.size()];
        }
      }
    }
    DefineTable& defines = loaded.emplace();
    for (const PlainRecord& record : records) {
      DefineEntry& entry = defines.add_define_record();
      defines.keep_name(entry, record.name,
                        record.function_like ? std::optional<std::string_view>("a") : std::nullopt);
      defines.keep_body(entry, record.body);
    }
    defines.sort_defines();
    testing::CapturedIo io;
    const int status = resolve();
    EXPECT_EQ(status, resolve_plainly(records)) << "table " << table;
    for (int i = 0; i < defines.def_cnt(); ++i) {
      const DefineEntry& entry = defines.chg_tbl(i);
      ASSERT_EQ(defines.name(entry), records[static_cast<std::size_t>(i)].name);
      EXPECT_EQ(defines.body(entry), records[static_cast<std::size_t>(i)].body)
          << "table " << table << " " << records[i].name;
      EXPECT_EQ(entry.resolve_cnt(), records[static_cast<std::size_t>(i)].count) << "table " << table;
    }
  }
}

}  // namespace
}  // namespace sornik
