// Exponent_Field: "0." + d digits + "E" + sign + e digits, right-aligned.
//
// Reads: the value. Writes: the field's characters, appended to a line. Changes no global
// record. The digits are the correctly rounded digits of the exact binary value, as in the
// layout engine. Most values get them from one double product with a power of ten: its
// error is far below the rounding step, so only a product within a hair of a half needs
// the exact digits of std::to_chars. Zeros, infinities and not-a-number values, rare in
// tables, take the layout engine itself.

#include "text/Exponent_Field.h"

#include <array>
#include <bit>       // std::bit_cast
#include <charconv>  // std::to_chars
#include <cmath>     // std::isfinite, std::fabs
#include <cstdint>
#include <cstdlib>  // std::abs
#include <cstring>  // std::memcpy, std::memset

#include "text/Fortran_Format.h"

namespace {

constexpr int Quick_Digits = 9;  // d up to this takes the double product
constexpr char Pairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";
constexpr int Lowest_Power = -60, Highest_Power = 70;

// Correctly rounded powers of ten, 10^Lowest_Power .. 10^Highest_Power: single floats need
// 10^-34 .. 10^54 for up to nine digits.
const std::array<double, Highest_Power - Lowest_Power + 1>& powers_of_ten() {
  static const auto table = [] {
    std::array<double, Highest_Power - Lowest_Power + 1> t{};
    char text[16];
    for (int k = Lowest_Power; k <= Highest_Power; ++k) {
      const auto end = std::to_chars(text + 2, text + sizeof text, k).ptr;
      text[0] = '1', text[1] = 'e';
      std::from_chars(text, end, t[static_cast<std::size_t>(k - Lowest_Power)]);
    }
    return t;
  }();
  return table;
}

double power_of_ten(int k) { return powers_of_ten()[static_cast<std::size_t>(k - Lowest_Power)]; }

// The d significant digits of v > 0 (v from a float) as an integer n, 10^(d-1) <= n < 10^d,
// and the exponent e of 0.ddd: false when v lies too near a rounding tie to tell.
bool quick_digits(double v, int d, std::uint32_t& n, int& e) {
  const int binary = static_cast<int>((std::bit_cast<std::uint64_t>(v) >> 52) & 0x7ff) - 1022;
  e = ((binary * 78913) >> 18) + 1;  // floor(binary log10 2) + 1: within one of the truth
  const double low = power_of_ten(d - 1), high = power_of_ten(d);
  double y = v * power_of_ten(d - e);
  if (y >= high) y = v * power_of_ten(d - ++e);
  else if (y < low) y = v * power_of_ten(d - --e);
  const double whole = static_cast<double>(static_cast<std::uint64_t>(y)), part = y - whole;
  // The product's error is at most about 2^-52 y: keep well clear of a tie.
  if (std::fabs(part - 0.5) < high * 0x1p-48) return false;
  n = static_cast<std::uint32_t>(whole) + (part > 0.5 ? 1u : 0u);
  if (n >= static_cast<std::uint32_t>(high)) n = static_cast<std::uint32_t>(low), ++e;
  return true;
}

// The exact digits of v > 0 through std::to_chars, into digits[0..d), with the exponent of 0.ddd.
void exact_digits(double v, int d, char* digits, int& e) {
  char buffer[96];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::scientific, d - 1).ptr;
  const char* p = buffer;
  int n = 0;
  digits[n++] = *p++;
  if (*p == '.') ++p;
  while (*p != 'e') digits[n++] = *p++;
  ++p;  // 'e'
  const bool minus = *p == '-';
  e = 0;
  for (++p; p < end; ++p) e = e * 10 + (*p - '0');
  e = (minus ? -e : e) + 1;
}

std::string descriptor(const Exponent_Field& f) {
  return "(E" + std::to_string(f.width) + "." + std::to_string(f.digits) + "E" + std::to_string(f.exponent) + ")";
}

bool fits_quick_path(const Exponent_Field& f) {
  return f.digits >= 1 && f.digits <= 60 && f.exponent >= 1 && f.exponent <= 3 && f.width >= 1;
}

// Writes the field of a finite nonzero x at out (f.width characters, blanks already); false when the
// exponent needs more digits than the field has (the layout engine decides those).
bool put_field(char* out, float x, const Exponent_Field& f) {
  const bool negative = x < 0.0f;
  const double v = std::fabs(static_cast<double>(x));
  char digits[64];
  int e = 0;
  std::uint32_t n = 0;
  if (f.digits <= Quick_Digits && quick_digits(v, f.digits, n, e)) {
    int i = f.digits;
    for (; i >= 2; i -= 2, n /= 100) std::memcpy(digits + i - 2, Pairs + 2 * (n % 100), 2);
    if (i == 1) digits[0] = static_cast<char>('0' + n);
  } else {
    exact_digits(v, f.digits, digits, e);
  }
  static constexpr int Limits[] = {1, 10, 100, 1000};
  if (std::abs(e) >= Limits[f.exponent]) return false;
  // "0." digits "E" sign exponent, and the "0" goes when only it is too many.
  int length = 2 + f.digits + 2 + f.exponent + (negative ? 1 : 0);
  const bool lead_zero = length != f.width + 1;
  if (!lead_zero) --length;
  if (length > f.width) {
    std::memset(out, '*', static_cast<std::size_t>(f.width));
    return true;
  }
  char* p = out + (f.width - length);
  if (negative) *p++ = '-';
  if (lead_zero) *p++ = '0';
  *p++ = '.';
  std::memcpy(p, digits, static_cast<std::size_t>(f.digits));
  p += f.digits;
  *p++ = 'E';
  *p++ = e < 0 ? '-' : '+';
  int a = std::abs(e);
  for (int i = f.exponent - 1; i >= 0; --i, a /= 10) p[i] = static_cast<char>('0' + a % 10);
  return true;
}

}  // namespace

void APPEND_EXPONENT_FIELDS(std::string& out, const float* values, std::int64_t count, std::int64_t step,
                            const Exponent_Field& f) {
  if (count <= 0) return;
  const bool quick = fits_quick_path(f);
  std::size_t at = out.size();
  out.append(static_cast<std::size_t>(count) * static_cast<std::size_t>(f.width), ' ');
  for (std::int64_t i = 0; i < count; ++i) {
    const float x = values[i * step];
    if (quick && x != 0.0f && std::isfinite(x) && put_field(out.data() + at, x, f)) {
      at += static_cast<std::size_t>(f.width);
      continue;
    }
    // The layout engine's field; its length is the width, but the line stays right if not.
    const std::string text = FORMAT_LINE(descriptor(f), {x});
    out.replace(at, static_cast<std::size_t>(f.width), text);
    at += text.size();
  }
}

void APPEND_EXPONENT_FIELD(std::string& out, float x, const Exponent_Field& f) {
  APPEND_EXPONENT_FIELDS(out, &x, 1, 1, f);
}
