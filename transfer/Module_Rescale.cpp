// Module_Rescale: rescaling of result fields, cell counts and grid spacing by n/p.
//
// Reads and writes: only its arguments (one work array per RESCALE_ZELTRA_DATA call).
// Global records: none.

#include "transfer/Module_Rescale.h"

#include <cstdlib>  // std::abs
#include <limits>
#include <memory>
#include <new>      // std::nothrow

namespace {

constexpr int Primes[25] = {2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37, 41,
                            43, 47, 53, 59, 61, 67, 71, 73, 79, 83, 89, 97};

bool flat(std::int32_t count) { return count == 1; }

// n * count / p for a scaled direction, 1 for a flat one, in 64 bits.
std::int64_t new_count(std::int32_t count, const Rescale_Ratio_Type& ratio) {
  if (flat(count)) return 1;
  return static_cast<std::int64_t>(ratio.n) * count / ratio.p;
}

}  // namespace

void REDUCE_SCALE_RATIO(Rescale_Ratio_Type& ratio) {
  std::int64_t n = std::abs(static_cast<std::int64_t>(ratio.n));
  std::int64_t p = std::abs(static_cast<std::int64_t>(ratio.p));
  for (int i = 24; i >= 0; --i)
    while (n % Primes[i] == 0 && p % Primes[i] == 0 && n != 0 && p != 0) {
      n /= Primes[i];
      p /= Primes[i];
    }
  ratio.n = static_cast<std::int32_t>(n);
  ratio.p = static_cast<std::int32_t>(p);
}

std::int32_t RESCALED_ZELTRA_CELLS(const Cell_Counts& counts, const Rescale_Ratio_Type& ratio) {
  std::int64_t cells = 1;
  for (std::int32_t c : counts) cells *= new_count(c, ratio);
  return static_cast<std::int32_t>(cells);
}

void RESCALE_ZELTRA_GEOMETRY(float& spacing, const Cell_Counts& counts, Cell_Counts& new_counts,
                             const Rescale_Ratio_Type& ratio) {
  for (int d = 0; d < 3; ++d) new_counts[d] = static_cast<std::int32_t>(new_count(counts[d], ratio));
  spacing = static_cast<float>(static_cast<double>(ratio.p) * static_cast<double>(spacing) / ratio.n);
}

std::string RESCALE_PROBLEM(const Cell_Counts& counts, const Rescale_Ratio_Type& ratio) {
  if (ratio.n < 1 || ratio.p < 1) return "ratio terms must be at least 1";
  std::int64_t cells = 1;
  std::int64_t sub_cells = 1;
  for (std::int32_t c : counts) {
    if (c < 1) return "cell count below 1";
    std::int64_t split = flat(c) ? c : static_cast<std::int64_t>(ratio.n) * c;
    std::int64_t count = new_count(c, ratio);
    if (count < 1) return "no whole cell is left along a direction";
    if (count > std::numeric_limits<std::int32_t>::max() || split > std::numeric_limits<std::int32_t>::max())
      return "the rescaled field is too large";
    cells *= count;
    sub_cells *= split;
    if (cells > std::numeric_limits<std::int32_t>::max() || sub_cells > (std::int64_t{1} << 40))
      return "the rescaled field is too large";
  }
  return "";
}

void RESCALE_ZELTRA_DATA(std::int32_t& status, std::span<float> field, const Cell_Counts& counts,
                         const Rescale_Ratio_Type& ratio, std::int32_t& new_cells) {
  new_cells = Not_Set;
  if (ratio.n < 1 || ratio.p < 1) {
    status = -1;
    return;
  }
  if (ratio.n == 1 && ratio.p == 1) {
    status = 1;
    new_cells = counts[0] * counts[1] * counts[2];
    return;
  }
  status = -2;
  std::int64_t a[3], b[3], sub[3], out[3];
  std::int64_t sub_total = 1, old_total = 1, new_total = 1;
  for (int d = 0; d < 3; ++d) {
    a[d] = flat(counts[d]) ? 1 : ratio.n;
    b[d] = flat(counts[d]) ? 1 : ratio.p;
    sub[d] = a[d] * counts[d];
    out[d] = sub[d] / b[d];
    if (counts[d] < 0 || sub[d] > std::numeric_limits<std::int32_t>::max()) return;
    sub_total *= sub[d];
    old_total *= counts[d];
    new_total *= out[d];
    if (sub_total > (std::int64_t{1} << 40)) return;
  }
  if (old_total > static_cast<std::int64_t>(field.size())) return;
  std::unique_ptr<float[]> work(new (std::nothrow) float[static_cast<std::size_t>(sub_total)]);
  if (!work) return;

  // Split: every old cell fills its a_x * a_y * a_z block.
  const float* in = field.data();
  for (std::int64_t k = 0; k < counts[2]; ++k)
    for (std::int64_t j = 0; j < counts[1]; ++j)
      for (std::int64_t i = 0; i < counts[0]; ++i) {
        const float v = *in++;
        for (std::int64_t z = k * a[2]; z < (k + 1) * a[2]; ++z)
          for (std::int64_t y = j * a[1]; y < (j + 1) * a[1]; ++y) {
            float* row = work.get() + (z * sub[1] + y) * sub[0];
            for (std::int64_t x = i * a[0]; x < (i + 1) * a[0]; ++x) row[x] = v;
          }
      }

  status = -3;
  if (new_total > static_cast<std::int64_t>(field.size())) return;

  // Merge: the mean of every b_x * b_y * b_z block; sub-cells past the last whole block drop.
  const double r = 1.0 / static_cast<double>(b[0] * b[1] * b[2]);
  float* target = field.data();
  for (std::int64_t k = 0; k < out[2]; ++k)
    for (std::int64_t j = 0; j < out[1]; ++j)
      for (std::int64_t i = 0; i < out[0]; ++i) {
        double sum = 0.0;
        for (std::int64_t z = k * b[2]; z < (k + 1) * b[2]; ++z)
          for (std::int64_t y = j * b[1]; y < (j + 1) * b[1]; ++y) {
            const float* row = work.get() + (z * sub[1] + y) * sub[0];
            for (std::int64_t x = i * b[0]; x < (i + 1) * b[0]; ++x) sum += row[x];
          }
        *target++ = static_cast<float>(static_cast<double>(static_cast<float>(sum)) * r);
      }
  status = 0;
  new_cells = static_cast<std::int32_t>(new_total);
}
