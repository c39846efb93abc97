// Free-form input: separators and lines, number forms and their rounding, quoted texts,
// read statements starting on a new line, bad values, end of data, source errors and
// repositioning.

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "text/Free_Form.h"

namespace {

// A source over a text, handing out at most chunk bytes per call; fails with EIO once
// fail_at bytes have been handed out (when fail_at >= 0).
struct Text_Source {
  std::string text;
  std::size_t chunk = 1 << 20;
  long fail_at = -1;
  std::size_t position = 0;

  long operator()(char* buffer, std::size_t max) {
    if (fail_at >= 0 && position >= static_cast<std::size_t>(fail_at)) {
      errno = EIO;
      return -1;
    }
    std::size_t n = std::min({max, chunk, text.size() - position});
    if (fail_at >= 0) n = std::min(n, static_cast<std::size_t>(fail_at) - position);
    std::memcpy(buffer, text.data() + position, n);
    position += n;
    return static_cast<long>(n);
  }
};

std::string status_text(Free_Form_Status status) {
  switch (status) {
    case Free_Form_Status::Ok:
      return "OK";
    case Free_Form_Status::End_Of_File:
      return "EOF";
    case Free_Form_Status::Bad_Value:
      return "BAD";
    case Free_Form_Status::Read_Error:
      return "ERR";
  }
  return "?";
}

template <typename Number>
std::string shortest(Number value) {
  char text[64];
  return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

// Runs a script on the reader: i integer, r single, d double, t text, b BEGIN_STATEMENT,
// o OFFSET. Returns what each step gave, separated by blanks: the value, or the status
// when it is not Ok, and [text] for texts.
std::string run(Free_Form_Reader& reader, const std::string& script) {
  std::string out;
  for (char step : script) {
    std::string result;
    Free_Form_Status status = Free_Form_Status::Ok;
    if (step == 'i') {
      std::int32_t value = -999;
      status = reader.READ_INTEGER(value);
      result = std::to_string(value);
    } else if (step == 'r') {
      float value = -999;
      status = reader.READ_REAL(value);
      result = shortest(value);
    } else if (step == 'd') {
      double value = -999;
      status = reader.READ_DOUBLE(value);
      result = shortest(value);
    } else if (step == 't') {
      std::string value = "unset";
      status = reader.READ_TEXT(value);
      result = "[" + value + "]";
    } else if (step == 'b') {
      reader.BEGIN_STATEMENT();
      continue;
    } else if (step == 'o') {
      result = "@" + std::to_string(reader.OFFSET());
    }
    if (!out.empty()) out += ' ';
    out += status == Free_Form_Status::Ok ? result : status_text(status);
  }
  return out;
}

struct Row {
  std::string input;
  std::string script;
  std::string expected;
};

// Runs every row with the whole text at once and with the text handed out a few bytes
// at a time, so that values and quotes fall across reads.
void check(const std::vector<Row>& rows) {
  for (std::size_t chunk : {std::size_t{1} << 20, std::size_t{1}, std::size_t{3}}) {
    for (const Row& row : rows) {
      Text_Source source{row.input, chunk};
      Free_Form_Reader reader(std::ref(source));
      EXPECT_EQ(run(reader, row.script), row.expected)
          << "input \"" << row.input << "\" in chunks of " << chunk;
    }
  }
}

TEST(Free_Form, values_are_separated_by_blanks_commas_tabs_and_line_ends) {
  check({
      {"1 2,3\t4\r\n5\n,6 , 7", "iiiiiiii", "1 2 3 4 5 6 7 EOF"},
      {"  -12   +7  2147483647 -2147483648", "iiii", "-12 7 2147483647 -2147483648"},
      {"1.5 2.5\n3.5\n\n4.5 5.5", "rrrrrr", "1.5 2.5 3.5 4.5 5.5 EOF"},
      {"", "ir", "EOF EOF"},
      {" \r\n \t,\n", "d", "EOF"},
      {"42", "io", "42 @2"},
  });
}

TEST(Free_Form, number_forms) {
  check({
      {"1.5D+03 2.5d-2 1.5+03 -2.5-1 1E2 1e-2 .5 5. +3.0 -0.0 1.e5 7", "dddddddddddd",
       "1500 0.025 1500 -0.25 100 0.01 0.5 5 3 -0 1e+05 7"},
      {"1.5D+03 -2.5-1 0.1", "rrr", "1500 -0.25 0.1"},
      {"  1.234568E-01  -9.8765430E+05", "rr", "0.1234568 -987654.3"},
  });
}

TEST(Free_Form, singles_are_rounded_once_and_correctly) {
  check({
      // just above and just below the midpoint between 1 and the next single
      {"1.00000005960464477539062500001 1.00000005960464477539062499999", "rr",
       "1.0000001 1"},
      {"0.1 3.4028235e38 1e-45 8e-46 6e-46", "rrrrr", "0.1 3.4028235e+38 1e-45 1e-45 0"},
      // beyond the range is refused, below it is zero with its sign
      {"1e50 1e-50 -1e-50 1e-5000", "rrrr", "BAD 0 -0 0"},
      {"1e50 1e400 1e-400", "ddd", "1e+50 BAD 0"},
  });
}

TEST(Free_Form, bad_values) {
  check({
      {"abc 5", "ii", "BAD 5"},
      {"1.0 2147483648 -2147483649 3x 4", "iiiii", "BAD BAD BAD BAD 4"},
      {"++5 +-5 --5 + 5", "iiiii", "BAD BAD BAD BAD 5"},
      {"abc 1.5.3 1e 1.5d 1.5+ 1,5", "dddddd", "BAD BAD BAD BAD BAD 1"},
      {"+-1.5 -+1.5 1.5e+-3 2", "dddd", "BAD BAD BAD 2"},
  });
}

TEST(Free_Form, texts_quoted_or_not) {
  check({
      {"'hello world', \"a,b\" 'it''s' \"say \"\"x\"\"\" word next", "tttttt",
       "[hello world] [a,b] [it's] [say \"x\"] [word] [next]"},
      {"'' \"\"", "tt", "[] []"},
      {"'ab\r\ncd' 5", "ti", "[abcd] 5"},
      {"'abc", "t", "EOF"},
      {"'abc'def x", "tt", "BAD [x]"},
      {"No info!  'ZELTRA 3'\n", "ttt", "[No] [info!] [ZELTRA 3]"},
  });
}

TEST(Free_Form, each_statement_starts_on_a_new_line) {
  check({
      // no skip at the start or right after a line end
      {"1 2\n3 4\n5", "bibibi", "1 3 5"},
      {"1 2\n3 4\n", "iibii", "1 2 3 4"},
      {"1 2 3\n4 5 6\n", "iibi", "1 2 4"},
      {"1\n\n7", "ibi", "1 7"},
      {"1 2\n3 4", "ibbi", "1 3"},
      // a statement may span lines and ends after its last value
      {"1 2\n3 4 5\n6 7\n", "iiibi", "1 2 3 6"},
      // the rest of the last line is skipped: there is no next line
      {"1 2", "ibi", "1 EOF"},
      {"1 2\r\n3\r\n", "ibio", "1 3 @6"},
      {"'a b' junk\nnext", "tbt", "[a b] [next]"},
  });
}

TEST(Free_Form, offsets_and_repositioning) {
  Text_Source source{"10 20\n30 40\n50"};
  auto seekable = [&](char* buffer, std::size_t max) { return source(buffer, max); };
  Free_Form_Reader reader(seekable);
  EXPECT_EQ(run(reader, "oio"), "@0 10 @2");
  EXPECT_EQ(run(reader, "bo"), "@6");
  EXPECT_EQ(run(reader, "iiio"), "30 40 50 @14");
  // back to the second line, as a caller's seek does
  source.position = 6;
  reader.RESET(6);
  EXPECT_EQ(run(reader, "obi"), "@6 30");
  // back to the start, after the end of data
  EXPECT_EQ(run(reader, "iii"), "40 50 EOF");
  source.position = 0;
  reader.RESET(0);
  EXPECT_EQ(run(reader, "iobio"), "10 @2 30 @8");
}

TEST(Free_Form, source_errors) {
  Text_Source source{"1 2 3 4", 2, 4};  // fails after "1 2 "
  Free_Form_Reader reader(std::ref(source));
  EXPECT_EQ(run(reader, "iiii"), "1 2 ERR ERR");
  EXPECT_EQ(run(reader, "t"), "ERR");
  // an error is forgotten when the caller repositions the source
  source.fail_at = -1;
  source.position = 4;
  reader.RESET(4);
  EXPECT_EQ(run(reader, "ii"), "3 4");
  // an error in the middle of a value
  Text_Source broken{"123456", 3, 3};
  Free_Form_Reader second(std::ref(broken));
  EXPECT_EQ(run(second, "i"), "ERR");
}

TEST(Free_Form, values_across_the_buffer_and_overlong_values) {
  // enough numbers to fill the buffer several times; some fall across its end
  std::string text;
  std::vector<float> expected;
  for (int i = 0; text.size() < 3'500'000; ++i) {
    float value = static_cast<float>(i) * 1.25e-3f - 7.0f;
    char field[32];
    int n = std::snprintf(field, sizeof field, "%*.*E", 13 + i % 5, 6 + i % 3, value);
    text.append(field, static_cast<std::size_t>(n));
    text += i % 7 == 6 ? "\r\n" : " ";
    // the value the text stands for, read back correctly rounded by the C library
    expected.push_back(std::strtof(field, nullptr));
  }
  Text_Source source{text, 1 << 16};
  Free_Form_Reader reader(std::ref(source));
  std::size_t mismatches = 0;
  for (float want : expected) {
    float got = 0;
    if (reader.READ_REAL(got) != Free_Form_Status::Ok || got != want) ++mismatches;
  }
  EXPECT_EQ(mismatches, 0u);
  float after = 0;
  EXPECT_EQ(reader.READ_REAL(after), Free_Form_Status::End_Of_File);
  EXPECT_EQ(reader.OFFSET(), text.size());

  // a value longer than the buffer is refused as a whole; reading goes on after it
  Text_Source huge{"1 " + std::string(3u << 20, '7') + " 2 'x'"};
  Free_Form_Reader long_reader(std::ref(huge));
  EXPECT_EQ(run(long_reader, "iiit"), "1 BAD 2 [x]");
}

}  // namespace
