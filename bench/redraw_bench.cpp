// Full redraw (code 23) of a 1000 x 1000 case, to the null device, to a GIF file and into a
// kornd window (a server started offscreen unless a display is set), beside the channel
// time of the requests the window redraw sent (their count times the bare round trip), the
// round trips it made (drawing requests travel in batches) and the time it waited for replies.
// Two pages: the picture with wedge and texts; the same with 9 automatic isolines and a 2D
// vector field (two more component files, default thinning, colour choice 2), that one also
// beside the system Python's matplotlib (imshow, contour, quiver, colorbar) of the same
// field at the same pixel size.
// Goals: the window redraw within 1.2 x (/NULL redraw + channel time); /GIF of the second
// page at least 4 x as fast as matplotlib.
// Usage: redraw_bench [repeats]

#include <cpgplot.h>
#include <unistd.h>  // getpid

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/Redraw_Case.h"
#include "bench/Request_Kinds.h"
#include "bench/System_Python.h"
#include "display/Manage_Display.h"
#include "korin_client/Client_State.h"
#include "korin_client/KRDRIV.h"
#include "korin_client/Korin.h"
#include "korin_client/Korin_Seams.h"
#include "records/Globals.h"
#include "main/Initialise.h"
#include "records/Allocation_Checks.h"
#include "platform/Request_Text.h"

namespace {

using namespace bench;

// The bare round trip of a trivial window request on the client's connection, in ms.
double round_trip_ms() {
  channel::Request_Bytes bytes;
  channel::FORMAT_WINDOW_REQUEST(bytes, channel::Size, KRDRIV_WINDOW());
  KRblock(KRDRIV_WINDOW())->code = 1;
  std::uint32_t reply = 0;
  constexpr int Trips = 20000;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < Trips; ++i) KRstate().channel.SEND(bytes.text, bytes.length, reply);
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / Trips;
}

// Width and height of a GIF file from its screen descriptor; 0 x 0 when unreadable.
std::pair<int, int> gif_size(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  unsigned char h[10] = {};
  if (!in.read(reinterpret_cast<char*>(h), sizeof h)) return {0, 0};
  return {h[6] | h[7] << 8, h[8] | h[9] << 8};
}

// matplotlib's page of the same field, arrows of the same blocks, in ms; < 0 when unavailable.
double matplotlib_ms(const std::filesystem::path& folder, std::pair<int, int> pixels, int thinning) {
  const std::string script =
      "import time,numpy as np\n"
      "import matplotlib; matplotlib.use('Agg'); import matplotlib.pyplot as plt\n"
      "n=" + std::to_string(N) + "; s=" + std::to_string(thinning) + "; w,h=" + std::to_string(pixels.first) + "," +
      std::to_string(pixels.second) + "\n"
      "i=np.arange(1,n+1)\n"
      "c=(((i[None,:]+i[:,None])%n)/n).astype(np.float32)\n"
      "vx=np.repeat(np.sin(6.2831853*i/n)[:,None],n,1).astype(np.float32)\n"
      "vy=np.repeat(np.cos(6.2831853*i/n)[None,:],n,0).astype(np.float32)\n"
      "levels=[1-j/10 for j in range(9,0,-1)]\n"
      "def page():\n"
      "  fig=plt.figure(figsize=(w/100,h/100),dpi=100); ax=fig.add_subplot()\n"
      "  im=ax.imshow(c,origin='lower'); ax.contour(c,levels=levels,colors='k')\n"
      "  m=n//s*s; bx=vx[:m,:m].reshape(m//s,s,m//s,s).mean(axis=(1,3)); by=vy[:m,:m].reshape(m//s,s,m//s,s).mean(axis=(1,3))\n"
      "  g=np.arange(m//s)*s+s/2; ax.quiver(g,g,bx,by); fig.colorbar(im)\n"
      "  fig.savefig('" + (folder / "peer.png").string() + "'); plt.close(fig)\n"
      "page(); t=time.perf_counter(); r=5\n"
      "for k in range(r): page()\n"
      "print('%.6f'%((time.perf_counter()-t)/r*1e3))\n";
  const std::string out = RUN_SYSTEM_PYTHON(script, folder);
  return out.empty() ? -1.0 : std::atof(out.c_str());
}

