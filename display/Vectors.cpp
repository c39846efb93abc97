// Vectors: block means of two component slots drawn as arrows, and the scale arrow.
//
// Reads:   Vector_Settings, Display_Field (slots, sizes, zoom window), Result_Set (N,
//          limits), Display_Settings (Wedge_Thickness, Flip_Length_Scale,
//          Drawing_Colour_Index, Text_Background_Index).
// Writes:  Vector_Settings (the unset settings); draws on the selected plotting device.

#include "display/Vectors.h"

#include <cpgplot.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "records/Console.h"
#include "records/Globals.h"
#include "text/Fortran_Format.h"

namespace {

void fatal(const std::string& text) {
  CONSOLE_EMPTY(2);
  CONSOLE_LINE(text);
  CONSOLE_EMPTY(2);
  STOP_PROGRAM();
}

// The factor of a wedge thickness (3, 5, 7, 9), or the first with a warning.
template <typename T>
T by_thickness(const T (&factors)[4]) {
  switch (Display_Settings.Wedge_Thickness) {
    case 3: return factors[0];
    case 5: return factors[1];
    case 7: return factors[2];
    case 9: return factors[3];
    default:
      CONSOLE_EMPTY(2);
      CONSOLE_LINE("Warning! Unrecognised 'Wedge_Thickness'");
      CONSOLE_EMPTY(2);
      return factors[0];
  }
}

// World units per unit of magnitude; 0 when no arrow can be drawn to scale.
double arrow_scale() {
  const auto& f = Display_Field;
  const double span = std::max(f.Zoom_X_To - f.Zoom_X_From, f.Zoom_Y_To - f.Zoom_Y_From);
  const double reference = Vector_Settings.Vector_Max_Intensity;
  const double k = 0.25 * span / reference;
  return reference > 0.0 && std::isfinite(reference) && std::isfinite(k) && k < 1.0e30 ? k : 0.0;
}

// The blocks along one axis: first cells from `from` in steps of s up to `to`, each
// reaching s cells on (or to `to`).
struct Block {
  std::int64_t first, last;
};
std::vector<Block> blocks(std::int64_t from, std::int64_t to, std::int64_t s) {
  std::vector<Block> list;
  const std::int64_t count = (to - from + s) / s;
  for (std::int64_t b = 0; b < count; ++b) list.push_back({from + b * s, std::min(to, from + b * s + s)});
  return list;
}

// Sums over the cells of the zoom box up to (x, y), both ends included, kept only at the
// rows and columns that bound a block: all block sums in one pass over the cells.
class Block_Sums {
 public:
  Block_Sums(const std::vector<Block>& bx, const std::vector<Block>& by, std::int32_t x_slot, std::int32_t y_slot) {
    auto& f = Display_Field;
    for (const Block& b : bx) cols_.push_back(b.first - 1), cols_.push_back(b.last);
    for (const Block& b : by) rows_.push_back(b.first - 1), rows_.push_back(b.last);
    for (auto* v : {&cols_, &rows_}) {
      std::sort(v->begin(), v->end());
      v->erase(std::unique(v->begin(), v->end()), v->end());
    }
    table_.assign(rows_.size() * cols_.size(), Sum{});
    const std::int64_t width = f.Zoom_X_To - f.Zoom_X_From + 1;
    std::vector<Sum> column(static_cast<std::size_t>(width));
    std::size_t r = 0;
    while (r < rows_.size() && rows_[r] < f.Zoom_Y_From) ++r;  // the empty row before the box
    for (std::int64_t y = f.Zoom_Y_From; y <= f.Zoom_Y_To && r < rows_.size(); ++y) {
      const float* vx = f.Array_to_be_displayed.ADDRESS(x_slot, f.Zoom_X_From, y);
      const float* vy = f.Array_to_be_displayed.ADDRESS(y_slot, f.Zoom_X_From, y);
      for (std::int64_t i = 0; i < width; ++i) {
        Sum& c = column[static_cast<std::size_t>(i)];
        if (std::isfinite(vx[i]) && std::isfinite(vy[i])) {
          c.x += vx[i];
          c.y += vy[i];
        } else {
          ++c.bad;
        }
      }
      if (rows_[r] != y) continue;
      Sum running;
      std::size_t c = 0;
      while (c < cols_.size() && cols_[c] < f.Zoom_X_From) ++c;
      for (std::int64_t i = 0; i < width && c < cols_.size(); ++i) {
        const Sum& cell = column[static_cast<std::size_t>(i)];
        running.x += cell.x, running.y += cell.y, running.bad += cell.bad;
        if (cols_[c] == f.Zoom_X_From + i) table_[r * cols_.size() + c++] = running;
      }
      ++r;
    }
  }
  // The mean over x0..x1 x y0..y1; false when a cell holds a value that is not finite.
  bool MEAN(const Block& x, const Block& y, double& mx, double& my) const {
    const Sum a = at(y.last, x.last), b = at(y.first - 1, x.last), c = at(y.last, x.first - 1),
              d = at(y.first - 1, x.first - 1);
    if (a.bad - b.bad - c.bad + d.bad != 0) return false;
    const double cells = static_cast<double>((x.last - x.first + 1) * (y.last - y.first + 1));
    mx = (a.x - b.x - c.x + d.x) / cells;
    my = (a.y - b.y - c.y + d.y) / cells;
    return true;
  }

