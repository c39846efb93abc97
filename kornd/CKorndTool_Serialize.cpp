// CKorndTool_Serialize.cpp - the picture-file records of the drawing objects: the base record
// every object writes (type, segment, flags, rectangle), each class's own record after it, and
// the class names the class records carry. Reading with a load scale multiplies coordinates
// (truncated towards zero); a marker size stays at least 4, a font height at least 16.
// Changes: nothing beyond the objects read (each gets a new id when it is made).
#include <algorithm>  // std::max
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "kornd/CKorndAnchor.h"
#include "kornd/CKorndArc.h"
#include "kornd/CKorndBezier.h"
#include "kornd/CKorndChord.h"
#include "kornd/CKorndClear.h"
#include "kornd/CKorndEMF.h"
#include "kornd/CKorndEllipse.h"
#include "kornd/CKorndFlood.h"
#include "kornd/CKorndImage.h"
#include "kornd/CKorndLine.h"
#include "kornd/CKorndMark.h"
#include "kornd/CKorndMove.h"
#include "kornd/CKorndOG.h"
#include "kornd/CKorndPie.h"
#include "kornd/CKorndPixel.h"
#include "kornd/CKorndPlot.h"
#include "kornd/CKorndPolygon.h"
#include "kornd/CKorndPolyline.h"
#include "kornd/CKorndRect.h"
#include "kornd/CKorndReset.h"
#include "kornd/CKorndRoundRect.h"
#include "kornd/CKorndSetColor.h"
#include "kornd/CKorndSetGDI.h"
#include "kornd/CKorndSetRgn.h"
#include "kornd/CKorndSetSymbol.h"
#include "kornd/CKorndSetText.h"
#include "kornd/CKorndSetXFORM.h"
#include "kornd/CKorndSleep.h"
#include "kornd/CKorndSolidRect.h"
#include "kornd/CKorndSymbol.h"
#include "kornd/CKorndText.h"
#include "kornd/KRArchive.h"

namespace {

const char* const Class_Names[33] = {
    nullptr,          "CKorndAnchor",    "CKorndReset",   "CKorndSleep",    "CKorndSleep",     "CKorndSetColor",
    "CKorndSetGDI",   "CKorndSetXFORM",  "CKorndSetRgn",  "CKorndSetText",  "CKorndSetSymbol", "CKorndMove",
    "CKorndEMF",      "CKorndImage",     "CKorndMark",    "CKorndText",     "CKorndSymbol",    "CKorndFlood",
    "CKorndClear",    "CKorndPixel",     "CKorndLine",    "CKorndRect",     "CKorndSolidRect", "CKorndRoundRect",
    "CKorndEllipse",  "CKorndArc",       "CKorndChord",   "CKorndPie",      "CKorndPolygon",   "CKorndBezier",
    "CKorndPolyline", "CKorndOG",        "CKorndPlot"};

void serialize_u32(KRArchive& ar, std::int32_t& v) {
  if (ar.IsStoring()) ar.WriteI32(v);
  else v = ar.ReadI32();
}

void serialize_point(KRArchive& ar, KRpoint& p) {
  if (ar.IsStoring()) ar.WritePoint(p);
  else p = ar.Scaled(ar.ReadPoint());
}

void serialize_points(KRArchive& ar, std::vector<KRpoint>& points, std::uint32_t n) {
  if (ar.IsStoring()) {
    for (const KRpoint& p : points) ar.WritePoint(p);
    return;
  }
  ar.ReadItemCount(n, 8);
  points.resize(n);
  for (KRpoint& p : points) p = ar.Scaled(ar.ReadPoint());
}

// n, then n points (Bezier curves and polylines); the end point becomes the last point.
void serialize_counted_points(KRArchive& ar, std::vector<KRpoint>& points, KRpoint& last) {
  std::uint32_t n = static_cast<std::uint32_t>(points.size());
  if (ar.IsStoring()) ar.WriteU32(n);
  else n = ar.ReadU32();
  serialize_points(ar, points, n);
  if (ar.IsLoading() && !points.empty()) last = points.back();
}

// Font-valid flag, alignment, background; with a valid font, text colour and the font.
template <class Attribute>
void serialize_font_attribute(KRArchive& ar, Attribute& a) {
  if (ar.IsStoring()) {
    ar.WriteI32(a.font_valid), ar.WriteI32(a.align), ar.WriteI32(a.background);
    if (a.font_valid) ar.WriteI32(a.colour), ar.WriteBytes(&a.logfont, sizeof a.logfont);
    return;
  }
  a.font_valid = ar.ReadI32(), a.align = ar.ReadI32(), a.background = ar.ReadI32();
  if (a.font_valid) {
    a.colour = ar.ReadI32();
    ar.ReadBytes(&a.logfont, sizeof a.logfont);
    a.logfont.face_name[sizeof a.logfont.face_name - 1] = '\0';
    if (ar.Rescaling()) {
      const int h = ar.Scaled(a.logfont.height);
      const int magnitude = std::max(16, std::abs(h));
      a.logfont.height = h < 0 ? -magnitude : magnitude;
    }
  }
}

template <class Radial>
void serialize_radial(KRArchive& ar, Radial& r) {
  serialize_point(ar, r.start);
  serialize_point(ar, r.end);
}

}  // namespace

