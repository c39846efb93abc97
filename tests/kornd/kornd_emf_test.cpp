// Metafiles in process: the header (signature at byte 40, frame in hundredths of a millimetre),
// the outside converter's view of our files, recorded symbols saved, loaded and played back
// pixel for pixel, mirrored playing, unknown and mapping records passed over, marker symbols,
// and refusal of malformed files (corrupted bytes with a fixed seed never crash).
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "kornd/Bmp_File.h"
#include "kornd/CKREMF.h"
#include "kornd/Emf_Records.h"
#include "kornd/KRdc.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

QImage white(int w, int h) {
  QImage s(w, h, QImage::Format_RGB32);
  s.fill(Qt::white);
  return s;
}

// Some drawing of every kind the recorder keeps: lines, a filled rectangle, an ellipse, pixels.
void draw_sample(KRdc& dc) {
  dc.SelectPen({0, 1, 0, 0x0000FF});
  dc.MoveTo(1, 1);
  dc.LineTo(18, 9);
  dc.SelectBrush({0, 0x00FF00, 0});
  dc.Rectangle({3, 4, 9, 11});
  dc.SelectPen({0, 1, 0, 0xFF0000});
  dc.Ellipse({10, 2, 19, 12});
  dc.SetPixel(0, 13, 0x123456);
}

// A recorded symbol of 20 x 14 pixels holding the sample drawing.
void record_sample(CKREMF& s) {
  ASSERT_TRUE(s.BeginRecord(20, 14));
  draw_sample(*s.Recorder());
  ASSERT_TRUE(s.EndRecord());
}

bool converter_present() { return std::system("command -v emf2svg-conv > /dev/null 2>&1") == 0; }

}  // namespace

TEST(EmfHeader, FrameInHundredthsOfAMillimetre) {
  struct Row { int pixels, dpi, frame; };
  for (const Row& r : {Row{3300, 300, 27940}, Row{2400, 300, 20320}, Row{1, 300, 8}, Row{600, 600, 2540}})
    EXPECT_EQ(emf::FRAME_OF(r.pixels, r.dpi), r.frame) << r.pixels << " at " << r.dpi;

  emf::Writer w(3300, 2400, emf::FRAME_OF(3300, 300), emf::FRAME_OF(2400, 300), 1920, 1080, 508, 286);
  w.Add(emf::EMR_MOVETOEX, {0, 0});
  Bytes b = w.Finish();
  ASSERT_GE(b.size(), 108u);
  EXPECT_EQ(bmp::GET32(b.data()), 1u);
  EXPECT_EQ(bmp::GET32(b.data() + 4), 108u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.data() + 40), 4), " EMF");
  EXPECT_EQ(bmp::GET32(b.data() + 24), 0u);
  EXPECT_EQ(bmp::GET32(b.data() + 32), 27940u);
  EXPECT_EQ(bmp::GET32(b.data() + 36), 20320u);
  EXPECT_EQ(bmp::GET32(b.data() + 16), 3299u);  // bounds, inclusive pixels
  EXPECT_EQ(bmp::GET32(b.data() + 48), b.size());
  EXPECT_EQ(bmp::GET32(b.data() + 52), 3u);  // header, MOVETOEX, EOF
  EXPECT_EQ(bmp::GET32(b.data() + b.size() - 20), 14u);  // EMR_EOF last
  emf::Header h;
  ASSERT_TRUE(emf::CHECK(b, &h));
  EXPECT_EQ(h.frame.right, 27940);
  EXPECT_EQ(h.frame.bottom, 20320);
}

