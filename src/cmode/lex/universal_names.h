// Identifiers beyond ASCII: the characters C11 (and C++11) allow in them,
// universal character names (\uXXXX, \UXXXXXXXX) and the one spelling of a
// name however its characters are written.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace sornik::cmode {

// Whether C11's Annex D allows the character in an identifier (D.1) and at
// its start (D.1 less the combining marks of D.2).
bool allowed_in_identifier(char32_t code);
bool allowed_at_identifier_start(char32_t code);

// The length of the universal character name at the start of `text` (6 for
// \uXXXX, 10 for \UXXXXXXXX), or 0 when none begins there; its character
// goes to `code`.
std::size_t universal_name_length(std::string_view text, char32_t& code);

namespace detail {
inline constinit thread_local bool universal_names_read = false;
inline constinit thread_local bool extended_characters_read = false;
}  // namespace detail

// Whether this thread's scanners have read a universal character name in an
// identifier or a number: until one has, no name is looked at for them (a
// name spelled with them can only come from such a read).
inline bool universal_names_met() { return detail::universal_names_read; }
inline void note_universal_name() {
  detail::universal_names_read = true;
  detail::extended_characters_read = true;
}

// Whether they have read a character beyond ASCII, in UTF-8 or as a
// universal character name, in an identifier or a number: until one has,
// no token's characters are checked.
inline bool extended_characters_met() { return detail::extended_characters_read; }
inline void note_extended_character() { detail::extended_characters_read = true; }

// Whether `name` (an identifier's spelling, without splices) holds a
// universal character name.
inline bool spells_universal_names(std::string_view name) {
  return name.find('\\') != std::string_view::npos;
}

// Appends `name` with each universal character name written as the UTF-8
// bytes of its character: the spelling by which the C compiler knows a
// name, so that `\u00e9t\u00e9` and `été` name the same macro.
void append_utf8_name(std::string& out, std::string_view name);

// Appends a name known by its UTF-8 spelling as the C compiler lists macro
// names: each character beyond ASCII as \UXXXXXXXX (lower-case digits).
void append_listed_name(std::string& out, std::string_view name);

// The C compiler's error for each universal character name and extended
// character of an identifier's spelling that C11 does not allow where it
// stands, one message a line; empty when there is none.
std::string identifier_character_errors(std::string_view name);

}  // namespace sornik::cmode
