// Robustness of a running kornd: random request packets and random window-block contents
// (fixed seed) must leave it serving, answering every request, and a normal client must work
// afterwards.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
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
