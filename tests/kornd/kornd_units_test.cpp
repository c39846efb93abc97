// Tests of kornd's parts without a running server: drawing utilities, the GDI object cache,
// page metrics, colours and drawing-state defaults, the drawing environment and the
// document's object list.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdlib>
#include <memory>
#include <set>

#include "kornd/CKorndApp.h"
#include "kornd/CKorndDoc.h"
#include "kornd/CKorndGC.h"
#include "kornd/CKorndTool.h"
#include "kornd/DrawUtil.h"
#include "kornd/GdiCache.h"
#include "kornd/KRdc.h"

namespace {

// Qt's fonts need a GUI application; the colour dialog answers come from the test seam.
class Qt_Environment : public ::testing::Environment {
 public:
  void SetUp() override {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("KORND_TEST_ANSWERS", "Cancel;#102030", 1);
    static int argc = 1;
    static char name[] = "kornd_units_test";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<QGuiApplication>(argc, argv);
  }
  void TearDown() override { app_.reset(); }

 private:
  std::unique_ptr<QGuiApplication> app_;
};
const auto* const qt_environment = ::testing::AddGlobalTestEnvironment(new Qt_Environment);

// A drawing object of a chosen segment, rectangle and weight.
class Test_Tool : public CKorndTool {
 public:
  Test_Tool(int segment, KRrect r, int weight = 1) : CKorndTool(2, 0x6), weight_(weight) {
    SetSegment(segment);
    SetRect(r);
    SetFlags(Has_Rect);
  }
  int Weight() const override { return weight_; }
  int Draw(CKorndGC&, CKorndDoc*, CKorndView*, KRdc&, std::uint32_t) override { return ++draws; }
  int draws = 0;

 private:
  int weight_;
};

void add(CKorndDoc& doc, int segment, KRrect r = {10, 10, 20, 20}, int weight = 1) {
  doc.block()->segment = segment;
  std::unique_ptr<CKorndTool> t = std::make_unique<Test_Tool>(segment < 0 ? -segment : segment, r, weight);
  doc.AddTool(t);
  EXPECT_EQ(t, nullptr);
}

}  // namespace

TEST(DrawUtil, Geometry) {
  EXPECT_EQ(RotatePoint({10, 0}, {0, 0}, 900), (KRpoint{0, -9}));
  EXPECT_EQ(RotatePoint({10, 0}, {0, 0}, 0), (KRpoint{10, 0}));
  EXPECT_EQ(RotatePoint({10, 0}, {0, 0}, 1800), (KRpoint{-9, 0}));
  KRxform xf{2, 0, 0, 3, 1.5f, -0.5f};
  EXPECT_EQ(TransformPoint({10, 10}, &xf), (KRpoint{21, 29}));
  EXPECT_EQ(TransformPoint({10, 10}, nullptr), (KRpoint{10, 10}));
  KRrect r;
  ExtendRect(r, {5, 7});
  EXPECT_EQ(r, (KRrect{5, 7, 5, 7}));
  ExtendRect(r, {1, 9});
  EXPECT_EQ(r, (KRrect{1, 7, 5, 9}));
  int w = 200, h = 100;
  FitSize(w, h, 100, 100, false);
  EXPECT_EQ(w, 100);
  EXPECT_EQ(h, 50);
  w = 200, h = 100;
  FitSize(w, h, 100, 100, true);
  EXPECT_EQ(w, 200);
  EXPECT_EQ(h, 100);
  KRrect b{0, 0, 10, 20};
  RotatedBounds(b, {0, 0}, 0);
  EXPECT_EQ(b, (KRrect{0, 0, 10, 20}));
  RotatedBounds(b, {0, 0}, 900);
  EXPECT_EQ(b, (KRrect{0, -9, 20, 1}));
}

TEST(DrawUtil, ColorDepthAndMixModes) {
  EXPECT_EQ(ProbeColorDepth(QImage::Format_RGB16), 0x050605u);
  EXPECT_EQ(ProbeColorDepth(QImage::Format_RGB32), 0x080808u);
  EXPECT_EQ(ProbeColorDepth(QImage::Format_Indexed8), 0u);
  struct Row {
    int mix, rop2;
  } rows[] = {{0, 11}, {3, 6}, {4, 13}, {5, 9}, {7, 7}, {15, 14}, {16, 0}, {29, 13}};
  for (const Row& r : rows) EXPECT_EQ(MixToRop2(r.mix), r.rop2) << r.mix;
}

