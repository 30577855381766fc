// The expander's loop over a source file: lines without a use are copied, uses are expanded and
// written.
#include "cmode/listing/expander.h"

#include <algorithm>

#include "cmode/expand/rescanner.h"
#include "cmode/listing/fact_gatherer.h"
#include "cmode/listing/group_writer.h"
#include "cmode/listing/line_feeder.h"
#include "cmode/listing/source_window.h"
#include "common/run_io.h"
#include "render/marker.h"

namespace sornik::cmode {

namespace {

// Whether the token may start a use: the name of a macro the rescanner replaces.
bool may_start_use(const MacroTable& table, const ExpToken& token) {
  return token.is_identifier() && table.holds(token.text);
}

}  // namespace

Expander::Expander(const MacroTable& table) : table_(table) {}

Expander::~Expander() = default;

void Expander::expand_file(ChunkSource& source, std::string_view file, Renderer& renderer) {
  LineFeeder feeder(source, table_);
  Rescanner rescanner(table_, file);
  rescanner.set_feature_tests(feature_tests_);
  rescanner.set_pragma_actions(pragma_actions_);
  rescanner.set_builtin_state(builtins_);
  rescanner.set_grouping(renderer.expansion_only() ? Grouping::outermost
                         : renderer.shows_names()  ? Grouping::named
                                                   : Grouping::unnamed);
  SourceWindow window(feeder, rescanner, argument_reading_);
  GroupWriter writer;
  FactGatherer gatherer(table_, renderer.needs(), file, value_reader_);
  rescanner.keep_group_macros(gatherer.active());
  // In the default form, without facts to hand the renderer, each use is
  // written straight in its rendering and sent on as it grows: no marked
  // text, and no rendering of a whole line, is held.
  const bool direct = renderer.default_form() && !gatherer.active();
  std::vector<ExpToken> stream;
  std::string marked;
  SourceChunk piece;
  bool may_use;
  while (feeder.next(piece, may_use)) {
    if (!may_use) {
      out_write(renderer.plain(piece.bytes));
      continue;
    }
    window.start(piece);
    if (gatherer.active()) gatherer.start_window(piece.first_line);
    marked.clear();
    bool grouped = false;
    std::uint32_t written = 0;
    for (std::size_t index = 0; index < window.size();) {
      if (!may_start_use(table_, window.token(index))) {
        ++index;
        continue;
      }
      stream.clear();
      std::size_t end;
      if (!rescanner.expand_source_use(window, index, stream, end)) {
        index = std::max(end, index + 1);
        continue;
      }
      const std::string_view bytes = window.bytes();
      const ExpToken& name = window.token(index);
      const std::uint32_t use_end = rescanner.source_end();
      const std::string_view before_use = bytes.substr(written, name.source_begin - written);
      // Tokens touch the use when nothing but splices stands between; right
      // after another use, what touches it is the last token that use wrote.
      const ExpToken* before = index > 0 && !name.space_before ? &window.token(index - 1) : nullptr;
      if (before != nullptr && grouped && written == name.source_begin) before = writer.last_written();
      const ExpToken* after = nullptr;
      if (end < window.size() && !window.token(end).space_before) after = &window.token(end);
      const UseStream use{stream, rescanner.groups(),
                          bytes.substr(name.source_begin, use_end - name.source_begin), before, after};
      if (direct) {
        marked.append(before_use);
        writer.write_default(use, marked);
      } else {
        append_escaped(marked, before_use);
        writer.write_marked(use, marked, gatherer.opened());
      }
      if (gatherer.active()) gatherer.add_use(rescanner.groups(), bytes, name.source_begin, use_end);
      written = use_end;
      grouped = true;
      index = end;
    }
    if (grouped && direct) {
      marked.append(window.bytes().substr(written));
      out_write(marked);
    } else if (grouped) {
      append_escaped(marked, window.bytes().substr(written));
      out_write(renderer.render(marked, gatherer.facts()));
    } else {
      out_write(renderer.plain(window.bytes()));
    }
    rescanner.reset();
  }
}

void Expander::expand_directive(std::span<const Token> in, ExpandedFor use, SourcePlace place,
                                std::vector<Token>& out) {
  if (directive_rescanner_ == nullptr) {
    directive_rescanner_ = std::make_unique<Rescanner>(table_, "");
    // A directive's expansion is used without its groups.
    directive_rescanner_->set_grouping(Grouping::outermost);
  }
  Rescanner& rescanner = *directive_rescanner_;
  rescanner.set_builtin_state(builtins_);
  rescanner.set_pragma_actions(pragma_actions_);
  if (directive_file_ != place.file) {
    directive_file_.assign(place.file);
    rescanner.set_file(directive_file_);
  }
  rescanner.reset();
  directive_in_.clear();
  for (const Token& token : in) {
    ExpToken& added = directive_in_.emplace_back();
    added.text = token.text;
    added.kind = token.kind;
    added.space_before = token.space_before;
    added.own_space = token.space_before;
    added.fresh = true;
    added.source_begin = token.begin;
    added.source_end = token.end;
    added.line = place.line;
    added.from_source = true;
  }
  directive_out_.clear();
  rescanner.expand_all(directive_in_, use, directive_out_);
  out.clear();
  for (const ExpToken& token : directive_out_) {
    if (token.mark != Mark::none) continue;
    Token& added = out.emplace_back();
    added.text = token.text;
    added.kind = token.kind;
    added.space_before = token.own_space;
    added.system_macro = token.system_macro;
    if (token.from_source) {
      added.begin = token.source_begin;
      added.end = token.source_end;
    }
  }
}

}  // namespace sornik::cmode
