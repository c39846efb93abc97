// Request_Batch.cpp - packing and reading batches of requests (see Request_Batch.h).
#include "platform/Request_Batch.h"

#include <cstring>

namespace platform {

namespace {

void put16(std::vector<char>& out, std::size_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void put32_at(std::vector<char>& out, std::size_t at, std::size_t v) {
  for (int i = 0; i < 4; ++i) out[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

constexpr std::size_t Word = 4;
constexpr std::size_t Run_Head = 4;  // offset and length

// Words that differ, as runs; runs closer than a run head are joined (cheaper to send the gap).
template <typename Emit>
void changed_runs(const char* now, const char* before, std::size_t size, Emit emit) {
  std::size_t start = 0, end = 0;  // the open run, empty when start == end
  auto same = [&](std::size_t at, std::size_t n) {
    if (n != Word) return std::memcmp(now + at, before + at, n) == 0;
    std::uint32_t a, b;
    std::memcpy(&a, now + at, Word), std::memcpy(&b, before + at, Word);
    return a == b;
  };
  for (std::size_t at = 0; at < size; at += Word) {
    // Most of a block stays: whole stretches that did not change are passed at once.
    if (at % 64 == 0 && size - at >= 64 && std::memcmp(now + at, before + at, 64) == 0) {
      at += 64 - Word;
      continue;
    }
    const std::size_t n = std::min(Word, size - at);
    if (same(at, n)) continue;
    if (start != end && at - end <= Run_Head) {
      end = at + n;
      continue;
    }
    if (start != end) emit(start, end - start);
    start = at, end = at + n;
  }
  if (start != end) emit(start, end - start);
}

}  // namespace

std::size_t Batch_Writer::WORST_CASE(std::size_t text_length, std::size_t block_size) {
  return 2 + text_length + 2 + Run_Head + block_size + 4 + Payload_Alignment - 1;
}

void Batch_Writer::APPEND(const char* text, std::size_t length, const void* block, void* mirror,
                          std::size_t block_size, bool whole) {
  put16(bytes_, length);
  bytes_.insert(bytes_.end(), text, text + length);
  const std::size_t count_at = bytes_.size();
  put16(bytes_, 0);
  std::size_t runs = 0;
  const char* now = static_cast<const char*>(block);
  auto emit = [&](std::size_t offset, std::size_t n) {
    put16(bytes_, offset);
    put16(bytes_, n);
    bytes_.insert(bytes_.end(), now + offset, now + offset + n);
    ++runs;
  };
  if (block != nullptr) {
    if (whole) emit(0, block_size);
    else changed_runs(now, static_cast<const char*>(mirror), block_size, emit);
    std::memcpy(mirror, block, block_size);
  }
  bytes_[count_at] = static_cast<char>(runs & 0xFF);
  bytes_[count_at + 1] = static_cast<char>((runs >> 8) & 0xFF);
  payload_at_ = bytes_.size(), payload_length_ = 0;
  bytes_.resize(bytes_.size() + 4, 0);
  bytes_.resize((bytes_.size() + Payload_Alignment - 1) / Payload_Alignment * Payload_Alignment, 0);
  ++entries_;
}

char* Batch_Writer::PAYLOAD(std::size_t n) {
  if (entries_ == 0 || bytes_.size() + n > Max_Batch) return nullptr;
  const std::size_t at = bytes_.size();
  bytes_.resize(at + n);
  payload_length_ += n;
  put32_at(bytes_, payload_at_, payload_length_);
  return bytes_.data() + at;
}

void Batch_Writer::CLEAR() {
  if (entries_ > 0) restart();  // already empty: writes nothing (also called while the program ends)
}

std::vector<char> Batch_Writer::TAKE() {
  std::vector<char> packet = std::move(bytes_);
  restart();
  return packet;
}

void Batch_Writer::restart() {
  bytes_.assign(1, Batch_Mark);
  payload_at_ = payload_length_ = 0;
  entries_ = 0;
}

Batch_Reader::Batch_Reader(std::string_view packet, std::size_t block_size)
    : packet_(packet), block_size_(block_size) {
  if (packet_.empty() || packet_[0] != Batch_Mark) failed_ = true;
}

bool Batch_Reader::take(std::size_t n, std::string_view& out) {
  if (n > packet_.size() - at_) return false;
  out = packet_.substr(at_, n);
  at_ += n;
  return true;
}

bool Batch_Reader::take16(std::size_t& out) {
  std::string_view b;
  if (!take(2, b)) return false;
  out = std::size_t(static_cast<unsigned char>(b[0])) | std::size_t(static_cast<unsigned char>(b[1])) << 8;
  return true;
}

bool Batch_Reader::take32(std::size_t& out) {
  std::string_view b;
  if (!take(4, b)) return false;
  out = 0;
  for (int i = 0; i < 4; ++i) out |= std::size_t(static_cast<unsigned char>(b[static_cast<std::size_t>(i)])) << (8 * i);
  return true;
}

bool Batch_Reader::NEXT(Batch_Entry& entry) {
  if (failed_ || at_end()) return false;
  std::size_t length = 0, runs = 0, payload = 0;
  std::string_view text;
  auto fail = [this] {
    failed_ = true;
    return false;
  };
  if (!take16(length) || length == 0 || length > sizeof entry.packet.text - 1 || !take(length, text)) return fail();
  std::memcpy(entry.packet.text, text.data(), length);
  entry.packet.text[length] = '\0';
  entry.packet.length = length;
  entry.packet.oversize = false;
  entry.packet.terminated = std::memchr(text.data(), '\0', length) != nullptr;
  if (!entry.packet.terminated || text[0] == Batch_Mark) return fail();
  if (!take16(runs)) return fail();
  entry.runs.clear();
  for (std::size_t i = 0; i < runs; ++i) {
    Batch_Entry::Run r;
    std::size_t n = 0;
    if (!take16(r.offset) || !take16(n) || r.offset > block_size_ || n > block_size_ - r.offset || !take(n, r.bytes))
      return fail();
    entry.runs.push_back(r);
  }
  std::string_view padding;
  if (!take32(payload) || !take((Payload_Alignment - at_ % Payload_Alignment) % Payload_Alignment, padding) ||
      !take(payload, entry.payload))
    return fail();
  return true;
}

}  // namespace platform
