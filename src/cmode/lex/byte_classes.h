// The one table of what each byte is to the C mode's readers of text: a row
// per byte, and a column for each reader that tells bytes apart its own way.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace sornik::cmode {

// What a byte may do in a token, for the token scanner (flags).
enum ByteClass : std::uint8_t {
  kSpace = 1,       // white space between tokens (NUL too: it is ignored like a blank)
  kIdStart = 2,     // begins and continues an identifier
  kDigit = 4,       // continues an identifier or a number
  kPunct = 8,       // begins a punctuator
  kHighByte = 16,   // 0x80 and above: part of an identifier when it is valid UTF-8
  kBackslash = 32,  // may begin a universal character name (\u00e9), part of an identifier
};

// What a token or a blank that begins with a byte may be: one look in the
// table picks the token scanner's path.
enum class ByteStart : std::uint8_t {
  other,       // a token of one byte of kind `other`
  blank,       // white space
  identifier,  // a letter other than an encoding prefix, `_` or `$`
  prefix,      // L, u, U or R: an identifier, or the prefix of a literal
  digit,
  quote,  // " or '
  dot,    // a number or a punctuator
  slash,  // a comment or a punctuator
  punctuator,
  high_byte,  // 0x80 and above
};

// What the line feeder's quick scan for uses does at a byte.
enum class FeedClass : std::uint8_t {
  plain,
  identifier,  // a letter, `_` or `$`
  digit,
  quote,
  slash,
  backslash,
  newline,
  high,  // 0x80 and above
  dot,
};

// The plain readers' own classes (flags): readers that take only plainly
// written text and leave the rest to the lexer.
enum PlainClass : std::uint8_t {
  kLineStop = 1,        // \n " ' / \: where the search for a line's end looks closer
  kWordByte = 2,        // an ASCII letter, digit or `_`: a plainly written name
  kHeaderNameByte = 4,  // a byte of a header name that the lexer reads as one token with the rest
  kListSpecial = 8,     // may make a replacement list other than its normalised text
};

struct ByteRow {
  std::uint8_t token = 0;  // ByteClass flags
  ByteStart start = ByteStart::other;
  FeedClass feed = FeedClass::plain;
  std::uint8_t plain = 0;  // PlainClass flags
};

constexpr std::array<ByteRow, 256> make_byte_rows() {
  std::array<ByteRow, 256> rows{};
  const auto each = [&rows](std::string_view bytes, auto set) {
    for (char c : bytes) set(rows[static_cast<unsigned char>(c)]);
  };
  for (int c = 0; c < 256; ++c) {
    ByteRow& row = rows[c];
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$';
    const bool digit = c >= '0' && c <= '9';
    if (letter) {
      row.token = kIdStart;
      row.start = ByteStart::identifier;
      row.feed = FeedClass::identifier;
    } else if (digit) {
      row.token = kDigit;
      row.start = ByteStart::digit;
      row.feed = FeedClass::digit;
    } else if (c >= 0x80) {
      row.token = kHighByte;
      row.start = ByteStart::high_byte;
      row.feed = FeedClass::high;
    }
    if ((letter && c != '$') || digit) row.plain = kWordByte | kHeaderNameByte;
  }
  each(std::string_view(" \t\f\v\r\n\0", 7), [](ByteRow& row) {
    row.token = kSpace;
    row.start = ByteStart::blank;
    row.plain |= kListSpecial;
  });
  each("[](){}.-+&*~!/%<>=^|?:;,#", [](ByteRow& row) {
    row.token = kPunct;
    row.start = ByteStart::punctuator;
  });
  each("LuUR", [](ByteRow& row) {
    row.start = ByteStart::prefix;
  });
  each("\"'", [](ByteRow& row) {
    row.start = ByteStart::quote;
    row.feed = FeedClass::quote;
  });
  rows['.'].start = ByteStart::dot;
  rows['.'].feed = FeedClass::dot;
  rows['/'].start = ByteStart::slash;
  rows['/'].feed = FeedClass::slash;
  rows['\\'].feed = FeedClass::backslash;
  rows['\\'].token = kBackslash;
  rows['\n'].feed = FeedClass::newline;
  each("\n\"'/\\", [](ByteRow& row) {
    row.plain |= kLineStop;
  });
  each("./+-", [](ByteRow& row) {
    row.plain |= kHeaderNameByte;
  });
  each("\"'#\\/%_", [](ByteRow& row) {
    row.plain |= kListSpecial;
  });
  return rows;
}

inline constexpr std::array<ByteRow, 256> kByteRows = make_byte_rows();

inline const ByteRow& byte_row(char c) { return kByteRows[static_cast<unsigned char>(c)]; }

}  // namespace sornik::cmode
