// The table of -std= names and their dialects.
#include "cmode/lex/dialect.h"

#include <algorithm>

namespace sornik::cmode {

namespace {

struct NamedDialect {
  std::string_view name;
  Dialect dialect;
};

// Version, C++, raw strings, line comments, digit separators, `::`, C++'s
// own tokens, literal suffixes, `<=>`.
constexpr Dialect kC90{"", false, false, false, false, false, false, false, false};
constexpr Dialect kC94{"199409L", false, false, false, false, false, false, false, false};
constexpr Dialect kC99{"199901L", false, false, true, false, false, false, false, false};
constexpr Dialect kC11{"201112L", false, false, true, false, false, false, false, false};
constexpr Dialect kC17{"201710L", false, false, true, false, false, false, false, false};
constexpr Dialect kC2x{"202000L", false, false, true, true, true, false, false, false};
constexpr Dialect kC23{"202311L", false, false, true, true, true, false, false, false};
constexpr Dialect kGnu90{"", false, false, true, false, false, false, false, false};
constexpr Dialect kGnu99{"199901L", false, true, true, false, false, false, false, false};
constexpr Dialect kGnu11{"201112L", false, true, true, false, false, false, false, false};
constexpr Dialect kGnu17{"201710L", false, true, true, false, false, false, false, false};
constexpr Dialect kGnu2x{"202000L", false, true, true, true, true, false, false, false};
constexpr Dialect kGnu23{"202311L", false, true, true, true, true, false, false, false};

constexpr NamedDialect kCDialects[] = {
    {"", kC17},
    {"ansi", kC90},
    {"c89", kC90},
    {"c90", kC90},
    {"iso9899:1990", kC90},
    {"iso9899:199409", kC94},
    {"c99", kC99},
    {"c9x", kC99},
    {"iso9899:1999", kC99},
    {"iso9899:199x", kC99},
    {"c11", kC11},
    {"c1x", kC11},
    {"iso9899:2011", kC11},
    {"c17", kC17},
    {"c18", kC17},
    {"iso9899:2017", kC17},
    {"iso9899:2018", kC17},
    {"c2x", kC2x},
    {"c23", kC23},
    {"gnu89", kC90},
    {"gnu90", kC90},
    {"gnu99", kC99},
    {"gnu9x", kC99},
    {"gnu11", kC11},
    {"gnu1x", kC11},
    {"gnu17", kC17},
    {"gnu18", kC17},
    {"gnu2x", kC2x},
    {"gnu23", kC23},
};

constexpr Dialect kCxx98{"199711L", true, false, true, false, true, true, false, false};
constexpr Dialect kCxx11{"201103L", true, true, true, false, true, true, true, false};
constexpr Dialect kCxx14{"201402L", true, true, true, true, true, true, true, false};
constexpr Dialect kCxx17{"201703L", true, true, true, true, true, true, true, false};
constexpr Dialect kCxx20{"202002L", true, true, true, true, true, true, true, true};
constexpr Dialect kCxx23{"202100L", true, true, true, true, true, true, true, true};
constexpr Dialect kGnuxx98{"199711L", true, false, true, false, true, true, false, false};
constexpr Dialect kGnuxx11{"201103L", true, true, true, false, true, true, true, false};
constexpr Dialect kGnuxx14{"201402L", true, true, true, true, true, true, true, false};
constexpr Dialect kGnuxx17{"201703L", true, true, true, true, true, true, true, false};
constexpr Dialect kGnuxx20{"202002L", true, true, true, true, true, true, true, true};
constexpr Dialect kGnuxx23{"202100L", true, true, true, true, true, true, true, true};

constexpr NamedDialect kCxxDialects[] = {
    {"", kCxx17},        {"ansi", kCxx98},    {"c++98", kCxx98},   {"c++03", kCxx98},   {"c++11", kCxx11},
    {"c++0x", kCxx11},   {"c++14", kCxx14},   {"c++1y", kCxx14},   {"c++17", kCxx17},   {"c++1z", kCxx17},
    {"c++20", kCxx20},   {"c++2a", kCxx20},   {"c++23", kCxx23},   {"c++2b", kCxx23},   {"gnu++98", kCxx98},
    {"gnu++03", kCxx98}, {"gnu++11", kCxx11}, {"gnu++0x", kCxx11}, {"gnu++14", kCxx14}, {"gnu++1y", kCxx14},
    {"gnu++17", kCxx17}, {"gnu++1z", kCxx17}, {"gnu++20", kCxx20}, {"gnu++2a", kCxx20}, {"gnu++23", kCxx23},
    {"gnu++2b", kCxx23},
};

template <std::size_t N>
std::optional<Dialect> lookup(const NamedDialect (&table)[N], std::string_view name) {
  const auto* found = std::find_if(std::begin(table), std::end(table), [&](const NamedDialect& entry) {
    return entry.name == name;
  });
  if (found == std::end(table)) return std::nullopt;
  return found->dialect;
}

}  // namespace

std::optional<Dialect> find_dialect(std::string_view name, bool cplusplus) {
  return cplusplus ? lookup(kCxxDialects, name) : lookup(kCDialects, name);
}

}  // namespace sornik::cmode
