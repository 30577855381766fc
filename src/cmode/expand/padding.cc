// Paddings: the blank rule, and the folding of runs of paddings.
#include "cmode/expand/padding.h"

namespace sornik::cmode {

BlankRule::Source BlankRule::after(Source source, const ExpToken& mark) {
  if (mark.padding == Padding::none) return source;
  const Source met = mark.padding == Padding::end ? Source::none
                     : mark.own_space             ? Source::spaced
                                                  : Source::unspaced;
  if (source == Source::none || (source == Source::unspaced && met == Source::none)) return met;
  return source;
}

void fold_padding(std::vector<ExpToken>& out, const ExpToken& padding) {
  std::size_t run = out.size();
  while (run > 0 && out[run - 1].mark == Mark::padding) --run;
  // A run acts on what the paddings before it decided; a spaced start stays
  // whatever follows, so the run is known by where it takes the other two.
  using Source = BlankRule::Source;
  Source from_none = Source::none;
  Source from_unspaced = Source::unspaced;
  for (std::size_t pos = run; pos < out.size(); ++pos) {
    from_none = BlankRule::after(from_none, out[pos]);
    from_unspaced = BlankRule::after(from_unspaced, out[pos]);
  }
  from_none = BlankRule::after(from_none, padding);
  from_unspaced = BlankRule::after(from_unspaced, padding);
  out.resize(run);
  const auto push = [&](Padding kind, bool spaced) {
    out.push_back(mark_token(Mark::padding, padding.group, kind, spaced));
  };
  // The six runs there are, each the shortest that acts so.
  if (from_none == Source::spaced && from_unspaced == Source::spaced) {
    push(Padding::end, false);
    push(Padding::start, true);
  } else if (from_none == Source::spaced) {
    push(Padding::start, true);
    if (from_unspaced == Source::none) push(Padding::end, false);
  } else if (from_none == Source::unspaced) {
    push(Padding::start, false);
  } else if (from_unspaced == Source::none) {
    push(Padding::end, false);
  }
}

}  // namespace sornik::cmode
