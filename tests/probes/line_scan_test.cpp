// The line scan in process: sampling along the line, the processing modes, the y- and x-range
// rule of the curve plots (all three kinds), and the line-scan plot written as an image file.

#include <gtest/gtest.h>

#include <cpgplot.h>

#include <QImage>
#include <cmath>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

#include "main/Command_Loop.h"
#include "probes/Probe_Curves.h"
#include "probes/Probe_Results.h"
#include "probes/Virtual_EDX.h"
#include "tests/display/Gif_Page.h"
#include "tests/probes/Field_Case.h"

namespace {

// Field values that name their cell: result k at (x, y) holds 10000 k + 100 x + y.
float cell_code(int k, int x, int y) { return static_cast<float>(10000 * k + 100 * x + y); }

class Line_Scan : public Field_Case {
 protected:
  void SetUp() override {
    Field_Case::SetUp();
    RELEASE_VIRTUAL_EDX_TABLES();
    // The main display the plots return to.
    main_display_ = cpgopen("/NULL");
    Graphics_Units.Unit_Display = Graphics_Units.Unit_Current = main_display_;
  }
  void TearDown() override {
    cpgslct(main_display_);
    cpgclos();
    RELEASE_VIRTUAL_EDX_TABLES();
    Field_Case::TearDown();
  }
  void line(int x1, int y1, int x2, int y2) {
    Scan_Line.Scan_X1 = x1, Scan_Line.Scan_Y1 = y1, Scan_Line.Scan_X2 = x2, Scan_Line.Scan_Y2 = y2;
  }
  void select(std::vector<bool> chosen) {
    for (std::size_t i = 0; i < chosen.size(); ++i) Result_Set.Selected_Solutions(static_cast<int>(i) + 1) = chosen[i];
  }
  // The cells (decoded from result 1's values) and distances of samples 1..Scan_Samples.
  std::vector<std::pair<int, int>> cells() const {
    std::vector<std::pair<int, int>> found;
    for (int k = 1; k <= Scan_Line.Scan_Samples; ++k) {
      const int code = static_cast<int>(Virtual_EDX_values(1, k)) - 10000;
      found.emplace_back(code / 100, code % 100);
    }
    return found;
  }
  std::vector<float> distances() const {
    std::vector<float> found;
    for (int k = 1; k <= Scan_Line.Scan_Samples; ++k) found.push_back(Virtual_EDX_distances(k));
    return found;
  }
  int main_display_ = 0;
};

const char* const Too_Small = "\n Sorry the 'scan line' appears to be too small!\n\n";

TEST_F(Line_Scan, SamplesFallOnTheLinesCellsAtTheirProjectedDistance) {
  make_field(1, 30, 20, cell_code);  // cells of 1 micrometre
  struct Case {
    int x1, y1, x2, y2;
    std::vector<std::pair<int, int>> cells;
    std::vector<float> distances;  // in cells
  } cases[] = {
      // A diagonal step: L = 1.414, two samples in the start cell.
      {1, 1, 2, 2, {{1, 1}, {1, 1}}, {0, 0}},
      // Backwards along a row.
      {10, 5, 1, 5, {{10, 5}, {9, 5}, {8, 5}, {7, 5}, {6, 5}, {5, 5}, {4, 5}, {3, 5}, {2, 5}, {1, 5}},
       {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
      // Up a column.
      {4, 2, 4, 5, {{4, 2}, {4, 3}, {4, 4}, {4, 5}}, {0, 1, 2, 3}},
      // L = 5, 6 samples; (0.6, 0.8) steps, projected: 0.6 dx + 0.8 dy.
      {1, 1, 4, 5, {{1, 1}, {1, 1}, {2, 2}, {2, 3}, {3, 4}, {4, 5}}, {0, 0, 1.4f, 2.2f, 3.6f, 5.0f}},
  };
  for (const Case& c : cases) {
    line(c.x1, c.y1, c.x2, c.y2);
    SELECT_PROBE_RESULTS(false);
    VIRTUAL_EDX_SCAN();
    SCOPED_TRACE(testing::Message() << c.x1 << "," << c.y1 << " - " << c.x2 << "," << c.y2);
    EXPECT_EQ(Scan_Line.Scan_Samples, static_cast<int>(c.cells.size()));
    EXPECT_EQ(cells(), c.cells);
    const std::vector<float> d = distances();
    ASSERT_EQ(d.size(), c.distances.size());
    for (std::size_t k = 0; k < d.size(); ++k) EXPECT_NEAR(d[k], c.distances[k], 1e-5) << k;
  }
  EXPECT_EQ(console(), "");
}

TEST_F(Line_Scan, ASlantedLinesLastSampleStaysInsideTheField) {
  // In single precision 25 x (-0.6) + 16 lands just below 1: row 0 lies outside the field.
  make_field(1, 21, 16, cell_code);
  line(1, 16, 21, 1);
  SELECT_PROBE_RESULTS(false);
  VIRTUAL_EDX_SCAN();
  ASSERT_EQ(Scan_Line.Scan_Samples, 26);
  for (const auto& [x, y] : cells()) {
    EXPECT_TRUE(x >= 1 && x <= 21 && y >= 1 && y <= 16) << x << "," << y;
  }
  EXPECT_EQ(cells().back(), std::make_pair(21, 1));
  EXPECT_NEAR(distances().back(), 25.0f, 1e-4);
}

TEST_F(Line_Scan, NeighbouringCellsAreRefusedAndChangeNothing) {
  make_field(1, 10, 10, cell_code);
  line(2, 3, 8, 3);
  SELECT_PROBE_RESULTS(false);
  VIRTUAL_EDX_SCAN();
  const auto before = cells();
  for (auto [x2, y2] : {std::pair{5, 6}, std::pair{4, 5}, std::pair{5, 5}}) {  // beside, below, the same cell
    clear_console();
    line(5, 5, x2, y2);
    VIRTUAL_EDX_SCAN();
    EXPECT_EQ(console(), Too_Small);
    EXPECT_EQ(Scan_Line.Scan_Samples, 7);
    EXPECT_EQ(cells(), before);
  }
  // The plot refuses too, before any device opens.
  clear_console();
  VIRTUAL_EDX_DISPLAY(false, true);
  EXPECT_EQ(console(), Too_Small);
  EXPECT_EQ(dir_.listing(), "");
}

TEST_F(Line_Scan, UnselectedResultsHoldZeroAndAShorterScanKeepsTheLongerTables) {
  make_field(2, 12, 4, cell_code);
  line(1, 2, 12, 2);
  SELECT_PROBE_RESULTS(false);
  select({false, true});
  VIRTUAL_EDX_SCAN();
  ASSERT_EQ(Scan_Line.Scan_Samples, 12);
  for (int k = 1; k <= 12; ++k) {
    EXPECT_EQ(Virtual_EDX_values(1, k), 0.0f);
    EXPECT_EQ(Virtual_EDX_values(2, k), cell_code(2, k, 2));
  }
  line(3, 1, 3, 3);
  VIRTUAL_EDX_SCAN();
  EXPECT_EQ(Scan_Line.Scan_Samples, 3);
  EXPECT_EQ(Virtual_EDX_values.EXTENT(1), 12);
  EXPECT_EQ(Virtual_EDX_distances.EXTENT(0), 12);
  EXPECT_EQ(Virtual_EDX_values(2, 3), cell_code(2, 3, 3));
  for (int k = 4; k <= 12; ++k) {
    EXPECT_EQ(Virtual_EDX_values(2, k), 0.0f) << k;
    EXPECT_EQ(Virtual_EDX_distances(k), 0.0f) << k;
  }
}

TEST_F(Line_Scan, ProcessingModesNormaliseEachResultsScan) {
  // Result 1 along row 1: 3, -6, 2; result 2 all zero.
  const float row[3] = {3.0f, -6.0f, 2.0f};
  make_field(2, 3, 2, [&](int k, int x, int) { return k == 1 ? row[x - 1] : 0.0f; });
  line(1, 1, 3, 1);
  SELECT_PROBE_RESULTS(false);
  struct Case {
    int mode;
    float norm;  // of result 1
  } cases[] = {{0, 1.0f}, {1, 11.0f / 3.0f}, {2, 6.0f}};
  for (const Case& c : cases) {
    EDX_Processing_Mode = c.mode;
    VIRTUAL_EDX_SCAN();
    for (int k = 1; k <= 3; ++k) {
      EXPECT_FLOAT_EQ(Virtual_EDX_values(1, k), row[k - 1] / c.norm) << c.mode << " " << k;
      EXPECT_EQ(Virtual_EDX_values(2, k), 0.0f) << c.mode;  // no norm above 1E-40: as sampled
    }
  }
  EDX_Processing_Mode = 2;
  VIRTUAL_EDX_SCAN();
  EXPECT_FLOAT_EQ(Virtual_EDX_values(1, 3), 0.33333334f);
}

TEST_F(Line_Scan, TheCollectionsSizeIsCountedIn64Bits) {
  // 4 rows x 60000 samples x 100000 outputs: 2.4E10 entries, a count that 32 bits would wrap
  // to a small one. Far beyond memory, the program stops with the table's name.
  make_field(2, 60001, 2, [](int, int, int) { return 1.0f; });
  for (int i = 1; i <= 2; ++i) Result_Set.Total_Time_Steps(i) = 100000;
  line(1, 1, 60000, 1);
  SELECT_PROBE_RESULTS(false);
  VIRTUAL_EDX_SCAN();
  ASSERT_EQ(Scan_Line.Scan_Samples, 60000);
  EXPECT_THROW(VIRTUAL_EDX_DISPLAY_ALL(false, 1), Program_Stop);
  EXPECT_EQ(console(), "\n\nUnable to allocate Virtual_EDX_Scans !\n\n\n");
  EXPECT_FALSE(Virtual_EDX_Scans.ALLOCATED());
}

TEST_F(Line_Scan, CodeNinetyNineReachesTheLineScanAndWaitsWithoutRedraw) {
  make_field(1, 10, 10, cell_code);
  Command_State.Command_Code = 99;
  EXPECT_EQ(DISPATCH_COMMAND(99), 3);
  EXPECT_EQ(console(), "\nOption only available when several results are displayed!\n\n");
  EXPECT_EQ(EDX_Processing_Mode, 0);
}

TEST(Curve_Ranges, OneRuleThreeKinds) {
  using K = Curve_Kind;
  struct Case {
    K kind;
    float ylo, yhi, low, up;
  } cases[] = {
      // Flat data.
      {K::Scan_Point, 5.0f, 5.0f, 4.5f, 5.5f},
      {K::Front_Tracking, 5.0f, 5.0f, 4.5f, 5.5f},
      {K::Line_Scan, 5.0f, 5.0f, 4.5f, 5.5f},
      // All zero.
      {K::Scan_Point, 0.0f, 0.0f, -1.0f, 0.0f},
      {K::Front_Tracking, 0.0f, 0.0f, -1.0f, 0.0f},
      {K::Line_Scan, 0.0f, 0.0f, -1.0f, 1.0f},
      // A tenth of the span on either side, never below 0 for positive data.
      {K::Scan_Point, 10.0f, 20.0f, 9.0f, 21.0f},
      {K::Front_Tracking, 10.0f, 20.0f, 9.0f, 21.0f},
      {K::Line_Scan, 10.0f, 20.0f, 9.0f, 21.0f},
      {K::Scan_Point, 0.5f, 20.0f, 0.0f, 21.95f},
      {K::Front_Tracking, 0.5f, 20.0f, 0.0f, 21.95f},
      {K::Line_Scan, 0.5f, 20.0f, 0.0f, 21.95f},
      {K::Scan_Point, -2.0f, 8.0f, -3.0f, 9.0f},
      {K::Front_Tracking, -2.0f, 8.0f, -3.0f, 9.0f},
      {K::Line_Scan, -2.0f, 8.0f, -3.0f, 9.0f},
      // A front missing at some outputs (-1) reaches below -1.
      {K::Front_Tracking, -1.0f, 3.0f, -1.4f, 3.4f},
      // Only the line scan counts a padded width below 1E-5 as flat.
      {K::Line_Scan, 1.0f, 1.000005f, 0.9000045f, 1.1000055f},
      {K::Scan_Point, 1.0f, 1.000005f, 0.9999995f, 1.0000055f},
      // Flat negative data: upright.
      {K::Scan_Point, -5.0f, -5.0f, -5.5f, -4.5f},
      {K::Front_Tracking, -5.0f, -5.0f, -5.5f, -4.5f},
      {K::Line_Scan, -5.0f, -5.0f, -5.5f, -4.5f},
      // A denormal lowest value is above the scan point's threshold (0), not front tracking's.
      {K::Scan_Point, 1.0e-41f, 10.0f, 0.0f, 11.0f},
      {K::Front_Tracking, 1.0e-41f, 10.0f, -1.0f, 11.0f},
  };
  for (const Case& c : cases) {
    const Curve_Range r = CURVE_RANGE(c.kind, c.ylo, c.yhi);
    EXPECT_FLOAT_EQ(r.low, c.low) << static_cast<int>(c.kind) << " " << c.ylo << ".." << c.yhi;
    EXPECT_FLOAT_EQ(r.up, c.up) << static_cast<int>(c.kind) << " " << c.ylo << ".." << c.yhi;
  }
}

TEST(Curve_Ranges, EqualXLimitsAreWidened) {
  struct Case {
    std::vector<float> abscissa;
    float low, up;
  } cases[] = {{{3.0f, 1.0f, 2.0f}, 1.0f, 3.0f},  // smallest to largest, no margin
               {{0.0f, 0.0f}, -1.0f, 1.0f},        // both distances 0
               {{5.0f}, 4.5f, 5.5f},               // a single output
               {{-20.0f}, -22.0f, -18.0f}};
  for (const Case& c : cases) {
    const Curve_Range r = CURVE_X_RANGE(c.abscissa);
    EXPECT_FLOAT_EQ(r.low, c.low);
    EXPECT_FLOAT_EQ(r.up, c.up);
    EXPECT_LT(r.low, r.up);
  }
}

TEST_F(Line_Scan, CoordinateLabelsFollowTheCutPlane) {
  make_field(1, 10, 10, cell_code);
  line(2, 3, 17, 4);
  Display_Field.Cut_Index = 9;
  struct Case {
    int cut;
    std::vector<std::string> point, line;
  } cases[] = {
      {1, {"X =   2", "Y =   3", "Z =   9"},
       {"X\\d1\\u =   2", "X\\d2\\u =  17", "Y\\d1\\u =   3", "Y\\d2\\u =   4", "Z\\d1\\u =   9", "Z\\d2\\u =   9"}},
      {2, {"X =   2", "Y =   9", "Z =   3"},
       {"X\\d1\\u =   2", "X\\d2\\u =  17", "Y\\d1\\u =   9", "Y\\d2\\u =   9", "Z\\d1\\u =   3", "Z\\d2\\u =   4"}},
      {3, {"X =   9", "Y =   2", "Z =   3"},
       {"X\\d1\\u =   9", "X\\d2\\u =   9", "Y\\d1\\u =   2", "Y\\d2\\u =  17", "Z\\d1\\u =   3", "Z\\d2\\u =   4"}},
  };
  for (const Case& c : cases) {
    Display_Field.Cut_Direction = c.cut;
    const Probe_Position at = CURRENT_PROBE_POSITION();
    EXPECT_EQ(COORDINATE_LABELS(Curve_Kind::Scan_Point, at), c.point);
    EXPECT_EQ(COORDINATE_LABELS(Curve_Kind::Front_Tracking, at), c.point);
    EXPECT_EQ(COORDINATE_LABELS(Curve_Kind::Line_Scan, at), c.line);
  }
  line(10000, 1, 3, 1);
  Display_Field.Cut_Direction = 1;
  EXPECT_EQ(COORDINATE_LABELS(Curve_Kind::Scan_Point, CURRENT_PROBE_POSITION())[0], "X =****");
}


// The plot of one scan through an image driver, into the scratch folder.
class Curve_Images : public Line_Scan {
 protected:
  void SetUp() override {
    Line_Scan::SetUp();
    make_field(2, 30, 20, [](int k, int x, int) { return static_cast<float>(k * x); });
    line(1, 5, 30, 5);
    SELECT_PROBE_RESULTS(false);
    VIRTUAL_EDX_SCAN();
    clear_console();
  }
  std::string write(const std::string& name, const char* driver, bool draw_scan = true, Curve_Plot plot = {}) {
    Output_Settings.Output_File_Name = dir_ / name;
    Output_Settings.Image_Driver = driver;
    if (draw_scan) {
      VIRTUAL_EDX_DISPLAY(false, true);
    } else {
      DRAW_PROBE_CURVES(plot);
    }
    return read_bytes(dir_ / name);
  }
  // A plot of the line-scan kind with one straight curve.
  static Curve_Plot titled(const std::string& title, const std::string& label) {
    Curve_Plot plot;
    plot.window = false;
    plot.title = title;
    plot.y_label = plot.x_label = label;
    plot.time_text = label;
    plot.abscissa = {0.0f, 10.0f};
    plot.extent.ADD(1.0f);
    plot.extent.ADD(2.0f);
    plot.curves = {Curve{{0.0f, 10.0f}, {1.0f, 2.0f}}};
    return plot;
  }
  // Pixels unlike the background colour in rows [top, bottom) of the decoded picture.
  static int ink(const QImage& image, int top, int bottom, int left = 0, int right = -1) {
    if (right < 0) right = image.width();
    const unsigned background = RGB_AT(image, 0, 0);
    int count = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) count += RGB_AT(image, x, y) != background;
    return count;
  }
  // A PostScript file without its comment lines (they hold the creation time).
  static std::string drawing(const std::string& postscript) {
    std::string kept, line;
    std::istringstream in(postscript);
    while (std::getline(in, line))
      if (!line.starts_with("%")) kept += line + "\n";
    return kept;
  }
  static QImage decoded(const std::string& bytes) {
    QImage image;
    image.loadFromData(reinterpret_cast<const uchar*>(bytes.data()), static_cast<int>(bytes.size()), "GIF");
    return image;
  }
};

TEST_F(Curve_Images, GifCarriesTitleAndLabels) {
  const QImage image = decoded(write("scan.gif", "/GIF"));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(console(), " File: " + (dir_ / "scan.gif") + " created\n");
  // Above the frame (title, time, name, coordinates) and left of it (the y label).
  EXPECT_GT(ink(image, 0, image.height() / 12), 50);
  EXPECT_GT(ink(image, 0, image.height(), 0, image.width() / 25), 50);
  // The texts are part of the picture: other texts, another picture.
  const std::string a = write("a.gif", "/GIF", false, titled("One", "first"));
  const std::string b = write("b.gif", "/GIF", false, titled("Two", "second"));
  EXPECT_NE(a, b);
}

TEST_F(Curve_Images, PostScriptCarriesOnlyFrameNumbersAndThickerCurves) {
  write("scan.ps", "/VCPS");
  EXPECT_EQ(console(), " File: " + (dir_ / "scan.ps") + " created\n  ('prettier output')\n");
  const std::string a = drawing(write("a.ps", "/VCPS", false, titled("One", "first")));
  const std::string b = drawing(write("b.ps", "/VCPS", false, titled("Two", "second")));
  EXPECT_EQ(a, b);  // no title, name or label drawn
  Curve_Plot bare = titled("One", "first");
  bare.curves.clear();
  const std::string frame_only = drawing(write("bare.ps", "/VCPS", false, bare));
  // Line widths in units of the default: 2 for the frame, 1 for the numbers, 3 for curves.
  const std::string Thick_Line = " 3 LW";
  EXPECT_NE(frame_only, a);
  // What is stroked at the thick width: the curve, and nothing when there is none.
  const auto thick_strokes = [&](const std::string& ps) {
    const std::size_t at = ps.rfind(Thick_Line);
    if (at == std::string::npos) return std::string("no thick width");
    return ps.substr(at + Thick_Line.size(), ps.find("PGPLOT restore", at) - at - Thick_Line.size());
  };
  EXPECT_NE(thick_strokes(a).find(" L"), std::string::npos) << a;
  EXPECT_EQ(thick_strokes(frame_only).find(" L"), std::string::npos) << frame_only;
}

TEST_F(Curve_Images, NoResultSelectedDrawsFrameAndTextsOfAllZeroData) {
  for (int i = 1; i <= 2; ++i) Result_Set.Selected_Solutions(i) = false;
  const std::string none = write("none.gif", "/GIF");
  ASSERT_FALSE(decoded(none).isNull());
  // The same frame as a plot of no curve over zero data headed by result 1.
  Curve_Plot expected;
  expected.window = false;
  expected.title = "Virtual EDX";
  expected.y_label = "Field value(s)";
  expected.x_label = "Distance [\\gmm]";
  expected.time_text = "12.50000 s";
  expected.reference = 1;
  expected.position = CURRENT_PROBE_POSITION();  // the line scanned
  for (int k = 1; k <= 30; ++k) expected.abscissa.push_back(static_cast<float>(k - 1));
  expected.extent.ADD(0.0f);
  EXPECT_EQ(write("expected.gif", "/GIF", false, expected), none);
  expected.reference = 2;
  EXPECT_NE(write("other.gif", "/GIF", false, expected), none);
}

}  // namespace
