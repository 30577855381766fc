#include "cmode/condition/constant_reader.h"

#include <gtest/gtest.h>
#include <string>

namespace sornik::cmode {
namespace {

// The decimal value of `text`, or "-" when it has none.
std::string value_of(std::string_view text, const TargetWidths& widths = {}) {
  ConstantReader reader(widths);
  IntegerValue value;
  if (!reader.read(text, value)) return "-";
  std::string out;
  append_decimal(out, value);
  if (value.is_unsigned) out += 'u';
  return out + "/" + std::to_string(value.width);
}

TEST(ConstantReader, ConstantsTakeTheTypeTheirFormAndSuffixGive) {
  EXPECT_EQ(value_of("2147483647"), "2147483647/32");
  EXPECT_EQ(value_of("2147483648"), "2147483648/64");
  EXPECT_EQ(value_of("0x7FFFFFFF"), "2147483647/32");
  EXPECT_EQ(value_of("0x80000000"), "2147483648u/32");
  EXPECT_EQ(value_of("0xFFFFFFFFFFFFFFFF"), "18446744073709551615u/64");
  EXPECT_EQ(value_of("9223372036854775807"), "9223372036854775807/64");
  EXPECT_EQ(value_of("9223372036854775808"), "-");
  EXPECT_EQ(value_of("18446744073709551616u"), "-");
  EXPECT_EQ(value_of("1u"), "1u/32");
  EXPECT_EQ(value_of("1l"), "1/64");
  EXPECT_EQ(value_of("1ULL"), "1u/64");
  EXPECT_EQ(value_of("'a'"), "97/32");
  EXPECT_EQ(value_of("'\\xff'"), "-1/32");
  EXPECT_EQ(value_of("U'\\xff'"), "255u/32");
  EXPECT_EQ(value_of("1.5"), "-");
  EXPECT_EQ(value_of("1i"), "-");
  EXPECT_EQ(value_of("\"s\""), "-");
  EXPECT_EQ(value_of("X"), "-");
  EXPECT_EQ(value_of("sizeof(int)"), "-");
  EXPECT_EQ(value_of(""), "-");
}

TEST(ConstantReader, ArithmeticFollowsTheUsualConversions) {
  EXPECT_EQ(value_of("~0u"), "4294967295u/32");
  EXPECT_EQ(value_of("-1 < 0u"), "0/32");
  EXPECT_EQ(value_of("-1 < 0l"), "1/32");
  EXPECT_EQ(value_of("-1L < 1U"), "1/32");
  EXPECT_EQ(value_of("0u - 1"), "4294967295u/32");
  EXPECT_EQ(value_of("(1u << 4) + (1u << 4)"), "32u/32");
  EXPECT_EQ(value_of("((uint32_t)0x40001000 + 0xC)"), "1073745932u/32");
  EXPECT_EQ(value_of("(unsigned char)300"), "44u/8");
  EXPECT_EQ(value_of("(int8_t)200"), "-56/8");
  EXPECT_EQ(value_of("(unsigned char)255 + 1"), "256/32");
  EXPECT_EQ(value_of("(_Bool)5"), "1u/1");
  EXPECT_EQ(value_of("(const unsigned long long)-1"), "18446744073709551615u/64");
  EXPECT_EQ(value_of("(short int)65535"), "-1/16");
  EXPECT_EQ(value_of("(long char)1"), "-");
  EXPECT_EQ(value_of("-7 / 2"), "-3/32");
  EXPECT_EQ(value_of("-7 % 2"), "-1/32");
  EXPECT_EQ(value_of("-8 >> 1"), "-4/32");
  EXPECT_EQ(value_of("1 ? 2 : 3u"), "2u/32");
  EXPECT_EQ(value_of("!5 || 0"), "0/32");
}

TEST(ConstantReader, UndefinedResultsCountOnlyWhereEvaluated) {
  EXPECT_EQ(value_of("2147483647 + 1"), "-");
  EXPECT_EQ(value_of("2147483647 + 1u"), "2147483648u/32");
  EXPECT_EQ(value_of("-2147483647 - 1"), "-2147483648/32");
  EXPECT_EQ(value_of("-(-2147483647 - 1)"), "-");
  EXPECT_EQ(value_of("(-2147483647 - 1) / -1"), "-");
  EXPECT_EQ(value_of("(-2147483647 - 1) % -1"), "-");
  EXPECT_EQ(value_of("1 / 0"), "-");
  EXPECT_EQ(value_of("1 << 30"), "1073741824/32");
  EXPECT_EQ(value_of("1 << 31"), "-");
  EXPECT_EQ(value_of("1u << 31"), "2147483648u/32");
  EXPECT_EQ(value_of("1u << 32"), "-");
  EXPECT_EQ(value_of("1 << -1"), "-");
  EXPECT_EQ(value_of("-1 << 1"), "-");
  EXPECT_EQ(value_of("1ull << 63"), "9223372036854775808u/64");
  EXPECT_EQ(value_of("0 && 1 / 0"), "0/32");
  EXPECT_EQ(value_of("1 || (1, 2)"), "1/32");
  EXPECT_EQ(value_of("1 ? 2 : 1 / 0"), "2/32");
  EXPECT_EQ(value_of("0 ? 1 : 1 / 0"), "-");
  EXPECT_EQ(value_of("(1, 2)"), "-");
  EXPECT_EQ(value_of("(1"), "-");
  EXPECT_EQ(value_of("1 2"), "-");
  EXPECT_EQ(value_of(std::string(200, '(') + "1" + std::string(200, ')')), "-");
  EXPECT_EQ(value_of(std::string(199, '(') + "1" + std::string(199, ')')), "1/32");
}

// C allows a floating constant only as the operand of a cast: converted
// toward zero, rounded first to the type its suffix gives.
TEST(ConstantReader, FloatingConstantsCountAsOperandsOfCasts) {
  EXPECT_EQ(value_of("(int)1.5 + 1"), "2/32");
  EXPECT_EQ(value_of("(int)(1.5)"), "1/32");
  EXPECT_EQ(value_of("(int)((1.5))"), "1/32");
  EXPECT_EQ(value_of("(int)((1.5)"), "-");
  EXPECT_EQ(value_of("(int)(1.5 + 1)"), "-");
  EXPECT_EQ(value_of("(int)-1.5"), "-");
  EXPECT_EQ(value_of("(int)1.5 < 2.5"), "-");
  EXPECT_EQ(value_of("(unsigned char)255.9"), "255u/8");
  EXPECT_EQ(value_of("(unsigned char)256.0"), "-");
  EXPECT_EQ(value_of("(signed char)127.9"), "127/8");
  EXPECT_EQ(value_of("(signed char)128.0"), "-");
  EXPECT_EQ(value_of("1 ? 2 : (int)1e10"), "2/32");
  EXPECT_EQ(value_of("(_Bool)0.5"), "1u/1");
  EXPECT_EQ(value_of("(_Bool)0.0"), "0u/1");
  EXPECT_EQ(value_of("(long long)9007199254740993.0"), "9007199254740992/64");
  EXPECT_EQ(value_of("(long long)9007199254740993.0L"), "9007199254740993/64");
  EXPECT_EQ(value_of("(int)16777217.0f"), "16777216/32");
  EXPECT_EQ(value_of("(unsigned long long)18446744073709551615.0L"), "18446744073709551615u/64");
  EXPECT_EQ(value_of("(unsigned long long)18446744073709551616.0L"), "-");
  EXPECT_EQ(value_of("(int)0x1.8p1"), "3/32");
  EXPECT_EQ(value_of("(int)0x1.8"), "-");
  EXPECT_EQ(value_of("(int)1.5u"), "-");
  EXPECT_EQ(value_of("(int)1e"), "-");
  EXPECT_EQ(value_of("(int)1e999"), "-");
}

TEST(ConstantReader, WidthsFollowTheTarget) {
  TargetWidths ilp32;
  ilp32.long_bits = 32;
  EXPECT_EQ(value_of("2147483648", ilp32), "2147483648/64");
  EXPECT_EQ(value_of("0xFFFFFFFFl", ilp32), "4294967295u/32");
  EXPECT_EQ(value_of("(long)-1 < 0u", ilp32), "0/32");
  TargetWidths unsigned_char;
  unsigned_char.char_unsigned = true;
  EXPECT_EQ(value_of("(char)255", unsigned_char), "255u/8");
  EXPECT_EQ(value_of("(signed char)255", unsigned_char), "-1/8");
  EXPECT_EQ(value_of("(char)255"), "-1/8");
}

}  // namespace
}  // namespace sornik::cmode
