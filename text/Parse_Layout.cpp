// PARSE_LAYOUT: turns a layout text such as "(A,1P,25(1X,G20.13))" into checked edit
// descriptors, once, so that writing never looks at the text again.
//
// Reads: the layout text. Writes: a Layout. Changes no global record.
// Blanks outside quoted texts carry no meaning; letters may be lower case. A comma may be
// left out after kP and before or after "/", as in classic layouts ("1PG15.7", "(A/)").

#include "text/Fortran_Format.h"

#include <cctype>  // std::isdigit, std::toupper
#include <stdexcept>

namespace {

constexpr long Largest_Field = 32767;         // widths, digits, blanks, line ends, scale
constexpr long Largest_Repeat = 2147483647;   // repeat counts of fields and groups

class Layout_Parser {
 public:
  explicit Layout_Parser(std::string_view layout) : original_(layout) {
    // Keep the characters that count, with their columns for messages.
    char quote = 0;
    for (std::size_t i = 0; i < layout.size(); ++i) {
      char c = layout[i];
      if (quote == 0 && (c == ' ' || c == '\t')) continue;
      if (quote == 0 && (c == '\'' || c == '"')) {
        quote = c;
      } else if (quote != 0 && c == quote) {
        quote = 0;  // a doubled quote closes and reopens, which reads the same
      }
      text_ += c;
      columns_.push_back(i + 1);
    }
  }

  Layout parse() {
    if (peek() != '(') fail("it does not start with \"(\"");
    ++pos_;
    Layout layout;
    layout.items = parse_list();
    if (pos_ != text_.size()) fail("text after the closing \")\"");
    for (std::size_t i = 0; i < layout.items.size(); ++i) {
      if (layout.items[i].kind == Edit_Kind::Group) layout.reversion = i;
    }
    return layout;
  }

 private:
  [[noreturn]] void fail(const std::string& reason) const {
    std::string where = pos_ < columns_.size()
                            ? " at column " + std::to_string(columns_[pos_])
                            : std::string(" at its end");
    throw std::invalid_argument("bad layout \"" + std::string(original_) + "\": " + reason +
                                where);
  }

