// Picture files and exports, in process: the archive's byte layout (string prefixes, class
// records and references, lists), the ".krd" layout of a window, every object type through a
// save and a load, refused files (wrong version, truncated, corrupted) changing nothing,
// loading twice, rescaling on load, and the ".bmp" and ".emf" exports.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QImage>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <fstream>
#include <memory>
#include <random>
#include <vector>

#include "kornd/CKorndApp.h"
#include "kornd/CKorndCommandLineInfo.h"
#include "kornd/CKorndDoc.h"
#include "kornd/CKorndLine.h"
#include "kornd/CKorndOG.h"
#include "kornd/CKorndPrint.h"
#include "kornd/CKorndRect.h"
#include "kornd/CKorndSetGDI.h"
#include "kornd/CKorndText.h"
#include "kornd/CKorndView.h"
#include "kornd/CKorndViewMode.h"
#include "kornd/KRArchive.h"
#include "platform/Io_Fault.h"
#include "File_Bytes.h"
#include "Kornd_Window.h"
#include "Pixel_Bounds.h"

namespace {

// A graphics window of w x h pixels registered as window n.
class Window : public Kornd_Window {
 public:
  explicit Window(int n = 1, int w = 200, int h = 100) : Kornd_Window(n, w, h) {}
};

// One object of every type the requests make.
void draw_every_type(Window& w) {
  w.A(2);
  w.A(4, {0});
  w.A(5, {13, 1});
  w.block().pen_width = 2, w.block().brush_style = 1, w.block().brush_colour = 14, w.block().pen_mix = 13;
  w.block().mark_type = 3, w.block().mark_size = 6;
  w.block().change_mask = 0xFFF;
  w.A(6);
  w.A(7, {5, 3, 65536, 0, 0, 65536});
  w.A(8, {0, 0, 0, 0, 190, 95});
  w.A(9, {0});
  w.A(10, {0});
  w.A(11, {10, 10});
  w.A(14, {0, 0, 0, 40, 40});
  const char text[] = "Hello, 1.5";
  w.Data(text, sizeof text);
  w.A(15, {20, 60});
  w.A(16, {30, 30});
  w.A(19, {3, 4, 13});
  w.A(20, {60, 20});
  w.A(21, {0, 0, 70, 10, 90, 30});
  w.A(22, {16, 0, 100, 10, 110, 20});
  w.A(23, {6, 4, 120, 10, 150, 30});
  w.A(24, {0, 0, 10, 70, 40, 90});
  const std::int32_t radial[4] = {150, 50, 120, 80};
  for (int code : {25, 26, 27}) {
    w.Data(radial, sizeof radial);
    w.A(code, {0, 0, 110, 40, 170, 90});
  }
  const KRpoint pts[4] = {{100, 60}, {140, 95}, {180, 60}, {190, 90}};
  for (int code : {28, 29, 30}) w.Buffered(code, {4}, pts, sizeof pts);
  const std::int32_t values[5] = {10, 30, 20, 50, 40};
  w.Buffered(32, {5, 0, 0, 199, 0, 99}, values, sizeof values);
  w.A(17, {195, 5});
}

std::size_t list_start(const Bytes&) { return 2344 + 4 + 4; }  // no bitmaps, no symbols

std::string temp_dir() {
  std::string t = std::filesystem::temp_directory_path().string() + "/kornd_pictures_XXXXXX";
  return mkdtemp(t.data()) ? t : std::string();
}

}  // namespace

TEST(Archive, StringLengthPrefixes) {
  struct Row {
    std::size_t length;
    Bytes prefix;
  } rows[] = {{0, {0x00}}, {254, {0xFE}}, {255, {0xFF, 0xFF, 0x00}}, {0xFFFD, {0xFF, 0xFD, 0xFF}},
              {0xFFFE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}}};
  for (const Row& r : rows) {
    Bytes out;
    KRArchive ar(out);
    ar.WriteString(std::string(r.length, 'x'));
    ASSERT_EQ(out.size(), r.prefix.size() + r.length) << r.length;
    EXPECT_EQ(Bytes(out.begin(), out.begin() + std::ptrdiff_t(r.prefix.size())), r.prefix) << r.length;
    KRArchive in(out.data(), out.size());
    EXPECT_EQ(in.ReadString().size(), r.length);
    EXPECT_EQ(in.Remaining(), 0u);
    // One byte short: refused.
    KRArchive shorter(out.data(), out.size() - 1);
    EXPECT_THROW(shorter.ReadString(), KRArchiveError) << r.length;
  }
}

TEST(Archive, ClassRecordsThenReferencesByIndex) {
  ToolList list;
  list.push_back(std::make_unique<CKorndLine>());
  list.push_back(std::make_unique<CKorndLine>());
  list.push_back(std::make_unique<CKorndRect>());
  list.push_back(std::make_unique<CKorndLine>());
  Bytes out;
  KRArchive ar(out);
  ar.WriteList(list);
  // count 4; new class (index 1) "CKorndLine", object 2; class 1 again, object 3; new class
  // (index 4) "CKorndRect", object 5; class 1, object 6.
  ASSERT_EQ(get16(out, 0), 4);
  ASSERT_EQ(get16(out, 2), 0xFFFF);
  EXPECT_EQ(get16(out, 4), 0x1FFF);
  EXPECT_EQ(get16(out, 6), 10);
  EXPECT_EQ(std::string(out.begin() + 8, out.begin() + 18), "CKorndLine");
  const std::size_t line_record = 22 + 8;  // base record and end point
  std::size_t at = 18 + line_record;
  EXPECT_EQ(get16(out, at), 0x8001);
  at += 2 + line_record;
  EXPECT_EQ(get16(out, at), 0xFFFF);
  EXPECT_EQ(std::string(out.begin() + std::ptrdiff_t(at) + 6, out.begin() + std::ptrdiff_t(at) + 16), "CKorndRect");
  at += 16 + 22;
  EXPECT_EQ(get16(out, at), 0x8001);
  KRArchive in(out.data(), out.size());
  ToolList back = in.ReadList();
  ASSERT_EQ(back.size(), 4u);
  EXPECT_EQ(back.back()->type(), 20);
  EXPECT_EQ(in.Remaining(), 0u);
  // A reference to an object instead of a class, an unknown class index, a wrong schema.
  struct Bad {
    std::size_t at;
    std::uint16_t value;
  } bad[] = {{2, 0x0002}, {2, 0x8003}, {4, 0x1FFE}, {2, 0x0000}};
  for (const Bad& b : bad) {
    Bytes c = out;
    c[b.at] = std::uint8_t(b.value), c[b.at + 1] = std::uint8_t(b.value >> 8);
    KRArchive r(c.data(), c.size());
    EXPECT_THROW(r.ReadList(), KRArchiveError) << b.at << " " << b.value;
  }
}

TEST(Archive, GroupsCarryTheirMembers) {
  CKorndOG group;
  std::unique_ptr<CKorndTool> a = std::make_unique<CKorndLine>(), b = std::make_unique<CKorndText>();
  static_cast<CKorndText&>(*b).text = "inner";
  group.AddTool(a);
  group.AddTool(b);
  Bytes out;
  KRArchive ar(out);
  ar.WriteObject(group);
  KRArchive in(out.data(), out.size());
  std::unique_ptr<CKorndTool> back = in.ReadObject();
  ASSERT_EQ(back->type(), 31);
  EXPECT_EQ(back->Weight(), 2);
  const auto& members = static_cast<CKorndOG&>(*back).Members();
  EXPECT_EQ(static_cast<CKorndText&>(*members.back()).text, "inner");
}

