// Drawing through a window's requests, in process: each A request builds its object, the view
// draws it into the window's picture at once, and the pixels are read back from that picture.
// Also the point-list protocol (N, B 36, B 37, B 38), the pending question, and that a replay
// of the list makes the same picture as the objects drawn one by one.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>

#include <cmath>

#include <cstdlib>
#include <string>
#include <cstring>
#include <memory>
#include <vector>

#include "kornd/CKorndApp.h"
#include "kornd/CKorndDoc.h"
#include "kornd/CKorndView.h"
#include "kornd/KRdc.h"
#include "Kornd_Window.h"
#include "Pixel_Bounds.h"

namespace {

constexpr QRgb White = 0xFFFFFFFF, Black = 0xFF000000, Red = 0xFFFF0000, Green = 0xFF00FF00, Blue = 0xFF0000FF;

// One graphics window of 100 x 80 pixels (window 1).
class Window : public Kornd_Window {
 public:
  explicit Window(int w = 100, int h = 80) : Kornd_Window(1, w, h) {}
};

struct Pixel_Row {
  int x, y;
  QRgb colour;
};

void expect_pixels(Window& w, std::initializer_list<Pixel_Row> rows) {
  for (const Pixel_Row& r : rows)
    EXPECT_EQ(w.Pixel(r.x, r.y), r.colour) << "(" << r.x << ", " << r.y << ")";
}

}  // namespace

TEST(Drawing, LinesLeaveOutTheirEndPixel) {
  Window w;
  EXPECT_EQ(w.A(11, {10, 10}), 1u);  // move
  EXPECT_EQ(w.A(20, {20, 10}), 1u);  // line
  EXPECT_EQ(w.A(20, {20, 15}), 1u);  // continues from (20, 10)
  expect_pixels(w, {{9, 10, White}, {10, 10, Black}, {19, 10, Black}, {20, 10, Black}, {20, 14, Black},
                    {20, 15, White}, {21, 10, White}});
  EXPECT_EQ(w.doc().ObjectCount(), 3);
}

TEST(Drawing, RectanglesAndSolidFillsHaveExclusiveEdges) {
  Window w;
  w.A(21, {0, 0, 10, 10, 20, 20});  // hollow brush at first: outline only
  expect_pixels(w, {{10, 10, Black}, {19, 10, Black}, {19, 19, Black}, {20, 20, White}, {15, 15, White}});
  w.block().brush_style = 1;   // solid
  w.block().brush_colour = 13;  // red
  w.SetGDI(0x30);
  w.A(21, {0, 0, 40, 10, 30, 20});  // corners given the other way round: normalised
  expect_pixels(w, {{30, 10, Black}, {31, 11, Red}, {38, 18, Red}, {39, 19, Black}, {40, 20, White}});
  w.A(22, {14, 0, 50, 50, 60, 55});  // solid rectangle in green, no outline
  expect_pixels(w, {{50, 50, Green}, {59, 54, Green}, {60, 54, White}, {59, 55, White}});
  w.A(22, {-1, 0, 52, 51, 55, 53});  // colour -1: the window's background
  expect_pixels(w, {{52, 51, White}, {54, 52, White}, {55, 52, Green}});
}

TEST(Drawing, PixelsClearAndMixModes) {
  Window w;
  w.A(19, {3, 4, 13});     // red pixel
  w.A(19, {5, 6, -100});   // no colour: nothing, and the pixel colour becomes none
  expect_pixels(w, {{3, 4, Red}, {5, 6, White}, {4, 4, White}});
  EXPECT_EQ(w.doc().Environment().Role(11), -1);
  w.A(18, {0, 0, 16});     // whole window blue
  expect_pixels(w, {{0, 0, Blue}, {99, 79, Blue}, {3, 4, Blue}});
  // XOR pen: the same line twice leaves the picture as it was.
  w.block().pen_mix = 7;
  w.block().pen_colour = 19;
  w.SetGDI(0xC);
  w.A(11, {0, 40});
  w.A(20, {50, 40});
  EXPECT_EQ(w.Pixel(10, 40), 0xFFFFFF00);  // white xor blue
  w.A(11, {0, 40});
  w.A(20, {50, 40});
  EXPECT_EQ(w.Pixel(10, 40), Blue);
}

TEST(Drawing, EllipsePolygonAndFlood) {
  Window w;
  w.block().brush_style = 1;
  w.block().brush_colour = 14;  // green
  w.SetGDI(0x30);
  w.A(24, {0, 0, 10, 10, 30, 30});
  expect_pixels(w, {{20, 20, Green}, {10, 10, White}, {20, 10, Black}});
  EXPECT_EQ(w.Points(28, {{50, 10}, {90, 10}, {50, 50}}), 1u);
  expect_pixels(w, {{55, 15, Green}, {85, 45, White}});
  // Flood fill of the white area inside a rectangle outline with a red brush.
  w.block().brush_colour = 13;
  w.SetGDI(0x20);
  w.block().brush_style = 0;  // hollow for the outline
  w.SetGDI(0x10);
  w.A(21, {0, 0, 5, 60, 25, 75});
  w.block().brush_style = 1;
  w.SetGDI(0x10);
  w.A(17, {10, 65});
  expect_pixels(w, {{10, 65, Red}, {23, 73, Red}, {5, 60, Black}, {26, 65, White}});
}

