// KRdc.h - the painting layer of the server: GDI drawing semantics on a QImage surface.
//
// Exclusive right and bottom edges, lines that leave out their end pixel, the 16 binary
// raster operations applied per pixel, a current position, a rectangular clip (device pixels),
// a world transform followed by a page mapping (mapping mode, window and viewport origins and
// extents), solid and hatched brushes, surface flood fill. Shapes that need filling are
// rasterised by QPainter into a coverage mask without smoothing, then combined per pixel.
// Writes: the surface image only.
#pragma once

#include <QImage>
#include <QTransform>

#include <cstdint>
#include <vector>

#include "kornd/DrawUtil.h"
#include "kornd/GdiCache.h"
#include "kornd/KRmapping.h"

class QFont;
class QPainterPath;
class QString;

// Result of a binary raster operation 1-16 on 24-bit colours (pen p, destination d).
std::uint32_t ApplyROP2(int rop, std::uint32_t p, std::uint32_t d);

class KRdc {
 public:
  explicit KRdc(QImage* surface);

  QImage* Surface() const { return image_; }

  // Binary raster operation 1-16 (13 copy).
  void SetROP2(int rop) { rop2_ = rop >= 1 && rop <= 16 ? rop : 13; }
  int GetROP2() const { return rop2_; }
  void SelectPen(const KRlogpen& pen) { pen_ = pen; }
  void SelectBrush(const KRlogbrush& brush) { brush_ = brush; }
  const KRlogpen& Pen() const { return pen_; }
  const KRlogbrush& Brush() const { return brush_; }
  // Clip to a device rectangle; null removes the clip.
  void SetClip(const KRrect* r);
  const KRrect* Clip() const { return has_clip_ ? &clip_ : nullptr; }
  // World transform applied to every coordinate; null is the identity.
  void SetTransform(const KRxform* xf);
  // Polygon fill mode: 1 alternate, 2 winding.
  void SetPolyFillMode(int mode) { fill_mode_ = mode == 2 ? 2 : 1; }

  // Page mapping after the world transform: device = viewport origin + (p - window origin) *
  // viewport extent / window extent per axis. MM_TEXT keeps the scale 1 (origins still apply);
  // MM_ISOTROPIC shrinks one viewport extent so both axes keep the same scale.
  static constexpr int MM_TEXT = KRmapping::Text, MM_ISOTROPIC = KRmapping::Isotropic,
                       MM_ANISOTROPIC = KRmapping::Anisotropic;
  void SetMapMode(int mode);
  int GetMapMode() const { return page_.map_mode; }
  // The whole mapping at once (extents of 0 and text-mode extents left as they were).
  void SetMapping(const KRmapping& m);
  const KRmapping& Mapping() const { return page_; }
  void SetWindowOrg(int x, int y);
  void SetWindowExt(int cx, int cy);
  void SetViewportOrg(int x, int y);
  void SetViewportExt(int cx, int cy);
  KRpoint WindowOrg() const { return page_.window_org; }
  KRpoint WindowExt() const { return page_.window_ext; }
  KRpoint ViewportOrg() const { return page_.viewport_org; }
  KRpoint ViewportExt() const { return page_.viewport_ext; }
  // Logical to device and back through the world transform and the mapping (rectangles come
  // back normalised).
  KRpoint LPtoDP(KRpoint p) const { return map(p.x, p.y); }
  KRpoint DPtoLP(KRpoint p) const;
  KRrect LPtoDP(const KRrect& r) const;
  KRrect DPtoLP(const KRrect& r) const;
  // A logical point in device pixels (LPtoDP).
  KRpoint Map(int x, int y) const { return map(x, y); }

  using Page = KRmapping;
  // What SaveDC keeps: the selected state, clip, transform, mapping and position.
  struct State {
    int rop2, fill_mode;
    KRlogpen pen;
    KRlogbrush brush;
    bool has_clip, has_xform;
    KRrect clip;
    KRxform xform;
    Page page;
    KRpoint pos;
  };
  State Save() const { return {rop2_, fill_mode_, pen_, brush_, has_clip_, has_xform_, clip_, xform_, page_, pos_}; }
  void Restore(const State& s) {
    rop2_ = s.rop2, fill_mode_ = s.fill_mode, pen_ = s.pen, brush_ = s.brush;
    has_clip_ = s.has_clip, has_xform_ = s.has_xform, clip_ = s.clip, xform_ = s.xform, page_ = s.page, pos_ = s.pos;
    update_transform();
  }

