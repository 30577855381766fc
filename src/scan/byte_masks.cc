#include "scan/byte_masks.h"

#include <array>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define SORNIK_X86 1
#endif

namespace sornik {

namespace {

using ClassifyFunction = void (*)(const char* bytes, std::size_t count, ByteMasks* masks);

enum : std::uint8_t { kName = 1, kQuote = 2, kNewline = 4, kSlash = 8, kEscape = 16 };

constexpr std::array<std::uint8_t, 256> kMaskClass = [] {
  std::array<std::uint8_t, 256> table{};
  for (int c = '0'; c <= '9'; ++c) table[c] = kName;
  for (int c = 'a'; c <= 'z'; ++c) table[c] = kName;
  for (int c = 'A'; c <= 'Z'; ++c) table[c] = kName;
  table['_'] = kName;
  table['"'] = table['\''] = kQuote;
  table['\n'] = kNewline;
  table['/'] = kSlash;
  table['\\'] = kEscape;
  for (int c = 0x80; c < 256; ++c) table[c] = kEscape;
  return table;
}();

ByteMasks classify_scalar_piece(const char* bytes) {
  ByteMasks masks;
  for (int i = 0; i < 64; ++i) {
    const unsigned byte_class = kMaskClass[static_cast<std::uint8_t>(bytes[i])];
    masks.names |= std::uint64_t{byte_class & kName} << i;
    masks.quotes |= std::uint64_t{(byte_class >> 1) & 1} << i;
    masks.newlines |= std::uint64_t{(byte_class >> 2) & 1} << i;
    masks.slashes |= std::uint64_t{(byte_class >> 3) & 1} << i;
    masks.escapes |= std::uint64_t{(byte_class >> 4) & 1} << i;
  }
  return masks;
}

void classify_scalar(const char* bytes, std::size_t count, ByteMasks* masks) {
  for (std::size_t piece = 0; piece < count; ++piece)
    masks[piece] = classify_scalar_piece(bytes + 64 * piece);
}

#if SORNIK_X86

// The mask bits of one vector's lanes, placed at bit `shift` and up.
std::uint64_t lane_bits(int movemask, std::size_t shift) {
  return static_cast<std::uint64_t>(static_cast<std::uint32_t>(movemask)) << shift;
}

// Lanes whose byte lies in [low, high]: the bytes are moved so that the range
// starts at the smallest signed byte, and one signed compare tests the end.
__m128i byte_range(__m128i lanes, int low, int high) {
  return _mm_cmpgt_epi8(_mm_set1_epi8(static_cast<char>(high - low + 1 - 128)),
                        _mm_add_epi8(lanes, _mm_set1_epi8(static_cast<char>(-low - 128))));
}

// Bytes 16 at a time. A name byte is a letter (with bit 5 set, a-z), a digit or "_".
inline ByteMasks classify_sse2_piece(const char* bytes) {
  ByteMasks masks;
  for (std::size_t part = 0; part < 4; ++part) {
    const __m128i lanes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 16 * part));
    const __m128i name =
        _mm_or_si128(_mm_or_si128(byte_range(_mm_or_si128(lanes, _mm_set1_epi8(0x20)), 'a', 'z'),
                                  byte_range(lanes, '0', '9')),
                     _mm_cmpeq_epi8(lanes, _mm_set1_epi8('_')));
    const __m128i quote =
        _mm_or_si128(_mm_cmpeq_epi8(lanes, _mm_set1_epi8('"')), _mm_cmpeq_epi8(lanes, _mm_set1_epi8('\'')));
    masks.names |= lane_bits(_mm_movemask_epi8(name), 16 * part);
    masks.quotes |= lane_bits(_mm_movemask_epi8(quote), 16 * part);
    masks.newlines |= lane_bits(_mm_movemask_epi8(_mm_cmpeq_epi8(lanes, _mm_set1_epi8('\n'))), 16 * part);
    masks.slashes |= lane_bits(_mm_movemask_epi8(_mm_cmpeq_epi8(lanes, _mm_set1_epi8('/'))), 16 * part);
    masks.escapes |= lane_bits(
        _mm_movemask_epi8(_mm_cmpeq_epi8(lanes, _mm_set1_epi8('\\'))) | _mm_movemask_epi8(lanes), 16 * part);
  }
  return masks;
}