TEST(Drawing, PointListsAndTheirQuestion) {
  Window w;
  // Counts the factory refuses ask "Invalid parameter.  Abort?"; Yes refuses the request.
  struct Row {
    int code, count;
  } refused[] = {{28, 2}, {30, 1}, {28, -5}, {30, 1 << 30}};
  for (const Row& r : refused) EXPECT_EQ(w.Request('N', r.code, {r.count}), 0x80000002u) << r.count;
  EXPECT_EQ(w.doc().PendingMessage(), 0);
  EXPECT_EQ(w.Request('N', 30, {3}), 1u);
  EXPECT_EQ(w.doc().DataBufferSize(), 24u);
  // B 36 pieces must fit the buffer.
  EXPECT_EQ(w.Request('B', 36, {0, 25}), 0u);
  EXPECT_EQ(w.Request('B', 36, {20, 8}), 0u);
  EXPECT_EQ(w.Request('B', 36, {-1, 4}), 0u);
  EXPECT_EQ(w.Request('B', 36, {16, 8}), 1u);
  // A second N replaces the first; B 37 adds only the second.
  std::vector<KRpoint> line{{10, 70}, {30, 70}, {30, 50}};
  EXPECT_EQ(w.Points(30, line), 1u);
  EXPECT_EQ(w.doc().ObjectCount(), 1);
  expect_pixels(w, {{10, 70, Black}, {29, 70, Black}, {30, 70, Black}, {30, 51, Black}, {30, 50, White}});
  EXPECT_EQ(w.Request('B', 37), 0x80000002u);  // nothing pending any more
  EXPECT_EQ(w.Request('N', 28, {4}), 1u);
  EXPECT_EQ(w.Request('B', 38), 1u);  // dropped
  EXPECT_EQ(w.doc().DataBufferSize(), 0u);
  EXPECT_EQ(w.doc().ObjectCount(), 1);
  // A following Line starts where the polyline ended.
  w.A(20, {40, 50});
  expect_pixels(w, {{35, 50, Black}, {39, 50, Black}});
}

TEST(Drawing, CodesTheFactoryDoesNotBuildAddNothing) {
  Window w;
  for (int code : {0, 1, 31, 33, -4, 6}) {  // 6: a change mask of 0
    w.block().change_mask = 0;
    EXPECT_EQ(w.A(code), 1u) << code;
  }
  EXPECT_EQ(w.doc().ObjectCount(), 0);
  EXPECT_EQ(w.doc().PendingMessage(), 0);
  EXPECT_EQ(w.Request('H', 0), 0x80000001u);
  EXPECT_EQ(w.Request('B', 41), 0x80000002u);
  // A drawing-state object with brush style 9 loses only that bit.
  w.block().brush_style = 9;
  w.block().brush_colour = 13;
  w.SetGDI(0x30);
  EXPECT_EQ(w.doc().ObjectCount(), 1);
  EXPECT_EQ(w.doc().Environment().brush_desc.colour, 0x0000FFu);
  EXPECT_EQ(w.doc().Environment().brush_desc.style, 1u);  // still hollow
  EXPECT_EQ(w.block().change_mask, 0u);
}

TEST(Drawing, AReplayMakesTheSamePicture) {
  Window w;
  w.block().brush_style = 2;  // hatched
  w.block().hatch = 5;
  w.block().brush_colour = 13;
  w.block().pen_style = 2;    // dashes
  w.SetGDI(0x51);
  w.A(21, {0, 0, 5, 5, 60, 40});
  w.Points(30, {{0, 79}, {50, 60}, {99, 79}});
  w.A(20, {0, 0});
  w.A(5, {16, 2});  // background role: blue
  w.A(24, {0, 0, 60, 40, 95, 75});
  w.block().pen_mix = 6;  // merge
  w.SetGDI(0x8);
  w.A(11, {0, 20});
  w.A(20, {99, 20});
  QImage incremental = w.view().Surface().copy();
  EXPECT_EQ(w.doc().Background(), 0xFF0000);
  w.view().ReplayAll();
  QImage replayed = w.view().Surface().copy();
  ASSERT_EQ(incremental.size(), replayed.size());
  int differing = 0;
  for (int y = 0; y < replayed.height(); ++y)
    for (int x = 0; x < replayed.width(); ++x)
      if (incremental.pixel(x, y) != replayed.pixel(x, y)) ++differing;
  EXPECT_EQ(differing, 0);
  EXPECT_EQ(w.Pixel(99, 0), Blue);  // the new background
}

TEST(Drawing, ClearAllAndEraseRedrawTheWindow) {
  Window w;
  w.A(18, {0, 0, 13});
  EXPECT_EQ(w.Pixel(50, 50), Red);
  EXPECT_TRUE(w.doc().ClearAll());
  EXPECT_EQ(w.Pixel(50, 50), White);
  w.A(11, {0, 0});
  w.block().segment = 1;
  w.A(20, {50, 0});
  EXPECT_EQ(w.Pixel(10, 0), Black);
  EXPECT_EQ(w.doc().EraseLast(1, true), 1);
  EXPECT_EQ(w.Pixel(10, 0), White);
}

