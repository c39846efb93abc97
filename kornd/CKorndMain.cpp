// CKorndMain.cpp - main frame and the channel's request entry (see CKorndMain.h).
#include "kornd/CKorndMain.h"

#include <QAction>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QUrl>
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
#include "kornd/CKorndBox.h"
#include "kornd/CKorndChild.h"
#include "kornd/CKorndDoc.h"
#include "kornd/CKorndView.h"
#include "platform/Request_Text.h"
#include "kornd/CKorndCommandLineInfo.h"
#include "kornd/CKorndPrint.h"
#include "kornd/File_Dialog.h"

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
  // Panes 1-3 are as wide as their widest text.
  const char* sizing[4] = {"", "99-99/99: X=99999, Y=99999", "(9999, 9999) - (9999, 9999)", "9999999999"};
  for (int i = 1; i < 4; ++i)
    panes_[i]->setMinimumWidth(panes_[i]->fontMetrics().horizontalAdvance(sizing[i]) + 8);
  resize(800, 600);
  CreateMenus();
  connect(mdi_, &QMdiArea::subWindowActivated, this, &CKorndMain::UpdateMenus);
  ShowStatusBar(true);
}

void CKorndMain::CreateMenus() {
  auto add = [this](QMenu* m, const QString& text, auto slot, bool enabled = true) {
    QAction* a = m->addAction(text);
    a->setEnabled(enabled);
    connect(a, &QAction::triggered, this, slot);
    return a;
  };
  auto exit = [this] {
    app_->closing = true;
    close();
  };
  auto about = [this] {
    app_->ProbeDisplay();
    const DisplayInfo& d = app_->display_info;
    QString mode = QString::asprintf("%d x %d (%d bpp, RGB%x%x%x)", d.horzres, d.vertres, d.bitspixel, d.red_bits,
                                     d.green_bits, d.blue_bits);
    if (d.vrefresh > 0) mode.insert(mode.size() - 1, QString::asprintf(", %d Hz", d.vrefresh));
    app_->ShowMessageText(QString("Kornd    Version  0.99.8b\nPath: %1/%2\nOS Version: %3Display Mode: %4")
                              .arg(app_->program_folder, app_->program_name, app_->platform_info.os_text, mode),
                          &app_->box_title, 0x40040);
  };
  // Menus of the frame without windows.
  QMenu* file0 = new QMenu("&File", this);
  add(file0, "&Open...\tCtrl+O", [this] {
    QString name;
    if (ASK_FILE_NAME(false, QString(), name)) OPEN_PICTURE_WINDOW(*app_, name);
  });
  file0->addSeparator();
  print_setup0_ = add(file0, "P&rint Setup...", [this] { app_->OnFilePrintSetup(nullptr); });
  file0->addSeparator();
  add(file0, "E&xit", exit);
  // Menus of graphics windows.
  QMenu* file = new QMenu("&File", this);
  auto open_picture = [this] {
    QString name;
    if (ASK_FILE_NAME(false, QString(), name)) OPEN_PICTURE_WINDOW(*app_, name);
  };
  add(file, "&Open...\tCtrl+O", open_picture);
  add(file, "&Close", [this] { ActiveDocCommand([](CKorndDoc& d) { d.CloseFrames(); }); });
  add(file, "&Save\tCtrl+S", [this] { ActiveDocCommand([](CKorndDoc& d) { d.DoSave(d.PathName(), true); }); });
  add(file, "Save &As...", [this] { ActiveDocCommand([](CKorndDoc& d) { d.DoSave(QString(), true); }); });
  file->addSeparator();
  // Enabled only while a printer exists (UpdateMenus).
  print_ = add(file, "&Print...\tCtrl+P", [this] { ActiveDocCommand([](CKorndDoc& d) { CKorndPrint::OnFilePrint(d); }); });
  print_->setShortcut(QKeySequence::Print);
  print_preview_ = add(file, "Print Pre&view", [this] {
    ActiveDocCommand([](CKorndDoc& d) { CKorndPrint::Preview(d, d.View()); });
  });
  print_setup_ = add(file, "P&rint Setup...", [this] {
    auto* child = qobject_cast<CKorndChild*>(mdi_->activeSubWindow());
    app_->OnFilePrintSetup(child ? child->Doc() : nullptr);
  });
  file->addSeparator();
  add(file, "E&xit", exit);
  QMenu* edit = new QMenu("&Edit", this);
  add(edit, "&Copy", [this] {
    if (CKorndView* v = ActiveView()) v->CopyToClipboard(nullptr, 0, true);
  });
  add(edit, "&Import Clipboard", [this] {
    if (CKorndView* v = ActiveView()) v->ImportClipboard();
  });
  QMenu* view = new QMenu("&View", this);
  auto on_view = [this](void (CKorndView::*command)()) {
    return [this, command] {
      if (CKorndView* v = ActiveView()) (v->*command)();
    };
  };
  add(view, "Pause/&Abort", on_view(&CKorndView::OnPauseAbort))->setStatusTip("Popup dialog for pause/abort");
  replay_ = add(view, "Re&play", on_view(&CKorndView::OnReplay));
  redraw_ = add(view, "Re&draw", on_view(&CKorndView::OnRedraw));
  add(view, "&Flushing", on_view(&CKorndView::OnFlushing));
  view->addSeparator();
  clear_all_ = add(view, "&Clear All", [this] { ActiveDocCommand([](CKorndDoc& d) { d.ClearAll(); }); });
  view->addSeparator();
  // In a graphics window storing, buffering and inquiring are the window's own.
  view_storing_ = add(view, "S&toring", on_view(&CKorndView::OnStoring));
  view_buffering_ = add(view, "&Buffering", on_view(&CKorndView::OnBuffering));
  QMenu* view0 = new QMenu("&View", this);
  storing_ = new QAction("S&toring", this);
  buffering_ = new QAction("&Buffering", this);
  status_bar_ = new QAction("Status Ba&r", this);
  inquiring_ = new QAction("&Inquiring", this);
  for (QAction* a : {storing_, buffering_, status_bar_, inquiring_}) {
    a->setCheckable(true);
    view0->addAction(a);
  }
  view->addAction(status_bar_);
  view_inquiring_ = add(view, "&Inquiring", on_view(&CKorndView::OnInquiring));
  for (QAction* a : {view_storing_, view_buffering_, view_inquiring_}) a->setCheckable(true);
  connect(view, &QMenu::aboutToShow, this, &CKorndMain::UpdateViewMenu);
  connect(storing_, &QAction::toggled, this, [this](bool on) { default_storing = on; });
  connect(buffering_, &QAction::toggled, this, [this](bool on) { default_buffering = on; });
  connect(inquiring_, &QAction::toggled, this, [this](bool on) { default_inquiring = on; });
  connect(status_bar_, &QAction::toggled, this, [this](bool on) { ShowStatusBar(on); });
  QMenu* mode = new QMenu("&Mode", this);
  const struct {
    const char* text;
    const char* prompt;
    int mode;
  } modes[] = {{"&Bitmap", "Full size as a bitmap with scroll bars", 1},
               {"&Isotropic", "Zoom window in isotropic mode", 2},
               {"&Fit", "Zoom window in fitting mode", 3},
               {"&Total", "Zoom window to display total area", 4}};
  for (const auto& m : modes) {
    const int n = m.mode;
    QAction* a = add(mode, m.text, [this, n] {
      if (CKorndView* v = ActiveView()) v->OnViewMode(n);
    });
    a->setStatusTip(m.prompt);
    a->setCheckable(true);
    mode_[n] = a;
  }
  mode->addSeparator();
  mode_[5] = add(mode, "&Zoom in", on_view(&CKorndView::OnZoomIn));
  mode_[5]->setStatusTip("Zoom into selected area");
  mode_[5]->setCheckable(true);
  mode->addSeparator();
  mode_[0] = add(mode, "B&ack", on_view(&CKorndView::OnBack));
  mode_[0]->setStatusTip("Back to the previous view mode");
  connect(mode, &QMenu::aboutToShow, this, &CKorndMain::UpdateViewMenu);
  QMenu* window = new QMenu("&Window", this);
  QMenu* window0 = new QMenu("&Window", this);
  add(window, "&New Window", [this] { NewWindow(); });
  add(window, "&Cascade", [this] { Arrange(1); });
  add(window, "Tile &Horizontally", [this] { Arrange(2); });
  add(window, "Tile &Vertically", [this] { Arrange(3); });
  add(window, "&Arrange Icons", [this] { Arrange(4); });
  add(window, "&Fit Frame", on_view(&CKorndView::OnFitFrame))->setStatusTip("Fit the size of the frame to the active view");
  window->addSeparator();
  topmost_ = new QAction("Top Most(&T)", this);
  topmost_->setCheckable(true);
  connect(topmost_, &QAction::triggered, this, [this] { ShowFrame(IsTopmost() ? 12 : 11); });
  window->addAction(topmost_);
  window0->addAction(topmost_);
  QMenu* options = new QMenu("&Options", this);
  add(options, "&Text Font", [this] { ActiveDocCommand([](CKorndDoc& d) { d.MakeTextTool(); }); });
  add(options, "&Symbol Font", [this] { ActiveDocCommand([](CKorndDoc& d) { d.MakeSymbolTool(); }); });
  add(options, "&Foreground Color", [this] { ActiveDocCommand([](CKorndDoc& d) { d.MakeColorTool(1); }); });
  add(options, "&Background Color", [this] { ActiveDocCommand([](CKorndDoc& d) { d.MakeColorTool(2); }); });
  QMenu* help = new QMenu("&Help", this);
  add(help, "&About kornd...", about);
  add(help, "Library Manual (&m)", [this] { OnLibraryManual(); });
  for (QMenu* m : {file0, view0, window0, help}) frame_menus_.append(m->menuAction());
  for (QMenu* m : {file, edit, view, mode, window, options, help}) window_menus_.append(m->menuAction());
  UpdateMenus();
}