// The same two ways, 32 bytes at a time.
__attribute__((target("avx2"))) __m256i byte_range_avx2(__m256i lanes, int low, int high) {
  return _mm256_cmpgt_epi8(_mm256_set1_epi8(static_cast<char>(high - low + 1 - 128)),
                           _mm256_add_epi8(lanes, _mm256_set1_epi8(static_cast<char>(-low - 128))));
}

inline __attribute__((target("avx2"), always_inline)) ByteMasks classify_avx2_piece(const char* bytes) {
  ByteMasks masks;
  for (std::size_t part = 0; part < 2; ++part) {
    const __m256i lanes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + 32 * part));
    const __m256i letters = byte_range_avx2(_mm256_or_si256(lanes, _mm256_set1_epi8(0x20)), 'a', 'z');
    const __m256i name = _mm256_or_si256(_mm256_or_si256(letters, byte_range_avx2(lanes, '0', '9')),
                                         _mm256_cmpeq_epi8(lanes, _mm256_set1_epi8('_')));
    const __m256i quote = _mm256_or_si256(_mm256_cmpeq_epi8(lanes, _mm256_set1_epi8('"')),
                                          _mm256_cmpeq_epi8(lanes, _mm256_set1_epi8('\'')));
    const __m256i newline = _mm256_cmpeq_epi8(lanes, _mm256_set1_epi8('\n'));
    const __m256i slash = _mm256_cmpeq_epi8(lanes, _mm256_set1_epi8('/'));
    const __m256i backslash = _mm256_cmpeq_epi8(lanes, _mm256_set1_epi8('\\'));
    masks.names |= lane_bits(_mm256_movemask_epi8(name), 32 * part);
    masks.quotes |= lane_bits(_mm256_movemask_epi8(quote), 32 * part);
    masks.newlines |= lane_bits(_mm256_movemask_epi8(newline), 32 * part);
    masks.slashes |= lane_bits(_mm256_movemask_epi8(slash), 32 * part);
    masks.escapes |= lane_bits(_mm256_movemask_epi8(backslash) | _mm256_movemask_epi8(lanes), 32 * part);
  }
  return masks;
}

// The kernels run over many pieces at once, so that their constants are set up once.
void classify_sse2(const char* bytes, std::size_t count, ByteMasks* masks) {
  for (std::size_t piece = 0; piece < count; ++piece) masks[piece] = classify_sse2_piece(bytes + 64 * piece);
}

__attribute__((target("avx2"))) void classify_avx2(const char* bytes, std::size_t count, ByteMasks* masks) {
  for (std::size_t piece = 0; piece < count; ++piece) masks[piece] = classify_avx2_piece(bytes + 64 * piece);
}

#endif

// The kernels in the order of ClassifyKernel.
#if SORNIK_X86
constexpr std::array<ClassifyFunction, 3> kKernels = {classify_scalar, classify_sse2, classify_avx2};
#else
constexpr std::array<ClassifyFunction, 3> kKernels = {classify_scalar, classify_scalar, classify_scalar};
#endif

const ClassifyFunction kFastest = kKernels[static_cast<std::size_t>(fastest_kernel())];

}  // namespace

bool kernel_available(ClassifyKernel kernel) {
#if SORNIK_X86
  // Also called while statics are initialised, maybe before the library did this.
  __builtin_cpu_init();
#endif
  switch (kernel) {
    case ClassifyKernel::kScalar: return true;
#if SORNIK_X86
    case ClassifyKernel::kSse2: return __builtin_cpu_supports("sse2");
    case ClassifyKernel::kAvx2: return __builtin_cpu_supports("avx2");
#else
    case ClassifyKernel::kSse2:
    case ClassifyKernel::kAvx2: return false;
#endif
  }
  return false;
}

ClassifyKernel fastest_kernel() {
  if (kernel_available(ClassifyKernel::kAvx2)) return ClassifyKernel::kAvx2;
  if (kernel_available(ClassifyKernel::kSse2)) return ClassifyKernel::kSse2;
  return ClassifyKernel::kScalar;
}

void classify_bytes(const char* bytes, std::size_t count, ByteMasks* masks) { kFastest(bytes, count, masks); }

void classify_bytes(const char* bytes, std::size_t count, ByteMasks* masks, ClassifyKernel kernel) {
  kKernels[static_cast<std::size_t>(kernel)](bytes, count, masks);
}

}  // namespace sornik