#include "kornd/CKorndText.h"

TEST(Text, OriginAndAnchorByAlignment) {
  struct Row {
    int align;
    KRpoint origin;
  } rows[] = {{0, {80, 105}}, {1, {100, 100}}, {2, {60, 100}}, {3, {60, 110}}, {4, {100, 110}},
              {5, {100, 105}}, {6, {80, 100}}, {7, {60, 105}}, {8, {80, 110}}, {9, {100, 100}}, {-1, {100, 100}}};
  for (const Row& r : rows) {
    EXPECT_EQ(CKorndText::OriginFromAnchor(r.align, {100, 100}, 40, 10), r.origin) << r.align;
    EXPECT_EQ(CKorndText::AnchorFromOrigin(r.align, r.origin, 40, 10), (KRpoint{100, 100})) << r.align;
  }
  // Halves truncate toward zero.
  EXPECT_EQ(CKorndText::OriginFromAnchor(0, {0, 0}, 5, 3), (KRpoint{-2, 1}));
}

TEST(Text, DrawnInItsColourAndFollowedByTheNext) {
  Window w(200, 100);
  w.block().text_height = 20;
  w.block().text_colour = 13;  // red
  EXPECT_EQ(w.A(9, {1}), 1u);
  EXPECT_EQ(w.doc().Environment().Role(7), 0x0000FF);
  EXPECT_EQ(w.doc().Environment().text_logfont.height, 20);
  std::strcpy(w.block().data, "Hi");
  EXPECT_EQ(w.A(15, {10, 50}), 1u);
  const CKorndTool& text = *w.doc().Tools().back();
  EXPECT_TRUE(text.flags() & CKorndTool::Prepared);
  KRrect box = text.rect();
  EXPECT_EQ(box.left, 10);
  EXPECT_LT(box.top, 50);
  EXPECT_GT(box.right, 11);
  int red = 0, outside = 0;
  const QImage& s = w.view().Surface();
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x)
      if (s.pixel(x, y) == Red) {
        ++red;
        if (x < box.left || x >= box.right || y < box.top || y >= box.bottom) ++outside;
      }
  EXPECT_GT(red, 10);
  EXPECT_EQ(outside, 0);
  // The next text without a point continues where this one ended.
  KRpoint after = w.doc().Environment().text_position;
  EXPECT_EQ(after.y, 50);
  EXPECT_EQ(after.x, box.right - 1);
  std::strcpy(w.block().data, "x");
  w.A(15, {3 * 200, 0});  // a point far outside the picture continues too
  EXPECT_EQ(w.doc().Tools().back()->rect().left, after.x);
}

void expect_near(const KRrect& got, const KRrect& want, int slack, const std::string& what) {
  EXPECT_NEAR(got.left, want.left, slack) << what;
  EXPECT_NEAR(got.top, want.top, slack) << what;
  EXPECT_NEAR(got.right, want.right, slack) << what;
  EXPECT_NEAR(got.bottom, want.bottom, slack) << what;
}

// The reference point's y in the upright box (0, -cy)-(cx, 0) by the text alignment.
int reference_y(int align, int cy) {
  switch (align) {
    case 0: case 5: case 7: return -(cy / 2);
    case 3: case 4: case 8: return -cy;
    default: return 0;
  }
}

// The text request draws its cell (glyphs red on a green background) where the extent request
// places the text box: the box stands on the baseline, the drawn cell reaches the descent below
// it, along the turned text. a6 is -(bottom + reference y) of the turned box, so the box's
// bottom below the reference point is -a6 - 2 reference y (for upright text simply -a6).
TEST(Text, ExtentRequestMeasuresTheBoxTheTextIsDrawnIn) {
  struct Row {
    const char* text;
    const char* face;
    int height, align, angle;
    int slack;  // turned cells are rasterised to a pixel or two
  } rows[] = {
      {"Hello", "DejaVu Sans", 20, 1, 0, 0},      {"Hello", "DejaVu Sans", 20, 0, 0, 0},
      {"Wg|1.5", "DejaVu Serif", 33, 4, 0, 0},    {"Wg|1.5", "DejaVu Serif", -16, 7, 0, 0},
      {"x", "DejaVu Sans Mono", 24, 8, 0, 0},     {"Hello", "DejaVu Sans", 20, 12, 0, 0},
      {"Hello", "DejaVu Sans", 20, 1, 900, 2},    {"Wg|1.5", "DejaVu Serif", 30, 4, 1800, 2},
      {"Hello", "DejaVu Sans", 20, 0, 450, 2},    {"Wg|1.5", "DejaVu Sans", 26, 3, 2700, 2},
  };
  for (const Row& r : rows) {
    const std::string what = std::string(r.text) + " " + r.face + " " + std::to_string(r.height) + " align " +
                             std::to_string(r.align) + " angle " + std::to_string(r.angle);
    Window w(300, 300);
    w.block().text_height = r.height;
    w.block().text_align = r.align;
    w.block().text_angle = r.angle;
    w.block().text_colour = 13;      // red
    w.block().text_background = 14;  // green: the whole cell shows
    w.Data(r.face, std::strlen(r.face) + 1);
    ASSERT_EQ(w.A(9, {1}), 1u);
    w.Data(r.text, std::strlen(r.text) + 1);
    ASSERT_EQ(w.Request('B', 17), 1u) << what;
    const int width = w.block().a[2], height = w.block().a[3], ref_x = w.block().a[4], ref_y = w.block().a[5];
    ASSERT_EQ(w.A(15, {150, 150}), 1u);

    QFont font = *w.doc().Environment().text_font;
    font.setStyleStrategy(QFont::NoAntialias);
    const QFontMetrics fm(font);
    if (r.angle == 0) {
      EXPECT_EQ(width, fm.horizontalAdvance(r.text)) << what;
      EXPECT_EQ(height, fm.height()) << what;
    }
    // the box with its reference point on the anchor, moved by the descent turned with the text
    const double turn = r.angle * M_PI / 1800;
    const int dx = int(std::lround(fm.descent() * std::sin(turn))), dy = int(std::lround(fm.descent() * std::cos(turn)));
    const int left = 150 - ref_x, bottom = 150 - ref_y - 2 * reference_y(r.align, fm.height());
    expect_near(inked(w.Surface()), KRrect{left + dx, bottom - height + dy, left + width + dx, bottom + dy}, r.slack, what);
  }
}

