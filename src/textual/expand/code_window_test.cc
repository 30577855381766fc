// Tests of 64-byte windows of a line in code as bit masks of name bytes and of the
// bytes that change the scan state.
#include "textual/expand/code_window.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <string_view>

namespace sornik {
namespace {

using namespace std::string_view_literals;

// Every kernel the processor has describes every text as the scalar one does.
TEST(CodeMasks, KernelsAgreeWithTheScalarOne) {
  std::mt19937 random(3);
  // Mostly the bytes that matter: name bytes, stops, marks, lead bytes.
  static constexpr std::string_view kBytes = "aZ_09/*\"'\x01\x02\x03\x04\x05\x00 \n\x81\xe0\xff\x7f`{@["sv;
  for (int round = 0; round < 200; ++round) {
    std::string text(random() % 300, ' ');
    for (char& c : text)
      c = random() % 4 == 0 ? static_cast<char>(random()) : kBytes[random() % kBytes.size()];
    for (const bool marked : {false, true}) {
      CodeMasks scalar;
      scalar.classify(text, marked, ClassifyKernel::kScalar);
      for (const ClassifyKernel kernel : {ClassifyKernel::kSse2, ClassifyKernel::kAvx2}) {
        if (!kernel_available(kernel)) continue;
        CodeMasks fast;
        fast.classify(text, marked, kernel);
        for (std::size_t pos = 0; pos < text.size(); pos += 1 + random() % 40) {
          const CodeWindow expected = scalar.window(pos);
          const CodeWindow got = fast.window(pos);
          EXPECT_EQ(got.names, expected.names) << "round " << round << " pos " << pos;
          EXPECT_EQ(got.stops, expected.stops) << "round " << round << " pos " << pos;
          EXPECT_EQ(got.width, expected.width);
        }
      }
    }
  }
}

TEST(CodeMasks, WindowsEndAtTheirBlockOrTheGivenEnd) {
  const std::string text = std::string(70, 'a') + "/x";
  CodeMasks masks;
  masks.classify(text, false);
  const CodeWindow first = masks.window(3);
  EXPECT_EQ(first.width, 61u);
  EXPECT_EQ(first.names, (std::uint64_t{1} << 61) - 1);
  const CodeWindow cut = masks.window(60, 62);
  EXPECT_EQ(cut.width, 2u);
  EXPECT_EQ(cut.names, 3u) << "bytes past the end are not described";
  const CodeWindow last = masks.window(64);
  EXPECT_EQ(last.width, 8u);
  EXPECT_EQ(last.stops, 1u << 6);
}

}  // namespace
}  // namespace sornik