const char* CLASS_NAME_OF_TYPE(int type) { return type >= 1 && type <= 32 ? Class_Names[type] : nullptr; }

std::unique_ptr<CKorndTool> MAKE_TOOL_OF_CLASS(const std::string& name) {
  if (name == "CKorndAnchor") return std::make_unique<CKorndAnchor>();
  if (name == "CKorndReset") return std::make_unique<CKorndReset>();
  if (name == "CKorndSleep") return std::make_unique<CKorndSleep>(3);
  if (name == "CKorndSetColor") return std::make_unique<CKorndSetColor>();
  if (name == "CKorndSetGDI") return std::make_unique<CKorndSetGDI>();
  if (name == "CKorndSetXFORM") return std::make_unique<CKorndSetXFORM>();
  if (name == "CKorndSetRgn") return std::make_unique<CKorndSetRgn>();
  if (name == "CKorndSetText") return std::make_unique<CKorndSetText>();
  if (name == "CKorndSetSymbol") return std::make_unique<CKorndSetSymbol>();
  if (name == "CKorndMove") return std::make_unique<CKorndMove>();
  if (name == "CKorndEMF") return std::make_unique<CKorndEMF>();
  if (name == "CKorndImage") return std::make_unique<CKorndImage>();
  if (name == "CKorndMark") return std::make_unique<CKorndMark>();
  if (name == "CKorndText") return std::make_unique<CKorndText>();
  if (name == "CKorndSymbol") return std::make_unique<CKorndSymbol>();
  if (name == "CKorndFlood") return std::make_unique<CKorndFlood>();
  if (name == "CKorndClear") return std::make_unique<CKorndClear>();
  if (name == "CKorndPixel") return std::make_unique<CKorndPixel>();
  if (name == "CKorndLine") return std::make_unique<CKorndLine>();
  if (name == "CKorndRect") return std::make_unique<CKorndRect>();
  if (name == "CKorndSolidRect") return std::make_unique<CKorndSolidRect>();
  if (name == "CKorndRoundRect") return std::make_unique<CKorndRoundRect>();
  if (name == "CKorndEllipse") return std::make_unique<CKorndEllipse>();
  if (name == "CKorndArc") return std::make_unique<CKorndArc>();
  if (name == "CKorndChord") return std::make_unique<CKorndChord>();
  if (name == "CKorndPie") return std::make_unique<CKorndPie>();
  if (name == "CKorndPolygon") return std::make_unique<CKorndPolygon>();
  if (name == "CKorndBezier") return std::make_unique<CKorndBezier>();
  if (name == "CKorndPolyline") return std::make_unique<CKorndPolyline>();
  if (name == "CKorndOG") return std::make_unique<CKorndOG>();
  if (name == "CKorndPlot") return std::make_unique<CKorndPlot>();
  return nullptr;
}

