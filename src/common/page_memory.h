// Zero-filled page memory for large tables, arenas and file texts, in huge
// pages where a block is large enough.
#pragma once

#include <cstddef>
#include <cstring>
#include <type_traits>
#include <utility>

namespace sornik {

// Zero-filled memory for large tables, arenas and file texts. A first touch
// of a fresh 4 KiB page costs more than filling it, so a block of 2 MiB or
// more is aligned to 2 MiB and offered to the kernel as huge pages; a smaller
// one comes from the heap. Ends the run when no memory is left.
void* allocate_pages(std::size_t bytes);

// As allocate_pages, but a block from the heap is left as it is: for a block
// that is written in full before it is read.
void* allocate_pages_unfilled(std::size_t bytes);

// Gives back a block of allocate_pages; `bytes` as it was asked for.
void release_pages(void* block, std::size_t bytes);

// The size from which allocate_pages maps huge pages.
inline constexpr std::size_t kHugePageSize = std::size_t{1} << 21;

// Whether the program is built with AddressSanitizer, whose allocator
// takes the place of the heap's.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
inline constexpr bool kAddressSanitizer = __has_feature(address_sanitizer);
#else
inline constexpr bool kAddressSanitizer = false;
#endif

// Makes the heap's next blocks come from one huge page: a short run then
// takes one fault for its heap instead of one per 4 KiB page. Acts once
// per process; true when
// the heap goes on in the huge page (false under AddressSanitizer, or when
// the heap did not give the block it asked for).
bool start_heap_on_huge_page();

// An array of `size` zero-filled elements of a trivial type in such memory;
// it owns the block and moves with it.
template <typename T>
class PageArray {
  static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);

 public:
  PageArray() = default;
  explicit PageArray(std::size_t size)
      : data_(size == 0 ? nullptr : static_cast<T*>(allocate_pages(size * kElementSize))), size_(size) {}
  // An array whose elements hold whatever the memory held, to be written
  // before they are read.
  static PageArray unfilled(std::size_t size) {
    PageArray array;
    array.data_ = size == 0 ? nullptr : static_cast<T*>(allocate_pages_unfilled(size * kElementSize));
    array.size_ = size;
    return array;
  }
  PageArray(PageArray&& other) noexcept
      : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}
  PageArray& operator=(PageArray&& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
    return *this;
  }
  PageArray(const PageArray&) = delete;
  PageArray& operator=(const PageArray&) = delete;
  ~PageArray() {
    if (data_ != nullptr) release_pages(data_, size_ * kElementSize);
  }

  T* data() { return data_; }
  const T* data() const { return data_; }
  std::size_t size() const { return size_; }
  T& operator[](std::size_t i) { return data_[i]; }
  const T& operator[](std::size_t i) const { return data_[i]; }
  T* begin() { return data_; }
  T* end() { return data_ + size_; }
  const T* begin() const { return data_; }
  const T* end() const { return data_ + size_; }

  // Makes room for `size` elements, keeping the first `kept` of them.
  void resize(std::size_t size, std::size_t kept) {
    PageArray larger(size);
    if (kept != 0) std::memcpy(larger.data_, data_, kept * kElementSize);
    *this = std::move(larger);
  }

 private:
  // T may well be a pointer type.
  static constexpr std::size_t kElementSize = sizeof(T);  // NOLINT(bugprone-sizeof-expression)
  T* data_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace sornik
