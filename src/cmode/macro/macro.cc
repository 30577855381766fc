// The macro store and the making, copying and tokenising of macros.
#include "cmode/macro/macro.h"

#include <array>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include "cmode/lex/token_scan.h"
#include "common/memory.h"
#include "common/page_memory.h"

namespace sornik::cmode {

namespace {

// Where macros live: blocks are cut from large chunks, and a freed block
// waits on the list of its size class for the next macro of that size (a
// source that defines and undefines a name again and again reuses them).
// Under AddressSanitizer every block is its own heap block, so that the
// sanitizer sees each use after free and each leak.
class MacroStore {
 public:
  void* allocate(std::size_t bytes) {
    if (kOwnBlocks || bytes > kLargest) return ::operator new(bytes);
    const std::size_t size_class = class_of(bytes);
    if (void* block = free_[size_class]) {
      std::memcpy(&free_[size_class], block, sizeof(void*));
      return block;
    }
    const std::size_t size = (size_class + 1) * kGrain;
    if (left_ < size) add_chunk();
    char* block = next_;
    next_ += size;
    left_ -= size;
    return block;
  }

  void release(void* block, std::size_t bytes) {
    if (kOwnBlocks || bytes > kLargest) {
      ::operator delete(block);
      return;
    }
    const std::size_t size_class = class_of(bytes);
    std::memcpy(block, &free_[size_class], sizeof(void*));
    free_[size_class] = block;
  }

 private:
  static constexpr bool kOwnBlocks = kAddressSanitizer;
  static constexpr std::size_t kGrain = 8;
  static constexpr std::size_t kLargest = 2048;  // larger blocks come from the heap
  static constexpr std::size_t kFirstChunk = std::size_t{1} << 16;

  static std::size_t class_of(std::size_t bytes) { return (bytes - 1) / kGrain; }

  // Chunks double from 64 KiB up to a huge page, so that a small run touches
  // little memory and a large one faults few pages. Every block is written
  // before it is read, so a chunk is not cleared first.
  void add_chunk() {
    const std::size_t size =
        chunks_.empty() ? kFirstChunk : std::min(chunks_.back().size() * 2, kHugePageSize);
    chunks_.push_back(PageArray<char>::unfilled(size));
    next_ = chunks_.back().data();
    left_ = size;
  }

