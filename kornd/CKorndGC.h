// CKorndGC.h - the drawing environment: pen, brush, mix mode, marker, text and symbol fonts,
// colour roles 1-11, sixteen custom colours, pen and text positions, clip rectangle, world
// transform and the replay position in a document's object list.
// The document, each back buffer, each anchor and each repaint, print page or export hold one.
// Pens, brushes and fonts come from the GDI object cache; copying copies pointers only.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "kornd/CKorndTool.h"
#include "kornd/DrawUtil.h"
#include "kornd/GdiCache.h"

class CKorndDoc;
class QBrush;
class QFont;
class KRdc;
class QPen;

class CKorndGC {
 public:
  static constexpr std::int32_t None = -1;  // colour value "none"
  static constexpr int Roles = 11;

  CKorndGC();

  // The default environment for a document (roles from its block, fonts from its picture size).
  void SetDefaults(CKorndDoc& doc);
  // Selects pen and brush, transparent background, and the clip rectangle when it is not empty.
  void Apply(KRdc& dc) const;
  // A clip rectangle of the picture in the dc's device pixels: through its page mapping only
  // (clip regions do not turn with the world transform); the same rectangle on a plain dc.
  static KRrect DeviceClip(KRdc& dc, const KRrect& r);
  // Copies everything but the dialogs; text and symbol colours follow roles 7 and 9.
  void CopyFrom(const CKorndGC& other);
  // Takes pen, brush and fonts anew from the cache by their descriptions.
  void RecreateGdiObjects();

  // Colour of role 1-11 (colour value or -1); 0 for a role outside 1-11.
  std::int32_t Role(int role) const { return role >= 1 && role <= Roles ? roles[role - 1] : 0; }
  void SetRole(int role, std::int32_t value) {
    if (role >= 1 && role <= Roles) roles[role - 1] = value;
  }

  // Replay position: the list node drawing continues from; none = the head after SetDefaults.
  std::optional<ToolList::iterator> replay_position;
  std::uint32_t base_tick = 0;
  const QPen* pen = nullptr;
  const QBrush* brush = nullptr;
  const QFont* text_font = nullptr;
  const QFont* symbol_font = nullptr;
  int mix_mode = 13;              // binary raster operation, 13 = copy
  KRpoint current_point{-1, -1};
  KRlogpen pen_desc;
  KRlogbrush brush_desc;
  std::array<std::int32_t, 6> marker_desc{};  // kind, size, colour, outline, background, mix
  int text_align = 1;
  KRlogfont text_logfont;
  std::int32_t text_colour = 0;   // the text font dialog's colour
  int symbol_align = 0;
  KRlogfont symbol_logfont;
  std::int32_t symbol_colour = 0;
  KRrect clip;                     // empty = no clip
  KRxform xform;
  bool xform_active = false;
  KRpoint text_position{32767, 32767};
  std::array<std::int32_t, Roles> roles{};
  std::array<std::int32_t, 16> palette{};  // custom colours, codes 20-35
};
