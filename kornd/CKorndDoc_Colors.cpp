// CKorndDoc_Colors.cpp - colour codes and the drawing-state defaults of a window's block head
// (part of CKorndDoc; see CKorndDoc.h). Changes: the block head and the document environment.
#include <QColorDialog>
#include <QFontDialog>

#include <algorithm>  // std::min
#include <array>
#include <cstdlib>    // std::abs
#include <cstring>    // std::memcpy, strnlen

#include "kornd/CKorndBox.h"
#include "kornd/CKorndDoc.h"
#include "kornd/CKorndSetSymbol.h"
#include "kornd/CKorndSetText.h"
#include "kornd/GdiCache.h"

namespace {

// The twenty static colours, 0x00bbggrr.
constexpr std::uint32_t Fixed_Colors[20] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000,
                                            0xC0C0C0, 0x808080, 0xC0DCC0, 0xF0CAA6, 0xF0FBFF, 0xA4A0A0, 0x0000FF,
                                            0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};

constexpr std::int32_t Direct = 0x2000000;

std::uint32_t colorref_of(const QColor& c) {
  return std::uint32_t(c.red()) | std::uint32_t(c.green()) << 8 | std::uint32_t(c.blue()) << 16;
}

}  // namespace

std::uint32_t CKorndDoc::FixedColor(int code) { return code >= 0 && code < 20 ? Fixed_Colors[code] : 0; }

std::int32_t CKorndDoc::ResolveColor(int code, std::int32_t* out, const CKorndGC* env) {
  const CKorndGC& e = env ? *env : env_;
  if (code >= 0 && code <= 19) return static_cast<std::int32_t>(Fixed_Colors[code]);
  if (code >= 20 && code <= 35) return e.palette[code - 20];
  if (code >= 36) return code & 0xFFFFFF;
  if (code == -100) return CKorndGC::None;
  if (code <= -2 && code >= -12) return e.Role(-code - 1);
  std::int32_t chosen = AskColor(e.Role(1));
  if (out) *out = chosen | Direct;
  return chosen;
}

std::int32_t CKorndDoc::AskColor(std::int32_t initial) {
  QString answer;
  QString start = QString::asprintf("#%02x%02x%02x", initial & 0xFF, (initial >> 8) & 0xFF, (initial >> 16) & 0xFF);
  if (CKorndBox::SeamAnswer("Color", start, answer)) {
    QColor c(answer);
    return c.isValid() ? static_cast<std::int32_t>(colorref_of(c)) : CKorndGC::None;
  }
  for (int i = 0; i < 16; ++i)
    QColorDialog::setCustomColor(i, ColorOf(static_cast<std::uint32_t>(env_.palette[i])));
  QColor c = QColorDialog::getColor(ColorOf(static_cast<std::uint32_t>(initial)));
  if (!c.isValid()) return CKorndGC::None;
  for (int i = 0; i < 16; ++i) env_.palette[i] = static_cast<std::int32_t>(colorref_of(QColorDialog::customColor(i)));
  return static_cast<std::int32_t>(colorref_of(c));
}

void CKorndDoc::SetColors(int width, int height, int fg, int bg) {
  channel::KRwinblock& b = *block_;
  if (fg >= 0) b.fg = fg;
  if (bg >= 0) b.bg = bg;
  if (width > 0 && height > 0) {
    b.width = width;
    b.height = height;
    if (width > height) {
      b.view_x1 = 0, b.view_y1 = 0, b.view_x2 = float(width) / float(height), b.view_y2 = 1.0f;
    } else {
      b.view_x1 = 0, b.view_y1 = 0, b.view_x2 = 1.0f, b.view_y2 = float(height) / float(width);
    }
    b.unit = std::min(width, height);
    b.origin_x = 0;
    b.origin_y = height;
    b.world_x1 = 0, b.world_y1 = 0, b.world_x2 = float(width), b.world_y2 = float(height);
    b.pixel_mode = 0;
    b.sx = (b.view_x2 - b.view_x1) * float(b.unit) / (b.world_x2 - b.world_x1);
    b.sy = (b.view_y2 - b.view_y1) * float(b.unit) / (b.world_y2 - b.world_y1);
    b.text_height = b.unit / 30 == 0 ? 16 : b.unit / 30;
    b.symbol_height = b.unit / 30 == 0 ? 8 : b.unit / 30;
    b.mark_size = b.text_height / 4 == 0 ? 4 : b.text_height / 4;
  }
  b.pen_x = -1;
  b.pen_y = -1;
  b.bitmap_number = -1;
  b.combined_number = -1;
  b.combined_place = 0;
  b.pen_colour = -2;
  b.text_colour = -2;
  b.symbol_colour = -2;
  b.brush_style = 0;
  b.hatch = 0;
  b.bitmap_rop = 0;
  b.bitmap_position = 0;
  b.text_angle = 0;
  b.symbol_angle = 0;
  b.symbol_align = 0;
  b.change_mask = 0x3FFF;
  b.fill_mode = 1;
  b.pen_style = 1;
  b.pen_width = 1;
  b.pen_mix = 4;
  b.brush_colour = 11;
  b.bitmap_transparency = 1;
  b.bitmap_flags = 1;
  b.mark_type = 1;
  b.mark_colour1 = 16;
  b.mark_colour2 = -100;
  b.mark_mix = 5;
  b.text_align = 1;
  b.text_background = -100;
  b.symbol_char = 158;
  b.symbol_background = -100;
  env_.SetDefaults(*this);
}

