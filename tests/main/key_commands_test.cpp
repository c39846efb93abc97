// The keyboard grammar, fed characters directly.

#include <gtest/gtest.h>

#include <string>

#include "main/Key_Commands.h"

namespace {

struct Typed {
  std::string keys;
  std::size_t used = 0;
  char next() { return used < keys.size() ? keys[used++] : (++used, '\0'); }
};

Key_Command decode(Typed& typed) {
  return DECODE_KEY_COMMAND([&] { return typed.next(); });
}

struct Case {
  const char* keys;  // the characters of one command
  std::int32_t move, code;
};

TEST(Key_Commands, CharactersGiveMovesAndCodes) {
  const Case cases[] = {
      {"N", 1, 0},   {"n", 1, 0},   {"+", 1, 0},   {"p", -1, 0},  {"-", -1, 0},  {"9", 2, 0},   {"1", 2, 0},
      {"L", 2, 0},   {"0", -2, 0},  {"7", -2, 0},  {"F", -2, 0},  {"js", 10, 0}, {"JT", 11, 0}, {"jg", 12, 0},
      {"mn", 3, 0},  {"m-", -3, 0}, {"m9", 4, 0},  {"M0", -4, 0}, {"ms", 13, 0}, {"mt", 14, 0}, {"mG", 15, 0},
      {"sm", 0, 1},  {"SF", 0, 5},  {"cl", 0, 7},  {"cP", 0, 17}, {"ar", 0, 18}, {"Ae", 0, 19}, {"as", 0, 20},
      {"vp", 0, 21}, {"vw", 0, 31}, {"v1", 0, 32}, {"vK", 0, 33}, {"vx", 0, 34}, {"dl", 0, 35}, {"dX", 0, 40},
      {"ds", 0, 41}, {"d3", 0, 42}, {"d4", 0, 43}, {"d9", 0, 44}, {"dc", 0, 45}, {"dr", 0, 53}, {"b2", 0, 54},
      {"bV", 0, 54}, {"b3", 0, 55}, {"bu", 0, 55}, {"bs", 0, 56}, {"bb", 0, 58}, {"id", 0, 59}, {"iL", 0, 60},
      {"in", 0, 62}, {"ix", 0, 70}, {"3z", 0, 71}, {"3X", 0, 73}, {"3+", 0, 74}, {"3-", 0, 75}, {"3s", 0, 76},
      {"oi", 0, 77}, {"oD", 0, 91}, {"ed", 0, 92}, {"ep", 0, 101}, {"rt", 0, 102}, {"rr", 0, 114},
      {"wm", 0, 115}, {"wg", 0, 125}, {"g", 0, 126}, {"K", 0, 127}, {"h", 0, 128}, {"X", 0, 129}, {"x", 0, 129},
      {"", 0, 129},  // NUL: the cursor could give no character
  };
  for (const Case& c : cases) {
    Typed typed{c.keys};
    const Key_Command got = decode(typed);
    EXPECT_EQ(got.move, c.move) << "keys '" << c.keys << "'";
    EXPECT_EQ(got.code, c.code) << "keys '" << c.keys << "'";
    EXPECT_EQ(typed.used, std::max<std::size_t>(1, std::string(c.keys).size())) << "keys '" << c.keys << "'";
  }
}

TEST(Key_Commands, CharactersThatMatchNothingAreDropped) {
  for (const char* keys : {"v!", "i0", "jx", "?", "q", "dq", "3q", "m!", "sx"}) {
    Typed typed{keys};
    const Key_Command got = decode(typed);
    EXPECT_EQ(got.move, 0) << keys;
    EXPECT_EQ(got.code, 0) << keys;
    EXPECT_EQ(typed.used, std::string(keys).size()) << keys;
  }
}

TEST(Key_Commands, ColourScaleDigitsAndIsolineCounts) {
  Typed one{"c4"};
  Key_Command got = decode(one);
  EXPECT_EQ(got.code, 6);
  EXPECT_EQ(got.colour_scale_choice, 4);

  Typed twelve{"c012"};
  got = decode(twelve);
  EXPECT_EQ(got.code, 6);
  EXPECT_EQ(got.colour_scale_choice, 12);

  Typed five{"c005"};
  EXPECT_EQ(decode(five).colour_scale_choice, 5);

  Typed isolines{"i5"};
  got = decode(isolines);
  EXPECT_EQ(got.code, 61);
  EXPECT_EQ(got.isoline_count_choice, 5);
  EXPECT_FALSE(got.colour_scale_choice.has_value());
}

TEST(Key_Commands, AnIncompleteColourNumberIsDroppedAndTheNextCharacterStartsAnew) {
  Typed typed{"c01qn"};
  Key_Command got = decode(typed);
  EXPECT_EQ(got.code, 0);
  EXPECT_EQ(got.move, 0);
  EXPECT_EQ(got.colour_scale_choice, 0);
  EXPECT_EQ(typed.used, 4u);
  got = decode(typed);
  EXPECT_EQ(got.move, 1);

  // The first character that is not a digit drops the command; the second is then not read.
  Typed early{"c0qn"};
  got = decode(early);
  EXPECT_EQ(got.code, 0);
  EXPECT_EQ(early.used, 3u);
}

}  // namespace