// The menus follow the active window, their check marks the modes.
void CKorndMain::UpdateMenus() {
  menuBar()->clear();
  const QList<QAction*>& menus = mdi_->activeSubWindow() ? window_menus_ : frame_menus_;
  for (QAction* m : menus) menuBar()->addAction(m);
  const QSignalBlocker b1(storing_), b2(buffering_), b3(inquiring_), b4(status_bar_);
  storing_->setChecked(default_storing);
  buffering_->setChecked(default_buffering);
  inquiring_->setChecked(default_inquiring);
  status_bar_->setChecked(status_shown);
  topmost_->setChecked(IsTopmost());
  const bool printer = !app_->page_metrics.no_printer;
  for (QAction* a : {print_, print_preview_, print_setup_, print_setup0_}) a->setEnabled(printer);
  UpdateViewMenu();
}

// The window View menu's states follow the active window.
void CKorndMain::UpdateViewMenu() {
  CKorndView* v = ActiveView();
  CKorndDoc* d = v ? v->Doc() : nullptr;
  const bool objects = d && !d->Tools().empty();
  for (QAction* a : {replay_, redraw_, clear_all_}) a->setEnabled(objects);
  view_storing_->setChecked(d && d->Storing());
  view_buffering_->setChecked(v && v->BackBuffer() != nullptr);
  view_inquiring_->setChecked(v && v->Inquiring());
  // The Mode menu: the mode's check mark; fitting needs something to fit, Back a zoom to undo.
  const int shown = v ? v->view_mode.mode : 0;
  for (int m = 1; m <= 5; ++m) mode_[m]->setChecked(shown == m);
  const bool picture = objects || (v && v->BackBuffer() && !v->BackBuffer()->IsEmpty());
  mode_[2]->setEnabled(picture);
  mode_[3]->setEnabled(picture);
  mode_[0]->setEnabled(v && !v->ZoomStackEmpty());
}