int CKorndDoc::MarkSize(int type, int size, const CKorndGC* env) const {
  if (type < 1) return 2;
  if (size != 0) return size;
  const CKorndGC& e = env ? *env : env_;
  int h = std::abs(e.text_logfont.height) / 4;
  return h == 0 ? 4 : h;
}

void CKorndDoc::Rescale(channel::KRwinblock& b, int new_unit) {
  if (b.unit == 0) {  // no unit to scale from: only the unit changes
    b.unit = new_unit;
    return;
  }
  double r = double(new_unit) / b.unit;
  b.unit = new_unit;
  b.width = static_cast<std::int32_t>(b.width * r);
  b.height = static_cast<std::int32_t>(b.height * r);
  b.origin_x = static_cast<std::int32_t>(b.origin_x * r);
  b.origin_y = static_cast<std::int32_t>(b.origin_y * r);
  b.sx = static_cast<float>(b.sx * r);
  b.sy = static_cast<float>(b.sy * r);
  b.text_height = static_cast<std::int32_t>(b.text_height * r);
  if (b.text_height == 0) b.text_height = 16;
  b.symbol_height = static_cast<std::int32_t>(b.symbol_height * r);
  if (b.symbol_height == 0) b.symbol_height = 8;
  b.mark_size = static_cast<std::int32_t>(b.mark_size * r);
  if (b.mark_size == 0) b.mark_size = 4;
  if (b.pen_x > 0) b.pen_x = static_cast<std::int32_t>(b.pen_x * r);
  if (b.pen_y > 0) b.pen_y = static_cast<std::int32_t>(b.pen_y * r);
}

std::int32_t CKorndDoc::MakeColorTool(int role) {
  const std::array<std::int32_t, 16> before = env_.palette;
  std::int32_t current = role >= 20 && role <= 35 ? env_.palette[static_cast<std::size_t>(role - 20)] : env_.Role(role);
  std::int32_t c = AskColor(current);
  if (c != -1 && role >= 1 && role <= 11) {
    std::int32_t v = c | Direct;  // recorded as a direct colour in every role, also 3 and 4
    switch (role) {
      case 1: block_->fg = v; break;
      case 2: block_->bg = v; break;
      case 3: env_.pen_desc.colour = static_cast<std::uint32_t>(c); break;
      case 4: env_.brush_desc.colour = static_cast<std::uint32_t>(c); break;
      case 5: env_.marker_desc[3] = c; break;
      case 6: env_.marker_desc[4] = c; break;
      case 7: block_->text_colour = v; break;
      case 8: block_->text_background = v; break;
      case 9: block_->symbol_colour = v; break;
      case 10: block_->symbol_background = v; break;
      default: break;  // 11: nothing stored
    }
    AddNewTool(5, v, role);
  }
  for (int i = 0; i < 16; ++i)
    if (env_.palette[static_cast<std::size_t>(i)] != before[static_cast<std::size_t>(i)])
      AddNewTool(5, env_.palette[static_cast<std::size_t>(i)] | Direct, 20 + i);
  return c;
}

namespace {

// Asks for a font face starting at the description's; false when cancelled.
bool ask_font(KRlogfont& font) {
  QString face = QString::fromLocal8Bit(font.face_name, static_cast<qsizetype>(strnlen(font.face_name, 32)));
  QString answer;
  if (!CKorndBox::SeamAnswer("Font", face, answer)) {
    bool ok = false;
    QFont chosen = QFontDialog::getFont(&ok, QFont(face));
    if (!ok) return false;
    answer = chosen.family();
  }
  if (answer.isEmpty() || answer.compare("Cancel", Qt::CaseInsensitive) == 0) return false;
  QByteArray f = answer.toLocal8Bit().left(31);
  std::memset(font.face_name, 0, sizeof font.face_name);
  std::memcpy(font.face_name, f.constData(), static_cast<std::size_t>(f.size()));
  return true;
}

}  // namespace

bool CKorndDoc::MakeTextTool() {
  if (!ask_font(env_.text_logfont)) return false;
  auto t = std::make_unique<CKorndSetText>();
  t->font_valid = 1;
  t->align = env_.text_align;
  t->background = env_.Role(8);
  t->colour = env_.text_colour;
  env_.SetRole(7, t->colour);
  block_->text_colour = t->colour | Direct;
  t->logfont = env_.text_logfont;
  std::unique_ptr<CKorndTool> slot = std::move(t);
  AddTool(slot);
  return true;
}

bool CKorndDoc::MakeSymbolTool() {
  if (!ask_font(env_.symbol_logfont)) return false;
  auto t = std::make_unique<CKorndSetSymbol>();
  t->font_valid = 1;
  t->align = env_.symbol_align;
  t->background = env_.Role(10);
  t->colour = env_.symbol_colour;
  env_.SetRole(9, t->colour);
  block_->symbol_colour = t->colour | Direct;
  t->logfont = env_.symbol_logfont;
  std::unique_ptr<CKorndTool> slot = std::move(t);
  AddTool(slot);
  return true;
}
