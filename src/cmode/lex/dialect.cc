// The table of -std= names and their dialects.
#include "cmode/lex/dialect.h"

#include <algorithm>

namespace sornik::cmode {

namespace {

struct NamedDialect {
  std::string_view name;
  Dialect dialect;
};

// A C dialect: GNU ones from gnu99 read raw strings; C2X reads `::`,
// digit separators, u8 character constants and #elifdef; digraphs came with
// C94; identifiers hold characters beyond ASCII from C99; ISO ones convert
// trigraphs (C2X too, in gcc 12).
constexpr Dialect c_dialect(std::string_view version, bool gnu, bool c2x) {
  return {.version = version,
          .strict = !gnu,
          .raw_strings = gnu && !version.empty(),
          .digit_separators = c2x,
          .scope = c2x,
          .utf8_chars = c2x,
          .digraphs = gnu || !version.empty(),
          .line_comments = gnu || (!version.empty() && version != "199409L"),
          .elifdef = c2x,
          .extended_identifiers = !version.empty() && version != "199409L",
          .trigraphs = !gnu};
}

constexpr Dialect kC90 = c_dialect("", false, false);
constexpr Dialect kC94 = c_dialect("199409L", false, false);
constexpr Dialect kC99 = c_dialect("199901L", false, false);
constexpr Dialect kC11 = c_dialect("201112L", false, false);
constexpr Dialect kC17 = c_dialect("201710L", false, false);
constexpr Dialect kC2x = c_dialect("202000L", false, true);
constexpr Dialect kC23 = c_dialect("202311L", false, true);
constexpr Dialect kGnu90 = c_dialect("", true, false);
constexpr Dialect kGnu99 = c_dialect("199901L", true, false);
constexpr Dialect kGnu11 = c_dialect("201112L", true, false);
constexpr Dialect kGnu17 = c_dialect("201710L", true, false);
constexpr Dialect kGnu2x = c_dialect("202000L", true, true);
constexpr Dialect kGnu23 = c_dialect("202311L", true, true);

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

// A C++ dialect by the year of its standard (98 for C++98 and C++03); the
// GNU ones read the same tokens, but for trigraphs, which ISO C++ converts
// up to C++14.
constexpr Dialect cxx_dialect(std::string_view version, int year, bool gnu) {
  const bool cxx11 = year < 98;
  return {.version = version,
          .cplusplus = true,
          .strict = !gnu,
          .raw_strings = cxx11,
          .digit_separators = cxx11 && year >= 14,
          .scope = true,
          .cplusplus_tokens = true,
          .user_literals = cxx11,
          .spaceship = cxx11 && year >= 20,
          .utf8_chars = cxx11 && year >= 17,
          .elifdef = cxx11 && year >= 23,
          .trigraphs = !gnu && (!cxx11 || year <= 14)};
}

constexpr Dialect kCxx98 = cxx_dialect("199711L", 98, false);
constexpr Dialect kCxx11 = cxx_dialect("201103L", 11, false);
constexpr Dialect kCxx14 = cxx_dialect("201402L", 14, false);
constexpr Dialect kCxx17 = cxx_dialect("201703L", 17, false);
constexpr Dialect kCxx20 = cxx_dialect("202002L", 20, false);
constexpr Dialect kCxx23 = cxx_dialect("202100L", 23, false);
constexpr Dialect kGnuCxx98 = cxx_dialect("199711L", 98, true);
constexpr Dialect kGnuCxx11 = cxx_dialect("201103L", 11, true);
constexpr Dialect kGnuCxx14 = cxx_dialect("201402L", 14, true);
constexpr Dialect kGnuCxx17 = cxx_dialect("201703L", 17, true);
constexpr Dialect kGnuCxx20 = cxx_dialect("202002L", 20, true);
constexpr Dialect kGnuCxx23 = cxx_dialect("202100L", 23, true);

constexpr NamedDialect kCxxDialects[] = {
    {"", kGnuCxx17},        {"ansi", kCxx98},       {"c++98", kCxx98},      {"c++03", kCxx98},
    {"c++11", kCxx11},      {"c++0x", kCxx11},      {"c++14", kCxx14},      {"c++1y", kCxx14},
    {"c++17", kCxx17},      {"c++1z", kCxx17},      {"c++20", kCxx20},      {"c++2a", kCxx20},
    {"c++23", kCxx23},      {"c++2b", kCxx23},      {"gnu++98", kGnuCxx98}, {"gnu++03", kGnuCxx98},
    {"gnu++11", kGnuCxx11}, {"gnu++0x", kGnuCxx11}, {"gnu++14", kGnuCxx14}, {"gnu++1y", kGnuCxx14},
    {"gnu++17", kGnuCxx17}, {"gnu++1z", kGnuCxx17}, {"gnu++20", kGnuCxx20}, {"gnu++2a", kGnuCxx20},
    {"gnu++23", kGnuCxx23}, {"gnu++2b", kGnuCxx23},
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

std::string_view variadic_name_warning(std::string_view name, bool in_variadic_body) {
  const Dialect& dialect = lexing_dialect();
  if (name == "__VA_ARGS__") {
    if (in_variadic_body) return {};
    return dialect.cplusplus ? "__VA_ARGS__ can only appear in the expansion of a C++11 variadic macro"
                             : "__VA_ARGS__ can only appear in the expansion of a C99 variadic macro";
  }
  if (name != "__VA_OPT__") return {};
  const bool has_va_opt = !dialect.strict || (dialect.cplusplus && dialect.version >= "202002L");
  if (!has_va_opt && diagnostic_rules().pedantic) return "__VA_OPT__ is not available until C++20";
  if (in_variadic_body) return {};
  return "__VA_OPT__ can only appear in the expansion of a C++20 variadic macro";
}

std::optional<Dialect> find_dialect(std::string_view name, bool cplusplus) {
  return cplusplus ? lookup(kCxxDialects, name) : lookup(kCDialects, name);
}

}  // namespace sornik::cmode
