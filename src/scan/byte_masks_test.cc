#include "scan/byte_masks.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

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

// The bit of the byte at `pos` in each mask, as a string "nqlse" of 0 and 1.
std::string bits_at(const ByteMasks& masks, int pos) {
  std::string bits;
  for (const std::uint64_t mask : {masks.names, masks.quotes, masks.newlines, masks.slashes, masks.escapes})
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
      {'/', "00010"},  {'0', "10000"},    {'9', "10000"},    {':', "00000"},    {'@', "00000"},
      {'A', "10000"},  {'Z', "10000"},    {'[', "00000"},    {'\\', "00001"},   {'_', "10000"},
      {'`', "00000"},  {'a', "10000"},    {'z', "10000"},    {'{', "00000"},    {'"', "01000"},
      {'\'', "01000"}, {'\n', "00100"},   {'\r', "00000"},   {'\0', "00000"},   {'\x7f', "00000"},
      {'*', "00000"},  {'\x80', "00001"}, {'\x81', "00001"}, {'\xc1', "00001"}, {'\xff', "00001"},
      {' ', "00000"},  {'\x0b', "00000"}, {'.', "00000"},    {'\x09', "00000"}, {'\xda', "00001"},
  };
  for (const ClassifyKernel kernel : available_kernels()) {
    for (const auto& c : cases) {
      for (const int pos : {0, 15, 16, 31, 32, 63}) {
        std::string bytes(64, ' ');
        bytes[pos] = c.byte;
        ByteMasks masks;
        classify_bytes(bytes.data(), 1, &masks, kernel);
        EXPECT_EQ(bits_at(masks, pos), c.bits) << "byte " << int(static_cast<unsigned char>(c.byte)) << " at "
                                               << pos << " kernel " << int(kernel);
        for (const int other : {0, 31, 63}) {
          if (other != pos) {
            EXPECT_EQ(bits_at(masks, other), "00000");
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
    classify_bytes(bytes.data(), count, expected.data(), ClassifyKernel::kScalar);
    std::vector<ByteMasks> fastest(count);
    classify_bytes(bytes.data(), count, fastest.data());
    for (const ClassifyKernel kernel : available_kernels()) {
      std::vector<ByteMasks> got(count);
      classify_bytes(bytes.data(), count, got.data(), kernel);
      for (std::size_t piece = 0; piece < count; ++piece) {
        for (int pos = 0; pos < 64; ++pos) {
          ASSERT_EQ(bits_at(got[piece], pos), bits_at(expected[piece], pos)) << round;
          ASSERT_EQ(bits_at(fastest[piece], pos), bits_at(expected[piece], pos)) << round;
        }
      }
    }
  }
}

}  // namespace
}  // namespace sornik