 private:
  struct Sum {
    double x = 0.0, y = 0.0;
    std::int64_t bad = 0;
  };
  Sum at(std::int64_t y, std::int64_t x) const {
    const std::size_t r = static_cast<std::size_t>(std::lower_bound(rows_.begin(), rows_.end(), y) - rows_.begin());
    const std::size_t c = static_cast<std::size_t>(std::lower_bound(cols_.begin(), cols_.end(), x) - cols_.begin());
    return table_[r * cols_.size() + c];  // before the box: still zero
  }
  std::vector<std::int64_t> cols_, rows_;
  std::vector<Sum> table_;
};

bool finite_arrow(const Vector_Arrow& a) {
  return std::isfinite(a.x1) && std::isfinite(a.y1) && std::isfinite(a.x2) && std::isfinite(a.y2);
}

void arrow(const Vector_Arrow& a) { cpgarro(a.x1, a.y1, a.x2, a.y2); }

std::string three_digits(float r) {
  const float a = std::fabs(r);
  std::string text = a >= 0.1f && a < 1000.0f ? FORMAT_LINE("(G10.3)", {r}) : FORMAT_LINE("(1P,E10.3)", {r});
  std::erase(text, ' ');
  return text;
}

void scale_arrow(double k, int colour, int lw, float ch) {
  const auto& f = Display_Field;
  const auto& s = Display_Settings;
  const auto& v = Vector_Settings;
  const float size = by_thickness<float>({1.0f, 1.25f, 1.5f, 1.75f});
  const int n = by_thickness<int>({1, 2, 2, 2});
  const float r = v.Vector_Max_Intensity / 2.0f;
  const double length = k * r;
  if (!std::isfinite(length)) return;
  const float span = static_cast<float>(std::max(f.Zoom_X_To - f.Zoom_X_From, f.Zoom_Y_To - f.Zoom_Y_From));
  const float d = 0.0125f * span;
  const float x0 = std::min(f.Zoom_X_From + d, static_cast<float>(f.Zoom_X_To));
  const float y0 = std::min(f.Zoom_Y_From + d, static_cast<float>(f.Zoom_Y_To));
  cpgsch(size * ch);
  float xch = 0.0f, ych = 0.0f;
  cpgqcs(4, &xch, &ych);
  Vector_Arrow a{x0, y0, x0, y0 + static_cast<float>(length)};
  float lx = x0 - 0.5f * xch, ly = y0 + 0.5f * static_cast<float>(length), angle = 90.0f, just = 0.85f;
  if (s.Flip_Length_Scale) {
    a = {x0, y0, x0 + static_cast<float>(length), y0};
    lx = x0 + 0.5f * static_cast<float>(length), ly = y0 + d, angle = 0.0f, just = 0.9f;
  }
  if (v.Vector_Colour == 2) {
    cpgsci(1);
    cpgslw(20 * n * lw);
    arrow(a);
  }
  cpgsci(colour);
  cpgslw(10 * n * lw);
  arrow(a);
  cpgsci(1);
  cpgslw(5 * n * lw);
  arrow(a);
  cpgstbg(0);
  cpgptxt(lx, ly, angle, just, three_digits(r).c_str());
  cpgstbg(s.Text_Background_Index);
}

}  // namespace

