// CKorndSetGDI.cpp - see CKorndSetGDI.h.
#include "kornd/CKorndSetGDI.h"

#include <algorithm>  // std::min, std::max

#include "kornd/CKorndDoc.h"
#include "kornd/CKorndGC.h"
#include "kornd/KRdc.h"

int CKorndSetGDI::Draw(CKorndGC& env, CKorndDoc*, CKorndView*, KRdc& dc, std::uint32_t skip) {
  if (Skipped(skip)) return 0;
  if (mask & 0x8) {
    env.mix_mode = rop2;
    dc.SetROP2(rop2);
  }
  if (mask & 0x7) {
    if (mask & 0x1) env.pen_desc.style = pen.style;
    if (mask & 0x2) env.pen_desc.width_x = pen.width_x;
    if (mask & 0x4) {
      env.pen_desc.colour = pen.colour;
      env.SetRole(3, static_cast<std::int32_t>(pen.colour));
    }
    env.pen_desc.width_y = 0;
    env.pen = GetCachedPen(env.pen_desc);
    dc.SelectPen(env.pen_desc);
  }
  if (mask & 0x70) {
    if (mask & 0x10) env.brush_desc.style = brush.style;
    if (mask & 0x20) {
      env.brush_desc.colour = brush.colour;
      env.SetRole(4, static_cast<std::int32_t>(brush.colour));
    }
    if (mask & 0x40) env.brush_desc.hatch = brush.hatch;
    env.brush = GetCachedBrush(env.brush_desc);
    dc.SelectBrush(env.brush_desc);
  }
  if (mask & 0x80) env.marker_desc[0] = marker[0];
  if (mask & 0x100) env.marker_desc[1] = marker[1];
  if (mask & 0x200) {
    env.marker_desc[2] = marker[2];
    env.marker_desc[3] = marker[3];
    env.SetRole(5, marker[3]);
  }
  if (mask & 0x400) {
    env.marker_desc[4] = marker[4];
    env.SetRole(6, marker[4]);
  }
  if (mask & 0x800) env.marker_desc[5] = marker[5];
  return 0;
}