  std::array<void*, kLargest / kGrain> free_{};
  std::vector<PageArray<char>> chunks_;
  char* next_ = nullptr;
  std::size_t left_ = 0;
};

// Each thread's own: the threads converting sources side by side each make
// and free the macros of their own states.
MacroStore& store() {
  static thread_local MacroStore macros;
  return macros;
}

std::uint32_t narrow(std::size_t size) {
  if (size > std::numeric_limits<std::uint32_t>::max()) memory_exhausted(size);
  return static_cast<std::uint32_t>(size);
}

}  // namespace

void MacroDeleter::operator()(const Macro* macro) const { macro->release(); }

void Macro::release() const {
  if (tokens_ != nullptr) store().release(tokens_, token_count_ * sizeof(BodyToken));
  store().release(const_cast<Macro*>(this), block_size());
}

std::size_t Macro::block_size() const {
  const std::size_t marks = (forms_ & kMarked) != 0 ? sizeof(std::uint32_t) + operator_marks().size() : 0;
  return sizeof(Macro) + param_count_ * sizeof(ParamRef) + name_size_ + param_bytes_ + text_size_ + marks;
}

std::string_view Macro::stored_operator_marks() const {
  const char* count_at = replacement_data() + text_size_;
  std::uint32_t count = 0;
  std::memcpy(&count, count_at, sizeof count);
  return {count_at + sizeof count, count};
}

void Macro::make_tokens() const {
  // The normalised text lexes into the tokens the definition had: one blank
  // stands wherever the definition had white space or a comment, and the
  // respelled `#` and `##` lex as themselves.
  static thread_local std::vector<BodyToken> lexed;
  lexed.clear();
  // The text holds no comment: ISO C90's `//` in it is two divisions.
  const bool saved = slashes_divide;
  slashes_divide = true;
  TokenScan<ScanMode::plain> scan(replacement());
  ScannedToken scanned;
  while (scan.next(scanned)) {
    BodyToken& token = lexed.emplace_back();
    token.begin = static_cast<std::uint32_t>(scanned.begin);
    token.kind = scanned.kind;
    token.space_before = scanned.space_before;
  }
  slashes_divide = saved;
  if (lexed.empty()) return;
  const std::size_t bytes = lexed.size() * sizeof(BodyToken);
  tokens_ = static_cast<BodyToken*>(store().allocate(bytes));
  std::memcpy(tokens_, lexed.data(), bytes);
  token_count_ = static_cast<std::uint32_t>(lexed.size());
}

MacroPtr Macro::make(const MacroShape& shape) {
  const std::size_t size = sizeof(Macro) + shape.param_count * sizeof(ParamRef) + shape.name.size() +
                           shape.param_bytes + shape.text_size;
  if (shape.text_size > kLargestReplacement) memory_exhausted(size);
  MacroPtr macro(new (store().allocate(size)) Macro);
  macro->name_size_ = narrow(shape.name.size());
  macro->param_count_ = narrow(shape.param_count);
  macro->param_bytes_ = narrow(shape.param_bytes);
  macro->text_size_ = narrow(shape.text_size);
  macro->function_like_ = shape.function_like;
  macro->forms_ = static_cast<std::uint8_t>(
      (shape.variadic ? kVariadic : 0) |
      (shape.name == "__VA_ARGS__" || shape.name == "__VA_OPT__" ? kWarnedAtUse : 0));
  macro->builtin_ = shape.builtin;
  std::memcpy(macro->chars(), shape.name.data(), shape.name.size());
  return macro;
}

MacroPtr Macro::make(const MacroShape& shape, std::string_view operator_marks) {
  // The block of a macro whose text is longer by the marks and their count,
  // which the flag then tells apart from the text.
  MacroShape longer = shape;
  longer.text_size += sizeof(std::uint32_t) + operator_marks.size();
  MacroPtr macro = make(longer);
  macro->text_size_ = narrow(shape.text_size);
  macro->forms_ |= kMarked;
  const std::uint32_t count = narrow(operator_marks.size());
  char* after_text = macro->replacement_text() + shape.text_size;
  std::memcpy(after_text, &count, sizeof count);
  std::memcpy(after_text + sizeof count, operator_marks.data(), operator_marks.size());
  return macro;
}

MacroPtr Macro::copy(const Macro& macro) {
  const std::size_t size = macro.block_size();
  MacroPtr copy(new (store().allocate(size)) Macro);
  std::memcpy(static_cast<void*>(copy.get()), static_cast<const void*>(&macro), size);
  copy->tokens_ = nullptr;
  copy->token_count_ = 0;
  copy->expanding_ = false;
  return copy;
}

void Macro::set_param(std::size_t index, std::string_view name) {
  const std::uint32_t begin = index == 0 ? 0 : params()[index - 1].begin + params()[index - 1].size;
  params()[index] = {begin, static_cast<std::uint32_t>(name.size())};
  std::memcpy(chars() + name_size_ + begin, name.data(), name.size());
}

int Macro::spelled_param_index(std::string_view name) const {
  const auto spelled = [this](std::size_t i) {
    return spells_universal_names(param(i));
  };
  std::size_t i = 0;
  if (!spells_universal_names(name)) {
    while (i < param_count_ && !spelled(i)) ++i;
    if (i == param_count_) return -1;
  }
  std::string utf8;
  append_utf8_name(utf8, name);
  std::string param_utf8;
  for (; i < param_count_; ++i) {
    param_utf8.clear();
    append_utf8_name(param_utf8, param(i));
    if (param_utf8 == utf8) return static_cast<int>(i);
  }
  return -1;
}

void append_define_line(std::string& out, const Macro& macro, bool listed_name) {
  out += "#define ";
  if (listed_name) {
    append_listed_name(out, macro.name());
  } else {
    out += macro.name();
  }
  if (macro.function_like()) {
    out += '(';
    const std::size_t count = macro.param_count();
    for (std::size_t i = 0; i < count; ++i) {
      if (i != 0) out += ',';
      const bool last = i + 1 == count;
      if (last && macro.variadic() && macro.param(i) == "__VA_ARGS__") {
        out += "...";
      } else {
        out += macro.param(i);
        if (last && macro.variadic()) out += "...";
      }
    }
    out += ')';
  }
  out += ' ';
  out += macro.replacement();
}

bool same_definition(const Macro& a, const Macro& b) {
  if (a.function_like() != b.function_like() || a.variadic() != b.variadic() ||
      a.param_count() != b.param_count() || a.replacement() != b.replacement() ||
      a.operator_marks() != b.operator_marks()) {
    return false;
  }
  for (std::size_t i = 0; i < a.param_count(); ++i) {
    if (a.param(i) != b.param(i)) return false;
  }
  return true;
}

}  // namespace sornik::cmode