// Objects that have no bounds (moves, attributes, resets, fills of the whole picture, a group
// without members) leave the drawing bounds as the drawn objects made them.
TEST(DrawingBounds, ObjectsWithoutBoundsLeaveThemAlone) {
  const KRrect rect_bounds{32, 32, 168, 128};  // the rectangle (40, 40)-(160, 120) grown by 8
  struct Row {
    const char* what;
    void (*add)(Window&);
  } rows[] = {
      {"move", [](Window& w) { w.A(11, {0, 0}); }},
      {"move far off", [](Window& w) { w.A(11, {5, 150}); }},
      {"colour", [](Window& w) { w.A(5, {13, 1}); }},
      {"pen", [](Window& w) { w.SetGDI(0x7); }},
      {"transform", [](Window& w) { w.A(7, {0, 0, 65536, 0, 0, 65536}); }},
      {"text attributes", [](Window& w) { w.A(9, {0}); }},
      {"reset", [](Window& w) { w.A(2); }},
      {"flood fill", [](Window& w) { w.A(17, {5, 5}); }},
      {"show an empty segment", [](Window& w) { w.Request('B', 26, {5}); }},
  };
  for (const Row& r : rows) {
    Window w(1, 200, 150);
    w.A(22, {13, 0, 40, 40, 160, 120});
    ASSERT_EQ(w.doc().Bounds(), rect_bounds) << r.what;
    r.add(w);
    EXPECT_EQ(w.doc().Bounds(), rect_bounds) << r.what;
  }
  // An object at the picture's corner has bounds like any other.
  Window w(1, 200, 150);
  w.A(22, {13, 0, 40, 40, 160, 120});
  w.A(19, {0, 0, 13});
  EXPECT_EQ(w.doc().Bounds(), (KRrect{0, 0, 168, 128}));
}

// A move after the rectangle neither shifts nor stretches what the bounds show: the mode-3
// export at the bounds' own size has the rectangle 8 pixels in from every side, and the
// picture file stores the rectangle's bounds.
TEST(DrawingBounds, ExportAndPictureFileAfterAMove) {
  const std::string dir = temp_dir();
  Window w(1, 200, 150);
  w.A(22, {0x2000000 | 0x0000FF, 0, 40, 40, 160, 120});
  w.A(11, {0, 0});
  const std::string bmp = dir + "/fit.bmp";
  ASSERT_TRUE(w.doc().SaveByType(QString::fromStdString(bmp), 3, 3, 136, 96));
  const QImage out = QImage(QString::fromStdString(bmp)).convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(out.size(), QSize(136, 96));
  EXPECT_EQ(inked(out), (KRrect{8, 8, 128, 88}));
  EXPECT_EQ(out.pixel(8, 8), qRgb(255, 0, 0));
  EXPECT_EQ(out.pixel(127, 87), qRgb(255, 0, 0));

  const std::string krd = dir + "/fit.krd";
  ASSERT_TRUE(w.doc().SaveByType(QString::fromStdString(krd), 1, 0, 0, 0));
  const Bytes b = read_file(krd);
  ASSERT_GT(b.size(), 2340u);
  EXPECT_EQ((std::vector<std::uint32_t>{get32(b, 2324), get32(b, 2328), get32(b, 2332), get32(b, 2336)}),
            (std::vector<std::uint32_t>{32, 32, 168, 128}));
  // Read into an empty window, the picture keeps those bounds.
  Window back(2, 200, 150);
  ASSERT_EQ(back.doc().ReadPicture(b, false, true), 2);
  EXPECT_EQ(back.doc().Bounds(), (KRrect{32, 32, 168, 128}));
  std::filesystem::remove_all(dir);
}

TEST(PictureFile, LayoutOfTheFile) {
  Window w;
  w.A(11, {10, 10});
  w.A(20, {60, 20});
  w.A(21, {0, 0, 70, 10, 90, 30});
  const Bytes b = w.doc().PictureBytes();
  ASSERT_GT(b.size(), 2360u);
  EXPECT_EQ(Bytes(b.begin(), b.begin() + 4), (Bytes{'K', 'R', 0x09, 0x98}));
  EXPECT_EQ(get32(b, 4), 0xFFFFFFu);
  EXPECT_EQ(std::memcmp(b.data() + 8, w.doc().block(), 2300), 0);
  EXPECT_EQ(get32(b, 2324 + 8), std::uint32_t(w.doc().Bounds().right));
  EXPECT_EQ(get32(b, 2340), 1u);                       // next bitmap number
  EXPECT_EQ(get32(b, 2344), 0u);                       // no bitmaps
  EXPECT_EQ(get32(b, 2348), 0u);                       // no symbols
  EXPECT_EQ(get16(b, 2352), 3);                        // three objects
  EXPECT_EQ(get16(b, 2354), 0xFFFF);                   // first class record
  EXPECT_EQ(get16(b, 2356), 0x1FFF);
  EXPECT_EQ(std::string(b.begin() + 2360, b.begin() + 2370), "CKorndMove");
  EXPECT_EQ(get16(b, 2370), 11);                       // type of the first object
}

TEST(PictureFile, EveryObjectTypeRoundTripsWithNewIds) {
  Window a(1);
  draw_every_type(a);
  std::vector<int> types;
  for (auto& t : a.doc().Tools()) types.push_back(t->type());
  std::vector<int> kinds = types;
  std::sort(kinds.begin(), kinds.end());
  EXPECT_EQ(kinds, (std::vector<int>{2, 4, 5, 6, 7, 8, 9, 10, 11, 14, 15, 16, 17, 19, 20, 21, 22, 23, 24, 25, 26, 27,
                                     28, 29, 30, 32}));
  const Bytes saved = a.doc().PictureBytes();
  const int first_new_id = CKorndTool::NextId();
  Window b(2);
  ASSERT_EQ(b.doc().ReadPicture(saved, false, true), 2);
  EXPECT_EQ(b.doc().ObjectCount(), a.doc().ObjectCount());
  std::vector<int> read;
  for (auto& t : b.doc().Tools()) {
    read.push_back(t->type());
    EXPECT_GE(t->id(), first_new_id);
  }
  EXPECT_EQ(read, types);
  // Saved again, the object records are the same bytes; and the pictures are the same.
  const Bytes again = b.doc().PictureBytes();
  EXPECT_TRUE(std::equal(saved.begin() + std::ptrdiff_t(list_start(saved)), saved.end(),
                         again.begin() + std::ptrdiff_t(list_start(again)), again.end()));
  EXPECT_EQ(a.Surface(), b.Surface());
}

