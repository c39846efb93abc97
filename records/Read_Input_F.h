// Read_Input_F: the dialogue with the graphical front end over standard input and standard
// output (not the console): command triples, word lines, the check code and time lines.
#pragma once

#include <cstdint>
#include <iostream>
#include <string>

enum class Triple_Status {
  Ok,            // three integers read
  End_Of_Input,  // the input ended before the third
  Not_A_Number   // a word that is not wholly one integer (it is consumed)
};

// Reads three integers, each a blank-separated word as C's "%i" takes it (sign, then
// decimal, 0-led octal or 0x-led hexadecimal) that must be a number from its first to its
// last character and fit 32 bits. Line ends count as blanks. A read that fails leaves its
// integer and the ones after it unchanged; the word that is not a number goes to bad_word.
Triple_Status READ_INTEGERS_F(std::int32_t& i, std::int32_t& j, std::int32_t& k, std::istream& in = std::cin,
                              std::string* bad_word = nullptr);

// Reads one line whole (its line end dropped) into text. False at the end of the input
// with nothing read (text is then empty).
bool READ_STRING_F(std::string& text, std::istream& in = std::cin);

// Writes i with "%3.3d" to standard output, without a line end.
void WRITE_INTEGER_F(std::int32_t i);

// Writes x to standard output on a line of its own: "%15.6e" with a three-digit exponent.
void WRITE_REAL_F(float x);
