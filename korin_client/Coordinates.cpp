// Coordinates.cpp - see Coordinates.h. cut(v + 0.5) is not rounding for negative values
// (-1.7 gives -1, -1.2 gives 0): the server's pixels are placed that way.
#include "korin_client/Coordinates.h"

#include <cmath>

std::int32_t DEVICE_CUT(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return INT32_MAX;
  if (v <= -2147483648.0) return INT32_MIN;
  return static_cast<std::int32_t>(v);
}

Device_Point TO_DEVICE(const channel::KRwinblock& b, double x, double y) {
  if (b.pixel_mode) return {DEVICE_CUT(x + 0.5), DEVICE_CUT(y + 0.5)};
  return {DEVICE_CUT((x - b.world_x1) * b.sx + b.origin_x + 0.5), DEVICE_CUT(b.origin_y - (y - b.world_y1) * b.sy + 0.5)};
}

void TO_WORLD(const channel::KRwinblock& b, std::int32_t dx, std::int32_t dy, float& x, float& y) {
  if (b.pixel_mode || b.sx == 0 || b.sy == 0) {
    x = static_cast<float>(dx);
    y = static_cast<float>(dy);
    return;
  }
  x = static_cast<float>((dx - b.origin_x) / static_cast<double>(b.sx) + b.world_x1);
  y = static_cast<float>(b.world_y1 - (dy - b.origin_y) / static_cast<double>(b.sy));
}

std::int32_t TO_DEVICE_SIZE_X(const channel::KRwinblock& b, double size) {
  return DEVICE_CUT((b.pixel_mode ? 1.0 : std::fabs(b.sx)) * size + 0.5);
}

std::int32_t TO_DEVICE_SIZE_Y(const channel::KRwinblock& b, double size) {
  return DEVICE_CUT((b.pixel_mode ? 1.0 : std::fabs(b.sy)) * size + 0.5);
}
