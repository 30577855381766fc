// The notes of a test of GCC's own test suite (`{ dg-options ... }`,
// `{ dg-error ... }`, ...) as they apply to a run in C or in C++.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sornik {

// A diagnostic a note expects, or one a preprocessor wrote.
struct Diagnostic {
  int line = 0;
  bool error = false;
  bool operator<(const Diagnostic& other) const {
    return line != other.line ? line < other.line : error < other.error;
  }
};

struct Expected {
  Diagnostic where;
  std::string pattern;
};

// What a test file's notes say for one language.
struct TestNotes {
  // Whether the test runs in that language at all (`dg-do` may name one).
  bool runs = true;
  bool has_options = false;
  std::vector<std::string> options;
  std::vector<Expected> expected;
};

// The notes of `text` that apply to a run in C (`cxx` false) or C++; a
// note's `{ target ... }` chooses the languages (`c`, `c++`, `c++20`: C++20
// on) and, in `{ target { ! c++20 } }`, leaves some out.
TestNotes read_notes(std::string_view text, bool cxx);

// Whether some note of `text` names C++ as its target: such a test runs in
// C++ too.
bool names_cxx(std::string_view text);

}  // namespace sornik