TEST(PictureFile, RefusedFilesChangeNothing) {
  Window a(1);
  draw_every_type(a);
  const Bytes good = a.doc().PictureBytes();
  Window b(2);
  b.A(11, {1, 1});
  b.A(20, {5, 5});
  const QImage before = b.Surface().copy();
  const int objects = b.doc().ObjectCount();
  auto unchanged = [&](const char* what) {
    EXPECT_EQ(b.doc().ObjectCount(), objects) << what;
    EXPECT_EQ(b.doc().Tools().size(), 2u) << what;
    EXPECT_EQ(b.Surface(), before) << what;
  };
  // A file of version 0997: its message, and nothing read.
  Bytes old = good;
  old[3] = 0x97;
  testing::internal::CaptureStderr();
  EXPECT_EQ(b.doc().ReadPicture(old, false, true), 0);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("[Invakid file  (Ver: 0997 != 0998) ]"), std::string::npos) << err;
  unchanged("version");
  Bytes wrong = good;
  wrong[1] = 'X';
  testing::internal::CaptureStderr();
  EXPECT_EQ(b.doc().ReadPicture(wrong, false, true), 0);
  err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("[Invakid file ]"), std::string::npos) << err;
  unchanged("magic");
  // Every truncation is refused; corrupted bytes (fixed seed) never crash and, when refused,
  // change nothing.
  testing::internal::CaptureStderr();
  for (std::size_t n : {std::size_t(0), std::size_t(7), std::size_t(100), std::size_t(2308), std::size_t(2350),
                        good.size() / 2, good.size() - 1}) {
    EXPECT_EQ(b.doc().ReadPicture(Bytes(good.begin(), good.begin() + std::ptrdiff_t(n)), false, false), 0) << n;
    unchanged("truncated");
  }
  std::mt19937 random(20261210);
  int refused = 0;
  for (int round = 0; round < 200; ++round) {
    Bytes c = good;
    for (int k = 0; k < 4; ++k) {
      std::size_t at = 2352 + random() % (c.size() - 2352);
      c[at] = std::uint8_t(random());
    }
    Window x(3);
    if (x.doc().ReadPicture(c, false, false) == 0) {
      ++refused;
      EXPECT_EQ(x.doc().ObjectCount(), 0);
    }
  }
  testing::internal::GetCapturedStderr();
  EXPECT_GT(refused, 0);
}

TEST(PictureFile, LoadingTwiceDoublesTheObjects) {
  Window a(1);
  a.A(11, {10, 10});
  a.A(20, {60, 20});
  const Bytes saved = a.doc().PictureBytes();
  Window b(2);
  EXPECT_EQ(b.doc().ReadPicture(saved, false, false), 2);
  EXPECT_EQ(b.doc().ReadPicture(saved, false, false), 2);
  EXPECT_EQ(b.doc().ObjectCount(), 4);
  EXPECT_EQ(b.doc().ObjectsInSegment(0), 4);
}

TEST(PictureFile, RescalingFrom600To300HalvesCoordinates) {
  Window a(1, 1200, 600);  // unit 600
  a.A(11, {101, 51});
  a.A(20, {601, 301});
  a.block().mark_type = 3, a.block().mark_size = 6;
  a.block().change_mask = 0x300;
  a.A(6);
  const Bytes saved = a.doc().PictureBytes();
  Window b(2, 600, 300);   // unit 300
  ASSERT_EQ(b.doc().ReadPicture(saved, true, false), 2);
  std::vector<CKorndTool*> t;
  for (auto& p : b.doc().Tools()) t.push_back(p.get());
  ASSERT_EQ(t.size(), 3u);
  KRpoint p;
  ASSERT_TRUE(t[0]->EndPoint(p));
  EXPECT_EQ(p, (KRpoint{50, 25}));
  ASSERT_TRUE(t[1]->EndPoint(p));
  EXPECT_EQ(p, (KRpoint{300, 150}));
  auto* g = static_cast<CKorndSetGDI*>(t[2]);
  const auto* source = static_cast<CKorndSetGDI*>(std::next(a.doc().Tools().begin(), 2)->get());
  EXPECT_EQ(g->marker[1], std::max(4, source->marker[1] / 2));
  // Without rescaling the coordinates stay.
  Window c(3, 600, 300);
  ASSERT_EQ(c.doc().ReadPicture(saved, false, false), 3);
  ASSERT_TRUE(std::next(c.doc().Tools().begin())->get()->EndPoint(p));
  EXPECT_EQ(p, (KRpoint{601, 301}));
}

TEST(PictureFile, MarkerSizesStayAtLeastFour) {
  Window a(1, 1200, 600);
  auto g = std::make_unique<CKorndSetGDI>();
  g->mask = 0x100;
  g->marker = {3, 6, 0, 0, -1, 13};
  std::unique_ptr<CKorndTool> slot = std::move(g);
  a.doc().AddTool(slot);
  Window b(2, 600, 300);
  ASSERT_EQ(b.doc().ReadPicture(a.doc().PictureBytes(), true, false), 2);
  EXPECT_EQ(static_cast<CKorndSetGDI&>(*b.doc().Tools().front()).marker[1], 4);
}

// Five solid squares, the anchors 1-4 between them: square i at x = 40 (i - 1) + 5.
void squares_between_anchors(Window& w) {
  for (int i = 1; i <= 5; ++i) {
    const int x = 40 * (i - 1) + 5;
    w.A(22, {0x2000000 | (0x30 * i), 0, x, 10, x + 30, 40});
    if (i < 5) w.doc().PushAnchor(i);
  }
}

// Which of the five squares a bitmap export shows (true: not background).
std::vector<bool> squares_shown(const std::string& bmp) {
  const QImage out = QImage(QString::fromStdString(bmp)).convertToFormat(QImage::Format_RGB32);
  std::vector<bool> shown;
  for (int i = 1; i <= 5; ++i) shown.push_back(!out.isNull() && out.pixel(40 * (i - 1) + 20, 25) != qRgb(255, 255, 255));
  return shown;
}

TEST(Anchors, ExportsAndPictureFilesLeaveOutWhatFollowsAnEarlierAnchor) {
  const std::string dir = temp_dir();
  Window a(1, 200, 100);
  squares_between_anchors(a);
  ASSERT_EQ(a.doc().AnchorCount(), 4);
  struct Row {
    int selected;
    std::vector<bool> shown;
  } rows[] = {
      {0, {true, true, true, true, true}},     // none selected: the whole picture
      {4, {true, true, true, true, true}},     // the last anchor: nothing left out
      {2, {true, true, false, false, true}},   // up to anchor 2, then after anchor 4
      {1, {true, false, false, false, true}},
  };
  for (const Row& r : rows) {
    a.doc().SelectAnchor(r.selected);
    const std::string name = dir + "/at" + std::to_string(r.selected) + ".bmp";
    ASSERT_TRUE(a.doc().SaveByType(QString::fromStdString(name), 0, 1, 0, 0)) << r.selected;
    EXPECT_EQ(squares_shown(name), r.shown) << r.selected;
  }
  // The picture file at anchor 2 marks squares 3 and 4 and anchors 3 and 4 erased; the window
  // itself keeps them.
  a.doc().SelectAnchor(2);
  const std::string krd = dir + "/at2.krd";
  ASSERT_TRUE(a.doc().SaveByType(QString::fromStdString(krd), 1, 0, 0, 0));
  EXPECT_EQ(a.doc().HiddenCount(), 0);
  Window b(2, 200, 100);
  ASSERT_EQ(b.doc().LoadPicture(QString::fromStdString(krd), 2), 2);
  std::vector<std::pair<int, bool>> read;  // type, erased
  for (const auto& t : b.doc().Tools()) read.emplace_back(t->type(), t->IsErased());
  const std::vector<std::pair<int, bool>> expected = {{22, false}, {1, false}, {22, false}, {1, false}, {22, true},
                                                      {1, true},   {22, true}, {1, true},  {22, false}};
  EXPECT_EQ(read, expected);
  EXPECT_EQ(b.doc().HiddenCount(), 4);
  // The anchors read back are anchors of the window: selecting the first shows square 1 and
  // what follows the last one.
  ASSERT_EQ(b.doc().AnchorCount(), 2);
  EXPECT_EQ(b.doc().SelectAnchor(1), 1);
  const std::string again = dir + "/again.bmp";
  ASSERT_TRUE(b.doc().SaveByType(QString::fromStdString(again), 3, 1, 0, 0));
  EXPECT_EQ(squares_shown(again), (std::vector<bool>{true, false, false, false, true}));
  // Loading the same file again appends its two anchors after the window's own.
  b.doc().SelectAnchor(0);
  ASSERT_EQ(b.doc().LoadPicture(QString::fromStdString(krd), 2), 2);
  EXPECT_EQ(b.doc().AnchorCount(), 4);
  std::filesystem::remove_all(dir);
}

