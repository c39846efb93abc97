// CKorndMain.h - the server's main frame: an MDI frame whose request entry serves the
// channel's own letters (K handshake, I open window, J close window, L quit) and hands every
// other letter to the window's document; it owns the status bar with its panes and the
// 200-ms status timer, and keeps the default modes for new windows.
// Changes: the application's window table (through the documents), its closing state and
// client folder, the server's current folder, the instance block's line.
#pragma once

#include <QMainWindow>
#include <QString>

#include <cstdint>
#include <utility>  // std::exchange

#include "platform/Request_Channel.h"

class CKorndApp;
class CKorndDoc;
class QLabel;
class QMdiArea;
namespace channel {
struct Request;
}

// Thrown by a wait whose window or event loop ended; caught only by the request dispatch.
struct CKorndWaitEnded {};

class CKorndMain : public QMainWindow {
  Q_OBJECT

 public:
  explicit CKorndMain(CKorndApp* app);
  ~CKorndMain() override;

  // The request entry: one request packet in, its 32-bit reply out.
  std::uint32_t OnCopyData(const platform::Request_Packet& packet);
  // The shared data buffer the last request made, to go with its reply; else -1.
  int TakeReplyAttachment() { return std::exchange(reply_attachment_, -1); }

  std::uint32_t Handshake(const channel::Request& r);
  int OpenWindow(const channel::Request& r);
  std::uint32_t CloseWindow(int w);
  std::uint32_t Quit(int mode);
  std::uint32_t DispatchToWindow(CKorndDoc* doc, char letter);

  void ShowStatusBar(bool show);
  // Pane 1: instance, window, open windows and the mouse position in the picture.
  void ShowCoordinates(int x, int y, int window);
  // Pane 2: the view rectangle.
  void ShowViewRect(int left, int top, int right, int bottom);
  // 1 cascade, 2 tile horizontally, 3 tile vertically, 4 arrange icons; others nothing.
  void Arrange(int n);
  // "New Window": another frame on the active window's document.
  void NewWindow();
  // 0-10 show states, 11 topmost, 12 not topmost, 13 top, 14 bottom; others nothing.
  void ShowFrame(int code);
  bool IsTopmost() const;
  void UpdatePane(int n, const QString& text);
  void ClearPane(int n) { UpdatePane(n, QString()); }
  QString PaneText(int n) const;
  void SetLiveCount(int n) { live_count_ = n; }

  QMdiArea* MdiArea() const { return mdi_; }
  // The view of the active graphics window, or null.
  class CKorndView* ActiveView() const;
  // Enabled states and check marks of the graphics windows' View menu.
  void UpdateViewMenu();
  // Activates the window and runs its menu command of that text; false when there is none or
  // it is disabled.
  bool TriggerCommand(class CKorndChild* child, const QString& text);

  bool default_storing = true;
  bool default_buffering = true;
  bool default_inquiring = false;
  bool status_shown = true;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void timerEvent(QTimerEvent* event) override;

 private:
  std::uint32_t EntryError(const QString& format, const platform::Request_Packet& packet);
  std::uint32_t NoWindow();
  void StartStatusTimer();
  void CreateMenus();
  void UpdateMenus();
  void ActiveDocCommand(void (*command)(CKorndDoc&));
  void OnLibraryManual();

  CKorndApp* app_;
  QMdiArea* mdi_;
  QLabel* panes_[4] = {};
  QList<class QAction*> window_menus_;  // shown while a graphics window is active
  QList<class QAction*> frame_menus_;   // shown otherwise
  class QAction* storing_ = nullptr;
  class QAction* buffering_ = nullptr;
  class QAction* status_bar_ = nullptr;
  class QAction* inquiring_ = nullptr;
  class QAction* topmost_ = nullptr;
  class QAction* replay_ = nullptr;
  class QAction* redraw_ = nullptr;
  class QAction* clear_all_ = nullptr;
  class QAction* view_storing_ = nullptr;
  class QAction* view_buffering_ = nullptr;
  class QAction* view_inquiring_ = nullptr;
  class QAction* mode_[6] = {};  // the Mode menu: 0 Back, 1-4 the modes, 5 Zoom in
  class QAction* print_ = nullptr;
  class QAction* print_preview_ = nullptr;
  class QAction* print_setup_ = nullptr;
  class QAction* print_setup0_ = nullptr;  // the frame's File menu
  int status_timer_ = 0;
  int live_count_ = 0;
  int reply_attachment_ = -1;  // owned by a window's data buffer
};