TEST(Text, ExtentRequestForCentredTextOfEvenHeightGivesHalves) {
  Window w;
  w.block().text_height = 20;
  w.block().text_align = 0;
  w.Data("DejaVu Sans", 12);
  w.A(9, {1});
  w.Data("Centre", 7);
  ASSERT_EQ(w.Request('B', 17), 1u);
  ASSERT_EQ(w.block().a[3] % 2, 0) << "an even cell height";
  EXPECT_EQ(w.block().a[4], w.block().a[2] / 2);
  EXPECT_EQ(w.block().a[5], w.block().a[3] / 2);
}

TEST(Text, SymbolExtentRequestMeasuresTheDrawnCharacterCell) {
  struct Row {
    int character, height, angle, slack;
  } rows[] = {{'A', 20, 0, 0}, {'g', 31, 0, 0}, {0xB0, 18, 0, 0}, {0x141, 20, 0, 0},  // "%c": the low byte
              {'W', 24, 900, 2}, {'W', 24, 450, 2}, {'j', 28, 1800, 2}};
  for (const Row& r : rows) {
    const std::string what = std::to_string(r.character) + " height " + std::to_string(r.height) + " angle " +
                             std::to_string(r.angle);
    Window w(200, 200);
    w.block().symbol_height = r.height;
    w.block().symbol_angle = r.angle;
    w.block().symbol_align = 0;
    w.block().symbol_colour = 13;
    w.block().symbol_background = 14;
    w.Data("DejaVu Sans", 12);
    ASSERT_EQ(w.A(10, {1}), 1u);
    w.block().a[3] = w.block().a[4] = 0;
    ASSERT_EQ(w.Request('B', 18, {r.character, 0, 0, 0, 0, 77}), 1u) << what;
    EXPECT_EQ(w.block().a[5], 77) << "a6 is not written";
    const int width = w.block().a[3], height = w.block().a[4];
    w.block().symbol_char = static_cast<std::uint8_t>(r.character);
    ASSERT_EQ(w.A(16, {100, 100}), 1u);
    const KRrect cell = inked(w.Surface());
    EXPECT_NEAR(cell.right - cell.left, width, r.slack) << what;
    EXPECT_NEAR(cell.bottom - cell.top, height, r.slack) << what;
    EXPECT_GT(width, 0) << what;
  }
}

TEST(Text, AttributesWithoutAFontChangeOnlyAlignmentAndBackground) {
  Window w;
  int height = w.doc().Environment().text_logfont.height;
  w.block().text_height = 33;
  w.block().text_align = 3;
  w.block().text_background = 14;
  w.A(9, {0});
  EXPECT_EQ(w.doc().Environment().text_align, 3);
  EXPECT_EQ(w.doc().Environment().Role(8), 0x00FF00);
  EXPECT_EQ(w.doc().Environment().text_logfont.height, height);
  EXPECT_FALSE(w.doc().Tools().back()->flags() & CKorndTool::Prepared);
}

namespace {

// Sends a plot: N 32 with its count and mode, the values through B 36, then B 37.
std::uint32_t plot(Window& w, int count, int mode, int first, int last, int size, int base,
                   const std::vector<std::int32_t>& values) {
  std::uint32_t r = w.Request('N', 32, {count, mode, first, last, size, base});
  if (r != 1) return r;
  std::memcpy(w.block().data, values.data(), values.size() * 4);
  if (w.Request('B', 36, {0, int(values.size() * 4)}) != 1) return 0;
  return w.Request('B', 37);
}

}  // namespace

