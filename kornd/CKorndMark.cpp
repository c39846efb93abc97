// CKorndMark.cpp - see CKorndMark.h.
#include "kornd/CKorndMark.h"

#include <algorithm>  // std::min, std::max

#include "kornd/CKorndDoc.h"
#include "kornd/CKorndGC.h"
#include "kornd/KRdc.h"

void CKorndMark::PlayMarker(KRdc& dc, const std::array<std::int32_t, 6>& m, const KRrect& r) {
  int kind = m[0];
  if (kind < 0 || kind > 6) return;
  int s = m[1] > 0 ? m[1] : 1;
  std::int64_t rw = std::int64_t(r.right) - r.left, rh = std::int64_t(r.bottom) - r.top;
  if (rw <= 0 || rh <= 0) return;
  // Marker space (0..s) to the square.
  auto at = [&](int x, int y) {
    return KRpoint{static_cast<std::int32_t>(r.left + std::int64_t(x) * rw / s),
                   static_cast<std::int32_t>(r.top + std::int64_t(y) * rh / s)};
  };
  KRlogpen keep_pen = dc.Pen();
  KRlogbrush keep_brush = dc.Brush();
  int keep_rop = dc.GetROP2();
  KRpoint keep_pos = dc.CurrentPosition();
  dc.SetROP2(m[5] >= 1 && m[5] <= 16 ? m[5] : 13);
  std::uint32_t colour = static_cast<std::uint32_t>(m[3]), outline = static_cast<std::uint32_t>(m[2]);
  if (m[4] >= 0 && (kind == 2 || kind == 3 || kind == 4 || kind == 6))
    dc.FillSolidRect(r, static_cast<std::uint32_t>(m[4]));
  dc.SelectPen({0, 1, 0, colour});
  auto line = [&](int x0, int y0, int x1, int y1) {
    KRpoint a = at(x0, y0), b = at(x1, y1);
    dc.MoveTo(a.x, a.y);
    dc.LineTo(b.x, b.y);
  };
  KRpoint in_tl = at(2, 2), in_br = at(s - 2, s - 2);
  KRrect inset{in_tl.x, in_tl.y, std::max(in_br.x, in_tl.x + 1), std::max(in_br.y, in_tl.y + 1)};
  switch (kind) {
    case 0:
    case 1:
      dc.SelectBrush({0, colour, 0});
      dc.Rectangle(inset);
      break;
    case 2:
      line(s / 2, 0, s / 2, s);
      line(0, s / 2, s, s / 2);
      break;
    case 3:
      line(0, 0, s, s);
      line(s, 0, 0, s);
      break;
    case 4:
      line(s / 2, 0, s / 2, s);
      line(0, s / 2, s, s / 2);
      line(0, 0, s, s);
      line(s, 0, 0, s);
      break;
    case 5:
    case 6:
      dc.SelectPen({0, 1, 0, outline});
      dc.SelectBrush({0, colour, 0});
      if (kind == 5) dc.Rectangle(inset);
      else dc.Ellipse(inset);
      break;
  }
  dc.SelectPen(keep_pen);
  dc.SelectBrush(keep_brush);
  dc.SetROP2(keep_rop);
  dc.MoveTo(keep_pos.x, keep_pos.y);
}

int CKorndMark::MarkerSide(const std::array<std::int32_t, 6>& m, int s, int default_size) {
  if (s != 0) return s;
  if (m[0] == 0) return m[1] == 0 ? 1 : default_size;
  if (m[0] == 1 && m[1] == 0) return 1;
  return m[1];
}

int CKorndMark::Draw(CKorndGC& env, CKorndDoc* doc, CKorndView*, KRdc& dc, std::uint32_t skip) {
  if (Skipped(skip)) return 0;
  if (rect_.IsEmpty()) {
    if (env.marker_desc[0] > 6) return 0;
    int s = MarkerSide(env.marker_desc, 0, doc ? doc->DefaultMarkerSize() : 2);
    int x = rect_.left, y = rect_.top;
    rect_ = {x - s / 2, y - s / 2, x - s / 2 + s, y - s / 2 + s};
  }
  PlayMarker(dc, env.marker_desc, rect_);
  return 1;
}