TEST(Anchors, PictureFilesMarkThemNotRepaintedAndOldFilesStillGiveAnchors) {
  Window a(1, 200, 100);
  squares_between_anchors(a);
  // Written with flag 0x8 (left out of ordinary repaints), read back as such.
  Window b(2, 200, 100);
  ASSERT_EQ(b.doc().ReadPicture(a.doc().PictureBytes(), false, false), 2);
  std::vector<std::uint32_t> flags;
  for (const auto& t : b.doc().Tools())
    if (t->type() == 1) flags.push_back(t->flags());
  EXPECT_EQ(flags, std::vector<std::uint32_t>(4, CKorndTool::Not_Repainted));
  EXPECT_EQ(b.doc().AnchorCount(), 4);
  // Files of older servers carry 0x2: their anchors are anchors all the same.
  for (const auto& t : a.doc().Tools())
    if (t->type() == 1) t->SetFlags(CKorndTool::Ordinary);
  Window c(3, 200, 100);
  ASSERT_EQ(c.doc().ReadPicture(a.doc().PictureBytes(), false, false), 3);
  EXPECT_EQ(c.doc().AnchorCount(), 4);
  EXPECT_EQ(c.doc().SelectAnchor(1), 1);
}

TEST(Export, BitmapOfModeOneHoldsTheTopLeftPixels) {
  const std::string dir = temp_dir();
  Window w(1, 200, 100);
  draw_every_type(w);
  const std::string name = dir + "/part.bmp";
  ASSERT_TRUE(w.doc().SaveByType(QString::fromStdString(name), 0, 1, 100, 50));
  QImage out(QString::fromStdString(name));
  ASSERT_EQ(out.size(), QSize(100, 50));
  const QImage expected = w.Surface().copy(0, 0, 100, 50).convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(out.convertToFormat(QImage::Format_RGB32), expected);
  std::filesystem::remove_all(dir);
}

TEST(Export, MetafileFrameAndConversion) {
  const std::string dir = temp_dir();
  Window w(1, 3300, 2400);
  w.A(21, {0, 0, 100, 100, 3000, 2000});
  const std::string name = dir + "/pic.EMF";  // the extension in any case
  ASSERT_TRUE(w.doc().SaveByType(QString::fromStdString(name), 0, 1, 0, 0));
  const Bytes b = read_file(name);
  ASSERT_GT(b.size(), 108u);
  EXPECT_EQ(get32(b, 40), 0x464D4520u);
  // frame (bytes 24-39): 3300 x 2540 / 300 = 27940, 2400 x 2540 / 300 = 20320
  EXPECT_EQ(get32(b, 24), 0u);
  EXPECT_EQ(get32(b, 28), 0u);
  EXPECT_EQ(get32(b, 32), 27940u);
  EXPECT_EQ(get32(b, 36), 20320u);
  if (std::system("command -v emf2svg-conv >/dev/null 2>&1") != 0) {
    std::filesystem::remove_all(dir);
    GTEST_SKIP() << "emf2svg-conv not installed";
  }
  const std::string svg = dir + "/pic.svg";
  EXPECT_EQ(std::system(("emf2svg-conv -i '" + name + "' -o '" + svg + "' >/dev/null 2>&1").c_str()), 0);
  EXPECT_GT(std::filesystem::file_size(svg), 0u);
  std::filesystem::remove_all(dir);
}

// Records of a metafile after its header: type -> the parameters of the first record of it.
TEST(Export, BitmapAreaModesDrawThroughThePageMapping) {
  const std::string dir = temp_dir();
  Window w(1, 200, 100);
  // A red square and a one-pixel black line across the picture at y = 81.
  w.A(22, {0x2000000 | 0x0000FF, 0, 20, 20, 60, 40});
  w.A(11, {0, 81});
  w.A(20, {199, 81});
  struct Row {
    int mode, w, h;
  } rows[] = {{1, 100, 50}, {1, 0, 0}, {4, 800, 400}, {4, 50, 25}, {3, 300, 150}, {3, 0, 0}, {4, 0, 0}, {5, 400, 200}};
  for (const Row& r : rows) {
    KRrect area;
    int ow = r.w, oh = r.h;
    ASSERT_TRUE(w.doc().ExportArea(area, 3, r.mode, ow, oh)) << r.mode;
    const std::string name = dir + "/mode.bmp";
    ASSERT_TRUE(w.doc().SaveByType(QString::fromStdString(name), 3, r.mode, r.w, r.h)) << r.mode << " " << r.w;
    const QImage out = QImage(QString::fromStdString(name)).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(out.size(), QSize(ow, oh)) << r.mode << " " << r.w;
    // The mapping: anisotropic modes scale each axis, isotropic ones by the smaller scale.
    double sx = double(ow) / (area.right - area.left), sy = double(oh) / (area.bottom - area.top);
    if (r.mode <= 2) sx = sy = std::min(sx, sy);
    auto dx = [&](double x) { return (x - area.left) * sx; };
    auto dy = [&](double y) { return (y - area.top) * sy; };
    auto pixel = [&](double x, double y) { return out.pixel(int(x), int(y)); };
    auto inside = [&](double x, double y) { return x >= 0 && y >= 0 && x < ow && y < oh; };
    const std::string what = "mode " + std::to_string(r.mode) + " " + std::to_string(r.w) + "x" + std::to_string(r.h);
    // The square at its mapped place, with white two pixels beyond each edge.
    const double l = dx(20), t = dy(20), rr = dx(60), b = dy(40);
    if (inside((l + rr) / 2, (t + b) / 2)) {
      EXPECT_EQ(pixel((l + rr) / 2, (t + b) / 2), qRgb(255, 0, 0)) << what;
    }
    for (auto [x, y] : {std::pair{l - 2, (t + b) / 2}, {rr + 2, (t + b) / 2}, {(l + rr) / 2, t - 2}, {(l + rr) / 2, b + 2}}) {
      if (inside(x, y)) {
        EXPECT_EQ(pixel(x, y), qRgb(255, 255, 255)) << what << " at " << x << "," << y;
      }
    }
    // The line stays one pixel thick whatever the scale.
    const double lx = dx(150), ly = dy(81);
    if (inside(lx, ly)) {
      int black = 0;
      for (int y = 0; y < oh; ++y) black += out.pixel(int(lx), y) == qRgb(0, 0, 0);
      EXPECT_EQ(black, 1) << what;
      EXPECT_LE(std::abs(ly - 0.5 - [&] {
                  for (int y = 0; y < oh; ++y)
                    if (out.pixel(int(lx), y) == qRgb(0, 0, 0)) return y;
                  return -100;
                }()),
                1.0)
          << what;
    }
  }
  std::filesystem::remove_all(dir);
}

