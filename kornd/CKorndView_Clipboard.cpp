// CKorndView_Clipboard.cpp - a window's picture onto the clipboard and into the document's
// bitmap table, and a clipboard image into bitmap 0 (previewed while the view inquires).
// Reads: the view's picture (always up to date: objects are drawn into it as they come), the
// clipboard. Changes: the clipboard, the document's bitmap table.
#include <QClipboard>
#include <QGuiApplication>
#include <QPainter>

#include <algorithm>

#include "kornd/CKorndApp.h"
#include "kornd/CKorndDoc.h"
#include "kornd/CKorndPreviewDlg.h"
#include "kornd/CKorndView.h"

int CKorndView::CopyToClipboard(const KRrect* r, int slot, bool to_clipboard) {
  if (slot < 0) return slot;
  if (doc_ == nullptr) return -1;
  const QImage& source = Surface();
  // The shown part of the surface, or the given picture rectangle where the surface holds it.
  KRrect area{0, 0, source.width(), source.height()};
  if (view_mode.mode == 1)
    area = {view_mode.scroll.x, view_mode.scroll.y, view_mode.scroll.x + view_mode.client_width,
            view_mode.scroll.y + view_mode.client_height};
  if (r != nullptr && !r->IsEmpty()) area = ToDevice(*r);
  // A minimised window has no client area: the copy takes the picture's size instead.
  int cw = width(), ch = height();
  if (cw <= 0 || ch <= 0) cw = source.width(), ch = source.height();
  QImage copy(cw, ch, QImage::Format_RGB32);
  copy.fill(Qt::white);
  {
    QPainter p(&copy);
    p.drawImage(QRect(0, 0, cw, ch), source, QRect(area.left, area.top, area.right - area.left, area.bottom - area.top));
  }
  if (to_clipboard) QGuiApplication::clipboard()->setImage(copy);
  auto dib = std::make_unique<CKRDIB>();
  if (!CKorndDoc::ImageToDib(copy, *dib)) {
    doc_->PutBitmap(slot, nullptr);
    if (CKorndApp* app = KorndApp()) app->ShowMessageText("Internal error in clipping", nullptr, 0);
    return -1;
  }
  dib->AfterConstruction();
  doc_->PutBitmap(slot, std::move(dib));
  return slot;
}

bool CKorndView::ImportClipboard() {
  if (doc_ == nullptr) return false;
  const QImage image = QGuiApplication::clipboard()->image();
  if (image.isNull()) return false;  // nothing to take: bitmap 0 stays as it was
  auto dib = std::make_unique<CKRDIB>();
  if (!CKorndDoc::ImageToDib(image, *dib)) return false;
  dib->AfterConstruction();
  if (!doc_->PutBitmap(0, std::move(dib))) return false;
  if (inquiring_ && doc_->Bitmap(0)) CKorndPreviewDlg::Open(false, "BMP# 0", doc_->Bitmap(0), this);
  return true;
}
