// File_Bytes.h - a file's bytes and the little-endian fields and metafile records in them.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

inline std::uint16_t get16(const Bytes& b, std::size_t at) { return std::uint16_t(b[at] | b[at + 1] << 8); }

inline std::uint32_t get32(const Bytes& b, std::size_t at) {
  return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16 | std::uint32_t(b[at + 3]) << 24;
}

inline Bytes read_file(const std::string& p) {
  std::ifstream f(p, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(f), {});
}

inline void write_file(const std::string& p, const Bytes& b) {
  std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

// Every metafile record's type and first 18 parameters, in file order.
inline std::vector<std::pair<std::uint32_t, std::vector<std::int32_t>>> all_records(const Bytes& b) {
  std::vector<std::pair<std::uint32_t, std::vector<std::int32_t>>> out;
  for (std::size_t at = get32(b, 4); at + 8 <= b.size();) {
    const std::uint32_t type = get32(b, at), size = get32(b, at + 4);
    if (size < 8 || at + size > b.size()) break;
    std::vector<std::int32_t> params;
    for (std::size_t k = 8; k + 4 <= size && k < 80; k += 4) params.push_back(static_cast<std::int32_t>(get32(b, at + k)));
    out.emplace_back(type, std::move(params));
    at += size;
  }
  return out;
}

// The first record of each type.
inline std::map<std::uint32_t, std::vector<std::int32_t>> first_records(const Bytes& b) {
  std::map<std::uint32_t, std::vector<std::int32_t>> out;
  for (auto& [type, params] : all_records(b)) out.emplace(type, std::move(params));
  return out;
}

// The EMR_STRETCHDIBITS records: destination x, y at [4], [5], source size at [8], [9],
// destination size at [16], [17].
inline std::vector<std::vector<std::int32_t>> stretch_records(const Bytes& b) {
  std::vector<std::vector<std::int32_t>> out;
  for (auto& [type, params] : all_records(b))
    if (type == 81) out.push_back(std::move(params));
  return out;
}
