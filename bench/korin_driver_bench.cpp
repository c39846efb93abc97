// A display page through the /CKR driver into a kornd it starts (offscreen unless a display is
// set), beside the same page on /NULL and the bare round trip of the channel: one 512 x 512
// PGIMAG, contours of 20 000 segments and 2 500 halo points. Prints pages per second, requests
// and marker builds per page. Goals: markers built a few times a page, not per point; the page
// within 1.3 x (its requests' round trips + the /NULL page), also printed against the round
// trips made (drawing requests travel in batches). Markers built once are seen in the kinds of
// requests printed (M 0).
#include <cpgplot.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "display/Tools_Graphical.h"
#include "korin_client/Client_State.h"
#include "korin_client/KRDRIV.h"
#include "korin_client/Korin.h"
#include "korin_client/Korin_Seams.h"
#include "records/Globals.h"
#include "platform/Request_Text.h"
#include "bench/Bare_Wait.h"
#include "bench/Request_Kinds.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int N = 512;

double seconds_since(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

struct Field {
  std::vector<float> values;
  Field() : values(N * N) {
    for (int j = 0; j < N; ++j)
      for (int i = 0; i < N; ++i) values[static_cast<std::size_t>(j * N + i)] = std::sin(i * 0.05f) * std::cos(j * 0.04f);
  }
};

int parts = 7;  // 1 image, 2 contours, 4 halo points

void page(const Field& f) {
  cpgpage();
  cpgsvp(0.05f, 0.95f, 0.05f, 0.95f);
  cpgwnad(0.5f, N + 0.5f, 0.5f, N + 0.5f);
  const float tr[6] = {0, 1, 0, 0, 0, 1};
  if (parts & 1) cpgimag(f.values.data(), N, N, 1, N, 1, N, -1, 1, tr);
  // About 20 000 contour segments: a few levels of the field.
  const float levels[] = {-0.6f, -0.2f, 0.2f, 0.6f};
  if (parts & 2) cpgcont(f.values.data(), N, N, 1, N, 1, N, levels, 4, tr);
  for (int k = 0; (parts & 4) && k < 2500; ++k) PLOT_POINT(static_cast<float>(1 + k % 50 * 10), static_cast<float>(1 + k / 50 * 10));
  cpgupdt();
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  if (argc > 1) parts = std::atoi(argv[1]);  // a subset of the page, to see what it costs
  const Field field;
  constexpr int Pages = 5;

  cpgopen("/NULL");
  auto t0 = Clock::now();
  for (int i = 0; i < Pages; ++i) page(field);
  const double null_page = seconds_since(t0) / Pages;
  cpgclos();

  cpgopen("/CKR");
  cpgask(0);
  page(field);  // the first page builds its markers
  // Timed without the request trace (its clocks cost a few system calls a request); a second,
  // traced run counts the requests, their kinds and the CPU time in the waits.
  t0 = Clock::now();
  for (int i = 0; i < Pages; ++i) page(field);
  const double window_page = seconds_since(t0) / Pages;
  Request_Kinds kinds;
  t0 = Clock::now();
  for (int i = 0; i < Pages; ++i) page(field);
  const double traced_page = seconds_since(t0) / Pages;
  const long requests = kinds.Requests();
  const long trips = kinds.Trips();
  const double waiting_cpu = kinds.WaitCpuShare(), trip_cpu = kinds.TripCpuShare();

  // The bare round trip on the same connection.
  channel::Request_Bytes bytes;
  channel::FORMAT_WINDOW_REQUEST(bytes, channel::Size, KRDRIV_WINDOW());
  KRblock(KRDRIV_WINDOW())->code = 1;
  std::uint32_t reply = 0;
  constexpr int Trips = 20000;
  t0 = Clock::now();
  for (int i = 0; i < Trips; ++i) KRstate().channel.SEND(bytes.text, bytes.length, reply);
  const double trip = seconds_since(t0) / Trips;

  const double per_page = static_cast<double>(requests) / Pages;
  const double trips_per_page = static_cast<double>(trips) / Pages;
  std::printf("/NULL page                 %9.2f ms\n", null_page * 1e3);
  std::printf("/CKR page                  %9.2f ms   %6.2f pages/s (%.2f ms with the request trace)\n",
              window_page * 1e3, 1 / window_page, traced_page * 1e3);
  std::printf("requests per page          %9.0f   in %.0f round trips\n", per_page, trips_per_page);
  std::printf("bare round trip            %9.2f us\n", trip * 1e6);
  kinds.PrintSlowest(4, Pages);
  std::printf("client CPU while waiting    %8.1f %% of the waits (goal < 10 %%); a bare socket pair's: %.1f %%\n",
              100 * waiting_cpu, 100 * bench::BARE_WAIT_CPU_SHARE(20000));
  std::printf("  from each send to its reply %.1f %%\n", 100 * trip_cpu);
  // The goal's round trips: one per request, as the requests would cost sent one by one.
  std::printf("page / (round trips + /NULL) %7.2f (goal <= 1.3), a round trip per request\n",
              window_page / (per_page * trip + null_page));
  std::printf("page / (round trips + /NULL) %7.2f, the round trips made\n", window_page / (trips_per_page * trip + null_page));
  KRquitx(0);
  return 0;
}
