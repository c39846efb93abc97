// Free-form input speed on text like the ASCII result files: about 200 MB of numbers such
// as "  1.234568E-01", six to eight on a line, read as single-precision values from memory.
// Prints MB/s (best of three passes).

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "text/Free_Form.h"

int main(int argc, char** argv) {
  std::size_t target = argc > 1 ? std::stoul(argv[1]) << 20 : std::size_t{200} << 20;
  std::string text;
  text.reserve(target + 256);
  std::mt19937 random(12345);
  std::uniform_real_distribution<float> mantissa(-10.0f, 10.0f);
  std::uniform_int_distribution<int> exponent(-6, 6), per_line(6, 8);
  std::size_t values = 0;
  while (text.size() < target) {
    int count = per_line(random);
    for (int i = 0; i < count; ++i) {
      char field[32];
      float v = mantissa(random) * std::pow(10.0f, static_cast<float>(exponent(random)));
      int n = std::snprintf(field, sizeof field, "%14.6E", static_cast<double>(v));
      text.append(field, static_cast<std::size_t>(n));
      ++values;
    }
    text += "\r\n";
  }

  double best = 0;
  for (int pass = 0; pass < 3; ++pass) {
    std::size_t position = 0;
    Free_Form_Reader reader([&](char* buffer, std::size_t max) {
      std::size_t n = std::min(max, text.size() - position);
      std::memcpy(buffer, text.data() + position, n);
      position += n;
      return static_cast<long>(n);
    });
    double sum = 0;
    std::size_t read = 0;
    auto start = std::chrono::steady_clock::now();
    float value = 0;
    while (reader.READ_REAL(value) == Free_Form_Status::Ok) {
      sum += value;
      ++read;
    }
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (read != values) {
      std::printf("read %zu of %zu values\n", read, values);
      return 1;
    }
    double rate = static_cast<double>(text.size()) / 1e6 / seconds;
    best = std::max(best, rate);
    std::printf("pass %d: %.1f MB in %.3f s, %.1f MB/s, %.1f M values/s (sum %g)\n", pass + 1,
                static_cast<double>(text.size()) / 1e6, seconds, rate,
                static_cast<double>(read) / 1e6 / seconds, sum);
  }
  std::printf("free-form reading: %.1f MB/s (best of 3)\n", best);
  return 0;
}
