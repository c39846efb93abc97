// Free_Form_Reader: free-form (list-directed) input of numbers and texts from a byte
// source, through one 1 MiB buffer.
//
// Reads: the bytes the source hands out. Writes: the values asked for. Changes no global
// record.
// A value is the run of characters up to the next blank, tab, comma, CR or LF; a value that
// reaches the end of the buffer is moved to its front before more is read, so that every
// number is converted in place by std::from_chars, without allocation. Numbers may carry
// Fortran's exponent forms (D instead of E, or only the exponent's sign: "1.5+03"); these
// are rewritten into a small local copy first.

#include "text/Free_Form.h"

#include <algorithm>     // std::min
#include <array>
#include <charconv>      // std::from_chars
#include <cstring>       // std::memchr, std::memmove, std::memcpy
#include <system_error>  // std::errc

namespace {

constexpr std::size_t Buffer_Size = std::size_t{1} << 20;
constexpr std::size_t Longest_Number = 80;  // longer numbers are refused

// Which bytes end a value.
constexpr std::array<bool, 256> Separators = [] {
  std::array<bool, 256> table{};
  for (unsigned char c : {' ', ',', '\t', '\r', '\n'}) table[c] = true;
  return table;
}();

bool separator(char c) { return Separators[static_cast<unsigned char>(c)]; }

// Whether the text's exponent is negative ("1e-5000").
bool negative_exponent(const char* begin, const char* end) {
  for (const char* p = end; p > begin; --p) {
    if (p[-1] == 'e' || p[-1] == 'E') return p < end && *p == '-';
  }
  return false;
}

// Converts [begin, end) completely, or reports false; value is set only on success. A
// result beyond the type's range is refused, one below it becomes a signed zero.
template <typename Real>
bool convert(const char* begin, const char* end, Real& value) {
  Real result{};
  auto [ptr, ec] = std::from_chars(begin, end, result);
  if (ptr != end) return false;
  if (ec == std::errc::result_out_of_range) {
    long double wide = 0;
    auto [wide_ptr, wide_ec] = std::from_chars(begin, end, wide);
    if (wide_ptr != end) return false;
    bool tiny = wide_ec == std::errc{} ? (wide < 1 && wide > -1) : negative_exponent(begin, end);
    if (!tiny) return false;
    result = 0;
  } else if (ec != std::errc{}) {
    return false;
  }
  value = result;
  return true;
}

// Reads a real number written in any of Fortran's forms; false when it is not one.
template <typename Real>
bool parse_real(const char* begin, const char* end, Real& value) {
  bool negative = false;
  if (begin < end && (*begin == '+' || *begin == '-')) {
    negative = *begin == '-';
    ++begin;
  }
  if (begin == end || *begin == '+' || *begin == '-') return false;
  Real result{};
  if (!convert(begin, end, result)) {
    // D exponents and exponents without a letter, rewritten to E.
    if (static_cast<std::size_t>(end - begin) > Longest_Number) return false;
    char copy[Longest_Number + 2];
    std::size_t n = 0;
    bool letter = false;
    for (const char* p = begin; p < end; ++p) {
      char c = *p;
      if (c == 'd' || c == 'D' || c == 'e' || c == 'E') {
        letter = true;
        c = 'e';
      } else if ((c == '+' || c == '-') && !letter && n > 0) {
        copy[n++] = 'e';
        letter = true;
      }
      copy[n++] = c;
    }
    if (!convert(copy, copy + n, result)) return false;
  }
  value = negative ? -result : result;
  return true;
}

}  // namespace

Free_Form_Reader::Free_Form_Reader(Source source)
    : source_(std::move(source)), buffer_(new char[Buffer_Size]) {}

Free_Form_Reader::~Free_Form_Reader() = default;

void Free_Form_Reader::RESET(std::uint64_t offset) {
  base_ = offset;
  pos_ = 0;
  end_ = 0;
  at_line_start_ = true;
  failed_ = false;
}

std::uint64_t Free_Form_Reader::OFFSET() const { return base_ + pos_; }

// Drops the bytes before keep_from, moves the rest to the front and reads more after them.
Free_Form_Reader::Fill Free_Form_Reader::refill(std::size_t keep_from) {
  if (failed_) return Fill::Error;
  std::size_t kept = end_ - keep_from;
  if (kept > 0 && keep_from > 0) std::memmove(buffer_.get(), buffer_.get() + keep_from, kept);
  base_ += keep_from;
  pos_ -= keep_from;
  end_ = kept;
  if (end_ == Buffer_Size) return Fill::Ok;  // full already: a value longer than the buffer
  long n = source_(buffer_.get() + end_, Buffer_Size - end_);
  if (n < 0) {
    failed_ = true;
    return Fill::Error;
  }
  if (n == 0) return Fill::End;
  end_ += static_cast<std::size_t>(n);
  return Fill::Ok;
}

void Free_Form_Reader::BEGIN_STATEMENT() {
  while (!at_line_start_) {
    if (pos_ == end_ && refill(end_) != Fill::Ok) return;  // the next read reports it
    const char* begin = buffer_.get() + pos_;
    const void* line_end = std::memchr(begin, '\n', end_ - pos_);
    if (line_end == nullptr) {
      pos_ = end_;
    } else {
      pos_ += static_cast<std::size_t>(static_cast<const char*>(line_end) - begin) + 1;
      at_line_start_ = true;
    }
  }
}

