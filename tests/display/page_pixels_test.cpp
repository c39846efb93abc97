// Decoded GIF pages of one panel: the wedge and the annotation texts stand beside the image on
// the sides the orientation gives them, and contour-only files sharing one panel are told
// apart by their line styles.

#include <cpgplot.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "display/Colour_Scale.h"
#include "display/Display_Image.h"
#include "tests/display/Display_Case.h"
#include "tests/result_files/Scratch_Folder.h"

namespace {

// A rectangle of image pixels, x to the right and y down, ends excluded.
struct Area {
  int x1, x2, y1, y2;
};

class Page_Pixels : public Display_Case {
 protected:
  // The image viewport of the selected GIF device in image pixels.
  static Area viewport_pixels(int page_height) {
    float x1, x2, y1, y2;
    cpgqvp(3, &x1, &x2, &y1, &y2);
    return {static_cast<int>(x1), static_cast<int>(x2), page_height - 1 - static_cast<int>(y2),
            page_height - 1 - static_cast<int>(y1)};
  }
  static int page_height_pixels() {
    float x1, x2, y1, y2;
    cpgqvsz(3, &x1, &x2, &y1, &y2);
    return static_cast<int>(y2 - y1) + 1;
  }
  // Pixels of the area that are not the background colour.
  static int ink(const QImage& page, const Area& a, unsigned background) {
    int count = 0;
    for (int y = std::max(a.y1, 0); y < std::min(a.y2, page.height()); ++y)
      for (int x = std::max(a.x1, 0); x < std::min(a.x2, page.width()); ++x) count += RGB_AT(page, x, y) != background;
    return count;
  }
  Scratch_Folder dir_;
};

TEST_F(Page_Pixels, WedgeAndTextsBesideTheImageByOrientation) {
  struct Row {
    const char* name;
    int orientation;
  } rows[] = {{"texts left, wedge right", 1}, {"texts on top, wedge below", 2}};
  for (const Row& row : rows) {
    make_files({0.0f}, 40, 40);
    auto& f = Display_Field;
    for (int y = 1; y <= 40; ++y)
      for (int x = 1; x <= 40; ++x) f.Array_to_be_displayed(1, x, y) = static_cast<float>(x) / 40.0f;
    Display_Settings.Annotation_Mode = 1;
    Display_Settings.Annotation_Orientation = row.orientation;
    const bool left = row.orientation == 1;
    Display_Settings.Panel_Grid.Panels_Across = Display_Settings.Panel_Grid.Panels_Down = 1;
    Gif_Page page(dir_, std::string("annotated") + std::to_string(row.orientation) + ".gif");
    use_device(page.device());
    // The page's shape as the automatic resize gives a square field with its annotations.
    cpgpap(6.0f, left ? 1.01f / 1.4f : 1.3f / 1.01f);
    cpgpage();
    SET_COLOUR_SCALE();
    DISPLAY_IMAGE(1);
    const int height = page_height_pixels();
    const Area v = viewport_pixels(height);
    const QImage image = page.CLOSE();
    ASSERT_FALSE(image.isNull()) << row.name;
    const unsigned background = RGB_AT(image, 0, 0);
    const int w = image.width(), h = image.height();
    const int third_x = (v.x2 - v.x1) / 3, third_y = (v.y2 - v.y1) / 3;
    // The texts' margin: left of the image or above it, split in its two ends (the name at
    // the start, the time at the far end), and the opposite margin of the wedge.
    const Area text_start = left ? Area{0, v.x1 - 1, v.y2 - third_y, v.y2} : Area{v.x1, v.x1 + third_x, 0, v.y1 - 1};
    const Area text_end = left ? Area{0, v.x1 - 1, v.y1, v.y1 + third_y} : Area{v.x2 - third_x, v.x2, 0, v.y1 - 1};
    const Area wedge = left ? Area{v.x2 + 2, w, v.y1, v.y2} : Area{v.x1, v.x2, v.y2 + 2, h};
    // Where the other orientation puts its texts stays empty.
    const Area no_text = left ? Area{v.x1, v.x2, 0, v.y1 - 1} : Area{0, v.x1 - 1, v.y1, v.y2};
    EXPECT_GT(ink(image, text_start, background), 20) << row.name << ": the file's name";
    EXPECT_GT(ink(image, text_end, background), 20) << row.name << ": the time";
    EXPECT_EQ(ink(image, no_text, background), 0) << row.name;
    // Along the wedge the colours run through the scale: many of them, from end to end.
    std::set<unsigned> colours;
    for (int k = left ? v.y1 : v.x1; k < (left ? v.y2 : v.x2); ++k) {
      // Where the wedge lies across the margin is found by its ink.
      for (int m = left ? wedge.x1 : wedge.y1; m < (left ? std::min(wedge.x2, w) : std::min(wedge.y2, h)); ++m) {
        const unsigned rgb = left ? RGB_AT(image, m, k) : RGB_AT(image, k, m);
        if (rgb != background && rgb != 0x000000u && rgb != 0xFFFFFFu) colours.insert(rgb);
      }
    }
    EXPECT_GE(colours.size(), 10u) << row.name << ": the wedge's scale";
  }
}

// How far the ink reaches above and below the image viewport, in pixels, with the page's
// first and last rows, which ink cut at the page's edge would touch.
struct Reach {
  int above = 0, below = 0;
  bool top_row_inked = false, bottom_row_inked = false;
};

TEST_F(Page_Pixels, TextsAboveAndWedgeBelowStayOnTheirPanel) {
  // One panel 4 inches wide: the characters are as high on the short page as on the tall
  // one, where everything has room. The short page must show the texts and the wedge as far
  // from the image as the tall one does, and nothing at its edges.
  struct Row {
    const char* name;
    int thickness;
    bool simulation_texts;
  } rows[] = {
      {"version and run lines, thin wedge", 3, true},
      {"maker's label, thickest wedge", 9, false},
      {"version and run lines, thickest wedge", 9, true},
  };
  for (const Row& row : rows) {
    auto reach_on = [&](float height, const std::string& name) {
      make_files({0.0f}, 40, 40);
      auto& f = Display_Field;
      for (int y = 1; y <= 40; ++y)
        for (int x = 1; x <= 40; ++x) f.Array_to_be_displayed(1, x, y) = static_cast<float>(x) / 40.0f;
      auto& s = Display_Settings;
      s.Annotation_Mode = 1;
      s.Annotation_Orientation = 2;
      s.Wedge_Thickness = row.thickness;
      s.Panel_Grid.Panels_Across = s.Panel_Grid.Panels_Down = 1;
      Result_Geometry.Simulation_Info_Present = row.simulation_texts;
      Gif_Page page(dir_, name);
      use_device(page.device());
      cpgpap(4.0f, height / 4.0f);
      cpgpage();
      SET_COLOUR_SCALE();
      DISPLAY_IMAGE(1);
      const Area v = viewport_pixels(page_height_pixels());
      float r, g, b;
      cpgqcr(0, &r, &g, &b);
      const unsigned background = (static_cast<unsigned>(std::lround(r * 255)) << 16) |
                                  (static_cast<unsigned>(std::lround(g * 255)) << 8) |
                                  static_cast<unsigned>(std::lround(b * 255));
      const QImage image = page.CLOSE();
      Reach reach;
      if (image.isNull()) return reach;
      auto row_inked = [&](int y) {
        for (int x = 0; x < image.width(); ++x)
          if (RGB_AT(image, x, y) != background) return true;
        return false;
      };
      for (int y = 0; y < v.y1; ++y)
        if (row_inked(y)) {
          reach.above = v.y1 - y;
          break;
        }
      for (int y = image.height() - 1; y > v.y2; --y)
        if (row_inked(y)) {
          reach.below = y - v.y2;
          break;
        }
      reach.top_row_inked = row_inked(0);
      reach.bottom_row_inked = row_inked(image.height() - 1);
      return reach;
    };
    const Reach roomy = reach_on(9.0f, "roomy.gif"), tight = reach_on(5.2f, "tight.gif");
    EXPECT_GT(roomy.above, 20) << row.name;
    EXPECT_GT(roomy.below, 20) << row.name;
    EXPECT_NEAR(tight.above, roomy.above, 2) << row.name << ": the texts above the image";
    EXPECT_NEAR(tight.below, roomy.below, 2) << row.name << ": the wedge and its numbers below";
    EXPECT_FALSE(tight.top_row_inked) << row.name;
    EXPECT_FALSE(tight.bottom_row_inked) << row.name;
  }
}

// A column of the page from row y1 to y2: the lengths of its runs of ink and of gaps.
struct Runs {
  std::vector<int> ink, gaps;
};

Runs runs_down(const QImage& page, int x, int y1, int y2, unsigned background) {
  Runs r;
  int length = 0;
  bool inked = false;
  for (int y = y1; y <= y2; ++y) {
    // The line may stand a pixel to either side.
    bool here = false;
    for (int dx = -1; dx <= 1; ++dx) here = here || RGB_AT(page, x + dx, y) != background;
    if (y > y1 && here != inked) {
      (inked ? r.ink : r.gaps).push_back(length);
      length = 0;
    }
    inked = here;
    ++length;
  }
  (inked ? r.ink : r.gaps).push_back(length);
  return r;
}

TEST_F(Page_Pixels, ContourOnlyFilesInOnePanelDrawSolidDashedAndDotDash) {
  // File k rises across the field and crosses 0.5 at column 15 k: three upright lines.
  make_files({0.0f, 0.0f, 0.0f}, 60, 60);
  auto& f = Display_Field;
  for (int k = 1; k <= 3; ++k)
    for (int y = 1; y <= 60; ++y)
      for (int x = 1; x <= 60; ++x) f.Array_to_be_displayed(k, x, y) = 0.5f + static_cast<float>(x - 15 * k) / 60.0f;
  auto& iso = Isoline_Data;
  for (auto* a : {&iso.Display_Isolines, &iso.Display_Contours}) a->ALLOCATE({Bounds{1, 3}});
  iso.Isoline_Number.ALLOCATE({Bounds{1, 3}});
  iso.Isoline_values.ALLOCATE({Bounds{1, 3}, Bounds{1, 1}});
  for (int k = 1; k <= 3; ++k) {
    iso.Isoline_Number(k) = 1, iso.Isoline_values(k, 1) = 0.5f;
    iso.Display_Isolines(k) = iso.Display_Contours(k) = true;
  }
  iso.Isoline_Colour = 2;  // a foreground line drawn last, over a thin background one
  Display_Settings.Annotation_Mode = 4;
  Display_Settings.Panel_Grid.Panels_Across = Display_Settings.Panel_Grid.Panels_Down = 1;
  Gif_Page page(dir_, "contours.gif");
  use_device(page.device());
  cpgpap(8.0f, 1.0f);
  cpgpage();
  Command_State.Command_Code = 0;  // the pictures share the page: none erases it
  for (int k = 1; k <= 3; ++k) DISPLAY_IMAGE(k);
  float vx1, vx2, vy1, vy2, wx1, wx2, wy1, wy2;
  cpgqvp(3, &vx1, &vx2, &vy1, &vy2);
  cpgqwin(&wx1, &wx2, &wy1, &wy2);
  const int height = page_height_pixels();
  const QImage image = page.CLOSE();
  ASSERT_FALSE(image.isNull());
  const unsigned background = RGB_AT(image, 0, 0);
  auto column = [&](float cell) { return static_cast<int>(vx1 + (cell - wx1) / (wx2 - wx1) * (vx2 - vx1) + 0.5f); };
  auto row = [&](float cell) { return height - 1 - static_cast<int>(vy1 + (cell - wy1) / (wy2 - wy1) * (vy2 - vy1)); };
  const int top = row(55.0f), bottom = row(5.0f);
  std::vector<Runs> lines;
  for (int k = 1; k <= 3; ++k) lines.push_back(runs_down(image, column(15.0f * k), top, bottom, background));
  const int span = bottom - top + 1;

  // Solid: ink all the way.
  EXPECT_EQ(lines[0].ink.size(), 1u);
  EXPECT_TRUE(lines[0].gaps.empty());
  // The inner runs only: the ends are cut where the scan starts and stops.
  auto inner = [](std::vector<int> v) {
    if (v.size() > 2) v = std::vector<int>(v.begin() + 1, v.end() - 1);
    return v;
  };
  for (int k : {1, 2}) {
    EXPECT_GE(lines[k].ink.size(), 6u) << "file " << k + 1 << ": broken into dashes over " << span << " pixels";
    EXPECT_GE(lines[k].gaps.size(), 5u) << "file " << k + 1;
  }
  // Dashed: dashes of one length. Dot-dash: long dashes between short dots.
  const std::vector<int> dashes = inner(lines[1].ink), dot_dash = inner(lines[2].ink);
  ASSERT_FALSE(dashes.empty());
  ASSERT_FALSE(dot_dash.empty());
  const auto [dash_min, dash_max] = std::minmax_element(dashes.begin(), dashes.end());
  EXPECT_LE(*dash_max - *dash_min, 2) << "dashes of one length";
  const auto [dd_min, dd_max] = std::minmax_element(dot_dash.begin(), dot_dash.end());
  EXPECT_GE(*dd_max, 2 * *dd_min) << "dots and dashes";
}

}  // namespace
