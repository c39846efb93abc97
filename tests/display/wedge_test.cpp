// The W9 colour wedge on a GIF page: the coloured strip fills the fifth of the band next to
// the image, the frame with its numbers encloses the band, and the library's state is
// left as it was.

#include <cpgplot.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <iostream>
#include <sstream>
#include <string>

#include "display/Colour_Scale.h"
#include "display/PGWedg_Win9X.h"
#include "records/Globals.h"
#include "main/Initialise.h"
#include "tests/display/Gif_Page.h"

namespace {

constexpr float Disp = 2.75f;     // as the panel calls it
constexpr float Width = 3.0f;     // wedge thickness 3

// The page's viewport, window and character height before the wedge.
void panel_state() {
  cpgsvp(0.15f, 0.55f, 0.25f, 0.75f);
  cpgswin(0.0f, 20.0f, -5.0f, 5.0f);
  cpgsch(1.3f);
}

struct Rect {
  float x1, x2, y1, y2;  // normalised device coordinates
};

// The strip, band and text height the wedge should use, from the current page.
struct Layout {
  Rect strip, band;
  float text_height;
};

Layout expected_layout(char side, bool label) {
  float xa, xb, ya, yb, h0, xch, ych;
  cpgqvp(0, &xa, &xb, &ya, &yb);
  cpgqch(&h0);
  cpgsch(1.0f);
  cpgqcs(0, &xch, &ych);
  cpgsch(h0);
  const bool horizontal = side == 'B' || side == 'T';
  const float u = horizontal ? ych : xch;
  const float vw = Width * u * h0, vd = Disp * u * h0, w = 0.4f * vw, s = w / 5.0f;
  auto layer = [&](float t) -> Rect {
    switch (side) {
      case 'B': return {xa, xb, ya - vd - t, ya - vd};
      case 'T': return {xa, xb, yb + vd, yb + vd + t};
      case 'L': return {xa - vd - t, xa - vd, ya, yb};
      default: return {xb + vd, xb + vd + t, ya, yb};
    }
  };
  return {layer(s), layer(w), 0.6f * vw / ((label ? 3.2f : 2.2f) * u)};
}

// The frame and numbers of a band over the values 0..1, as the library's PGBOX draws them.
void draw_reference_frame(char side, const Layout& layout, const char* label) {
  cpgsch(layout.text_height);
  cpgsvp(layout.band.x1, layout.band.x2, layout.band.y1, layout.band.y2);
  cpgswin(0.0f, 1.0f, 0.0f, 1.0f);
  switch (side) {
    case 'B': cpgbox("BCNST", 0.0f, 0, "BC", 0.0f, 0); break;
    case 'T': cpgbox("BCMST", 0.0f, 0, "BC", 0.0f, 0); break;
    case 'L': cpgbox("BC", 0.0f, 0, "BCNST", 0.0f, 0); break;
    default: cpgbox("BC", 0.0f, 0, "BCMST", 0.0f, 0); break;
  }
  if (*label != ' ') cpgmtxt(std::string(1, side).c_str(), 2.2f, 1.0f, 1.0f, label);
}

bool black_or_white(unsigned rgb) { return rgb == 0x000000u || rgb == 0xFFFFFFu; }

class Wedge : public ::testing::Test {
 protected:
  void SetUp() override {
    RESET_GLOBALS();
    DEFAULT_SETTINGS();  // colour scale 1
  }
  void TearDown() override { RESET_GLOBALS(); }
  Scratch_Folder folder_;
};

TEST_F(Wedge, StripBesideTheImageInsideAFrameOfTheWholeBand) {
  struct Row {
    const char* side;
    float fg, bg;
    const char* label;
  } rows[] = {
      {"RI", 0.0f, 1.0f, " "}, {"RI", 1.0f, 0.0f, " "},  // numbers low to high either way
      {"LI", 0.0f, 1.0f, " "}, {"BI", 1.0f, 0.0f, " "},
      {"TI", 0.0f, 1.0f, " "}, {"ri", 0.0f, 1.0f, "value"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.side) + " " + std::to_string(row.fg) + " " + row.label);
    const char side = static_cast<char>(std::toupper(static_cast<unsigned char>(row.side[0])));
    Layout layout{};
    Gif_Page wedge_page(folder_, "wedge.gif");
    ASSERT_GT(wedge_page.device(), 0);
    SET_COLOUR_SCALE();
    panel_state();
    layout = expected_layout(side, *row.label != ' ');
    PGWEDG_WIN9X(row.side, Disp, Width, row.fg, row.bg, row.label);
    const QImage wedge = wedge_page.CLOSE();

    Gif_Page reference_page(folder_, "reference.gif");
    panel_state();
    draw_reference_frame(side, layout, row.label);
    const QImage reference = reference_page.CLOSE();
    ASSERT_FALSE(wedge.isNull());
    ASSERT_EQ(wedge.size(), reference.size());

    // Coloured pixels lie in the strip; every other pixel is the reference frame's.
    const int w = wedge.width(), h = wedge.height();
    int left = w, right = -1, top = h, bottom = -1;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const unsigned rgb = RGB_AT(wedge, x, y);
        if (black_or_white(rgb)) {
          ASSERT_EQ(rgb, RGB_AT(reference, x, y)) << "at " << x << "," << y;
          continue;
        }
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
      }
    const Rect& strip = layout.strip;
    EXPECT_NEAR(left, strip.x1 * w, 2.5) << "strip left";
    EXPECT_NEAR(right, strip.x2 * w, 2.5) << "strip right";
    EXPECT_NEAR(bottom, (1.0f - strip.y1) * h, 2.5) << "strip bottom";
    EXPECT_NEAR(top, (1.0f - strip.y2) * h, 2.5) << "strip top";

