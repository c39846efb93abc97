// A display page through the /CKR driver into a kornd it starts (offscreen unless a display is
// set), beside the same page on /NULL and the bare round trip of the channel: one 512 x 512
// PGIMAG, contours of 20 000 segments and 2 500 halo points. Prints pages per second, requests
// and marker builds per page. Goals: markers built a few times a page, not per point; the page
// within 1.3 x (its requests' round trips + the /NULL page).
#include <cpgplot.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "display/Tools_Graphical.h"
#include "korin_client/Client_State.h"
#include "korin_client/KRDRIV.h"
#include "korin_client/Korin.h"
#include "korin_client/Korin_Seams.h"
#include "main/Globals.h"
#include "platform/Request_Text.h"

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

  long requests = 0, builds = 0;
  // Time spent per kind of request ("A 12", ...), to see where a page goes.
  std::map<std::string, std::pair<long, double>> kinds;
  std::string kind;
  Clock::time_point sent;
  KRsettrace([&](const Korin_Trace_Entry& e) {
    if (e.replied) {
      auto& k = kinds[kind];
      ++k.first;
      k.second += seconds_since(sent);
      return;
    }
    ++requests;
    if (e.block && e.text[0] == 'M' && e.block->code == 0) ++builds;
    kind = std::string(1, e.text[0]) + (e.block ? " " + std::to_string(e.block->code) : "");
    sent = Clock::now();
  });
  cpgopen("/CKR");
  cpgask(0);
  page(field);  // the first page builds its markers
  requests = builds = 0;
  t0 = Clock::now();
  for (int i = 0; i < Pages; ++i) page(field);
  const double window_page = seconds_since(t0) / Pages;
  KRsettrace(nullptr);

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
  std::printf("/NULL page                 %9.2f ms\n", null_page * 1e3);
  std::printf("/CKR page                  %9.2f ms   %6.2f pages/s\n", window_page * 1e3, 1 / window_page);
  std::printf("requests per page          %9.0f   marker builds per page %.1f\n", per_page, static_cast<double>(builds) / Pages);
  std::printf("bare round trip            %9.2f us\n", trip * 1e6);
  std::vector<std::pair<double, std::string>> slowest;
  for (const auto& [name, k] : kinds) slowest.emplace_back(k.second, name);
  std::sort(slowest.rbegin(), slowest.rend());
  for (std::size_t i = 0; i < slowest.size() && i < 4; ++i)
    std::printf("  %-6s %8ld requests %9.2f ms a page %7.2f us each\n", slowest[i].second.c_str(), kinds[slowest[i].second].first / (Pages + 1),
                slowest[i].first * 1e3 / (Pages + 1), slowest[i].first * 1e6 / static_cast<double>(kinds[slowest[i].second].first));
  const double bound = per_page * trip + null_page;
  std::printf("page / (round trips + /NULL) %7.2f (goal <= 1.3)\n", window_page / bound);
  KRquitx(0);
  return 0;
}
