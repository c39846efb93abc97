// Pixel_Bounds.h - where something was drawn on a white picture, for tests that read pixels back.
#pragma once

#include <QImage>

#include <algorithm>

#include "kornd/DrawUtil.h"

// Bounds of the pixels that are not white (all zero when there are none).
inline KRrect inked(const QImage& s) {
  KRrect r{s.width(), s.height(), 0, 0};
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x)
      if ((s.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF)
        r = {std::min(r.left, x), std::min(r.top, y), std::max(r.right, x + 1), std::max(r.bottom, y + 1)};
  return r.IsEmpty() ? KRrect{} : r;
}
