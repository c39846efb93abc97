// Robustness of a running kornd: random request packets and random window-block contents
// (fixed seed) must leave it serving, answering every request, and a normal client must work
// afterwards; shapes under transforms that throw them far past 32 bits are drawn clipped.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "Kornd_Server.h"

TEST(KorndRobustness, RandomPacketsAndBlocksLeaveTheServerServing) {
  Kornd_Server k;
  ASSERT_TRUE(k.Start()) << k.Errors();
  for (int w = 1; w <= 3; ++w) ASSERT_EQ(k.Send("I,0,320,200,0,19,5,w"), std::uint32_t(w));
  std::vector<platform::Shared_Block> blocks(3);
  std::vector<channel::KRwinblock*> views;
  for (int w = 1; w <= 3; ++w) views.push_back(k.MapWindow(w, blocks[w - 1]));
  for (auto* v : views) ASSERT_NE(v, nullptr);

  std::mt19937 rng(20261210);  // fixed seed: a failure can be replayed
  // Every letter but the quit request, whose mode 0 would end the server on purpose.
  const std::string letters = "KIJABCDEFGMNHZ?\x01\x7f\xff";
  auto number = [&] {
    switch (rng() % 6) {
      case 0: return std::to_string(static_cast<int>(rng()));
      case 1: return std::to_string(rng() % 70);
      case 2: return std::string("99999999999999");
      case 3: return std::string("-") + std::to_string(rng() % 5);
      case 4: return std::string(" ");
      default: return std::to_string(rng() % 5000);
    }
  };
  std::string packet;
  for (int i = 0; i < 100000; ++i) {
    packet.clear();
    packet += letters[rng() % letters.size()];
    switch (rng() % 4) {
      case 0: {  // random bytes
        std::size_t n = rng() % 300;
        for (std::size_t j = 0; j < n; ++j) packet += static_cast<char>(rng() & 0xFF);
        break;
      }
      case 1:  // comma-separated numbers, as the letters' layouts have them
        for (int f = rng() % 9; f > 0; --f) packet += "," + number();
        break;
      case 2:  // a window byte
        packet += static_cast<char>(rng() & 0xFF);
        break;
      default:  // a long text
        packet += std::string(200 + rng() % 120, static_cast<char>('a' + rng() % 26));
        break;
    }
    if (rng() % 8 != 0) packet += '\0';  // mostly terminated
    if (rng() % 50 == 0) {
      // Random bytes all over one window block, head and slots included.
      auto* bytes = reinterpret_cast<unsigned char*>(views[rng() % views.size()]);
      for (std::size_t j = 0; j < sizeof(channel::KRwinblock); ++j) bytes[j] = static_cast<unsigned char>(rng());
    }
    std::uint32_t reply = k.SendRaw(packet.data(), packet.size());
    ASSERT_NE(reply, Kornd_Server::Gone) << "packet " << i;
  }
  // A normal client still works.
  ASSERT_TRUE(k.Connect());
  EXPECT_EQ(k.Send("K,4242,/tmp;/bin/client;Version  0.99.8b"), 4242u);
  std::uint32_t w = k.Send("I,0,200,100,0,19,5,after");
  EXPECT_TRUE(w == 0xFFFFFFFFu || (w >= 1 && w <= 63)) << w;
  if (w != 0xFFFFFFFFu) {
    EXPECT_LE(k.Send(std::string{'J', static_cast<char>(w + 32)}), 63u);
  }
  EXPECT_EQ(k.Send("L,0,"), 0x80000005u);
  ASSERT_TRUE(k.WaitExit(10000));
  EXPECT_EQ(WEXITSTATUS(k.exit_status()), 0);
}

TEST(KorndRobustness, RandomDrawingRequestsWithRandomHeads) {
  Kornd_Server k;
  ASSERT_TRUE(k.Start()) << k.Errors();
  for (int w = 1; w <= 3; ++w) ASSERT_EQ(k.Send("I,0,400,300,0,19,5,w"), std::uint32_t(w));
  std::vector<platform::Shared_Block> blocks(3);
  std::vector<channel::KRwinblock*> views;
  for (int w = 1; w <= 3; ++w) views.push_back(k.MapWindow(w, blocks[w - 1]));
  for (auto* v : views) ASSERT_NE(v, nullptr);
  // Fixed seed; KORND_TEST_SEED explores others (a seed that fails becomes a named case).
  const char* seed = std::getenv("KORND_TEST_SEED");
  std::mt19937 rng(seed ? static_cast<unsigned>(std::strtoul(seed, nullptr, 10)) : 424242u);
  auto value = [&]() -> std::int32_t {
    switch (rng() % 5) {
      case 0: return static_cast<std::int32_t>(rng());  // anything at all
      case 1: return -static_cast<std::int32_t>(rng() % 1000);
      case 2: return static_cast<std::int32_t>(rng() % 16);
      default: return static_cast<std::int32_t>(rng() % 500);
    }
  };
  const char letters[] = {'A', 'A', 'A', 'N', 'B'};
  for (int i = 0; i < 20000; ++i) {
    int w = 1 + static_cast<int>(rng() % 3);
    channel::KRwinblock& b = *views[static_cast<std::size_t>(w - 1)];
    // A few head fields at random, the rest as the last request left them.
    auto* head = reinterpret_cast<std::int32_t*>(&b);
    for (int f = rng() % 6; f > 0; --f) head[rng() % (channel::Head_Size / 4)] = value();
    char letter = letters[rng() % 5];
    int code;
    do code = static_cast<int>(rng() % 41);
    while (code == 3 || code == 4);  // pauses last as long as asked, by design
    b.code = code;
    for (int s = 0; s < 6; ++s) b.a[s] = value();
    if (letter == 'B') {
      b.code = 36 + static_cast<int>(rng() % 3);
      if (rng() % 4) b.a[1] = static_cast<std::int32_t>(rng() % 2100);
    }
    if (letter == 'N' && rng() % 2) b.a[0] = static_cast<std::int32_t>(rng() % 50);  // mostly sizes that fit
    for (std::size_t j = 0; j < 64; ++j) b.data[j] = static_cast<char>(rng());
    b.data[rng() % 64] = '\0';
    std::uint32_t reply = k.Send(std::string{letter, static_cast<char>(w + 32)});
    ASSERT_NE(reply, Kornd_Server::Gone) << "request " << i << " " << letter << " " << code;
  }
  ASSERT_TRUE(k.Connect());
  EXPECT_EQ(k.Send("K,7,/tmp;/bin/client;Version  0.99.8b"), 7u);
  EXPECT_EQ(k.Send("L,0,"), 0x80000005u);
  ASSERT_TRUE(k.WaitExit(10000));
  EXPECT_EQ(WEXITSTATUS(k.exit_status()), 0);
}

