// Images on the GIF device, which paints them pixel by pixel through the library's row buffer:
// drawn in strips they equal one call pixel for pixel, and a page wider than that buffer shows
// the field to its last column.

#include <cpgplot.h>

#include <tuple>
#include <utility>
#include <vector>

#include "display/Colour_Scale.h"
#include "display/Display_Image.h"
#include "display/Image_Strips.h"
#include "display/PGWedg_Win9X.h"
#include "tests/display/Display_Case.h"
#include "tests/result_files/Scratch_Folder.h"

namespace {

class Image_Strips : public Display_Case {
 protected:
  Scratch_Folder dir_;
};

// A 300 x 40 field whose every column has its own value, drawn on an 8 inch page.
constexpr int Nx = 300, Ny = 40;
std::vector<float> column_ramp() {
  std::vector<float> a(static_cast<std::size_t>(Nx * Ny));
  for (int y = 0; y < Ny; ++y)
    for (int x = 0; x < Nx; ++x) a[static_cast<std::size_t>(y * Nx + x)] = static_cast<float>(x) + 0.01f * y;
  return a;
}
void ramp_page(int i1, int i2) {
  cpgpap(8.0f, 0.5f);
  cpgpage();
  cpgsvp(0.05f, 0.95f, 0.1f, 0.9f);
  cpgswin(i1 - 0.5f, i2 + 0.5f, 0.5f, Ny + 0.5f);
  SET_COLOUR_SCALE();
}

TEST_F(Image_Strips, StripsCoverTheColumnsOnceAndMatchOneCall) {
  const std::vector<float> a = column_ramp();
  const float tr[6] = {0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f};
  struct Row {
    const char* name;
    int i1, i2, max_pixels;
  } rows[] = {
      {"strips of a few columns", 1, Nx, 37},
      {"strips of one column each", 1, Nx, 3},
      {"a zoomed part in uneven strips", 17, 251, 100},
  };
  for (const Row& row : rows) {
    Gif_Page whole(dir_, std::string("whole_") + std::to_string(row.max_pixels) + ".gif");
    ramp_page(row.i1, row.i2);
    cpgimag(a.data(), Nx, Ny, row.i1, row.i2, 1, Ny, 0.0f, Nx, tr);
    const QImage one = whole.CLOSE();

    Gif_Page strips(dir_, std::string("strips_") + std::to_string(row.max_pixels) + ".gif");
    ramp_page(row.i1, row.i2);
    std::vector<std::pair<int, int>> ranges;
    IN_STRIPS(
        row.i1, row.i2, tr,
        [&](int first, int last) {
          ranges.emplace_back(first, last);
          cpgimag(a.data(), Nx, Ny, first, last, 1, Ny, 0.0f, Nx, tr);
        },
        row.max_pixels);
    const QImage many = strips.CLOSE();

    ASSERT_GT(ranges.size(), 2u) << row.name;
    EXPECT_EQ(ranges.front().first, row.i1) << row.name;
    EXPECT_EQ(ranges.back().second, row.i2) << row.name;
    for (std::size_t k = 1; k < ranges.size(); ++k)
      EXPECT_EQ(ranges[k].first, ranges[k - 1].second + 1) << row.name << ": strip " << k;
    ASSERT_FALSE(one.isNull());
    ASSERT_EQ(one.size(), many.size());
    int differing = 0;
    for (int y = 0; y < one.height(); ++y)
      for (int x = 0; x < one.width(); ++x) differing += RGB_AT(one, x, y) != RGB_AT(many, x, y);
    EXPECT_EQ(differing, 0) << row.name << ": no gap and no doubled column at the seams";
  }
}

TEST_F(Image_Strips, NarrowPagesAndOtherDevicesTakeOneCall) {
  const float tr[6] = {0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f};
  {
    Gif_Page page(dir_, "narrow.gif");
    ramp_page(1, Nx);
    EXPECT_EQ(STRIP_COLUMNS(1, Nx, tr), 0) << "an 8 inch GIF page is narrower than the buffer";
    EXPECT_GT(STRIP_COLUMNS(1, Nx, tr, 37), 0);
  }
  const int ps = cpgopen((dir_ / "wide.ps" + "/PS").c_str());
  ASSERT_GT(ps, 0);
  cpgpap(30.0f, 0.2f);
  cpgpage();
  cpgsvp(0.0f, 1.0f, 0.0f, 1.0f);
  cpgswin(0.5f, Nx + 0.5f, 0.5f, Ny + 0.5f);
  EXPECT_EQ(STRIP_COLUMNS(1, Nx, tr, 37), 0) << "the PostScript device takes an image whole";
  cpgclos();
}

TEST_F(Image_Strips, AWideGifShowsTheFieldToItsLastColumn) {
  // Rows of their own value, the same in every column: each image row one colour throughout.
  make_files({0.0f}, 600, 60);
  auto& f = Display_Field;
  for (int y = 1; y <= 60; ++y)
    for (int x = 1; x <= 600; ++x) f.Array_to_be_displayed(1, x, y) = static_cast<float>(y) / 61.0f;
  Display_Settings.Annotation_Mode = 4;
  Display_Settings.Auto_Resize = false;
  Display_Settings.Panel_Grid.Panels_Across = Display_Settings.Panel_Grid.Panels_Down = 1;
  Gif_Page page(dir_, "wide.gif");
  use_device(page.device());
  cpgpap(27.0f, 0.1f);
  cpgpage();
  SET_COLOUR_SCALE();
  DISPLAY_IMAGE(1);
  float vx1, vx2, vy1, vy2, px1, px2, py1, py2;
  cpgqvp(3, &vx1, &vx2, &vy1, &vy2);
  cpgqvsz(3, &px1, &px2, &py1, &py2);
  const int height = static_cast<int>(py2 - py1) + 1;
  const QImage image = page.CLOSE();
  ASSERT_FALSE(image.isNull());
  ASSERT_GT(image.width(), 1100) << "a page wider than the library's row buffer";
  ASSERT_GT(vx2 - vx1, 1100.0f);
  const unsigned background = RGB_AT(image, 0, 0);
  const int first = static_cast<int>(vx1) + 3, last = static_cast<int>(vx2) - 3;
  int rows = 0;
  for (int y = height - static_cast<int>(vy2) + 3; y < height - static_cast<int>(vy1) - 3; ++y) {
    const unsigned own = RGB_AT(image, first, y);
    ASSERT_NE(own, background) << "row " << y;
    EXPECT_EQ(RGB_AT(image, last, y), own) << "row " << y << ": the field's colour in its last columns";
    EXPECT_EQ(RGB_AT(image, (first + last) / 2 + 300, y), own) << "row " << y;
    ++rows;
  }
  EXPECT_GT(rows, 20);
}

// The wedge drawn by us where the library's would be cut equals the library's on a page it can
// draw whole, and on a wide page reaches the image's last columns.
TEST_F(Image_Strips, WedgeBelowAWideImageIsWhole) {
  auto wedge_page = [&](float width, const std::string& name, bool ours) {
    Gif_Page page(dir_, name);
    cpgpap(width, 4.0f / width);
    cpgpage();
    SET_COLOUR_SCALE();
    cpgsvp(0.05f, 0.95f, 0.5f, 0.9f);
    cpgswin(0.0f, 1.0f, 0.0f, 1.0f);
    if (ours) PGWEDG_WHOLE("BI", 2.75f, 5.0f, 0.0f, 1.0f, " ");
    else cpgwedg("BI", 2.75f, 5.0f, 0.0f, 1.0f, " ");
    float vx1, vx2, vy1, vy2, py1, py2, px1, px2;
    cpgqvp(3, &vx1, &vx2, &vy1, &vy2);
    cpgqvsz(3, &px1, &px2, &py1, &py2);
    return std::make_tuple(page.CLOSE(), vx1, vx2, static_cast<int>(py2 - py1) + 1 - static_cast<int>(vy1));
  };
  const auto [library, lx1, lx2, ly] = wedge_page(8.0f, "library.gif", false);
  const auto [ours, ox1, ox2, oy] = wedge_page(8.0f, "ours.gif", true);
  ASSERT_FALSE(library.isNull());
  ASSERT_EQ(library.size(), ours.size());
  int differing = 0;
  for (int y = 0; y < library.height(); ++y)
    for (int x = 0; x < library.width(); ++x) differing += RGB_AT(library, x, y) != RGB_AT(ours, x, y);
  EXPECT_EQ(differing, 0) << "drawn as the library draws it";

  const auto [wide, wx1, wx2, image_bottom] = wedge_page(27.0f, "wide_wedge.gif", true);
  ASSERT_FALSE(wide.isNull());
  ASSERT_GT(wx2 - wx1, 1100.0f);
  // The band's row a few pixels below the image's bottom edge plus the displacement: the
  // colours run from one end to the other.
  int band = -1;
  for (int y = image_bottom; y < wide.height() && band < 0; ++y)
    if (RGB_AT(wide, static_cast<int>(wx1) + 5, y) != RGB_AT(wide, 0, 0) &&
        RGB_AT(wide, static_cast<int>(wx1) + 5, y) != 0xFFFFFFu)
      band = y + 2;
  ASSERT_GE(band, 0);
  EXPECT_NE(RGB_AT(wide, static_cast<int>(wx2) - 5, band), RGB_AT(wide, 0, 0)) << "the wedge's last columns";
  EXPECT_NE(RGB_AT(wide, static_cast<int>(wx2) - 5, band), RGB_AT(wide, static_cast<int>(wx1) + 5, band));
}

}  // namespace
