// Coordinates.h - world units of a window and its device pixels, by the scales, world box,
// viewport and origin kept in the window block.
#pragma once

#include <cstdint>

#include "platform/Channel_Blocks.h"

struct Device_Point {
  std::int32_t x, y;
};

// Drops the fraction toward zero, held to 32 bits (not a number gives 0): huge or broken
// coordinates must not turn into undefined conversions.
std::int32_t DEVICE_CUT(double v);

Device_Point TO_DEVICE(const channel::KRwinblock& b, double x, double y);
void TO_WORLD(const channel::KRwinblock& b, std::int32_t dx, std::int32_t dy, float& x, float& y);
// A world size in pixels along x or y: cut(|scale| x size + 0.5).
std::int32_t TO_DEVICE_SIZE_X(const channel::KRwinblock& b, double size);
std::int32_t TO_DEVICE_SIZE_Y(const channel::KRwinblock& b, double size);