namespace {

constexpr std::int32_t White = 0xFFFFFF, Red = 0x0000FF, Blue = 0xFF0000;
// Direct colour code of a colour value 0x00bbggrr.
std::int32_t direct(std::int32_t c) { return 0x2000000 | c; }

struct Pixel {
  int x, y;
  std::int32_t colour;
};

struct Huge_Shape {
  const char* name;
  channel::Draw_Code code;
  std::int32_t a1;                 // the solid rectangle's colour code, else 0
  std::int32_t pen_width;
  std::array<std::int32_t, 4> radials;  // the pie's and chord's radial points
  std::vector<Pixel> expected;
};

}  // namespace

// Scale 32767 on the diagonal and the origin at the window's middle (100, 50): the box of
// -200 000..200 001 (right and bottom edges exclusive) reaches +-6.6e9 device pixels around it. Each shape must show as its part inside the window,
// drawn and again after a repaint, with the server serving throughout.
TEST(KorndRobustness, HugeTransformsDrawClippedShapes) {
  const std::vector<Pixel> all_blue{{0, 0, Blue}, {199, 99, Blue}, {100, 50, Blue}, {30, 80, Blue}};
  const std::vector<Huge_Shape> shapes{
      {"solid rectangle", channel::Draw_Solid_Rect, direct(Red), 1, {}, {{0, 0, Red}, {199, 99, Red}, {100, 50, Red}}},
      {"rectangle", channel::Draw_Rect, 0, 1, {}, all_blue},
      {"rectangle, pen wider than 32 bits", channel::Draw_Rect, 0, 100000, {}, all_blue},
      {"ellipse", channel::Draw_Ellipse, 0, 1, {}, all_blue},
      {"round rectangle", channel::Draw_Round_Rect, 10, 1, {}, all_blue},
      // The quarter from the right (0 degrees) counter-clockwise to the top.
      {"pie", channel::Draw_Pie, 0, 1, {1000, 0, 0, -1000},
       {{150, 25, Blue}, {199, 0, Blue}, {50, 25, White}, {50, 75, White}, {150, 75, White}}},
      // The upper half, cut off by the diameter through the window's middle.
      {"chord", channel::Draw_Chord, 0, 1, {1000, 0, -1000, 0},
       {{50, 25, Blue}, {150, 25, Blue}, {0, 0, Blue}, {50, 75, White}, {150, 75, White}, {199, 99, White}}},
  };
  Kornd_Server k;
  ASSERT_TRUE(k.Start()) << k.Errors();
  std::vector<platform::Shared_Block> blocks(shapes.size());
  for (std::size_t i = 0; i < shapes.size(); ++i) {
    const Huge_Shape& s = shapes[i];
    SCOPED_TRACE(s.name);
    const std::uint32_t w = k.Send("I,0,200,100,0,19,5,");
    ASSERT_TRUE(w >= 1 && w <= 63) << w;
    channel::KRwinblock* b = k.MapWindow(int(w), blocks[i]);
    ASSERT_NE(b, nullptr);
    auto request = [&](char letter, int code, std::vector<std::int32_t> a) {
      b->code = code;
      for (std::size_t j = 0; j < 6; ++j) b->a[j] = j < a.size() ? a[j] : 0;
      return k.Send(std::string{letter, static_cast<char>(w + 32)});
    };
    auto expect_pixels = [&](const char* when) {
      for (const Pixel& p : s.expected) {
        ASSERT_EQ(request('F', p.x, {p.y}), w) << k.Errors();
        EXPECT_EQ(b->a[2], p.colour) << when << " at (" << p.x << ", " << p.y << ")";
      }
    };
    b->brush_style = 1;
    b->brush_colour = direct(Blue);
    b->pen_width = s.pen_width;
    b->change_mask = 0x32;  // brush style and colour, pen width
    ASSERT_EQ(request('A', channel::Draw_Attributes, {}), w);
    ASSERT_EQ(request('A', channel::Draw_Transform, {100, 50, 0x7fff0000, 0, 0, 0x7fff0000}), w);
    std::memcpy(b->data, s.radials.data(), sizeof s.radials);
    ASSERT_EQ(request('A', s.code, {s.a1, s.a1, -200000, -200000, 200001, 200001}), w) << k.Errors();
    expect_pixels("drawn");
    ASSERT_EQ(request('B', channel::Control_Repaint, {}), w);
    expect_pixels("repainted");
  }
  ASSERT_EQ(k.Send("L,0,"), 0x80000005u);
  ASSERT_TRUE(k.WaitExit(10000));
  EXPECT_EQ(WEXITSTATUS(k.exit_status()), 0) << k.Errors();
}
