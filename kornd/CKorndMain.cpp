// CKorndMain.cpp - main frame and the channel's request entry (see CKorndMain.h).
#include "kornd/CKorndMain.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QThread>
#include <QTimerEvent>

#include <unistd.h>  // chdir

#include <cstdio>   // std::snprintf
#include <cstring>  // std::memcpy

#include "kornd/CKorndApp.h"
#include "kornd/CKorndChild.h"
#include "kornd/CKorndDoc.h"
#include "kornd/CKorndView.h"
#include "kornd/Request_Text.h"

namespace {
constexpr int Status_Period_Ms = 200;
// A colour code the window colours take as it is: fixed, custom or direct.
bool is_window_colour(int code) { return (code >= 0 && code <= 35) || code >= 0x2000000; }
}  // namespace

CKorndMain::CKorndMain(CKorndApp* app) : app_(app), mdi_(new QMdiArea(this)) {
  setWindowTitle(app_->box_title);
  setCentralWidget(mdi_);
  for (int i = 0; i < 4; ++i) {
    panes_[i] = new QLabel(this);
    if (i == 0) statusBar()->addWidget(panes_[i], 1);
    else statusBar()->addPermanentWidget(panes_[i]);
  }
  resize(800, 600);
  ShowStatusBar(true);
}

CKorndMain::~CKorndMain() = default;

std::uint32_t CKorndMain::OnCopyData(const platform::Request_Packet& packet) {
  if (app_->closing) return channel::Reply_Failed;
  Request r = PARSE_REQUEST(packet.text, packet.length, packet.well_formed());
  switch (r.kind) {
    case Request_Kind::Unparsable:
      return EntryError(QString("Internal Error-%1: [%s]").arg(r.error_number), packet);
    case Request_Kind::Handshake:
      return Handshake(r);
    case Request_Kind::Open_Window:
      return static_cast<std::uint32_t>(OpenWindow(r));
    case Request_Kind::Quit:
      return Quit(r.mode);
    case Request_Kind::Close_Window:
      return CloseWindow(r.window);
    case Request_Kind::Window: {
      int w = r.window == 0 ? app_->LowestOpenWindow() : r.window;
      CKorndDoc* doc = app_->WindowDoc(w);
      if (doc == nullptr) return NoWindow();
      return DispatchToWindow(doc, r.letter);
    }
  }
  return channel::Reply_Failed;
}

// The box of an unparsable text: the format with the request text in place of "%s".
std::uint32_t CKorndMain::EntryError(const QString& format, const platform::Request_Packet& packet) {
  QString text = format;
  text.replace("%s", QString::fromLatin1(packet.text));
  app_->ShowMessageText(text, &app_->box_title, MB_NOTICE);
  QThread::yieldCurrentThread();
  return channel::Reply_Failed;
}

std::uint32_t CKorndMain::NoWindow() {
  app_->ShowMessageID(IDS_NO_WINDOW, &app_->box_title, MB_NOTICE);
  QThread::yieldCurrentThread();
  return channel::Reply_Failed;
}

std::uint32_t CKorndMain::Handshake(const Request& r) {
  // Folders keep their '/' separators; the client's folder becomes the server's.
  if (!r.folder.empty() && chdir(r.folder.c_str()) != 0) {
    // a folder that cannot be entered leaves the current folder as it was
  }
  app_->client_folder = QString::fromLocal8Bit(r.folder.c_str());
  QString program = QString::fromLocal8Bit(r.program.c_str());
  qsizetype cut = std::max(program.lastIndexOf('/'), program.lastIndexOf('\\'));
  QString name = cut >= 0 ? program.mid(cut + 1) : program;
  qsizetype dot = name.indexOf('.');
  app_->client_name = dot >= 0 ? name.left(dot) : name;
  app_->handshake_key = static_cast<std::uint32_t>(r.key);
  return static_cast<std::uint32_t>(r.key);
}

