// GdiCache.h - the process-wide cache that makes each distinct pen, brush and font once.
//
// Objects are found by kind and description bytes; callers keep the returned pointers and never
// delete them (entries live until ClearGdiCache at start-up or the end of the process). The
// table grows without limit, so a full table never loops or refuses; the start-slot formula of
// the 512-slot table is the hash. Changes: the cache.
#pragma once

#include <QBrush>
#include <QFont>
#include <QPen>

#include <cstddef>
#include <cstdint>

// Pen description: style (0 solid ... 5 none, 6 inside frame), width, colour 0x00bbggrr.
struct KRlogpen {
  std::int32_t style = 0;
  std::int32_t width_x = 1;
  std::int32_t width_y = 0;
  std::uint32_t colour = 0;
};
static_assert(sizeof(KRlogpen) == 16);

// Brush description: style (0 solid, 1 hollow, 2 hatched), colour 0x00bbggrr, hatch 0-5.
struct KRlogbrush {
  std::uint32_t style = 0;
  std::uint32_t colour = 0;
  std::int32_t hatch = 0;
};
static_assert(sizeof(KRlogbrush) == 12);

// Font description with the byte layout of the picture file's font records.
struct KRlogfont {
  std::int32_t height = 0;        // < 0 character height, > 0 cell height, pixels
  std::int32_t width = 0;
  std::int32_t escapement = 0;    // tenths of a degree
  std::int32_t orientation = 0;
  std::int32_t weight = 0;        // 0 default, 400 normal, 700 bold
  std::uint8_t italic = 0, underline = 0, strike_out = 0, char_set = 0;
  std::uint8_t out_precision = 0, clip_precision = 0, quality = 0, pitch_and_family = 0;
  char face_name[32] = {};
};
static_assert(sizeof(KRlogfont) == 60);

enum class Gdi_Kind { Pen = 0, Brush = 1, Mark = 2, Font = 3 };

// Colour bucket 1-512 of a colour value (three levels of red, green and blue).
int GdiColorBucket(std::uint32_t colour);
// Start slot 0-511 of a description in the 512-slot table; -1 for an unknown kind.
int GdiCacheSlot(int kind, const void* description, std::size_t size);

// Returns the cached object for the description, made on first use; never null.
const QPen* GetCachedPen(const KRlogpen& description);
const QBrush* GetCachedBrush(const KRlogbrush& description);
const QFont* GetCachedFont(const KRlogfont& description);

// Number of entries of a kind (for status and tests).
std::size_t GdiCacheCount(Gdi_Kind kind);
// Empties the cache (start-up). Pointers handed out before become invalid.
void ClearGdiCache();

// Qt colour of a colour value 0x00bbggrr.
QColor ColorOf(std::uint32_t colour);
