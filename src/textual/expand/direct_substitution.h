// One-pass substitution of plain calls from parameter lists and bodies cut
// once.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "textual/replace/replace_engine.h"

namespace sornik {

// Calls with more parameters, or longer lists (where a word could reach the
// engine's cut at 1024 bytes or a template its limit), take the engine.
inline constexpr std::size_t kMostParams = 16;
inline constexpr std::size_t kLongestList = 1000;

// A piece of the body copied as it is, then the argument of a parameter
// (none after the last piece).
struct Segment {
  std::size_t literal_start;
  std::size_t literal_size;
  int param;
};

// A parameter list and body cut for one-pass substitution: where each
// parameter's name lies in `params`, and the body as literal pieces and
// parameters in the order the engine would leave them. The names point into
// `params`, so a cut is never copied.
struct CutBody {
  CutBody() = default;
  CutBody(const CutBody&) = delete;
  CutBody& operator=(const CutBody&) = delete;

  std::string params;
  std::string body;
  bool usable = false;
  std::size_t count = 0;
  std::array<std::string_view, kMostParams> names{};
  // Bit c set when some parameter's name begins with the byte c.
  std::array<std::uint64_t, 4> first_bytes{};
  // How often each parameter's whole-word pattern matches the body.
  std::array<std::size_t, kMostParams> matches{};
  std::vector<Segment> segments;
};

// Cuts `params` and `body` into `cut`, which keeps copies of them.
void cut_body(std::string_view params, std::string_view body, CutBody& cut);

// The arguments of a call as substitute_cut cuts them; the caller keeps the
// room for them, which a call writes before it reads.
using ArgumentWords = std::array<std::string_view, kMostParams>;

// Appends to `out` the body of `cut` with `args` substituted, when the call
// is one that substitute_words takes under the engine's `limits`; false
// (nothing appended) otherwise. `words` is where the arguments are cut to.
bool substitute_cut(const CutBody& cut, std::string_view args, const ReplaceLimits& limits,
                    ArgumentWords& words, std::string& out);

// One-pass substitution of the calls of a run: the bodies it has cut, kept
// from call to call, and the text it builds.
class WordSubstitution {
 public:
  WordSubstitution() = default;
  WordSubstitution(const WordSubstitution&) = delete;
  WordSubstitution& operator=(const WordSubstitution&) = delete;

  // Substitutes the arguments of a call into the body in one pass, for the
  // calls where that gives exactly what the template engine gives word by
  // word: every parameter a plain identifier, every argument free of NUL
  // bytes, lead bytes, backslashes, colons, dollar signs and of the
  // parameters' names, and the texts within the engine's `limits`. nullopt
  // when the call is not of that kind; the result is valid until the next
  // call.
  std::optional<std::string_view> substitute_words(std::string_view params, std::string_view args,
                                                   std::string_view body, const ReplaceLimits& limits);

 private:
  const CutBody& cut_for(std::string_view params, std::string_view body);

  // Two ways for each slot, the one used last first; a body is cut when
  // first used and kept until two others of its slot have been used after
  // it. The slots are made at the first use: a run that never substitutes
  // does not fill their 32 KB at start.
  std::vector<std::array<std::unique_ptr<CutBody>, 2>> kept_bodies_;
  // The cut of a call whose texts are too long to keep.
  CutBody unkept_body_;
  ArgumentWords argument_words_;
  std::string result_;
};

}  // namespace sornik