TEST(Plot, HorizontalBarsAndCounts) {
  Window w;
  w.block().brush_style = 1;
  w.block().brush_colour = 13;
  w.SetGDI(0x30);
  // n = -3: the values are x, the positions y from 10 to 50; outlined bars from x = 5.
  EXPECT_EQ(plot(w, -3, -7, 10, 50, 4, 5, {30, 50, 70}), 1u);
  expect_pixels(w, {{15, 10, Red}, {5, 10, Black}, {29, 10, Black}, {30, 10, White}, {45, 30, Red},
                    {65, 50, Red}, {15, 20, White}, {15, 40, White}});
  EXPECT_EQ(w.doc().Tools().back()->rect(), (KRrect{5, 10, 70, 50}));
  // Counts: n = 0 always refused; one point only for markers and symbols.
  struct Row {
    int count, mode;
    std::uint32_t reply;
  } rows[] = {{0, 0, 0x80000002u}, {-1, -1, 0x80000002u}, {-1, -5, 0x80000002u}, {-1, 0, 1u}, {1, 3, 1u},
              {1, -2, 1u}, {2, -1, 1u}};
  for (const Row& r : rows) {
    std::vector<std::int32_t> v(static_cast<std::size_t>(std::abs(r.count)), 20);
    EXPECT_EQ(plot(w, r.count, r.mode, 0, 10, 3, 0, v), r.reply) << r.count << " " << r.mode;
  }
}

TEST(Plot, VerticalDropLinesAndPolyline) {
  Window w;
  EXPECT_EQ(plot(w, 3, -2, 10, 30, 0, 70, {20, 40, 60}), 1u);  // x 10, 20, 30; lines from y = 70 up
  expect_pixels(w, {{10, 70, Black}, {10, 21, Black}, {10, 20, White}, {20, 41, Black}, {30, 61, Black},
                    {15, 65, White}});
  EXPECT_EQ(plot(w, 2, -1, 50, 90, 0, 0, {5, 5}), 1u);  // one polyline
  expect_pixels(w, {{50, 5, Black}, {89, 5, Black}, {90, 5, White}});
}

TEST(Marks, SolidSquaresAndShapes) {
  Window w;
  // Kind 0: a solid square of the default marker size (2 for this picture) in the marker
  // colour (blue by default), whatever the size.
  w.block().mark_type = 0;
  w.block().mark_size = 0;
  w.SetGDI(0x180);
  EXPECT_EQ(w.A(14, {0, 0, 0, 10, 10}), 1u);
  EXPECT_EQ(w.doc().Tools().back()->type(), 22);
  EXPECT_EQ(w.doc().Tools().back()->rect(), (KRrect{9, 9, 11, 11}));
  expect_pixels(w, {{9, 9, Blue}, {10, 10, Blue}, {11, 10, White}, {8, 9, White}});
  w.block().mark_size = 5;
  w.SetGDI(0x100);
  w.A(14, {0, 0, 0, 20, 20});
  EXPECT_EQ(w.doc().Tools().back()->rect(), (KRrect{19, 19, 21, 21}));
  // Kind 2 (plus), size 9, red.
  w.block().mark_type = 2;
  w.block().mark_size = 9;
  w.block().mark_colour1 = 13;
  w.SetGDI(0x380);
  w.A(14, {0, 0, 0, 50, 40});
  EXPECT_EQ(w.doc().Tools().back()->type(), 14);
  expect_pixels(w, {{50, 36, Red}, {50, 43, Red}, {46, 40, Red}, {53, 40, Red}, {47, 37, White}});
  // Kinds above 6 make nothing.
  w.block().mark_type = 7;
  w.SetGDI(0x80);
  int before = w.doc().ObjectCount();
  w.A(14, {0, 0, 0, 60, 60});
  EXPECT_EQ(w.doc().ObjectCount(), before);
}

namespace {

// Counts pixels of a colour inside a rectangle.
int count(Window& w, QRgb colour, KRrect r) {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (w.Pixel(x, y) == colour) ++n;
  return n;
}

}  // namespace

TEST(Shapes, RoundRectArcChordPie) {
  Window w(200, 100);
  w.block().brush_style = 1;
  w.block().brush_colour = 14;  // green
  w.SetGDI(0x30);
  w.A(23, {10, 10, 10, 10, 40, 30});  // corners of 10 x 10
  expect_pixels(w, {{25, 20, Green}, {10, 10, White}, {10, 20, Black}, {25, 10, Black}});
  // Quarter pie from 0 degrees (right) counter-clockwise to 90 degrees (top) of a circle.
  std::int32_t radial[4] = {100, 30, 80, 10};
  std::memcpy(w.block().data, radial, sizeof radial);
  w.A(27, {0, 0, 60, 10, 100, 50});
  EXPECT_GT(count(w, Green, {81, 11, 99, 29}), 150);   // the top-right quarter is filled
  EXPECT_EQ(count(w, Green, {61, 31, 79, 49}), 0);     // the bottom-left is not
  EXPECT_EQ(count(w, Green, {61, 11, 79, 29}), 0);
  // A chord over the same quarter leaves the triangle at the centre empty.
  Window c(200, 100);
  c.block().brush_style = 1;
  c.block().brush_colour = 14;
  c.SetGDI(0x30);
  std::memcpy(c.block().data, radial, sizeof radial);
  c.A(26, {0, 0, 60, 10, 100, 50});
  expect_pixels(c, {{92, 16, Green}, {83, 25, White}});
  // An arc draws only its outline, in the quarter it spans.
  Window a(200, 100);
  std::memcpy(a.block().data, radial, sizeof radial);
  a.A(25, {0, 0, 60, 10, 100, 50});
  EXPECT_GT(count(a, Black, {80, 10, 100, 30}), 20);
  EXPECT_EQ(count(a, Black, {60, 30, 80, 50}), 0);
}