void CKorndTool::Serialize(KRArchive& ar) {
  if (ar.IsStoring()) {
    std::uint32_t f = flags_;
    if (id_ > ar.erased_low && id_ <= ar.erased_high) f |= Erased;
    ar.WriteU16(static_cast<std::uint16_t>(type_));
    ar.WriteU16(static_cast<std::uint16_t>(segment_));
    ar.WriteU16(static_cast<std::uint16_t>(f));
    ar.WriteRect(rect_);
    return;
  }
  const int type = ar.ReadU16();
  // The record's type must be one the class stands for (the pauses share one class).
  const char* name = CLASS_NAME_OF_TYPE(type);
  if (name == nullptr || std::strcmp(name, CLASS_NAME_OF_TYPE(type_)) != 0) throw KRArchiveError("type of another class");
  type_ = type;
  segment_ = ar.ReadU16();
  flags_ = ar.ReadU16();
  rect_ = ar.Scaled(ar.ReadRect());
  bounds_.reset();
}

void CKorndSleep::Serialize(KRArchive& ar) {
  CKorndTool::Serialize(ar);
  serialize_u32(ar, milliseconds);
}

void CKorndSetColor::Serialize(KRArchive& ar) {
  CKorndTool::Serialize(ar);
  serialize_u32(ar, slot);
  serialize_u32(ar, colour);
}

void CKorndSetGDI::Serialize(KRArchive& ar) {
  CKorndTool::Serialize(ar);
  if (ar.IsStoring()) {
    ar.WriteU32(mask);
    if (mask & 0x8) ar.WriteI32(rop2);
    if (mask & 0x7) ar.WriteI32(pen.style), ar.WriteI32(pen.width_x), ar.WriteI32(0), ar.WriteU32(pen.colour);
    if (mask & 0x70) ar.WriteU32(brush.style), ar.WriteU32(brush.colour), ar.WriteI32(brush.hatch);
    if (mask & 0xF80)
      for (std::int32_t v : marker) ar.WriteI32(v);
    return;
  }
  mask = ar.ReadU32();
  if (mask & 0x8) rop2 = ar.ReadI32();
  if (mask & 0x7) pen.style = ar.ReadI32(), pen.width_x = ar.ReadI32(), pen.width_y = ar.ReadI32(), pen.colour = ar.ReadU32();
  if (mask & 0x70) brush.style = ar.ReadU32(), brush.colour = ar.ReadU32(), brush.hatch = ar.ReadI32();
  if (mask & 0xF80) {
    for (std::int32_t& v : marker) v = ar.ReadI32();
    if (ar.Rescaling()) marker[1] = std::max(4, ar.Scaled(marker[1]));
  }
}

void CKorndSetXFORM::Serialize(KRArchive& ar) {
  CKorndTool::Serialize(ar);
  float* order[6] = {&xform.eDx, &xform.eM11, &xform.eM12, &xform.eDy, &xform.eM21, &xform.eM22};
  if (ar.IsStoring()) {
    for (float* f : order) ar.WriteF32(*f);
    return;
  }
  for (float* f : order) *f = ar.ReadF32();
  if (ar.Rescaling()) {
    xform.eDx = static_cast<float>(xform.eDx * ar.scale);
    xform.eDy = static_cast<float>(xform.eDy * ar.scale);
  }
}

void CKorndSetRgn::Serialize(KRArchive& ar) {
  CKorndTool::Serialize(ar);
  serialize_u32(ar, mode);
}

void CKorndSetText::Serialize(KRArchive& ar) {
  CKorndTool::Serialize(ar);
  serialize_font_attribute(ar, *this);
}

void CKorndSetSymbol::Serialize(KRArchive& ar) {
  CKorndTool::Serialize(ar);
  serialize_font_attribute(ar, *this);
}

void CKorndMove::Serialize(KRArchive& ar) {
  CKorndTool::Serialize(ar);
  serialize_point(ar, point);
}

// A number of the bitmap or symbol table, moved past the window's own entries when read.
static void serialize_number(KRArchive& ar, int& n, int offset) {
  if (ar.IsStoring()) {
    ar.WriteI32(n);
    return;
  }
  n = ar.ReadI32();
  if (n > 0) n += offset;
}

static void serialize_flag(KRArchive& ar, bool& f) {
  if (ar.IsStoring()) ar.WriteU32(f ? 1 : 0);
  else f = ar.ReadU32() != 0;
}

void CKorndEMF::Serialize(KRArchive& ar) {
  CKorndTool::Serialize(ar);
  serialize_number(ar, symbol, ar.symbol_offset);
  serialize_flag(ar, mirror_x);
  serialize_flag(ar, mirror_y);
}

