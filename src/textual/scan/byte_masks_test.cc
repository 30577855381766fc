// Tests of bit masks of 64-byte pieces (scalar, SSE2 and AVX2 kernels, the fastest
// chosen at run time) for the search for plain lines.
#include "textual/scan/byte_masks.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

using namespace std::string_literals;
using namespace std::string_view_literals;

namespace sornik {
namespace {

std::vector<ClassifyKernel> available_kernels() {
  std::vector<ClassifyKernel> kernels;
  for (const ClassifyKernel kernel :
       {ClassifyKernel::kScalar, ClassifyKernel::kSse2, ClassifyKernel::kAvx2}) {
    if (kernel_available(kernel)) kernels.push_back(kernel);
  }
  return kernels;
}

// The bit of the byte at `pos` in each mask, as a string "nqlseh" of 0 and 1.
std::string bits_at(const ByteMasks& masks, int pos) {
  std::string bits;
  for (const std::uint64_t mask :
       {masks.names, masks.quotes, masks.newlines, masks.slashes, masks.escapes, masks.heads})
    bits += (mask >> pos & 1) != 0 ? '1' : '0';
  return bits;
}

// Each byte value at each edge of a class, in every kernel, at both ends of
// the 64 bytes and in between.
TEST(ByteMasks, ClassEdgesInEveryKernel) {
  const struct {
    char byte;
    const char* bits;  // name, quote, newline, slash, escape
  } cases[] = {
      {'/', "000100"},  {'0', "100000"},    {'9', "100000"},    {':', "000000"},    {'@', "000000"},
      {'A', "100000"},  {'Z', "100000"},    {'[', "000000"},    {'\\', "000010"},   {'_', "100000"},
      {'`', "000000"},  {'a', "100000"},    {'z', "100000"},    {'{', "000000"},    {'"', "010000"},
      {'\'', "010000"}, {'\n', "001000"},   {'\r', "000000"},   {'\0', "000000"},   {'\x7f', "000000"},
      {'*', "000000"},  {'\x80', "000010"}, {'\x81', "000010"}, {'\xc1', "000010"}, {'\xff', "000010"},
      {' ', "000000"},  {'\x0b', "000000"}, {'.', "000000"},    {'\x09', "000000"}, {'\xda', "000010"},
  };
  for (const ClassifyKernel kernel : available_kernels()) {
    for (const auto& c : cases) {
      for (const int pos : {0, 15, 16, 31, 32, 63}) {
        std::string bytes(64, ' ');
        bytes[pos] = c.byte;
        ByteMasks masks;
        classify_bytes(bytes.data(), 1, NameHeads{}, &masks, kernel);
        EXPECT_EQ(bits_at(masks, pos), c.bits) << "byte " << int(static_cast<unsigned char>(c.byte)) << " at "
                                               << pos << " kernel " << int(kernel);
        for (const int other : {0, 31, 63}) {
          if (other != pos) {
            EXPECT_EQ(bits_at(masks, other), "000000");
          }
        }
      }
    }
  }
}

// Every kernel the processor has classifies random text as the scalar one
// does, piece by piece.
TEST(ByteMasks, KernelsAgreeWithTheScalarOne) {
  std::mt19937 random(5);
  static constexpr std::string_view kBytes = "aZ_09/*\"'\\\n\r\x00\x81\xe0\xff\x7f`{@[:"sv;
  for (int round = 0; round < 100; ++round) {
    const std::size_t count = 1 + random() % 6;
    std::string bytes(64 * count, ' ');
    for (char& c : bytes)
      c = random() % 3 == 0 ? static_cast<char>(random()) : kBytes[random() % kBytes.size()];
    std::vector<ByteMasks> expected(count);
    NameHeads heads;
    for (const char head : {'a', 'Z', '_', '0', '9', '\x81', '/', '\x7f'}) {
      if (random() % 2 == 0) heads.add(head);
    }
    classify_bytes(bytes.data(), count, heads, expected.data(), ClassifyKernel::kScalar);
    std::vector<ByteMasks> fastest(count);
    classify_bytes(bytes.data(), count, heads, fastest.data());
    for (const ClassifyKernel kernel : available_kernels()) {
      std::vector<ByteMasks> got(count);
      classify_bytes(bytes.data(), count, heads, got.data(), kernel);
      for (std::size_t piece = 0; piece < count; ++piece) {
        for (int pos = 0; pos < 64; ++pos) {
          ASSERT_EQ(bits_at(got[piece], pos), bits_at(expected[piece], pos)) << round;
          ASSERT_EQ(bits_at(fastest[piece], pos), bits_at(expected[piece], pos)) << round;
        }
      }
    }
  }
}

// A name byte is a head when NameHeads holds it, in every kernel, whatever
// half of the byte shuffle table it uses; other bytes never are.
TEST(ByteMasks, HeadsAreTheNameBytesThatNameHeadsHolds) {
  NameHeads heads;
  for (const char head : {'0', '9', 'A', 'O', 'Z', '_', 'a', 'o', 'z', '/', '\x81', '\xff'}) heads.add(head);
  EXPECT_TRUE(heads.has('O'));
  EXPECT_FALSE(heads.has('\x81')) << "bytes from 0x80 on are never held";
  EXPECT_FALSE(heads.has('P'));
  const std::string bytes = "09AOZ_aoz/\x81\xff\xcfPp1\x1f\x3f\x5f\x7f\x0f"s + std::string(45, ' ');
  const std::string expected = "111111111000000000100";
  for (const ClassifyKernel kernel : available_kernels()) {
    ByteMasks masks;
    classify_bytes(bytes.data(), 1, heads, &masks, kernel);
    std::string got;
    for (std::size_t pos = 0; pos < expected.size(); ++pos) got += (masks.heads >> pos & 1) != 0 ? '1' : '0';
    EXPECT_EQ(got, expected) << "kernel " << int(kernel);
    EXPECT_EQ(masks.heads >> expected.size(), 0u);
  }
}

}  // namespace
}  // namespace sornik