bool CKorndMain::TriggerCommand(CKorndChild* child, const QString& text) {
  mdi_->setActiveSubWindow(child);
  UpdateMenus();
  for (QAction* menu : window_menus_)
    for (QAction* a : menu->menu()->actions())
      if (a->text() == text || a->text().section('\t', 0, 0) == text) {  // with or without the accelerator
        if (!a->isEnabled()) return false;
        a->trigger();
        return true;
      }
  return false;
}

CKorndView* CKorndMain::ActiveView() const {
  auto* child = qobject_cast<CKorndChild*>(mdi_->activeSubWindow());
  return child ? child->View() : nullptr;
}

void CKorndMain::ActiveDocCommand(void (*command)(CKorndDoc&)) {
  auto* child = qobject_cast<CKorndChild*>(mdi_->activeSubWindow());
  if (child && child->Doc()) command(*child->Doc());
}

void CKorndMain::OnLibraryManual() {
  const QString name = "lKvin0998be.html";
  QString folder = app_->program_folder + "/";
  QString path = name;
  if (2 * folder.size() < 260) {
    path = folder + name;
    if (!QFileInfo::exists(path)) {
      const std::vector<File_Filter> documents{{"Document Files ( *.html, *.htm, *.txt, *.doc )", "*.html;*.htm;*.txt;*.doc"}};
      if (!ASK_FILE_NAME(false, path, QString(), documents, path)) return;
    }
  }
  if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path))) {
    const QString title = "Graphics Window";
    app_->ShowMessageText(QFileInfo::exists(path) ? "Error !" : "The specified file was not found.", &title,
                          MB_NOTICE);
  }
}