void CKorndImage::Serialize(KRArchive& ar) {
  CKorndTool::Serialize(ar);
  serialize_number(ar, bitmap, ar.bitmap_offset);
  serialize_u32(ar, put_mode);
  if (ar.IsStoring()) ar.WriteU32(rop);
  else rop = ar.ReadU32();
  serialize_flag(ar, mirror_x);
  serialize_flag(ar, mirror_y);
}

void CKorndText::Serialize(KRArchive& ar) {
  CKorndTool::Serialize(ar);
  serialize_point(ar, point);
  if (ar.IsStoring()) ar.WriteString(text);
  else text = ar.ReadString();
}

void CKorndSymbol::Serialize(KRArchive& ar) {
  CKorndTool::Serialize(ar);
  serialize_point(ar, point);
  if (ar.IsStoring()) ar.WriteU8(character);
  else character = ar.ReadU8();
}

void CKorndFlood::Serialize(KRArchive& ar) {
  CKorndTool::Serialize(ar);
  serialize_point(ar, point);
}

void CKorndClear::Serialize(KRArchive& ar) {
  CKorndTool::Serialize(ar);
  serialize_u32(ar, colour);
}

void CKorndPixel::Serialize(KRArchive& ar) {
  CKorndTool::Serialize(ar);
  serialize_u32(ar, colour);
}

void CKorndLine::Serialize(KRArchive& ar) {
  CKorndTool::Serialize(ar);
  serialize_point(ar, end);
}

void CKorndSolidRect::Serialize(KRArchive& ar) {
  CKorndTool::Serialize(ar);
  serialize_u32(ar, colour);
}

void CKorndRoundRect::Serialize(KRArchive& ar) {
  CKorndTool::Serialize(ar);
  KRpoint corner{corner_width, corner_height};
  serialize_point(ar, corner);
  corner_width = corner.x, corner_height = corner.y;
}

void CKorndArc::Serialize(KRArchive& ar) {
  CKorndTool::Serialize(ar);
  serialize_radial(ar, *this);
}

void CKorndChord::Serialize(KRArchive& ar) {
  CKorndTool::Serialize(ar);
  serialize_radial(ar, *this);
}

void CKorndPie::Serialize(KRArchive& ar) {
  CKorndTool::Serialize(ar);
  serialize_radial(ar, *this);
}

void CKorndPolygon::Serialize(KRArchive& ar) {
  CKorndTool::Serialize(ar);
  serialize_u32(ar, fill_mode);
  std::uint32_t n = static_cast<std::uint32_t>(points.size());
  if (ar.IsStoring()) ar.WriteU32(n);
  else n = ar.ReadU32();
  serialize_points(ar, points, n);
}

void CKorndBezier::Serialize(KRArchive& ar) {
  CKorndTool::Serialize(ar);
  serialize_counted_points(ar, points, last);
}

void CKorndPolyline::Serialize(KRArchive& ar) {
  CKorndTool::Serialize(ar);
  serialize_counted_points(ar, points, last);
}

void CKorndOG::Serialize(KRArchive& ar) {
  CKorndTool::Serialize(ar);
  if (ar.IsStoring()) {
    ar.WriteList(members_);
    return;
  }
  members_ = ar.ReadList();
}

void CKorndPlot::Serialize(KRArchive& ar) {
  CKorndTool::Serialize(ar);
  if (ar.IsStoring()) {
    ar.WriteI32(mode), ar.WriteI32(first), ar.WriteI32(last), ar.WriteI32(size), ar.WriteI32(base);
    const std::int32_t n = static_cast<std::int32_t>(points.size());
    ar.WriteI32(count < 0 ? -n : n);
    for (const KRpoint& p : points) ar.WritePoint(p);
    return;
  }
  mode = ar.ReadI32(), first = ar.ReadI32(), last = ar.ReadI32(), size = ar.ReadI32(), base = ar.ReadI32();
  count = ar.ReadI32();
  const std::uint32_t n = count < 0 ? static_cast<std::uint32_t>(-std::int64_t(count)) : static_cast<std::uint32_t>(count);
  serialize_points(ar, points, n);
}