TEST(EmfSymbols, SavedLoadedAndPlayedSymbolIsPixelIdentical) {
  CKREMF s;
  record_sample(s);
  QImage direct = white(20, 14);
  {
    KRdc dc(&direct);
    draw_sample(dc);
  }
  QImage played = white(20, 14);
  KRdc dc1(&played);
  ASSERT_TRUE(s.Play(dc1, {0, 0, 20, 14}));
  EXPECT_EQ(played, direct);

  QTemporaryDir dir;
  const QString path = QDir(dir.path()).filePath("sym.emf");
  ASSERT_TRUE(s.SaveFile(path));
  CKREMF loaded;
  ASSERT_TRUE(loaded.LoadFile(path));
  EXPECT_EQ(loaded.pixel_width, 20);
  EXPECT_EQ(loaded.pixel_height, 14);
  EXPECT_EQ(loaded.frame_width, s.frame_width);
  EXPECT_EQ(loaded.name, path);
  QImage again = white(20, 14);
  KRdc dc2(&again);
  ASSERT_TRUE(loaded.Play(dc2, {0, 0, 20, 14}));
  EXPECT_EQ(again, direct);

  // Where nothing was drawn the target shows through.
  QImage green(20, 14, QImage::Format_RGB32);
  green.fill(QColor(0, 255, 0));
  KRdc dc3(&green);
  loaded.Play(dc3, {0, 0, 20, 14});
  EXPECT_EQ(green.pixel(19, 0), 0xFF00FF00u);
  EXPECT_EQ(green.pixel(0, 13), direct.pixel(0, 13));
}

TEST(EmfSymbols, OutsideConverterReadsOurFiles) {
  if (!converter_present()) GTEST_SKIP() << "emf2svg-conv is not installed";
  CKREMF s;
  record_sample(s);
  QTemporaryDir dir;
  const QString emf = QDir(dir.path()).filePath("sym.emf"), svg = QDir(dir.path()).filePath("sym.svg");
  ASSERT_TRUE(s.SaveFile(emf));
  const std::string cmd = "emf2svg-conv -i '" + emf.toStdString() + "' -o '" + svg.toStdString() + "' > /dev/null 2>&1";
  EXPECT_EQ(std::system(cmd.c_str()), 0);
  QFile out(svg);
  ASSERT_TRUE(out.open(QIODevice::ReadOnly));
  EXPECT_TRUE(out.readAll().contains("<svg"));
}

TEST(EmfSymbols, MirroredRectangleMirrorsAndStretches) {
  CKREMF s;
  ASSERT_TRUE(s.BeginRecord(4, 1));
  s.Recorder()->SetPixel(0, 0, 0x0000FF);
  s.Recorder()->SetPixel(3, 0, 0xFF0000);
  ASSERT_TRUE(s.EndRecord());
  struct Row { KRrect rect; QRgb at0, at3, at7; };
  for (const Row& r : {Row{{0, 0, 4, 1}, 0xFFFF0000, 0xFF0000FF, 0xFFFFFFFF}, Row{{4, 0, 0, 1}, 0xFF0000FF, 0xFFFF0000, 0xFFFFFFFF},
                       Row{{0, 0, 8, 1}, 0xFFFF0000, 0xFFFFFFFF, 0xFF0000FF}}) {
    QImage t = white(8, 1);
    KRdc dc(&t);
    s.Play(dc, r.rect);
    EXPECT_EQ(t.pixel(0, 0), r.at0) << r.rect.left << "," << r.rect.right;
    EXPECT_EQ(t.pixel(3, 0), r.at3) << r.rect.left << "," << r.rect.right;
    EXPECT_EQ(t.pixel(7, 0), r.at7) << r.rect.left << "," << r.rect.right;
  }
}

TEST(EmfSymbols, DefaultRecordingIsFiftyMillimetres) {
  CKREMF s;
  ASSERT_TRUE(s.BeginRecord(0, 0));
  EXPECT_EQ(s.frame_width, 5000);
  EXPECT_EQ(s.frame_height, 5000);
  EXPECT_EQ(s.pixel_width, 5000 / CKREMF::FactorX());
  EXPECT_EQ(s.pixel_height, 5000 / CKREMF::FactorY());
  ASSERT_TRUE(s.EndRecord());
  emf::Header h;
  ASSERT_TRUE(emf::CHECK(s.Bits(), &h));
  EXPECT_EQ(h.frame.right, 5000);
}