void CHECK_DISPLAY_VECTORS_SETTINGS(std::int32_t x, std::int32_t y) {
  const auto& r = Result_Set;
  const auto& f = Display_Field;
  auto& v = Vector_Settings;
  if (y > r.Number_Of_Solutions || x < 1) return;
  if (v.Vector_Thinning <= 0)
    v.Vector_Thinning = std::max(1, static_cast<std::int32_t>(std::lround(std::max(f.Display_Size_X, f.Display_Size_Y) / 10.0)));
  if (v.Vector_Max_Intensity <= 0.0f) {
    float largest = 0.0f;
    for (std::int32_t k : {y, x})
      if (k >= 1 && r.Current_Max.ALLOCATED())
        largest = std::max({largest, std::fabs(r.Current_Max(k)), std::fabs(r.Current_Min(k))});
    v.Vector_Max_Intensity = 1.4142135f * largest;
  }
  if (v.Vector_Min_Intensity >= v.Vector_Max_Intensity) v.Vector_Min_Intensity = v.Vector_Max_Intensity / 100.0f;
}

std::vector<Vector_Arrow> VECTOR_ARROWS(std::int32_t x, std::int32_t y) {
  const auto& f = Display_Field;
  const auto& v = Vector_Settings;
  std::vector<Vector_Arrow> arrows;
  const double k = arrow_scale();
  if (k == 0.0) return arrows;
  const std::int64_t s = std::max<std::int64_t>(v.Vector_Thinning, 1);
  const std::int64_t narrow = std::llround(s / 2.0);
  const std::vector<Block> bx = blocks(f.Zoom_X_From, f.Zoom_X_To, s), by = blocks(f.Zoom_Y_From, f.Zoom_Y_To, s);
  const Block_Sums sums(bx, by, x, y);
  for (const Block& i : bx)
    for (const Block& j : by) {
      if (std::min(i.last - i.first, j.last - j.first) < narrow) continue;
      double vx = 0.0, vy = 0.0;
      if (!sums.MEAN(i, j, vx, vy)) continue;
      const double m = std::hypot(vx, vy);
      if (!(m > v.Vector_Min_Intensity)) continue;
      if (m > v.Vector_Max_Intensity) vx *= v.Vector_Max_Intensity / m, vy *= v.Vector_Max_Intensity / m;
      double bx0 = (i.first + i.last) / 2.0 + 0.5, by0 = (j.first + j.last) / 2.0 + 0.5;
      if (v.Centred_Vectors) bx0 -= k * vx / 2.0, by0 -= k * vy / 2.0;
      const Vector_Arrow a{static_cast<float>(bx0), static_cast<float>(by0), static_cast<float>(bx0 + k * vx),
                           static_cast<float>(by0 + k * vy)};
      if (finite_arrow(a)) arrows.push_back(a);
    }
  return arrows;
}

void PLOT_VECTORS(std::int32_t x, std::int32_t y) {
  const auto& f = Display_Field;
  const auto& v = Vector_Settings;
  const auto& slots = f.Array_to_be_displayed;
  if (Result_Set.Number_Of_Solutions < 3 || !slots.ALLOCATED() || std::min(x, y) < slots.LOWER(0) ||
      std::max(x, y) > slots.UPPER(0))
    fatal("Unable to display 'vectors'");
  if (v.Vector_Colour < 0 || v.Vector_Colour > 2) fatal(" ... and now for something completely different: a coding error!");
  const int colour = v.Vector_Colour == 1 ? 1 : 0;
  cpgsci(colour);
  float ch = 1.0f;
  int lw = 1;
  cpgqch(&ch);
  cpgqlw(&lw);
  cpgsch(0.75f * ch);
  CHECK_DISPLAY_VECTORS_SETTINGS(x, y);
  int w = by_thickness<int>({1, 5, 7, 10});
  if (v.Vector_Colour == 2) w = std::max(w, 5);
  cpgslw(w * lw);
  for (const Vector_Arrow& a : VECTOR_ARROWS(x, y)) {
    if (v.Vector_Colour == 2) {
      cpgslw(w * lw + 5);
      cpgsci(1);
      arrow(a);
      cpgsci(0);
      cpgslw(w * lw);
    }
    arrow(a);
  }
  const double k = arrow_scale();
  if (v.Display_Vector_Scale && k != 0.0) scale_arrow(k, colour, lw, ch);
  cpgsci(Display_Settings.Drawing_Colour_Index);
  cpgsch(ch);
  cpgslw(lw);
}
