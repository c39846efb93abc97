// CKorndChild.cpp - child frame of a graphics window (see CKorndChild.h).
#include "kornd/CKorndChild.h"

#include <QCloseEvent>

#include "kornd/CKorndDoc.h"
#include "kornd/CKorndView.h"

CKorndChild::CKorndChild(std::unique_ptr<CKorndDoc> doc, int show_code)
    : doc_(std::move(doc)), view_(new CKorndView(doc_.get())), show_code_(show_code) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWidget(view_);
  doc_->SetView(view_);
  doc_->SetChild(this);
}

CKorndChild::~CKorndChild() {
  // The view goes with the frame; the document must not call it any more.
  doc_->SetView(nullptr);
  doc_->SetChild(nullptr);
  if (!doc_->released()) doc_->ReleaseWindow();
}

void CKorndChild::closeEvent(QCloseEvent* event) {
  if (!doc_->OnCloseDocument()) {
    event->ignore();
    return;
  }
  QMdiSubWindow::closeEvent(event);
}
