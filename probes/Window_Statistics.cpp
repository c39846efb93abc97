// Window_Statistics: minimum, maximum and average of one slot over the zoom window, in wide
// steps along each row (the window is one contiguous run of cells per row); sums in double
// precision, so that no count of cells stalls them.
//
// Reads: Display_Field (zoom window, Array_to_be_displayed).

#include <algorithm>
#include <cstring>

#include "probes/Data_Information.h"

namespace {

// Two floats' widths of the narrowest common vector unit per step: the tails stay scalar.
using Floats = float __attribute__((vector_size(16)));
using Doubles = double __attribute__((vector_size(16)));
constexpr int Width = 8;

Floats load(const float* v) {
  Floats x;
  std::memcpy(&x, v, sizeof x);
  return x;
}
Doubles low_half(Floats x) { return __builtin_convertvector(__builtin_shufflevector(x, x, 0, 1), Doubles); }
Doubles high_half(Floats x) { return __builtin_convertvector(__builtin_shufflevector(x, x, 2, 3), Doubles); }
double total(Doubles a) { return a[0] + a[1]; }

template <typename Row>
void for_each_window_row(std::int32_t slot, Row row) {
  auto& f = Display_Field;
  const std::int64_t n = std::int64_t{f.Zoom_X_To} - f.Zoom_X_From + 1;
  for (std::int32_t y = f.Zoom_Y_From; y <= f.Zoom_Y_To; ++y) row(f.Array_to_be_displayed.ADDRESS(slot, f.Zoom_X_From, y), n);
}

}  // namespace

Window_Statistics WINDOW_STATISTICS(std::int32_t slot) {
  const auto& f = Display_Field;
  const float first = f.Array_to_be_displayed(slot, f.Zoom_X_From, f.Zoom_Y_From);
  Floats low = Floats{} + first, high = low;
  Doubles sum_a{}, sum_b{}, sum_c{}, sum_d{};
  float low_tail = first, high_tail = first;
  double sum_tail = 0.0;
  std::int64_t count = 0;
  for_each_window_row(slot, [&](const float* v, std::int64_t n) {
    std::int64_t k = 0;
    for (; k + Width <= n; k += Width) {
      const Floats x = load(v + k), y = load(v + k + 4);
      low = x < low ? x : low;
      high = x > high ? x : high;
      low = y < low ? y : low;
      high = y > high ? y : high;
      sum_a += low_half(x);
      sum_b += high_half(x);
      sum_c += low_half(y);
      sum_d += high_half(y);
    }
    for (; k < n; ++k) {
      low_tail = std::min(low_tail, v[k]);
      high_tail = std::max(high_tail, v[k]);
      sum_tail += v[k];
    }
    count += n;
  });
  for (int l = 0; l < 4; ++l) low_tail = std::min(low_tail, low[l]), high_tail = std::max(high_tail, high[l]);
  const double mean = (total((sum_a + sum_b) + (sum_c + sum_d)) + sum_tail) / static_cast<double>(count);
  // A second pass over the deviations from the first mean corrects its rounding.
  const Doubles centre = Doubles{} + mean;
  Doubles off_a{}, off_b{}, off_c{}, off_d{};
  double off_tail = 0.0;
  for_each_window_row(slot, [&](const float* v, std::int64_t n) {
    std::int64_t k = 0;
    for (; k + Width <= n; k += Width) {
      const Floats x = load(v + k), y = load(v + k + 4);
      off_a += low_half(x) - centre;
      off_b += high_half(x) - centre;
      off_c += low_half(y) - centre;
      off_d += high_half(y) - centre;
    }
    for (; k < n; ++k) off_tail += v[k] - mean;
  });
  const double off = total((off_a + off_b) + (off_c + off_d)) + off_tail;
  return {low_tail, high_tail, static_cast<float>(mean + off / static_cast<double>(count))};
}
