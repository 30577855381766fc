// The compiler's paddings in an expansion: the rule that turns them into
// blanks between tokens, and runs of them folded as they are appended.
#pragma once

#include <cstdint>
#include <vector>

#include "cmode/expand/expansion_token.h"

namespace sornik::cmode {

// The compiler's rule for the blank before a token of an expansion, in its
// output and in a stringified argument: the first padding met since the
// last token decides, unless it was written without white space and an end
// follows; with none, the token's own white space does.
class BlankRule {
 public:
  // What the paddings met since the last token decide.
  enum class Source : std::uint8_t { none, unspaced, spaced };

  // Takes in the padding a mark stands for.
  void pass(const ExpToken& mark) { source_ = after(source_, mark); }
  // Whether a blank goes before `token`, which ends the run of paddings.
  bool blank_before(const ExpToken& token) {
    const bool blank = source_ == Source::none ? token.own_space : source_ == Source::spaced;
    source_ = Source::none;
    return blank;
  }
  // What `source` becomes past `mark`.
  static Source after(Source source, const ExpToken& mark);

 private:
  Source source_ = Source::none;
};

// Folds `padding` into the run of paddings that ends `out`.
void fold_padding(std::vector<ExpToken>& out, const ExpToken& padding);

// Appends a padding mark (Mark::padding) to `out`, folded with the ones
// that end it: any run of paddings acts as one of at most two, and deep
// expansions would otherwise pile them up.
inline void append_padding(std::vector<ExpToken>& out, const ExpToken& padding) {
  if (out.empty() || out.back().mark != Mark::padding) {
    out.push_back(padding);
  } else {
    fold_padding(out, padding);
  }
}

}  // namespace sornik::cmode
