// Drawing printed pages of a window of many objects, in process: the page replayed through the
// page mapping at 300 and 600 dpi, and a whole print into a PDF file. Prints figures, not a test.
#include <QPrinter>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include <unistd.h>  // getpid

#include "kornd/CKorndApp.h"
#include "kornd/CKorndDoc.h"
#include "kornd/CKorndPrint.h"
#include "kornd/CKorndView.h"

#include "Bench_Clock.h"
#include "Kornd_Window.h"
#include "kornd/Printer_Settings.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  setenv("KORND_TEST_ANSWERS", "", 1);
  CKorndApp app(argc, argv);
  constexpr int Lines = 100000, Rectangles = 10000;
  Kornd_Window window(1, 1000, 800);
  CKorndDoc* doc = &window.doc();
  channel::KRwinblock& b = *doc->block();
  for (int i = 0; i < Lines; ++i) {
    b.a[0] = i % 1000, b.a[1] = (i * 7) % 800;
    doc->AddNewTool(i % 2 ? 20 : 11, b.a[0], b.a[1]);  // move and line
  }
  for (int i = 0; i < Rectangles; ++i) {
    const int x = (i * 37) % 950, y = (i * 53) % 750;
    b.a[0] = 1 + i % 15, b.a[1] = 0, b.a[2] = x, b.a[3] = y, b.a[4] = x + 40, b.a[5] = y + 30;
    doc->AddNewTool(22, b.a[0], b.a[1]);
  }
  std::printf("window of %d objects (%d lines, %d filled rectangles), 1000 x 800\n", doc->ObjectCount(), Lines / 2,
              Rectangles);
  for (int mode : {3, 4}) {
    for (int dpi : {300, 600}) {
      auto t = std::chrono::steady_clock::now();
      const QImage page = CKorndPrint::RenderPage(*doc, mode, 11 * dpi, 17 * dpi / 2, dpi, dpi, false);
      std::printf("mode %d, letter page at %d dpi (%d x %d): %.3f s%s\n", mode, dpi, page.width(), page.height(),
                  seconds_since(t), page.isNull() ? "  NOT DRAWN" : "");
    }
  }
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("kornd_print_bench." + std::to_string(getpid()) + ".pdf");
  Printer_Settings s;
  s.valid = true;
  s.output_file = QString::fromStdString(file.string());
  s.landscape = true;
  QPrinter printer(QPrinter::HighResolution);
  APPLY_PRINTER_SETTINGS(s, printer);
  auto t = std::chrono::steady_clock::now();
  const bool printed = CKorndPrint::Print(*doc, printer, 4);
  const double print_s = seconds_since(t);
  std::error_code ignored;
  const auto bytes = std::filesystem::file_size(file, ignored);
  std::printf("whole print into a PDF at 300 dpi: %.3f s, %llu bytes%s\n", print_s,
              static_cast<unsigned long long>(bytes), printed ? "" : "  PRINT FAILED");
  std::filesystem::remove(file, ignored);
  return printed ? 0 : 1;
}
