// The overlays of a picture: isoline passes and labels, vector arrows and their settings,
// grid spacing, the length bar, zoom boxes and the colour keys written as files.

#include <cpgplot.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <sstream>

#include "display/Colour_Keys.h"
#include "display/Display_Image.h"
#include "display/Grid.h"
#include "display/Isolines.h"
#include "display/Length_Scale.h"
#include "display/Vectors.h"
#include "display/Zoom.h"
#include "records/Console.h"
#include "display/Vector_Settings.h"
#include "tests/Server_Answers.h"
#include "tests/display/Display_Case.h"
#include "tests/result_files/Scratch_Folder.h"

namespace {

constexpr float Not_A_Number = std::numeric_limits<float>::quiet_NaN();
constexpr float Infinite = std::numeric_limits<float>::infinity();

class Overlays : public Console_Display_Case {
 protected:
  // Isoline arrays for n files, file k holding the given values.
  static void isolines(int n, const std::vector<std::vector<float>>& lists) {
    auto& iso = Isoline_Data;
    for (auto* a : {&iso.Display_Isolines, &iso.Display_Contours}) a->ALLOCATE({Bounds{1, n}});
    iso.Isoline_Number.ALLOCATE({Bounds{1, n}});
    std::size_t m = 1;
    for (const auto& l : lists) m = std::max(m, l.size());
    iso.Isoline_values.ALLOCATE({Bounds{1, n}, Bounds{1, static_cast<std::int64_t>(m)}});
    for (int k = 1; k <= static_cast<int>(lists.size()); ++k) {
      iso.Isoline_Number(k) = static_cast<int>(lists[k - 1].size());
      iso.Display_Isolines(k) = true;
      for (std::size_t j = 0; j < lists[k - 1].size(); ++j) iso.Isoline_values(k, static_cast<int>(j) + 1) = lists[k - 1][j];
    }
  }
  // Slot holds value(x, y).
  template <typename F>
  static void fill_with(int slot, F value) {
    auto& f = Display_Field;
    for (int y = 1; y <= f.Display_Size_Y; ++y)
      for (int x = 1; x <= f.Display_Size_X; ++x) f.Array_to_be_displayed(slot, x, y) = value(x, y);
  }
  static void window_over_zoom() {
    const auto& f = Display_Field;
    cpgsvp(0.0f, 1.0f, 0.0f, 1.0f);
    cpgwnad(f.Zoom_X_From - 0.005f, f.Zoom_X_To + 0.005f, f.Zoom_Y_From - 0.005f, f.Zoom_Y_To + 0.005f);
  }
  Scratch_Folder dir_;
};

// ---------------------------------------------------------------- isolines

TEST_F(Overlays, IsolinePassesByColourSchemeAndContourDisplay) {
  make_files({0.5f, 0.5f, 0.5f}, 4, 4);
  isolines(3, {{0.5f}});
  auto& iso = Isoline_Data;
  auto& grid = Display_Settings.Panel_Grid;
  struct Row {
    int colour, across, down;
    bool contours;
    std::vector<Isoline_Pass> passes;
  } rows[] = {
      {0, 3, 1, false, {{0, 2}}},          // over an image: one thin background pass
      {1, 3, 1, false, {{1, 7}, {0, 4}}},  // wide foreground rim under a background line
      {2, 3, 1, false, {{0, 7}, {1, 4}}},
      {0, 3, 1, true, {{0, 7}, {1, 4}}},   // contour-only with a panel of its own
      {2, 3, 1, true, {{0, 2}, {1, 4}}},   // ... in scheme 2: the rim does not show
      {0, 1, 1, true, {{1, 7}, {0, 4}}},   // sharing a panel: background lines, foreground rim
      {1, -1, 1, true, {{1, 2}, {0, 4}}},
      {2, 1, 2, true, {{0, 2}, {1, 4}}},
  };
  for (const Row& row : rows) {
    iso.Isoline_Colour = row.colour;
    grid.Panels_Across = row.across, grid.Panels_Down = row.down;
    iso.Display_Contours(1) = row.contours;
    const auto passes = ISOLINE_PASSES(1);
    ASSERT_EQ(passes.size(), row.passes.size()) << row.colour << " " << row.across << " " << row.contours;
    for (std::size_t p = 0; p < passes.size(); ++p) {
      EXPECT_EQ(passes[p].colour, row.passes[p].colour);
      EXPECT_EQ(passes[p].width, row.passes[p].width);
    }
  }
}

TEST_F(Overlays, IsolineLabelsDropTrailingZeros) {
  const std::pair<float, const char*> rows[] = {
      {0.5f, "0.5"}, {300.0f, "300."}, {0.0f, "0."}, {-2.25f, "-2.25"}, {0.00001f, "0.1000000E-04"}};
  for (const auto& [value, label] : rows) EXPECT_EQ(ISOLINE_LABEL(value), label);
  EXPECT_EQ(ISOLINE_VALUE_TEXT(12345678.0f), "0.1234568E+08");
}

// Labels drawn in white on black; the lines themselves in the background colour.
int label_pixels(const Scratch_Folder& dir, int name, int picture) {
  Gif_Page page(dir, "labels" + std::to_string(name) + ".gif");
  cpgslct(page.device());
  Display_Settings.Panel_Grid.Panels_Across = Display_Settings.Panel_Grid.Panels_Down = 1;
  Isoline_Data.Display_Isoline_Labels = true;
  auto& f = Display_Field;
  f.Zoom_X_From = 1, f.Zoom_X_To = f.Display_Size_X, f.Zoom_Y_From = 1, f.Zoom_Y_To = f.Display_Size_Y;
  cpgsvp(0.0f, 1.0f, 0.0f, 1.0f);
  cpgswin(0.5f, f.Display_Size_X + 0.5f, 0.5f, f.Display_Size_Y + 0.5f);
  PLOT_ISOLINES(picture);
  int lw = 0, ls = 0, bg = 0;
  cpgqlw(&lw), cpgqls(&ls), cpgqtbg(&bg);
  EXPECT_EQ(lw, 1);
  EXPECT_EQ(ls, 1);
  EXPECT_EQ(bg, Display_Settings.Text_Background_Index);
  const QImage image = page.CLOSE();
  int white = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) white += RGB_AT(image, x, y) == 0xFFFFFFu;
  return white;
}

