// CKorndView.h - the view of one graphics window: shows its document's picture on the
// window's background colour and takes the document's update hints.
#pragma once

#include <QWidget>

class CKorndDoc;
class CKorndTool;
struct KRrect;

class CKorndView : public QWidget {
  Q_OBJECT

 public:
  explicit CKorndView(CKorndDoc* doc);

  // An update hint of the document (code in the low byte, parameter above).
  void OnUpdate(int hint, CKorndTool* tool, const KRrect* area);
  CKorndDoc* Doc() const { return doc_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  CKorndDoc* doc_;
};
