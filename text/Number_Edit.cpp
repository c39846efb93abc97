// Field editing of one item: A, I, F, E, ES and G fields, and C's "%e" with a three-digit
// exponent (FORMAT_C_E3).
//
// Reads: the item and its parsed descriptor. Writes: the field's characters, appended to a
// line. Changes no global record.
// Every digit comes from std::to_chars with a precision, which rounds the exact binary
// value correctly; no value passes through a lossy step (a float item arrives as the
// double of the same value).

#include "text/Number_Edit.h"

#include <algorithm>  // std::find, std::min
#include <charconv>   // std::to_chars
#include <cmath>      // std::signbit, std::isnan, std::isinf

namespace {

constexpr int Exact_Digits = 780;     // a double's exact decimal value has at most 767 digits
constexpr int Exact_Decimals = 1100;  // and at most 1074 decimals

// Appends text right-aligned in width, or width asterisks when it does not fit.
void put_field(std::string& out, std::string_view text, int width) {
  if (static_cast<int>(text.size()) > width) {
    out.append(static_cast<std::size_t>(width), '*');
    return;
  }
  out.append(static_cast<std::size_t>(width) - text.size(), ' ');
  out.append(text);
}

// A magnitude as 0.digits x 10^exponent; zero has all digits 0 and exponent 0.
struct Decimal {
  std::string digits;
  int exponent = 0;
};

// Rounds the magnitude m to n >= 1 significant digits.
void significant(double m, int n, Decimal& r) {
  if (m == 0) {
    r.digits.assign(static_cast<std::size_t>(n), '0');
    r.exponent = 0;
    return;
  }
  char buffer[Exact_Digits + 16];
  int precision = std::min(n, Exact_Digits) - 1;
  char* end = std::to_chars(buffer, buffer + sizeof buffer, m, std::chars_format::scientific,
                            precision).ptr;
  char* e = std::find(buffer, end, 'e');  // "d.ddde+XX", or "de+XX" without decimals
  r.digits.assign(1, buffer[0]);
  if (precision > 0) r.digits.append(buffer + 2, e);
  if (n > Exact_Digits) r.digits.append(static_cast<std::size_t>(n - Exact_Digits), '0');
  int x = 0;
  for (const char* p = e + 2; p < end; ++p) x = x * 10 + (*p - '0');
  r.exponent = (e[1] == '-' ? -x : x) + 1;
}

// Digits of the magnitude m rounded to D decimals (D may be negative): m ~ s x 10^-D,
// s without leading zeros ("0" when it rounds to zero).
void at_decimals(double m, int D, std::string& s) {
  if (D >= 0) {
    char buffer[320 + Exact_Decimals];
    int precision = std::min(D, Exact_Decimals);
    char* end = std::to_chars(buffer, buffer + sizeof buffer, m, std::chars_format::fixed,
                              precision).ptr;
    s.clear();
    for (const char* p = buffer; p < end; ++p) {
      if (*p == '.' || (*p == '0' && s.empty())) continue;
      s += *p;
    }
    if (s.empty()) {
      s = "0";
    } else if (D > precision) {
      s.append(static_cast<std::size_t>(D - precision), '0');
    }
    return;
  }
  // Rounding to tens or coarser (negative scale factors only): from the exact digits.
  Decimal exact;
  significant(m, Exact_Digits, exact);
  int keep = exact.exponent + D;  // digits above the rounding place
  if (m == 0 || keep < 0) {
    s = "0";
  } else if (keep == 0) {  // m = 0.ddd x 10^-D: one unit when above one half
    bool above_half = exact.digits[0] > '5' ||
                      (exact.digits[0] == '5' &&
                       exact.digits.find_first_not_of('0', 1) != std::string::npos);
    s = above_half ? "1" : "0";
  } else {
    Decimal r;
    significant(m, keep, r);
    s = r.digits;
    s.append(static_cast<std::size_t>(r.exponent + D - keep), '0');
  }
}

// Appends sign and body in width; the "0" of a leading "0." goes when only it is too many.
void put_number(std::string& out, bool negative, bool plus, std::string_view body,
                int width) {
  std::string text;
  if (negative) {
    text = "-";
  } else if (plus) {
    text = "+";
  }
  bool optional_zero = body.size() > 2 && body[0] == '0' && body[1] == '.';
  if (optional_zero && static_cast<int>(text.size() + body.size()) == width + 1) {
    body.remove_prefix(1);
  }
  text.append(body);
  put_field(out, text, width);
}

// Body of Fw.d under scale factor k: the magnitude times 10^k with d decimals.
std::string fixed_body(double m, int d, int k) {
  std::string s;
  at_decimals(m, d + k, s);  // m x 10^k rounded to d decimals is s x 10^-d
  if (static_cast<int>(s.size()) <= d) s.insert(0, static_cast<std::size_t>(d + 1) - s.size(), '0');
  s.insert(s.size() - static_cast<std::size_t>(d), 1, '.');
  return s;
}

// Body of Ew.d[Ee] under scale factor k, or of ESw.d[Ee]; "" when it cannot be written.
std::string exponent_body(double m, const Edit_Descriptor& field, int k) {
  bool scientific = field.kind == Edit_Kind::Scientific;
  int d = field.digits;
  int count = 0;  // significant digits
  if (scientific) {
    k = 1;
    count = d + 1;
  } else if (k <= 0) {
    if (d + k <= 0) return {};
    count = d + k;
  } else {
    if (k >= d + 2) return {};
    count = d + 1;
  }
  Decimal r;
  significant(m, count, r);
  std::string body;
  if (k <= 0) {
    body = "0.";
    body.append(static_cast<std::size_t>(-k), '0');
    body += r.digits;
  } else {
    body.assign(r.digits, 0, static_cast<std::size_t>(k));
    body += '.';
    body.append(r.digits, static_cast<std::size_t>(k));
  }
  int x = m == 0 ? 0 : r.exponent - k;
  int ax = x < 0 ? -x : x;
  char digits[16];
  char* end = std::to_chars(digits, digits + sizeof digits, ax).ptr;
  int length = static_cast<int>(end - digits);
  int e = field.exponent;
  if (e == 0) {  // E+dd, or +ddd without the letter
    if (ax > 999) return {};
    if (ax <= 99) body += 'E';
    e = ax <= 99 ? 2 : 3;
  } else {
    if (length > e) return {};
    body += 'E';
  }
  body += x < 0 ? '-' : '+';
  body.append(static_cast<std::size_t>(e - length), '0');
  body.append(digits, end);
  return body;
}

// Appends the text of an infinity or NaN.
void put_special(std::string& out, double value, int width, bool plus) {
  if (std::isnan(value)) {
    put_field(out, "NaN", width);
    return;
  }
  bool negative = value < 0;
  int sign = negative || plus ? 1 : 0;
  put_number(out, negative, plus, width - sign >= 8 ? "Infinity" : "Inf", width);
}

}  // namespace

