// KRdc.cpp - GDI drawing semantics on a QImage (see KRdc.h).
#include "kornd/KRdc.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QString>

#include <algorithm>  // std::min, std::max, std::swap
#include <cmath>      // std::lround, std::atan2
#include <cstdlib>    // std::abs

namespace {

// On/off run lengths of the cosmetic pen styles 1-4 (dash, dot, dash-dot, dash-dot-dot).
const std::vector<int>& dash_pattern(int style) {
  static const std::vector<int> none, dash{18, 6}, dot{3, 3}, dashdot{9, 6, 3, 6}, dashdotdot{9, 3, 3, 3, 3, 3};
  switch (style) {
    case 1: return dash;
    case 2: return dot;
    case 3: return dashdot;
    case 4: return dashdotdot;
    default: return none;
  }
}

// 8 x 8 hatch patterns 0-5 (horizontal, vertical, forward and backward diagonal, cross, diagonal cross).
bool hatch_bit(int hatch, int x, int y) {
  int hx = x & 7, hy = y & 7;
  switch (hatch) {
    case 0: return hy == 7;
    case 1: return hx == 7;
    case 2: return ((hx - hy) & 7) == 0;
    case 3: return ((hx + hy) & 7) == 7;
    case 4: return hx == 7 || hy == 7;
    case 5: return ((hx - hy) & 7) == 0 || ((hx + hy) & 7) == 7;
    default: return true;
  }
}

// The whole pixels a device box touches, grown by margin on every side and held to the
// coordinate range: however far a transform or a pen reaches, the box is clipped, never wrapped.
QRect pixel_box(const QRectF& r, double margin) {
  auto held = [](double v) {
    constexpr double limit = Max_Coordinate;
    return static_cast<int>(v > -limit ? std::min(v, limit) : -limit);  // NaN: the lower end
  };
  const int left = held(std::floor(r.left()) - margin), top = held(std::floor(r.top()) - margin);
  const int right = held(std::ceil(r.right()) + margin), bottom = held(std::ceil(r.bottom()) + margin);
  return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

// Qt's rasteriser does not hold for coordinates far past the surface (a pie there came out
// empty, a chord covered the whole surface): such paths are cut near the surface first.
bool reaches_far(const QRectF& device_bounds, const QRect& surface) {
  constexpr double far = 1 << 20;
  return device_bounds.left() < surface.left() - far || device_bounds.top() < surface.top() - far ||
         device_bounds.right() > surface.right() + far || device_bounds.bottom() > surface.bottom() + far;
}

// A closed polygon cut to a rectangle, edge by edge (Sutherland-Hodgman): inside the rectangle
// every point keeps its winding, so either fill rule fills the same there.
QPolygonF cut_polygon(const QPolygonF& in, const QRectF& r) {
  QPolygonF polygon = in;
  for (int edge = 0; edge < 4 && !polygon.isEmpty(); ++edge) {
    auto inside_by = [&](QPointF p) {  // >= 0: on the rectangle's side of this edge
      switch (edge) {
        case 0: return p.x() - r.left();
        case 1: return r.right() - p.x();
        case 2: return p.y() - r.top();
        default: return r.bottom() - p.y();
      }
    };
    QPolygonF out;
    for (qsizetype i = 0; i < polygon.size(); ++i) {
      const QPointF from = polygon[(i + polygon.size() - 1) % polygon.size()], to = polygon[i];
      const double a = inside_by(from), b = inside_by(to);
      if ((a >= 0) != (b >= 0)) out << from + (to - from) * (a / (a - b));
      if (b >= 0) out << to;
    }
    polygon = out;
  }
  return polygon;
}

// The area a device path covers (stroked: its stroke of that width, at least one pixel), cut to
// the surface grown by a few pixels; worked out in double, curves flattened.
QPainterPath near_area(const QPainterPath& device, const QRect& surface, bool stroked, double width) {
  QPainterPath area = device;
  if (stroked) {
    QPainterPathStroker stroker;
    stroker.setWidth(std::max(1.0, width));
    area = stroker.createStroke(device);
  }
  const QRectF frame = QRectF(surface).adjusted(-4, -4, 4, 4);
  QPainterPath cut;
  cut.setFillRule(area.fillRule());
  for (const QPolygonF& p : area.toSubpathPolygons()) {
    const QPolygonF c = cut_polygon(p, frame);
    if (c.size() < 3) continue;
    cut.addPolygon(c);
    cut.closeSubpath();
  }
  return cut;
}

}  // namespace

std::uint32_t ApplyROP2(int rop, std::uint32_t p, std::uint32_t d) {
  std::uint32_t r;
  switch (rop) {
    case 1: r = 0; break;                 // black
    case 2: r = ~(p | d); break;          // not merge pen
    case 3: r = ~p & d; break;            // mask not pen
    case 4: r = ~p; break;                // not copy pen
    case 5: r = p & ~d; break;            // mask pen not
    case 6: r = ~d; break;                // not
    case 7: r = p ^ d; break;             // xor pen
    case 8: r = ~(p & d); break;          // not mask pen
    case 9: r = p & d; break;             // mask pen
    case 10: r = ~(p ^ d); break;         // not xor pen
    case 11: r = d; break;                // nop
    case 12: r = ~p | d; break;           // merge not pen
    case 14: r = p | ~d; break;           // merge pen not
    case 15: r = p | d; break;            // merge pen
    case 16: r = 0xFFFFFF; break;         // white
    default: r = p; break;                // copy pen
  }
  return r & 0xFFFFFF;
}

KRdc::KRdc(QImage* surface) : image_(surface) {
  if (image_ && !image_->isNull()) {
    bits_ = reinterpret_cast<QRgb*>(image_->bits());
    stride_ = static_cast<int>(image_->bytesPerLine() / 4);
    width_ = image_->width();
    height_ = image_->height();
  }
}

void KRdc::SetClip(const KRrect* r) {
  has_clip_ = r != nullptr;
  if (r) clip_ = *r;
}

void KRdc::SetTransform(const KRxform* xf) {
  has_xform_ = xf != nullptr && !(xf->eM11 == 1 && xf->eM12 == 0 && xf->eM21 == 0 && xf->eM22 == 1 &&
                                  xf->eDx == 0 && xf->eDy == 0);
  if (has_xform_) xform_ = *xf;
  update_transform();
}

void KRdc::SetMapMode(int mode) {
  page_.map_mode = mode == MM_ISOTROPIC || mode == MM_ANISOTROPIC ? mode : MM_TEXT;
  page_.FixIsotropic();
  update_transform();
}

void KRdc::SetMapping(const KRmapping& m) {
  page_.map_mode = MM_TEXT;
  SetWindowOrg(m.window_org.x, m.window_org.y);
  SetViewportOrg(m.viewport_org.x, m.viewport_org.y);
  SetMapMode(m.map_mode);
  SetWindowExt(m.window_ext.x, m.window_ext.y);
  SetViewportExt(m.viewport_ext.x, m.viewport_ext.y);
}

void KRdc::SetWindowOrg(int x, int y) {
  page_.window_org = {x, y};
  update_transform();
}

void KRdc::SetViewportOrg(int x, int y) {
  page_.viewport_org = {x, y};
  update_transform();
}

// Extents count only in the scaling modes and never as zero, as with the system's own DCs.
void KRdc::SetWindowExt(int cx, int cy) {
  if (page_.map_mode == MM_TEXT || cx == 0 || cy == 0) return;
  page_.window_ext = {cx, cy};
  page_.FixIsotropic();
  update_transform();
}

void KRdc::SetViewportExt(int cx, int cy) {
  if (page_.map_mode == MM_TEXT || cx == 0 || cy == 0) return;
  page_.viewport_ext = {cx, cy};
  page_.FixIsotropic();
  update_transform();
}

void KRdc::update_transform() {
  QTransform world;
  if (has_xform_) world = QTransform(xform_.eM11, xform_.eM12, xform_.eM21, xform_.eM22, xform_.eDx, xform_.eDy);
  double sx = 1, sy = 1;
  if (page_.map_mode != MM_TEXT) {
    sx = double(page_.viewport_ext.x) / page_.window_ext.x;
    sy = double(page_.viewport_ext.y) / page_.window_ext.y;
  }
  const QTransform page(sx, 0, 0, sy, page_.viewport_org.x - page_.window_org.x * sx,
                        page_.viewport_org.y - page_.window_org.y * sy);
  full_ = world * page;
  identity_ = full_.isIdentity();
  axis_aligned_ = full_.m12() == 0 && full_.m21() == 0;
}

namespace {

KRpoint rounded(double x, double y) { return {KRmapping::Round(x), KRmapping::Round(y)}; }

KRrect normalised(const KRrect& r) {
  return {std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right), std::max(r.top, r.bottom)};
}

}  // namespace

