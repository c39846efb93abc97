// CKorndPrint.cpp - printing a window's picture (see CKorndPrint.h).
#include "kornd/CKorndPrint.h"

#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>

#include "kornd/CKorndApp.h"
#include "kornd/CKorndDoc.h"
#include "kornd/CKorndView.h"

namespace {

constexpr std::int64_t Max_Page_Pixels = std::int64_t(1) << 25;

int server_resolution(bool x) {
  CKorndApp* app = KorndApp();
  const int r = app ? (x ? app->page_metrics.resolution_x : app->page_metrics.resolution_y) : 300;
  return r > 0 ? r : 300;
}

}  // namespace

KRrect CKorndPrint::PrintPageRect(int margin_x_mm, int margin_y_mm, int dpi_x, int dpi_y, int horzres, int vertres,
                                  int mode, int client_width, int client_height) {
  const int mx = margin_x_mm * dpi_x / 25, my = margin_y_mm * dpi_y / 25;
  int w = std::max(0, horzres - 2 * mx), h = std::max(0, vertres - 2 * my);
  if (mode != 1 && client_width > 0 && client_height > 0 && w > 0 && h > 0) {
    int cw = client_width, ch = client_height;
    FitSize(cw, ch, w, h, false);
    w = cw, h = ch;
  }
  return {mx, my, mx + w, my + h};
}

KRrect CKorndPrint::PrintArea(const CKorndDoc& doc, int mode, int w, int h, int printer_dpi_x, int printer_dpi_y) {
  const KRrect whole{0, 0, doc.PictureWidth(), doc.PictureHeight()};
  switch (mode) {
    case 1:
      return {0, 0, static_cast<int>(std::int64_t(w) * server_resolution(true) / std::max(1, printer_dpi_x)),
              static_cast<int>(std::int64_t(h) * server_resolution(false) / std::max(1, printer_dpi_y))};
    case 2: {
      const KRrect& u = doc.ViewportUnion();
      if (u.IsEmpty() || w <= 0 || h <= 0) return whole;
      int aw = w, ah = h;
      FitSize(aw, ah, u.right - u.left, u.bottom - u.top, true);
      return {u.left, u.top, u.left + aw, u.top + ah};
    }
    case 3:
      return doc.Bounds().IsAllZero() ? whole : doc.Bounds();
    case 5:
      return doc.ViewportRect().IsEmpty() ? whole : doc.ViewportRect();
    default:
      return whole;
  }
}

bool CKorndPrint::Print(CKorndDoc& doc, QPrinter& printer, int mode) {
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  const int dpi_x = printer.logicalDpiX(), dpi_y = printer.logicalDpiY();
  int cw = doc.PictureWidth(), ch = doc.PictureHeight();
  if (CKorndView* v = doc.View(); v && v->width() > 0 && v->height() > 0) cw = v->width(), ch = v->height();
  const KRrect page = PrintPageRect(doc.PrintMarginX(), doc.PrintMarginY(), dpi_x, dpi_y, printer.width(), printer.height(),
                                    mode, cw, ch);
  int pw = page.right - page.left, ph = page.bottom - page.top;
  if (pw <= 0 || ph <= 0) return false;
  const KRrect area = PrintArea(doc, mode, pw, ph, dpi_x, dpi_y);
  // A page of many pixels is rendered smaller and stretched onto the page.
  int rw = pw, rh = ph;
  while (std::int64_t(rw) * rh > Max_Page_Pixels) rw = std::max(1, rw / 2), rh = std::max(1, rh / 2);
  const QImage image = doc.ExportImage(area, mode == 1 ? 3 : mode, rw, rh);
  if (image.isNull()) return false;
  painter.setClipRect(QRect(page.left, page.top, pw, ph));
  painter.drawImage(QRect(page.left, page.top, pw, ph), image);
  return painter.end();
}

bool CKorndPrint::OnFilePrint(CKorndDoc& doc) {
  CKorndApp* app = KorndApp();
  if (app == nullptr || app->page_metrics.no_printer) return false;
  QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (info.isNull()) return false;
  QPrinter printer(info, QPrinter::HighResolution);
  SetPrinterOrientation(printer, app->landscape);
  return Print(doc, printer, doc.ViewMode());
}

QPrintPreviewDialog* CKorndPrint::Preview(CKorndDoc& doc, QWidget* parent, bool even_without_printer) {
  CKorndApp* app = KorndApp();
  if (!even_without_printer && (app == nullptr || app->page_metrics.no_printer)) return nullptr;
  auto* dialog = new QPrintPreviewDialog(parent);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setModal(false);
  if (app) SetPrinterOrientation(*dialog->printer(), app->landscape);
  CKorndDoc* d = &doc;
  QObject::connect(dialog, &QPrintPreviewDialog::paintRequested, dialog,
                   [d](QPrinter* printer) { Print(*d, *printer, d->ViewMode()); });
  if (CKorndView* v = doc.View()) QObject::connect(v, &QObject::destroyed, dialog, &QWidget::close);
  if (app) {
    app->preview_open = true;
    QObject::connect(dialog, &QObject::destroyed, [] {
      if (CKorndApp* a = KorndApp()) a->preview_open = false;
    });
  }
  dialog->show();
  return dialog;
}
