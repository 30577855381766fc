// The rescanner's storage: token lists kept for reuse, and the texts and
// macros it makes stable before a directive may change the macros or the
// source moves on to its next chunk.
#include <algorithm>

#include "cmode/expand/call_scratch.h"
#include "cmode/expand/rescanner.h"

namespace sornik::cmode {

namespace {

void stabilize_tokens(std::vector<ExpToken>& tokens, TextArena& arena) {
  for (ExpToken& token : tokens) {
    if (token.stable) continue;
    token.text = arena.store(token.text);
    token.stable = true;
  }
}

// A token list keeps storage of up to this many tokens for its next use.
constexpr std::size_t kKeptTokens = 4096;
// The large lists kept aside for the next lists expected to be large.
constexpr std::size_t kSpareLists = 4;

}  // namespace

void Rescanner::release_if_large(std::vector<ExpToken>& tokens) {
  // A deeply nested use makes many large lists: memory follows what is live
  // rather than the deepest nesting seen, but the largest few are kept aside,
  // as fresh memory costs a page fault for every 4 KiB written.
  if (tokens.capacity() <= kKeptTokens) return;
  tokens.clear();
  if (spare_lists_.size() < kSpareLists) {
    spare_lists_.push_back(std::move(tokens));
  } else {
    auto smallest =
        std::min_element(spare_lists_.begin(), spare_lists_.end(), [](const auto& a, const auto& b) {
          return a.capacity() < b.capacity();
        });
    if (smallest->capacity() < tokens.capacity()) smallest->swap(tokens);
  }
  std::vector<ExpToken>().swap(tokens);
}

void Rescanner::expect_tokens(std::vector<ExpToken>& tokens, std::size_t count) {
  if (count <= kKeptTokens || tokens.capacity() >= count) return;
  // The smallest spare list that holds `count` tokens takes the list's
  // tokens; without one, new storage does. The old storage is given back.
  auto fits = spare_lists_.end();
  for (auto spare = spare_lists_.begin(); spare != spare_lists_.end(); ++spare) {
    if (spare->capacity() >= count && (fits == spare_lists_.end() || spare->capacity() < fits->capacity()))
      fits = spare;
  }
  std::vector<ExpToken> storage;
  if (fits != spare_lists_.end()) {
    storage.swap(*fits);
    spare_lists_.erase(fits);
  } else {
    storage.reserve(count);
  }
  storage.assign(tokens.begin(), tokens.end());
  tokens.swap(storage);
  release_if_large(storage);
}

void Rescanner::stabilize() {
  // A directive may change or remove any macro: from here on the live levels
  // disable their macros by name.
  named_levels_.clear();
  for (std::size_t level = 0; level < depth_; ++level) {
    Context& context = contexts_[level];
    // A level that reads tokens it does not own has them stabilized where they lie.
    stabilize_tokens(context.owned, arena_);
    if (context.name.empty()) continue;
    if (context.flagged != nullptr) context.flagged->set_expanding(false);
    context.flagged = nullptr;
    context.name = arena_.store(context.name);
    named_levels_.push_back(level);
  }
  for (std::size_t depth = 0; depth < call_depth_ && depth < calls_.size(); ++depth) {
    CallScratch& call = *calls_[depth];
    stabilize_tokens(call.tokens, arena_);
    for (auto& expanded : call.expansions) stabilize_tokens(expanded, arena_);
    if (!call.name_token.stable) {
      call.name_token.text = arena_.store(call.name_token.text);
      call.name_token.stable = true;
    }
    if (call.macro != nullptr && !call.kept) {
      // A directive may change the macro; the use goes on with it as it was.
      kept_macros_.push_back(Macro::copy(*call.macro));
      call.macro = kept_macros_.back().get();
      call.kept = true;
    }
  }
  if (outermost_out_ != nullptr) stabilize_tokens(*outermost_out_, arena_);
  for (; groups_stable_ < group_count_; ++groups_stable_) {
    GroupName& group = groups_[groups_stable_];
    if (!keep_group_macros_ || group.macro == nullptr) {
      group.macro = nullptr;
      continue;
    }
    kept_macros_.push_back(Macro::copy(*group.macro));
    group.macro = kept_macros_.back().get();
  }
}

}  // namespace sornik::cmode
