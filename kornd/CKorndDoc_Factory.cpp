// CKorndDoc_Factory.cpp - the object factory of the window document: a primitive code, two
// arguments and the window block's head become one drawing object (part of CKorndDoc; see
// CKorndDoc.h). Changes: the pending object, the data buffer, the pending message, colour
// fields of the block head (a colour chosen in the dialog is written back).
#include <algorithm>  // std::min, std::max
#include <cstdlib>    // std::abs
#include <cstring>    // std::memcpy
#include <new>        // std::bad_alloc

#include "kornd/CKorndApp.h"
#include "kornd/CKorndArc.h"
#include "kornd/CKorndBezier.h"
#include "kornd/CKorndChord.h"
#include "kornd/CKorndClear.h"
#include "kornd/CKorndDoc.h"
#include "kornd/CKorndEMF.h"
#include "kornd/CKorndEllipse.h"
#include "kornd/CKorndImage.h"
#include "kornd/CKRDIB.h"
#include "kornd/CKREMF.h"
#include "kornd/CKorndFlood.h"
#include "kornd/CKorndLine.h"
#include "kornd/CKorndMark.h"
#include "kornd/CKorndMove.h"
#include "kornd/CKorndPie.h"
#include "kornd/CKorndPixel.h"
#include "kornd/CKorndPlot.h"
#include "kornd/CKorndPolygon.h"
#include "kornd/CKorndPolyline.h"
#include "kornd/CKorndRect.h"
#include "kornd/CKorndReset.h"
#include "kornd/CKorndRoundRect.h"
#include "kornd/CKorndSetColor.h"
#include "kornd/CKorndSetSymbol.h"
#include "kornd/CKorndSetText.h"
#include "kornd/CKorndSetGDI.h"
#include "kornd/CKorndSetRgn.h"
#include "kornd/CKorndSetXFORM.h"
#include "kornd/CKorndSleep.h"
#include "kornd/CKorndSolidRect.h"
#include "kornd/CKorndSymbol.h"
#include "kornd/CKorndText.h"

#include <QFontDialog>

#include "kornd/CKorndBox.h"

namespace {

// Point lists larger than this are refused before anything is allocated (32 MB of points).
constexpr std::int64_t Max_Points = 1 << 22;

// Client pen styles 0-9, brush styles 0-7, hatches 1-5, region modes 0-4 as the platform's codes.
constexpr int Pen_Styles[10] = {5, 0, 1, 2, 3, 4, 6, 7, 8, 15};
constexpr int Brush_Styles[8] = {1, 0, 2, 3, 5, 6, 7, 8};
constexpr int Region_Modes[5] = {5, 1, 2, 4, 3};

// The data area as a text: at most its 2048 bytes.
std::string data_text(const channel::KRwinblock& b) { return std::string(b.data, strnlen(b.data, sizeof b.data)); }

// Fills the font attributes of a SetText or SetSymbol object from the block's text or symbol
// fields; "*" in the data area lets the user choose the font first.
template <class T>
void font_attributes(CKorndDoc& doc, T& t, KRlogfont& env_font, int font_valid, int align, std::int32_t& colour,
                     std::int32_t& background, int height, int angle) {
  channel::KRwinblock& b = *doc.block();
  std::string data = data_text(b);
  if (!data.empty() && data[0] == '*') {
    QString answer;
    QString face = QString::fromLocal8Bit(env_font.face_name);
    if (CKorndBox::SeamAnswer("Font", face, answer)) {
      if (!answer.isEmpty() && answer.compare("Cancel", Qt::CaseInsensitive) != 0) {
        QByteArray f = answer.toLocal8Bit().left(31);
        std::memset(env_font.face_name, 0, sizeof env_font.face_name);
        std::memcpy(env_font.face_name, f.constData(), static_cast<std::size_t>(f.size()));
      }
    } else {
      bool ok = false;
      QFont chosen = QFontDialog::getFont(&ok, QFont(face));
      if (ok) {
        QByteArray f = chosen.family().toLocal8Bit().left(31);
        std::memset(env_font.face_name, 0, sizeof env_font.face_name);
        std::memcpy(env_font.face_name, f.constData(), static_cast<std::size_t>(f.size()));
      }
    }
  }
  t.logfont = env_font;
  t.font_valid = font_valid;
  t.align = align;
  t.colour = doc.ResolveColor(colour, &colour);
  t.background = doc.ResolveColor(background, &background);
  t.logfont.height = height;
  t.logfont.escapement = angle;
  t.logfont.orientation = angle;
  if (!data.empty() && data[0] != '*') {
    std::memset(t.logfont.face_name, 0, sizeof t.logfont.face_name);
    std::memcpy(t.logfont.face_name, data.data(), std::min<std::size_t>(data.size(), 31));  // cut to 31
  }
}

// Coordinates from the client are held to the range the platform's drawing takes.
std::int32_t coord(std::int64_t v) { return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, -Max_Coordinate, Max_Coordinate)); }

