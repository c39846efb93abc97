// The shortest of several timed runs: the machine is shared, so the best run is the one least
// disturbed.
#pragma once

#include <algorithm>
#include <chrono>

template <typename Run>
double BEST_SECONDS(int runs, const Run& run) {
  double best = 1e30;
  for (int k = 0; k < runs; ++k) {
    const auto start = std::chrono::steady_clock::now();
    run();
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}