// World transform, then the page mapping: rounded once, as the views' own conversions are.
KRpoint KRdc::map(int x, int y) const {
  if (identity_) return {x, y};
  double wx = x, wy = y;
  if (has_xform_) {
    wx = x * double(xform_.eM11) + y * double(xform_.eM21) + xform_.eDx;
    wy = x * double(xform_.eM12) + y * double(xform_.eM22) + xform_.eDy;
  }
  page_.Apply(wx, wy);
  return rounded(wx, wy);
}

KRpoint KRdc::DPtoLP(KRpoint p) const {
  if (identity_) return p;
  if (!has_xform_) return page_.DPtoLP(p);
  bool ok = false;
  const QTransform inverse = full_.inverted(&ok);
  if (!ok) return p;
  return rounded(p.x * inverse.m11() + p.y * inverse.m21() + inverse.dx(),
                 p.x * inverse.m12() + p.y * inverse.m22() + inverse.dy());
}

KRrect KRdc::LPtoDP(const KRrect& r) const {
  const KRpoint a = map(r.left, r.top), b = map(r.right, r.bottom);
  return normalised({a.x, a.y, b.x, b.y});
}

KRrect KRdc::DPtoLP(const KRrect& r) const {
  const KRpoint a = DPtoLP(KRpoint{r.left, r.top}), b = DPtoLP(KRpoint{r.right, r.bottom});
  return normalised({a.x, a.y, b.x, b.y});
}

