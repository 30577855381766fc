// The storage of a marked text's use facts.
#include "render/use_facts.h"

namespace sornik {

void UseFacts::clear() {
  groups_.clear();
  uses_.clear();
  texts_.clear();
}

void UseFacts::add_group(const GroupFacts& facts) {
  StoredGroup& stored = groups_.emplace_back(StoredGroup{facts, texts_.size(), 0});
  texts_.append(facts.macro);
  stored.definition_at = texts_.size();
  texts_.append(facts.definition);
}

GroupFacts UseFacts::group(std::size_t index) const {
  const StoredGroup& stored = groups_[index];
  GroupFacts facts = stored.facts;
  facts.macro = std::string_view(texts_).substr(stored.macro_at, facts.macro.size());
  facts.definition = std::string_view(texts_).substr(stored.definition_at, facts.definition.size());
  return facts;
}

void append_definition_place(std::string& out, const DefinitionPlace& place) {
  out.append(place.file);
  if (place.line == 0) return;
  out.push_back(':');
  out.append(std::to_string(place.line));
}

void append_decimal(std::string& out, const IntegerValue& value) {
  const std::uint64_t sign = std::uint64_t{1} << (value.width - 1);
  if (value.is_unsigned || (value.bits & sign) == 0) {
    out.append(std::to_string(value.bits));
    return;
  }
  // The magnitude of a negative value: its two's complement at its width.
  const std::uint64_t mask = value.width == 64 ? ~std::uint64_t{0} : (sign << 1) - 1;
  out.push_back('-');
  out.append(std::to_string((~value.bits + 1) & mask));
}

void append_hexadecimal(std::string& out, const IntegerValue& value) {
  const std::uint64_t bits =
      value.width == 64 ? value.bits : value.bits & ((std::uint64_t{1} << value.width) - 1);
  char digits[16];
  std::size_t count = 0;
  for (std::uint64_t rest = bits; count == 0 || rest != 0; rest >>= 4)
    digits[count++] = "0123456789ABCDEF"[rest & 15];
  out.append("0x");
  while (count > 0) out.push_back(digits[--count]);
}

}  // namespace sornik
