// CKorndView.h - the view of one graphics window: the window's own persistent picture surface
// (the window DC, which the widget only copies when painting, so pixels read back exactly),
// an optional back buffer that repaints copy, and the replay of the document's list into
// either. Takes the document's update hints.
#pragma once

#include <QCursor>
#include <QImage>
#include <QWidget>

#include <deque>
#include <memory>
#include <optional>

#include "kornd/CKorndTool.h"
#include "kornd/CMemDIB.h"
#include "kornd/DrawUtil.h"
#include "kornd/CKorndViewMode.h"
#include "kornd/KRdc.h"

class CKorndDoc;
class CKorndGC;
class CKorndTool;

class CKorndView : public QWidget {
  Q_OBJECT

 public:
  explicit CKorndView(CKorndDoc* doc);

  // An update hint of the document (code in the low byte, parameter above).
  void OnUpdate(int hint, CKorndTool* tool, const KRrect* area);
  // Draws one object; 0, or channel::Reply_Refused when a wait inside it ended the drawing.
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
  // The rectangle (logical, through dc's transform) shows the background again: the picture at
  // the selected anchor from the snapshot, else the background colour.
  void RestoreBackground(KRdc& dc, const KRrect& r);
  // Replaces dc's clip by the device rectangle; returns it.
  KRrect ClipToRect(KRdc& dc, const KRrect& r);
  // Adds the area (null: the whole window) to the window's invalid area; the next paint erases
  // it (erase) and draws it.
  void InvalidateWindow(const KRrect* area, bool erase = true);
  // Serves the invalid area now (what a paint message does).
  void PaintPending();
  // --- the picture at the selected anchor (CKorndView_Buffer.cpp) ---
  // Brings the anchor snapshot (the picture up to the selected anchor) up to date; false when
  // no anchor is selected, the snapshot cannot be made or does not end at the anchor.
  bool UpdateAnchorSnapshot();
  const CMemDIB* AnchorSnapshot() const { return snapshot_.get(); }
  // "Flushing": the groups still being collected are drawn into the window.
  void OnFlushing();
  // The frame was activated or deactivated: a pending Buffering command is applied.
  void OnActivateView(bool activate);
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
  // An object or a replay is drawing (maybe paused, serving events).
  bool Busy() const { return drawing_ || replay_depth_ > 0; }
  // The frame was to be deleted while the view was busy: it goes once the drawing returns.
  void DeleteFrameWhenIdle() { frame_delete_pending_ = true; }
  CKorndDoc* Doc() const { return doc_; }
  // The child frame the view sits in (none while it has no frame).
  class CKorndChild* Frame() const;
  // Waits until base + ms (ticks in milliseconds), serving events meanwhile; returns the
  // milliseconds since base, 0 when no wait was started. Throws CKorndWaitEnded when the
  // window ends during the wait.
  std::uint32_t WaitUntil(std::int64_t ms, std::uint32_t base);
  // A group draws its members with the replay depth raised, so no nested replay starts.
  void EnterReplay() { ++replay_depth_; }
  void LeaveReplay() { if (replay_depth_ > 0) --replay_depth_; }
  // Ends every wait (the window or the server closes).
  void EndWaits();
  // Makes the running wait look at its flags (and the application's client-gone flag) again.
  void WakeWait() { Wake(); }

