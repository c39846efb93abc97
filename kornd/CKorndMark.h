// CKorndMark.h - drawing object type 14: the environment's marker shape in a square around a point.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "kornd/CKorndTool.h"

class CKorndMark : public CKorndTool {
 public:
  CKorndMark() : CKorndTool(14, 0x6) {}
  int Draw(CKorndGC& env, CKorndDoc* doc, CKorndView* view, KRdc& dc, std::uint32_t skip_mask) override;
  // Draws a marker of the description (kind, size, outline, colour, background, mix) into the
  // square r, the shape scaled from its own size to the square.
  static void PlayMarker(KRdc& dc, const std::array<std::int32_t, 6>& marker, const KRrect& r);
  // Side of a marker: the plot or mark size s, or by the marker's own size when s is 0.
  static int MarkerSide(const std::array<std::int32_t, 6>& marker, int s, int default_size);
};