// Passes over blanks, tabs, commas and line ends up to the next value.
Free_Form_Status Free_Form_Reader::skip_separators() {
  if (failed_) return Free_Form_Status::Read_Error;
  for (;;) {
    if (pos_ == end_) {
      Fill fill = refill(end_);
      if (fill == Fill::End) return Free_Form_Status::End_Of_File;
      if (fill == Fill::Error) return Free_Form_Status::Read_Error;
    }
    char c = buffer_[pos_];
    if (!separator(c)) return Free_Form_Status::Ok;
    if (c == '\n') at_line_start_ = true;
    ++pos_;
  }
}

// Finds the next value: [begin, end) inside the buffer, valid until the next call.
Free_Form_Status Free_Form_Reader::next_token(const char*& begin, const char*& end) {
  Free_Form_Status status = skip_separators();
  if (status != Free_Form_Status::Ok) return status;
  char* data = buffer_.get();
  at_line_start_ = false;
  std::size_t start = pos_;
  for (;;) {
    while (pos_ < end_ && !separator(data[pos_])) ++pos_;
    if (pos_ < end_) break;
    if (start == 0 && end_ == Buffer_Size) {  // longer than the buffer: no value of ours
      while (refill(end_) == Fill::Ok) {
        while (pos_ < end_ && !separator(data[pos_])) ++pos_;
        if (pos_ < end_) break;
      }
      return failed_ ? Free_Form_Status::Read_Error : Free_Form_Status::Bad_Value;
    }
    Fill fill = refill(start);
    start = 0;
    if (fill == Fill::Error) return Free_Form_Status::Read_Error;
    if (fill == Fill::End) break;  // the value ends with the data
  }
  begin = data + start;
  end = data + pos_;
  return Free_Form_Status::Ok;
}

Free_Form_Status Free_Form_Reader::READ_INTEGER(std::int32_t& value) {
  const char* begin = nullptr;
  const char* end = nullptr;
  Free_Form_Status status = next_token(begin, end);
  if (status != Free_Form_Status::Ok) return status;
  if (*begin == '+') {
    ++begin;
    if (begin == end || *begin == '+' || *begin == '-') return Free_Form_Status::Bad_Value;
  }
  std::int32_t result = 0;
  auto [ptr, ec] = std::from_chars(begin, end, result);
  if (ec != std::errc{} || ptr != end) return Free_Form_Status::Bad_Value;
  value = result;
  return Free_Form_Status::Ok;
}

template <typename Real>
Free_Form_Status Free_Form_Reader::read_real(Real& value) {
  const char* begin = nullptr;
  const char* end = nullptr;
  Free_Form_Status status = next_token(begin, end);
  if (status != Free_Form_Status::Ok) return status;
  return parse_real(begin, end, value) ? Free_Form_Status::Ok : Free_Form_Status::Bad_Value;
}

Free_Form_Status Free_Form_Reader::READ_REAL(float& value) { return read_real(value); }

Free_Form_Status Free_Form_Reader::READ_DOUBLE(double& value) { return read_real(value); }

Free_Form_Status Free_Form_Reader::READ_TEXT(std::string& value) {
  Free_Form_Status status = skip_separators();
  if (status != Free_Form_Status::Ok) return status;
  char quote = buffer_[pos_];
  if (quote != '\'' && quote != '"') {
    const char* begin = nullptr;
    const char* end = nullptr;
    status = next_token(begin, end);
    if (status == Free_Form_Status::Ok) value.assign(begin, end);
    return status;
  }
  at_line_start_ = false;
  ++pos_;
  std::string text;
  for (;;) {
    if (pos_ == end_) {
      Fill fill = refill(end_);
      if (fill == Fill::End) return Free_Form_Status::End_Of_File;  // no closing quote
      if (fill == Fill::Error) return Free_Form_Status::Read_Error;
    }
    char c = buffer_[pos_++];
    if (c == '\r' || c == '\n') continue;  // a line end inside a text is not part of it
    if (c != quote) {
      text += c;
      continue;
    }
    if (pos_ == end_) {
      Fill fill = refill(end_);
      if (fill == Fill::Error) return Free_Form_Status::Read_Error;
      if (fill == Fill::End) break;
    }
    if (buffer_[pos_] != quote) break;  // closing quote
    text += quote;                      // a doubled quote
    ++pos_;
  }
  if (pos_ < end_ && !separator(buffer_[pos_])) {  // 'text'more: refused as a whole
    const char* begin = nullptr;
    const char* end = nullptr;
    status = next_token(begin, end);
    return status == Free_Form_Status::Read_Error ? status : Free_Form_Status::Bad_Value;
  }
  value = std::move(text);
  return Free_Form_Status::Ok;
}

// ---------------------------------------------------------------- typed lines
namespace {

// A reader over one text, handed out whole on the first request.
Free_Form_Reader text_reader(std::string_view text) {
  return Free_Form_Reader([text, done = false](char* buffer, std::size_t max) mutable -> long {
    if (done) return 0;
    done = true;
    const std::size_t n = std::min(max, text.size());
    std::memcpy(buffer, text.data(), n);
    return static_cast<long>(n);
  });
}

}  // namespace

Free_Form_Status READ_INTEGER_FROM_TEXT(std::string_view text, std::int32_t& value) {
  return text_reader(text).READ_INTEGER(value);
}

Free_Form_Status READ_REAL_FROM_TEXT(std::string_view text, float& value) {
  return text_reader(text).READ_REAL(value);
}