TEST(Shapes, BezierCounts) {
  Window w;
  EXPECT_EQ(w.Points(29, {{10, 10}, {20, 0}, {30, 20}, {40, 10}, {50, 0}, {60, 20}, {70, 10}}), 1u);
  EXPECT_EQ(w.Pixel(10, 10), Black);
  EXPECT_EQ(w.doc().Tools().back()->rect(), (KRrect{10, 0, 70, 20}));
  EXPECT_EQ(w.Request('N', 29, {6}), 0x80000002u);  // 6 points: refused with the question
  EXPECT_EQ(w.Request('N', 29, {3}), 0x80000002u);
  EXPECT_EQ(w.doc().ObjectCount(), 1);
}

#include <QTimer>

#include <chrono>

TEST(Pauses, WaitWhenNewAndPassOverInRepaints) {
  using Clock = std::chrono::steady_clock;
  auto ms_since = [](Clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
  };
  Window w;
  auto t0 = Clock::now();
  EXPECT_EQ(w.A(3, {60}), 1u);
  EXPECT_GE(ms_since(t0), 55);
  // Type 4: -5000 sets the base tick to 5000; 100 then waits until tick 5100, long past.
  w.A(4, {-5000});
  EXPECT_EQ(w.doc().Environment().base_tick, 5000u);
  t0 = Clock::now();
  w.A(4, {100});
  EXPECT_LT(ms_since(t0), 50);
  // A repaint of the whole list passes over the pauses; the Replay command performs them.
  t0 = Clock::now();
  w.view().ReplayAll();
  EXPECT_LT(ms_since(t0), 50);
  t0 = Clock::now();
  w.view().ReplayAll(true);
  EXPECT_GE(ms_since(t0), 55);
  // A window that ends during a wait ends the wait at once, and the server stops serving.
  QTimer::singleShot(30, [&] { w.view().EndWaits(); });
  t0 = Clock::now();
  w.A(3, {5000});
  EXPECT_LT(ms_since(t0), 2000);
  EXPECT_TRUE(KorndApp()->closing);
  KorndApp()->closing = false;
}

#include <QAction>
#include <QMenuBar>

#include "kornd/CKorndMain.h"

TEST(MainFrame, MenusModesPanesAndShowStates) {
  CKorndMain main(KorndApp());
  QStringList titles;
  for (QAction* a : main.menuBar()->actions()) titles << a->text();
  EXPECT_EQ(titles, (QStringList{"&File", "&View", "&Window", "&Help"}));  // no graphics window yet
  // The default modes: storing and buffering on, inquiring off; the menu flips them.
  EXPECT_TRUE(main.default_storing);
  EXPECT_FALSE(main.default_inquiring);
  for (QAction* menu : main.menuBar()->actions())
    for (QAction* a : menu->menu()->actions()) {
      if (a->text() == "S&toring") a->trigger();
      if (a->text() == "&Inquiring") a->trigger();
    }
  EXPECT_FALSE(main.default_storing);
  EXPECT_TRUE(main.default_inquiring);
  // Panes.
  main.ShowCoordinates(12, 345, 3);
  EXPECT_EQ(main.PaneText(1), QString(" 0- 3/ 0: u=12, v=345"));
  main.ShowViewRect(0, 0, 640, 480);
  EXPECT_EQ(main.PaneText(2), QString("(0, 0) - (640, 480)"));
  main.SetLiveCount(42);
  main.ShowStatusBar(true);
  EXPECT_EQ(main.PaneText(3), QString("        42"));
  // Show states and z-order.
  main.show();
  main.ShowFrame(11);
  EXPECT_TRUE(main.IsTopmost());
  main.ShowFrame(15);  // no such code: nothing
  EXPECT_TRUE(main.IsTopmost());
  main.ShowFrame(12);
  EXPECT_FALSE(main.IsTopmost());
  main.ShowFrame(0);
  EXPECT_FALSE(main.isVisible());
}

TEST(Colours, CancelledColourCommandRecordsNothing) {
  Window w;
  EXPECT_FALSE(w.doc().MakeTextTool());  // every box and dialog takes its first answer: none
  EXPECT_FALSE(w.doc().MakeSymbolTool());
  EXPECT_EQ(w.doc().MakeColorTool(1), -1);
  EXPECT_EQ(w.doc().ObjectCount(), 0);
  EXPECT_EQ(w.block().fg, 0);
}

