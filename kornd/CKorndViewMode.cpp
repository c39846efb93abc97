// CKorndViewMode.cpp - view modes, zoom stack, mappings and conversions (see CKorndViewMode.h).
#include "kornd/CKorndViewMode.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "kornd/CKorndDoc.h"

namespace {

KRrect normalised(const KRrect& r) {
  return {std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right), std::max(r.top, r.bottom)};
}

int width_of(const KRrect& r) { return r.right - r.left; }
int height_of(const KRrect& r) { return r.bottom - r.top; }

}  // namespace

unsigned CKorndViewMode::SetViewMode(int m, const KRrect* r, const CKorndDoc& doc) {
  const unsigned mark = (m != mode && (m == 1 || mode == 1)) ? Mark_Size : Mark_Dirty;
  if (m == 0) {
    if (!stack.empty()) {
      view_rect = stack.back();
      stack.pop_back();
      if (stack.empty()) mode = previous;
    }
  } else if (m == 5) {
    if (stack.empty()) previous = mode;
    stack.push_back(view_rect);
    KRrect z = r ? normalised(*r) : view_rect;
    if (z.IsEmpty()) z = {z.left - 1, z.top - 1, z.right + 1, z.bottom + 1};
    view_rect = z;
    mode = 5;
  } else if (m >= 1 && m <= 4) {
    if (m == mode) return mark;
    stack.clear();
    previous = mode;
    mode = m;
  } else {
    return 0;
  }
  RecalcViewRect(doc);
  return mark;
}

void CKorndViewMode::ScaleFactors() {
  const int cw = std::max(1, client_width), ch = std::max(1, client_height);
  scale_x = width_of(view_rect) / cw;
  scale_y = height_of(view_rect) / ch;
  arrow_size = height_of(view_rect) / 50 >= 3 ? height_of(view_rect) / 50 : 2;
}

void CKorndViewMode::RecalcViewRect(const CKorndDoc& doc) {
  const int W = doc.PictureWidth(), H = doc.PictureHeight();
  if (mode == 1) {
    device_width = W, device_height = H;
    ClampScroll(doc);
  } else {
    device_width = client_width, device_height = client_height;
    switch (mode) {
      case 2: {
        const KRrect& u = doc.ViewportUnion();
        int w = std::max(1, client_width), h = std::max(1, client_height);
        if (!u.IsAllZero() && !u.IsEmpty()) {
          FitSize(w, h, width_of(u), height_of(u), true);
          view_rect = {u.left, u.top, u.left + w, u.top + h};
        } else {
          if (W > 0 && H > 0) FitSize(w, h, W, H, true);
          view_rect = {0, 0, w, h};
        }
        break;
      }
      case 3:
        view_rect = doc.Bounds().IsAllZero() ? KRrect{0, 0, W, H} : doc.Bounds();
        break;
      case 5:
        break;
      default:
        view_rect = {0, 0, W, H};
        break;
    }
    ScaleFactors();
  }
  SetupMapping(doc, true, 1);
}

void CKorndViewMode::ClampScroll(const CKorndDoc& doc) {
  const int W = doc.PictureWidth(), H = doc.PictureHeight();
  if (scroll.x + client_width - 1 > W) scroll.x = W > client_width ? W - client_width : 0;
  if (scroll.y + client_height - 1 > H) scroll.y = H > client_height ? H - client_height : 0;
  scroll.x = std::max(0, scroll.x), scroll.y = std::max(0, scroll.y);
  view_rect = {scroll.x, scroll.y, scroll.x + client_width, scroll.y + client_height};
  scale_x = scale_y = 1;
  arrow_size = client_height / 50 >= 3 ? client_height / 50 : 2;
}

void CKorndViewMode::OnSize(int cx, int cy, const CKorndDoc& doc) {
  client_width = std::max(0, cx);
  client_height = std::max(0, cy);
  RecalcViewRect(doc);
}