TEST(EmfPlayer, VectorRecordsPlayAndUnknownOrMappingRecordsAreSkipped) {
  auto picture = [](bool extras) {
    emf::Writer w(10, 10, 260, 260, 1920, 1080, 508, 286);
    if (extras) {
      w.Add(emf::EMR_SETMAPMODE, {8});
      w.Add(emf::EMR_SETWINDOWEXTEX, {1, 1});
      w.Add(emf::EMR_SETVIEWPORTEXTEX, {100, 100});
      w.Add(emf::EMR_SETVIEWPORTORGEX, {5, 5});
      w.Add(9999, {1, 2, 3});
    }
    w.Add(emf::EMR_CREATEPEN, {1, 0, 1, 0, 0x0000FF});
    w.UseHandle(1);
    w.Add(emf::EMR_SELECTOBJECT, {1});
    w.Add(emf::EMR_SELECTOBJECT, {static_cast<std::int32_t>(0x80000004)});  // black brush
    w.Add(emf::EMR_RECTANGLE, {2, 2, 6, 6});
    w.Add(emf::EMR_MOVETOEX, {0, 9});
    w.Add(emf::EMR_LINETO, {9, 9});
    return w.Finish();
  };
  CKREMF plain, with_extras;
  ASSERT_TRUE(plain.SetBits(picture(false)));
  ASSERT_TRUE(with_extras.SetBits(picture(true)));
  plain.pixel_width = plain.pixel_height = with_extras.pixel_width = with_extras.pixel_height = 10;
  QImage a = white(10, 10), b = white(10, 10);
  KRdc da(&a), db(&b);
  ASSERT_TRUE(plain.Play(da, {0, 0, 10, 10}));
  ASSERT_TRUE(with_extras.Play(db, {0, 0, 10, 10}));
  EXPECT_EQ(a, b);
  EXPECT_EQ(a.pixel(2, 2), 0xFFFF0000u);  // red outline
  EXPECT_EQ(a.pixel(4, 4), 0xFF000000u);  // black fill
  EXPECT_EQ(a.pixel(5, 9), 0xFFFF0000u);  // the line
  EXPECT_EQ(a.pixel(8, 4), 0xFFFFFFFFu);
}

TEST(EmfPlayer, AWindowOriginMovesThePicture) {
  // The same rectangle and line drawn at the origin, and drawn (3, 2) further on from a window
  // origin of (3, 2): both play alike; other origins shift the picture.
  auto picture = [](int ox, int oy, int dx, int dy) {
    emf::Writer w(10, 10, 260, 260, 1920, 1080, 508, 286);
    if (ox != 0 || oy != 0) w.Add(emf::EMR_SETWINDOWORGEX, {ox, oy});
    w.Add(emf::EMR_SELECTOBJECT, {static_cast<std::int32_t>(0x80000004)});  // black brush
    w.Add(emf::EMR_RECTANGLE, {2 + dx, 2 + dy, 6 + dx, 6 + dy});
    w.Add(emf::EMR_MOVETOEX, {0 + dx, 8 + dy});
    w.Add(emf::EMR_LINETO, {9 + dx, 8 + dy});
    return w.Finish();
  };
  auto play = [](const Bytes& bits) {
    CKREMF s;
    EXPECT_TRUE(s.SetBits(bits));
    s.pixel_width = s.pixel_height = 10;
    QImage out = white(10, 10);
    KRdc dc(&out);
    EXPECT_TRUE(s.Play(dc, {0, 0, 10, 10}));
    return out;
  };
  const QImage plain = play(picture(0, 0, 0, 0));
  EXPECT_EQ(plain.pixel(4, 4), 0xFF000000u);
  EXPECT_EQ(play(picture(3, 2, 3, 2)), plain);
  EXPECT_NE(play(picture(3, 2, 0, 0)), plain);
  EXPECT_EQ(play(picture(3, 2, 0, 0)).pixel(1, 2), 0xFF000000u);  // (4, 4) moved by (-3, -2)
}

TEST(EmfMarkers, SizesKindsAndBackgrounds) {
  struct Row { std::array<std::int32_t, 6> d; int side; QRgb corner, centre; };
  const Row rows[] = {
      {{2, 0, 0, 0x0000FF, -1, 13}, 1, 0xFFFF0000, 0xFFFF0000},       // size 0: a 1-pixel square
      {{2, 7, 0, 0x0000FF, -1, 13}, 7, 0xFF00FF00, 0xFFFF0000},       // plus, transparent around it
      {{2, 7, 0, 0x0000FF, 0xFFFFFF, 13}, 7, 0xFFFFFFFF, 0xFFFF0000}, // plus on a filled square
      {{7, 7, 0, 0x0000FF, 0xFFFFFF, 13}, 7, 0xFF00FF00, 0xFF00FF00}, // kind 7: nothing
  };
  for (const Row& r : rows) {
    CKREMF s;
    ASSERT_TRUE(s.MakeMarker(r.d));
    EXPECT_EQ(s.pixel_width, r.side);
    EXPECT_EQ(s.pixel_height, r.side);
    QImage t(r.side, r.side, QImage::Format_RGB32);
    t.fill(QColor(0, 255, 0));
    KRdc dc(&t);
    s.Play(dc, {0, 0, r.side, r.side});
    EXPECT_EQ(t.pixel(0, 0), r.corner) << r.d[0] << "/" << r.d[1];
    EXPECT_EQ(t.pixel(r.side / 2, r.side / 2), r.centre) << r.d[0] << "/" << r.d[1];
  }
}

