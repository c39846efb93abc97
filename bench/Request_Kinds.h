// Request_Kinds.h - counts the requests a client sends and the time each kind ("A 12", "B 36",
// ...) takes from send to reply, through the client library's trace; prints the slowest.
// Also the client's own CPU time from send to reply against the wall time of those trips, and
// the same from the moment each packet has left (the wait alone).
// A request that waits in a batch is counted, not timed (it waits for nothing); the batch sent
// on its own is timed as "flush".
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "bench/Process_Cpu.h"
#include "korin_client/Korin_Seams.h"

class Request_Kinds {
 public:
  Request_Kinds() {
    // The clocks are read right before the send and right after the reply: the wait holds the
    // send, the sleep and the receive, and none of this bookkeeping.
    KRsettrace([this](const Korin_Trace_Entry& e) {
      if (e.deferred) {  // no wait: counted, not timed
        if (!e.replied) ++requests_, ++deferred_;
        return;
      }
      if (e.sent) {  // the packet has left: from here on the client only waits
        left_ = Clock::now();
        left_cpu_ = bench::thread_cpu_seconds();
        return;
      }
      if (e.replied) {
        const double cpu = bench::thread_cpu_seconds();
        const auto now = Clock::now();
        const double wall = std::chrono::duration<double>(now - sent_).count();
        auto& k = kinds_[kind_];
        ++k.first;
        k.second += wall;
        trip_wall_ += wall;
        trip_cpu_ += cpu - sent_cpu_;
        wait_wall_ += std::chrono::duration<double>(now - left_).count();
        wait_cpu_ += cpu - left_cpu_;
        return;
      }
      if (!e.flush) ++requests_;
      ++trips_;
      kind_ = e.flush ? std::string("flush") : std::string(1, e.text[0]) + (e.block ? " " + std::to_string(e.block->code) : "");
      sent_ = Clock::now();
      sent_cpu_ = bench::thread_cpu_seconds();
    });
  }
  ~Request_Kinds() { KRsettrace(nullptr); }

  void Reset() { requests_ = deferred_ = trips_ = 0, kinds_.clear(), trip_wall_ = trip_cpu_ = wait_wall_ = wait_cpu_ = 0; }
  // Packets that waited for a reply: requests sent alone, and batches.
  long Trips() const { return trips_; }
  // Requests that waited in a batch rather than for their own reply.
  long Deferred() const { return deferred_; }
  // Seconds from send to reply over every request.
  double ChannelSeconds() const { return trip_wall_; }
  // The client's CPU time from the send to the reply, as a share of that wall time.
  double TripCpuShare() const { return trip_wall_ > 0 ? trip_cpu_ / trip_wall_ : 0; }
  // The same from the moment the packet has left: the client only waits then.
  double WaitCpuShare() const { return wait_wall_ > 0 ? wait_cpu_ / wait_wall_ : 0; }
  // The client's CPU time in the sends, per packet.
  double SendCpuSeconds() const { return trips_ > 0 ? (trip_cpu_ - wait_cpu_) / static_cast<double>(trips_) : 0; }
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
  double trip_wall_ = 0, trip_cpu_ = 0, wait_wall_ = 0, wait_cpu_ = 0, sent_cpu_ = 0, left_cpu_ = 0;
  long requests_ = 0;
  long deferred_ = 0;
  long trips_ = 0;
  std::map<std::string, std::pair<long, double>> kinds_;
  std::string kind_;
  Clock::time_point sent_, left_;
};
