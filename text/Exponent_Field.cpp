// Exponent_Field: "0." + d digits + "E" + sign + e digits, right-aligned.
//
// Reads: the value. Writes: the field's characters, appended to a line. Changes no global
// record. The digits come from std::to_chars with a precision, as in the layout engine, so
// they are the correctly rounded digits of the exact binary value; zeros, infinities and
// not-a-number values, rare in tables, take the layout engine itself.

#include "text/Exponent_Field.h"

#include <charconv>  // std::to_chars
#include <cmath>     // std::isfinite
#include <cstdlib>   // std::abs

#include "text/Fortran_Format.h"

namespace {

std::string descriptor(const Exponent_Field& f) {
  return "(E" + std::to_string(f.width) + "." + std::to_string(f.digits) + "E" + std::to_string(f.exponent) + ")";
}

void through_layout(std::string& out, float x, const Exponent_Field& f) {
  out += FORMAT_LINE(descriptor(f), {x});
}

}  // namespace

void APPEND_EXPONENT_FIELD(std::string& out, float x, const Exponent_Field& f) {
  if (x == 0.0f || !std::isfinite(x) || f.digits < 1 || f.digits > 60 || f.exponent < 1 || f.exponent > 3) {
    through_layout(out, x, f);
    return;
  }
  // d.ddd...e+XX with d significant digits: the mantissa 0.ddd... has exponent XX + 1.
  char buffer[96];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(x),
                                 std::chars_format::scientific, f.digits - 1).ptr;
  const char* p = buffer;
  const bool negative = *p == '-';
  if (negative) ++p;
  char body[96];
  int n = 0;
  body[n++] = '0';
  body[n++] = '.';
  body[n++] = *p++;
  if (*p == '.') ++p;
  while (*p != 'e') body[n++] = *p++;
  ++p;  // 'e'
  int e = 0;
  const bool minus = *p == '-';
  for (++p; p < end; ++p) e = e * 10 + (*p - '0');
  e = (minus ? -e : e) + 1;
  int limit = 1;
  for (int i = 0; i < f.exponent; ++i) limit *= 10;
  if (std::abs(e) >= limit) {
    through_layout(out, x, f);
    return;
  }
  body[n++] = 'E';
  body[n++] = e < 0 ? '-' : '+';
  int a = std::abs(e);
  for (int i = f.exponent - 1; i >= 0; --i) {
    body[n + i] = static_cast<char>('0' + a % 10);
    a /= 10;
  }
  n += f.exponent;
  int length = n + (negative ? 1 : 0);
  int skip = 0;
  // The "0" before the point goes when only it is too many.
  if (length == f.width + 1) {
    skip = 1;
    --length;
  }
  if (length > f.width) {
    out.append(static_cast<std::size_t>(f.width), '*');
    return;
  }
  out.append(static_cast<std::size_t>(f.width - length), ' ');
  if (negative) out += '-';
  out.append(body + skip, static_cast<std::size_t>(n - skip));
}
