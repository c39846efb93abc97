// Window_Statistics: minimum, maximum and average of one slot over the zoom window, in wide
// steps along each row (the window is one contiguous run of cells per row); sums in double
// precision, so that no count of cells stalls them.
//
// Reads: Display_Field (zoom window, Array_to_be_displayed).

#include <algorithm>

#include "probes/Data_Information.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

template <typename Row>
void for_each_window_row(std::int32_t slot, Row row) {
  auto& f = Display_Field;
  const std::int64_t n = std::int64_t{f.Zoom_X_To} - f.Zoom_X_From + 1;
  for (std::int32_t y = f.Zoom_Y_From; y <= f.Zoom_Y_To; ++y) row(f.Array_to_be_displayed.ADDRESS(slot, f.Zoom_X_From, y), n);
}

// Running values of one pass; the vector part takes eight cells a step, the rest one by one.
struct Pass {
  float low, high;
  double sum = 0.0;
#if defined(__SSE2__)
  __m128 low4, high4;
  __m128d sums[4] = {_mm_setzero_pd(), _mm_setzero_pd(), _mm_setzero_pd(), _mm_setzero_pd()};
  explicit Pass(float first) : low(first), high(first), low4(_mm_set1_ps(first)), high4(low4) {}
#else
  explicit Pass(float first) : low(first), high(first) {}
#endif

  // Adds the cells (minus centre) to the sum, and to the extrema when with_extrema.
  template <bool with_extrema>
  void row(const float* v, std::int64_t n, double centre) {
    std::int64_t k = 0;
#if defined(__SSE2__)
    const __m128d c = _mm_set1_pd(centre);
    for (; k + 8 <= n; k += 8) {
      const __m128 x = _mm_loadu_ps(v + k), y = _mm_loadu_ps(v + k + 4);
      if constexpr (with_extrema) {
        low4 = _mm_min_ps(_mm_min_ps(x, low4), y);
        high4 = _mm_max_ps(_mm_max_ps(x, high4), y);
      }
      sums[0] = _mm_add_pd(sums[0], _mm_sub_pd(_mm_cvtps_pd(x), c));
      sums[1] = _mm_add_pd(sums[1], _mm_sub_pd(_mm_cvtps_pd(_mm_movehl_ps(x, x)), c));
      sums[2] = _mm_add_pd(sums[2], _mm_sub_pd(_mm_cvtps_pd(y), c));
      sums[3] = _mm_add_pd(sums[3], _mm_sub_pd(_mm_cvtps_pd(_mm_movehl_ps(y, y)), c));
    }
#endif
    for (; k < n; ++k) {
      if constexpr (with_extrema) low = std::min(low, v[k]), high = std::max(high, v[k]);
      sum += v[k] - centre;
    }
  }

  // The extrema and the sum of both parts.
  void finish() {
#if defined(__SSE2__)
    alignas(16) float lows[4], highs[4];
    alignas(16) double parts[2];
    _mm_store_ps(lows, low4);
    _mm_store_ps(highs, high4);
    for (int l = 0; l < 4; ++l) low = std::min(low, lows[l]), high = std::max(high, highs[l]);
    _mm_store_pd(parts, _mm_add_pd(_mm_add_pd(sums[0], sums[1]), _mm_add_pd(sums[2], sums[3])));
    sum += parts[0] + parts[1];
#endif
  }
};

}  // namespace

Window_Statistics WINDOW_STATISTICS(std::int32_t slot) {
  const auto& f = Display_Field;
  Pass values(f.Array_to_be_displayed(slot, f.Zoom_X_From, f.Zoom_Y_From));
  std::int64_t count = 0;
  for_each_window_row(slot, [&](const float* v, std::int64_t n) {
    values.row<true>(v, n, 0.0);
    count += n;
  });
  values.finish();
  const double mean = values.sum / static_cast<double>(count);
  // A second pass over the deviations from the first mean corrects its rounding.
  Pass deviations(0.0f);
  for_each_window_row(slot, [&](const float* v, std::int64_t n) { deviations.row<false>(v, n, mean); });
  deviations.finish();
  return {values.low, values.high, static_cast<float>(mean + deviations.sum / static_cast<double>(count))};
}