  void MoveTo(int x, int y) { pos_ = {x, y}; }
  KRpoint CurrentPosition() const { return pos_; }
  void LineTo(int x, int y);
  void Polyline(const KRpoint* p, std::size_t n);
  void Rectangle(const KRrect& r);
  void Ellipse(const KRrect& r);
  void Polygon(const KRpoint* p, std::size_t n);
  void RoundRect(const KRrect& r, int corner_width, int corner_height);
  // Elliptic arc, chord and pie from the radial point p1 counter-clockwise to p2.
  void Arc(const KRrect& r, KRpoint p1, KRpoint p2);
  void Chord(const KRrect& r, KRpoint p1, KRpoint p2);
  void Pie(const KRrect& r, KRpoint p1, KRpoint p2);
  // Cubic Bezier curves through 3k + 1 points; the current position does not move.
  void PolyBezier(const KRpoint* p, std::size_t n);
  // Fills with one colour (no raster operation), as FillSolidRect does.
  void FillSolidRect(const KRrect& r, std::uint32_t colour);
  // Fills with the current brush and raster operation, no outline.
  void PatBlt(const KRrect& r);
  // Sets one pixel with the raster operation.
  void SetPixel(int x, int y, std::uint32_t colour);
  // Colour of a device pixel; false outside the surface.
  bool GetPixel(int x, int y, std::uint32_t& colour) const;
  // Fills the 4-connected area of the colour found at the point with the brush; false when the
  // point lies outside the surface or clip.
  bool FloodFill(int x, int y);
  // Draws text with its baseline origin at (x, y), turned by angle (tenths of a degree,
  // counter-clockwise); background -1 is transparent. Returns the new current position.
  KRpoint TextOut(int x, int y, const QString& text, const QFont& font, std::uint32_t colour,
                  std::int32_t background, int angle);

 private:
  bool pen_visible() const { return pen_.style != 5 && pen_.colour != 0xFFFFFFFFu; }
  bool brush_visible() const { return brush_.style != 1 && brush_.colour != 0xFFFFFFFFu; }
  KRpoint map(int x, int y) const;
  // World transform and mapping as one; identity_ when both are the identity, axis_aligned_
  // when no turn or shear is involved (rectangles map to rectangles).
  void update_transform();
  // Width of the pen on the device: geometric pens scale with the mapping, 0 means cosmetic.
  double device_pen_width() const;
  bool inside(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return false;
    return !has_clip_ || (x >= clip_.left && x < clip_.right && y >= clip_.top && y < clip_.bottom);
  }
  void plot(int x, int y, std::uint32_t colour) {       // raster operation with a colorref
    if (!inside(x, y)) return;
    QRgb& d = bits_[static_cast<std::ptrdiff_t>(y) * stride_ + x];
    const std::uint32_t rgb = SWAP_RED_BLUE(colour);
    d = 0xFF000000u | (rop2_ == 13 ? rgb : ApplyROP2(rop2_, rgb, d & 0xFFFFFF));
  }
  void plot_brush(int x, int y);                          // the brush's colour or hatch
  void segment(KRpoint a, KRpoint b, bool last_pixel);    // a cosmetic line
  // Paths in logical units through the full transform; in device pixels with device = true.
  void fill_path(const QPainterPath& path, bool with_brush, bool with_pen, bool device = false);
  // Interior with the brush, outline with the pen: the fast path when plain copying allows.
  void shape(const QPainterPath& path, bool device = false);
  // A shape's bounding rectangle, normalised: in device pixels (device = true) where the
  // transform keeps rectangles, so exclusive edges hold on the device; else logical.
  KRrect shape_rect(const KRrect& r, bool& device) const;
  // kind 0 arc, 1 chord, 2 pie.
  void arc_shape(int kind, const KRrect& r, KRpoint p1, KRpoint p2);
  void fill_rect_brush(int l, int t, int r, int b);

  // Direct solid fill of a path through QPainter (copy mode, solid brush only).
  void paint_path_solid(const QPainterPath& path, std::uint32_t colour, bool device = false);
  void outline(const KRpoint* p, std::size_t n, bool closed);

  QImage* image_;
  QRgb* bits_ = nullptr;   // the surface's pixels, row after row
  int stride_ = 0;         // pixels per row
  int width_ = 0, height_ = 0;
  int rop2_ = 13;
  KRlogpen pen_{0, 1, 0, 0};
  KRlogbrush brush_{0, 0xFFFFFF, 0};
  bool has_clip_ = false;
  KRrect clip_;
  bool has_xform_ = false;
  KRxform xform_;
  Page page_;
  QTransform full_;
  bool identity_ = true, axis_aligned_ = true;
  int fill_mode_ = 1;
  KRpoint pos_{0, 0};
  int dash_phase_ = 0;
};

