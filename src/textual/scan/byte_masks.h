// Bit masks of 64-byte pieces (scalar, SSE2 and AVX2 kernels, the fastest
// chosen at run time) for the search for plain lines.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace sornik {

// The ways 64 bytes can be classified: all give the same masks; the fastest
// one the processor has is used.
enum class ClassifyKernel { kScalar, kSse2, kAvx2 };

// Whether this processor (and this build) can run `kernel`.
bool kernel_available(ClassifyKernel kernel);

// The fastest kernel this processor can run.
ClassifyKernel fastest_kernel();

// The bytes that may begin a name that is looked for, as a table for a byte
// shuffle: bit h of rows[l] stands for the byte 16 * h + l. Bytes from 0x80
// on never begin a name.
struct NameHeads {
  std::array<std::uint8_t, 16> rows{};

  void add(char c) {
    const auto byte = static_cast<std::uint8_t>(c);
    if (byte < 0x80) rows[byte & 15] |= static_cast<std::uint8_t>(1 << (byte >> 4));
  }
  bool has(char c) const {
    const auto byte = static_cast<std::uint8_t>(c);
    return byte < 0x80 && (rows[byte & 15] >> (byte >> 4) & 1) != 0;
  }
};

// What the scan of plain source lines looks at in 64 bytes of text, one bit
// per byte: bit i stands for the byte at the start + i.
struct ByteMasks {
  std::uint64_t names = 0;     // A-Z a-z 0-9 _
  std::uint64_t heads = 0;     // name bytes that NameHeads holds
  std::uint64_t quotes = 0;    // " and '
  std::uint64_t newlines = 0;  // \n
  std::uint64_t slashes = 0;   // /
  std::uint64_t escapes = 0;   // backslash, and every byte from 0x80 on (the lead bytes among them)
};

// The masks of `count` pieces of 64 bytes from `bytes` into `masks[0]` to
// `masks[count - 1]`, with the fastest kernel; `heads` are the bytes that
// may begin a name.
void classify_bytes(const char* bytes, std::size_t count, const NameHeads& heads, ByteMasks* masks);

// The same with the given kernel, which must be available.
void classify_bytes(const char* bytes, std::size_t count, const NameHeads& heads, ByteMasks* masks,
                    ClassifyKernel kernel);

}  // namespace sornik
