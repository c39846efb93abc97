// Formatted output: every edit descriptor family, format control (repeat counts, groups,
// line ends, reuse of the last group), bad layouts, and C's "%e" with three exponent digits.

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <limits>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "text/Fortran_Format.h"

namespace {

struct Row {
  const char* layout;
  std::vector<Format_Item> items;
  const char* expected;
};

// Writes every row's items in its layout and compares the joined lines.
void check(const std::vector<Row>& rows) {
  for (const Row& row : rows) {
    std::vector<std::string> lines = WRITE_FORMATTED(PARSE_LAYOUT(row.layout), row.items);
    std::string joined;
    for (std::size_t i = 0; i < lines.size(); ++i) joined += (i ? "\n" : "") + lines[i];
    EXPECT_EQ(joined, row.expected) << "layout " << row.layout;
  }
}

// The text of the exception that the call throws ("" when none).
template <typename Call>
std::string thrown(Call call) {
  try {
    call();
  } catch (const std::invalid_argument& e) {
    return e.what();
  }
  return "";
}

using Items = std::vector<Format_Item>;
const std::string Empty;

TEST(Fortran_Format, text_fields) {
  check({
      {"(A)", {std::string("abc")}, "abc"},
      {"(A)", {Empty}, ""},
      {"(A5)", {std::string("abc")}, "  abc"},
      {"(A3)", {std::string("abc")}, "abc"},
      {"(A3)", {std::string("abcdef")}, "abc"},
      {"(A3)", {Empty}, "   "},
      {"(2(A3))", {std::string("abcdef"), std::string("x")}, "abc  x"},
      {"(A2,A13,25(A21))",
       {std::string("# "), std::string("Distance"), std::string("phase"),
        std::string("(field value)")},
       "#      Distance                phase        (field value)"},
      {"(A2,2(A15),25(A20))",
       {std::string("# "), std::string("x coordinate  "), std::string("z coordinate  "),
        std::string("conc")},
       "#  x coordinate   z coordinate                  conc"},
      // G takes a text as A with the width
      {"(G6.2)", {std::string("ab")}, "    ab"},
  });
}

TEST(Fortran_Format, literal_texts_and_blanks) {
  check({
      {"('say ''hi''',A)", {std::string("!")}, "say 'hi'!"},
      {"(\"say \"\"hi\"\"\",A)", {std::string("!")}, "say \"hi\"!"},
      {"('a, b',3X,A)", {std::string("c")}, "a, b   c"},
      {"(I3,' and ',I3,' end')", {std::int64_t{1}, std::int64_t{2}}, "  1 and   2 end"},
      // output stops at the field without an item; the text before it is written
      {"(I3,' and ',I3,' end')", {std::int64_t{1}}, "  1 and "},
      // blanks that nothing follows are not written
      {"('a',I3,5X)", {std::int64_t{1}}, "a  1"},
      {"('x',I3)", {}, "x"},
  });
}

TEST(Fortran_Format, integer_fields) {
  const std::int64_t most_negative = std::numeric_limits<std::int64_t>::min();
  check({
      {"(I4)", {std::int64_t{42}}, "  42"},
      {"(I4)", {std::int64_t{-42}}, " -42"},
      {"(I3)", {std::int64_t{999}}, "999"},
      {"(I3)", {std::int64_t{1000}}, "***"},
      {"(I3)", {std::int64_t{-99}}, "-99"},
      {"(I3)", {std::int64_t{-100}}, "***"},
      {"(I3.2)", {std::int64_t{1}}, " 01"},
      {"(I3.2)", {std::int64_t{-1}}, "-01"},
      {"(I3.3)", {std::int64_t{5}}, "005"},
      {"(I3.3)", {std::int64_t{-5}}, "***"},
      {"(I4.0)", {std::int64_t{0}}, "    "},
      {"(I4.0)", {std::int64_t{7}}, "   7"},
      {"(I1)", {std::int64_t{0}}, "0"},
      {"(A,3I3.2)", {std::string(" c: "), std::int64_t{1}, std::int64_t{2}, std::int64_t{3}},
       " c:  01 02 03"},
      {"(SP,I4)", {std::int64_t{5}}, "  +5"},
      {"(SP,I2)", {std::int64_t{5}}, "+5"},
      {"(SP,I1)", {std::int64_t{5}}, "*"},
      {"(I20)", {most_negative}, "-9223372036854775808"},
      {"(I19)", {most_negative}, "*******************"},
      // G takes an integer as Iw
      {"(G5.2)", {std::int64_t{-12}}, "  -12"},
  });
}

TEST(Fortran_Format, fixed_fields) {
  check({
      {"(F6.3)", {1.5707964f}, " 1.571"},
      {"(F6.3)", {0.12349}, " 0.123"},
      {"(F6.3)", {0.12351}, " 0.124"},
      {"(F4.1)", {0.15}, " 0.1"},  // the double nearest 0.15 lies below it
      {"(F5.2)", {2.675}, " 2.67"},
      {"(F5.2)", {1.005}, " 1.00"},
      {"(F5.2)", {1.0051}, " 1.01"},
      {"(F12.9)", {1.1f}, " 1.100000024"},
      {"(F4.2)", {0.5}, "0.50"},
      {"(F3.2)", {0.5}, ".50"},  // the leading zero goes when only it does not fit
      {"(F2.2)", {0.5}, "**"},
      {"(F4.2)", {-0.5}, "-.50"},
      {"(F5.2)", {-0.001}, "-0.00"},
      {"(F5.2)", {-0.0}, "-0.00"},
      {"(F5.0)", {2.6}, "   3."},
      {"(F5.0)", {0.0}, "   0."},
      {"(F6.2)", {123.456}, "123.46"},
      {"(F5.2)", {123.456}, "*****"},
      {"(F6.2)", {-99.994}, "-99.99"},
      {"(F6.2)", {-99.996}, "******"},
      {"(F8.3)", {1e300}, "********"},
      {"(SP,F7.2)", {90.0}, " +90.00"},
      {"(SP,F6.2)", {0.0}, " +0.00"},
      // the scale factor multiplies F values by 10^k
      {"(1P,F8.3)", {1.5}, "  15.000"},
      {"(-1P,F10.3)", {1234.5}, "   123.450"},
      {"(-3P,F12.1)", {123456.0}, "       123.5"},
      {"(-3P,F12.1)", {123449.0}, "       123.4"},
      {"(-5P,F8.1)", {4000.0}, "     0.0"},
      {"(-5P,F8.1)", {6000.0}, "     0.1"},
  });
}

TEST(Fortran_Format, exponent_fields) {
  check({
      {"(E15.5E2)", {1.5}, "    0.15000E+01"},
      {"(E15.5E2)", {0.0}, "    0.00000E+00"},
      {"(E15.5E2)", {-1.5f}, "   -0.15000E+01"},
      {"(E10.4)", {1.23449}, "0.1234E+01"},
      {"(E10.4)", {1.23451}, "0.1235E+01"},
      {"(E10.4)", {0.99996}, "0.1000E+01"},
      {"(E9.4)", {1.5}, ".1500E+01"},  // the leading zero goes when only it does not fit
      {"(E9.4)", {-1.5}, "*********"},
      {"(E12.4)", {1e100}, "  0.1000+101"},
      {"(E12.4)", {1e-100}, "  0.1000E-99"},
      {"(E12.4)", {1e-101}, "  0.1000-100"},
      {"(E12.4E3)", {1e100}, " 0.1000E+101"},
      {"(E12.4E1)", {1.5}, "   0.1500E+1"},
      {"(E12.4E1)", {1e10}, "************"},
      {"(E12.4E3)", {4.9e-324}, " 0.4941E-323"},
      {"(SP,E12.4)", {1.5}, " +0.1500E+01"},
      // scale factors: k digits before the point, or k zeros after it
      {"(1P,E15.7)", {0.001}, "  1.0000000E-03"},
      {"(1P,E15.7)", {0.0}, "  0.0000000E+00"},
      {"(2P,E12.4)", {1.5}, "  15.000E-01"},
      {"(-2P,E12.4)", {1.5}, "  0.0015E+03"},
      {"(-2P,E12.4)", {1.56}, "  0.0016E+03"},
      {"(-4P,E12.4)", {1.5}, "************"},
      {"(6P,E12.4)", {1.5}, "************"},
      {"(1P,E12.4,G12.4,0P,E12.4,F8.3)", {1.5f, 2.5f, 3.5f, 4.5f},
       "  1.5000E+00   2.500      0.3500E+01   4.500"},
  });
}

TEST(Fortran_Format, scientific_fields) {
  check({
      {"(ES10.3)", {0.0123}, " 1.230E-02"},
      {"(ES10.3)", {0.0}, " 0.000E+00"},
      {"(ES10.3)", {9.9996}, " 1.000E+01"},
      {"(ES10.3)", {9.9994}, " 9.999E+00"},
      {"(ES10.3)", {-1.5e-5}, "-1.500E-05"},
      {"(ES10.3)", {-1.5e-300}, "-1.500-300"},
      {"(ES9.3)", {-1.5}, "*********"},
      {"(ES11.3E3)", {2.5e12}, " 2.500E+012"},
      {"(2P,ES10.3)", {1.5}, " 1.500E+00"},  // the scale factor does not apply
      {"(A,ES10.3)", {std::string(" Criteria:"), 0.5f}, " Criteria: 5.000E-01"},
  });
}

TEST(Fortran_Format, general_fields) {
  check({
      // fixed form from 0.1 (rounding included) up to below 10^d, else exponent form
      {"(G15.7)", {0.0999999}, "  0.9999990E-01"},
      {"(G15.7)", {0.099999994}, "  0.9999999E-01"},
      {"(G15.7)", {0.099999996}, "  0.1000000    "},
      {"(G15.7)", {0.1}, "  0.1000000    "},
      {"(G15.7)", {0.5}, "  0.5000000    "},
      {"(G15.7)", {0.99999994}, "  0.9999999    "},
      {"(G15.7)", {0.99999996}, "   1.000000    "},
      {"(G15.7)", {9999999.0}, "   9999999.    "},
      {"(G15.7)", {9999999.4}, "   9999999.    "},
      {"(G15.7)", {9999999.6}, "  0.1000000E+08"},
      {"(G15.7)", {10000000.0}, "  0.1000000E+08"},
      {"(G15.7)", {-12.5}, "  -12.50000    "},
      {"(G15.5)", {99999.4}, "     99999.    "},
      {"(G15.5)", {99999.6}, "    0.10000E+06"},
      // zero in fixed form, its sign as stored
      {"(G15.7)", {0.0}, "   0.000000    "},
      {"(G15.7)", {-0.0}, "  -0.000000    "},
      // 1P: one digit before the point in exponent form
      {"(1P,G15.7)", {1.0}, "   1.000000    "},
      {"(1P,G15.7)", {12.5}, "   12.50000    "},
      {"(1P,G15.7)", {0.001}, "  1.0000000E-03"},
      {"(1P,G15.7)", {0.000035}, "  3.5000000E-05"},
      {"(1P,G15.7)", {0.0}, "   0.000000    "},
      {"(1P,G15.7)", {0.0999999}, "  9.9999900E-02"},
      {"(1P,G15.7)", {1e100}, "  1.0000000+100"},
      {"(1PG10.4)", {12345.68f}, "1.2346E+04"},
      {"(1PG10.4)", {-12345.68f}, "**********"},
      {"(1P,G10.4)", {0.0}, " 0.000    "},
      {"(1P,G10.4)", {9999.4}, " 9999.    "},
      {"(1P,G10.4)", {9999.6}, "9.9996E+03"},  // d + 1 digits in exponent form
      {"(1P,G10.4)", {99996.0}, "9.9996E+04"},
      {"(1P,G13.6)", {-0.001f}, "-1.000000E-03"},
      {"(SP,1P,G15.7)", {0.5}, " +0.5000000    "},
      // Gw.dEe: e + 2 blanks after the fixed form
      {"(G12.4E3)", {1.5}, "  1.500     "},
      {"(G12.4E3)", {1.5e-9}, " 0.1500E-008"},
      {"(1P,G12.3E3)", {1.5e-9}, "  1.500E-009"},
      // the fixed form does not fit
      {"(G8.7)", {1.0}, "********"},
      {"(G3.1)", {1.0}, "***"},
      {"(G4.1)", {1.0}, "****"},
      {"(G5.1)", {1.0}, "*****"},
      {"(G6.1)", {1.0}, "1.    "},
      {"(G7.1)", {0.95}, "0.9    "},  // the double nearest 0.95 lies below it
      {"(G7.1)", {0.9500001}, " 1.    "},
      {"(G10.3)", {1.0}, "  1.00    "},
  });
}

TEST(Fortran_Format, single_values_print_their_exact_digits) {
  check({
      {"(1P,G20.13)", {0.1f}, " 0.1000000014901    "},
      {"(1P,G20.13)", {0.1}, " 0.1000000000000    "},
      {"(1P,G20.13)", {3.4028235e38f}, " 3.4028234663853E+38"},
      {"(1P,G20.13)", {1e-45f}, " 1.4012984643248E-45"},
      {"(1P,G18.10)", {2.0e-5f}, "  1.9999999495E-05"},
      {"(G15.5,1P,25(1X,G20.13))", {0.5f, 0.1f, 1000.0f},
       "    0.50000      0.1000000014901       1000.000000000    "},
      {"(F20.17)", {0.1f}, " 0.10000000149011612"},
  });
}

TEST(Fortran_Format, line_ends_repeats_and_groups) {
  check({
      {"(/,A)", {std::string("x")}, "\nx"},
      {"(A,/)", {std::string("x")}, "x\n"},
      {"(/,/,A,/,/)", {std::string("Error")}, "\n\nError\n\n"},
      {"(2/,I2)", {std::int64_t{7}}, "\n\n 7"},
      {"(A/A)", {std::string("a"), std::string("b")}, "a\nb"},
      {"(A)", {}, ""},
      {"(SP,A,F6.3,A,F5.2,A,/,A,F7.2)",
       {std::string(" Angle (radians): "), 1.5707964f, std::string("  ("), 0.5f,
        std::string(" x 'Pi')"), std::string(" Angle (degrees): "), 90.0f},
       " Angle (radians): +1.571  (+0.50 x 'Pi')\n Angle (degrees):  +90.00"},
      {"(2(A,G13.5),1P,25(2X,G18.10))",
       {std::string("  "), 12.5f, std::string("  "), 0.0f, 1.0f, 2.0e-5f, -3.0f},
       "     12.500         0.0000         1.000000000        1.9999999495E-05    "
       "-3.000000000    "},
      {"(SP,I4,S,I4,SP,I4,SS,I4)",
       {std::int64_t{1}, std::int64_t{2}, std::int64_t{3}, std::int64_t{4}},
       "  +1   2  +3   4"},
  });
}

TEST(Fortran_Format, remaining_items_reuse_the_last_group) {
  check({
      // the whole layout again when it has no group
      {"(2(I2,1X),I4)", {std::int64_t{1}, std::int64_t{2}, std::int64_t{3}, std::int64_t{4},
                         std::int64_t{5}, std::int64_t{6}, std::int64_t{7}},
       " 1  2    3\n 4  5    6\n 7"},
      {"(3(E15.5E2))", {1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f, 7.0f},
       "    0.10000E+01    0.20000E+01    0.30000E+01\n"
       "    0.40000E+01    0.50000E+01    0.60000E+01\n"
       "    0.70000E+01"},
      {"(I3)", {std::int64_t{1}, std::int64_t{2}}, "  1\n  2"},
      // the last group of the outer level, with its repeat count
      {"(I2,2(I3,2(I2)))",
       {std::int64_t{1}, std::int64_t{2}, std::int64_t{3}, std::int64_t{4}, std::int64_t{5},
        std::int64_t{6}, std::int64_t{7}, std::int64_t{8}, std::int64_t{9}, std::int64_t{10},
        std::int64_t{11}, std::int64_t{12}},
       " 1  2 3 4  5 6 7\n  8 910 1112"},
      // sign mode and scale factor stay in force
      {"(SP,F6.2,(I3))", {1.0, std::int64_t{1}, std::int64_t{2}, std::int64_t{3}},
       " +1.00 +1\n +2\n +3"},
      {"(1P,2(F8.3))", {1.5f, 2.5f, 3.5f}, "  15.000  25.000\n  35.000"},
      // the group's leading "/" adds an empty line each time it is used again
      {"(A,(/,A11,1P,G13.6))",
       {std::string(" Res (t = 1.0 s): "), std::string("Minimum: "), 1.5f,
        std::string("Maximum: "), 2.5f, std::string("Average: "), -0.001f},
       " Res (t = 1.0 s): \n  Minimum:   1.50000    \n\n  Maximum:   2.50000    \n\n"
       "  Average: -1.000000E-03"},
  });
}

TEST(Fortran_Format, join_lines_with_line_feeds) {
  EXPECT_EQ(FORMAT_LINE("(A,1P,G15.7)", {" v: ", 0.001}), " v:   1.0000000E-03");
  EXPECT_EQ(FORMAT_LINE("(/,A,/)", {"Note"}), "\nNote\n");
  EXPECT_EQ(FORMAT_LINE("(3I2)", {1, 2, 3, 4}), " 1 2 3\n 4");
}

TEST(Fortran_Format, bad_layouts_are_refused) {
  struct Case {
    const char* layout;
    const char* message;
  };
  const Case cases[] = {
      {"A,I5", "bad layout \"A,I5\": it does not start with \"(\" at column 1"},
      {"(I5", "bad layout \"(I5\": missing \")\" at its end"},
      {"(A)x", "bad layout \"(A)x\": text after the closing \")\" at column 4"},
      {"()", "bad layout \"()\": empty group at column 2"},
      {"(2X,)", "bad layout \"(2X,)\": missing edit descriptor before \")\" at column 5"},
      {"(A,Q5)", "bad layout \"(A,Q5)\": unknown edit descriptor \"Q\" at column 4"},
      {"(I5 I5)", "bad layout \"(I5 I5)\": missing comma at column 5"},
      {"(0I5)", "bad layout \"(0I5)\": repeat count 0 at column 2"},
      {"(I0)", "bad layout \"(I0)\": width must be at least 1 at column 3"},
      {"(I)", "bad layout \"(I)\": missing width at column 3"},
      {"(I3.4)", "bad layout \"(I3.4)\": minimum digit count above the width at column 6"},
      {"(F10)", "bad layout \"(F10)\": missing \".d\" at column 5"},
      {"(E10.3E)", "bad layout \"(E10.3E)\": missing exponent digit count at column 8"},
      {"(G10.0)", "bad layout \"(G10.0)\": G needs at least one digit at column 7"},
      {"(X)", "bad layout \"(X)\": X without a count at column 3"},
      {"(P,F5.1)", "bad layout \"(P,F5.1)\": P without a scale factor at column 3"},
      {"(-2I3)", "bad layout \"(-2I3)\": sign before a descriptor other than P at column 5"},
      {"(A0)", "bad layout \"(A0)\": width 0 at column 4"},
      {"('abc)", "bad layout \"('abc)\": unterminated text at its end"},
      {"(I99999)", "bad layout \"(I99999)\": number too large at column 7"},
      {"(40000X)", "bad layout \"(40000X)\": number too large at column 2"},
      {"(3000000000(I2))", "bad layout \"(3000000000(I2))\": number too large at column 11"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(thrown([&] { PARSE_LAYOUT(c.layout); }), c.message) << c.layout;
  }
  // forms that are well formed
  for (const char* good : {"( 1P G15.7 )", "(a,1pg15.7)", "(1PE12.4)", "(A/)", "(-1P,F5.1)",
                           "(SP,S,SS,A)", "(ES10.3E2)", "(G10.4E3)", "('a''b')",
                           "(2147483647(E15.5E2))"}) {
    EXPECT_EQ(thrown([&] { PARSE_LAYOUT(good); }), "") << good;
  }
}

TEST(Fortran_Format, random_layouts_are_written_or_refused_cleanly) {
  const char* pieces[] = {"A",  "A3", "I4", "I3.2", "F6.2", "F1.0", "E9.3", "E12.4E1", "ES8.2",
                          "G10.3", "G3.1", "1P", "-2P", "3P", "SP", "SS", "2X", "/", "'q''t'",
                          "(",  ")",  ",",  "2(", "3",  "0",  "E",  "."};
  const Items pool = {std::string("abc"), Empty, std::int64_t{-5}, 1.5, -0.0, 1e300, -1e-300,
                      std::numeric_limits<double>::infinity(), 0.1f, -3.4e38f, 99999.5};
  std::mt19937 random(2024);  // fixed seed
  int written = 0;
  for (int i = 0; i < 20000; ++i) {
    std::string layout = "(";
    for (int n = static_cast<int>(random() % 8); n > 0; --n) {
      layout += pieces[random() % std::size(pieces)];
    }
    if (random() % 4 != 0) layout += ")";
    Items items;
    for (int n = static_cast<int>(random() % 6); n > 0; --n) {
      items.push_back(pool[random() % pool.size()]);
    }
    std::string message = thrown([&] {
      Layout parsed = PARSE_LAYOUT(layout);
      std::string error = thrown([&] { WRITE_FORMATTED(parsed, items); });
      EXPECT_TRUE(error.empty() || error.rfind("item ", 0) == 0 || error.rfind("layout ", 0) == 0)
          << layout << ": " << error;
      written += error.empty();
    });
    EXPECT_TRUE(message.empty() || message.rfind("bad layout \"" + layout + "\": ", 0) == 0)
        << message;
  }
  EXPECT_GT(written, 500);
}

TEST(Fortran_Format, items_that_do_not_suit_their_field) {
  EXPECT_EQ(thrown([] { FORMAT_LINE("(I5)", {1.5}); }), "item 1 of the I field is not an integer");
  EXPECT_EQ(thrown([] { FORMAT_LINE("(A,F5.1)", {"a", "b"}); }),
            "item 2 of the F field is not a real number");
  EXPECT_EQ(thrown([] { FORMAT_LINE("(E9.2)", {1}); }),
            "item 1 of the E field is not a real number");
  EXPECT_EQ(thrown([] { FORMAT_LINE("(A)", {2.0}); }), "item 1 of the A field is not a text");
  EXPECT_EQ(thrown([] { FORMAT_LINE("('x')", {1}); }), "layout without a field for item 1");
  EXPECT_EQ(thrown([] { FORMAT_LINE("(I2,(/))", {1, 2}); }),
            "layout without a field for item 2");
}

TEST(Fortran_Format, c_exponent_with_three_digits) {
  struct Case {
    double value;
    int width, decimals;
    const char* expected;
  };
  const Case cases[] = {
      {0.0, 15, 6, "  0.000000e+000"},
      {15.0, 15, 6, "  1.500000e+001"},
      {-0.0025, 15, 6, " -2.500000e-003"},
      {-0.0, 15, 6, " -0.000000e+000"},
      {1.5e300, 15, 6, "  1.500000e+300"},
      {1e-310, 15, 6, "  1.000000e-310"},
      {1.23456749, 15, 6, "  1.234567e+000"},
      {1.23456751, 15, 6, "  1.234568e+000"},
      {static_cast<double>(0.1f), 15, 6, "  1.000000e-001"},
      {1.5, 5, 2, "1.50e+000"},
      {2.6, 8, 0, "  3e+000"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FORMAT_C_E3(c.value, c.width, c.decimals), c.expected) << c.value;
  }
}

}  // namespace