// A box reaching past the coordinate range would be held there corner by corner, moving its
// centre: it is drawn through the transform instead, which keeps its shape where it shows.
KRrect KRdc::shape_rect(const KRrect& r, bool& device) const {
  auto in_range = [](QPointF p) {
    constexpr double limit = Max_Coordinate;
    return std::abs(p.x()) <= limit && std::abs(p.y()) <= limit;
  };
  device = axis_aligned_ && in_range(full_.map(QPointF(r.left, r.top))) && in_range(full_.map(QPointF(r.right, r.bottom)));
  return device ? LPtoDP(r) : normalised(r);
}

// Held to the coordinate range: a wider pen covers any surface all the same.
double KRdc::device_pen_width() const {
  if (pen_.width_x <= 1) return 0;
  return std::clamp(pen_.width_x * std::sqrt(std::abs(full_.determinant())), 1.0, double(Max_Coordinate));
}

void KRdc::plot_brush(int x, int y) {
  if (brush_.style == 2 && !hatch_bit(brush_.hatch, x, y)) return;  // hatch gaps stay
  plot(x, y, brush_.colour);
}

void KRdc::SetPixel(int x, int y, std::uint32_t colour) {
  KRpoint p = map(x, y);
  plot(p.x, p.y, colour);
}

bool KRdc::GetPixel(int x, int y, std::uint32_t& colour) const {
  KRpoint p = map(x, y);
  if (p.x < 0 || p.y < 0 || p.x >= image_->width() || p.y >= image_->height()) return false;
  colour = SWAP_RED_BLUE(image_->pixel(p.x, p.y) & 0xFFFFFF);
  return true;
}

// Bresenham from a to b; the end pixel only when asked. Dashes run on across segments.
// Cuts a line whose ends lie far off the surface to the part near it, so that a line of any
// length costs no more than the surface's size; near ends are kept exactly.
static bool near_surface(KRpoint p, int w, int h) {
  constexpr int margin = 1 << 15;
  return p.x >= -margin && p.y >= -margin && p.x <= w + margin && p.y <= h + margin;
}

