// Option_Numbers: strict reading of the numbers inside option words.
//
// Reads: the word or text given. Writes: console lines on a read error. Global records: none.

#include "main/Option_Numbers.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "records/Console.h"
#include "text/Blanks.h"

namespace {

[[noreturn]] void read_error(std::string_view routine, std::string_view input) {
  CONSOLE_EMPTY();
  CONSOLE_LINE("Read error in '" + std::string(routine) + "'");
  CONSOLE_EMPTY();
  CONSOLE_EMPTY();
  CONSOLE_LINE("Input Error: " + std::string(WITHOUT_TRAILING_BLANKS(input)));
  CONSOLE_EMPTY();
  STOP_PROGRAM(1);
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// An optional sign and at least one digit, nothing else, within 32 bits.
bool parse_signed_integer(std::string_view field, std::int32_t& value) {
  const auto first = field.find_first_not_of(' ');
  if (first == std::string_view::npos) return false;
  const std::string kept = WITHOUT_TRAILING_BLANKS(field.substr(first));
  field = kept;
  bool negative = false;
  if (field.front() == '+' || field.front() == '-') {
    negative = field.front() == '-';
    field.remove_prefix(1);
  }
  if (field.empty() || !is_digit(field.front())) return false;
  std::int64_t magnitude = 0;
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), magnitude);
  if (error != std::errc{} || end != field.data() + field.size()) return false;
  const std::int64_t v = negative ? -magnitude : magnitude;
  if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max()) return false;
  value = static_cast<std::int32_t>(v);
  return true;
}

// Sign, digits with an optional point (at least one digit), optional E/D exponent.
bool parse_real(std::string_view item, float& value) {
  std::string text(item);
  std::size_t pos = 0;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
  std::size_t digits = 0;
  while (pos < text.size() && is_digit(text[pos])) ++pos, ++digits;
  if (pos < text.size() && text[pos] == '.') {
    ++pos;
    while (pos < text.size() && is_digit(text[pos])) ++pos, ++digits;
  }
  if (digits == 0) return false;
  if (pos < text.size() && std::string_view("eEdD").find(text[pos]) != std::string_view::npos) {
    text[pos] = 'e';
    ++pos;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
    const std::size_t exponent_start = pos;
    while (pos < text.size() && is_digit(text[pos])) ++pos;
    if (pos == exponent_start) return false;
  }
  if (pos != text.size()) return false;
  // from_chars takes no leading "+".
  const char* begin = text.data() + (text.front() == '+' ? 1 : 0);
  double v = 0.0;
  const auto [end, error] = std::from_chars(begin, text.data() + text.size(), v);
  if (error != std::errc{} || end != text.data() + text.size()) return false;
  if (!std::isfinite(v) || std::fabs(v) > std::numeric_limits<float>::max()) return false;
  value = static_cast<float>(v);
  return true;
}

}  // namespace

Number_Field NUMBER_FIELD(std::string_view given, char key) {
  const std::string word = WITHOUT_TRAILING_BLANKS(given);
  const unsigned char k = static_cast<unsigned char>(key);
  const char lower = static_cast<char>(std::tolower(k));
  const char upper = static_cast<char>(std::toupper(k));
  std::size_t start = 0;  // position after the key
  for (char form : {lower, upper}) {
    const auto at = word.find(form);
    if (at != std::string_view::npos) start = std::max(start, at + 1);
  }
  Number_Field field{start, 0};
  if (start >= word.size()) return field;
  field.length = 1;
  while (start + field.length < word.size() && is_digit(word[start + field.length])) ++field.length;
  return field;
}

std::int32_t READ_INTEGER_INPUT(std::string_view word, char key) {
  const Number_Field field = NUMBER_FIELD(word, key);
  std::int32_t value = 0;
  if (!parse_signed_integer(word.substr(field.start, field.length), value))
    read_error("Read integer input", word);
  return value;
}

float READ_NUMBER_INPUT(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  const std::string_view rest = first == std::string_view::npos ? std::string_view{} : text.substr(first);
  const std::string_view item = rest.substr(0, rest.find_first_of(" ,/"));
  float value = 0.0f;
  if (item.empty() || !parse_real(item, value)) read_error("Read number input", text);
  return value;
}