TEST(Export, ClipRectanglesFollowThePageMapping) {
  const std::string dir = temp_dir();
  Window w(1, 200, 100);
  // Clipped to (50, 24)-(150, 76), a red fill of the whole picture shows only there.
  w.A(8, {0, 0, 50, 24, 150, 76});
  w.A(22, {0x2000000 | 0x0000FF, 0, 0, 0, 200, 100});
  struct Row {
    int mode, w, h;
  } rows[] = {{4, 400, 200}, {4, 100, 50}, {1, 200, 100}, {4, 600, 100}};
  for (const Row& r : rows) {
    const std::string name = dir + "/clip.bmp";
    ASSERT_TRUE(w.doc().SaveByType(QString::fromStdString(name), 3, r.mode, r.w, r.h));
    const QImage out = QImage(QString::fromStdString(name)).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(out.size(), QSize(r.w, r.h));
    const int l = 50 * r.w / 200, t = 24 * r.h / 100, rr = 150 * r.w / 200, b = 76 * r.h / 100;
    const std::string what = std::to_string(r.mode) + " " + std::to_string(r.w) + "x" + std::to_string(r.h);
    int red = 0;
    for (int y = 0; y < r.h; ++y)
      for (int x = 0; x < r.w; ++x) red += out.pixel(x, y) == qRgb(255, 0, 0);
    EXPECT_EQ(red, (rr - l) * (b - t)) << what;
    EXPECT_EQ(out.pixel(l, t), qRgb(255, 0, 0)) << what;
    EXPECT_EQ(out.pixel(rr - 1, b - 1), qRgb(255, 0, 0)) << what;
  }
  std::filesystem::remove_all(dir);
}

TEST(Export, MetafileRecordsCarryTheMappingAndConvert) {
  const std::string dir = temp_dir();
  Window w(1, 3300, 2400);
  w.A(22, {0x2000000 | 0x0000FF, 0, 100, 100, 3000, 2000});
  w.A(11, {200, 2200});
  w.A(20, {3200, 2300});
  const bool converter = std::system("command -v emf2svg-conv >/dev/null 2>&1") == 0;
  struct Row {
    int mode, w, h;
    std::int32_t map_mode;
  } rows[] = {{1, 0, 0, 7}, {1, 10000, 5000, 7}, {2, 20000, 10000, 7}, {3, 30000, 20000, 8}, {4, 25400, 12700, 8},
              {5, 10000, 10000, 8}};
  for (const Row& r : rows) {
    KRrect area;
    int fw = r.w, fh = r.h;
    ASSERT_TRUE(w.doc().ExportArea(area, 2, r.mode, fw, fh)) << r.mode;
    const std::string name = dir + "/pic" + std::to_string(r.mode) + "_" + std::to_string(r.w) + ".emf";
    ASSERT_TRUE(w.doc().SaveByType(QString::fromStdString(name), 2, r.mode, r.w, r.h)) << r.mode;
    const Bytes b = read_file(name);
    ASSERT_GT(b.size(), 108u);
    const std::string what = "mode " + std::to_string(r.mode) + " " + std::to_string(r.w);
    EXPECT_EQ(get32(b, 32), std::uint32_t(fw)) << what;
    EXPECT_EQ(get32(b, 36), std::uint32_t(fh)) << what;
    // The viewport is the frame in the reference device's pixels (header bytes 72-87).
    const std::int64_t dev_x = get32(b, 72), dev_y = get32(b, 76), mm_x = get32(b, 80), mm_y = get32(b, 84);
    const std::int32_t vx = std::int32_t(fw * dev_x / mm_x / 100), vy = std::int32_t(fh * dev_y / mm_y / 100);
    const std::int32_t aw = area.right - area.left, ah = area.bottom - area.top;
    auto rec = first_records(b);
    EXPECT_EQ(rec[17], (std::vector<std::int32_t>{r.map_mode})) << what;
    EXPECT_EQ(rec[10], (std::vector<std::int32_t>{area.left, area.top})) << what;
    EXPECT_EQ(rec[9], (std::vector<std::int32_t>{aw, -ah})) << what;
    EXPECT_EQ(rec[12], (std::vector<std::int32_t>{0, 0})) << what;
    ASSERT_EQ(rec[11].size(), 2u) << what;
    if (r.map_mode == 8) {
      EXPECT_EQ(rec[11], (std::vector<std::int32_t>{vx, -vy})) << what;
    } else {  // isotropic: one axis shrunk to the other's scale
      EXPECT_LE(std::abs(rec[11][0]), vx) << what;
      EXPECT_LE(std::abs(rec[11][1]), vy) << what;
      EXPECT_TRUE(std::abs(rec[11][0]) == vx || std::abs(rec[11][1]) == vy) << what;
      EXPECT_NEAR(double(rec[11][0]) / aw, double(rec[11][1]) / -ah, 1.0 / std::min(aw, ah) + 1e-9) << what;
    }
    // The picture covers the area in logical units at a pixel a unit, in tiles of at most 4096
    // pixels a side (destination x, y and size; source size).
    const auto tiles = stretch_records(b);
    ASSERT_FALSE(tiles.empty()) << what;
    std::int64_t covered = 0, pixels = 0;
    for (const auto& t : tiles) {
      ASSERT_GE(t.size(), 18u) << what;
      EXPECT_GE(t[4], area.left) << what;
      EXPECT_GE(t[5], area.top) << what;
      EXPECT_LE(t[4] + t[16], area.right) << what;
      EXPECT_LE(t[5] + t[17], area.bottom) << what;
      EXPECT_EQ(t[8], t[16]) << what;
      EXPECT_EQ(t[9], t[17]) << what;
      EXPECT_LE(std::max(t[8], t[9]), 4096) << what;
      covered += std::int64_t(t[16]) * t[17];
      pixels += std::int64_t(t[8]) * t[9];
    }
    EXPECT_EQ(covered, std::int64_t(aw) * ah) << what;
    EXPECT_EQ(pixels, std::int64_t(aw) * ah) << what;
    EXPECT_EQ(tiles.front()[4], area.left) << what;
    EXPECT_EQ(tiles.front()[5], area.top) << what;
    // Header bounds: the device pixels the picture covers.
    EXPECT_EQ(get32(b, 16) + 1, std::uint32_t(std::abs(rec[11][0]))) << what;
    EXPECT_EQ(get32(b, 20) + 1, std::uint32_t(std::abs(rec[11][1]))) << what;
    if (converter) {
      const std::string svg = name + ".svg";
      EXPECT_EQ(std::system(("emf2svg-conv -i '" + name + "' -o '" + svg + "' >/dev/null 2>&1").c_str()), 0) << what;
      // The converter, honouring the mapping, puts the tiles together over the viewport.
      const Bytes bytes = read_file(svg);
      const std::string text(bytes.begin(), bytes.end());
      double left = 1e9, top = 1e9, right = -1e9, bottom = -1e9;
      std::size_t images = 0;
      for (std::size_t image = text.find("<image"); image != std::string::npos; image = text.find("<image", image + 1)) {
        auto number = [&](const std::string& attribute) {
          const std::size_t at = text.find(" " + attribute + "=\"", image);
          return at == std::string::npos ? -1e9 : std::atof(text.c_str() + at + attribute.size() + 3);
        };
        ++images;
        left = std::min(left, number("x"));
        top = std::min(top, number("y"));
        right = std::max(right, number("x") + number("width"));
        bottom = std::max(bottom, number("y") + number("height"));
      }
      EXPECT_EQ(images, tiles.size()) << what;
      EXPECT_NEAR(left, 0.0, 1.0) << what;
      EXPECT_NEAR(top, 0.0, 1.0) << what;
      EXPECT_NEAR(right, std::abs(rec[11][0]), 1.5) << what;
      EXPECT_NEAR(bottom, std::abs(rec[11][1]), 1.5) << what;
    }
  }
  std::filesystem::remove_all(dir);
  if (!converter) GTEST_SKIP() << "emf2svg-conv not installed";
}

