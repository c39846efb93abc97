// The library's file devices behind our device dispatch: a GIF and a colour EPS file with
// an image, a colour wedge and a box.

#include <cpgplot.h>
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QSet>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/Process_Scratch.h"

namespace fs = std::filesystem;

namespace {

fs::path scratch(const std::string& name) { return PROCESS_SCRATCH("pgplot_devices", name); }

// Draws a 20 x 10 ramp with a grey wedge and a labelled box; colour indices 16-31 are a
// red ramp so that the image's colours can be found in the file.
void draw_image_page() {
  cpgask(0);
  for (int ci = 16; ci <= 31; ++ci) cpgscr(ci, (ci - 16) / 15.0f, 0.0f, 0.0f);
  cpgscir(16, 31);
  std::vector<float> values(20 * 10);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x) values[y * 20 + x] = static_cast<float>(x);
  float tr[6] = {0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f};
  cpgenv(0.5f, 20.5f, 0.5f, 10.5f, 0, 0);
  cpgimag(values.data(), 20, 10, 1, 20, 1, 10, 0.0f, 19.0f, tr);
  cpgwedg("RI", 1.0f, 3.0f, 0.0f, 19.0f, "value");
  cpgbox("BCNST", 0.0f, 0, "BCNST", 0.0f, 0);
}

std::string read_all(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(PgplotDevices, ListsTheWindowDevicesThenTheLibraryDrivers) {
  int n = 0;
  cpgqndt(&n);
  EXPECT_EQ(n, 11);
  std::vector<std::string> types;
  std::vector<int> interactive;
  for (int i = 1; i <= n; ++i) {
    char type[16], descr[80];
    int tlen = sizeof type, dlen = sizeof descr, inter = 0;
    cpgqdt(i, type, &tlen, descr, &dlen, &inter);
    types.emplace_back(type, tlen);
    interactive.push_back(inter);
  }
  EXPECT_EQ(types, (std::vector<std::string>{"/KR", "/CKR", "/KRD", "/CKRD", "/NULL", "/PS", "/VPS", "/CPS",
                                             "/VCPS", "/GIF", "/VGIF"}));
  EXPECT_EQ(interactive, (std::vector<int>{1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(PgplotDevices, GifHoldsTheImageColoursAtTheDefaultSize) {
  fs::path gif = scratch("page.gif");
  std::string device = gif.string() + "/GIF";
  int id = cpgopen(device.c_str());
  ASSERT_GT(id, 0);
  draw_image_page();
  cpgclos();

  QImage image(QString::fromStdString(gif.string()), "GIF");
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.width(), 850);
  EXPECT_EQ(image.height(), 680);
  QSet<QRgb> colours;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) colours.insert(image.pixel(x, y) & 0xFFFFFF);
  EXPECT_TRUE(colours.contains(0x000000));  // background
  EXPECT_TRUE(colours.contains(0xFFFFFF));  // box and labels
  for (int ci = 16; ci <= 31; ++ci) {
    int red = static_cast<int>((ci - 16) / 15.0f * 255.0f + 0.5f);
    bool found = false;
    for (QRgb c : colours) found |= (qRed(c) >= red - 1 && qRed(c) <= red + 1 &&
                                     qGreen(c) == 0 && qBlue(c) == 0);
    EXPECT_TRUE(found) << "no pixel of colour index " << ci;
  }
  fs::remove(gif);
}

TEST(PgplotDevices, VcpsIsACompleteEncapsulatedColourPage) {
  fs::path ps = scratch("page.ps");
  std::string device = ps.string() + "/VCPS";
  int id = cpgopen(device.c_str());
  ASSERT_GT(id, 0);
  draw_image_page();
  cpgclos();

  std::string text = read_all(ps);
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.rfind("%!PS-Adobe-3.0 EPSF-3.0", 0), 0u);
  EXPECT_NE(text.find("%%BoundingBox:"), std::string::npos);
  EXPECT_NE(text.find("%%Page: 1 1"), std::string::npos);
  EXPECT_NE(text.find("showpage"), std::string::npos);
  EXPECT_NE(text.find("%%EOF"), std::string::npos);
  // The image is sent as colour data.
  EXPECT_NE(text.find("colorimage"), std::string::npos);
  fs::remove(ps);
}

}  // namespace