TEST(GdiCache, OneObjectPerDescriptionAndNoLimit) {
  EXPECT_EQ(GdiColorBucket(0x000000), 512);
  EXPECT_EQ(GdiColorBucket(0xFFFFFF), 1);    // every top bit of the three levels
  EXPECT_EQ(GdiColorBucket(0x000080), 503);  // red 128: its top bit does not count
  EXPECT_EQ(GdiColorBucket(0x0000FF), 439);  // red 255: 64 + 8 + 1
  EXPECT_EQ(GdiCacheSlot(4, nullptr, 0), -1);
  KRlogpen pen{0, 1, 0, 0x0000FF};
  EXPECT_EQ(GdiCacheSlot(0, &pen, sizeof pen), (439 + 112) & 511);

  const QPen* a = GetCachedPen(pen);
  const QPen* again = GetCachedPen(KRlogpen{0, 1, 0, 0x0000FF});
  EXPECT_EQ(a, again);
  EXPECT_EQ(a->color(), QColor(255, 0, 0));
  EXPECT_NE(GetCachedPen(KRlogpen{0, 2, 0, 0x0000FF}), a);
  const QBrush* solid = GetCachedBrush(KRlogbrush{0, 0x00FF00, 0});
  EXPECT_EQ(solid->style(), Qt::SolidPattern);
  EXPECT_EQ(GetCachedBrush(KRlogbrush{1, 0x00FF00, 0})->style(), Qt::NoBrush);
  EXPECT_EQ(GetCachedBrush(KRlogbrush{2, 0x00FF00, 4})->style(), Qt::CrossPattern);

  // Far more distinct descriptions than the 512 slots: each gets its own object, and every
  // lookup of an earlier one still finds it.
  std::size_t before = GdiCacheCount(Gdi_Kind::Pen);
  std::vector<const QPen*> pens;
  for (std::uint32_t c = 1; c <= 3000; ++c) pens.push_back(GetCachedPen(KRlogpen{3, 1, 0, c * 977}));
  EXPECT_EQ(GdiCacheCount(Gdi_Kind::Pen), before + 3000);
  EXPECT_EQ(std::set<const QPen*>(pens.begin(), pens.end()).size(), 3000u);
  for (std::uint32_t c = 1; c <= 3000; ++c) EXPECT_EQ(GetCachedPen(KRlogpen{3, 1, 0, c * 977}), pens[c - 1]);
  KRlogfont f;
  f.height = -20;
  std::strcpy(f.face_name, "Arial");
  const QFont* font = GetCachedFont(f);
  EXPECT_EQ(font->pixelSize(), 20);
  EXPECT_EQ(GetCachedFont(f), font);
}

TEST(PageMetricsOf, PrinterAndResolution) {
  struct Row {
    int resolution, horzres, vertres, lpx, lpy;
    bool printer;
    int res, width, height, margin;
    bool no_printer;
  } rows[] = {
      {0, 0, 0, 0, 0, false, 300, 3182, 2282, 59, true},            // no printer: 11 x 8 inch at 300 dpi
      {0, 6600, 4800, 600, 600, true, 300, 3300 - 118, 2400 - 118, 59, false},  // 600 dpi capped at 300
      {0, 2400, 3300, 300, 300, true, 300, 2400 - 118, 3300 - 118, 59, false},
      {0, 0, 0, 150, 150, true, 150, 1650 - 58, 1200 - 58, 29, false},  // no page size: 11 x 8 inch
      {150, 6600, 4800, 600, 600, true, 150, 1650 - 58, 1200 - 58, 29, false},  // command line wins
      {0, 5000, 5000, 0, 0, true, 300, 3182, 2282, 59, false},      // printer without resolution
  };
  for (const Row& r : rows) {
    PageMetrics m = COMPUTE_PAGE_METRICS(r.resolution, r.horzres, r.vertres, r.lpx, r.lpy, r.printer);
    EXPECT_EQ(m.resolution_x, r.res);
    EXPECT_EQ(m.resolution_y, r.res);
    EXPECT_EQ(m.width, r.width) << r.resolution << " " << r.lpx;
    EXPECT_EQ(m.height, r.height);
    EXPECT_EQ(m.margin_x, r.margin);
    EXPECT_EQ(m.no_printer, r.no_printer);
  }
}

