// 64-byte windows of a line in code as bit masks of name bytes and of the
// bytes that change the scan state.
#include "textual/expand/code_window.h"

#include <array>
#include <cstring>

#include "common/byte_class.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define SORNIK_X86 1
#endif

namespace sornik {

namespace {

using ClassifyBlock = void (*)(const char* bytes, bool marked, std::uint64_t& names, std::uint64_t& stops);

enum : std::uint8_t { kName = 1, kStopInSource = 2, kStopInMarked = 4 };

constexpr std::array<std::uint8_t, 256> kCodeClass = [] {
  std::array<std::uint8_t, 256> table{};
  for (int c = 0; c < 256; ++c) {
    if (kByteClass[c] & kNameByte) table[c] = kName;
    if (c == '/' || c == '*' || c == '"' || c == '\'') table[c] = kStopInSource | kStopInMarked;
    if (c >= 0x01 && c <= 0x04) table[c] = kStopInMarked;
  }
  return table;
}();

// The masks of 64 bytes, one at a time.
void classify_scalar(const char* bytes, bool marked, std::uint64_t& names, std::uint64_t& stops) {
  names = 0;
  stops = 0;
  const int stop_shift = marked ? 2 : 1;
  for (int i = 0; i < 64; ++i) {
    const unsigned byte_class = kCodeClass[static_cast<std::uint8_t>(bytes[i])];
    names |= std::uint64_t{byte_class & kName} << i;
    stops |= std::uint64_t{(byte_class >> stop_shift) & 1} << i;
  }
}

#if SORNIK_X86

// Byte lanes of `bytes` that lie in [low, high], unsigned.
__m128i in_range(__m128i bytes, char low, char high) {
  const __m128i above = _mm_cmpeq_epi8(_mm_max_epu8(bytes, _mm_set1_epi8(low)), bytes);
  const __m128i below = _mm_cmpeq_epi8(_mm_min_epu8(bytes, _mm_set1_epi8(high)), bytes);
  return _mm_and_si128(above, below);
}

// The masks of 64 bytes, 16 at a time.
void classify_sse2(const char* bytes, bool marked, std::uint64_t& names, std::uint64_t& stops) {
  names = 0;
  stops = 0;
  for (std::size_t part = 0; part < 4; ++part) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 16 * part));
    const __m128i letters = in_range(_mm_or_si128(chunk, _mm_set1_epi8(0x20)), 'a', 'z');
    const __m128i name = _mm_or_si128(_mm_or_si128(letters, in_range(chunk, '0', '9')),
                                      _mm_cmpeq_epi8(chunk, _mm_set1_epi8('_')));
    __m128i stop = _mm_or_si128(
        _mm_or_si128(_mm_cmpeq_epi8(chunk, _mm_set1_epi8('/')), _mm_cmpeq_epi8(chunk, _mm_set1_epi8('*'))),
        _mm_or_si128(_mm_cmpeq_epi8(chunk, _mm_set1_epi8('"')), _mm_cmpeq_epi8(chunk, _mm_set1_epi8('\''))));
    if (marked) stop = _mm_or_si128(stop, in_range(chunk, '\x01', '\x04'));
    names |= static_cast<std::uint64_t>(static_cast<std::uint16_t>(_mm_movemask_epi8(name))) << (16 * part);
    stops |= static_cast<std::uint64_t>(static_cast<std::uint16_t>(_mm_movemask_epi8(stop))) << (16 * part);
  }
}

// Byte lanes of `bytes` that lie in [low, high], unsigned.
__attribute__((target("avx2"))) __m256i in_range_avx2(__m256i bytes, char low, char high) {
  const __m256i above = _mm256_cmpeq_epi8(_mm256_max_epu8(bytes, _mm256_set1_epi8(low)), bytes);
  const __m256i below = _mm256_cmpeq_epi8(_mm256_min_epu8(bytes, _mm256_set1_epi8(high)), bytes);
  return _mm256_and_si256(above, below);
}

// The masks of 64 bytes, 32 at a time.
__attribute__((target("avx2"))) void classify_avx2(const char* bytes, bool marked, std::uint64_t& names,
                                                   std::uint64_t& stops) {
  names = 0;
  stops = 0;
  for (std::size_t part = 0; part < 2; ++part) {
    const __m256i chunk = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + 32 * part));
    const __m256i letters = in_range_avx2(_mm256_or_si256(chunk, _mm256_set1_epi8(0x20)), 'a', 'z');
    const __m256i name = _mm256_or_si256(_mm256_or_si256(letters, in_range_avx2(chunk, '0', '9')),
                                         _mm256_cmpeq_epi8(chunk, _mm256_set1_epi8('_')));
    __m256i stop = _mm256_or_si256(_mm256_or_si256(_mm256_cmpeq_epi8(chunk, _mm256_set1_epi8('/')),
                                                   _mm256_cmpeq_epi8(chunk, _mm256_set1_epi8('*'))),
                                   _mm256_or_si256(_mm256_cmpeq_epi8(chunk, _mm256_set1_epi8('"')),
                                                   _mm256_cmpeq_epi8(chunk, _mm256_set1_epi8('\''))));
    if (marked) stop = _mm256_or_si256(stop, in_range_avx2(chunk, '\x01', '\x04'));
    names |= static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(name)))
             << (32 * part);
    stops |= static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(stop)))
             << (32 * part);
  }
}

#endif

ClassifyBlock kernel_function(ClassifyKernel kernel) {
#if SORNIK_X86
  if (kernel == ClassifyKernel::kAvx2) return classify_avx2;
  if (kernel == ClassifyKernel::kSse2) return classify_sse2;
#endif
  (void)kernel;
  return classify_scalar;
}

const ClassifyKernel kFastest = fastest_kernel();

}  // namespace

void CodeMasks::classify(std::string_view text, bool marked) { classify(text, marked, kFastest); }

void CodeMasks::classify(std::string_view text, bool marked, ClassifyKernel kernel) {
  const ClassifyBlock classify_block = kernel_function(kernel);
  size_ = text.size();
  const std::size_t blocks = (text.size() + 63) / 64;
  names_.resize(blocks);
  stops_.resize(blocks);
  for (std::size_t block = 0; block < blocks; ++block) {
    const std::size_t start = block * 64;
    if (text.size() - start >= 64) {
      classify_block(text.data() + start, marked, names_[block], stops_[block]);
      continue;
    }
    // The last, short block: NUL padding is neither a name byte nor a stop.
    char padded[64] = {};
    std::memcpy(padded, text.data() + start, text.size() - start);
    classify_block(padded, marked, names_[block], stops_[block]);
  }
}

}  // namespace sornik