void KRdc::segment(KRpoint a, KRpoint b, bool last_pixel) {
  if (!near_surface(a, width_, height_) || !near_surface(b, width_, height_)) {
    // Liang-Barsky against the surface grown by one pixel.
    double x0 = a.x, y0 = a.y, dx = double(b.x) - a.x, dy = double(b.y) - a.y;
    double t0 = 0, t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 + 1, width_ - x0, y0 + 1, height_ - y0};
    for (int i = 0; i < 4; ++i) {
      if (p[i] == 0) {
        if (q[i] < 0) return;  // parallel and outside
        continue;
      }
      double t = q[i] / p[i];
      if (p[i] < 0) t0 = std::max(t0, t);
      else t1 = std::min(t1, t);
    }
    if (t0 > t1) return;  // misses the surface
    KRpoint na{static_cast<std::int32_t>(std::lround(x0 + t0 * dx)), static_cast<std::int32_t>(std::lround(y0 + t0 * dy))};
    KRpoint nb{static_cast<std::int32_t>(std::lround(x0 + t1 * dx)), static_cast<std::int32_t>(std::lround(y0 + t1 * dy))};
    bool end_cut = t1 < 1;
    a = na;
    b = nb;
    last_pixel = last_pixel || end_cut;
  }
  const std::vector<int>& dashes = dash_pattern(pen_.style);
  int period = 0;
  for (int d : dashes) period += d;
  int dx = std::abs(b.x - a.x), dy = -std::abs(b.y - a.y);
  int sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
  int err = dx + dy;
  int x = a.x, y = a.y;
  for (;;) {
    bool at_end = x == b.x && y == b.y;
    if (at_end && !last_pixel) break;
    bool on = true;
    if (period > 0) {
      int phase = dash_phase_ % period;
      for (std::size_t i = 0; i < dashes.size(); ++i) {
        if (phase < dashes[i]) {
          on = i % 2 == 0;
          break;
        }
        phase -= dashes[i];
      }
      ++dash_phase_;
    }
    if (on) plot(x, y, pen_.colour);
    if (at_end) break;
    int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y += sy;
    }
  }
}

void KRdc::LineTo(int x, int y) {
  KRpoint from = map(pos_.x, pos_.y), to = map(x, y);
  if (pen_visible()) {
    if (pen_.width_x <= 1) {
      dash_phase_ = 0;
      segment(from, to, false);
    } else {
      QPainterPath path;
      path.moveTo(pos_.x, pos_.y);
      path.lineTo(x, y);
      fill_path(path, false, true);
    }
  }
  pos_ = {x, y};
}

void KRdc::Polyline(const KRpoint* p, std::size_t n) {
  if (n < 2 || !pen_visible()) return;
  if (pen_.width_x <= 1) {
    outline(p, n, false);
    return;
  }
  QPainterPath path;
  path.moveTo(p[0].x, p[0].y);
  for (std::size_t i = 1; i < n; ++i) path.lineTo(p[i].x, p[i].y);
  fill_path(path, false, true);
}

void KRdc::fill_rect_brush(int l, int t, int r, int b) {
  // Only the part on the surface is visited, however large the rectangle.
  l = std::max(l, 0);
  t = std::max(t, 0);
  r = std::min(r, width_);
  b = std::min(b, height_);
  for (int y = t; y < b; ++y)
    for (int x = l; x < r; ++x) plot_brush(x, y);
}

void KRdc::Rectangle(const KRrect& rr) {
  bool device;
  const KRrect r = shape_rect(rr, device);
  if (!device) {  // turned or sheared: the outline follows the transform
    QPainterPath path;
    path.addRect(r.left, r.top, r.right - r.left - 1, r.bottom - r.top - 1);
    fill_path(path, true, true);
    return;
  }
  bool pen = pen_visible() && pen_.width_x <= 1;
  if (brush_visible()) {
    if (pen) fill_rect_brush(r.left + 1, r.top + 1, r.right - 1, r.bottom - 1);
    else fill_rect_brush(r.left, r.top, r.right - 1, r.bottom - 1);
  }
  if (pen && r.right > r.left && r.bottom > r.top) {
    dash_phase_ = 0;
    KRpoint tl{r.left, r.top}, tr{r.right - 1, r.top}, br{r.right - 1, r.bottom - 1}, bl{r.left, r.bottom - 1};
    segment(tl, tr, false);
    segment(tr, br, false);
    segment(br, bl, false);
    segment(bl, tl, false);
  } else if (pen_visible() && pen_.width_x > 1) {
    QPainterPath path;
    path.addRect(r.left, r.top, r.right - r.left - 1, r.bottom - r.top - 1);
    fill_path(path, false, true, true);
  }
}

