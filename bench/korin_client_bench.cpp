// The client library against a running kornd (started through the library, offscreen unless a
// display is set): the bare round trip of a trivial window request on the channel, then joined
// KRline lines, KRpolylin polylines of 128 and 20 000 points and 1000 x 1000 KRmakebmp bitmaps,
// each per second and in bare round trips; the client's CPU time while it waits for replies.
// Goals: a joined line within 1.2 round trips; a bitmap within twice the channel time of its
// requests (its values written in place: B 20, D 5), client CPU while waiting under 10 % of
// the waits' wall time (beside it, the same share for a bare socket pair). Prints figures.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "korin_client/Client_State.h"
#include "korin_client/Korin.h"
#include "platform/Request_Text.h"
#include "bench/Bare_Wait.h"
#include "bench/Request_Kinds.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

// A window request straight on the channel: no block work, no reply handling.
double bare_round_trip_us(int w, int count) {
  KRclientstate& s = KRstate();
  channel::Request_Bytes bytes;
  channel::FORMAT_WINDOW_REQUEST(bytes, channel::Size, w);
  KRblock(w)->code = 1;
  std::uint32_t reply = 0;
  const auto t0 = Clock::now();
  for (int i = 0; i < count; ++i) s.channel.SEND(bytes.text, bytes.length, reply);
  return seconds_since(t0) / count * 1e6;
}

}  // namespace

int main() {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  KRinitx(-1, -1, -1, -1, -1, -1, -1, -1);
  const int w = KRopenx(0, 1000, 1000, 0, 19, 4, "bench");
  KRindow(0, 0, 0, 0);  // pixels
  const double bare = bare_round_trip_us(w, 50000);
  std::printf("bare round trip                 %8.2f us\n", bare);

  constexpr int Lines = 50000;
  auto t0 = Clock::now();
  for (int i = 0; i < Lines; ++i) KRline(static_cast<float>(i % 1000), static_cast<float>(i / 1000 % 1000),
                                         static_cast<float>((i + 1) % 1000), static_cast<float>((i + 1) / 1000 % 1000));
  double per = seconds_since(t0) / Lines * 1e6;
  std::printf("joined KRline                   %8.2f us  %9.0f lines/s      %5.2f round trips (goal <= 1.2)\n", per,
              1e6 / per, per / bare);
  KRclear(-1);

  constexpr int Polylines = 5000;
  std::vector<float> points;
  for (int i = 0; i < 128; ++i) points.insert(points.end(), {static_cast<float>(i * 7), static_cast<float>(i * 3 % 997)});
  t0 = Clock::now();
  for (int i = 0; i < Polylines; ++i) KRpolylin(points.data(), 128);
  per = seconds_since(t0) / Polylines * 1e6;
  std::printf("KRpolylin of 128 points         %8.2f us  %9.0f points/s     %5.2f round trips (4 requests)\n", per,
              128e6 / per, per / bare);
  KRclear(-1);

  std::vector<float> long_line;
  for (int i = 0; i < 20000; ++i)
    long_line.insert(long_line.end(), {static_cast<float>(i % 1000), static_cast<float>(i * 7 % 997)});
  Request_Kinds kinds;
  constexpr int Long_Lines = 200;
  t0 = Clock::now();
  for (int i = 0; i < Long_Lines; ++i) KRpolylin(long_line.data(), 20000);
  per = seconds_since(t0) / Long_Lines * 1e6;
  std::printf("KRpolylin of 20 000 points      %8.2f us  %9.0f points/s     %5.2f round trips (%ld requests)\n", per,
              20000e6 / per, per / bare, kinds.Requests() / Long_Lines);
  KRclear(-1);

  constexpr int Bitmaps = 20;
  std::vector<int> pixels(1000 * 1000);
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<int>(i % 36);
  double channel = 0;  // the bitmaps' requests from send to reply
  long requests = 0;
  double per_bitmap = 0;
  for (int i = 0; i < Bitmaps; ++i) {
    kinds.Reset();
    const auto t1 = Clock::now();
    KRmakebmp(0, 1000, 1000, 8, pixels.data());
    per_bitmap += seconds_since(t1);
    channel += kinds.ChannelSeconds();
    requests += kinds.Requests();
    KRclear(-1);
  }
  per = per_bitmap / Bitmaps * 1e6;
  std::printf("KRmakebmp 1000 x 1000           %8.0f us  %9.2f bitmaps/s    %5.2f x the channel time of its %ld requests "
              "(goal <= 2)\n", per, 1e6 / per, per_bitmap / channel, requests / Bitmaps);
  std::printf("  %.1f x faster than the %d round trips of 2 KB pieces alone\n", bare * 1956 / per, 1956);

  // Waiting: all of the above again, the client's CPU time from each send to its reply.
  kinds.Reset();
  for (int i = 0; i < 5000; ++i) KRline(static_cast<float>(i % 1000), 10, static_cast<float>((i + 1) % 1000), 20);
  for (int i = 0; i < 20; ++i) KRpolylin(long_line.data(), 20000);
  for (int i = 0; i < 5; ++i) KRmakebmp(0, 1000, 1000, 8, pixels.data());
  std::printf("client CPU while waiting for replies: %.1f %% of the wait (goal < 10 %%); "
              "a bare socket pair's wait on this machine: %.1f %%\n",
              100 * kinds.WaitCpuShare(), 100 * bench::BARE_WAIT_CPU_SHARE(20000));
  std::printf("  from each send to its reply: %.1f %%; the sends %.1f us of CPU each\n", 100 * kinds.TripCpuShare(),
              kinds.SendCpuSeconds() * 1e6);
  KRquitx(0);
  return 0;
}