TEST(Export, NamesTypesAndEmptyWindows) {
  const std::string dir = temp_dir();
  Window w(1);
  // An empty window saves nothing in any form; an existing file stays as it was.
  const std::string existing = dir + "/keep.krd";
  std::ofstream(existing) << "old";
  for (int type : {0, 1, 2, 3})
    EXPECT_FALSE(w.doc().SaveByType(QString::fromStdString(existing), type, 1, 0, 0)) << type;
  EXPECT_EQ(read_file(existing), (Bytes{'o', 'l', 'd'}));
  w.A(21, {0, 0, 10, 10, 50, 50});
  struct Row {
    const char* name;
    int type;
    const char* written;
    std::uint8_t first;
  } rows[] = {{"pic", 0, "pic.krd", 'K'},      {"a.EMF", 0, "a.EMF", 1},  {"b.bmp", 0, "b.bmp", 'B'},
              {"c.txt", 0, "c.txt.krd", 'K'},  {"d.krd", 3, "d.krd", 'B'}, {"e", 2, "e", 1}};
  for (const Row& r : rows) {
    ASSERT_TRUE(w.doc().SaveByType(QString::fromStdString(dir + "/" + r.name), r.type, 0, 0, 0)) << r.name;
    const Bytes b = read_file(dir + "/" + r.written);
    ASSERT_FALSE(b.empty()) << r.written;
    EXPECT_EQ(b[0], r.first) << r.written;
  }
  // Save As: the document takes the name written.
  ASSERT_TRUE(w.doc().DoSave(QString::fromStdString(dir + "/saved"), true));
  EXPECT_EQ(w.doc().PathName().toStdString(), dir + "/saved.krd");
  EXPECT_EQ(read_file(dir + "/saved.krd")[0], 'K');
  // Into a folder that does not exist: false in every form (the bitmap's save dialog is
  // cancelled), nothing written.
  testing::internal::CaptureStderr();
  for (int type : {1, 2, 3}) EXPECT_FALSE(w.doc().SaveByType(QString::fromStdString(dir + "/none/x.krd"), type, 0, 0, 0)) << type;
  EXPECT_NE(testing::internal::GetCapturedStderr().find("kornd dialog: [save file]"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir + "/none"));
  std::filesystem::remove_all(dir);
}

