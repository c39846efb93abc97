// The painting layer's page mapping: mapping modes, origins and extents, the isotropic
// adjustment, conversions both ways, and drawing through the mapping read back in pixels.

#include <gtest/gtest.h>

#include <QFont>
#include <QGuiApplication>
#include <QImage>

#include <cstdlib>

#include "kornd/KRdc.h"

#include "Pixel_Bounds.h"

namespace {

constexpr QRgb White = 0xFFFFFFFF, Black = 0xFF000000;

QImage surface(int w, int h) {
  QImage s(w, h, QImage::Format_RGB32);
  s.fill(Qt::white);
  return s;
}

struct Mapping {
  int mode;
  KRpoint window_org, window_ext, viewport_org, viewport_ext;
};

void apply(KRdc& dc, const Mapping& m) {
  dc.SetMapMode(m.mode);
  dc.SetWindowOrg(m.window_org.x, m.window_org.y);
  dc.SetWindowExt(m.window_ext.x, m.window_ext.y);
  dc.SetViewportOrg(m.viewport_org.x, m.viewport_org.y);
  dc.SetViewportExt(m.viewport_ext.x, m.viewport_ext.y);
}

}  // namespace

TEST(PageMapping, PointsAndExtentsFollowTheMode) {
  struct Case {
    Mapping m;
    KRpoint logical, device, viewport_ext;
  } cases[] = {
      // Text mode: origins move, extents are ignored.
      {{KRdc::MM_TEXT, {10, 20}, {600, 400}, {5, 5}, {300, 200}}, {10, 20}, {5, 5}, {1, 1}},
      {{KRdc::MM_TEXT, {10, 20}, {600, 400}, {5, 5}, {300, 200}}, {110, 20}, {105, 5}, {1, 1}},
      // Stretched: a 600 x 400 picture on 300 x 200 pixels.
      {{KRdc::MM_ANISOTROPIC, {0, 0}, {600, 400}, {0, 0}, {300, 200}}, {600, 400}, {300, 200}, {300, 200}},
      {{KRdc::MM_ANISOTROPIC, {100, 50}, {200, 100}, {10, 0}, {400, 400}}, {150, 75}, {110, 100}, {400, 400}},
      // Isotropic: the axis with the larger scale gives way.
      {{KRdc::MM_ISOTROPIC, {0, 0}, {100, 100}, {0, 0}, {300, 200}}, {100, 100}, {200, 200}, {200, 200}},
      {{KRdc::MM_ISOTROPIC, {0, 0}, {100, 50}, {0, 0}, {100, 100}}, {100, 50}, {100, 50}, {100, 50}},
      // A negative extent flips the axis and keeps its sign through the adjustment.
      {{KRdc::MM_ISOTROPIC, {0, 0}, {2540, 2540}, {0, 0}, {100, -300}}, {2540, 2540}, {100, -100}, {100, -100}},
      // An unknown mode is text mode.
      {{3, {0, 0}, {10, 10}, {0, 0}, {20, 20}}, {7, 7}, {7, 7}, {1, 1}},
  };
  for (const Case& c : cases) {
    QImage s = surface(8, 8);
    KRdc dc(&s);
    apply(dc, c.m);
    SCOPED_TRACE(testing::Message() << "mode " << c.m.mode << " point " << c.logical.x << "," << c.logical.y);
    EXPECT_EQ(dc.LPtoDP(c.logical), c.device);
    EXPECT_EQ(dc.DPtoLP(c.device), c.logical);
    EXPECT_EQ(dc.ViewportExt(), c.viewport_ext);
  }
}

