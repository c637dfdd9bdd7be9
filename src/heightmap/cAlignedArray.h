// A zero-filled array on cache-line boundaries whose allocation failure is
// reported, not thrown: sizes here come from user input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <type_traits>
#include <utility>

template <typename T>
class cAlignedArray {
  static_assert(std::is_trivially_copyable_v<T>, "raw memory only");

 public:
  cAlignedArray() = default;
  cAlignedArray(const cAlignedArray&) = delete;
  cAlignedArray& operator=(const cAlignedArray&) = delete;
  cAlignedArray(cAlignedArray&& other) noexcept { *this = std::move(other); }
  cAlignedArray& operator=(cAlignedArray&& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
    return *this;
  }
  ~cAlignedArray() { std::free(data_); }

  // Replaces the contents with `count` zeros; false, and empty, when the
  // memory cannot be had.
  bool Allocate(size_t count) {
    Free();
    if (count == 0 || count > (SIZE_MAX - kAlignment) / sizeof(T)) return false;
    const size_t bytes = (count * sizeof(T) + kAlignment - 1) / kAlignment * kAlignment;
    data_ = static_cast<T*>(std::aligned_alloc(kAlignment, bytes));
    if (!data_) return false;
    std::memset(static_cast<void*>(data_), 0, bytes);
    size_ = count;
    return true;
  }

  void Free() {
    std::free(data_);
    data_ = nullptr;
    size_ = 0;
  }

  T* Data() const { return data_; }
  size_t Size() const { return size_; }
  T& operator[](size_t i) const { return data_[i]; }

 private:
  static constexpr size_t kAlignment = 64;
  T* data_ = nullptr;
  size_t size_ = 0;
};