  char peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }
  char peek_upper() const {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(peek())));
  }
  bool digit() const { return std::isdigit(static_cast<unsigned char>(peek())) != 0; }

  // Reads an unsigned number up to limit; -1 when none stands here.
  int number(long limit = Largest_Field) {
    if (!digit()) return -1;
    long n = 0;
    while (digit()) {
      n = n * 10 + (peek() - '0');
      if (n > limit) fail("number too large");
      ++pos_;
    }
    return static_cast<int>(n);
  }

  // Reads a number that must be there and be at least the given minimum.
  int required(const char* what, int minimum) {
    std::size_t start = pos_;
    int n = number();
    if (n < 0) fail(std::string("missing ") + what);
    if (n < minimum) {
      pos_ = start;
      fail(std::string(what) + " must be at least " + std::to_string(minimum));
    }
    return n;
  }

  std::vector<Edit_Descriptor> parse_list() {
    std::vector<Edit_Descriptor> list;
    for (;;) {
      if (peek() == ')') {
        if (list.empty()) fail("empty group");
        fail("missing edit descriptor before \")\"");
      }
      list.push_back(parse_item());
      Edit_Kind last = list.back().kind;
      if (peek() == ')') {
        ++pos_;
        return list;
      }
      if (peek() == ',') {
        ++pos_;
        continue;
      }
      if (pos_ >= text_.size()) fail("missing \")\"");
      bool comma_optional = last == Edit_Kind::Line_End || last == Edit_Kind::Scale ||
                            peek() == '/';
      if (!comma_optional) fail("missing comma");
    }
  }

  Edit_Descriptor parse_item() {
    Edit_Descriptor d;
    if (peek() == '\'' || peek() == '"') {
      d.kind = Edit_Kind::Literal;
      d.text = literal();
      return d;
    }
    std::size_t start = pos_;
    bool negative = false;
    bool signed_number = peek() == '+' || peek() == '-';
    if (signed_number) {
      negative = peek() == '-';
      ++pos_;
    }
    int count = number(Largest_Repeat);
    if (signed_number && count < 0) fail("sign without a number");
    char letter = peek_upper();
    if (letter == '\0') fail("missing edit descriptor");
    ++pos_;
    if (signed_number && letter != 'P') fail("sign before a descriptor other than P");
    bool small_count = letter == 'P' || letter == 'X' || letter == '/';
    if (small_count && count > Largest_Field) {
      pos_ = start;
      fail("number too large");
    }
    if (count == 0 && letter != 'P') {
      pos_ = start;
      fail("repeat count 0");
    }
    d.repeat = count < 0 ? 1 : count;
    switch (letter) {
      case '(':
        d.kind = Edit_Kind::Group;
        d.group = parse_list();
        break;
      case 'P':  // scale factor
        if (count < 0) fail("P without a scale factor");
        d.kind = Edit_Kind::Scale;
        d.repeat = 1;
        d.exponent = negative ? -count : count;
        break;
      case 'X':  // blanks
        if (count < 0) fail("X without a count");
        d.kind = Edit_Kind::Blanks;
        break;
      case '/':
        d.kind = Edit_Kind::Line_End;
        break;
      case 'A': {
        d.kind = Edit_Kind::Text;
        int w = number();
        if (w == 0) fail("width 0");
        d.width = w < 0 ? 0 : w;
        break;
      }
      case 'I':
        d.kind = Edit_Kind::Integer;
        d.width = required("width", 1);
        if (peek() == '.') {
          ++pos_;
          d.digits = required("minimum digit count", 0);
          if (d.digits > d.width) fail("minimum digit count above the width");
        }
        break;
      case 'F':
        d.kind = Edit_Kind::Fixed;
        real_field(d, false);
        break;
      case 'E':
        if (peek_upper() == 'S') {
          ++pos_;
          d.kind = Edit_Kind::Scientific;
        } else {
          d.kind = Edit_Kind::Exponent;
        }
        real_field(d, true);
        break;
      case 'G':
        d.kind = Edit_Kind::General;
        real_field(d, true);
        if (d.digits == 0) fail("G needs at least one digit");
        break;
      case 'S':  // SP, SS or S
        if (count >= 0) fail("repeat count before a sign descriptor");
        if (peek_upper() == 'P') {
          ++pos_;
          d.kind = Edit_Kind::Sign_Plus;
        } else {
          if (peek_upper() == 'S') ++pos_;
          d.kind = Edit_Kind::Sign_Default;
        }
        break;
      default:
        --pos_;
        fail(std::string("unknown edit descriptor \"") + peek() + "\"");
    }
    return d;
  }

  // Reads w.d and, where allowed, Ee.
  void real_field(Edit_Descriptor& d, bool exponent_allowed) {
    d.width = required("width", 1);
    if (peek() != '.') fail("missing \".d\"");
    ++pos_;
    d.digits = required("digit count", 0);
    if (exponent_allowed && peek_upper() == 'E') {
      ++pos_;
      d.exponent = required("exponent digit count", 1);
    }
  }

  // Reads a quoted text; a doubled quote stands for one.
  std::string literal() {
    char quote = peek();
    ++pos_;
    std::string value;
    for (;;) {
      if (pos_ >= text_.size()) fail("unterminated text");
      char c = text_[pos_++];
      if (c == quote) {
        if (peek() != quote) return value;
        ++pos_;
      }
      value += c;
    }
  }

  std::string_view original_;
  std::string text_;
  std::vector<std::size_t> columns_;
  std::size_t pos_ = 0;
};

}  // namespace

Layout PARSE_LAYOUT(std::string_view layout) { return Layout_Parser(layout).parse(); }