// Ternary raster operations of the client's raster codes 0-15.
constexpr std::uint32_t Raster_Operations[16] = {0x990066, 0xCC0020, 0xEE0086, 0x8800C6, 0x660046, 0x440328,
                                                 0x330008, 0x1100A6, 0xC000CA, 0xBB0226, 0xF00021, 0xFB0A09,
                                                 0x5A0049, 0x550009, 0x000042, 0xFF0062};

// The w x h box placed at (x, y) by a position mode; bitmaps know nine places, symbols
// (only_corners) the four corners, everything else is centred.
KRrect placed(int x, int y, int w, int h, int mode, bool only_corners) {
  int left = x - w / 2, top = y - h / 2;
  switch (mode) {
    case 4: left = x, top = y; break;
    case 3: left = x - w, top = y; break;
    case 1: left = x, top = y - h; break;
    case 2: left = x - w, top = y - h; break;
    case 8: if (!only_corners) left = x - w / 2, top = y; break;
    case 5: if (!only_corners) left = x, top = y - h / 2; break;
    case 7: if (!only_corners) left = x - w, top = y - h / 2; break;
    case 6: if (!only_corners) left = x - w / 2, top = y - h; break;
    default: break;
  }
  return {left, top, left + w, top + h};
}

KRrect normalised(int l, int t, int r, int b) {
  l = coord(l), t = coord(t), r = coord(r), b = coord(b);
  return {std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)};
}

}  // namespace