void KRdc::Ellipse(const KRrect& rr) {
  bool device;
  const KRrect r = shape_rect(rr, device);
  QPainterPath path;
  path.addEllipse(QRectF(r.left, r.top, r.right - r.left - 1, r.bottom - r.top - 1));
  fill_path(path, true, true, device);
}

void KRdc::Polygon(const KRpoint* p, std::size_t n) {
  if (n < 2) return;
  QPainterPath path;
  path.setFillRule(fill_mode_ == 2 ? Qt::WindingFill : Qt::OddEvenFill);
  path.moveTo(p[0].x, p[0].y);
  for (std::size_t i = 1; i < n; ++i) path.lineTo(p[i].x, p[i].y);
  path.closeSubpath();
  bool thin = pen_.width_x <= 1;
  if (brush_visible() && rop2_ == 13 && brush_.style != 2) paint_path_solid(path, brush_.colour);
  else fill_path(path, true, !thin);
  if (thin) outline(p, n, true);
  else if (brush_visible() && rop2_ == 13 && brush_.style != 2) fill_path(path, false, true);
}

void KRdc::shape(const QPainterPath& path, bool device) {
  if (brush_visible() && rop2_ == 13 && brush_.style != 2) {
    paint_path_solid(path, brush_.colour, device);
    fill_path(path, false, true, device);
  } else {
    fill_path(path, true, true, device);
  }
}

void KRdc::RoundRect(const KRrect& rr, int cw, int ch) {
  bool device;
  const KRrect r = shape_rect(rr, device);
  const double rx = std::abs(cw) / 2.0 * (device ? std::abs(full_.m11()) : 1.0);
  const double ry = std::abs(ch) / 2.0 * (device ? std::abs(full_.m22()) : 1.0);
  QPainterPath path;
  path.addRoundedRect(QRectF(r.left, r.top, r.right - r.left - 1, r.bottom - r.top - 1), rx, ry);
  shape(path, device);
}

void KRdc::arc_shape(int kind, const KRrect& rr, KRpoint p1, KRpoint p2) {
  bool device;
  const KRrect box = shape_rect(rr, device);
  if (device) p1 = map(p1.x, p1.y), p2 = map(p2.x, p2.y);
  QRectF r(box.left, box.top, box.right - box.left - 1, box.bottom - box.top - 1);
  if (r.width() <= 0 || r.height() <= 0) return;
  QPointF c = r.center();
  double a = r.width() / 2, b = r.height() / 2;
  // Parametric angle (degrees, counter-clockwise on the screen) where the radial line meets the ellipse.
  auto angle = [&](KRpoint p) {
    double dx = p.x - c.x(), dy = c.y() - p.y;
    return std::atan2(a * dy, b * dx) * 180.0 / 3.14159265358979323846;
  };
  double start = angle(p1), end = angle(p2);
  double sweep = end - start;
  while (sweep <= 0) sweep += 360.0;
  if (p1 == p2) sweep = 360.0;
  QPainterPath path;
  if (kind == 2) {
    path.moveTo(c);
    path.arcTo(r, start, sweep);
    path.closeSubpath();
  } else {
    path.arcMoveTo(r, start);
    path.arcTo(r, start, sweep);
    if (kind == 1) path.closeSubpath();
  }
  if (kind == 0) fill_path(path, false, true, device);
  else shape(path, device);
}

void KRdc::Arc(const KRrect& r, KRpoint p1, KRpoint p2) { arc_shape(0, r, p1, p2); }
void KRdc::Chord(const KRrect& r, KRpoint p1, KRpoint p2) { arc_shape(1, r, p1, p2); }
void KRdc::Pie(const KRrect& r, KRpoint p1, KRpoint p2) { arc_shape(2, r, p1, p2); }

void KRdc::PolyBezier(const KRpoint* p, std::size_t n) {
  if (n < 4 || !pen_visible()) return;
  QPainterPath path;
  path.moveTo(p[0].x, p[0].y);
  for (std::size_t i = 1; i + 2 < n; i += 3)
    path.cubicTo(p[i].x, p[i].y, p[i + 1].x, p[i + 1].y, p[i + 2].x, p[i + 2].y);
  fill_path(path, false, true);
}