// Names of the entries of a folder, sorted.
std::vector<std::string> listing(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// The error box a failed save shows, as the box seam logs it (every box answered Abort here).
std::string save_error_box(const std::string& file, const std::string& reason) {
  return "kornd box: [Kornd: Error] [Cannot write file " + file + ":\\n" + reason +
         ".] buttons=Abort,Retry,Ignore answer=Abort";
}

TEST(SaveFailures, SaveAsReportsTheFileAndTheSystemsReason) {
  const std::string dir = temp_dir();
  Window w(1);
  w.A(21, {0, 0, 10, 10, 50, 50});
  for (const char* name : {"x.krd", "x.emf", "x.bmp"}) {
    const std::string path = dir + "/none/" + name;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(w.doc().DoSave(QString::fromStdString(path), true)) << name;
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_NE(errors.find(save_error_box(path, "No such file or directory")), std::string::npos) << errors;
    EXPECT_TRUE(w.doc().PathName().isEmpty()) << name;  // the window keeps its (no) name
  }
  EXPECT_EQ(listing(dir), std::vector<std::string>{});
  std::filesystem::remove_all(dir);
}

// Each call of a save failed in turn (open, write, commit), from the Nth on: the old file stays
// as it was, no temporary is left, and the box names the file and the reason; then it saves.
TEST(SaveFailures, EveryFailedCallLeavesTheOldFileAndIsReported) {
  const std::string dir = temp_dir();
  Window w(1);
  w.A(21, {0, 0, 10, 10, 50, 50});
  struct Row {
    const char* name;
    std::uint8_t first;  // of the saved file
  } rows[] = {{"old.krd", 'K'}, {"old.emf", 1}, {"old.bmp", 'B'}};
  for (const Row& r : rows) {
    const std::string path = dir + "/" + r.name;
    { std::ofstream(path) << "old"; }
    long n = 1;
    for (;; ++n) {
      ASSERT_LT(n, 10) << r.name;
      testing::internal::CaptureStderr();
      IO_FAULT_ARM(n, -1);
      const bool saved = w.doc().DoSave(QString::fromStdString(path), true);
      IO_FAULT_ARM(0);
      const std::string errors = testing::internal::GetCapturedStderr();
      if (saved) break;
      const std::string what = std::string(r.name) + " failing from call " + std::to_string(n);
      EXPECT_EQ(read_file(path), (Bytes{'o', 'l', 'd'})) << what;
      EXPECT_EQ(listing(dir), std::vector<std::string>{r.name}) << what;
      EXPECT_NE(errors.find(save_error_box(path, "Input/output error")), std::string::npos) << what << "\n" << errors;
    }
    EXPECT_EQ(n, 4) << r.name;  // open, write and commit each failed once
    const Bytes b = read_file(path);
    ASSERT_GT(b.size(), 3u) << r.name;
    EXPECT_EQ(b[0], r.first) << r.name;
    EXPECT_EQ(listing(dir), std::vector<std::string>{r.name});
    EXPECT_EQ(w.doc().PathName().toStdString(), path);
    std::filesystem::remove(path);
  }
  std::filesystem::remove_all(dir);
}

TEST(CommandLine, SwitchesAndFiles) {
  const std::string dir = temp_dir();
  const std::string existing = dir + "/pic.krd";
  std::ofstream(existing) << "x";
  struct Row {
    std::vector<const char*> args;
    int show, z, arrange, resolution, x, y, w, h, storing, buffering, status, inquiring, landscape;
    std::uint32_t given;
    int files;
  } rows[] = {
      // show code, z-order, arrange, dpi, x, y, w, h, t, b, r, i, l, given, files
      {{"/b"}, -1, -1, -1, 0, 0, 0, 0, 0, 1, 1, 1, 0, -1, 0x2, 0},
      {{"-B"}, -1, -1, -1, 0, 0, 0, 0, 0, 1, 0, 1, 0, -1, 0x2, 0},
      {{"/bx"}, -1, -1, -1, 0, 0, 0, 0, 0, 1, 1, 1, 0, -1, 0x2, 0},
      {{"/top"}, 13, -1, -1, 0, 0, 0, 0, 0, 1, 1, 1, 0, -1, 0, 0},
      {{"/p10,20"}, -1, -1, -1, 0, 10, 20, 0, 0, 1, 1, 1, 0, -1, 0x10, 0},
      {{"-p10.20"}, -1, -1, -1, 0, 10, 20, 0, 0, 1, 1, 1, 0, -1, 0x10, 0},
      {{"/p-5,3"}, -1, -1, -1, 0, 0, 0, 0, 0, 1, 1, 1, 0, -1, 0, 0},
      {{"/p7"}, -1, -1, -1, 0, 0, 0, 0, 0, 1, 1, 1, 0, -1, 0, 0},
      {{"/s640,480"}, -1, -1, -1, 0, 0, 0, 640, 480, 1, 1, 1, 0, -1, 0x20, 0},
      {{"/300"}, -1, -1, -1, 300, 0, 0, 0, 0, 1, 1, 1, 0, -1, 0, 0},
      {{"/D300"}, -1, -1, -1, 300, 0, 0, 0, 0, 1, 1, 1, 0, -1, 0, 0},
      {{"-dpi300"}, -1, -1, -1, 300, 0, 0, 0, 0, 1, 1, 1, 0, -1, 0, 0},
      {{"/DPI300"}, -1, -1, -1, 300, 0, 0, 0, 0, 1, 1, 1, 0, -1, 0, 0},
      {{"/Maximize"}, -1, -1, -1, 0, 0, 0, 0, 0, 1, 1, 1, 0, -1, 0, 0},
      {{"/maximize", "/z2", "/a3"}, 1, 2, 3, 0, 0, 0, 0, 0, 1, 1, 1, 0, -1, 0, 0},
      {{"/M6", "-cascade"}, 6, -1, 1, 0, 0, 0, 0, 0, 1, 1, 1, 0, -1, 0, 0},
      {{"/T", "/R", "/i", "/l"}, -1, -1, -1, 0, 0, 0, 0, 0, 0, 1, 0, 1, 1, 0x4D, 0},
      {{"/L"}, -1, -1, -1, 0, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0x40, 0},
      {{"a.krd", "/x/b.krd", "-b"}, -1, -1, -1, 0, 0, 0, 0, 0, 1, 1, 1, 0, -1, 0x2, 2},
  };
  for (const Row& r : rows) {
    QStringList args;
    for (const char* a : r.args) args << a;
    CKorndCommandLineInfo c;
    c.ParseCommandLine(args);
    const std::string what = args.join(' ').toStdString();
    EXPECT_EQ(c.show_code, r.show) << what;
    EXPECT_EQ(c.z_order, r.z) << what;
    EXPECT_EQ(c.arrange, r.arrange) << what;
    EXPECT_EQ(c.resolution, r.resolution) << what;
    EXPECT_EQ((std::vector<int>{c.x, c.y, c.width, c.height}), (std::vector<int>{r.x, r.y, r.w, r.h})) << what;
    EXPECT_EQ((std::vector<int>{c.storing, c.buffering, c.status_bar, c.inquiring, c.landscape}),
              (std::vector<int>{r.storing, r.buffering, r.status, r.inquiring, r.landscape})) << what;
    EXPECT_EQ(c.given, r.given) << what;
    EXPECT_EQ(c.files.size(), r.files) << what;
  }
  // Paths keep their leading '/'.
  CKorndCommandLineInfo c;
  c.ParseCommandLine({"a.krd", "/x/b.krd", "/b"});
  EXPECT_EQ(c.files, (QStringList{"a.krd", "/x/b.krd"}));
  CKorndCommandLineInfo absolute;
  absolute.ParseCommandLine({QString::fromStdString(existing)});
  EXPECT_EQ(absolute.files, QStringList{QString::fromStdString(existing)});
  std::filesystem::remove_all(dir);
}

TEST(Printing, PageRectangleInsideTheMargins) {
  struct Row {
    int mx, my, dpi_x, dpi_y, horzres, vertres, mode, cw, ch;
    KRrect page;
  } rows[] = {
      {5, 5, 300, 300, 3300, 2400, 1, 640, 480, {60, 60, 3240, 2340}},   // 5 mm at 300 dpi: 60 pixels
      {5, 5, 300, 300, 3300, 2400, 2, 640, 480, {60, 60, 3100, 2340}},   // client fitted inside
      {5, 5, 300, 300, 3300, 2400, 4, 480, 640, {60, 60, 1770, 2340}},
      {5, 5, 300, 300, 3300, 2400, 3, 0, 0, {60, 60, 3240, 2340}},       // no client area: no division
      {1, 2, 600, 300, 6600, 2400, 1, 0, 0, {24, 24, 6576, 2376}},       // 1 x 600 / 25, 2 x 300 / 25
      {5, 5, 24, 24, 100, 100, 1, 0, 0, {4, 4, 96, 96}},                 // 120 / 25 rounds down
  };
  for (const Row& r : rows)
    EXPECT_EQ(CKorndPrint::PrintPageRect(r.mx, r.my, r.dpi_x, r.dpi_y, r.horzres, r.vertres, r.mode, r.cw, r.ch), r.page)
        << r.mode << " " << r.cw << "x" << r.ch << " " << r.dpi_x;
}

TEST(Printing, OntoAPdfFileAndANonModalPreview) {
  const std::string dir = temp_dir();
  Window w(1, 300, 200);
  w.A(22, {13, 0, 10, 10, 290, 190});
  for (int mode : {1, 2, 3, 4, 5}) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setResolution(300);
    const std::string name = dir + "/page" + std::to_string(mode) + ".pdf";
    printer.setOutputFileName(QString::fromStdString(name));
    ASSERT_TRUE(CKorndPrint::Print(w.doc(), printer, mode)) << mode;
    const Bytes b = read_file(name);
    ASSERT_GT(b.size(), 100u) << mode;
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "%PDF") << mode;
  }
  // No printer here: the preview opens only when asked to regardless, and then does not block.
  EXPECT_EQ(CKorndPrint::Preview(w.doc(), nullptr), nullptr);
  QPrintPreviewDialog* preview = CKorndPrint::Preview(w.doc(), nullptr, true);
  ASSERT_NE(preview, nullptr);
  EXPECT_FALSE(preview->isModal());
  EXPECT_TRUE(preview->isVisible());
  EXPECT_TRUE(KorndApp()->preview_open);
  preview->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(KorndApp()->preview_open);
  std::filesystem::remove_all(dir);
}