    // The strip's colours follow FG and BG in the order given: the FG end holds the
    // scale's lowest colour, the first of scale 1, a deep blue.
    const bool low_first = row.fg < row.bg;
    const bool vertical = side == 'L' || side == 'R';
    const int mid_x = (left + right) / 2, mid_y = (top + bottom) / 2;
    const unsigned low_end = vertical ? RGB_AT(wedge, mid_x, bottom - 1) : RGB_AT(wedge, left + 1, mid_y);
    const unsigned high_end = vertical ? RGB_AT(wedge, mid_x, top + 1) : RGB_AT(wedge, right - 1, mid_y);
    const unsigned blue_end = low_first ? low_end : high_end;
    EXPECT_LT(blue_end >> 16, 0x20u);
    EXPECT_GT(blue_end & 0xFFu, 0xD0u);
  }
}

TEST_F(Wedge, LeavesTheLibraryStateAsItFoundIt) {
  Gif_Page page(folder_);
  ASSERT_GT(page.device(), 0);
  for (const char* side : {"RI", "BI", "LG", "T", "RQ"}) {
    panel_state();
    PGWEDG_WIN9X(side, Disp, Width, 2.0f, 7.0f, "label");
    float x1, x2, y1, y2, ch;
    cpgqvp(0, &x1, &x2, &y1, &y2);
    EXPECT_FLOAT_EQ(x1, 0.15f) << side;
    EXPECT_FLOAT_EQ(x2, 0.55f) << side;
    EXPECT_FLOAT_EQ(y1, 0.25f) << side;
    EXPECT_FLOAT_EQ(y2, 0.75f) << side;
    cpgqwin(&x1, &x2, &y1, &y2);
    EXPECT_EQ(x1, 0.0f);
    EXPECT_EQ(x2, 20.0f);
    EXPECT_EQ(y1, -5.0f);
    EXPECT_EQ(y2, 5.0f);
    cpgqch(&ch);
    EXPECT_EQ(ch, 1.3f);
  }
}

// Library warnings go to the error stream.
class Error_Capture {
 public:
  Error_Capture() : old_(std::cerr.rdbuf(text_.rdbuf())) {}
  ~Error_Capture() { std::cerr.rdbuf(old_); }
  std::string text() const { return text_.str(); }

 private:
  std::ostringstream text_;
  std::streambuf* old_;
};

TEST_F(Wedge, BadSideWarnsAndDrawsNothing) {
  // The same frame around the viewport, with and without the refused wedges.
  auto page_with = [this](const std::string& name, bool wedges) {
    Gif_Page page(folder_, name);
    EXPECT_GT(page.device(), 0);
    SET_COLOUR_SCALE();
    panel_state();
    cpgbox("BC", 0.0f, 0, "BC", 0.0f, 0);
    if (wedges) {
      Error_Capture errors;
      PGWEDG_WIN9X("XI", Disp, Width, 0.0f, 1.0f, "label");
      PGWEDG_WIN9X("", Disp, Width, 0.0f, 1.0f, " ");
      EXPECT_EQ(errors.text(), "%PGPLOT, Invalid \"SIDE\" argument in PGWEDG.\n"
                               "%PGPLOT, Invalid \"SIDE\" argument in PGWEDG.\n");
    }
    return page.CLOSE();
  };
  const QImage refused = page_with("refused.gif", true);
  const QImage plain = page_with("plain.gif", false);
  ASSERT_FALSE(refused.isNull());
  EXPECT_TRUE(refused == plain);
}

// Grey or image colours: one letter is grey, I and G choose, another letter warns and keeps
// the choice of the call before.
TEST_F(Wedge, SecondLetterChoosesImageOrGrey) {
  struct Row {
    const char* side;
    bool grey;
    bool warns;
  } rows[] = {{"R", true, false}, {"RI", false, false}, {"RX", false, true}, {"Rg", true, false}, {"RX", true, true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.side);
    Gif_Page page(folder_);
    ASSERT_GT(page.device(), 0);
    SET_COLOUR_SCALE();
    panel_state();
    const Layout layout = expected_layout('R', false);
    Error_Capture errors;
    PGWEDG_WIN9X(row.side, Disp, Width, 0.0f, 1.0f, " ");
    EXPECT_EQ(!errors.text().empty(), row.warns);
    const QImage image = page.CLOSE();
    const int x = static_cast<int>((layout.strip.x1 + layout.strip.x2) / 2 * image.width());
    const int y = image.height() / 2;
    const unsigned rgb = RGB_AT(image, x, y);
    const bool grey = (rgb >> 16) == ((rgb >> 8) & 0xFFu) && ((rgb >> 8) & 0xFFu) == (rgb & 0xFFu);
    EXPECT_EQ(grey, row.grey) << std::hex << rgb;
  }
}

TEST(Wedge_Without_Device, ReturnsQuietlyOnTheLibrarysWarning) {
  Error_Capture errors;
  PGWEDG_WIN9X("RI", Disp, Width, 0.0f, 1.0f, " ");
  EXPECT_EQ(errors.text(), "%PGPLOT, PGWEDG: no graphics device has been selected\n");
}

}  // namespace