  // --- waits and input (CKorndView_Input.cpp) ---
  // Wait flags: a wait runs while any bit is set.
  enum Wait_Bit : unsigned {
    Wait_Point = 0x1, Wait_Rect = 0x2, Wait_Line = 0x4, Wait_Line_From = 0x8, Wait_Captures = 0xF,
    Wait_Timed = 0x10, Wait_Key_Up = 0x20, Wait_Key_Down = 0x40, Wait_Char = 0x80, Wait_Any = 0x100,
    Wait_All = 0x1FF
  };
  struct Key_Record {
    int key = 0, repeat = 0, flags = 0;  // virtual-key or character code
  };
  // What the view saw of the mouse and keyboard; the requests read and clear parts of it.
  struct Input_State {
    KRpoint point1, point2;  // capture points (picture pixels)
    bool band_shown = false, drag = false;
    int result = 0;  // 0 none, 1 left button, 2 right button, -1 Escape
    std::int32_t pixel = -1;  // colour under the last capture press
    int last_event = 0;
    int last_button = 0;
    KRpoint last_click{-1, -1};
    KRpoint mouse{-1, -1};
    Key_Record last_char, last_key_down, raw_down, raw_up;
    // Characters typed and not yet read by a character or any-event wait, oldest first, each
    // with the key press that typed it: a burst typed between two waits is not lost.
    struct Typed {
      Key_Record down, ch;
    };
    std::deque<Typed> typed;
    bool left_down = false, right_down = false;
    std::uint32_t deadline = 0;
  };
  Input_State input;
  unsigned WaitFlags() const { return wait_flags_; }
  bool HasFocus() const { return has_focus_; }
  void ArmWait(unsigned bits) { wait_flags_ |= bits; }
  void DisarmWait(unsigned bits) { wait_flags_ &= ~bits; }
  // 0 when a capture runs already, else 1 once the capture of the kind (1, 2, 4, 8) has ended.
  int StartCapture(int kind);
  // Ends the captures and the timed wait the mask selects (15 the captures, 0x1FF all).
  void EndCapture(unsigned mask);
  // Sets the bit and serves events until the view clears it.
  void WaitFor(unsigned bit);
  // Serves events until no wait flag is left; 0 when called from inside itself.
  int PumpWhileWaiting();
  // Status pane 0 after a capture result (kind 1, 2, 4, 8).
  void ShowCaptureText(int kind);
  // The "Pause/Abort" command: a running capture ends after "On capturing" is answered OK (Cancel
  // lets it go on and keeps the server serving), a running pause ends; then the next request
  // asks "Abort".
  void OnPauseAbort();
  // Windows virtual-key code of a Qt key (0 for keys without one).
  static int VirtualKey(int qt_key);
  // True when dc draws on the window itself (not on a copy of the picture).
  bool IsWindowDC(const KRdc& dc) const { return window_.Dc() == &dc; }
  // The window's picture (read by tests and the pixel request).
  const QImage& Surface();
  void SetDoc(CKorndDoc* doc) { doc_ = doc; }
  // Copies the rectangle of the picture (none or empty: the whole shown picture) stretched to
  // the client size into bitmap `slot` and, when asked, onto the clipboard. Returns the slot,
  // -1 when no bitmap could be made, a negative slot unchanged (nothing done).
  int CopyToClipboard(const KRrect* r, int slot, bool to_clipboard);
  // "Import Clipboard": the clipboard's image becomes bitmap 0; without one bitmap 0 stays.
  bool ImportClipboard();
  // Mode 0-5 (request B 15, the mode commands); the document's export mode follows.
  void SetViewMode(int m, const KRrect* r);
  CKorndViewMode view_mode;
  // Set while a page of this window is printed.
  bool printing = false;

