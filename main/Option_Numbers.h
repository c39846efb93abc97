// Option_Numbers: the numbers inside option words (the 7 of -m7, the 2 and 3 of -p2x3, the
// values after "--Skip:", "--Min:" ...). Both readers stop the program on a number they
// cannot read, after their two messages; they never return a default.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// Where the number that follows key lies in word: it starts right after the later of the
// first lower-case and the first upper-case occurrence of key (a letter key matches either
// case; without any occurrence, at the word's first character), whatever that character
// is, and goes on over the decimal digits after it.
struct Number_Field {
  std::size_t start = 0;
  std::size_t length = 0;
};
Number_Field NUMBER_FIELD(std::string_view word, char key);

// The integer of key's number field: an optional sign and digits, within 32 bits. Otherwise
// "Read error in 'Read integer input'" and "Input Error: " + word, and the program stops.
std::int32_t READ_INTEGER_INPUT(std::string_view word, char key);

// The real number that text (the part of a word after its first colon) begins with: a sign,
// digits with an optional point, an optional E or D exponent, ending at a blank, comma,
// slash or the end; finite and within single precision. Otherwise "Read error in 'Read
// number input'" and "Input Error: " + text, and the program stops.
float READ_NUMBER_INPUT(std::string_view text);