TEST(Clipboard, CopyIntoASlotAndImport) {
  Window w(1, 200, 100);
  w.A(22, {13, 0, 0, 0, 100, 100});  // left half red
  const QSize client = w.doc().View()->size();
  EXPECT_EQ(w.doc().View()->CopyToClipboard(nullptr, -3, true), -3);
  EXPECT_EQ(w.doc().Bitmap(0), nullptr);
  ASSERT_EQ(w.doc().View()->CopyToClipboard(nullptr, 0, true), 0);
  ASSERT_NE(w.doc().Bitmap(0), nullptr);
  EXPECT_EQ(QSize(w.doc().Bitmap(0)->Width(), w.doc().Bitmap(0)->Height()), client);
  const QImage clip = QGuiApplication::clipboard()->image();
  ASSERT_EQ(clip.size(), client);
  EXPECT_EQ(clip.pixel(2, 2) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(clip.pixel(client.width() - 2, 2) & 0xFFFFFF, 0xFFFFFFu);
  // A rectangle of the red half into slot 5, not onto the clipboard: all red at the client size.
  const KRrect red{0, 0, 100, 100};
  ASSERT_EQ(w.doc().View()->CopyToClipboard(&red, 5, false), 5);
  EXPECT_EQ(w.doc().Bitmap(5)->PixelColour(client.width() - 1, client.height() - 1), 0x0000FFu);
  EXPECT_EQ(w.doc().NextBitmapNumber(), 6);
  // Import: an image becomes bitmap 0; an empty clipboard leaves bitmap 0 alone.
  QImage small(3, 2, QImage::Format_RGB32);
  small.fill(Qt::blue);
  QGuiApplication::clipboard()->setImage(small);
  ASSERT_TRUE(w.doc().View()->ImportClipboard());
  EXPECT_EQ(w.doc().Bitmap(0)->Width(), 3);
  QGuiApplication::clipboard()->clear();
  EXPECT_FALSE(w.doc().View()->ImportClipboard());
  ASSERT_NE(w.doc().Bitmap(0), nullptr);
  EXPECT_EQ(w.doc().Bitmap(0)->Width(), 3);
}

TEST(ViewModes, ZoomStackAndBack) {
  Window w(1, 400, 200);
  CKorndViewMode& v = w.doc().View()->view_mode;
  v.OnSize(200, 100, w.doc());
  EXPECT_EQ(v.mode, 2);
  // Back with an empty stack changes nothing.
  const KRrect shown = v.view_rect;
  EXPECT_EQ(v.SetViewMode(0, nullptr, w.doc()), CKorndViewMode::Mark_Dirty);
  EXPECT_EQ(v.mode, 2);
  EXPECT_EQ(v.view_rect, shown);
  // Two zooms, two Backs: the mode before the first zoom, and its rectangle.
  w.doc().View()->SetViewMode(4, nullptr);
  EXPECT_EQ(w.doc().ViewMode(), 4);
  EXPECT_EQ(v.view_rect, (KRrect{0, 0, 400, 200}));
  const KRrect a{10, 10, 110, 60}, b{20, 20, 40, 30};
  w.doc().View()->SetViewMode(5, &a);
  w.doc().View()->SetViewMode(5, &b);
  EXPECT_EQ(v.stack.size(), 2u);
  EXPECT_EQ(v.view_rect, b);
  w.doc().View()->SetViewMode(0, nullptr);
  EXPECT_EQ(v.mode, 5);
  EXPECT_EQ(v.view_rect, a);
  w.doc().View()->SetViewMode(0, nullptr);
  EXPECT_EQ(v.mode, 4);
  EXPECT_EQ(w.doc().ViewMode(), 4);
  EXPECT_EQ(v.view_rect, (KRrect{0, 0, 400, 200}));
  // A zoom rectangle of no size grows to 2 x 2; a direct mode empties the stack.
  const KRrect dot{50, 50, 50, 50};
  v.SetViewMode(5, &dot, w.doc());
  EXPECT_EQ(v.view_rect, (KRrect{49, 49, 51, 51}));
  // Switching to or from mode 1 asks for a size check, others for a whole repaint.
  EXPECT_EQ(v.SetViewMode(1, nullptr, w.doc()), CKorndViewMode::Mark_Size);
  EXPECT_TRUE(v.stack.empty());
  EXPECT_EQ(v.SetViewMode(3, nullptr, w.doc()), CKorndViewMode::Mark_Size);
  EXPECT_EQ(v.SetViewMode(4, nullptr, w.doc()), CKorndViewMode::Mark_Dirty);
}

TEST(ViewModes, ShownRectanglesAndConversions) {
  Window w(1, 400, 200);
  CKorndViewMode& v = w.doc().View()->view_mode;
  // Mode 1 with a picture narrower than the client: scroll position 0.
  v.SetViewMode(1, nullptr, w.doc());
  v.scroll = {300, 150};
  v.OnSize(500, 100, w.doc());
  EXPECT_EQ(v.scroll, (KRpoint{0, 100}));
  EXPECT_EQ(v.ToLogical({5, 5}), (KRpoint{5, 105}));
  // Mode 4: the whole picture stretched onto 200 x 100: two units a pixel.
  v.SetViewMode(4, nullptr, w.doc());
  v.OnSize(200, 100, w.doc());
  EXPECT_EQ(v.scale_x, 2);
  EXPECT_EQ(v.ToLogical({10, 10}), (KRpoint{20, 20}));
  EXPECT_EQ(v.MapRect(nullptr, 1, 1, false), KRrect{});
  const KRrect r{30, 30, 10, 10};
  EXPECT_EQ(v.MapRect(&r, 1, 2, false), (KRrect{8, 8, 34, 34}));
  EXPECT_EQ(v.MapRect(&r, 1, 2, true), (KRrect{10, 10, 30, 30}));
  // Near: within about two client pixels (four units here).
  EXPECT_TRUE(v.NearPoint({0, 0}, {2, 2}));
  EXPECT_FALSE(v.NearPoint({0, 0}, {6, 0}));
  // A minimised window (no client area) divides by nothing.
  v.OnSize(0, 0, w.doc());
  EXPECT_EQ(v.ToLogical({0, 0}), (KRpoint{0, 0}));
  EXPECT_FALSE(v.PointInClient({0, 0}));
  EXPECT_TRUE(v.NearPoint({0, 0}, {100, 100}));  // no pixels apart on no client area
  // Mode 3 shows the drawing bounds (the whole picture while there are none).
  v.OnSize(200, 100, w.doc());
  v.SetViewMode(3, nullptr, w.doc());
  EXPECT_EQ(v.view_rect, (KRrect{0, 0, 400, 200}));
  w.A(21, {0, 0, 100, 50, 150, 80});
  v.RecalcViewRect(w.doc());
  EXPECT_EQ(v.view_rect, w.doc().Bounds());
  // Request B 15: 1-4 set the mode, 5 zooms to the viewport rectangle, others nothing.
  EXPECT_EQ(w.Request('B', 15, {1}), 1u);
  EXPECT_EQ(v.mode, 1);
  EXPECT_EQ(w.Request('B', 15, {5}), 1u);
  EXPECT_EQ(v.mode, 5);
  EXPECT_EQ(v.view_rect, w.doc().ViewportRect());
  EXPECT_EQ(w.Request('B', 15, {9}), 1u);
  EXPECT_EQ(v.mode, 5);
}
