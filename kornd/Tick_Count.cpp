// Tick_Count.cpp - see Tick_Count.h.
#include "kornd/Tick_Count.h"

#include <cstdlib>
#include <time.h>  // clock_gettime

namespace {

std::uint32_t (*g_source)() = nullptr;

std::uint32_t monotonic_ms() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::uint32_t>(std::uint64_t(ts.tv_sec) * 1000 + std::uint64_t(ts.tv_nsec) / 1000000);
}

// Offset that makes the first reading equal KORND_TEST_TICK_START; 0 without it.
std::uint32_t start_offset() {
  static const std::uint32_t offset = [] {
    const char* v = std::getenv("KORND_TEST_TICK_START");
    if (v == nullptr || *v == '\0') return std::uint32_t(0);
    char* end = nullptr;
    unsigned long long start = std::strtoull(v, &end, 0);
    if (end == v || *end != '\0' || start > 0xFFFFFFFFull) return std::uint32_t(0);
    return static_cast<std::uint32_t>(start) - monotonic_ms();
  }();
  return offset;
}

}  // namespace

std::uint32_t TICK_COUNT() { return g_source ? g_source() : monotonic_ms() + start_offset(); }

void SET_TICK_SOURCE(std::uint32_t (*source)()) { g_source = source; }