struct Page_Figures {
  double null_ms, gif_ms;
};

// /NULL and /GIF of the current case, printed; the GIF's pixel size stays for the peer.
Page_Figures draw_offline(const char* label, const std::filesystem::path& folder, int repeats, std::pair<int, int>& pixels) {
  const std::string gif = (folder / "page.gif").string();
  Page_Figures p{device_redraw_ms("/NULL", repeats), device_redraw_ms(gif + "/GIF", repeats)};
  pixels = gif_size(gif);
  std::printf("%s, /NULL: %.2f ms\n", label, p.null_ms);
  std::printf("%s, /GIF:  %.2f ms (%d x %d pixels)\n", label, p.gif_ms, pixels.first, pixels.second);
  return p;
}

// The window redraw of the current case on the open /CKR unit, beside /NULL and the channel.
// Timed without the request trace; a second, traced run counts the requests and their kinds.
void draw_window(const char* label, int unit, int repeats, double null_ms) {
  const double window_ms = redraw_ms(unit, repeats);
  Request_Kinds kinds;
  redraw_ms(unit, repeats);
  const double per_redraw = static_cast<double>(kinds.Requests()) / (repeats + 1);
  const double trips = static_cast<double>(kinds.Trips()) / (repeats + 1);
  kinds.PrintSlowest(8, repeats + 1);
  const double trip = round_trip_ms();
  const double waits = kinds.ChannelSeconds() * 1e3 / (repeats + 1);
  std::printf("%s, /CKR:  %.2f ms   %.0f requests in %.0f round trips (%.2f us a bare trip), %.2f ms waiting\n",
              label, window_ms, per_redraw, trips, trip * 1e3, waits);
  // The goal's channel: a round trip per request, as the requests would cost sent one by one.
  std::printf("%s, window / (/NULL + a round trip per request): %.2f (goal <= 1.2)\n", label,
              window_ms / (null_ms + per_redraw * trip));
  std::printf("%s, window / (/NULL + the round trips made): %.2f; / (/NULL + the waits): %.2f\n", label,
              window_ms / (null_ms + trips * trip), window_ms / (null_ms + waits));
}

}  // namespace

int main(int argc, char** argv) {
  const int repeats = argc > 1 ? std::atoi(argv[1]) : 10;
  if (!std::getenv("PGPLOT_DIR")) {
    const auto bin = std::filesystem::canonical("/proc/self/exe").parent_path().string() + "/";
    setenv("PGPLOT_DIR", bin.c_str(), 1);
  }
  const auto folder = std::filesystem::temp_directory_path() / ("redraw_bench_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  const char* labels[] = {"redraw 1000 x 1000, wedge and texts", "redraw 1000 x 1000, + 9 isolines, vectors"};
  int window = 0;
  for (int page = 0; page < 2; ++page) {
    make_case(page == 1);
    std::pair<int, int> pixels;
    const Page_Figures p = draw_offline(labels[page], folder, repeats, pixels);
    // One window for both pages: a window's close would ask its user; the connection ends below.
    if (window == 0 && (window = cpgopen("/CKR")) > 0) cpgask(0);
    if (window > 0) draw_window(labels[page], window, repeats, p.null_ms);
    if (page == 1) {
      const double peer = matplotlib_ms(folder, pixels, Vector_Settings.Vector_Thinning);
      if (peer < 0) std::puts("matplotlib not available");
      else std::printf("matplotlib imshow + contour + quiver + colorbar to PNG: %.2f ms; /GIF %.2f x as fast (goal >= 4)\n",
                       peer, peer / p.gif_ms);
    }
  }
  KRquitx(0);
  std::filesystem::remove_all(folder);
  return 0;
}