TEST_F(Overlays, ALabelOnlyOnLinesOfAHundredCellsOrMore) {
  // Circles about the middle of a 60 x 60 field: one of radius r crosses about 8 r cells.
  make_files({0.0f}, 60, 60);
  fill_with(1, [](int x, int y) { return std::hypot(x - 30.5f, y - 30.5f); });
  for (float radius : {11.0f, 20.0f}) {
    isolines(1, {{radius}});
    const int white = label_pixels(dir_, static_cast<int>(radius), 1);
    if (radius < 12.0f)
      EXPECT_EQ(white, 0);
    else
      EXPECT_GT(white, 20);
  }
}

TEST_F(Overlays, LogarithmicPictureIsContouredAtTheLogarithm) {
  // Slot -1 holds the logarithm of the distance from the middle (at most ln 42): the line
  // of value 20 is the circle of radius 20, long enough for a label; 0 has no logarithm.
  make_files({0.0f}, 60, 60);
  Display_Settings.Processed_Display_Modes.Logarithmic_Display = true;
  ALLOCATE_ARRAYS();
  fill_with(-1, [](int x, int y) { return std::log(std::hypot(x - 30.5f, y - 30.5f)); });
  isolines(1, {{0.0f}});
  EXPECT_EQ(label_pixels(dir_, 0, -1), 0);
  isolines(1, {{20.0f}});
  EXPECT_GT(label_pixels(dir_, 20, -1), 20);
}

// ---------------------------------------------------------------- vectors

class Vector_Field : public Overlays {
 protected:
  // Three files over nx x ny cells: components in slots 2 and 3 with limits -2..2 and -1..3.
  void field(int nx, int ny, float vx, float vy) {
    make_files({0.0f, vx, vy}, nx, ny);
    Result_Set.Current_Min(2) = -2.0f, Result_Set.Current_Max(2) = 2.0f;
    Result_Set.Current_Min(3) = -1.0f, Result_Set.Current_Max(3) = 3.0f;
    Vector_Settings.Vector_Mode = 1;
  }
  static float length(const Vector_Arrow& a) { return std::hypot(a.x2 - a.x1, a.y2 - a.y1); }
};

