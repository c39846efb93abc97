// CKorndPrint.h - printing a window's picture: the page rectangle inside the document's
// margins, the page mapping for each view mode, the page drawn by replaying the document's
// list into a printer surface (an image of the page at the printer's resolution, painted 1:1
// onto the printer), the print command with the window's own printer set-up, and the
// non-modal print preview.
// Reads: the document's picture, margins, printer set-up and list; the view's mode, scale
// factors and back buffer; the application's page metrics and printer defaults.
// Changes: the application's printer defaults (replaced by the window's for a print), the
// document's printer set-up (taken back after it), the application's preview flag, the view's
// printing flag (for the duration of a page; the page's mapping is set up on a copy of the
// view's mode record with the printer's resolution as its creation resolution).
// Writes: the printer's page (a PDF through a temporary file renamed at the end).
#pragma once

#include <QImage>

#include "kornd/DrawUtil.h"
#include "kornd/KRmapping.h"

class CKorndDoc;
class CKorndView;
class KRdc;
class QPrinter;
class QPrintPreviewDialog;
class QWidget;

// The page mapping of one printed page: GDI mapping mode with window and viewport origins and
// extents; with copy_buffer the view's back buffer is copied at the viewport origin instead of
// a replay.
struct Print_Mapping : KRmapping {
  KRrect page;       // the page rectangle the page is clipped to (device pixels)
  bool copy_buffer = false;
  bool operator==(const Print_Mapping&) const = default;
};

// What the page mapping needs of the window and the printer.
struct Print_Page_Input {
  int mode = 2;                              // view mode 1-5
  int printer_dpi_x = 300, printer_dpi_y = 300;
  int server_dpi_x = 300, server_dpi_y = 300;
  int horzres = 3300, vertres = 2400;        // the printer's page in pixels
  int margin_x_mm = 5, margin_y_mm = 5;
  int client_width = 0, client_height = 0;   // the view's client size
  int scale_x = 1, scale_y = 1;              // the view's logical units per pixel
  KRrect picture;
  // Outside mode 1: the mode's logical window (empty: the picture), as the view's mapping
  // set-up gives it with the page in place of the device extent: the viewport union covered
  // (2), the drawing bounds (3), the picture (4), the view rectangle (5).
  KRrect window;
  bool preview = false;
  bool buffer_ready = false;                 // buffering on with an up-to-date back buffer
};

class CKorndPrint {
 public:
  // Margins in pixels: millimetres x dots per inch / 25 (integer division). The printable size
  // less both margins; outside mode 1 the client size fitted inside it with its aspect ratio
  // (a zero client size keeps the printable size).
  static KRrect PrintPageRect(int margin_x_mm, int margin_y_mm, int dpi_x, int dpi_y, int horzres, int vertres,
                              int mode, int client_width, int client_height);
  // The mapping of the page for the mode (see Print_Mapping).
  static Print_Mapping PageMapping(const Print_Page_Input& in);
  // What the page mapping needs of this window for a printer page (view null: the picture).
  static Print_Page_Input PageInput(CKorndDoc& doc, int mode, int horzres, int vertres, int dpi_x, int dpi_y,
                                    bool preview);
  // Draws the page into the printer surface dc (OnPrint): the mapping set, clipped to the
  // page and the picture replayed as it looks at the selected anchor, or the back buffer copied.
  static void OnPrint(CKorndDoc& doc, KRdc& dc, const Print_Mapping& m);
  // The page image (white paper, horzres x vertres) for the mode; a null image after a box
  // when the page is too large to be drawn or the margins leave no room on it.
  static QImage RenderPage(CKorndDoc& doc, int mode, int horzres, int vertres, int dpi_x, int dpi_y, bool preview);
  // Draws the page onto the printer: printed, no page (its box has been shown: too large, no
  // room inside the margins) or the printer failed. Print: true when printed.
  enum class Result { Printed, No_Page, Failed };
  static Result PrintPage(CKorndDoc& doc, QPrinter& printer, int mode, bool preview);
  static bool Print(CKorndDoc& doc, QPrinter& printer, int mode, bool preview = false);
  // The print command: nothing (false) without a printer; else the window's printer set-up
  // goes through the print dialog and one page is printed; the window keeps the set-up used.
  static bool OnFilePrint(CKorndDoc& doc);
  // Opens the print preview without blocking (null without a printer unless forced); it
  // closes with the window.
  static QPrintPreviewDialog* Preview(CKorndDoc& doc, QWidget* parent, bool even_without_printer = false);
};