TEST(Attributes, TransformAndClip) {
  Window w;
  // Translation by (10, 20) with the identity matrix in 16.16 fixed point.
  w.A(7, {10, 20, 65536, 0, 0, 65536});
  EXPECT_TRUE(w.doc().Environment().xform_active);
  w.A(22, {13, 0, 0, 0, 5, 5});  // a red square at (0, 0) lands at (10, 20)
  expect_pixels(w, {{10, 20, Red}, {14, 24, Red}, {0, 0, White}, {15, 25, White}});
  w.A(7, {0, 0, 65536, 0, 0, 65536});  // the identity clears the active flag
  EXPECT_FALSE(w.doc().Environment().xform_active);
  // Clip to (40, 40, 50, 50): a larger fill shows only inside it.
  w.A(8, {0, 0, 40, 40, 50, 50});
  EXPECT_EQ(w.doc().Environment().clip, (KRrect{40, 40, 50, 50}));
  w.A(22, {14, 0, 30, 30, 70, 70});
  expect_pixels(w, {{40, 40, Green}, {49, 49, Green}, {39, 45, White}, {50, 45, White}, {45, 50, White}});
  w.A(8, {0, 0, 0, 0, 0, 0});  // an empty rectangle removes the clip
  w.A(22, {14, 0, 30, 30, 70, 70});
  expect_pixels(w, {{30, 30, Green}, {69, 69, Green}});
  // A region mode outside 0-4 makes nothing.
  int before = w.doc().ObjectCount();
  w.A(8, {5, 0, 1, 1, 2, 2});
  EXPECT_EQ(w.doc().ObjectCount(), before);
}

TEST(Attributes, ResetAndColourRoles) {
  Window w;
  w.block().pen_colour = 13;
  w.SetGDI(0x4);
  EXPECT_EQ(w.doc().Environment().Role(3), 0x0000FF);
  w.A(5, {0x2123456, 20});  // custom colour 20
  EXPECT_EQ(w.doc().Environment().palette[0], 0x123456);
  int before = w.doc().ObjectCount();
  w.A(5, {13, 12});  // slot 12 is neither a role nor a custom colour
  EXPECT_EQ(w.doc().ObjectCount(), before);
  w.block().pen_width = 7;
  w.A(2);  // reset: the block head and the environment return to their defaults
  EXPECT_EQ(w.block().pen_width, 1);
  EXPECT_EQ(w.doc().Environment().Role(3), 0x000000);
  EXPECT_EQ(w.doc().Environment().palette[0], 0x008080);
}

#include "kornd/CKorndHintTool.h"
#include "kornd/CKorndLine.h"
#include "kornd/CKorndOG.h"
#include "kornd/CKorndSetColor.h"

TEST(Groups, MembersMovedDrawnAndCounted) {
  Window w;
  auto group = std::make_unique<CKorndOG>();
  std::unique_ptr<CKorndTool> empty = std::make_unique<CKorndOG>();
  EXPECT_EQ(group->AddTool(empty), 0);  // an empty group changes nothing and is not marked
  EXPECT_FALSE(empty->IsErased());
  std::unique_ptr<CKorndTool> colour = std::make_unique<CKorndSetColor>();
  static_cast<CKorndSetColor&>(*colour).slot = 5;
  static_cast<CKorndSetColor&>(*colour).colour = 0x00FF00;
  EXPECT_EQ(group->AddTool(colour), 1);
  EXPECT_EQ(colour, nullptr);
  // Only attribute objects: the environment changes, nothing is drawn, the rectangle is empty.
  QImage scratch(40, 10, QImage::Format_RGB32);
  scratch.fill(Qt::white);
  KRdc dc(&scratch);
  CKorndGC env;
  EXPECT_EQ(group->Draw(env, &w.doc(), &w.view(), dc, 0), 0);
  EXPECT_EQ(env.Role(5), 0x00FF00);
  EXPECT_EQ(group->rect(), KRrect{});
  // The members of another group move in; the emptied group is marked erased.
  std::unique_ptr<CKorndTool> other = std::make_unique<CKorndOG>();
  std::unique_ptr<CKorndTool> line = std::make_unique<CKorndLine>();
  static_cast<CKorndLine&>(*line).end = {30, 5};
  line->SetRect({0, 5, 30, 6});
  static_cast<CKorndOG&>(*other).AddTool(line);
  EXPECT_EQ(group->AddTool(other), 1);
  EXPECT_TRUE(other->IsErased());
  EXPECT_EQ(static_cast<CKorndOG&>(*other).Weight(), 0);
  EXPECT_EQ(group->Weight(), 2);
  // Drawing: 1 when a member drew; the rectangle is the members' union.
  dc.MoveTo(0, 5);
  EXPECT_EQ(group->Draw(env, &w.doc(), &w.view(), dc, 0), 1);
  EXPECT_EQ(scratch.pixel(10, 5), Black);
  EXPECT_EQ(group->rect(), (KRrect{0, 5, 30, 6}));
  // In a document a group counts as its members.
  std::unique_ptr<CKorndTool> g = std::move(group);
  w.doc().AddTool(g);
  EXPECT_EQ(w.doc().ObjectCount(), 2);
  EXPECT_EQ(w.doc().ObjectsInSegment(0), 1);
}

TEST(Groups, HintObjectsTakeNoId) {
  int next = CKorndTool::NextId();
  {
    CKorndHintTool hint;
    EXPECT_EQ(hint.id(), 0);
    EXPECT_EQ(hint.flags(), 0xCu);
  }
  EXPECT_EQ(CKorndTool::NextId(), next);
  CKorndLine line;
  EXPECT_EQ(line.id(), next);
}