TEST_F(Vector_Field, UnsetSettingsAndBlocksOfTheWideField) {
  field(101, 51, 1.0f, 1.0f);
  CHECK_DISPLAY_VECTORS_SETTINGS(2, 3);
  const auto& v = Vector_Settings;
  EXPECT_EQ(v.Vector_Thinning, 10);
  EXPECT_FLOAT_EQ(v.Vector_Max_Intensity, 4.2426405f);
  EXPECT_FLOAT_EQ(v.Vector_Min_Intensity, 0.042426405f);
  const auto arrows = VECTOR_ARROWS(2, 3);
  ASSERT_EQ(arrows.size(), 50u);  // 10 x 5 blocks: the last column and row have width 0
  const float k = 0.25f * 100.0f / 4.2426405f;
  for (const auto& a : arrows) EXPECT_NEAR(length(a), k * std::sqrt(2.0f), 1e-3f);
  // Centred on the block: the first block spans cells 1..11 x 1..11, centre 6.5.
  EXPECT_NEAR((arrows.front().x1 + arrows.front().x2) / 2.0f, 6.5f, 1e-4f);
  Vector_Settings.Centred_Vectors = false;
  EXPECT_FLOAT_EQ(VECTOR_ARROWS(2, 3).front().x1, 6.5f);
}

TEST_F(Vector_Field, LongVectorsClippedAndTheMinimumNotDrawn) {
  field(40, 40, 8.0f, 0.0f);
  auto& v = Vector_Settings;
  v.Vector_Thinning = 10, v.Vector_Max_Intensity = 4.0f, v.Vector_Min_Intensity = 0.5f;
  const float reference = 0.25f * 39.0f;
  auto arrows = VECTOR_ARROWS(2, 3);
  ASSERT_FALSE(arrows.empty());
  EXPECT_NEAR(length(arrows.front()), reference, 1e-4f);
  fill(2, 0.5f);
  EXPECT_TRUE(VECTOR_ARROWS(2, 3).empty());
  fill(2, 0.5001f);
  EXPECT_FALSE(VECTOR_ARROWS(2, 3).empty());
}

TEST_F(Vector_Field, NothingNotFiniteReachesTheLibrary) {
  field(40, 40, 1.0f, 1.0f);
  auto& v = Vector_Settings;
  v.Vector_Thinning = 10;
  CHECK_DISPLAY_VECTORS_SETTINGS(2, 3);
  const std::size_t all = VECTOR_ARROWS(2, 3).size();
  Display_Field.Array_to_be_displayed(2, 5, 5) = Not_A_Number;    // block 1..11 x 1..11
  Display_Field.Array_to_be_displayed(3, 35, 35) = Infinite;      // block 31..40 x 31..40
  EXPECT_EQ(VECTOR_ARROWS(2, 3).size(), all - 2);
  for (float reference : {0.0f, Infinite, Not_A_Number, 1.0e-38f}) {
    v.Vector_Max_Intensity = reference;
    v.Vector_Min_Intensity = -1.0f;
    EXPECT_TRUE(VECTOR_ARROWS(2, 3).empty()) << reference;
  }
  // A block size near the largest whole number: counted without overflow, no arrow.
  v.Vector_Max_Intensity = 2.0f, v.Vector_Thinning = std::numeric_limits<std::int32_t>::max() - 1;
  EXPECT_TRUE(VECTOR_ARROWS(2, 3).empty());
  // Drawn on a picture file with NaN cells, the scale arrow on, in every colour choice.
  v.Vector_Thinning = 10, v.Display_Vector_Scale = true;
  for (int colour : {0, 1, 2}) {
    v.Vector_Colour = colour;
    Gif_Page page(dir_);
    use_device(page.device());
    window_over_zoom();
    PLOT_VECTORS(2, 3);
    int lw = 0, ci = 0;
    cpgqlw(&lw), cpgqci(&ci);
    EXPECT_EQ(lw, 1);
    EXPECT_EQ(ci, Display_Settings.Drawing_Colour_Index);
    EXPECT_FALSE(page.CLOSE().isNull());
  }
}