void EDIT_TEXT(std::string& out, std::string_view text, int width) {
  if (width == 0) {
    out.append(text);
  } else if (static_cast<int>(text.size()) >= width) {
    out.append(text.substr(0, static_cast<std::size_t>(width)));
  } else {
    put_field(out, text, width);
  }
}

void EDIT_INTEGER(std::string& out, std::int64_t value, int width, int minimum, bool plus) {
  if (minimum == 0 && value == 0) {
    out.append(static_cast<std::size_t>(width), ' ');
    return;
  }
  std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value)
                                      : static_cast<std::uint64_t>(value);
  char digits[24];
  char* end = std::to_chars(digits, digits + sizeof digits, magnitude).ptr;
  std::string body;
  int length = static_cast<int>(end - digits);
  if (minimum > length) body.assign(static_cast<std::size_t>(minimum - length), '0');
  body.append(digits, end);
  put_number(out, value < 0, plus, body, width);
}

void EDIT_REAL(std::string& out, double value, const Edit_Descriptor& field,
               const Edit_Modes& modes) {
  if (std::isnan(value) || std::isinf(value)) {
    put_special(out, value, field.width, modes.plus);
    return;
  }
  bool negative = std::signbit(value);
  double m = negative ? -value : value;
  switch (field.kind) {
    case Edit_Kind::Fixed:
      put_number(out, negative, modes.plus, fixed_body(m, field.digits, modes.scale),
                 field.width);
      break;
    case Edit_Kind::Exponent:
    case Edit_Kind::Scientific: {
      std::string body = exponent_body(m, field, modes.scale);
      if (body.empty()) {
        out.append(static_cast<std::size_t>(field.width), '*');
      } else {
        put_number(out, negative, modes.plus, body, field.width);
      }
      break;
    }
    case Edit_Kind::General: {
      // Fixed form when the value rounded to d digits lies in [0.1, 10^d), or is zero;
      // then the scale factor plays no part and n blanks follow.
      int d = field.digits;
      Decimal r;
      significant(m, d, r);
      if (m != 0 && (r.exponent < 0 || r.exponent > d)) {
        Edit_Descriptor as_exponent = field;
        as_exponent.kind = Edit_Kind::Exponent;
        EDIT_REAL(out, value, as_exponent, modes);
        break;
      }
      int e = m == 0 ? 1 : r.exponent;  // digits before the point
      std::string body;
      if (e == 0) {
        body = "0." + r.digits;
      } else {
        body.assign(r.digits, 0, static_cast<std::size_t>(e));
        body += '.';
        body.append(r.digits, static_cast<std::size_t>(e));
      }
      int blanks = field.exponent > 0 ? field.exponent + 2 : 4;
      std::string fixed;
      if (field.width > blanks) put_number(fixed, negative, modes.plus, body, field.width - blanks);
      if (fixed.empty() || fixed.find('*') != std::string::npos) {
        out.append(static_cast<std::size_t>(field.width), '*');
      } else {
        out += fixed;
        out.append(static_cast<std::size_t>(blanks), ' ');
      }
      break;
    }
    default:
      break;
  }
}

std::string FORMAT_C_E3(double x, int width, int decimals) {
  if (decimals < 0) decimals = 6;  // C's default precision
  std::string text(static_cast<std::size_t>(std::min(decimals, Exact_Digits)) + 32, '\0');
  char* begin = text.data();
  char* end = std::to_chars(begin, begin + text.size(), x, std::chars_format::scientific,
                            std::min(decimals, Exact_Digits))
                  .ptr;
  text.resize(static_cast<std::size_t>(end - begin));
  std::size_t e = text.find('e');
  if (e != std::string::npos) {
    if (decimals > Exact_Digits) {
      text.insert(e, static_cast<std::size_t>(decimals - Exact_Digits), '0');
      e = text.find('e');
    }
    std::size_t exponent_digits = text.size() - (e + 2);
    if (exponent_digits < 3) text.insert(e + 2, 3 - exponent_digits, '0');
  }
  if (static_cast<int>(text.size()) < width) {
    text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
  }
  return text;
}
