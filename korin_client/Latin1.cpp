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
