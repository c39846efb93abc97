// CKorndGC.cpp - the drawing environment (see CKorndGC.h).
#include "kornd/CKorndGC.h"


#include <algorithm>  // std::min
#include <cstring>    // std::strncpy

#include "kornd/CKorndDoc.h"
#include "kornd/KRdc.h"
#include "platform/Channel_Blocks.h"

namespace {

// Custom colours 20-35 as (red, green, blue).
constexpr int Default_Palette[16][3] = {{128, 128, 0}, {128, 0, 128}, {0, 128, 255}, {128, 255, 0},
                                        {0, 255, 128}, {255, 128, 0}, {255, 0, 128}, {255, 128, 128},
                                        {128, 128, 255}, {255, 255, 128}, {255, 128, 255}, {64, 64, 64},
                                        {255, 64, 64}, {64, 255, 64}, {64, 64, 255}, {32, 32, 32}};

KRlogfont default_font(const char* face, int height) {
  KRlogfont f;
  f.height = height;
  f.char_set = 1;         // default character set
  f.clip_precision = 16;  // angles follow the coordinate system
  std::strncpy(f.face_name, face, sizeof f.face_name - 1);
  return f;
}

}  // namespace

CKorndGC::CKorndGC() = default;

void CKorndGC::SetDefaults(CKorndDoc& doc) {
  const channel::KRwinblock& block = *doc.block();
  // Role 1 must be known before code -2 resolves to it.
  SetRole(1, doc.ResolveColor(block.fg, nullptr, this));
  SetRole(2, doc.ResolveColor(block.bg, nullptr, this));
  SetRole(3, Role(1));
  SetRole(4, doc.ResolveColor(11, nullptr, this));
  SetRole(5, doc.ResolveColor(16, nullptr, this));
  SetRole(6, None);
  SetRole(7, Role(1));
  SetRole(8, None);
  SetRole(9, Role(1));
  SetRole(10, None);
  SetRole(11, Role(1));
  for (int i = 0; i < 16; ++i)
    palette[i] = Default_Palette[i][0] | Default_Palette[i][1] << 8 | Default_Palette[i][2] << 16;

  current_point = {-1, -1};
  mix_mode = 13;
  pen_desc = {0, 1, 0, static_cast<std::uint32_t>(Role(1))};
  brush_desc = {1, static_cast<std::uint32_t>(Role(4)), 5};

  int unit = std::min(doc.PictureWidth(), doc.PictureHeight());
  int text_height = unit / 30 == 0 ? 16 : unit / 30;
  int symbol_height = unit / 30 == 0 ? 8 : unit / 30;
  text_logfont = default_font("Arial", text_height);
  symbol_logfont = default_font("WingDings", symbol_height);
  text_colour = Role(7);
  symbol_colour = Role(9);
  text_align = 1;
  symbol_align = 0;
  text_font = nullptr;
  symbol_font = nullptr;

  marker_desc = {1, doc.MarkSize(1, block.mark_size, this), doc.ResolveColor(-2, nullptr, this),
                 doc.ResolveColor(16, nullptr, this), None, MixToRop2(block.mark_mix)};

  RecreateGdiObjects();
  text_font = nullptr;  // fonts are made when first used
  symbol_font = nullptr;
  clip = {};
  xform = {};
  xform_active = false;
  text_position = {32767, 32767};
  replay_position = doc.Tools().begin();
}

void CKorndGC::Apply(KRdc& dc) const {
  dc.SelectPen(pen_desc);
  dc.SelectBrush(brush_desc);
  dc.SetROP2(mix_mode);
  if (!clip.IsEmpty()) {
    const KRrect device = DeviceClip(dc, clip);
    dc.SetClip(&device);
  }
}

KRrect CKorndGC::DeviceClip(KRdc& dc, const KRrect& r) {
  const KRdc::State keep = dc.Save();
  dc.SetTransform(nullptr);
  const KRrect device = dc.LPtoDP(r);
  dc.Restore(keep);
  return device;
}

void CKorndGC::CopyFrom(const CKorndGC& o) {
  replay_position = o.replay_position;
  base_tick = o.base_tick;
  pen = o.pen;
  brush = o.brush;
  text_font = o.text_font;
  symbol_font = o.symbol_font;
  mix_mode = o.mix_mode;
  current_point = o.current_point;
  pen_desc = o.pen_desc;
  brush_desc = o.brush_desc;
  marker_desc = o.marker_desc;
  text_position = o.text_position;
  text_align = o.text_align;
  text_logfont = o.text_logfont;
  symbol_align = o.symbol_align;
  symbol_logfont = o.symbol_logfont;
  clip = o.clip;
  xform = o.xform;
  xform_active = o.xform_active;
  roles = o.roles;
  palette = o.palette;
  text_colour = Role(7);
  symbol_colour = Role(9);
}

void CKorndGC::RecreateGdiObjects() {
  pen = GetCachedPen(pen_desc);
  brush = GetCachedBrush(brush_desc);
  text_font = GetCachedFont(text_logfont);
  symbol_font = GetCachedFont(symbol_logfont);
}