void CKorndMain::ShowCoordinates(int x, int y, int window) {
  UpdatePane(1, QString::asprintf("%2d-%2d/%2d: u=%d, v=%d", app_->instance, window, app_->OpenWindowCount(), x, y));
}

void CKorndMain::ShowViewRect(int left, int top, int right, int bottom) {
  UpdatePane(2, QString::asprintf("(%d, %d) - (%d, %d)", left, top, right, bottom));
}

void CKorndMain::Arrange(int n) {
  switch (n) {
    case channel::Arrange_Cascade: mdi_->cascadeSubWindows(); break;
    case channel::Arrange_Tile_Horizontal: {  // one above the other, full width
      QList<QMdiSubWindow*> subs = mdi_->subWindowList();
      int h = subs.isEmpty() ? 0 : mdi_->viewport()->height() / int(subs.size());
      for (int i = 0; i < subs.size(); ++i) {
        subs[i]->showNormal();
        subs[i]->setGeometry(0, i * h, mdi_->viewport()->width(), h);
      }
      break;
    }
    case channel::Arrange_Tile_Vertical: {  // side by side, full height
      QList<QMdiSubWindow*> subs = mdi_->subWindowList();
      int w = subs.isEmpty() ? 0 : mdi_->viewport()->width() / int(subs.size());
      for (int i = 0; i < subs.size(); ++i) {
        subs[i]->showNormal();
        subs[i]->setGeometry(i * w, 0, w, mdi_->viewport()->height());
      }
      break;
    }
    case channel::Arrange_Icons:  // the MDI area keeps minimised windows arranged along its bottom edge itself
      break;
    default: break;
  }
}

bool CKorndMain::IsTopmost() const { return windowFlags().testFlag(Qt::WindowStaysOnTopHint); }

void CKorndMain::ShowFrame(int code) {
  switch (code) {
    case 0: hide(); break;
    case 1: case 5: showMaximized(); break;
    case 2: case 6: case 7: showMinimized(); break;
    case 3: case 10: showNormal(); break;
    case 4: case 8: case 9: show(); break;
    case channel::Show_Topmost: case channel::Show_Not_Topmost: {
      bool visible = isVisible();
      setWindowFlag(Qt::WindowStaysOnTopHint, code == channel::Show_Topmost);
      if (visible) show();  // changing the flag hides the window
      if (topmost_) topmost_->setChecked(code == channel::Show_Topmost);
      break;
    }
    case channel::Show_Top: raise(); break;
    case channel::Show_Bottom: lower(); break;
    default: return;
  }
  update();
}

// The MDI area reports activations while its windows are destroyed with the frame; the menus
// must not follow them any more.
CKorndMain::~CKorndMain() { disconnect(mdi_, nullptr, this, nullptr); }