TEST(Colours, ResolveColorCodes) {
  CKorndDoc doc;
  doc.SetColors(600, 400, 13, 19);
  struct Row {
    int code;
    std::int32_t value;
  } rows[] = {
      {0, 0x000000},   {13, 0x0000FF},       {19, 0xFFFFFF},   {20, 0x008080},  // custom 0: (128, 128, 0)
      {25, 0x0080FF},  {35, 0x202020},       {36, 36},         {0x2123456, 0x123456},
      {-100, -1},      {-2, 0x0000FF},       {-3, 0xFFFFFF},   {-5, 0xF0FBFF},  {-6, 0xFF0000},
      {-7, -1},        {-12, 0x0000FF},
  };
  for (const Row& r : rows) EXPECT_EQ(doc.ResolveColor(r.code, nullptr), r.value) << r.code;
  // A code that asks the user: the seam cancels the first dialog and picks #102030 in the next.
  std::int32_t out = 0;
  EXPECT_EQ(doc.ResolveColor(-1, &out), -1);
  EXPECT_EQ(out, -1);
  EXPECT_EQ(doc.ResolveColor(-13, &out), 0x302010);
  EXPECT_EQ(out, 0x2302010);
}

TEST(Colours, DrawingStateDefaults) {
  struct Row {
    int width, height, unit, text_height, symbol_height, mark_size;
    float vx2, vy2;
  } rows[] = {
      {600, 400, 400, 13, 13, 3, 1.5f, 1.0f},
      {400, 600, 400, 13, 13, 3, 1.0f, 1.5f},
      {30, 20, 20, 16, 8, 4, 1.5f, 1.0f},
      {29, 30, 29, 16, 8, 4, 1.0f, 30.0f / 29},
  };
  for (const Row& r : rows) {
    CKorndDoc doc;
    doc.SetColors(r.width, r.height, 2, 3);
    const channel::KRwinblock& b = *doc.block();
    EXPECT_EQ(b.unit, r.unit);
    EXPECT_EQ(b.text_height, r.text_height);
    EXPECT_EQ(b.symbol_height, r.symbol_height);
    EXPECT_EQ(b.mark_size, r.mark_size);
    EXPECT_FLOAT_EQ(b.view_x2, r.vx2);
    EXPECT_FLOAT_EQ(b.view_y2, r.vy2);
    EXPECT_EQ(b.fg, 2);
    EXPECT_EQ(b.bg, 3);
  }
  // (0, 0, -1, -1) keeps size, heights and colours and resets the rest.
  CKorndDoc doc;
  doc.SetColors(600, 400, 4, 5);
  doc.block()->pen_colour = 7;
  doc.block()->change_mask = 0;
  doc.block()->text_height = 50;
  doc.SetColors(0, 0, -1, -1);
  EXPECT_EQ(doc.block()->pen_colour, -2);
  EXPECT_EQ(doc.block()->change_mask, 0x3FFFu);
  EXPECT_EQ(doc.block()->text_height, 50);
  EXPECT_EQ(doc.block()->fg, 4);
  EXPECT_EQ(doc.block()->width, 600);
}

TEST(Colours, MarkSizeAndRescale) {
  CKorndDoc doc;
  doc.SetPageSize(600, 600, true);
  doc.SetColors(600, 600, 0, 19);  // text font height 20
  EXPECT_EQ(doc.MarkSize(0, 9), 2);
  EXPECT_EQ(doc.MarkSize(3, 9), 9);
  EXPECT_EQ(doc.MarkSize(3, 0), 5);

  channel::KRwinblock b{};
  b.unit = 1000;
  b.width = 1000;
  b.height = 800;
  b.origin_y = 800;
  b.sx = 2.0f;
  b.text_height = 20;
  b.symbol_height = 1000;
  b.mark_size = 100;
  b.pen_x = -1;
  b.pen_y = 500;
  CKorndDoc::Rescale(b, 15);
  EXPECT_EQ(b.unit, 15);
  EXPECT_EQ(b.width, 15);
  EXPECT_EQ(b.height, 12);
  EXPECT_EQ(b.origin_y, 12);
  EXPECT_FLOAT_EQ(b.sx, 0.03f);
  EXPECT_EQ(b.text_height, 16);  // 20 x 0.015 truncates to 0
  EXPECT_EQ(b.symbol_height, 15);
  EXPECT_EQ(b.mark_size, 1);
  EXPECT_EQ(b.pen_x, -1);
  EXPECT_EQ(b.pen_y, 7);
}

