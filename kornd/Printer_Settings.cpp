// Printer_Settings.cpp - printer set-up records, the dialogs' defaults and the seam's answers
// (see Printer_Settings.h).
#include "kornd/Printer_Settings.h"

#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStringList>

#include <cstdlib>  // std::getenv

#include "kornd/CKorndApp.h"
#include "kornd/CKorndBox.h"

namespace {

constexpr int Max_Resolution = 2400;

bool pdf_printer_set() { return std::getenv("KORND_PDF_PRINTER") != nullptr; }

QString client_folder() {
  CKorndApp* app = KorndApp();
  return app && !app->client_folder.isEmpty() ? app->client_folder : QDir::currentPath();
}

}  // namespace

Printer_Settings DEFAULT_PRINTER_SETTINGS() {
  Printer_Settings s;
  QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (info.isNull() && !QPrinterInfo::availablePrinters().isEmpty()) info = QPrinterInfo::availablePrinters().first();
  if (!info.isNull()) {
    s.valid = true;
    s.printer_name = info.printerName();
    s.page_size = info.defaultPageSize().isValid() ? info.defaultPageSize() : QPageSize(QPageSize::Letter);
    QPrinter printer(info, QPrinter::HighResolution);
    s.resolution = printer.resolution() > 0 ? printer.resolution() : Pdf_Printer_Resolution;
    return s;
  }
  if (!pdf_printer_set()) return s;
  s.valid = true;
  const QString file = QString::fromLocal8Bit(std::getenv("KORND_PDF_PRINTER"));
  s.output_file = file.isEmpty() ? QString() : QFileInfo(QDir(client_folder()), file).absoluteFilePath();
  s.page_size = QPageSize(QPageSize::Letter);
  s.resolution = Pdf_Printer_Resolution;
  return s;
}

bool PRINTER_STILL_THERE(const Printer_Settings& s) {
  if (!s.valid) return false;
  if (s.printer_name.isEmpty()) return pdf_printer_set();
  return !QPrinterInfo::printerInfo(s.printer_name).isNull();
}

void APPLY_PRINTER_SETTINGS(const Printer_Settings& s, QPrinter& printer) {
  if (!s.printer_name.isEmpty()) {
    printer.setPrinterName(s.printer_name);
  } else {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(s.output_file);
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
  }
  printer.setResolution(s.resolution);
  printer.setPageSize(s.page_size);
  printer.setPageOrientation(s.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

Printer_Settings PRINTER_SETTINGS_OF(const QPrinter& printer) {
  Printer_Settings s;
  s.valid = true;
  if (printer.outputFormat() == QPrinter::NativeFormat) s.printer_name = printer.printerName();
  else s.output_file = printer.outputFileName();
  s.page_size = printer.pageLayout().pageSize();
  s.landscape = printer.pageLayout().orientation() == QPageLayout::Landscape;
  s.resolution = printer.resolution();
  return s;
}

Print_Answer PARSE_PRINT_ANSWER(const QString& answer, const QString& folder, Printer_Settings& s) {
  const QString a = answer.trimmed();
  if (a.isEmpty() || a.compare("OK", Qt::CaseInsensitive) == 0) return Print_Answer::Ok;
  Printer_Settings changed = s;
  for (const QString& item : a.split(',')) {
    const qsizetype eq = item.indexOf('=');
    if (eq <= 0) return Print_Answer::Cancel;
    const QString key = item.left(eq).trimmed().toLower(), value = item.mid(eq + 1).trimmed();
    if (key == "file" && !value.isEmpty()) {
      changed.printer_name.clear();
      changed.output_file = QFileInfo(QDir(folder), value).absoluteFilePath();
    } else if (key == "orientation" && (value == "portrait" || value == "landscape")) {
      changed.landscape = value == "landscape";
    } else if (key == "dpi") {
      bool ok = false;
      const int dpi = value.toInt(&ok);
      if (!ok || dpi < 1 || dpi > Max_Resolution) return Print_Answer::Cancel;
      changed.resolution = dpi;
    } else {
      return Print_Answer::Cancel;
    }
  }
  s = changed;
  return Print_Answer::Ok;
}

QString DESCRIBE_PRINTER_SETTINGS(const Printer_Settings& s) {
  return QString("%1, %2, %3, %4 dpi")
      .arg(s.printer_name.isEmpty() ? QString("PDF") : s.printer_name, s.output_file,
           s.landscape ? QString("landscape") : QString("portrait"))
      .arg(s.resolution);
}

bool ASK_PRINTER_SETTINGS(bool print_setup, Printer_Settings& s) {
  QString answer;
  if (CKorndBox::SeamAnswer(print_setup ? "print setup" : "print", DESCRIBE_PRINTER_SETTINGS(s), answer))
    return PARSE_PRINT_ANSWER(answer, client_folder(), s) == Print_Answer::Ok;
  QPrinter printer(QPrinter::HighResolution);
  APPLY_PRINTER_SETTINGS(s, printer);
  int result;
  if (print_setup) {
    QPageSetupDialog dialog(&printer);
    result = dialog.exec();
  } else {
    QPrintDialog dialog(&printer);
    dialog.setMinMax(1, 1);
    result = dialog.exec();
  }
  if (result != QDialog::Accepted) return false;
  s = PRINTER_SETTINGS_OF(printer);
  return true;
}
