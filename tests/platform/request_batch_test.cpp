// Batches of requests: what the writer packs is what the reader gives back (texts, the changed
// block bytes, payloads), and a packet that does not hold together is refused as a whole entry
// at a time, never read past its end or past a block.

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "platform/Request_Batch.h"

namespace {

constexpr std::size_t Block = 64;
using Bytes = std::array<char, Block>;

// Replays entries onto a block as the server does: each entry's runs, in order.
std::vector<Bytes> replay(const std::vector<char>& packet, Bytes start, std::vector<std::string>* texts = nullptr,
                          std::vector<std::string>* payloads = nullptr) {
  platform::Batch_Reader reader(std::string_view(packet.data(), packet.size()), Block);
  platform::Batch_Entry e;
  std::vector<Bytes> states;
  while (reader.NEXT(e)) {
    for (const auto& run : e.runs) std::memcpy(start.data() + run.offset, run.bytes.data(), run.bytes.size());
    states.push_back(start);
    if (texts) texts->emplace_back(e.packet.text);
    if (payloads) payloads->emplace_back(e.payload);
  }
  EXPECT_FALSE(reader.failed());
  EXPECT_TRUE(reader.at_end());
  return states;
}

}  // namespace

TEST(RequestBatch, EntriesComeBackWithTheBlockAsItWasForEach) {
  platform::Batch_Writer batch;
  Bytes block{}, mirror{};
  for (std::size_t i = 0; i < Block; ++i) block[i] = static_cast<char>(i);
  std::vector<Bytes> expected;
  batch.APPEND("A!", 3, block.data(), mirror.data(), Block, true);  // the whole block first
  expected.push_back(block);
  block[5] = 'x';   // one word
  block[40] = 'y';  // another, far away
  block[63] = 'z';  // the last byte
  batch.APPEND("A!", 3, block.data(), mirror.data(), Block, false);
  expected.push_back(block);
  batch.APPEND("B!", 3, block.data(), mirror.data(), Block, false);  // nothing changed
  expected.push_back(block);
  char* payload = batch.PAYLOAD(4);
  EXPECT_EQ((payload - batch.bytes().data()) % platform::Payload_Alignment, 0);  // points go in place
  std::memcpy(payload, "1234", 4);
  std::memcpy(batch.PAYLOAD(2), "56", 2);  // payloads add up on the last entry
  batch.APPEND("L,0,", 5, nullptr, nullptr, 0, false);  // no block at all
  expected.push_back(block);
  EXPECT_EQ(batch.entries(), 4);
  EXPECT_EQ(mirror, block);

  std::vector<std::string> texts, payloads;
  Bytes start{};
  start.fill('?');
  EXPECT_EQ(replay(batch.bytes(), start, &texts, &payloads), expected);
  EXPECT_EQ(texts, (std::vector<std::string>{"A!", "A!", "B!", "L,0,"}));
  EXPECT_EQ(payloads, (std::vector<std::string>{"", "", "123456", ""}));
  // Only changed words travel: three small runs, not a block.
  EXPECT_LT(batch.bytes().size(), 1 + 4 * (2 + 3 + 2 + 4 + 7) + Block + 3 * (4 + 8) + 6 + 8);

  const std::vector<char> taken = batch.TAKE();
  EXPECT_EQ(replay(taken, start), expected);
  EXPECT_TRUE(batch.empty());
  EXPECT_EQ(batch.bytes(), std::vector<char>{platform::Batch_Mark});
  batch.APPEND("A!", 3, block.data(), mirror.data(), Block, true);
  batch.CLEAR();
  EXPECT_TRUE(batch.empty());
  EXPECT_EQ(batch.bytes(), std::vector<char>{platform::Batch_Mark});
  EXPECT_EQ(batch.PAYLOAD(1), nullptr);  // no entry to carry it
}

TEST(RequestBatch, APayloadBeyondThePacketIsRefused) {
  platform::Batch_Writer batch;
  batch.APPEND("N!", 3, nullptr, nullptr, 0, false);
  EXPECT_EQ(batch.PAYLOAD(platform::Max_Batch), nullptr);
  EXPECT_NE(batch.PAYLOAD(1000), nullptr);
  EXPECT_LE(batch.bytes().size(), platform::Max_Batch);
}

TEST(RequestBatch, MalformedPacketsStopTheReader) {
  platform::Batch_Writer good;
  Bytes block{}, mirror{};
  good.APPEND("A!", 3, block.data(), mirror.data(), Block, true);
  const std::vector<char> whole = good.bytes();
  auto with = [&](std::size_t at, std::vector<char> bytes) {
    std::vector<char> p = whole;
    for (std::size_t i = 0; i < bytes.size(); ++i) p[at + i] = bytes[i];
    return p;
  };
  const std::size_t runs_at = 1 + 2 + 3, run_at = runs_at + 2;
  struct Case {
    const char* what;
    std::vector<char> packet;
  };
  const std::vector<Case> cases = {
      {"no mark", with(0, {'A'})},
      {"text longer than the packet", with(1, {'\xff', '\x7f'})},
      {"text of no bytes", with(1, {0, 0})},
      {"text without its zero", with(1 + 2 + 2, {'x'})},
      {"a batch inside a batch", with(1 + 2, {platform::Batch_Mark})},
      {"run past the block", with(run_at, {static_cast<char>(Block - 2), 0, 4, 0})},
      {"run longer than the block", with(run_at + 2, {static_cast<char>(Block + 1), 0})},
      {"more runs than the packet holds", with(runs_at, {2, 0})},
      {"cut short", std::vector<char>(whole.begin(), whole.end() - 1)},
      {"payload past the end", with(run_at + 4 + Block, {1, 0, 0, 0})},
  };
  for (const Case& c : cases) {
    platform::Batch_Reader reader(std::string_view(c.packet.data(), c.packet.size()), Block);
    platform::Batch_Entry e;
    EXPECT_FALSE(reader.NEXT(e)) << c.what;
    EXPECT_TRUE(reader.failed()) << c.what;
    EXPECT_FALSE(reader.NEXT(e)) << c.what;  // and stays stopped
  }
  platform::Batch_Reader reader(std::string_view(whole.data(), whole.size()), Block);
  platform::Batch_Entry e;
  EXPECT_TRUE(reader.NEXT(e));
  EXPECT_FALSE(reader.NEXT(e));
  EXPECT_FALSE(reader.failed());
}
