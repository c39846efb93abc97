// CKorndView.cpp - view of a graphics window (see CKorndView.h).
#include "kornd/CKorndView.h"

#include <QPainter>

#include "kornd/CKorndDoc.h"
#include "kornd/GdiCache.h"

CKorndView::CKorndView(CKorndDoc* doc) : doc_(doc) { setAttribute(Qt::WA_OpaquePaintEvent); }

void CKorndView::OnUpdate(int, CKorndTool*, const KRrect*) { update(); }

void CKorndView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  std::int32_t bg = doc_ ? doc_->Background() : -1;
  p.fillRect(rect(), bg < 0 ? QColor(Qt::white) : ColorOf(static_cast<std::uint32_t>(bg)));
}
