// Test support: a page drawn on the plotting library's GIF device in a scratch folder,
// decoded once it is closed.
#pragma once

#include <cpgplot.h>
#include <gtest/gtest.h>

#include <QImage>
#include <string>

#include "tests/result_files/Scratch_Folder.h"

class Gif_Page {
 public:
  explicit Gif_Page(const Scratch_Folder& folder, const std::string& name = "page.gif")
      : path_(folder / name), device_(cpgopen((path_ + "/GIF").c_str())) {
    if (device_ > 0) cpgask(0);
  }
  ~Gif_Page() {
    if (device_ > 0) CLOSE();
  }
  Gif_Page(const Gif_Page&) = delete;
  Gif_Page& operator=(const Gif_Page&) = delete;

  int device() const { return device_; }

  // Closes the device and reads the picture back.
  QImage CLOSE() {
    if (device_ > 0) {
      cpgslct(device_);
      cpgclos();
      device_ = 0;
    }
    return QImage(QString::fromStdString(path_), "GIF");
  }

 private:
  std::string path_;
  int device_;
};

// The colour of a pixel as 0xRRGGBB.
inline unsigned RGB_AT(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFFu; }
