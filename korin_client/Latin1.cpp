// Latin1.cpp - see Latin1.h.
#include "korin_client/Latin1.h"

std::string LATIN1_TO_UTF8(std::string_view latin1, std::size_t limit) {
  std::string out;
  for (char c : latin1) {
    const unsigned char u = static_cast<unsigned char>(c);
    const std::size_t need = u < 0x80 ? 1 : 2;
    if (out.size() + need > limit) break;
    if (u < 0x80) {
      out += c;
    } else {
      out += static_cast<char>(0xC0 | (u >> 6));
      out += static_cast<char>(0x80 | (u & 0x3F));
    }
  }
  return out;
}

std::string UTF8_TO_LATIN1(std::string_view utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned char u = static_cast<unsigned char>(utf8[i]);
    const std::size_t length = u >= 0xF0 && u <= 0xF4 ? 4 : u >= 0xE0 ? 3 : u >= 0xC2 && u < 0xE0 ? 2 : 1;
    std::size_t k = 1;
    while (length > 1 && k < length && i + k < utf8.size() && (static_cast<unsigned char>(utf8[i + k]) & 0xC0) == 0x80)
      ++k;
    if (length == 1 || k < length) {  // ASCII, or a byte that starts no whole sequence
      out += utf8[i++];
      continue;
    }
    out += length == 2 && u <= 0xC3 ? static_cast<char>(((u & 0x03) << 6) | (utf8[i + 1] & 0x3F)) : '?';
    i += length;
  }
  return out;
}

std::optional<std::int32_t> READ_DECIMAL(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  std::int64_t value = 0;
  std::size_t digits = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
    value = value * 10 + (text[i] - '0');
    if (value > std::int64_t{1} << 31) return std::nullopt;
  }
  if (digits == 0) return std::nullopt;
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
  return static_cast<std::int32_t>(value);
}
