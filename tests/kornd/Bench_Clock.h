// Bench_Clock.h - wall-clock seconds for the benchmark programs.
#pragma once

#include <chrono>

inline double seconds_since(std::chrono::steady_clock::time_point t) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}
