// Spelling the token stream of one outermost use as marked text, or straight in the default form.
#include "cmode/listing/group_writer.h"

#include <algorithm>

#include "cmode/expand/padding.h"
#include "common/run_io.h"
#include "render/marker.h"

namespace sornik::cmode {

namespace {

// Writes marked text: marks as they are, texts escaped.
class MarkedSink {
 public:
  MarkedSink(std::string& out, std::vector<std::uint32_t>* opened) : out_(out), opened_(opened) {}

  void open(std::uint32_t group, std::string_view name) {
    out_.push_back(kStartMark);
    if (opened_ != nullptr) opened_->push_back(group);
    append_escaped(out_, name);
    out_.push_back(kSeparatorMark);
  }
  void ends(std::size_t count) { out_.append(count, kEndMark); }
  void text(std::string_view bytes) { append_escaped(out_, bytes); }
  void blank() { out_.push_back(' '); }
  std::size_t position() const { return out_.size(); }
  void blank_at(std::size_t position) { out_.insert(position, 1, ' '); }
  void token_done() {}

 private:
  std::string& out_;
  std::vector<std::uint32_t>* opened_;
};

// Writes what the default rendering makes of marked text: a start mark is
// nothing, a separator a backquote, an end mark an apostrophe, and texts are
// their bytes. What it has written goes to the output once it has grown
// large, after a token (a blank may still go in front of the groups that
// open before the next one).
class DefaultSink {
 public:
  explicit DefaultSink(std::string& out) : out_(out) {}

  void open(std::uint32_t /*group*/, std::string_view name) {
    out_.append(name);
    out_.push_back('`');
  }
  void ends(std::size_t count) { out_.append(count, '\''); }
  void text(std::string_view bytes) { out_.append(bytes); }
  void blank() { out_.push_back(' '); }
  std::size_t position() const { return out_.size(); }
  void blank_at(std::size_t position) { out_.insert(position, 1, ' '); }
  void token_done() {
    constexpr std::size_t kFlushSize = std::size_t{1} << 16;
    if (out_.size() < kFlushSize) return;
    out_write(out_);
    out_.clear();
  }

 private:
  std::string& out_;
};

}  // namespace

void GroupWriter::write_marked(const UseStream& use, std::string& out, std::vector<std::uint32_t>* opened) {
  MarkedSink sink(out, opened);
  write(use, sink);
}

void GroupWriter::write_default(const UseStream& use, std::string& out) {
  DefaultSink sink(out);
  write(use, sink);
}

template <typename Sink>
void GroupWriter::write(const UseStream& use, Sink& sink) {
  open_.clear();
  std::size_t pending_ends = 0;
  const ExpToken* previous = use.before;
  bool group_start = false;
  // Where the start marks in front of the next token begin: a blank before
  // that token goes in front of them, outside the groups it opens. The
  // outermost group stands in the source, which has its blanks already.
  std::size_t opens_at = std::string::npos;
  BlankRule blanks;
  for (const ExpToken& token : use.tokens) {
    if (token.mark != Mark::none) blanks.pass(token);
    if (token.mark == Mark::padding) continue;
    if (token.mark == Mark::open) {
      sink.ends(pending_ends);
      pending_ends = 0;
      // The stream opens with its outermost group: the use's first group, or
      // the use that encloses a _Pragma whose operand ended inside it.
      const bool outermost = &token == use.tokens.data();
      if (!group_start) opens_at = outermost ? std::string::npos : sink.position();
      sink.open(token.group, outermost ? use.outer_name : std::string_view(use.names[token.group].text));
      open_.push_back(token.group);
      group_start = true;
      continue;
    }
    if (token.mark == Mark::close) {
      // A close mark whose group is no longer open (its opener closed it) is dropped.
      const auto open = std::find(open_.rbegin(), open_.rend(), token.group);
      if (open == open_.rend()) continue;
      const auto closed = static_cast<std::size_t>(open - open_.rbegin()) + 1;
      open_.resize(open_.size() - closed);
      pending_ends += closed;
      continue;
    }
    const bool spaced = blanks.blank_before(token);
    const bool blank_outside = group_start && spaced && opens_at != std::string::npos;
    bool blank = spaced && !group_start;
    if (!blank && !blank_outside && previous != nullptr && respeller_.would_merge(*previous, token))
      blank = true;
    sink.ends(pending_ends);
    pending_ends = 0;
    if (blank) sink.blank();
    if (blank_outside) sink.blank_at(opens_at);
    sink.text(token.text);
    sink.token_done();
    previous = &token;
    group_start = false;
  }
  pending_ends += open_.size();
  open_.clear();
  if (use.after != nullptr && previous != nullptr && respeller_.would_merge(*previous, *use.after))
    sink.blank();
  sink.ends(pending_ends);
  has_last_ = previous != nullptr;
  if (has_last_) {
    // The token's text may lie in a source piece that the next use reads past.
    last_text_.assign(previous->text);
    last_ = *previous;
    last_.text = last_text_;
  }
}

}  // namespace sornik::cmode
