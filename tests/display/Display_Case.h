// Test support for the redraw: N result files over an NX x NY field, each a constant value,
// with limits 0 to 1 and the start-up settings, drawn on a GIF page or the null device.
#pragma once

#include <cpgplot.h>
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <vector>

#include "records/Console.h"
#include "records/Globals.h"
#include "main/Initialise.h"
#include "result_files/Display_Arrays.h"
#include "tests/display/Gif_Page.h"

class Display_Case : public ::testing::Test {
 protected:
  void SetUp() override {
    RESET_GLOBALS();
    DEFAULT_SETTINGS();
    saved_cerr_ = std::cerr.rdbuf(pgplot_warnings_.rdbuf());
  }
  void TearDown() override {
    std::cerr.rdbuf(saved_cerr_);
    RESET_GLOBALS();
  }

  // n files over nx x ny cells, file k holding values[k-1] everywhere, limits 0 to 1.
  void make_files(const std::vector<float>& values, int nx, int ny) {
    auto& r = Result_Set;
    const int n = static_cast<int>(values.size());
    r.Number_Of_Solutions = n;
    for (auto* a : {&r.Current_Min, &r.Current_Max, &r.Time}) a->ALLOCATE({Bounds{1, n}});
    r.Time_Step_Number.ALLOCATE({Bounds{1, n}});
    r.Name_To_Be_Displayed.ALLOCATE({Bounds{1, n}});
    Previous_Time_Stamp.ALLOCATE({Bounds{1, n}});
    for (int k = 1; k <= n; ++k) {
      r.Current_Min(k) = 0.0f;
      r.Current_Max(k) = 1.0f;
      r.Time(k) = 12.5f;
      r.Time_Step_Number(k) = 1;
      r.Name_To_Be_Displayed(k) = "f" + std::to_string(k);
    }
    Result_Geometry.AnzX = nx, Result_Geometry.AnzY = ny, Result_Geometry.AnzZ = 1;
    Display_Field.Cut_Direction = 1;
    ALLOCATE_ARRAYS();
    for (int k = 1; k <= n; ++k) fill(k, values[k - 1]);
  }
  static void fill(int slot, float value) {
    auto& f = Display_Field;
    for (int y = 1; y <= f.Display_Size_Y; ++y)
      for (int x = 1; x <= f.Display_Size_X; ++x) f.Array_to_be_displayed(slot, x, y) = value;
  }
  // The main display is this device.
  static void use_device(int device) {
    Graphics_Units.Unit_Display = device;
    Graphics_Units.Unit_Current = device;
    cpgslct(device);
  }
  // The colour a value of range 0..1 gets on the selected device.
  static unsigned colour_of(float value) {
    int low = 0, high = 0;
    cpgqcir(&low, &high);
    const int index = low + static_cast<int>(std::lround(value * (high - low)));
    float r, g, b;
    cpgqcr(index, &r, &g, &b);
    auto byte = [](float c) { return static_cast<unsigned>(std::lround(c * 255.0f)); };
    return byte(r) << 16 | byte(g) << 8 | byte(b);
  }
  // The colour at the middle of panel (x, y) of an across x down page, row 1 on top.
  static unsigned panel_centre(const QImage& page, int across, int down, int x, int y) {
    return RGB_AT(page, static_cast<int>((x - 0.5) / across * page.width()),
                  static_cast<int>((y - 0.5) / down * page.height()));
  }
  static bool near(unsigned a, unsigned b) {
    for (int shift : {0, 8, 16})
      if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 2) return false;
    return true;
  }

  std::stringstream pgplot_warnings_;
  std::streambuf* saved_cerr_ = nullptr;
};

// A case whose console lines are kept for the test to read.
class Console_Display_Case : public Display_Case {
 protected:
  void SetUp() override {
    Display_Case::SetUp();
    SET_CONSOLE_STREAM(&console_);
  }
  void TearDown() override {
    SET_CONSOLE_STREAM(nullptr);
    Display_Case::TearDown();
  }
  std::stringstream console_;
};
