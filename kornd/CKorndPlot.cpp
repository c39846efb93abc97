// CKorndPlot.cpp - see CKorndPlot.h.
#include "kornd/CKorndPlot.h"

#include <algorithm>  // std::min, std::max

#include "kornd/CKorndDoc.h"
#include "kornd/CKorndGC.h"
#include "kornd/CKorndMark.h"
#include "kornd/KRdc.h"

int CKorndPlot::Draw(CKorndGC& env, CKorndDoc* doc, CKorndView*, KRdc& dc, std::uint32_t skip) {
  if (Skipped(skip)) return 0;
  if (points.empty()) return 0;
  bool first_draw = !(flags_ & Prepared);
  auto grow = [&](KRpoint p) {
    if (first_draw) ExtendRect(rect_, p);
  };
  if (first_draw)
    for (const KRpoint& p : points) grow(p);
  int half = size / 2;
  switch (mode) {
    case -7:
    case -5:
      for (const KRpoint& p : points) {
        KRrect r{std::min(p.x, base), p.y - half, std::max(p.x, base), p.y - half + std::max(size, 1)};
        if (mode == -7) dc.Rectangle(r);
        else dc.PatBlt(r);
      }
      grow({base, points.front().y});
      grow({base, points.back().y});
      break;
    case -6:
    case -4:
      for (const KRpoint& p : points) {
        KRrect r{p.x - half, std::min(p.y, base), p.x - half + std::max(size, 1), std::max(p.y, base)};
        if (mode == -6) dc.Rectangle(r);
        else dc.PatBlt(r);
      }
      grow({points.front().x, base});
      grow({points.back().x, base});
      break;
    case -3:
      for (const KRpoint& p : points) {
        dc.MoveTo(base, p.y);
        dc.LineTo(p.x, p.y);
      }
      grow({base, points.front().y});
      grow({base, points.back().y});
      break;
    case -2:
      for (const KRpoint& p : points) {
        dc.MoveTo(p.x, base);
        dc.LineTo(p.x, p.y);
      }
      grow({points.front().x, base});
      grow({points.back().x, base});
      break;
    case 0: {
      int s = CKorndMark::MarkerSide(env.marker_desc, size, doc ? doc->DefaultMarkerSize() : 2);
      for (const KRpoint& p : points)
        CKorndMark::PlayMarker(dc, env.marker_desc, {p.x - s / 2, p.y - s / 2, p.x - s / 2 + s, p.y - s / 2 + s});
      if (first_draw) rect_ = {rect_.left - s / 2, rect_.top - s / 2, rect_.right + s / 2, rect_.bottom + s / 2};
      break;
    }
    default:
      if (mode >= 1) break;  // user symbols: this window has none to draw
      dc.Polyline(points.data(), points.size());
      break;
  }
  flags_ |= Prepared;
  return 1;
}
