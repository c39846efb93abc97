// Request_Batch.h - requests whose replies nobody reads travel together in one packet.
//
// Our client packs them until it needs a reply; the server replays them in order. Each entry
// holds the request text as a client would send it alone, the runs of window-block bytes that
// changed since the entry before (the whole block for a window's first entry), and optional
// bytes for the data buffer the request made (a point list written in place). The request
// texts, their arguments and their order are those of single requests; only the travel differs.
//
// Packet: Batch_Mark, then entries: u16 text length, text, u16 run count, runs (u16 offset,
// u16 length, bytes), u32 payload length, zeros up to the next multiple of 8 bytes from the
// packet's start, payload (so that points can be written into it in place). Little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/Request_Channel.h"

namespace platform {

constexpr char Batch_Mark = Batch_Packet_Mark;
constexpr std::size_t Max_Batch = Max_Batch_Packet;
constexpr std::size_t Payload_Alignment = 8;

// Client side: builds one packet.
class Batch_Writer {
 public:
  bool empty() const { return entries_ == 0; }
  int entries() const { return entries_; }
  const std::vector<char>& bytes() const { return bytes_; }
  // Bytes an entry of this text and block would take at most, without payload.
  static std::size_t WORST_CASE(std::size_t text_length, std::size_t block_size);
  // Appends a request with the bytes of `block` that differ from `mirror` (all when `whole`),
  // then makes the mirror equal to the block.
  void APPEND(const char* text, std::size_t length, const void* block, void* mirror, std::size_t block_size,
              bool whole);
  // Room for `bytes` of payload on the last entry, or null when the packet has no room.
  char* PAYLOAD(std::size_t bytes);
  void CLEAR();
  // The packet, handed over; the writer starts an empty one.
  std::vector<char> TAKE();

 private:
  void restart();

  std::vector<char> bytes_{Batch_Mark};
  std::size_t payload_at_ = 0;  // where the last entry's payload length is
  std::size_t payload_length_ = 0;
  int entries_ = 0;
};

// One entry as read back.
struct Batch_Entry {
  Request_Packet packet;
  struct Run {
    std::size_t offset = 0;
    std::string_view bytes;
  };
  std::vector<Run> runs;
  std::string_view payload;
};

// Server side: reads the entries of a packet in order. A malformed packet (a length past its
// end, a run past the block, a text without its zero) stops with failed() true.
class Batch_Reader {
 public:
  Batch_Reader(std::string_view packet, std::size_t block_size);
  // The next entry; false at the end or on a malformed one.
  bool NEXT(Batch_Entry& entry);
  bool failed() const { return failed_; }
  bool at_end() const { return at_ >= packet_.size(); }

 private:
  bool take(std::size_t n, std::string_view& out);
  bool take16(std::size_t& out);
  bool take32(std::size_t& out);

  std::string_view packet_;
  std::size_t block_size_;
  std::size_t at_ = 1;
  bool failed_ = false;
};

}  // namespace platform