KRmapping CKorndViewMode::SetupMapping(const CKorndDoc& doc, bool window_dc, int divisor) {
  KRmapping m;
  std::int64_t w = std::max(1, device_width), h = std::max(1, device_height);
  if (creation_resolution_x != resolution_x || creation_resolution_y != resolution_y) {
    w = w * std::max(1, creation_resolution_x) / std::max(1, resolution_x);
    h = h * std::max(1, creation_resolution_y) / std::max(1, resolution_y);
  }
  if (divisor > 1) w /= divisor, h /= divisor;
  int ew = static_cast<int>(std::clamp<std::int64_t>(w, 1, 1 << 30));
  int eh = static_cast<int>(std::clamp<std::int64_t>(h, 1, 1 << 30));
  const int W = doc.PictureWidth(), H = doc.PictureHeight();
  if (mode == 1 && divisor <= 1) {
    // The window's surface holds the whole picture in this mode: the widget shows the part at
    // the scroll position, so the surfaces map 1:1 from the origin.
    if (window_dc) ClampScroll(doc);
  } else {
    // The window extent when it is fitted: (ew, eh) scaled to cover the target.
    auto fitted = [&](const KRrect& target) {
      int fw = ew, fh = eh;
      if (width_of(target) > 0 && height_of(target) > 0) FitSize(fw, fh, width_of(target), height_of(target), true);
      return KRpoint{std::max(1, fw), std::max(1, fh)};
    };
    KRrect shown;
    switch (mode) {
      case 2: {
        m.map_mode = KRmapping::Isotropic;
        const KRrect& u = doc.ViewportUnion();
        const KRrect target = !u.IsAllZero() && !u.IsEmpty() ? u : KRrect{0, 0, W, H};
        const KRpoint e = fitted(target);
        shown = {target.left, target.top, target.left + e.x, target.top + e.y};
        break;
      }
      case 3:
        m.map_mode = KRmapping::Anisotropic;
        shown = doc.Bounds().IsAllZero() || doc.Bounds().IsEmpty() ? KRrect{0, 0, W, H} : doc.Bounds();
        break;
      case 4:
        m.map_mode = KRmapping::Anisotropic;
        shown = {0, 0, W, H};
        break;
      case 5:
        m.map_mode = KRmapping::Anisotropic;
        shown = view_rect;
        break;
      default: {
        m.map_mode = KRmapping::Isotropic;
        const KRpoint e = fitted(KRrect{0, 0, W, H});
        shown = {0, 0, e.x, e.y};
        break;
      }
    }
    if (shown.IsEmpty()) shown = {shown.left, shown.top, shown.left + 1, shown.top + 1};
    m.window_org = {shown.left, shown.top};
    m.window_ext = {width_of(shown), height_of(shown)};
    m.viewport_ext = {ew, eh};
    m.FixIsotropic();
    if (window_dc) {
      view_rect = shown;
      ScaleFactors();
    }
  }
  if (window_dc) window_mapping = m;
  return m;
}

KRrect CKorndViewMode::MapRect(const KRrect* r, int a, int b, bool printing) const {
  if (r == nullptr || r->IsAllZero()) return {};
  KRrect n = normalised(*r);
  if (a == 0 && b == 0) return n;
  if (printing) {
    if (mode != 1) return n;
    return {n.left - a, n.top - a, n.right + b, n.bottom + b};
  }
  const int sx = mode == 1 || scale_x == 0 ? 1 : scale_x, sy = mode == 1 || scale_y == 0 ? 1 : scale_y;
  return {n.left - a * sx, n.top - a * sy, n.right + b * sx, n.bottom + b * sy};
}

KRpoint CKorndViewMode::ToLogical(KRpoint p) const {
  if (mode == 1) return {p.x + scroll.x, p.y + scroll.y};
  return window_mapping.DPtoLP(p);
}

KRpoint CKorndViewMode::ToClient(KRpoint p) const {
  if (mode == 1) return {p.x - scroll.x, p.y - scroll.y};
  return window_mapping.LPtoDP(p);
}

bool CKorndViewMode::PointInClient(KRpoint p) const {
  return p.x >= 0 && p.y >= 0 && p.x < client_width && p.y < client_height;
}

bool CKorndViewMode::NearPoint(KRpoint p, KRpoint q) const {
  const std::int64_t vw = std::max(1, width_of(view_rect)), vh = std::max(1, height_of(view_rect));
  const std::int64_t dx = (std::int64_t(p.x) - q.x) * client_width / vw;
  const std::int64_t dy = (std::int64_t(p.y) - q.y) * client_height / vh;
  return dx * dx + dy * dy < 5;
}