TEST_F(Vector_Field, ComponentsByModeAndPlane) {
  make_files({0, 0, 0, 0, 0}, 4, 4);
  auto& v = Vector_Settings;
  struct Row {
    int mode, cut, x, y;
  } rows[] = {{1, 1, 4, 5}, {2, 2, 3, 5}, {2, 3, 4, 5}, {2, 1, 3, 4}};
  for (const Row& row : rows) {
    v.Vector_Mode = row.mode;
    Display_Field.Cut_Direction = row.cut;
    console_.str("");
    SET_VECTOR_COMPONENTS();
    EXPECT_EQ(std::make_pair(v.Vector_X_Component, v.Vector_Y_Component), std::make_pair(row.x, row.y));
  }
  EXPECT_EQ(console_.str(), " Using f3 for vectors' 'X' component\n   and f4 for vectors' 'Y' component\n\n");
}

TEST_F(Vector_Field, SettingsForm) {
  field(101, 51, 1.0f, 1.0f);
  auto& v = Vector_Settings;
  // A cleared maximum stays; "nan" is not a number.
  server_answers::ACT(pop_up_answers::FORM_VALUES(std::vector<std::string>{"0.1", "", "nan"}, true));  // to 'Base point'
  DISPLAY_VECTORS_SETTINGS();
  EXPECT_FLOAT_EQ(v.Vector_Max_Intensity, 4.2426405f);
  EXPECT_FLOAT_EQ(v.Vector_Min_Intensity, 0.1f);
  EXPECT_EQ(v.Vector_Thinning, 10);
  EXPECT_FALSE(v.Centred_Vectors);
  // 0 brings the reference anew; a minimum not below it becomes a hundredth.
  server_answers::ACT(pop_up_answers::FORM_VALUES(std::vector<std::string>{"9", "0", "3"}, false));
  DISPLAY_VECTORS_SETTINGS();
  EXPECT_FLOAT_EQ(v.Vector_Max_Intensity, 4.2426405f);
  EXPECT_FLOAT_EQ(v.Vector_Min_Intensity, 0.042426405f);
  EXPECT_EQ(v.Vector_Thinning, 3);
  // Components outside the files: no form.
  EXPECT_EQ(server_answers::PENDING_ACTIONS(), 0u);
  const int reads = server_answers::POP_UP_READS();
  v.Vector_Y_Component = 4;
  DISPLAY_VECTORS_SETTINGS();
  EXPECT_EQ(server_answers::POP_UP_READS(), reads);
}

// ---------------------------------------------------------------- grid, length bar, zoom

TEST_F(Overlays, GridSpacing) {
  EXPECT_FLOAT_EQ(GRID_TICK(99, 5), 16.75f);
  EXPECT_FLOAT_EQ(GRID_TICK(60, 3), 15.0f);
  EXPECT_FLOAT_EQ(GRID_TICK(10, 1000), 1.0f);  // at most one line per cell
  EXPECT_FLOAT_EQ(GRID_TICK(10, 0), GRID_TICK(10, 1));
}

TEST_F(Overlays, LengthBar) {
  const std::pair<int, float> lengths[] = {{8, 0.0f}, {40, 20.0f}, {30, 15.0f}, {249, 25.0f}, {1000, 100.0f}};
  for (const auto& [span, length] : lengths) EXPECT_EQ(AUTOMATIC_SCALE_LENGTH(span), length) << span;
  make_files({0.0f}, 201, 101);
  Result_Geometry.Grid_Spacing = 1.0e-4f;
  const Length_Bar bar = LENGTH_SCALE_BAR();
  EXPECT_EQ(bar.x, (std::array<float, 6>{171, 171, 171, 191, 191, 191}));
  EXPECT_EQ(bar.y, (std::array<float, 6>{7, 5, 6, 6, 5, 7}));
  EXPECT_EQ(std::make_tuple(bar.label_x, bar.label_y, bar.angle), std::make_tuple(181.0f, 2.0f, 0.0f));
  EXPECT_EQ(bar.label, "20.0 \\gmm");
  EXPECT_EQ(LENGTH_SCALE_LABEL(1500.0f), "1.500E+03 \\gmm");
  // Upright after a zoom: the label stays beside the bar, right of the box.
  Display_Settings.Flip_Length_Scale = true;
  auto& f = Display_Field;
  f.Zoom_X_From = 101, f.Zoom_Y_From = 1;
  const Length_Bar upright = LENGTH_SCALE_BAR();
  EXPECT_FLOAT_EQ(upright.x[2], 101 + 201 - (101 + 5.0f));  // 5u in from the box's right edge
  EXPECT_FLOAT_EQ(upright.label_x, 201 + 1 + 1 + 100 / 40.0f);
  EXPECT_EQ(upright.angle, 90.0f);
}