TEST(EmfFiles, MalformedFilesAreRefusedWholeAndNeverCrash) {
  CKREMF s;
  record_sample(s);
  const Bytes good = s.Bits();
  struct Row { const char* what; std::size_t at; std::uint32_t value; };
  const Row rows[] = {
      {"signature", 40, 0x464D4521}, {"byte count", 48, 12}, {"record count", 52, 99},
      {"header size", 4, 7},         {"record size", 112, 6}, {"record past the end", 112, 0x7FFFFFF0},
  };
  for (const Row& r : rows) {
    Bytes b = good;
    bmp::PUT32(b.data() + r.at, r.value);
    CKREMF t;
    EXPECT_FALSE(t.SetBits(b)) << r.what;
    EXPECT_FALSE(t.HasMetafile()) << r.what;
  }
  EXPECT_FALSE(s.SetBits(Bytes(good.begin(), good.end() - 4)));
  EXPECT_EQ(s.Bits(), good);  // a refused load keeps the picture held

  std::mt19937 rng(1234);
  int played = 0;
  for (int round = 0; round < 400; ++round) {
    Bytes b = good;
    for (int c = 0, n = 1 + int(rng() % 3); c < n; ++c) b[rng() % b.size()] = static_cast<std::uint8_t>(rng());
    CKREMF t;
    if (!t.SetBits(b)) continue;
    QImage surface = white(20, 14);
    KRdc dc(&surface);
    t.Play(dc, {0, 0, 20, 14});
    ++played;
  }
  EXPECT_GT(played, 0);
}

TEST(EmfPlayer, ARecordThatCannotBePlayedIsToldOnceAndEndsThePlay) {
  emf::Writer w(4, 4, 104, 104, 1920, 1080, 508, 286);
  w.UseHandle(1);
  w.Add(emf::EMR_SELECTOBJECT, {1});  // a handle no record created
  w.Add(emf::EMR_SETPIXELV, {0, 0, 0x0000FF});
  CKREMF s;
  ASSERT_TRUE(s.SetBits(w.Finish()));
  s.pixel_width = s.pixel_height = 4;
  QImage t = white(4, 4);
  KRdc dc(&t);
  std::uint32_t type = 0;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(s.Play(dc, {0, 0, 4, 4}, &type));
  EXPECT_FALSE(s.Play(dc, {0, 0, 4, 4}, &type));
  const std::string boxes = testing::internal::GetCapturedStderr();
  EXPECT_EQ(type, 37u);
  EXPECT_EQ(t.pixel(0, 0), 0xFFFFFFFFu);  // nothing after the failing record
  const std::string text = "kornd box: [Kornd: Error] [Kornd Error-10: failed to play EnhMetaFile [25]]";
  EXPECT_NE(boxes.find(text), std::string::npos) << boxes;
  EXPECT_EQ(boxes.find(text), boxes.rfind(text));
}

TEST(EmfSymbols, ThinLinesSurviveASmallerPlay) {
  CKREMF s;
  ASSERT_TRUE(s.BeginRecord(20, 20));
  s.Recorder()->SelectPen({0, 1, 0, 0x0000FF});
  s.Recorder()->MoveTo(10, 0);
  s.Recorder()->LineTo(10, 20);  // one pixel wide, red
  ASSERT_TRUE(s.EndRecord());
  QImage t(5, 5, QImage::Format_RGB32);
  t.fill(QColor(0, 255, 0));
  KRdc dc(&t);
  ASSERT_TRUE(s.Play(dc, {0, 0, 5, 5}));
  for (int y = 0; y < 5; ++y) {
    EXPECT_EQ(t.pixel(2, y), 0xFFFF0000u) << y;  // the line's column
    EXPECT_EQ(t.pixel(0, y), 0xFF00FF00u) << y;  // the target elsewhere
  }
}
