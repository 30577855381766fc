#include "render/json_text.h"

#include <gtest/gtest.h>
#include <string>

namespace sornik {
namespace {

std::string json(std::string_view bytes) {
  std::string out;
  append_json_string(out, bytes);
  return out;
}

TEST(JsonText, EscapesQuotesBackslashesAndControlBytes) {
  EXPECT_EQ(json("a\"b\\c"), R"("a\"b\\c")");
  EXPECT_EQ(json(std::string_view("\n\t\r\b\f\x01\x1f\x7f\0", 9)), R"("\n\t\r\b\f\u0001\u001f)"
                                                                   "\x7f"
                                                                   R"(\u0000")");
  EXPECT_EQ(json(" ~"), R"(" ~")");
}

TEST(JsonText, KeepsWellFormedUtf8AndWritesOtherBytesAsLatin1) {
  // Each lead byte range at both of its edges.
  EXPECT_EQ(json("\xc2\x80\xdf\xbf"), "\"\xc2\x80\xdf\xbf\"");
  EXPECT_EQ(json("\xe0\xa0\x80\xef\xbf\xbf"), "\"\xe0\xa0\x80\xef\xbf\xbf\"");
  EXPECT_EQ(json("\xf0\x90\x80\x80\xf4\x8f\xbf\xbf"), "\"\xf0\x90\x80\x80\xf4\x8f\xbf\xbf\"");
  // Overlong forms, surrogates, beyond U+10FFFF, bad or missing continuations.
  EXPECT_EQ(json("\xc1\xbf"), R"("\u00c1\u00bf")");
  EXPECT_EQ(json("\xe0\x9f\xbf"), R"("\u00e0\u009f\u00bf")");
  EXPECT_EQ(json("\xed\xa0\x80"), R"("\u00ed\u00a0\u0080")");
  EXPECT_EQ(json("\xed\x9f\xbf"), "\"\xed\x9f\xbf\"");
  EXPECT_EQ(json("\xf0\x8f\xbf\xbf"), R"("\u00f0\u008f\u00bf\u00bf")");
  EXPECT_EQ(json("\xf4\x90\x80\x80"), R"("\u00f4\u0090\u0080\u0080")");
  EXPECT_EQ(json("\xf5\x80"), R"("\u00f5\u0080")");
  EXPECT_EQ(json("\xe9t\xc3"), R"("\u00e9t\u00c3")");
  EXPECT_EQ(json("\xe2\x82"), R"("\u00e2\u0082")");
  EXPECT_EQ(json("\xc3\xa9\xc3\x28"), "\"\xc3\xa9\\u00c3(\"");
}

}  // namespace
}  // namespace sornik
