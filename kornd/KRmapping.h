// KRmapping.h - a page mapping: mapping mode (GDI numbers), window and viewport origins and
// extents, the isotropic adjustment and conversions both ways. The painting layer holds one,
// the views and printed pages compute theirs with it. Changes nothing beyond itself.
#pragma once

#include <cstdint>

#include "kornd/DrawUtil.h"

// A page mapping as the painting layer takes it (mapping modes by their GDI numbers).
struct KRmapping {
  static constexpr int Text = 1, Isotropic = 7, Anisotropic = 8;
  int map_mode = Text;
  KRpoint window_org, window_ext{1, 1}, viewport_org, viewport_ext{1, 1};
  bool operator==(const KRmapping&) const = default;

  // Isotropic: the viewport extent shrunk on one axis so that both keep the same scale.
  void FixIsotropic();
  // A point already in world units, unrounded.
  void Apply(double& x, double& y) const;
  // Rounding of every mapped coordinate: to the nearest, halves up.
  static std::int32_t Round(double v);
  KRpoint LPtoDP(KRpoint p) const;
  KRpoint DPtoLP(KRpoint p) const;
  // Both corners converted; the result normalised.
  KRrect LPtoDP(const KRrect& r) const;
  KRrect DPtoLP(const KRrect& r) const;
};
