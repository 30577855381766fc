// The table of -std= names and their dialects.
#include "cmode/lex/dialect.h"

#include <algorithm>

namespace sornik::cmode {

namespace {

struct NamedDialect {
  std::string_view name;
  Dialect dialect;
};

// Version, C++, raw strings, line comments.
constexpr Dialect kC90{"", false, false, false};
constexpr Dialect kC94{"199409L", false, false, false};
constexpr Dialect kC99{"199901L", false, false, true};
constexpr Dialect kC11{"201112L", false, false, true};
constexpr Dialect kC17{"201710L", false, false, true};
constexpr Dialect kC2x{"202000L", false, false, true};
constexpr Dialect kC23{"202311L", false, false, true};
constexpr Dialect kGnu90{"", false, false, true};
constexpr Dialect kGnu99{"199901L", false, true, true};
constexpr Dialect kGnu11{"201112L", false, true, true};
constexpr Dialect kGnu17{"201710L", false, true, true};
constexpr Dialect kGnu2x{"202000L", false, true, true};
constexpr Dialect kGnu23{"202311L", false, true, true};

constexpr NamedDialect kCDialects[] = {
    {"", kGnu17},           {"ansi", kC90},         {"c89", kC90},
    {"c90", kC90},          {"iso9899:1990", kC90}, {"iso9899:199409", kC94},
    {"c99", kC99},          {"c9x", kC99},          {"iso9899:1999", kC99},
    {"iso9899:199x", kC99}, {"c11", kC11},          {"c1x", kC11},
    {"iso9899:2011", kC11}, {"c17", kC17},          {"c18", kC17},
    {"iso9899:2017", kC17}, {"iso9899:2018", kC17}, {"c2x", kC2x},
    {"c23", kC23},          {"gnu89", kGnu90},      {"gnu90", kGnu90},
    {"gnu99", kGnu99},      {"gnu9x", kGnu99},      {"gnu11", kGnu11},
    {"gnu1x", kGnu11},      {"gnu17", kGnu17},      {"gnu18", kGnu17},
    {"gnu2x", kGnu2x},      {"gnu23", kGnu23},
};

constexpr Dialect kCxx98{"199711L", true, false, true};
constexpr Dialect kCxx11{"201103L", true, true, true};
constexpr Dialect kCxx14{"201402L", true, true, true};
constexpr Dialect kCxx17{"201703L", true, true, true};
constexpr Dialect kCxx20{"202002L", true, true, true};
constexpr Dialect kCxx23{"202100L", true, true, true};
constexpr Dialect kGnuxx98{"199711L", true, false, true};
constexpr Dialect kGnuxx11{"201103L", true, true, true};
constexpr Dialect kGnuxx14{"201402L", true, true, true};
constexpr Dialect kGnuxx17{"201703L", true, true, true};
constexpr Dialect kGnuxx20{"202002L", true, true, true};
constexpr Dialect kGnuxx23{"202100L", true, true, true};

constexpr NamedDialect kCxxDialects[] = {
    {"", kGnuxx17},        {"ansi", kCxx98},      {"c++98", kCxx98},     {"c++03", kCxx98},
    {"c++11", kCxx11},     {"c++0x", kCxx11},     {"c++14", kCxx14},     {"c++1y", kCxx14},
    {"c++17", kCxx17},     {"c++1z", kCxx17},     {"c++20", kCxx20},     {"c++2a", kCxx20},
    {"c++23", kCxx23},     {"c++2b", kCxx23},     {"gnu++98", kGnuxx98}, {"gnu++03", kGnuxx98},
    {"gnu++11", kGnuxx11}, {"gnu++0x", kGnuxx11}, {"gnu++14", kGnuxx14}, {"gnu++1y", kGnuxx14},
    {"gnu++17", kGnuxx17}, {"gnu++1z", kGnuxx17}, {"gnu++20", kGnuxx20}, {"gnu++2a", kGnuxx20},
    {"gnu++23", kGnuxx23}, {"gnu++2b", kGnuxx23},
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
