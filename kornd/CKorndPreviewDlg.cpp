// CKorndPreviewDlg.cpp - see CKorndPreviewDlg.h.
#include "kornd/CKorndPreviewDlg.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <cstdlib>  // std::abs

#include "kornd/CDib.h"
#include "kornd/CKorndBox.h"

namespace {

constexpr int Small_Side = 128;
constexpr double Screen_Share = 0.8;
int open_previews = 0;

// The zoom in tenths, rounded as the caption shows it.
int tenths(double zoom) { return static_cast<int>(zoom * 10 + 0.5); }

int truncated(double v) { return v >= 2147483647.0 ? 2147483647 : static_cast<int>(v); }

}  // namespace

CKorndPreviewDlg::Sizing CKorndPreviewDlg::SizeFor(int width, int height, int screen_width, int screen_height) {
  Sizing s;
  s.width = width;
  s.height = height;
  if (width <= 0 || height <= 0) return s;
  if (width < Small_Side || height < Small_Side) {
    s.zoom = std::max((width + 127.0) / width, (height + 127.0) / height);
    s.width = truncated(width * s.zoom);
    s.height = truncated(height * s.zoom);
  }
  if (screen_width > 0 && screen_height > 0 && (s.width >= screen_width || s.height >= screen_height)) {
    const double f = std::min(Screen_Share * screen_width / s.width, Screen_Share * screen_height / s.height);
    s.zoom *= f;  // the caption tells the zoom the picture is really shown at
    s.width = truncated(s.width * f);
    s.height = truncated(s.height * f);
  }
  return s;
}

QString CKorndPreviewDlg::Caption(const QString& title, int width, int height, double zoom) {
  const int z = tenths(zoom);
  if (z == 0) return QString();
  if (!title.isEmpty()) return title;
  if (z == 10) return QString::asprintf(" %d x %d", width, height);
  return QString::asprintf(" %d x %d (%d.%dx)", width, height, z / 10, z % 10);
}

CKorndPreviewDlg::CKorndPreviewDlg(const QString& title, const CDib* bitmap, QWidget* parent) : QDialog(parent) {
  ++open_previews;
  if (bitmap == nullptr) return;
  const int w = bitmap->Width(), h = std::abs(bitmap->Height());
  if (std::int64_t(w) * h == 0) {
    showable_ = false;
    return;
  }
  picture_ = bitmap->Image().copy();  // the document may replace its bitmap while this is open
  const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
  const QSize area = screen ? screen->size() : QSize();
  sizing_ = SizeFor(w, h, area.width(), area.height());
  if (tenths(sizing_.zoom) == 0) return;
  resize(sizing_.width, sizing_.height);
  setWindowTitle(Caption(title, w, h, sizing_.zoom));
}

CKorndPreviewDlg::~CKorndPreviewDlg() { --open_previews; }

int CKorndPreviewDlg::OpenCount() { return open_previews; }

void CKorndPreviewDlg::Open(bool modal, const QString& title, const CDib* bitmap, QWidget* parent) {
  auto* dialog = new CKorndPreviewDlg(title, bitmap, parent);
  QString answer;
  if (!dialog->Showable() ||
      CKorndBox::SeamAnswer("preview", QString("%1, %2 x %3").arg(dialog->windowTitle()).arg(dialog->width()).arg(dialog->height()),
                            answer)) {
    delete dialog;
    return;
  }
  if (modal) {
    dialog->exec();
    delete dialog;
    return;
  }
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setModal(false);
  dialog->showNormal();
}

void CKorndPreviewDlg::paintEvent(QPaintEvent*) {
  if (picture_.isNull()) return;
  QPainter p(this);
  p.setRenderHint(QPainter::SmoothPixmapTransform, false);
  p.drawImage(QRect(0, 0, sizing_.width, sizing_.height), picture_);
}