int CKorndMain::OpenWindow(const Request& r) {
  int show = r.show >= 0 && r.show <= 10 ? r.show : 5;
  int w = r.w == 0 ? app_->LowestFreeWindow() : r.w;
  if (w < 1 || w > channel::Max_Window || app_->WindowDoc(w) != nullptr) return -1;

  auto doc = std::make_unique<CKorndDoc>();
  if (r.bg >= 0 && r.bg <= 19) doc->SetBackground(static_cast<std::int32_t>(CKorndDoc::FixedColor(r.bg)));
  else if (r.bg >= 0x2000000) doc->SetBackground(r.bg & 0xFFFFFF);
  else doc->SetBackground(-1);

  platform::Shared_Block shared;
  const std::string name = channel::WINDOW_BLOCK_NAME(app_->instance, w);
  platform::Block_Status b = shared.CREATE_OR_TAKE(name, sizeof(channel::KRwinblock));
  if (b != platform::Block_Status::Ok) {
    const QString title = "Graphics Window";
    std::fprintf(stderr, "kornd: %s: %s\n", name.c_str(), shared.error().c_str());
    app_->ShowMessageID(b == platform::Block_Status::Map_Failed ? IDS_MAP_VIEW_FAILED : IDS_CREATE_MAPPING_FAILED,
                        &title, MB_NOTICE);
    return -1;
  }
  CKorndDoc* d = doc.get();
  auto* child = new CKorndChild(std::move(doc), show);
  app_->SetWindowDoc(w, d);

  QString title = r.has_title && !r.title.empty() ? QString::fromLocal8Bit(r.title.c_str()) : app_->client_name;
  d->SetTitle(title);
  d->SetWindowNumber(w);
  child->setWindowTitle(title);

  auto* inst = static_cast<channel::KRinstblock*>(app_->InstanceBlock().view());
  QByteArray t = title.toLocal8Bit();
  // Bounded: a long title is cut rather than written past the 128-byte block.
  std::snprintf(inst->line, sizeof inst->line, "%d,%s", w, t.constData());

  d->AttachBlock(std::move(shared));
  if (r.width > 0 && r.height > 0) d->SetPageSize(r.width, r.height, true);
  int fg = is_window_colour(r.fg) ? r.fg : 0;
  int bg = is_window_colour(r.bg) ? r.bg : 19;
  d->SetColors(d->PictureWidth(), d->PictureHeight(), fg, bg);

  QByteArray cls = CKorndView::staticMetaObject.className();
  std::memcpy(d->block()->data, cls.constData(), static_cast<std::size_t>(cls.size()) + 1);

  StartStatusTimer();
  mdi_->addSubWindow(child);
  child->showMaximized();
  return w;
}

std::uint32_t CKorndMain::CloseWindow(int w) {
  CKorndDoc* doc = app_->WindowDoc(w);
  if (doc == nullptr) return NoWindow();
  ClearPane(1);
  if (CKorndChild* child = doc->Child()) child->close();
  else doc->ReleaseWindow();
  return static_cast<std::uint32_t>(app_->LowestOpenWindow());
}

std::uint32_t CKorndMain::Quit(int mode) {
  if (mode == 0) {
    app_->PostCloseMain();
    return channel::Reply_Quit;
  }
  for (;;) {
    int answer = app_->ShowMessageID(IDS_CLOSE, &app_->client_name, MB_QUESTION);
    if (answer != 1) break;  // Cancel: the box made the server stop serving
    if (!app_->preview_open) {
      app_->PostCloseMain();
      break;
    }
    app_->ShowMessageID(IDS_CLOSE_PREVIEW, &app_->client_name, MB_NOTICE);
  }
  return channel::Reply_Quit;
}

std::uint32_t CKorndMain::DispatchToWindow(CKorndDoc* doc, char letter) {
  int w = doc->WindowNumber();
  std::uint32_t reply;
  try {
    reply = doc->ExecuteCommand(letter);
  } catch (const CKorndWaitEnded&) {
    if (app_->main_frame) {
      app_->closing = true;
      app_->PostCloseMain();
    }
    return channel::Reply_Failed;
  }
  // No yield here: the reply itself hands the turn to the waiting client.
  if (CKorndDoc* still = app_->WindowDoc(w); still == doc) live_count_ = doc->ObjectCount() - doc->HiddenCount();
  if (app_->main_frame == nullptr) return channel::Reply_Failed;
  return reply;
}

void CKorndMain::ShowStatusBar(bool show) {
  statusBar()->setVisible(show);
  status_shown = show;
  if (show) {
    StartStatusTimer();
    UpdatePane(3, QString::asprintf("%10d", live_count_));
  } else if (status_timer_ != 0) {
    killTimer(status_timer_);
    status_timer_ = 0;
  }
}

void CKorndMain::StartStatusTimer() {
  if (status_timer_ == 0 && status_shown) status_timer_ = startTimer(Status_Period_Ms);
}

void CKorndMain::UpdatePane(int n, const QString& text) {
  if (n < 0 || n > 3) n = 0;
  panes_[n]->setText(text);
}

QString CKorndMain::PaneText(int n) const { return n >= 0 && n <= 3 ? panes_[n]->text() : QString(); }

void CKorndMain::timerEvent(QTimerEvent* event) {
  if (event->timerId() == status_timer_) UpdatePane(3, QString::asprintf("%10d", live_count_));
}

void CKorndMain::closeEvent(QCloseEvent* event) {
  if (status_timer_ != 0) killTimer(status_timer_);
  status_timer_ = 0;
  for (int w = 1; w <= channel::Max_Window; ++w)  // every capture and wait ends
    if (CKorndDoc* doc = app_->WindowDoc(w); doc && doc->View()) doc->View()->OnUpdate(14, nullptr, nullptr);
  for (QMdiSubWindow* sub : mdi_->subWindowList()) sub->close();
  event->accept();
  app_->closing = true;
  QMetaObject::invokeMethod(app_, &QCoreApplication::quit, Qt::QueuedConnection);
}