TEST_F(Overlays, ZoomBoxes) {
  make_files({0.0f}, 100, 100);
  auto& f = Display_Field;
  auto box = [&] { return std::array<int, 4>{f.Zoom_X_From, f.Zoom_X_To, f.Zoom_Y_From, f.Zoom_Y_To}; };
  ZOOM_TO(40, 10, 20, 30);
  EXPECT_EQ(box(), (std::array<int, 4>{20, 40, 10, 30}));
  Command_State.Command_Code = 39;
  ZOOM();
  ZOOM_TO(50, 50, 50, 50);
  EXPECT_EQ(box(), (std::array<int, 4>{49, 51, 49, 51}));
  Command_State.Command_Code = 39;
  ZOOM();
  ZOOM_TO(100, 100, 100, 100);
  EXPECT_EQ(box(), (std::array<int, 4>{99, 100, 99, 100}));
  const auto zoomed = box();
  Command_State.Command_Code = 39;
  ZOOM();
  Command_State.Command_Code = 40;
  ZOOM();
  EXPECT_EQ(box(), zoomed);  // 39 then 40: back to the zoom
  EXPECT_EQ(Command_State.Command_Code, 23);
  Command_State.Command_Code = 40;
  ZOOM();
  Command_State.Command_Code = 40;
  ZOOM();
  EXPECT_EQ(box(), zoomed);  // 40 twice returns
  f.One_D_Display = true, f.Cut_Size_Y = 1;
  ZOOM_TO(10, 3, 20, 4);
  EXPECT_EQ(box()[2], 1);
  EXPECT_EQ(box()[3], 100);
}

// ---------------------------------------------------------------- colour keys

TEST_F(Overlays, ColourKeyBars) {
  for (auto [a, b] : {std::pair{2.0f, 7.0f}, std::pair{7.0f, 2.0f}}) {
    const Colour_Key_Bar bar = COLOUR_KEY_BAR(a, b);
    EXPECT_EQ(bar.values.front(), 2.0f);
    EXPECT_FLOAT_EQ(bar.values[1], 2.0f + 5.0f / 99.0f);
    EXPECT_FLOAT_EQ(bar.values.back(), 7.0f);
    EXPECT_TRUE(bar.note.empty());
  }
  const Colour_Key_Bar flat = COLOUR_KEY_BAR(1000.0f, 1000.0f);
  EXPECT_EQ(flat.note, "\\fi(Add: 1000.000)");
  EXPECT_LT(flat.low, flat.high);
  const Colour_Key_Bar tiny = COLOUR_KEY_BAR(1.0e-41f, 1.0e-41f);
  EXPECT_TRUE(tiny.note.empty());
  EXPECT_LT(tiny.low, tiny.high);
  EXPECT_TRUE(COLOUR_KEY_BAR(-3.0f, -3.0f).note.empty());
}

TEST_F(Overlays, ColourKeyPage) {
  const int device = cpgopen("/NULL");
  use_device(device);
  cpgpap(8.0f, 0.375f);
  cpgsubp(2, 1);
  cpgpage();
  auto& s = Display_Settings;
  s.Panel_Grid.Panels_Across = 2, s.Panel_Grid.Panels_Down = 1, s.Annotation_Orientation = 1;
  float xch, ych;
  cpgsch(1.0f);
  cpgqcs(1, &xch, &ych);
  const Colour_Key_Page page = COLOUR_KEY_PAGE();
  EXPECT_FLOAT_EQ(page.width, 5.0f * xch);
  EXPECT_NEAR(page.aspect * page.width, 3.0f, 0.02f);
  cpgclos();
}

