// KRmapping.cpp - page mappings (see KRmapping.h).
#include "kornd/KRmapping.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// One axis of a scaled mapping: from + (v - from_org) * to_ext / from_ext.
double scale_axis(double v, int from_org, int from_ext, int to_org, int to_ext) {
  if (from_ext == 0) return v - from_org + to_org;
  return to_org + (v - from_org) * to_ext / from_ext;
}

KRrect normalised(const KRrect& r) {
  return {std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right), std::max(r.top, r.bottom)};
}

}  // namespace

// Held to 27 bits like the coordinates themselves: no mapping can push them further.
std::int32_t KRmapping::Round(double v) {
  constexpr double limit = Max_Coordinate;
  return static_cast<std::int32_t>(std::clamp(std::floor(v + 0.5), -limit, limit));
}

void KRmapping::Apply(double& x, double& y) const {
  if (map_mode == Text) {
    x += viewport_org.x - window_org.x, y += viewport_org.y - window_org.y;
    return;
  }
  x = scale_axis(x, window_org.x, window_ext.x, viewport_org.x, viewport_ext.x);
  y = scale_axis(y, window_org.y, window_ext.y, viewport_org.y, viewport_ext.y);
}

void KRmapping::FixIsotropic() {
  if (map_mode != Isotropic || window_ext.x == 0 || window_ext.y == 0 || viewport_ext.x == 0 || viewport_ext.y == 0)
    return;
  const double sx = std::abs(double(viewport_ext.x) / window_ext.x), sy = std::abs(double(viewport_ext.y) / window_ext.y);
  if (sx > sy) {
    const int v = std::max(1, Round(std::abs(double(window_ext.x)) * sy));
    viewport_ext.x = viewport_ext.x < 0 ? -v : v;
  } else if (sy > sx) {
    const int v = std::max(1, Round(std::abs(double(window_ext.y)) * sx));
    viewport_ext.y = viewport_ext.y < 0 ? -v : v;
  }
}

KRpoint KRmapping::LPtoDP(KRpoint p) const {
  double x = p.x, y = p.y;
  Apply(x, y);
  return {Round(x), Round(y)};
}

KRpoint KRmapping::DPtoLP(KRpoint p) const {
  if (map_mode == Text) return {p.x - viewport_org.x + window_org.x, p.y - viewport_org.y + window_org.y};
  return {Round(scale_axis(p.x, viewport_org.x, viewport_ext.x, window_org.x, window_ext.x)),
          Round(scale_axis(p.y, viewport_org.y, viewport_ext.y, window_org.y, window_ext.y))};
}

KRrect KRmapping::LPtoDP(const KRrect& r) const {
  const KRpoint a = LPtoDP(KRpoint{r.left, r.top}), b = LPtoDP(KRpoint{r.right, r.bottom});
  return normalised({a.x, a.y, b.x, b.y});
}

KRrect KRmapping::DPtoLP(const KRrect& r) const {
  const KRpoint a = DPtoLP(KRpoint{r.left, r.top}), b = DPtoLP(KRpoint{r.right, r.bottom});
  return normalised({a.x, a.y, b.x, b.y});
}

