// Raw string literals: where one begins and ends, and what is wrong with one whose delimiter is not valid.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace sornik::cmode {

// Whether the quote at `quote` opens a raw string literal as its prefix
// stands before it: R, u8R, uR, UR or LR, no identifier byte before that
// (the caller knows the dialect reads raw strings).
bool raw_string_prefix_before(std::string_view text, std::size_t quote);

// Whether a delimiter of at most 16 valid bytes and a `(` follow the quote
// at `quote`.
bool raw_delimiter_valid(std::string_view text, std::size_t quote);

// The end of the raw string literal whose opening quote is at `quote`: just
// after the quote that closes it (`)`, the delimiter, `"`), splices being
// bytes of the literal like any other. One without a valid delimiter goes
// on to the next quote, as the compiler reads it. npos when the text ends
// first.
std::size_t raw_string_end(std::string_view text, std::size_t quote);

// What the compiler reports of a raw string that is no valid literal, and
// the offset in its text of the byte it names.
struct RawStringProblem {
  std::string message;
  std::size_t at = 0;
};

// The problems of `token`, the text of a token that begins with a raw
// string's prefix and quote: a delimiter that is too long or holds a byte it
// may not, and a literal that its text ends inside. None for a valid one.
std::vector<RawStringProblem> raw_string_problems(std::string_view token);

}  // namespace sornik::cmode
