// Bounded_Array: a contiguous array of rank R whose every index runs between its own
// lower and upper bound (slots -N..N, x 1..NX), as the display program's records need.
//
// Storage order is chosen at allocation (default: first index fastest); it lets a
// record keep, say, one display plane per slot contiguous while it is still indexed
// (slot, x, y). Allocation reports a status instead of throwing, for the allocation
// checks of Allocation_Checks: 0 success, 1 no memory (the system's, or what the arrays
// already held leaves too little), 2 a size that cannot be described.
#pragma once

#include <unistd.h>  // sysconf: the physical memory limit

#include <algorithm>
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

struct Bounds {
  std::int64_t lower = 1;
  std::int64_t upper = 0;
  std::int64_t extent() const { return upper >= lower ? upper - lower + 1 : 0; }
};

// Test seam: a memory size in bytes that stands for the machine's (0: the machine's own).
inline std::uint64_t Memory_Bytes_For_Tests = 0;

// Bytes of physical memory; an allocation larger than this is refused rather than
// letting a corrupt header drive the machine into swapping or the OOM killer.
inline std::uint64_t PHYSICAL_MEMORY_BYTES() {
  if (Memory_Bytes_For_Tests != 0) return Memory_Bytes_For_Tests;
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long page = sysconf(_SC_PAGE_SIZE);
  if (pages <= 0 || page <= 0) return UINT64_MAX;
  return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(page);
}

// Bytes held by all bounded arrays together: the limit holds for their sum, as several
// arrays that each fit can still exhaust the memory between them.
inline std::atomic<std::uint64_t> Bounded_Bytes_Held{0};

template <typename T, int R>
class Bounded_Array {
 public:
  using Order = std::array<int, R>;

  Bounded_Array() = default;
  ~Bounded_Array() { RELEASE(); }
  Bounded_Array(Bounded_Array&& other) noexcept { take(other); }
  Bounded_Array& operator=(Bounded_Array&& other) noexcept {
    if (this != &other) {
      RELEASE();
      take(other);
    }
    return *this;
  }

  static constexpr Order Column_Major() {
    Order order{};
    for (int d = 0; d < R; ++d) order[d] = d;
    return order;
  }

  // Allocates with the given bounds (an extent below 0 counts as 0), every element
  // value-initialised. order lists the dimensions from fastest to slowest. Returns the
  // status: 0 success, 1 memory not available, 2 a size beyond 64 bits or memory.
  int ALLOCATE(const std::array<Bounds, R>& bounds, const Order& order = Column_Major()) {
    RELEASE();
    std::uint64_t count = 1;
    for (int d = 0; d < R; ++d) {
      const std::uint64_t e = static_cast<std::uint64_t>(bounds[d].extent());
      if (e != 0 && count > UINT64_MAX / e) return 2;
      count *= e;
    }
    const std::uint64_t memory = PHYSICAL_MEMORY_BYTES();
    if (count > memory / sizeof(T)) return 2;
    const std::uint64_t bytes = count * sizeof(T);
    if (bytes > memory - std::min(memory, Bounded_Bytes_Held.load())) return 1;
    std::unique_ptr<T[]> data(new (std::nothrow) T[count]());
    if (!data && count > 0) return 1;
    data_ = std::move(data);
    bytes_ = bytes;
    Bounded_Bytes_Held += bytes;
    bounds_ = bounds;
    size_ = static_cast<std::int64_t>(count);
    std::int64_t stride = 1;
    for (int k = 0; k < R; ++k) {
      const int d = order[k];
      stride_[d] = stride;
      stride *= bounds_[d].extent();
    }
    origin_ = 0;
    for (int d = 0; d < R; ++d) origin_ -= bounds_[d].lower * stride_[d];
    allocated_ = true;
    return 0;
  }

  // Releases the array; returns the status (always 0: a release cannot fail here).
  int RELEASE() {
    Bounded_Bytes_Held -= bytes_;
    bytes_ = 0;
    data_.reset();
    size_ = 0;
    allocated_ = false;
    return 0;
  }

  bool ALLOCATED() const { return allocated_; }
  std::int64_t SIZE() const { return size_; }
  std::int64_t LOWER(int d) const { return bounds_[d].lower; }
  std::int64_t UPPER(int d) const { return bounds_[d].upper; }
  std::int64_t EXTENT(int d) const { return bounds_[d].extent(); }

  template <typename... I>
  T& operator()(I... index) {
    static_assert(sizeof...(I) == R, "one index per dimension");
    return data_[offset({static_cast<std::int64_t>(index)...})];
  }
  template <typename... I>
  const T& operator()(I... index) const {
    static_assert(sizeof...(I) == R, "one index per dimension");
    return data_[offset({static_cast<std::int64_t>(index)...})];
  }

  // Address of an element; elements along the fastest dimension follow it contiguously.
  template <typename... I>
  T* ADDRESS(I... index) {
    return &(*this)(index...);
  }

  T* data() { return data_.get(); }
  const T* data() const { return data_.get(); }
  void FILL(const T& value) { std::fill(data_.get(), data_.get() + size_, value); }

 private:
  void take(Bounded_Array& other) {
    data_ = std::move(other.data_);
    bounds_ = other.bounds_;
    stride_ = other.stride_;
    origin_ = other.origin_;
    size_ = other.size_;
    bytes_ = other.bytes_;
    allocated_ = other.allocated_;
    other.size_ = 0;
    other.bytes_ = 0;
    other.allocated_ = false;
  }

  std::int64_t offset(const std::array<std::int64_t, R>& index) const {
    std::int64_t at = origin_;
    for (int d = 0; d < R; ++d) at += index[d] * stride_[d];
    return at;
  }

  std::unique_ptr<T[]> data_;
  std::array<Bounds, R> bounds_{};
  std::array<std::int64_t, R> stride_{};
  std::int64_t origin_ = 0;
  std::int64_t size_ = 0;
  std::uint64_t bytes_ = 0;  // counted in Bounded_Bytes_Held
  bool allocated_ = false;
};
