// CKorndPlot.h - drawing object type 32: a point series as a polyline, bars, drop lines or markers.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "kornd/CKorndTool.h"

class CKorndPlot : public CKorndTool {
 public:
  CKorndPlot() : CKorndTool(32, 0x6) {}
  int Draw(CKorndGC& env, CKorndDoc* doc, CKorndView* view, KRdc& dc, std::uint32_t skip_mask) override;
  void Serialize(KRArchive& ar) override;

  int mode = -1;
  int first = 0, last = 0;  // value-axis positions of the first and the last point
  int size = 0;
  int base = 0;             // base line of bars and drop lines
  int count = 0;            // signed: > 0 values are y, < 0 values are x
  std::vector<KRpoint> points;
};