TEST(PageMapping, ZeroExtentsAreRefusedAndSaveRestoreKeepsTheMapping) {
  QImage s = surface(8, 8);
  KRdc dc(&s);
  apply(dc, {KRdc::MM_ANISOTROPIC, {0, 0}, {600, 400}, {0, 0}, {300, 200}});
  dc.SetWindowExt(0, 5);    // never a division by zero
  dc.SetViewportExt(7, 0);
  EXPECT_EQ(dc.WindowExt(), (KRpoint{600, 400}));
  EXPECT_EQ(dc.LPtoDP(KRpoint{600, 400}), (KRpoint{300, 200}));
  const KRdc::State saved = dc.Save();
  dc.SetMapMode(KRdc::MM_TEXT);
  dc.SetWindowOrg(3, 3);
  EXPECT_EQ(dc.LPtoDP(KRpoint{600, 400}), (KRpoint{597, 397}));
  dc.Restore(saved);
  EXPECT_EQ(dc.GetMapMode(), KRdc::MM_ANISOTROPIC);
  EXPECT_EQ(dc.LPtoDP(KRpoint{600, 400}), (KRpoint{300, 200}));
  EXPECT_EQ(dc.LPtoDP(KRrect{600, 400, 0, 0}), (KRrect{0, 0, 300, 200}));
  // World transform first, then the mapping.
  KRxform shift{1, 0, 0, 1, 100, 0};
  dc.SetTransform(&shift);
  EXPECT_EQ(dc.LPtoDP(KRpoint{0, 0}), (KRpoint{50, 0}));
}

TEST(PageMapping, ShapesKeepExclusiveEdgesOnTheDevice) {
  QImage s = surface(320, 220);
  KRdc dc(&s);
  apply(dc, {KRdc::MM_ANISOTROPIC, {0, 0}, {600, 400}, {0, 0}, {300, 200}});
  dc.SelectPen({0, 1, 0, 0});
  dc.SelectBrush({1, 0, 0});  // hollow
  dc.Rectangle({0, 0, 600, 400});
  EXPECT_EQ(inked(s), (KRrect{0, 0, 300, 200}));
  EXPECT_EQ(s.pixel(299, 100), Black);
  EXPECT_EQ(s.pixel(300, 100), White);
  // A line leaves out its end pixel on the device.
  QImage t = surface(320, 220);
  KRdc lines(&t);
  apply(lines, {KRdc::MM_ANISOTROPIC, {0, 0}, {600, 400}, {0, 0}, {300, 200}});
  lines.SelectPen({0, 1, 0, 0});
  lines.MoveTo(0, 20);
  lines.LineTo(600, 20);
  EXPECT_EQ(inked(t), (KRrect{0, 10, 300, 11}));
  // Brush fills and solid fills map their rectangles.
  QImage u = surface(320, 220);
  KRdc fills(&u);
  apply(fills, {KRdc::MM_ANISOTROPIC, {100, 100}, {200, 200}, {0, 0}, {100, 100}});
  fills.SelectBrush({0, 0x0000FF, 0});
  fills.PatBlt({100, 100, 140, 120});
  EXPECT_EQ(inked(u), (KRrect{0, 0, 20, 10}));
  fills.FillSolidRect({300, 300, 320, 340}, 0x00FF00);
  EXPECT_EQ(u.pixel(100, 100), 0xFF00FF00);
  EXPECT_EQ(u.pixel(110, 120), White);
  std::uint32_t c = 0;
  ASSERT_TRUE(fills.GetPixel(302, 302, c));  // read back in logical units
  EXPECT_EQ(c, 0x00FF00u);
}

TEST(PageMapping, GeometricPensAndFontsScaleCosmeticPensDoNot) {
  auto thickness = [](int pen_width, int numerator) {
    QImage s = surface(400, 250);
    KRdc dc(&s);
    apply(dc, {KRdc::MM_ANISOTROPIC, {0, 0}, {2, 2}, {0, 0}, {numerator, numerator}});
    dc.SelectPen({0, pen_width, 0, 0});
    dc.MoveTo(20, 50);
    dc.LineTo(150, 50);
    return inked(s).bottom - inked(s).top;
  };
  EXPECT_EQ(thickness(1, 1), 1);    // cosmetic: one pixel at any scale
  EXPECT_EQ(thickness(1, 4), 1);
  EXPECT_NEAR(thickness(20, 1), 10, 1);  // 20 logical units at half scale
  EXPECT_NEAR(thickness(20, 2), 20, 1);
  auto text_height = [](int numerator) {
    QImage s = surface(400, 200);
    KRdc dc(&s);
    apply(dc, {KRdc::MM_ANISOTROPIC, {0, 0}, {2, 2}, {0, 0}, {numerator, numerator}});
    QFont f;
    f.setPixelSize(60);
    dc.TextOut(10, 150, "HHH", f, 0, -1, 0);
    return inked(s).bottom - inked(s).top;
  };
  const int full = text_height(2), half = text_height(1);
  ASSERT_GT(full, 20);
  EXPECT_NEAR(half, full / 2, 2);
}

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