// A cosmetic outline through the points, each segment without its end pixel.
void KRdc::outline(const KRpoint* p, std::size_t n, bool closed) {
  if (!pen_visible() || n < 2) return;
  dash_phase_ = 0;
  for (std::size_t i = 1; i < n; ++i) segment(map(p[i - 1].x, p[i - 1].y), map(p[i].x, p[i].y), false);
  if (closed) segment(map(p[n - 1].x, p[n - 1].y), map(p[0].x, p[0].y), false);
}

void KRdc::paint_path_solid(const QPainterPath& path, std::uint32_t colour, bool device) {
  QPainter painter(image_);
  painter.setRenderHint(QPainter::Antialiasing, false);
  if (has_clip_) painter.setClipRect(clip_.left, clip_.top, clip_.right - clip_.left, clip_.bottom - clip_.top);
  painter.setPen(Qt::NoPen);
  painter.setBrush(ColorOf(colour));
  const bool mapped = !device && !identity_;
  const QPainterPath on_device = mapped ? full_.map(path) : path;
  if (reaches_far(on_device.boundingRect(), image_->rect())) {
    painter.drawPath(near_area(on_device, image_->rect(), false, 0));
    return;
  }
  if (mapped) painter.setTransform(full_);
  painter.drawPath(path);
}

// Rasterises the path (in logical units) into coverage masks without smoothing, then
// combines the brush (interior) and the pen (outline) per pixel.
void KRdc::fill_path(const QPainterPath& path, bool with_brush, bool with_pen, bool device) {
  const QTransform t = device ? QTransform() : full_;
  const double device_width = device_pen_width();
  const int pen_width = static_cast<int>(std::ceil(std::max(1.0, device_width)));
  const QPainterPath on_device = t.map(path);
  QRect box = pixel_box(on_device.boundingRect(), pen_width + 1).intersected(image_->rect());
  if (has_clip_) box = box.intersected(QRect(clip_.left, clip_.top, clip_.right - clip_.left, clip_.bottom - clip_.top));
  if (box.isEmpty()) return;
  const bool far = reaches_far(on_device.boundingRect(), image_->rect());
  auto draw_mask = [&](bool fill) {
    QImage mask(box.size(), QImage::Format_Grayscale8);
    mask.fill(0);
    QPainter p(&mask);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.translate(-box.left(), -box.top());
    if (far) {
      p.setPen(Qt::NoPen);
      p.setBrush(Qt::white);
      p.drawPath(near_area(on_device, image_->rect(), !fill, pen_.width_x <= 1 ? 0 : device_width));
      p.end();
      return mask;
    }
    p.setTransform(t, true);
    if (fill) {
      p.setPen(Qt::NoPen);
      p.setBrush(Qt::white);
      p.drawPath(path);
    } else {
      // Geometric pens scale with the transform; drawn in device pixels they carry the scale.
      QPen pen(Qt::white, pen_.width_x <= 1 ? 0 : device ? device_width : pen_.width_x);
      p.setPen(pen);
      p.setBrush(Qt::NoBrush);
      p.drawPath(path);
    }
    p.end();
    return mask;
  };
  if (with_brush && brush_visible()) {
    QImage m = draw_mask(true);
    for (int y = 0; y < m.height(); ++y) {
      const uchar* row = m.constScanLine(y);
      for (int x = 0; x < m.width(); ++x)
        if (row[x] > 127) plot_brush(box.left() + x, box.top() + y);
    }
  }
  if (with_pen && pen_visible()) {
    QImage m = draw_mask(false);
    for (int y = 0; y < m.height(); ++y) {
      const uchar* row = m.constScanLine(y);
      for (int x = 0; x < m.width(); ++x)
        if (row[x] > 127) plot(box.left() + x, box.top() + y, pen_.colour);
    }
  }
}