TEST(Environment, DefaultsAndCopy) {
  struct Row {
    int width, height, text, symbol;
  } rows[] = {{640, 480, 16, 16}, {20, 20, 16, 8}, {900, 3000, 30, 30}};
  for (const Row& r : rows) {
    CKorndDoc doc;
    doc.SetPageSize(r.width, r.height, true);  // the fonts follow the picture size
    doc.SetColors(r.width, r.height, 13, 19);
    CKorndGC& env = doc.Environment();
    EXPECT_EQ(env.text_logfont.height, r.text);
    EXPECT_EQ(env.symbol_logfont.height, r.symbol);
    EXPECT_STREQ(env.text_logfont.face_name, "Arial");
    EXPECT_STREQ(env.symbol_logfont.face_name, "WingDings");
    EXPECT_EQ(env.Role(1), 0x0000FF);
    EXPECT_EQ(env.Role(2), 0xFFFFFF);
    EXPECT_EQ(env.Role(4), 0xF0FBFF);
    EXPECT_EQ(env.Role(5), 0xFF0000);
    EXPECT_EQ(env.Role(6), -1);
    EXPECT_EQ(env.Role(7), 0x0000FF);
    EXPECT_EQ(env.pen_desc.colour, 0x0000FFu);
    EXPECT_EQ(env.brush_desc.style, 1u);
    EXPECT_EQ(env.mix_mode, 13);
    EXPECT_EQ(env.text_position, (KRpoint{32767, 32767}));
    EXPECT_EQ(env.marker_desc[5], 9);  // mark mix 5: mask pen
    EXPECT_EQ(env.pen, GetCachedPen(env.pen_desc));
  }
  CKorndGC a, b;
  a.SetRole(7, 0x123456);
  a.SetRole(9, 0x654321);
  a.text_colour = 0;
  b.CopyFrom(a);
  EXPECT_EQ(b.text_colour, 0x123456);
  EXPECT_EQ(b.symbol_colour, 0x654321);
}

TEST(ObjectList, AddingCountsAndBounds) {
  CKorndDoc doc;
  doc.SetPageSize(200, 100, true);
  add(doc, 0, {10, 10, 20, 20});
  add(doc, 2, {50, 50, 60, 60}, 3);  // a group of three
  EXPECT_EQ(doc.ObjectCount(), 4);
  EXPECT_EQ(doc.ObjectsInSegment(0), 1);
  EXPECT_EQ(doc.ObjectsInSegment(2), 1);
  EXPECT_EQ(doc.Bounds(), (KRrect{2, 2, 68, 68}));
  add(doc, 0, {190, 90, 199, 99});  // grown by 8, clipped to the picture
  EXPECT_EQ(doc.Bounds(), (KRrect{2, 2, 200, 100}));

  doc.SetStoring(false);  // drawn once, not kept: the list stays, the bounds still grow
  CKorndDoc off;
  off.SetPageSize(200, 100, true);
  off.SetStoring(false);
  add(off, 0, {30, 30, 40, 40});
  EXPECT_EQ(off.ObjectCount(), 0);
  EXPECT_TRUE(off.Tools().empty());
  EXPECT_EQ(off.Bounds(), (KRrect{22, 22, 48, 48}));

  CKorndDoc grouped;
  add(grouped, -3);  // a negative segment: neither drawn nor counted
  EXPECT_EQ(grouped.ObjectCount(), 0);
  EXPECT_EQ(grouped.Bounds(), KRrect{});

  CKorndDoc wild;
  wild.block()->segment = INT32_MIN;  // a segment no table holds: refused and asked about
  std::unique_ptr<CKorndTool> t = std::make_unique<Test_Tool>(0, KRrect{1, 1, 2, 2});
  wild.AddTool(t);
  EXPECT_EQ(wild.ObjectCount(), 0);
  EXPECT_EQ(wild.PendingMessage(), IDS_INVALID_PARAMETER);
  add(wild, 40000);  // a large one the table grows to
  EXPECT_EQ(wild.ObjectsInSegment(40000), 1);
}

