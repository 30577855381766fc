#include "render/json_listing.h"

#include <gtest/gtest.h>

#include "marked_text.h"

namespace sornik {
namespace {

using testing::marked;

// Reads texts of decimal digits as int values.
class DigitsReader final : public ValueReader {
 public:
  bool read(std::string_view text, IntegerValue& value) override {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) return false;
    value = {std::stoull(std::string(text)), 32, false};
    return true;
  }
};

GroupFacts facts_of(std::string_view macro, std::uint32_t line, bool annotated = true) {
  return {.macro = macro, .defined_at = {"h.h", line}, .annotated = annotated};
}

TEST(JsonListing, WritesOneObjectPerOutermostUseWithItsNestedUses) {
  // "A(2) + B" where A's expansion holds C (in focus) and S (not), S's holds D.
  const std::string text = marked("{3}A(2){1}{3}C{1}2{2}+{3}S{1}{3}D{1}4{2}{2}{2} + {3}B{1}\x1f\xe9{2};\n");
  UseFacts facts;
  DigitsReader reader;
  facts.values = &reader;
  facts.source_file = "s.c";
  facts.add_group(facts_of("A", 3));
  facts.add_group(facts_of("C", 0));
  facts.add_group(facts_of("S", 9, false));
  facts.add_group(facts_of("D", 4));
  facts.add_group(facts_of("B", 5));
  facts.add_use({1, 1, 1, 5});
  facts.add_use({1, 8, 2, 1});
  JsonListing listing;
  EXPECT_EQ(
      listing.write(text, &facts, 0),
      R"j({"file":"s.c","line":1,"column":1,"end_line":1,"end_column":5,"text":"A(2)","macro":"A",)j"
      R"j("defined_at":{"file":"h.h","line":3},"expansion":"2+4",)j"
      R"j("uses":[{"text":"C","macro":"C","defined_at":{"file":"h.h","line":0},"expansion":"2","value":2,"uses":[]},)j"
      R"j({"text":"D","macro":"D","defined_at":{"file":"h.h","line":4},"expansion":"4","value":4,"uses":[]}]})j"
      "\n"
      R"j({"file":"s.c","line":1,"column":8,"end_line":2,"end_column":1,"text":"B","macro":"B",)j"
      R"j("defined_at":{"file":"h.h","line":5},"expansion":"\u001f\u00e9","uses":[]})j"
      "\n");
  // Depth 1 keeps no nested use; the lifted D counts at A's level + 1.
  const std::string_view first_line = listing.write(text, &facts, 1);
  EXPECT_NE(first_line.find(R"j("expansion":"2+4","uses":[]})j"), std::string_view::npos);
  EXPECT_EQ(listing.write(text, &facts, 2), listing.write(text, &facts, 0));
}

TEST(JsonListing, OutermostUsesOutOfFocusAreLeftOut) {
  const std::string text = marked("{3}N{1}1{2} {3}M{1}2{2}");
  UseFacts facts;
  facts.add_group(facts_of("N", 1, false));
  facts.add_group(facts_of("M", 2));
  facts.add_use({1, 1, 1, 2});
  facts.add_use({1, 3, 1, 4});
  JsonListing listing;
  const std::string_view out = listing.write(text, &facts, 0);
  EXPECT_EQ(out.find("\"N\""), std::string_view::npos);
  EXPECT_EQ(out.find(R"j({"file":"","line":1,"column":3,)j"), 0u);
  EXPECT_EQ(listing.write("no uses\n", &facts, 0), "");
}

}  // namespace
}  // namespace sornik
