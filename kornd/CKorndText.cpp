// CKorndText.cpp - see CKorndText.h.
#include "kornd/CKorndText.h"

#include <QFontMetrics>
#include <QString>

#include "kornd/CKorndDoc.h"
#include "kornd/CKorndGC.h"
#include "kornd/KRdc.h"

KRpoint CKorndText::OriginFromAnchor(int align, KRpoint a, int w, int h) {
  switch (align) {
    case 0: return {a.x - w / 2, a.y + h / 2};
    case 2: return {a.x - w, a.y};
    case 3: return {a.x - w, a.y + h};
    case 4: return {a.x, a.y + h};
    case 5: return {a.x, a.y + h / 2};
    case 6: return {a.x - w / 2, a.y};
    case 7: return {a.x - w, a.y + h / 2};
    case 8: return {a.x - w / 2, a.y + h};
    default: return a;  // 1 and unknown codes: left, bottom
  }
}

KRpoint CKorndText::AnchorFromOrigin(int align, KRpoint o, int w, int h) {
  switch (align) {
    case 0: return {o.x + w / 2, o.y - h / 2};
    case 2: return {o.x + w, o.y};
    case 3: return {o.x + w, o.y - h};
    case 4: return {o.x, o.y - h};
    case 5: return {o.x, o.y - h / 2};
    case 6: return {o.x + w / 2, o.y};
    case 7: return {o.x + w, o.y - h / 2};
    case 8: return {o.x + w / 2, o.y - h};
    default: return o;
  }
}

void CKorndText::Extent(const QFont& font, const QString& text, int& w, int& h) {
  QFont f = font;
  f.setStyleStrategy(QFont::NoAntialias);  // the metrics of the font TextOut draws with
  QFontMetrics fm(f);
  w = fm.horizontalAdvance(text);
  h = fm.height();
}

int CKorndText::Draw(CKorndGC& env, CKorndDoc*, CKorndView*, KRdc& dc, std::uint32_t skip) {
  if (Skipped(skip)) return 0;
  if (env.text_font == nullptr) env.text_font = GetCachedFont(env.text_logfont);
  QString s = QString::fromLocal8Bit(text.c_str());
  QFont font = *env.text_font;
  font.setStyleStrategy(QFont::NoAntialias);
  QFontMetrics fm(font);
  int w, h;
  Extent(font, s, w, h);
  int angle = env.text_logfont.escapement;
  KRpoint anchor, origin;
  if (point.x == 32767 && point.y == 32767) {
    origin = env.text_position.x == 32767 ? KRpoint{0, 0} : env.text_position;
    anchor = AnchorFromOrigin(env.text_align, origin, w, h);
  } else {
    anchor = point;
    origin = OriginFromAnchor(env.text_align, anchor, w, h);
  }
  KRpoint turned = RotatePoint(origin, anchor, angle);
  std::int32_t colour = env.Role(7);
  dc.MoveTo(turned.x, turned.y);
  env.text_position = dc.TextOut(turned.x, turned.y, s, font, colour < 0 ? 0u : static_cast<std::uint32_t>(colour),
                                 env.Role(8), angle);
  if (!(flags_ & Prepared)) {
    KRrect box{origin.x, origin.y - h, origin.x + w + 1, origin.y + fm.descent() + 1};
    if (angle != 0) RotatedBounds(box, anchor, angle);
    rect_ = box;
    GetBounds(env, 1);
    flags_ |= Prepared;
  }
  return 1;
}
