// CKorndPrint.cpp - printing a window's picture (see CKorndPrint.h).
#include "kornd/CKorndPrint.h"

#include <QCoreApplication>
#include <QFile>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <algorithm>
#include <cstdint>
#include <cstdio>  // std::rename

#include "kornd/CKorndApp.h"
#include "kornd/CKorndBox.h"
#include "kornd/CKorndDoc.h"
#include "kornd/CKorndView.h"
#include "kornd/KRdc.h"

namespace {

// Largest page surface drawn (64 M pixels, 256 MB): a letter page at 600 dpi fits.
constexpr std::int64_t Max_Page_Pixels = std::int64_t(1) << 26;
constexpr int Preview_Growth = 4;  // pixels of the preview's frame around the page

int width_of(const KRrect& r) { return r.right - r.left; }
int height_of(const KRrect& r) { return r.bottom - r.top; }

// The window's message: titled with the window's title, the server's box title without one.
void tell(CKorndDoc& doc, const QString& text) {
  if (CKorndApp* app = KorndApp()) app->ShowMessageText(text, doc.Title().isEmpty() ? nullptr : &doc.Title(), MB_NOTICE);
}

int view_mode_of(CKorndDoc& doc) {
  CKorndView* v = doc.View();
  return v ? v->view_mode.mode : doc.ViewMode();
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

Print_Mapping CKorndPrint::PageMapping(const Print_Page_Input& in) {
  Print_Mapping m;
  m.page = PrintPageRect(in.margin_x_mm, in.margin_y_mm, in.printer_dpi_x, in.printer_dpi_y, in.horzres, in.vertres,
                         in.mode, in.client_width, in.client_height);
  const int pw = width_of(m.page), ph = height_of(m.page);
  m.viewport_org = {m.page.left, m.page.top};
  m.viewport_ext = {pw, ph};
  if (in.mode == 1) {
    if (in.printer_dpi_x == in.server_dpi_x && in.printer_dpi_y == in.server_dpi_y) {
      m.map_mode = 1;
      m.copy_buffer = !in.preview && in.buffer_ready;
    } else {
      m.map_mode = 7;
      const auto scaled = [](int size, int server, int printer) {
        return static_cast<int>(std::uint64_t(std::uint32_t(size)) * std::uint32_t(server) /
                                std::max<std::uint32_t>(1, std::uint32_t(printer)));
      };
      m.window_ext = {std::max(1, scaled(pw, in.server_dpi_x, in.printer_dpi_x)),
                      std::max(1, scaled(ph, in.server_dpi_y, in.printer_dpi_y))};
    }
    return m;
  }
  // The mode's logical window as the view's mapping set-up gives it for the page.
  m.map_mode = in.mode == 3 || in.mode == 4 || in.mode == 5 ? 8 : 7;
  KRrect window = in.window.IsEmpty() ? in.picture : in.window;
  if (in.preview) {
    const int gx = Preview_Growth * std::max(1, in.scale_x), gy = Preview_Growth * std::max(1, in.scale_y);
    window = {window.left - gx, window.top - gy, window.right + gx, window.bottom + gy};
    m.page = {m.page.left - Preview_Growth, m.page.top - Preview_Growth, m.page.right + Preview_Growth,
              m.page.bottom + Preview_Growth};
    m.viewport_org = {m.page.left, m.page.top};
    m.viewport_ext = {width_of(m.page), height_of(m.page)};
  }
  m.window_org = {window.left, window.top};
  m.window_ext = {std::max(1, width_of(window)), std::max(1, height_of(window))};
  return m;
}

Print_Page_Input CKorndPrint::PageInput(CKorndDoc& doc, int mode, int horzres, int vertres, int dpi_x, int dpi_y,
                                        bool preview) {
  Print_Page_Input in;
  CKorndApp* app = KorndApp();
  in.mode = mode;
  in.printer_dpi_x = dpi_x, in.printer_dpi_y = dpi_y;
  if (app) in.server_dpi_x = app->page_metrics.resolution_x, in.server_dpi_y = app->page_metrics.resolution_y;
  in.horzres = horzres, in.vertres = vertres;
  in.margin_x_mm = doc.PrintMarginX(), in.margin_y_mm = doc.PrintMarginY();
  in.picture = {0, 0, doc.PictureWidth(), doc.PictureHeight()};
  in.preview = preview;
  CKorndView* v = doc.View();
  // The view's mode record with the page in place of its device extent and the printer's
  // resolution as its creation resolution, for this page only.
  CKorndViewMode page_view;
  if (v) page_view = v->view_mode;
  else page_view.view_rect = in.picture, page_view.client_width = in.picture.right, page_view.client_height = in.picture.bottom;
  in.client_width = page_view.client_width, in.client_height = page_view.client_height;
  in.scale_x = page_view.scale_x, in.scale_y = page_view.scale_y;
  const KRrect page = PrintPageRect(in.margin_x_mm, in.margin_y_mm, dpi_x, dpi_y, horzres, vertres, mode,
                                    in.client_width, in.client_height);
  if (mode != 1 && !page.IsEmpty()) {
    page_view.mode = mode;
    page_view.device_width = page.right - page.left, page_view.device_height = page.bottom - page.top;
    page_view.creation_resolution_x = dpi_x, page_view.creation_resolution_y = dpi_y;
    page_view.resolution_x = in.server_dpi_x, page_view.resolution_y = in.server_dpi_y;
    const KRmapping wm = page_view.SetupMapping(doc, false, 1);
    in.window = {wm.window_org.x, wm.window_org.y, wm.window_org.x + wm.window_ext.x, wm.window_org.y + wm.window_ext.y};
  }
  // The buffer is brought up to date only where it would be copied.
  if (v && mode == 1 && !preview && dpi_x == in.server_dpi_x && dpi_y == in.server_dpi_y && v->Buffering())
    in.buffer_ready = v->UpdateBackBuffer() && v->BackBuffer() && !v->BackBuffer()->IsEmpty() &&
                      v->BackBuffer()->State() == 0;
  return in;
}

void CKorndPrint::OnPrint(CKorndDoc& doc, KRdc& dc, const Print_Mapping& m) {
  QImage* page = dc.Surface();
  if (page == nullptr) return;
  CKorndView* v = doc.View();
  if (m.copy_buffer && v && v->BackBuffer()) {
    const QImage& buffer = const_cast<CMemDIB*>(v->BackBuffer())->Surface();
    QPainter p(page);
    p.setClipRect(QRect(m.page.left, m.page.top, width_of(m.page), height_of(m.page)));
    p.drawImage(m.viewport_org.x, m.viewport_org.y, buffer);
    return;
  }
  dc.SetMapping(m);
  dc.SetClip(&m.page);
  CKorndGC env;
  doc.RenderAtAnchor(&dc, env);
}

QImage CKorndPrint::RenderPage(CKorndDoc& doc, int mode, int horzres, int vertres, int dpi_x, int dpi_y,
                               bool preview) {
  if (horzres <= 0 || vertres <= 0) return {};
  if (std::int64_t(horzres) * vertres > Max_Page_Pixels) {
    tell(doc, QString("The page of %1 x %2 pixels is too large to be printed.").arg(horzres).arg(vertres));
    return {};
  }
  const Print_Mapping m = PageMapping(PageInput(doc, mode, horzres, vertres, dpi_x, dpi_y, preview));
  if (m.page.IsEmpty()) {
    tell(doc, "The print margins leave no room on the page.");
    return {};
  }
  QImage page(horzres, vertres, QImage::Format_RGB32);
  if (page.isNull()) {
    tell(doc, "Not enough memory to print the page.");
    return page;
  }
  page.fill(Qt::white);
  CKorndView* v = doc.View();
  if (v) v->printing = true;
  {
    KRdc dc(&page);
    OnPrint(doc, dc, m);
  }
  if (v) v->printing = false;
  return page;
}

CKorndPrint::Result CKorndPrint::PrintPage(CKorndDoc& doc, QPrinter& printer, int mode, bool preview) {
  const int dpi_x = printer.logicalDpiX(), dpi_y = printer.logicalDpiY();
  const QImage page = RenderPage(doc, mode, printer.width(), printer.height(), dpi_x, dpi_y, preview);
  if (page.isNull()) return printer.width() > 0 && printer.height() > 0 ? Result::No_Page : Result::Failed;
  QPainter painter;
  if (!painter.begin(&printer)) return Result::Failed;
  // Colours exactly as drawn: no lossy compression of the page in a PDF.
  painter.setRenderHint(QPainter::LosslessImageRendering);
  painter.drawImage(0, 0, page);
  return painter.end() ? Result::Printed : Result::Failed;
}

bool CKorndPrint::Print(CKorndDoc& doc, QPrinter& printer, int mode, bool preview) {
  return PrintPage(doc, printer, mode, preview) == Result::Printed;
}

bool CKorndPrint::OnFilePrint(CKorndDoc& doc) {
  CKorndApp* app = KorndApp();
  if (app == nullptr || app->page_metrics.no_printer) return false;
  if (doc.PrinterSettings().valid) app->CopyPrinterSettings(doc.PrinterSettings());
  Printer_Settings s;
  bool printed = false;
  if (app->GetPrinterSettings(s) && ASK_PRINTER_SETTINGS(false, s)) {
    app->CopyPrinterSettings(s);
    QPrinter printer(QPrinter::HighResolution);
    APPLY_PRINTER_SETTINGS(s, printer);
    // A PDF goes to a temporary file beside its name first: a failed print leaves no half file
    // and an existing file as it was.
    const bool to_file = s.printer_name.isEmpty() && !s.output_file.isEmpty();
    const QString temporary = s.output_file + QString(".%1.tmp").arg(QCoreApplication::applicationPid());
    if (to_file) printer.setOutputFileName(temporary);
    Result r = to_file || !s.printer_name.isEmpty() ? PrintPage(doc, printer, view_mode_of(doc), false) : Result::Failed;
    if (to_file) {
      if (r == Result::Printed && std::rename(QFile::encodeName(temporary).constData(),
                                              QFile::encodeName(s.output_file).constData()) != 0)
        r = Result::Failed;
      if (r != Result::Printed) QFile::remove(temporary);
    }
    printed = r == Result::Printed;
    // A page that could not be drawn has told why already.
    if (r == Result::Failed)
      tell(doc, QString("Cannot print to %1.").arg(s.printer_name.isEmpty() ? s.output_file : s.printer_name));
  }
  doc.SetPrinterSettings(app->printer_defaults);
  return printed;
}

QPrintPreviewDialog* CKorndPrint::Preview(CKorndDoc& doc, QWidget* parent, bool even_without_printer) {
  CKorndApp* app = KorndApp();
  if (!even_without_printer && (app == nullptr || app->page_metrics.no_printer)) return nullptr;
  auto* dialog = new QPrintPreviewDialog(parent);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setModal(false);
  Printer_Settings s = doc.PrinterSettings();
  if (!s.valid && app) app->GetPrinterSettings(s);
  if (s.valid) APPLY_PRINTER_SETTINGS(s, *dialog->printer());
  CKorndDoc* d = &doc;
  QObject::connect(dialog, &QPrintPreviewDialog::paintRequested, dialog,
                   [d](QPrinter* printer) { Print(*d, *printer, view_mode_of(*d), true); });
  if (CKorndView* v = doc.View()) QObject::connect(v, &QObject::destroyed, dialog, &QWidget::close);
  if (app) {
    app->preview_open = true;
    QObject::connect(dialog, &QObject::destroyed, [] {
      if (CKorndApp* a = KorndApp()) a->preview_open = false;
    });
  }
  dialog->show();
  // Under the test seam the preview takes an answer: Close (or Cancel) closes it once shown.
  QString answer;
  if (CKorndBox::SeamAnswer("print preview", DESCRIBE_PRINTER_SETTINGS(s), answer) &&
      (answer.compare("Close", Qt::CaseInsensitive) == 0 || answer.compare("Cancel", Qt::CaseInsensitive) == 0)) {
    dialog->close();
    return nullptr;
  }
  return dialog;
}
