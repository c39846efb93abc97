// CKorndChild.h - the MDI child frame around one graphics window's view. It owns the window's
// document together with the other frames on it; closing the last frame closes the document
// (refused while a message box is up). The
// view sits beside the frame's scroll bars, which the view shows in its bitmap mode.
#pragma once

#include <QIcon>
#include <QMdiSubWindow>

#include <memory>

class CKorndDoc;
class CKorndView;
class QScrollBar;

// Shows a frame by a show code 0-10 (hide, maximise, minimise, restore, show, show maximised,
// show minimised, ..., show normal); other codes do nothing.
void SHOW_BY_CODE(QWidget* w, int code);
constexpr int Show_Code_Maximised = 5;  // also the code of an I request outside 0-10

class CKorndChild : public QMdiSubWindow {
  Q_OBJECT

 public:
  // A frame on the document; a second frame on one document is a second window on it.
  CKorndChild(std::shared_ptr<CKorndDoc> doc, int show_code);
  ~CKorndChild() override;

  CKorndDoc* Doc() const { return doc_.get(); }
  const std::shared_ptr<CKorndDoc>& SharedDoc() const { return doc_; }
  CKorndView* View() const { return view_; }
  int ShowCode() const { return show_code_; }
  QScrollBar* HorizontalBar() const { return hbar_; }
  QScrollBar* VerticalBar() const { return vbar_; }
  // The frame's small icon for a window with (true) or without a back buffer.
  static QIcon BufferingIcon(bool buffered);

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;

 private:
  std::shared_ptr<CKorndDoc> doc_;
  CKorndView* view_;
  QScrollBar* hbar_;
  QScrollBar* vbar_;
  int show_code_;
  bool closing_ = false;  // closed, waiting to be deleted
};
