// Free-form (list-directed) input over a byte source: numbers and texts separated by
// blanks, tabs, commas or line ends (LF or CR LF), spread over any number of lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

enum class Free_Form_Status { Ok, End_Of_File, Bad_Value, Read_Error };

class Free_Form_Reader {
 public:
  // Bytes read into buffer (at most max); 0 at the end; < 0 on error (errno set).
  using Source = std::function<long(char* buffer, std::size_t max)>;

  explicit Free_Form_Reader(Source source);
  ~Free_Form_Reader();
  Free_Form_Reader(const Free_Form_Reader&) = delete;
  Free_Form_Reader& operator=(const Free_Form_Reader&) = delete;

  // The caller repositioned the source at this byte offset, the start of a line: buffered
  // bytes are dropped and a source error is forgotten.
  void RESET(std::uint64_t offset);
  // Byte offset of the next unread character.
  std::uint64_t OFFSET() const;
  // A read statement starts at the beginning of the next line: the rest of the current line
  // is skipped, unless nothing of it has been read (start of the data or right after a
  // line end).
  void BEGIN_STATEMENT();

  Free_Form_Status READ_INTEGER(std::int32_t& value);
  // E or D exponents, or a signed exponent without a letter ("1.5+03"); correctly rounded.
  Free_Form_Status READ_REAL(float& value);
  Free_Form_Status READ_DOUBLE(double& value);
  // A text quoted with ' or " (a doubled quote stands for one; it may go on over line
  // ends, which are not part of it), or an unquoted word.
  Free_Form_Status READ_TEXT(std::string& value);
  // The value is left unchanged unless the status is Ok.

 private:
  enum class Fill { Ok, End, Error };

  Fill refill(std::size_t keep_from);
  Free_Form_Status skip_separators();
  Free_Form_Status next_token(const char*& begin, const char*& end);
  template <typename Real>
  Free_Form_Status read_real(Real& value);

  Source source_;
  std::unique_ptr<char[]> buffer_;
  std::size_t pos_ = 0;             // next unread byte in buffer_
  std::size_t end_ = 0;             // bytes held in buffer_
  std::uint64_t base_ = 0;          // offset of buffer_[0] in the source
  bool at_line_start_ = true;       // nothing of the current line read yet
  bool failed_ = false;             // the source reported an error
};

// Reads the first value of a typed line in free form (a dialog's answer); the value is left
// unchanged unless the status is Ok. An empty or blank line gives End_Of_File.
Free_Form_Status READ_INTEGER_FROM_TEXT(std::string_view text, std::int32_t& value);
Free_Form_Status READ_REAL_FROM_TEXT(std::string_view text, float& value);
