// CKorndChild.cpp - child frame of a graphics window (see CKorndChild.h).
#include "kornd/CKorndChild.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QScrollBar>

#include "kornd/CKorndDoc.h"
#include "kornd/CKorndView.h"

CKorndChild::CKorndChild(std::unique_ptr<CKorndDoc> doc, int show_code)
    : doc_(std::move(doc)), view_(new CKorndView(doc_.get())), show_code_(show_code) {
  setAttribute(Qt::WA_DeleteOnClose);
  // The view's client area is what the scroll bars leave of the frame.
  auto* client = new QWidget;
  auto* grid = new QGridLayout(client);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setSpacing(0);
  hbar_ = new QScrollBar(Qt::Horizontal, client);
  vbar_ = new QScrollBar(Qt::Vertical, client);
  hbar_->hide();
  vbar_->hide();
  grid->addWidget(view_, 0, 0);
  grid->addWidget(vbar_, 0, 1);
  grid->addWidget(hbar_, 1, 0);
  setWidget(client);
  connect(hbar_, &QScrollBar::valueChanged, view_, &CKorndView::OnScrollBars);
  connect(vbar_, &QScrollBar::valueChanged, view_, &CKorndView::OnScrollBars);
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