std::uint32_t CKorndMain::OnCopyData(const platform::Request_Packet& packet) {
  app_->client_gone = false;
  channel::Request r = channel::PARSE_REQUEST(packet.text, packet.length, packet.well_formed());
  if (app_->closing) {
    // A server that stopped serving still ends when asked: on a machine without a display
    // nobody could close its window.
    if (r.kind != channel::Request_Kind::Quit) return channel::Reply_Failed;
    app_->PostCloseMain();
    return channel::Reply_Quit;
  }
  switch (r.kind) {
    case channel::Request_Kind::Unparsable:
      return EntryError(QString("Internal Error-%1: [%s]").arg(r.error_number), packet);
    case channel::Request_Kind::Handshake:
      return Handshake(r);
    case channel::Request_Kind::Open_Window:
      return static_cast<std::uint32_t>(OpenWindow(r));
    case channel::Request_Kind::Quit:
      return Quit(r.mode);
    case channel::Request_Kind::Close_Window:
      return CloseWindow(r.window);
    case channel::Request_Kind::Window: {
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

std::uint32_t CKorndMain::Handshake(const channel::Request& r) {
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

int CKorndMain::OpenWindow(const channel::Request& r) {
  int show = r.show >= 0 && r.show <= 10 ? r.show : Show_Code_Maximised;
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
  SHOW_BY_CODE(child, show);
  // A window shown normal takes a part of the area, as the desktop's default does (a resize of
  // a maximised one would lay out the other maximised windows anew).
  if (!child->isMaximized() && !child->isMinimized()) child->resize(mdi_->viewport()->size() * 2 / 3);
  return w;
}

// A second frame on the active window's document, titled with its number among them.
void CKorndMain::NewWindow() {
  auto* active = qobject_cast<CKorndChild*>(mdi_->activeSubWindow());
  if (active == nullptr || active->Doc() == nullptr) return;
  CKorndDoc* doc = active->Doc();
  auto* child = new CKorndChild(active->SharedDoc(), active->ShowCode());
  const QString title = doc->Title();
  int k = 0;
  for (CKorndView* v : doc->Views())
    if (CKorndChild* f = v->Frame()) f->setWindowTitle(QString("%1:%2").arg(title).arg(++k));
  mdi_->addSubWindow(child);
  child->show();
  mdi_->setActiveSubWindow(child);
  child->View()->InvalidateWindow(nullptr, true);
}

std::uint32_t CKorndMain::CloseWindow(int w) {
  CKorndDoc* doc = app_->WindowDoc(w);
  if (doc == nullptr) return NoWindow();
  ClearPane(1);
  if (doc->Child() || !doc->Views().empty()) doc->CloseFrames();
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
    // A wait ended because its client hung up: the server goes on with the next client.
    if (app_->client_gone) return channel::Reply_Failed;
    if (app_->main_frame) {
      app_->closing = true;
      app_->PostCloseMain();
    }
    return channel::Reply_Failed;
  }
  // No yield here: the reply itself hands the turn to the waiting client.
  if (CKorndDoc* still = app_->WindowDoc(w); still == doc) {
    live_count_ = doc->ObjectCount() - doc->HiddenCount();
    const int shared = doc->TakeNewDataBuffer();
    if (reply != 0) reply_attachment_ = shared;
  }
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
  // Closing during a print preview asks first (not when the server already ends).
  if (app_->preview_open && !app_->closing && app_->ShowMessageID(IDS_ABORT, nullptr, MB_YESNO_ASK) != CKorndBox::IDYES) {
    event->ignore();
    return;
  }
  if (status_timer_ != 0) killTimer(status_timer_);
  status_timer_ = 0;
  for (int w = 1; w <= channel::Max_Window; ++w)  // every capture and wait ends
    if (CKorndDoc* doc = app_->WindowDoc(w); doc && doc->View()) doc->View()->OnUpdate(14, nullptr, nullptr);
  for (QMdiSubWindow* sub : mdi_->subWindowList()) sub->close();
  event->accept();
  app_->closing = true;
  QMetaObject::invokeMethod(app_, &QCoreApplication::quit, Qt::QueuedConnection);
}
