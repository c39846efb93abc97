// CKorndText.h - drawing object type 15: a text, turned and aligned, at its point or where the last text ended.
#pragma once

#include <cstdint>
#include <string>

#include "kornd/CKorndTool.h"
#include "kornd/GdiCache.h"

class QString;

class CKorndText : public CKorndTool {
 public:
  CKorndText() : CKorndTool(15, 0x6) {}
  int Draw(CKorndGC& env, CKorndDoc* doc, CKorndView* view, KRdc& dc, std::uint32_t skip_mask) override;
  void Serialize(KRArchive& ar) override;
  // Baseline origin of a w x h text whose anchor (by alignment 0-8) is (x, y).
  static KRpoint OriginFromAnchor(int align, KRpoint anchor, int w, int h);
  // Anchor of a text whose baseline origin is (x, y).
  static KRpoint AnchorFromOrigin(int align, KRpoint origin, int w, int h);
  // Width (advance) and height of a text in a font as KRdc::TextOut lays out its cell.
  static void Extent(const QFont& font, const QString& text, int& w, int& h);

  KRpoint point{32767, 32767};  // (32767, 32767): continue at the text position
  std::string text;
};
