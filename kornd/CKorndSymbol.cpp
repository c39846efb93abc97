// CKorndSymbol.cpp - see CKorndSymbol.h.
#include "kornd/CKorndSymbol.h"

#include <QFontMetrics>
#include <QString>

#include "kornd/CKorndDoc.h"
#include "kornd/CKorndGC.h"
#include "kornd/CKorndText.h"
#include "kornd/KRdc.h"

int CKorndSymbol::Draw(CKorndGC& env, CKorndDoc*, CKorndView*, KRdc& dc, std::uint32_t skip) {
  if (Skipped(skip)) return 0;
  if (env.symbol_font == nullptr) env.symbol_font = GetCachedFont(env.symbol_logfont);
  QString s = QString(QChar(character));  // the character code as one Latin-1 character
  QFont font = *env.symbol_font;
  QFont metrics_font = font;
  metrics_font.setStyleStrategy(QFont::NoAntialias);
  QFontMetrics fm(metrics_font);
  int w, h;
  CKorndText::Extent(font, s, w, h);
  int angle = env.symbol_logfont.escapement;
  int x = point.x, y = point.y;
  KRpoint tl;
  switch (env.symbol_align) {
    case 1: tl = {x, y - h}; break;
    case 2: tl = {x - w, y - h}; break;
    case 3: tl = {x - w, y}; break;
    case 4: tl = {x, y}; break;
    case 5: tl = {x, y - h / 2}; break;
    case 6: tl = {x - w / 2, y - h}; break;
    case 7: tl = {x - w, y - h / 2}; break;
    case 8: tl = {x - w / 2, y}; break;
    default: tl = {x - w / 2, y - h / 2}; break;
  }
  KRrect box{tl.x, tl.y, tl.x + w, tl.y + h};
  if (angle != 0) RotatedBounds(box, point, angle);
  rect_ = box;
  KRpoint baseline = RotatePoint({tl.x, tl.y + fm.ascent()}, point, angle);
  KRpoint keep = dc.CurrentPosition();
  std::int32_t colour = env.Role(9);
  dc.TextOut(baseline.x, baseline.y, s, font, colour < 0 ? 0u : static_cast<std::uint32_t>(colour), env.Role(10),
             angle);
  dc.MoveTo(keep.x, keep.y);  // no position update for symbols
  return 1;
}