TEST_F(Overlays, ColourKeyFilesOnePerChosenFile) {
  make_files({0.1f, 0.2f, 0.3f}, 10, 10);
  auto& r = Result_Set;
  r.Name_Solution.ALLOCATE({Bounds{1, 3}});
  for (int k = 1; k <= 3; ++k) r.Name_Solution(k) = dir_ / ("r" + std::to_string(k) + ".zlt");
  Display_Settings.Panel_Grid.Panels_Across = 3, Display_Settings.Panel_Grid.Panels_Down = 1;
  Display_Settings.Annotation_Orientation = 1;
  Output_Settings.Default_Naming = true;
  const int null_device = cpgopen("/NULL");
  use_device(null_device);
  server_answers::ACT(pop_up_answers::SELECTION({true, true, true}));
  DISPLAY_SCALE(false);
  for (int k = 1; k <= 3; ++k) {
    const std::string name = dir_ / ("r" + std::to_string(k) + "_Scale.gif");
    EXPECT_FALSE(QImage(QString::fromStdString(name), "GIF").isNull()) << name;
    EXPECT_NE(console_.str().find("\n File: " + name + " created\n"), std::string::npos);
  }
  EXPECT_TRUE(pgplot_warnings_.str().empty()) << pgplot_warnings_.str();
  // The second dialog cancelled: only the first key is written.
  Output_Settings.Default_Naming = false;
  const std::string first = dir_ / "first.gif", third = dir_ / "third.gif";
  setenv("ZELTRA_TEST_SAVE_NAMES", (first + ";Cancel;" + third).c_str(), 1);
  server_answers::ACT(pop_up_answers::SELECTION({true, true, true}));
  DISPLAY_SCALE(false);
  unsetenv("ZELTRA_TEST_SAVE_NAMES");
  EXPECT_TRUE(std::filesystem::exists(first));
  EXPECT_FALSE(std::filesystem::exists(third));
  console_.str("");
  DISPLAY_SCALE(true);
  EXPECT_EQ(console_.str(), "\n Feature not available\n\n");
  // Only the null device: closing the server's window device would end the connection that
  // later tests of this program share.
  cpgslct(null_device);
  cpgclos();
}

}  // namespace

namespace {

// One panel with every overlay on, from the redraw's routine: a rotating vector field over
// a ramp with isolines, NaN cells, the grid and the length bar; drawn lines show in white.
TEST_F(Vector_Field, APanelWithEveryOverlay) {
  field(60, 60, 0.0f, 0.0f);
  fill_with(1, [](int x, int) { return x / 60.0f; });
  fill_with(2, [](int, int y) { return -(y - 30.5f) / 30.0f; });
  fill_with(3, [](int x, int) { return (x - 30.5f) / 30.0f; });
  Display_Field.Array_to_be_displayed(1, 10, 10) = Not_A_Number;
  Display_Field.Array_to_be_displayed(2, 20, 20) = Not_A_Number;
  isolines(3, {{0.25f, 0.5f, 0.75f}});
  auto& s = Display_Settings;
  s.Display_Grid = s.Display_Length_Scale = true;
  s.Annotation_Mode = 4;
  Result_Geometry.Grid_Spacing = 1.0e-4f;
  Vector_Settings.Vector_Colour = 2;
  Gif_Page page(dir_);
  use_device(page.device());
  Command_State.Command_Code = 23;
  DISPLAY_IMAGE(1);
  EXPECT_EQ(Display_Settings.Scale_Length, 20.0f);  // the automatic length of a 59-cell box
  EXPECT_EQ(Vector_Settings.Vector_Thinning, 6);
  const QImage image = page.CLOSE();
  ASSERT_FALSE(image.isNull());
  int white = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) white += RGB_AT(image, x, y) == 0xFFFFFFu;
  EXPECT_GT(white, 1000);
  EXPECT_TRUE(pgplot_warnings_.str().empty()) << pgplot_warnings_.str();
}

}  // namespace
