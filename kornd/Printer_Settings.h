// Printer_Settings.h - one printer set-up as a plain record that the application and every
// document keep a copy of (printer, output file, page size, orientation, resolution), moved into
// and out of a QPrinter; the print dialog's defaults; and the answers the print and print set-up
// dialogs take from the test seam (see README.md).
//
// A printer exists when the system's printing service names one, or when KORND_PDF_PRINTER is
// set: then a PDF printer writes pages to the file it names (or to the file a dialog answer
// gives). Reads: the system's printer list, KORND_PDF_PRINTER. Changes nothing beyond its records.
#pragma once

#include <QPageSize>
#include <QString>

class QPrinter;

struct Printer_Settings {
  bool valid = false;        // a printer is selected
  QString printer_name;      // a system printer; empty: the PDF printer
  QString output_file;       // the PDF printer's file
  QPageSize page_size = QPageSize(QPageSize::Letter);
  bool landscape = false;
  int resolution = 300;      // dots per inch

  bool operator==(const Printer_Settings&) const = default;
};

// The PDF printer's resolution and page.
constexpr int Pdf_Printer_Resolution = 300;

// The print dialog's defaults without a dialog: the system's default printer (or its first
// one), else the PDF printer when KORND_PDF_PRINTER is set, else an invalid record.
Printer_Settings DEFAULT_PRINTER_SETTINGS();
// True when the named system printer still exists (the PDF printer: while its variable is set).
bool PRINTER_STILL_THERE(const Printer_Settings& s);
// Sets up a printer from the record: the system printer, or PDF output to the record's file
// with no page margins. The page layout and resolution follow the record.
void APPLY_PRINTER_SETTINGS(const Printer_Settings& s, QPrinter& printer);
// The record of a printer's set-up (valid).
Printer_Settings PRINTER_SETTINGS_OF(const QPrinter& printer);

// What a print or print set-up dialog answered.
enum class Print_Answer { Ok, Cancel };
// Parses a dialog answer from the test seam into the record: "" or "OK" keeps it, "Cancel"
// cancels, otherwise settings "name=value" separated by ',': file=<PDF file> (relative to
// `folder`; the PDF printer), orientation=portrait|landscape, dpi=<1-2400>. Anything else
// cancels (the record is then unchanged).
Print_Answer PARSE_PRINT_ANSWER(const QString& answer, const QString& folder, Printer_Settings& s);
// Runs the print dialog (print_setup false) or the print set-up dialog on the record; under
// the test seam it logs "kornd dialog: [print|print setup] [<detail>] answer=..." instead and
// parses the answer. False when cancelled (the record is then unchanged).
bool ASK_PRINTER_SETTINGS(bool print_setup, Printer_Settings& s);
// "<printer or PDF>, <file>, <orientation>, <dpi> dpi": the detail a dialog logs.
QString DESCRIBE_PRINTER_SETTINGS(const Printer_Settings& s);
