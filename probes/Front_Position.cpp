// Front_Position: the crossing rule of the front-tracking probe, on plain samples.

#include <cmath>
#include <cstdlib>

#include "probes/Front_Tracking.h"

namespace {
constexpr float Tiny = 1.0e-40f;
constexpr std::int32_t Slant_Limit = 5;  // cells: a line nearly along an axis below this
}  // namespace

float FRONT_POSITION(std::span<const float> values, std::span<const float> distances, float target,
                     bool interpolate) {
  const std::size_t n = std::min(values.size(), distances.size());
  for (std::size_t k = 1; k < n; ++k) {
    const float before = values[k - 1], now = values[k];
    if ((before > target) == (now > target)) continue;
    const float step = before - now;
    const float f = interpolate && std::fabs(step) > Tiny ? std::fabs((target - before) / step) : 0.5f;
    return distances[k - 1] + (distances[k] - distances[k - 1]) * f;
  }
  return -1.0f;
}

bool FRONT_INTERPOLATED() {
  const auto& s = Scan_Line;
  return std::min(std::abs(s.Scan_X1 - s.Scan_X2), std::abs(s.Scan_Y1 - s.Scan_Y2)) < Slant_Limit;
}