TEST(ObjectList, EraseLastAndPurge) {
  CKorndDoc doc;
  doc.SetPageSize(200, 100, true);
  add(doc, 0);
  for (int i = 0; i < 3; ++i) add(doc, 1);
  add(doc, 2);
  add(doc, 1);
  EXPECT_EQ(doc.EraseLast(7, true), 0);  // beyond the table of segments
  EXPECT_EQ(doc.EraseLast(2, false), 1);
  EXPECT_EQ(doc.ObjectCount(), 5);        // purged at once
  EXPECT_EQ(doc.HiddenCount(), 0);
  EXPECT_EQ(doc.EraseLast(-1, false), 1);  // the last one
  EXPECT_EQ(doc.EraseLast(0, true), 3);    // everything after the first object of segment 0
  EXPECT_EQ(doc.ObjectCount(), 1);
  EXPECT_EQ(doc.Tools().front()->segment(), 0);
  EXPECT_EQ(doc.EraseLast(0, true), 0);

  CKorndDoc d;
  add(d, 0);
  for (int i = 0; i < 101; ++i) add(d, 1);
  EXPECT_EQ(d.EraseLast(-101, false), 101);
  EXPECT_EQ(d.ObjectCount(), 1);
}

TEST(ObjectList, PurgeWaitsForMoreThanTheLimit) {
  struct Row {
    int erased, removed, left;
  } rows[] = {{100, 0, 102}, {101, 101, 2}};
  for (const Row& r : rows) {
    CKorndDoc d;
    add(d, 0);
    for (int i = 0; i < r.erased; ++i) add(d, 1);
    add(d, 1, {10, 10, 20, 20}, 1);
    int n = 0;
    for (auto& t : d.Tools())
      if (t->segment() == 1 && n < r.erased) {
        d.MarkErased(*t);
        ++n;
      }
    EXPECT_EQ(d.HiddenCount(), r.erased);
    EXPECT_EQ(d.PurgeTools(100), r.removed);
    EXPECT_EQ(d.ObjectCount(), r.left);
    EXPECT_EQ(static_cast<int>(d.Tools().size()), r.left);
    EXPECT_EQ(d.HiddenCount(), r.removed == 0 ? r.erased : 0);
    EXPECT_EQ(d.ObjectsInSegment(1), r.left - 1);
  }
}

TEST(ObjectList, RenderStopsAtAnIdAndClearAllEmpties) {
  CKorndDoc doc;
  doc.SetPageSize(100, 100, true);
  doc.SetColors(100, 100, 0, 19);
  for (int i = 0; i < 5; ++i) add(doc, 0);
  int third = 0, n = 0;
  for (auto& t : doc.Tools())
    if (++n == 3) third = t->id();
  QImage image(100, 100, QImage::Format_RGB32);
  KRdc p(&image);
  CKorndGC env;
  auto next = doc.Render(&p, env, third);
  ASSERT_NE(next, doc.Tools().end());
  n = 0;
  for (auto& t : doc.Tools()) {
    ++n;
    EXPECT_EQ(static_cast<Test_Tool&>(*t).draws, n < 3 ? 1 : 0) << n;
  }
  EXPECT_EQ((**env.replay_position)->id(), third);
  EXPECT_EQ(doc.Render(&p, env, 0), doc.Tools().end());  // continues from there to the end
  EXPECT_EQ(static_cast<Test_Tool&>(*doc.Tools().back()).draws, 1);
  EXPECT_EQ(doc.Render(nullptr, env, 0), doc.Tools().end());

  doc.block()->pen_colour = 5;
  EXPECT_TRUE(doc.ClearAll());
  EXPECT_EQ(doc.ObjectCount(), 0);
  EXPECT_TRUE(doc.Tools().empty());
  EXPECT_EQ(doc.Bounds(), KRrect{});
  EXPECT_EQ(doc.block()->pen_colour, -2);
}
