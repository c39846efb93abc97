// CKorndView.h - the view of one graphics window: the window's own persistent picture surface
// (the window DC, which the widget only copies when painting, so pixels read back exactly),
// an optional back buffer that repaints copy, and the replay of the document's list into
// either. Takes the document's update hints.
#pragma once

#include <QImage>
#include <QWidget>

#include <memory>
#include <optional>

#include "kornd/CKorndTool.h"
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
  // A full repaint now (all buffers wholly stale); with replay_command the Replay command,
  // which also performs the timed pauses that repaints pass over.
  void ReplayAll(bool replay_command = false);

  // --- drawing, replay and the back buffer (CKorndView_Buffer.cpp) ---
  // Paints the box (device pixels) of the window DC or another DC.
  void OnDraw(KRdc& dc, const KRrect& box);
  // Draws a logical area of the picture into dc (null: the whole picture).
  void Redraw(KRdc& dc, const KRrect* area);
  // Draws the list from env's replay position; the node after the one it stopped at (stop id),
  // or none at the end. Objects outside clip are skipped but still carry the pen.
  std::optional<ToolList::iterator> ReplayList(KRdc& dc, CKorndGC& env, int stop_id, const KRrect* clip);
  // Hint 3: a new object into the window at once, into the back buffer at once (storing off) or
  // at the next repaint (storing on).
  void DrawNewTool(CKorndTool* tool);
  // With storing on: the bits (2 stale area, 4 size, 8 whole) on the back buffer, with both also
  // on the anchor snapshot.
  void MarkBuffers(unsigned bits, const KRrect* area, bool both);
  // Makes or keeps a buffer of the device extent; false after the fatal error box.
  bool MakeBuffer(std::unique_ptr<CMemDIB>& slot);
  // Brings the back buffer up to date by replaying its stale area; false when it cannot be made.
  bool UpdateBackBuffer();
  // Buffering on or off; returns the new buffering flag.
  bool SetBuffering(bool on);
  // Paints an area (null or all zero: the whole) with the background; returns it.
  KRrect EraseArea(KRdc& dc, const KRrect* area);
  // The rectangle grown by 1 left and top, 2 right and bottom, refilled with the background.
  void RestoreBackground(KRdc& dc, const KRrect& r);
  // Replaces dc's clip by the device rectangle; returns it.
  KRrect ClipToRect(KRdc& dc, const KRrect& r);
  // Adds the area (null: the whole window) to the window's invalid area; the next paint erases
  // it (erase) and draws it.
  void InvalidateWindow(const KRrect* area, bool erase = true);
  // Serves the invalid area now (what a paint message does).
  void PaintPending();
  // The view's commands.
  void OnReplay();
  void OnRedraw();
  void OnBuffering();
  void OnStoring();
  void OnInquiring() { inquiring_ = !inquiring_; }
  bool Buffering() const { return buffering_; }
  bool Inquiring() const { return inquiring_; }
  const CMemDIB* BackBuffer() const { return buffer_.get(); }
  bool InReplay() const { return replay_depth_ > 0; }
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
  bool IsWindowDC(const KRdc& dc) const { return window_.Dc() == &dc; }
  // The window's picture (read by tests and the pixel request).
  const QImage& Surface();
  void SetDoc(CKorndDoc* doc) { doc_ = doc; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  bool EnsureSurface();
  std::int32_t Background() const;
  KRrect DeviceRect() const { return {0, 0, window_.Width(), window_.Height()}; }
  void OnEraseBkgnd(KRdc& dc, const KRrect& box);
  void SetCursorHint(int id);

  CKorndDoc* doc_;
  CMemDIB window_;                     // the window DC's surface
  std::unique_ptr<CMemDIB> buffer_;    // the back buffer
  std::unique_ptr<CMemDIB> snapshot_;  // the anchor snapshot
  bool buffering_ = true;              // taken from the frame's default when the surface is made
  bool buffering_started_ = false;
  bool pending_toggle_ = false;        // a Buffering command that came while an object was drawn
  bool drawing_ = false;               // an object is being drawn
  bool drew_ = false;                  // the last object drawn put something on the surface
  bool list_reset_ = false;            // the list was cleared while a replay ran
  bool inquiring_ = false;
  bool replay_all_ = false;            // set by the Replay command until the end of Redraw
  bool painting_ = false;
  bool size_changed_ = false;
  KRrect invalid_;                     // the window's area waiting for a paint
  bool invalid_erase_ = false;
  bool paint_posted_ = false;
  KRrect pending_invalid_;             // paints that came while a replay ran
  int replay_depth_ = 0;
  bool replay_command_ = false;  // the Replay command runs: pauses are performed
  bool waiting_ = false;
  bool ended_ = false;
  class QEventLoop* wait_loop_ = nullptr;
};
