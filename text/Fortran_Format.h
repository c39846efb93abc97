// Classic formatted output: layout texts such as "(A,1P,G15.7)" applied to a list of items.
//
// Reads: the layout text and the items. Writes: the output lines as strings (no file, no
// console). Changes no global record.
//
// Edit descriptors: A, Aw, nX, "/", 'text' and "text", Iw, Iw.m, Fw.d, Ew.d, Ew.dEe, ESw.d,
// ESw.dEe, Gw.d, Gw.dEe, kP, SP, SS, S; repeat counts on fields and parenthesised groups.
// Numbers are written with the correctly rounded digits of the exact binary value.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// One output item; a float prints the exact single-precision value.
using Format_Item = std::variant<std::string, std::int64_t, float, double>;

enum class Edit_Kind {
  Text,          // A, Aw
  Integer,       // Iw, Iw.m
  Fixed,         // Fw.d
  Exponent,      // Ew.d, Ew.dEe
  Scientific,    // ESw.d, ESw.dEe
  General,       // Gw.d, Gw.dEe
  Blanks,        // nX
  Line_End,      // /
  Literal,       // 'text' or "text"
  Scale,         // kP
  Sign_Plus,     // SP
  Sign_Default,  // S, SS
  Group          // r(...)
};

// One parsed edit descriptor (or group); widths and counts are checked by the parser.
struct Edit_Descriptor {
  Edit_Kind kind = Edit_Kind::Text;
  int repeat = 1;        // repeat count (fields, "/" and groups); count of blanks for nX
  int width = 0;         // w; 0 for A without a width
  int digits = -1;       // d of F, E, ES, G; m of Iw.m (-1: none)
  int exponent = 0;      // e of Ew.dEe (0: none); k of kP
  std::string text;      // the literal text
  std::vector<Edit_Descriptor> group;
};

// Parsed form of a layout text.
struct Layout {
  std::vector<Edit_Descriptor> items;
  std::size_t reversion = 0;  // index in items where output resumes when items remain
};

// Parses a layout text; throws std::invalid_argument("bad layout ...") when malformed.
Layout PARSE_LAYOUT(std::string_view layout);

// Applies the layout to the items: one string per output line. Throws
// std::invalid_argument when an item's type does not suit its descriptor.
std::vector<std::string> WRITE_FORMATTED(const Layout& layout,
                                         std::span<const Format_Item> items);

// Parses and writes; the lines are joined with '\n', without a final '\n'.
std::string FORMAT_LINE(std::string_view layout, std::initializer_list<Format_Item> items);

// C's "%w.de" with at least three exponent digits: FORMAT_C_E3(0, 15, 6) == "  0.000000e+000".
std::string FORMAT_C_E3(double x, int width, int decimals);