void KRdc::FillSolidRect(const KRrect& rr, std::uint32_t colour) {
  int saved = rop2_;
  rop2_ = 13;
  bool device;
  const KRrect r = shape_rect(rr, device);
  if (!device) {
    KRlogbrush b = brush_;
    brush_ = {0, colour, 0};
    QPainterPath path;
    path.addRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
    fill_path(path, true, false);
    brush_ = b;
  } else {
    for (int y = std::max(r.top, 0); y < std::min(r.bottom, height_); ++y)
      for (int x = std::max(r.left, 0); x < std::min(r.right, width_); ++x) plot(x, y, colour);
  }
  rop2_ = saved;
}

void KRdc::PatBlt(const KRrect& rr) {
  if (!brush_visible()) return;
  bool device;
  const KRrect r = shape_rect(rr, device);
  if (device) {
    fill_rect_brush(r.left, r.top, r.right, r.bottom);
    return;
  }
  QPainterPath path;
  path.addRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
  fill_path(path, true, false);
}

bool KRdc::FloodFill(int x0, int y0) {
  KRpoint s = map(x0, y0);
  if (!inside(s.x, s.y) || !brush_visible()) return false;
  const QRgb target = image_->pixel(s.x, s.y) & 0xFFFFFF;
  const int w = image_->width(), h = image_->height();
  std::vector<std::uint8_t> seen(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
  std::vector<KRpoint> stack{s};
  std::vector<KRpoint> area;
  while (!stack.empty()) {
    KRpoint p = stack.back();
    stack.pop_back();
    if (!inside(p.x, p.y)) continue;
    std::size_t i = static_cast<std::size_t>(p.y) * w + p.x;
    if (seen[i] || (image_->pixel(p.x, p.y) & 0xFFFFFF) != target) continue;
    seen[i] = 1;
    area.push_back(p);
    stack.push_back({p.x + 1, p.y});
    stack.push_back({p.x - 1, p.y});
    stack.push_back({p.x, p.y + 1});
    stack.push_back({p.x, p.y - 1});
  }
  // Found first, painted after: a hatched brush must not open paths into the area.
  for (KRpoint p : area) plot_brush(p.x, p.y);
  return true;
}

KRpoint KRdc::TextOut(int x, int y, const QString& text, const QFont& font, std::uint32_t colour,
                      std::int32_t background, int angle) {
  QFont f = font;
  f.setStyleStrategy(QFont::NoAntialias);
  QFontMetrics fm(f);
  int w = fm.horizontalAdvance(text);
  const QTransform& t = full_;
  QTransform place;
  place.translate(x, y);
  place.rotate(-angle / 10.0);
  QTransform full = place * t;
  QRectF cell(0, -fm.ascent(), w, fm.height());
  QRect box = pixel_box(full.mapRect(cell), 2).intersected(image_->rect());
  if (has_clip_) box = box.intersected(QRect(clip_.left, clip_.top, clip_.right - clip_.left, clip_.bottom - clip_.top));
  if (!box.isEmpty()) {
    QImage glyphs(box.size(), QImage::Format_Grayscale8), cells(box.size(), QImage::Format_Grayscale8);
    glyphs.fill(0);
    cells.fill(0);
    QPainter gp(&glyphs), cp(&cells);
    for (QPainter* p : {&gp, &cp}) {
      p->setRenderHint(QPainter::Antialiasing, false);
      p->setRenderHint(QPainter::TextAntialiasing, false);
      p->translate(-box.left(), -box.top());
      p->setTransform(full, true);
    }
    // Outlines, not the glyph cache: any transform and size stay geometry.
    QPainterPath glyph_path;
    glyph_path.addText(0, 0, f, text);
    gp.setPen(Qt::NoPen);
    gp.setBrush(Qt::white);
    gp.drawPath(glyph_path);
    cp.fillRect(cell, Qt::white);
    gp.end();
    cp.end();
    int saved = rop2_;
    rop2_ = 13;
    for (int yy = 0; yy < box.height(); ++yy) {
      const uchar* g = glyphs.constScanLine(yy);
      const uchar* c = cells.constScanLine(yy);
      for (int xx = 0; xx < box.width(); ++xx) {
        if (g[xx] > 127) plot(box.left() + xx, box.top() + yy, colour);
        else if (background >= 0 && c[xx] > 127) plot(box.left() + xx, box.top() + yy, std::uint32_t(background));
      }
    }
    rop2_ = saved;
  }
  KRpoint end = RotatePoint({x + w, y}, {x, y}, angle);
  pos_ = end;
  return end;
}
