// Read_Input_F: the front end's channel on standard input and standard output.
//
// Reads: standard input (through the stream given). Writes: standard output. Global
// records: none. Nothing is reported on the console; the callers decide.

#include "records/Read_Input_F.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <limits>
#include <string_view>

#include "text/Fortran_Format.h"

namespace {

// One "%i" number filling the whole word.
bool parse_c_integer(std::string_view word, std::int32_t& value) {
  bool negative = false;
  if (!word.empty() && (word.front() == '+' || word.front() == '-')) {
    negative = word.front() == '-';
    word.remove_prefix(1);
  }
  int base = 10;
  if (word.size() > 1 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) {
    base = 16;
    word.remove_prefix(2);
  } else if (word.size() > 1 && word[0] == '0') {
    base = 8;
    word.remove_prefix(1);
  }
  if (word.empty() || word.front() == '+' || word.front() == '-') return false;
  std::int64_t magnitude = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), magnitude, base);
  if (error != std::errc{} || end != word.data() + word.size()) return false;
  const std::int64_t signed_value = negative ? -magnitude : magnitude;
  if (signed_value < std::numeric_limits<std::int32_t>::min() || signed_value > std::numeric_limits<std::int32_t>::max())
    return false;
  value = static_cast<std::int32_t>(signed_value);
  return true;
}

// The next blank-separated word; false at the end of the input.
bool read_word(std::istream& in, std::string& word) {
  word.clear();
  return static_cast<bool>(in >> word);
}

}  // namespace

Triple_Status READ_INTEGERS_F(std::int32_t& i, std::int32_t& j, std::int32_t& k, std::istream& in,
                              std::string* bad_word) {
  for (std::int32_t* target : {&i, &j, &k}) {
    std::string word;
    if (!read_word(in, word)) return Triple_Status::End_Of_Input;
    if (!parse_c_integer(word, *target)) {
      if (bad_word) *bad_word = word;
      return Triple_Status::Not_A_Number;
    }
  }
  return Triple_Status::Ok;
}

bool READ_STRING_F(std::string& text, std::istream& in) {
  text.clear();
  if (!std::getline(in, text)) return !text.empty();
  return true;
}

void WRITE_INTEGER_F(std::int32_t i) { std::printf("%3.3d", i); }

void WRITE_REAL_F(float x) {
  const std::string line = FORMAT_C_E3(x, 15, 6) + "\n";
  std::fputs(line.c_str(), stdout);
}
