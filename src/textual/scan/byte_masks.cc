// Bit masks of 64-byte pieces (scalar, SSE2 and AVX2 kernels, the fastest
// chosen at run time) for the search for plain lines.
#include "textual/scan/byte_masks.h"

#include <array>
#include <bit>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define SORNIK_X86 1
#endif

namespace sornik {

namespace {

using ClassifyFunction = void (*)(const char* bytes, std::size_t count, const NameHeads& heads,
                                  ByteMasks* masks);

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

ByteMasks classify_scalar_piece(const char* bytes, const NameHeads& heads) {
  ByteMasks masks;
  for (int i = 0; i < 64; ++i) {
    const unsigned byte_class = kMaskClass[static_cast<std::uint8_t>(bytes[i])];
    masks.names |= std::uint64_t{byte_class & kName} << i;
    masks.quotes |= std::uint64_t{(byte_class >> 1) & 1} << i;
    masks.newlines |= std::uint64_t{(byte_class >> 2) & 1} << i;
    masks.slashes |= std::uint64_t{(byte_class >> 3) & 1} << i;
    masks.escapes |= std::uint64_t{(byte_class >> 4) & 1} << i;
    masks.heads |= std::uint64_t{heads.has(bytes[i]) && (byte_class & kName) != 0} << i;
  }
  return masks;
}

void classify_scalar(const char* bytes, std::size_t count, const NameHeads& heads, ByteMasks* masks) {
  for (std::size_t piece = 0; piece < count; ++piece)
    masks[piece] = classify_scalar_piece(bytes + 64 * piece, heads);
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

// Bytes 16 at a time. A name byte is a letter (with bit 5 set, a-z), a digit
// or "_"; SSE2 has no byte shuffle, so the name bytes are looked up in the
// heads one by one.
inline ByteMasks classify_sse2_piece(const char* bytes, const NameHeads& heads) {
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
  for (std::uint64_t names = masks.names; names != 0; names &= names - 1) {
    if (heads.has(bytes[std::countr_zero(names)])) masks.heads |= names & -names;
  }
  return masks;
}

// The same two ways, 32 bytes at a time.
__attribute__((target("avx2"))) __m256i byte_range_avx2(__m256i lanes, int low, int high) {
  return _mm256_cmpgt_epi8(_mm256_set1_epi8(static_cast<char>(high - low + 1 - 128)),
                           _mm256_add_epi8(lanes, _mm256_set1_epi8(static_cast<char>(-low - 128))));
}

// A head is a name byte whose bit, picked from a row by its high half, is
// set in the row that its low half picks.
inline __attribute__((target("avx2"), always_inline)) ByteMasks classify_avx2_piece(const char* bytes,
                                                                                    __m256i head_rows) {
  const __m256i bit_of_high_half = _mm256_setr_epi8(1, 2, 4, 8, 16, 32, 64, -128, 0, 0, 0, 0, 0, 0, 0, 0, 1,
                                                    2, 4, 8, 16, 32, 64, -128, 0, 0, 0, 0, 0, 0, 0, 0);
  const __m256i low_half = _mm256_set1_epi8(0x0f);
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
    const __m256i row = _mm256_shuffle_epi8(head_rows, _mm256_and_si256(lanes, low_half));
    const __m256i bit =
        _mm256_shuffle_epi8(bit_of_high_half, _mm256_and_si256(_mm256_srli_epi16(lanes, 4), low_half));
    masks.heads |=
        lane_bits(_mm256_movemask_epi8(_mm256_cmpeq_epi8(_mm256_and_si256(row, bit), bit)), 32 * part);
  }
  masks.heads &= masks.names;
  return masks;
}

// The kernels run over many pieces at once, so that their constants are set up once.
void classify_sse2(const char* bytes, std::size_t count, const NameHeads& heads, ByteMasks* masks) {
  for (std::size_t piece = 0; piece < count; ++piece)
    masks[piece] = classify_sse2_piece(bytes + 64 * piece, heads);
}

__attribute__((target("avx2"))) void classify_avx2(const char* bytes, std::size_t count,
                                                   const NameHeads& heads, ByteMasks* masks) {
  const __m256i head_rows =
      _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(heads.rows.data())));
  for (std::size_t piece = 0; piece < count; ++piece) {
    masks[piece] = classify_avx2_piece(bytes + 64 * piece, head_rows);
  }
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

void classify_bytes(const char* bytes, std::size_t count, const NameHeads& heads, ByteMasks* masks) {
  kFastest(bytes, count, heads, masks);
}

void classify_bytes(const char* bytes, std::size_t count, const NameHeads& heads, ByteMasks* masks,
                    ClassifyKernel kernel) {
  kKernels[static_cast<std::size_t>(kernel)](bytes, count, heads, masks);
}

}  // namespace sornik