#include <QMdiArea>

#include "kornd/CKorndChild.h"

TEST(MainFrame, ArrangeTilesTheWindows) {
  CKorndMain main(KorndApp());
  main.resize(800, 600);
  main.show();
  std::vector<CKorndChild*> children;
  for (int i = 0; i < 2; ++i) {
    auto* child = new CKorndChild(std::make_unique<CKorndDoc>(), 5);
    main.MdiArea()->addSubWindow(child);
    child->show();
    children.push_back(child);
  }
  main.Arrange(2);  // one above the other, full width
  EXPECT_EQ(children[0]->x(), 0);
  EXPECT_EQ(children[1]->x(), 0);
  EXPECT_LT(children[0]->y(), children[1]->y());
  EXPECT_EQ(children[0]->width(), main.MdiArea()->viewport()->width());
  main.Arrange(3);  // side by side, full height
  EXPECT_EQ(children[0]->y(), 0);
  EXPECT_EQ(children[1]->y(), 0);
  EXPECT_LT(children[0]->x(), children[1]->x());
  EXPECT_EQ(children[0]->height(), main.MdiArea()->viewport()->height());
  QRect before = children[1]->geometry();
  main.Arrange(9);  // no such arrangement: nothing
  EXPECT_EQ(children[1]->geometry(), before);
}

TEST(View, PaintCopiesThePictureAndStoringOffIsLostOnReplay) {
  Window w;
  w.view().resize(100, 80);
  w.A(22, {13, 0, 10, 10, 20, 20});
  QImage shown = w.view().grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(shown.size(), QSize(100, 80));
  EXPECT_EQ(shown.pixel(15, 15), Red);
  EXPECT_EQ(shown.pixel(25, 25), White);
  // Storing off: drawn once, not kept, so a replay of the list loses it.
  w.doc().SetStoring(false);
  w.A(22, {14, 0, 30, 30, 40, 40});
  EXPECT_EQ(w.Pixel(35, 35), Green);
  EXPECT_EQ(w.doc().ObjectCount(), 1);
  // The back buffer got it too, so a repaint keeps it; once storing is on again, a repaint that
  // makes the picture anew from the list loses it.
  w.view().ReplayAll();
  EXPECT_EQ(w.Pixel(35, 35), Green);
  w.doc().SetStoring(true);
  w.view().ReplayAll();
  EXPECT_EQ(w.Pixel(35, 35), White);
  EXPECT_EQ(w.Pixel(15, 15), Red);
}

#include <cstdio>

TEST(Images, BitmapsPutAndMovedWithoutATrail) {
  Window w;
  std::vector<std::uint32_t> red(4 * 3, 0x0000FF);
  int n = w.doc().MakeBitmap(red.data(), red.size() * 4, 0, 4, 3, 24);
  ASSERT_GT(n, 0);
  w.block().bitmap_number = n;
  w.block().bitmap_rop = 1;  // copy
  w.block().bitmap_flags = 1;
  EXPECT_EQ(w.A(13, {20, 20}), 1u);  // centred on (20, 20)
  EXPECT_EQ(w.doc().Tools().back()->rect(), (KRrect{18, 19, 22, 22}));
  expect_pixels(w, {{18, 19, Red}, {21, 21, Red}, {22, 21, White}, {17, 19, White}});
  // Put mode 7: each put restores what the last one covered, saves and draws.
  w.block().bitmap_flags = 7;
  w.A(13, {50, 50});
  w.A(13, {70, 50});
  expect_pixels(w, {{50, 50, White}, {70, 50, Red}, {20, 20, Red}});
  // Numbers without a bitmap make nothing.
  int before = w.doc().ObjectCount();
  for (int bad : {-1, n + 1, 1000}) {
    w.block().bitmap_number = bad;
    w.A(13, {5, 5});
  }
  EXPECT_EQ(w.doc().ObjectCount(), before);
}

TEST(Images, SymbolsPlayedAtTheirPlace) {
  Window w;
  // A marker symbol: a filled red square of 6 pixels (M 7).
  ASSERT_EQ(w.Request('M', 7, {0, 1, 6, 13, -100, 4}), 1u);
  int symbol = 0;
  ASSERT_EQ(std::sscanf(w.block().data, "%d", &symbol), 1);
  ASSERT_GT(symbol, 0);
  w.block().combined_number = symbol;
  w.block().combined_place = 4;  // top left at the point
  EXPECT_EQ(w.A(12, {50, 10, 0, 0}), 1u);
  EXPECT_EQ(w.doc().Tools().back()->rect(), (KRrect{50, 10, 56, 16}));
  EXPECT_GT(count(w, Red, {50, 10, 56, 16}), 0);
  EXPECT_EQ(count(w, Red, {0, 0, 100, 10}), 0);
  EXPECT_EQ(count(w, Red, {56, 0, 100, 80}), 0);
  int before = w.doc().ObjectCount();
  w.block().combined_number = symbol + 1;  // no such symbol
  w.A(12, {5, 5, 0, 0});
  EXPECT_EQ(w.doc().ObjectCount(), before);
}
