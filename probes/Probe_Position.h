// Probe_Position: where a probe took its data: the line's two end cells (a point has both
// ends on its cell) and the plane they lie in. Each probe keeps its own, so that its curve is
// labelled with the place its data come from, whatever was picked or shown since.
#pragma once

#include <cstdint>

#include "records/Globals.h"

struct Probe_Position {
  std::int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  std::int32_t cut_direction = 0, cut_index = 0;
};

// The scan line (or point) as picked now, in the plane shown now.
inline Probe_Position CURRENT_PROBE_POSITION() {
  const auto& s = Scan_Line;
  return {s.Scan_X1, s.Scan_Y1, s.Scan_X2, s.Scan_Y2, Display_Field.Cut_Direction, Display_Field.Cut_Index};
}