CKorndTool* CKorndDoc::MakeTool(int code, int a1, int a2) {
  pending_tool_.reset();
  channel::KRwinblock& b = *block_;
  const KRrect box = normalised(b.a[2], b.a[3], b.a[4], b.a[5]);
  std::unique_ptr<CKorndTool> t;
  switch (code) {
    case channel::Draw_Reset:  // reset
      t = std::make_unique<CKorndReset>();
      break;
    case channel::Draw_Sleep:
    case channel::Draw_Sleep_Until: {  // timed pauses
      auto p = std::make_unique<CKorndSleep>(code);
      p->milliseconds = a1;
      t = std::move(p);
      break;
    }
    case channel::Draw_Colour: {  // colour of a role or custom colour
      if (!((a2 >= 1 && a2 <= 11) || (a2 >= 20 && a2 <= 35))) return nullptr;
      auto c = std::make_unique<CKorndSetColor>();
      c->slot = a2;
      // -1: the user chooses; the choice is recorded (and kept in the head) by its own object,
      // which this one repeats.
      c->colour = a1 < -1 ? a1 : a1 == -1 ? MakeColorTool(a2) : ResolveColor(a1, nullptr);
      if (a1 == -1 && c->colour == -1) return nullptr;  // the user cancelled the dialog
      t = std::move(c);
      break;
    }
    case channel::Draw_Attributes: {  // drawing state by the change mask
      std::uint32_t mask = b.change_mask & 0xFFF;
      if (mask == 0) return nullptr;
      auto g = std::make_unique<CKorndSetGDI>();
      if (mask & 0x8) {
        if (b.pen_mix < 0 || b.pen_mix > 31) return nullptr;
        g->rop2 = MixToRop2(b.pen_mix);
      }
      if (mask & 0x4) g->pen.colour = static_cast<std::uint32_t>(ResolveColor(b.pen_colour, &b.pen_colour));
      if (mask & 0x2) g->pen.width_x = b.pen_width;
      if (mask & 0x1) {
        if (b.pen_style < 0 || b.pen_style > 9) return nullptr;
        g->pen.style = Pen_Styles[b.pen_style];
      }
      if (mask & 0x20) g->brush.colour = static_cast<std::uint32_t>(ResolveColor(b.brush_colour, &b.brush_colour));
      if (mask & 0x10) {
        if (b.brush_style >= 0 && b.brush_style <= 7) g->brush.style = static_cast<std::uint32_t>(Brush_Styles[b.brush_style]);
        else mask &= ~0x10u;
      }
      if (mask & 0x40) {
        if (b.hatch >= 1 && b.hatch <= 5) g->brush.hatch = b.hatch - 1;
        else mask &= ~0x40u;
      }
      if (mask & 0x80) g->marker[0] = b.mark_type;
      if (mask & 0x100) g->marker[1] = MarkSize(b.mark_type, b.mark_size);
      if (mask & 0x200) {
        g->marker[2] = ResolveColor(b.pen_colour, &b.pen_colour);
        g->marker[3] = ResolveColor(b.mark_colour1, &b.mark_colour1);
      }
      if (mask & 0x400) g->marker[4] = ResolveColor(b.mark_colour2, &b.mark_colour2);
      if (mask & 0x800) {
        if (b.mark_mix < 0 || b.mark_mix > 31) return nullptr;
        g->marker[5] = MixToRop2(b.mark_mix);
      }
      g->mask = mask;
      b.change_mask = 0;
      t = std::move(g);
      break;
    }
    case channel::Draw_Transform: {  // world transform: translation in pixels, matrix in 16.16 fixed point
      auto x = std::make_unique<CKorndSetXFORM>();
      x->xform = {b.a[2] / 65536.0f, b.a[3] / 65536.0f, b.a[4] / 65536.0f, b.a[5] / 65536.0f, float(a1), float(a2)};
      t = std::move(x);
      break;
    }
    case channel::Draw_Clip: {  // clip rectangle
      if (a1 < 0 || a1 > 4) return nullptr;
      auto r = std::make_unique<CKorndSetRgn>();
      r->mode = Region_Modes[a1];
      r->SetRect(box);
      t = std::move(r);
      break;
    }
    case channel::Draw_Text_Font: {
      auto a = std::make_unique<CKorndSetText>();
      font_attributes(*this, *a, env_.text_logfont, a1, b.text_align, b.text_colour, b.text_background,
                      b.text_height, b.text_angle);
      t = std::move(a);
      break;
    }
    case channel::Draw_Symbol_Font: {
      auto a = std::make_unique<CKorndSetSymbol>();
      font_attributes(*this, *a, env_.symbol_logfont, a1, b.symbol_align, b.symbol_colour, b.symbol_background,
                      b.symbol_height, b.symbol_angle);
      t = std::move(a);
      break;
    }
    case channel::Draw_Text: {
      auto x = std::make_unique<CKorndText>();
      x->text = data_text(b);
      std::int64_t w = picture_width_, h = picture_height_;
      if (a1 > 2 * w || a2 > 2 * h || a1 < -w || a2 < -h) x->point = {32767, 32767};
      else x->point = {coord(a1), coord(a2)};
      t = std::move(x);
      break;
    }
    case channel::Draw_Symbol: {
      auto y = std::make_unique<CKorndSymbol>();
      y->character = b.symbol_char;
      y->point = {coord(a1), coord(a2)};
      t = std::move(y);
      break;
    }
    case channel::Draw_Move: {
      auto m = std::make_unique<CKorndMove>();
      m->point = {coord(a1), coord(a2)};
      t = std::move(m);
      break;
    }
    case channel::Draw_Combined: {  // a user symbol at (a1, a2)
      const CKREMF* sym = Symbol(b.combined_number);
      if (b.combined_number < 1 || sym == nullptr || !sym->HasMetafile()) return nullptr;
      auto e = std::make_unique<CKorndEMF>();
      e->symbol = b.combined_number;
      int w = coord(b.a[2] != 0 ? b.a[2] : sym->pixel_width), h = coord(b.a[3] != 0 ? b.a[3] : sym->pixel_height);
      if (w < 0) e->mirror_x = true, w = -w;
      if (h < 0) e->mirror_y = true, h = -h;
      e->SetRect(placed(coord(a1), coord(a2), w, h, b.combined_place, true));
      t = std::move(e);
      break;
    }
    case channel::Draw_Bitmap: {  // a bitmap at (a1, a2)
      const CKRDIB* bmp = Bitmap(b.bitmap_number);
      if (b.bitmap_number < 0 || bmp == nullptr || b.bitmap_rop < 0) return nullptr;
      auto im = std::make_unique<CKorndImage>();
      im->bitmap = b.bitmap_number;
      im->rop = b.bitmap_rop < 16 ? Raster_Operations[b.bitmap_rop] : static_cast<std::uint32_t>(b.bitmap_rop - 16);
      im->put_mode = b.bitmap_flags;
      bool display = std::int64_t(bmp->display_width) * bmp->display_height != 0;
      int w = coord(display ? bmp->display_width : bmp->pixel_width);
      int h = coord(display ? bmp->display_height : bmp->pixel_height);
      if (w < 0) im->mirror_x = true, w = -w;
      if (h < 0) im->mirror_y = true, h = -h;
      im->SetRect(placed(coord(a1), coord(a2), w, h, bmp->position_mode, false));
      t = std::move(im);
      break;
    }
    case channel::Draw_Marker: {  // a mark of the environment's marker at (a4, a5)
      const auto& m = env_.marker_desc;
      if (m[0] >= 7 || m[0] < 0) return nullptr;
      int x = coord(b.a[3]), y = coord(b.a[4]);
      int d = coord(m[0] == 0 ? default_marker_size_ : m[1]);
      if (m[0] <= 1 && m[1] == 0) d = 1;
      KRrect r = normalised(x - d / 2, y - d / 2, x - d / 2 + d, y - d / 2 + d);
      if (m[0] <= 1) {
        auto s = std::make_unique<CKorndSolidRect>();
        s->colour = m[3];
        t = std::move(s);
      } else {
        t = std::make_unique<CKorndMark>();
      }
      t->SetRect(r);
      break;
    }
    case channel::Draw_Flood: {
      auto f = std::make_unique<CKorndFlood>();
      f->point = {coord(a1), coord(a2)};
      f->SetRect({0, 0, picture_width_, picture_height_});
      t = std::move(f);
      break;
    }
    case channel::Draw_Fill_Window: {
      auto c = std::make_unique<CKorndClear>();
      c->colour = b.a[2] >= -1 ? ResolveColor(b.a[2], nullptr) : b.a[2];
      c->SetRect({0, 0, picture_width_, picture_height_});
      t = std::move(c);
      break;
    }
    case channel::Draw_Pixel: {
      auto p = std::make_unique<CKorndPixel>();
      p->colour = ResolveColor(b.a[2] == -1 ? -2 : b.a[2], nullptr);
      p->SetRect({coord(a1), coord(a2), coord(a1) + 1, coord(a2) + 1});
      t = std::move(p);
      break;
    }
    case channel::Draw_Line: {
      auto l = std::make_unique<CKorndLine>();
      l->end = {coord(a1), coord(a2)};
      KRrect r = normalised(b.pen_x, b.pen_y, a1, a2);
      if (r.right == r.left) r.right += 1;
      if (r.bottom == r.top) r.bottom += 1;
      l->SetRect(r);
      t = std::move(l);
      break;
    }
    case channel::Draw_Rect:
      t = std::make_unique<CKorndRect>();
      t->SetRect(box);
      break;
    case channel::Draw_Solid_Rect: {
      auto s = std::make_unique<CKorndSolidRect>();
      s->colour = a1 >= 0 ? ResolveColor(a1, nullptr) : a1;
      s->SetRect(box);
      t = std::move(s);
      break;
    }
    case channel::Draw_Round_Rect: {
      auto r = std::make_unique<CKorndRoundRect>();
      r->corner_width = coord(a1);
      r->corner_height = coord(a2);
      r->SetRect(box);
      t = std::move(r);
      break;
    }
    case channel::Draw_Ellipse:
      t = std::make_unique<CKorndEllipse>();
      t->SetRect(box);
      break;
    case channel::Draw_Arc:
    case channel::Draw_Chord:
    case channel::Draw_Pie: {  // radial points: the first four integers of the data area
      std::int32_t p[4];
      std::memcpy(p, b.data, sizeof p);
      auto set = [&](auto arc) {
        arc->start = {coord(p[0]), coord(p[1])};
        arc->end = {coord(p[2]), coord(p[3])};
        arc->SetRect(box);
        t = std::move(arc);
      };
      if (code == channel::Draw_Arc) set(std::make_unique<CKorndArc>());
      else if (code == channel::Draw_Chord) set(std::make_unique<CKorndChord>());
      else set(std::make_unique<CKorndPie>());
      break;
    }
    case channel::Draw_Polygon:
    case channel::Draw_Bezier:
    case channel::Draw_Polyline: {  // point lists: the points follow through the data buffer
      std::int64_t n = a1;
      bool bad = code == channel::Draw_Bezier ? (n < 4 || n % 3 != 1) : n < (code == channel::Draw_Polygon ? 3 : 2);
      if (bad || n > Max_Points) {
        pending_message_ = IDS_INVALID_PARAMETER;
        return nullptr;
      }
      data_buffer_.clear();
      try {
        data_buffer_.assign(static_cast<std::size_t>(n) * sizeof(KRpoint), 0);
      } catch (const std::bad_alloc&) {
        data_buffer_.clear();
        if (CKorndApp* app = KorndApp()) app->ShowNoMemory();
        return nullptr;
      }
      if (code == channel::Draw_Polygon) {
        auto g = std::make_unique<CKorndPolygon>();
        g->fill_mode = b.fill_mode;
        g->points.resize(static_cast<std::size_t>(n));
        t = std::move(g);
      } else if (code == channel::Draw_Bezier) {
        auto z = std::make_unique<CKorndBezier>();
        z->points.resize(static_cast<std::size_t>(n));
        t = std::move(z);
      } else {
        auto l = std::make_unique<CKorndPolyline>();
        l->points.resize(static_cast<std::size_t>(n));
        t = std::move(l);
      }
      break;
    }
    case channel::Draw_Plot: {  // plot: the values follow through the data buffer
      std::int64_t n = a1, m = n < 0 ? -n : n;
      if (n == 0 || ((a2 == -1 || a2 < -4) && m < 2) || m > Max_Points) {
        pending_message_ = IDS_INVALID_PARAMETER;
        return nullptr;
      }
      auto p = std::make_unique<CKorndPlot>();
      try {
        data_buffer_.assign(static_cast<std::size_t>(m) * sizeof(std::int32_t), 0);
      } catch (const std::bad_alloc&) {
        data_buffer_.clear();
        if (CKorndApp* app = KorndApp()) app->ShowNoMemory();
        return nullptr;
      }
      try {
        p->points.resize(static_cast<std::size_t>(m));
      } catch (const std::bad_alloc&) {  // no points: no object, and no message
        data_buffer_.clear();
        return nullptr;
      }
      p->mode = a2;
      p->first = coord(b.a[2]);
      p->last = coord(b.a[3]);
      p->size = coord(b.a[4]);
      p->base = coord(b.a[5]);
      p->count = a1;
      t = std::move(p);
      break;
    }
    default:  // codes this server does not build, 31 (groups) and codes outside 2-32
      return nullptr;
  }
  pending_tool_ = std::move(t);
  return pending_tool_.get();
}

