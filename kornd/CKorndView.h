// CKorndView.h - the view of one graphics window: a persistent picture surface (the window's
// back buffer, which the widget only copies when painting, so pixels read back exactly) into
// which new objects are drawn at once and the document's list is replayed when the picture
// must be made anew. Takes the document's update hints.
#pragma once

#include <QImage>
#include <QWidget>

#include <memory>

#include "kornd/CMemDIB.h"
#include "kornd/KRdc.h"

class CKorndDoc;
class CKorndGC;
class CKorndTool;
struct KRrect;

class CKorndView : public QWidget {
  Q_OBJECT

 public:
  explicit CKorndView(CKorndDoc* doc);

  // An update hint of the document (code in the low byte, parameter above).
  void OnUpdate(int hint, CKorndTool* tool, const KRrect* area);
  // Draws one object; 0, or 0x80000002 when a wait inside it ended the drawing.
  std::uint32_t DrawTool(CKorndTool* tool, CKorndGC& env, KRdc& dc, std::uint32_t mask);
  // Makes the picture anew: background, then the whole list with a fresh environment; the
  // Replay command also performs the timed pauses that repaints pass over.
  void ReplayAll(bool replay_command = false);
  CKorndDoc* Doc() const { return doc_; }
  // Waits until base + ms (ticks in milliseconds), serving events meanwhile; returns the
  // milliseconds since base, 0 when no wait was started. Throws CKorndWaitEnded when the
  // window ends during the wait.
  std::uint32_t WaitUntil(std::int64_t ms, std::uint32_t base);
  // A group draws its members with the replay depth raised, so no nested replay starts.
  void EnterReplay() { ++replay_depth_; }
  void LeaveReplay() { if (replay_depth_ > 0) --replay_depth_; }
  // Ends every wait (the window or the server closes).
  void EndWaits();
  // True when dc draws on the window itself (not on a copy of the picture).
  bool IsWindowDC(const KRdc& dc) const { return back_.Dc() == &dc; }
  // The window's picture (read by tests and the pixel request).
  const QImage& Surface();
  void SetDoc(CKorndDoc* doc) { doc_ = doc; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  bool EnsureSurface();
  void FillBackground();

  CKorndDoc* doc_;
  CMemDIB back_;  // the back buffer
  int replay_depth_ = 0;
  bool replay_command_ = false;  // the Replay command runs: pauses are performed
  bool waiting_ = false;
  bool ended_ = false;
  class QEventLoop* wait_loop_ = nullptr;
};
