// CKorndPrint.h - printing a window's picture: the page rectangle inside the document's
// margins, the part of the picture a page shows for each area mode, drawing it onto a printer
// (a PDF file where no printer exists), the print command and the non-modal print preview.
// Reads: the document's picture, margins and area mode; the application's page metrics,
// printer orientation and no-printer flag. Changes: the application's preview flag.
#pragma once

#include "kornd/DrawUtil.h"

class CKorndDoc;
class QPrinter;
class QPrintPreviewDialog;
class QWidget;

class CKorndPrint {
 public:
  // Margins in pixels: millimetres x dots per inch / 25 (integer division). The printable size
  // less both margins; outside mode 1 the client size fitted inside it with its aspect ratio
  // (a zero client size keeps the printable size).
  static KRrect PrintPageRect(int margin_x_mm, int margin_y_mm, int dpi_x, int dpi_y, int horzres, int vertres,
                              int mode, int client_width, int client_height);
  // The picture's area a page of w x h printer pixels shows in the mode.
  static KRrect PrintArea(const CKorndDoc& doc, int mode, int w, int h, int printer_dpi_x, int printer_dpi_y);
  // Draws the page onto the printer; false when nothing could be drawn.
  static bool Print(CKorndDoc& doc, QPrinter& printer, int mode);
  // The print command: nothing (false) without a printer; else one page on the default printer.
  static bool OnFilePrint(CKorndDoc& doc);
  // Opens the print preview without blocking (null without a printer unless forced); it
  // closes with the window.
  static QPrintPreviewDialog* Preview(CKorndDoc& doc, QWidget* parent, bool even_without_printer = false);
};
