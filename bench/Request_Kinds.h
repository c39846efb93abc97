// Request_Kinds.h - counts the requests a client sends and the time each kind ("A 12", "B 36",
// ...) takes from send to reply, through the client library's trace; prints the slowest.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "korin_client/Korin_Seams.h"

class Request_Kinds {
 public:
  Request_Kinds() {
    KRsettrace([this](const Korin_Trace_Entry& e) {
      if (e.replied) {
        auto& k = kinds_[kind_];
        ++k.first;
        k.second += std::chrono::duration<double>(Clock::now() - sent_).count();
        return;
      }
      ++requests_;
      kind_ = std::string(1, e.text[0]) + (e.block ? " " + std::to_string(e.block->code) : "");
      sent_ = Clock::now();
    });
  }
  ~Request_Kinds() { KRsettrace(nullptr); }

  void Reset() { requests_ = 0, kinds_.clear(); }
  long Requests() const { return requests_; }

  // The `count` kinds that took longest, per unit of work (`units` pages, redraws, ...).
  void PrintSlowest(int count, int units) const {
    std::vector<std::pair<double, std::string>> slowest;
    for (const auto& [name, k] : kinds_) slowest.emplace_back(k.second, name);
    std::sort(slowest.rbegin(), slowest.rend());
    for (std::size_t i = 0; i < slowest.size() && i < static_cast<std::size_t>(count); ++i) {
      const auto& k = kinds_.at(slowest[i].second);
      std::printf("  %-6s %8ld requests %9.2f ms each time %8.2f us each\n", slowest[i].second.c_str(), k.first / units,
                  k.second * 1e3 / units, k.second * 1e6 / static_cast<double>(k.first));
    }
  }

 private:
  using Clock = std::chrono::steady_clock;
  long requests_ = 0;
  std::map<std::string, std::pair<long, double>> kinds_;
  std::string kind_;
  Clock::time_point sent_;
};