  // --- view modes, zoom and scrolling (CKorndView_Zoom.cpp) ---
  // The shown rectangle, device extent and scale factors anew, with the mapping of the window's
  // surface and of both buffers.
  void RecalcViewRect();
  // Sets the mapping of the mode on a surface of this view (and removes its clip).
  void SetupMapping(KRdc& dc, int divisor = 1);
  // Mode 1: scroll bars for the picture; other modes none.
  void UpdateScrollSizes();
  // Keeps the scroll position inside the picture; with from_bars it is read from the bars.
  void ClampScroll(bool from_bars);
  // Client pixels and picture units; surface pixels (device) and picture units.
  KRpoint ToLogical(KRpoint client) const { return view_mode.ToLogical(client); }
  KRpoint ToClient(KRpoint logical) const { return view_mode.ToClient(logical); }
  KRrect ToDevice(const KRrect& logical) const;
  KRrect ToLogicalRect(const KRrect& device) const;
  // Picture units on a surface in its pixels: the view's own surfaces share the window's
  // mapping, any other surface (a page, a copy) goes through its own.
  KRrect DeviceOf(const KRdc& dc, const KRrect& logical) const;
  // Colour (0x00bbggrr) at a picture point, from the back buffer when there is one; -1 outside.
  std::int32_t ReadPixel(int x, int y);
  // The Mode menu: modes 1-4, the zoom-in selection, Back; and Fit Frame.
  void OnViewMode(int m);
  void OnZoomIn();
  void OnBack() { SetViewMode(0, nullptr); }
  void OnFitFrame();
  bool ZoomArmed() const { return zoom_armed_; }
  bool ZoomStackEmpty() const { return view_mode.stack.empty(); }
  // Ends the zoom-in selection without zooming.
  void DisarmZoom();
  // The scroll bars moved.
  void OnScrollBars();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void timerEvent(QTimerEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  // Focus: the status panes show this window; losing it drops a held key and the mouse grab.
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  // Tab and Shift+Tab are keys of the window, not focus moves.
  bool focusNextPrevChild(bool) override { return false; }

 private:
  bool EnsureSurface();
  std::int32_t Background() const;
  KRrect DeviceRect() const { return {0, 0, window_.Width(), window_.Height()}; }
  void OnEraseBkgnd(KRdc& dc, const KRrect& box);
  void SetCursorHint(int id);
  // The zoom-in selection's rubber band: press, drag and release of the left button (client
  // pixels); true when the event belonged to it.
  bool ZoomPress(QPoint p);
  bool ZoomMove(QPoint p);
  bool ZoomRelease(QPoint p);
  void DrawZoomBand(class QPainter& p);
  bool zoom_armed_ = false;
  bool zoom_tracking_ = false;
  QPoint zoom_from_, zoom_to_;
  bool zoom_cursor_saved_ = false;
  QCursor zoom_saved_cursor_;
  bool in_scroll_ = false;
  bool in_scroll_sizes_ = false;
  bool view_rect_set_ = false;  // the shown rectangle was computed once
  // The snapshot while it shows the selected anchor's picture, else null.
  CMemDIB* Snapshot() const;
  // True when the picture leaves out objects: an anchor below the last one is selected.
  bool AnchorGap() const;
  // From the last anchor pushed on to the end of the list (the objects after the anchors).
  void ReplayFromTopAnchor(KRdc& dc, CKorndGC& env, const KRrect* clip);

  CKorndDoc* doc_;
  CMemDIB window_;                     // the window DC's surface
  std::unique_ptr<CMemDIB> buffer_;    // the back buffer
  std::unique_ptr<CMemDIB> snapshot_;  // the anchor snapshot
  bool buffering_ = true;              // taken from the frame's default when the surface is made
  bool buffering_started_ = false;
  bool pending_toggle_ = false;        // a Buffering command that came while an object was drawn
  bool snapshot_at_anchor_ = false;    // the snapshot's last replay stopped at the anchor
  int snapshot_anchor_ = 0;            // id of the anchor the snapshot was replayed up to
  bool anchor_gap_ = false;            // the picture leaves out objects between two anchors
  bool updating_back_ = false;         // the back buffer is being replayed into
  bool updating_snapshot_ = false;     // the snapshot is being replayed into
  bool drawing_ = false;               // an object is being drawn
  bool drew_ = false;                  // the last object drawn put something on the surface
  bool list_reset_ = false;            // the list was cleared while a replay ran
  bool frame_delete_pending_ = false;  // see DeleteFrameWhenIdle
  // Deletes the frame DeleteFrameWhenIdle held back, once nothing draws any more.
  void DeleteHeldFrame();
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
  bool ended_ = false;
  class QEventLoop* wait_loop_ = nullptr;
  unsigned wait_flags_ = 0;
  int wait_timer_ = 0;
  bool pumping_ = false;
  bool has_focus_ = false;
  QString capture_text_;
  // Wakes the running wait loop so that it looks at the flags again.
  void Wake();
  void DrawBand(class QPainter& p);
  void OnMouseMove(KRpoint p);
  // During an any-event wait the arrow keys move the pointer by 8 pixels, 32 with Shift, 1 with
  // Ctrl; the view's mouse position follows (also where no pointer exists, as offscreen).
  void OnKeyDown(int vk, int repeat, int flags, Qt::KeyboardModifiers modifiers);
  void OnChar(int c, int repeat, int flags);
  void OnKeyUp(int vk, int repeat, int flags);
  // Input ends an any-event wait and its deadline.
  void EndAnyWait(unsigned extra);
  // Grabs the mouse for a pick (where a pointer exists) or lets it go.
  void HoldMouse(bool hold);
};
