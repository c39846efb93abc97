// Key_Commands: the keyboard grammar.
//
// Reads: characters from the caller. Writes: nothing. Global records: none.

#include "main/Key_Commands.h"

#include <cctype>
#include <string_view>

namespace {

char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }
bool one_of(char c, std::string_view set) { return c != '\0' && set.find(c) != std::string_view::npos; }
bool digit(char c) { return c >= '0' && c <= '9'; }

// The position of c (either case) in letters gives the code first + position; 0 when absent.
std::int32_t code_in(char c, std::string_view letters, std::int32_t first) {
  if (c == '\0') return 0;
  const std::size_t at = letters.find(lower(c));
  return at == std::string_view::npos ? 0 : first + static_cast<std::int32_t>(at);
}

// The time-step move of a single character (also the dissociated ones after m); 0 for none.
std::int32_t plain_move(char c) {
  if (one_of(c, "nN+")) return 1;
  if (one_of(c, "pP-")) return -1;
  if (one_of(c, "19lL")) return 2;
  if (one_of(c, "70fF")) return -2;
  return 0;
}

Key_Command code(std::int32_t c) { return {0, c, std::nullopt, std::nullopt}; }
Key_Command move(std::int32_t m) { return {m, 0, std::nullopt, std::nullopt}; }

Key_Command colour_group(char second, const std::function<char()>& next) {
  if (second >= '1' && second <= '9') return {0, 6, second - '0', std::nullopt};
  if (second == '0') {
    const char tens = next();
    if (!digit(tens)) return {0, 0, 0, std::nullopt};
    const char units = next();
    if (!digit(units)) return {0, 0, 0, std::nullopt};
    return {0, 6, 10 * (tens - '0') + (units - '0'), std::nullopt};
  }
  return code(code_in(second, "lmfricsutkp", 7));
}

Key_Command view_group(char second) {
  if (second == '1') return code(32);
  if (one_of(second, "kK")) return code(33);
  if (one_of(second, "xX")) return code(34);
  return code(code_in(second, "pfrqszacotw", 21));
}

Key_Command display_group(char second) {
  if (second == '3') return code(42);
  if (second == '4') return code(43);
  if (second == '9') return code(44);
  if (const std::int32_t c = code_in(second, "lmfzyxs", 35)) return code(c);
  return code(code_in(second, "cghtidnar", 45));
}

Key_Command vector_group(char second) {
  if (one_of(second, "vV2")) return code(54);
  if (one_of(second, "uU3")) return code(55);
  return code(code_in(second, "sxb", 56));
}

Key_Command isoline_group(char second) {
  if (second >= '1' && second <= '9') return {0, 61, std::nullopt, second - '0'};
  if (one_of(second, "dD")) return code(59);
  if (one_of(second, "lL")) return code(60);
  return code(code_in(second, "narscvbwx", 62));
}

Key_Command three_d_group(char second) {
  if (one_of(second, "uU+")) return code(74);
  if (one_of(second, "dD-")) return code(75);
  if (one_of(second, "sS")) return code(76);
  return code(code_in(second, "zyx", 71));
}

Key_Command dissociated_group(char second) {
  if (const std::int32_t m = plain_move(second)) return move(m > 0 ? m + 2 : m - 2);
  if (one_of(second, "sS")) return move(13);
  if (one_of(second, "tT")) return move(14);
  if (one_of(second, "gG")) return move(15);
  return {};
}

}  // namespace

Key_Command DECODE_KEY_COMMAND(const std::function<char()>& next_character) {
  const char first = next_character();
  if (const std::int32_t m = plain_move(first)) return move(m);
  const char group = lower(first);
  if (one_of(group, "jmscavdbi3oerw")) {
    const char second = next_character();
    switch (group) {
      case 'j':
        return move(code_in(second, "stg", 10));
      case 'm':
        return dissociated_group(second);
      case 's':
        return code(code_in(second, "mrdgf", 1));
      case 'c':
        return colour_group(second, next_character);
      case 'a':
        return code(code_in(second, "res", 18));
      case 'v':
        return view_group(second);
      case 'd':
        return display_group(second);
      case 'b':
        return vector_group(second);
      case 'i':
        return isoline_group(second);
      case '3':
        return three_d_group(second);
      case 'o':
        return code(code_in(second, "ijlhabrscntogpd", 77));
      case 'e':
        return code(code_in(second, "decxyrsnfp", 92));
      case 'r':
        return code(code_in(second, "tuijcdsmfgpqr", 102));
      default:  // 'w'
        return code(code_in(second, "mahvcedfpig", 115));
    }
  }
  if (group == 'g') return code(126);
  if (group == 'k') return code(127);
  if (group == 'h') return code(128);
  if (group == 'x' || first == '\0') return code(129);
  return {};
}