void CKorndDoc::AddNewTool(int code, int a1, int a2) {
  if (MakeTool(code, a1, a2)) AddTool(pending_tool_);
}

// Copies a point list from the data buffer into its object at commit and sets its rectangle;
// false when the buffer does not hold the whole list.
bool CKorndDoc::FinishPointList(CKorndTool& t) {
  if (t.type() == 32) return FinishPlot(static_cast<CKorndPlot&>(t));
  std::vector<KRpoint>* points = nullptr;
  if (t.type() == 28) points = &static_cast<CKorndPolygon&>(t).points;
  if (t.type() == 29) points = &static_cast<CKorndBezier&>(t).points;
  if (t.type() == 30) points = &static_cast<CKorndPolyline&>(t).points;
  if (points == nullptr) return true;
  std::size_t bytes = points->size() * sizeof(KRpoint);
  if (data_buffer_.size() < bytes) return false;
  std::memcpy(points->data(), data_buffer_.data(), bytes);
  data_buffer_.clear();
  for (KRpoint& p : *points) p = {coord(p.x), coord(p.y)};
  KRrect r;
  bool first = true;
  for (const KRpoint& p : *points) {
    if (first || r.IsAllZero()) r = {p.x, p.y, p.x, p.y};
    else ExtendRect(r, p);
    first = false;
  }
  t.SetRect(r);
  if (t.type() == 29) static_cast<CKorndBezier&>(t).last = points->back();
  if (t.type() == 30) static_cast<CKorndPolyline&>(t).last = points->back();
  return true;
}

// The plot's points from its values: value-axis positions spread evenly from first to last.
bool CKorndDoc::FinishPlot(CKorndPlot& p) {
  std::size_t m = p.points.size();
  if (data_buffer_.size() < m * sizeof(std::int32_t)) return false;
  KRrect r;
  for (std::size_t i = 0; i < m; ++i) {
    std::int32_t v;
    std::memcpy(&v, data_buffer_.data() + i * sizeof v, sizeof v);
    v = coord(v);
    std::int64_t pos = m == 1 ? p.first : p.first + (std::int64_t(p.last) - p.first) * std::int64_t(i) / std::int64_t(m - 1);
    KRpoint q = p.count > 0 ? KRpoint{static_cast<std::int32_t>(pos), v} : KRpoint{v, static_cast<std::int32_t>(pos)};
    p.points[i] = q;
    if (i == 0) r = {q.x, q.y, q.x, q.y};
    else ExtendRect(r, q);
    bool horizontal = p.mode == -7 || p.mode == -5 || p.mode == -3;
    if (p.mode < -1) ExtendRect(r, horizontal ? KRpoint{p.base, q.y} : KRpoint{q.x, p.base});
  }
  data_buffer_.clear();
  p.SetRect(r);
  return true;
}
