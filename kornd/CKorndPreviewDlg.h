// CKorndPreviewDlg.h - the picture preview: a plain dialog whose whole client area shows one
// bitmap, sized to it (small bitmaps enlarged, ones as large as the screen reduced) and captioned
// with its title, or without one with the bitmap's size and zoom.
// Under KORND_TEST_ANSWERS it is not shown: it logs
// "kornd dialog: [preview] [<caption>, <shown width> x <shown height>] answer=<answer>" and takes
// one answer of the list (whatever it is, the preview is closed).
// Changes: the count of open previews.
#pragma once

#include <QDialog>
#include <QImage>
#include <QString>

class CDib;

class CKorndPreviewDlg : public QDialog {
 public:
  // The size a width x height bitmap is shown at on a screen, and its zoom factor.
  struct Sizing {
    double zoom = 1.0;
    int width = 0, height = 0;
  };
  // Bitmaps narrower or lower than 128 pixels are enlarged; a shown size that reaches the
  // screen's (when one is known, sizes > 0) is reduced to 0.8 of it. The zoom is the product.
  static Sizing SizeFor(int width, int height, int screen_width, int screen_height);
  // The caption: the title; without one " <w> x <h>", with " (<z>.<z>x)" unless the zoom
  // rounds to 1.0. Empty when the zoom rounds to 0 (the window keeps its plain form).
  static QString Caption(const QString& title, int width, int height, double zoom);

  // A preview of the bitmap (none: the plain dialog), sized and captioned; not yet shown.
  CKorndPreviewDlg(const QString& title, const CDib* bitmap, QWidget* parent);
  ~CKorndPreviewDlg() override;
  // False for a bitmap without pixels: there is nothing to show.
  bool Showable() const { return showable_; }
  const Sizing& Shown() const { return sizing_; }
  // Opens a preview: modal runs it to its end; otherwise it stays open and deletes itself when
  // closed. Nothing is shown for a bitmap without pixels.
  static void Open(bool modal, const QString& title, const CDib* bitmap, QWidget* parent);
  // Previews open now.
  static int OpenCount();

 protected:
  void paintEvent(class QPaintEvent* event) override;

 private:
  QImage picture_;
  Sizing sizing_;
  bool showable_ = true;
};
