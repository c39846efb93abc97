// GdiCache.cpp - process-wide cache of pens, brushes and fonts (see GdiCache.h).
#include "kornd/GdiCache.h"

#include <QHash>
#include <QString>

#include <algorithm>  // std::min, std::clamp
#include <cstring>  // std::memcpy, std::strlen
#include <map>
#include <string>
#include <unordered_map>

namespace {

struct Key {
  int kind;
  std::string bytes;
  bool operator==(const Key&) const = default;
};

struct Key_Hash {
  std::size_t operator()(const Key& k) const {
    return static_cast<std::size_t>(GdiCacheSlot(k.kind, k.bytes.data(), k.bytes.size()));
  }
};

struct Entry {
  QPen pen;
  QBrush brush;
  QFont font;
};

struct Cache {
  std::unordered_map<Key, Entry, Key_Hash> entries;
  std::map<std::string, int> atoms;  // face name -> atom number (the font bucket uses it)
};

Cache& cache() {
  static Cache c;
  return c;
}

// Atom numbers start where the system's string atoms start.
int atom_of(const std::string& face) {
  auto [it, added] = cache().atoms.try_emplace(face, 0xC000 + static_cast<int>(cache().atoms.size()));
  return it->second;
}

std::int32_t word(const void* description, std::size_t index) {
  std::int32_t w;
  std::memcpy(&w, static_cast<const char*>(description) + 4 * index, 4);
  return w;
}

Qt::PenStyle pen_style(std::int32_t style) {
  switch (style) {
    case 1: return Qt::DashLine;
    case 2: return Qt::DotLine;
    case 3: return Qt::DashDotLine;
    case 4: return Qt::DashDotDotLine;
    case 5: return Qt::NoPen;
    default: return Qt::SolidLine;
  }
}

Qt::BrushStyle hatch_style(std::int32_t hatch) {
  switch (hatch) {
    case 0: return Qt::HorPattern;
    case 1: return Qt::VerPattern;
    case 2: return Qt::FDiagPattern;
    case 3: return Qt::BDiagPattern;
    case 4: return Qt::CrossPattern;
    case 5: return Qt::DiagCrossPattern;
    default: return Qt::SolidPattern;
  }
}

template <class D>
Entry& find_or_make(Gdi_Kind kind, const D& d, Entry (*make)(const D&)) {
  Key key{static_cast<int>(kind), std::string(reinterpret_cast<const char*>(&d), sizeof d)};
  auto it = cache().entries.find(key);
  if (it == cache().entries.end()) it = cache().entries.emplace(std::move(key), make(d)).first;
  return it->second;
}

Entry make_pen(const KRlogpen& d) {
  Entry e;
  if (d.colour == 0xFFFFFFFFu) {
    e.pen = QPen(Qt::NoPen);
    return e;
  }
  e.pen = QPen(ColorOf(d.colour), d.width_x <= 1 ? 0 : d.width_x, pen_style(d.style));
  return e;
}

Entry make_brush(const KRlogbrush& d) {
  Entry e;
  if (d.style == 1 || d.colour == 0xFFFFFFFFu) e.brush = QBrush(Qt::NoBrush);
  else if (d.style == 2) e.brush = QBrush(ColorOf(d.colour), hatch_style(d.hatch));
  else e.brush = QBrush(ColorOf(d.colour));
  return e;
}

Entry make_font(const KRlogfont& d) {
  Entry e;
  std::size_t n = strnlen(d.face_name, sizeof d.face_name);
  e.font = QFont(QString::fromLocal8Bit(d.face_name, static_cast<qsizetype>(n)));
  // Heights beyond any picture are cut: the font engine would render glyphs of any size asked.
  constexpr std::int64_t Max_Font_Pixels = 2048;
  std::int64_t h = d.height < 0 ? -std::int64_t(d.height) : d.height;
  e.font.setPixelSize(h > 0 ? static_cast<int>(std::min(h, Max_Font_Pixels)) : 16);
  if (d.weight > 0) e.font.setWeight(static_cast<QFont::Weight>(std::clamp(d.weight, 100, 900)));
  e.font.setItalic(d.italic != 0);
  e.font.setUnderline(d.underline != 0);
  e.font.setStrikeOut(d.strike_out != 0);
  return e;
}

}  // namespace

QColor ColorOf(std::uint32_t colour) {
  return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

int GdiColorBucket(std::uint32_t c) {
  int red = c & 255, green = (c >> 8) & 255, blue = (c >> 16) & 255;
  int step = 512, sum = 0;
  for (int i = 0; i < 4; ++i) {
    step /= 8;
    red *= 2;
    if (red > 256) {
      sum += step;
      red -= 256;
    }
    green *= 2;
    if (green > 256) {
      sum += 2 * step;
      green -= 256;
    }
    blue *= 2;
    if (blue > 256) {
      sum += 4 * step;
      blue -= 256;
    }
  }
  return 512 - sum;
}

int GdiCacheSlot(int kind, const void* d, std::size_t size) {
  std::int64_t bucket = 0, offset = 0;
  switch (kind) {
    case 0:  // pen: style, width x, width y, colour
      if (size < 16) return -1;
      bucket = GdiColorBucket(static_cast<std::uint32_t>(word(d, 3)));
      offset = (std::int64_t(word(d, 0)) + word(d, 1)) * 112;
      break;
    case 1:  // brush: style, colour, hatch
      if (size < 12) return -1;
      bucket = GdiColorBucket(static_cast<std::uint32_t>(word(d, 1)));
      offset = (std::int64_t(word(d, 0)) + word(d, 2)) * 70 + 1;
      break;
    case 2:  // mark: type, size, colour 1, colour 2, ...
      if (size < 16) return -1;
      bucket = GdiColorBucket(static_cast<std::uint32_t>(word(d, 2)) + static_cast<std::uint32_t>(word(d, 3)));
      offset = 2 - 7 * static_cast<std::int64_t>((word(d, 0) * 4.4 + word(d, 1)) * -4.4);
      break;
    case 3: {  // font: height, width, escapement, ..., face name at 28
      if (size < 60) return -1;
      const char* face = static_cast<const char*>(d) + 28;
      bucket = std::int64_t(atom_of(std::string(face, strnlen(face, 32)))) * 1023 - 0x2FF4000;
      std::int64_t esc = static_cast<std::int64_t>(word(d, 2) * 512.0 / 3600.0);
      offset = 3 - 7 * static_cast<std::int64_t>((esc + word(d, 1) * 4.4 + word(d, 0)) * -4.4);
      break;
    }
    default:
      return -1;
  }
  return static_cast<int>((bucket + offset) & 511);
}

const QPen* GetCachedPen(const KRlogpen& d) { return &find_or_make<KRlogpen>(Gdi_Kind::Pen, d, make_pen).pen; }

const QBrush* GetCachedBrush(const KRlogbrush& d) {
  return &find_or_make<KRlogbrush>(Gdi_Kind::Brush, d, make_brush).brush;
}

const QFont* GetCachedFont(const KRlogfont& d) {
  return &find_or_make<KRlogfont>(Gdi_Kind::Font, d, make_font).font;
}

std::size_t GdiCacheCount(Gdi_Kind kind) {
  std::size_t n = 0;
  for (const auto& [key, entry] : cache().entries)
    if (key.kind == static_cast<int>(kind)) ++n;
  return n;
}

void ClearGdiCache() { cache().entries.clear(); }
