// CKorndChild.cpp - child frame of a graphics window (see CKorndChild.h).
#include "kornd/CKorndChild.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QScrollBar>
#include <QPainter>
#include <QPixmap>

#include "kornd/CKorndDoc.h"
#include "kornd/CKorndView.h"

CKorndChild::CKorndChild(std::shared_ptr<CKorndDoc> doc, int show_code)
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
  view_->setFocusPolicy(Qt::StrongFocus);  // keys reach the view, not only its frame
  client->setFocusProxy(view_);
  connect(hbar_, &QScrollBar::valueChanged, view_, &CKorndView::OnScrollBars);
  connect(vbar_, &QScrollBar::valueChanged, view_, &CKorndView::OnScrollBars);
  doc_->SetView(view_);
  doc_->SetChild(this);
  // The view hears of its frame's activation (a Buffering command may wait for it).
  connect(this, &QMdiSubWindow::windowStateChanged, this, [this](Qt::WindowStates before, Qt::WindowStates now) {
    if (!(before ^ now).testFlag(Qt::WindowActive) || view_ == nullptr) return;
    if (now.testFlag(Qt::WindowActive)) {  // the active view takes the requests that use one
      doc_->SetView(view_);
      doc_->SetChild(this);
    }
    view_->OnActivateView(now.testFlag(Qt::WindowActive));
  });
}

namespace {

// Show-state values (SW_...) of the eleven show codes.
constexpr int Show_State[11] = {0, 3, 6, 9, 5, 3, 2, 7, 8, 4, 1};

}  // namespace

void SHOW_BY_CODE(QWidget* w, int code) {
  if (w == nullptr || code < 0 || code > 10) return;
  switch (Show_State[code]) {
    case 0: w->hide(); break;                              // SW_HIDE
    case 1: case 9: w->showNormal(); break;                // SW_SHOWNORMAL, SW_RESTORE
    case 2: case 6: case 7: w->showMinimized(); break;     // SW_SHOWMINIMIZED, SW_MINIMIZE, SW_SHOWMINNOACTIVE
    case 3: w->showMaximized(); break;                     // SW_MAXIMIZE
    case 4: case 5: case 8: w->show(); break;              // SW_SHOWNOACTIVATE, SW_SHOW, SW_SHOWNA
    default: break;
  }
  w->update();
}

namespace {

// 16 x 16: a window with a title bar; with a back buffer a second sheet stands behind it.
QIcon make_buffering_icon(bool buffered) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setPen(QColor(0, 0, 0));
  if (buffered) {
    p.setBrush(QColor(192, 192, 192));
    p.drawRect(4, 0, 11, 10);
  }
  const QRect front = buffered ? QRect(0, 4, 11, 11) : QRect(1, 2, 13, 12);
  p.setBrush(QColor(255, 255, 255));
  p.drawRect(front);
  p.fillRect(front.left() + 1, front.top() + 1, front.width() - 1, 3, buffered ? QColor(0, 128, 0) : QColor(0, 0, 128));
  return QIcon(pixmap);
}

}  // namespace

QIcon CKorndChild::BufferingIcon(bool buffered) { return make_buffering_icon(buffered); }

CKorndChild::~CKorndChild() {
  // The view goes with the frame; the document must not call it any more.
  doc_->RemoveView(view_);
  if (doc_->Child() == this) doc_->SetChild(nullptr);
  if (doc_->Views().empty() && !doc_->released()) doc_->ReleaseWindow();
}

void CKorndChild::closeEvent(QCloseEvent* event) {
  // Another window on the document keeps it open.
  bool last = true;
  for (CKorndView* v : doc_->Views())
    if (CKorndChild* f = v->Frame(); f != nullptr && f != this && !f->closing_) last = false;
  if (last && !doc_->OnCloseDocument()) {
    event->ignore();
    return;
  }
  closing_ = true;
  QMdiSubWindow::closeEvent(event);
}

bool CKorndChild::event(QEvent* event) {
  // Closed while its view draws (a pause serving the close): the frame, its view and the
  // document stay until that drawing has returned.
  if (event->type() == QEvent::DeferredDelete && view_ && view_->Busy()) {
    view_->DeleteFrameWhenIdle();
    return true;
  }
  return QMdiSubWindow::event(event);
}
