// Processor time a running kornd spends while a request waits (B 32 for two seconds): read from
// /proc/<pid>/stat before and after; prints figures, not a test.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "Kornd_Server.h"

namespace {

// User plus system time of the process in milliseconds.
double cpu_ms(pid_t pid) {
  std::ifstream f("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(f)), {});
  const std::size_t close = text.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream rest(text.substr(close + 2));
  std::string field;
  unsigned long long utime = 0, stime = 0;
  for (int i = 3; i <= 15 && rest >> field; ++i) {
    if (i == 14) utime = std::stoull(field);
    if (i == 15) stime = std::stoull(field);
  }
  return double(utime + stime) * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

}  // namespace

int main() {
  Kornd_Server k;
  if (!k.Start() || k.Send("I,1,200,100,0,19,5,") != 1) {
    std::fprintf(stderr, "kornd did not start\n");
    return 1;
  }
  platform::Shared_Block holder;
  channel::KRwinblock* b = k.MapWindow(1, holder);
  if (b == nullptr) return 1;
  b->code = 32;
  std::memset(b->a, 0, sizeof b->a);
  b->a[0] = 2000;
  const double before = cpu_ms(k.pid());
  const auto start = std::chrono::steady_clock::now();
  const std::uint32_t elapsed = k.Send("B!");
  const double wall = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  const double used = cpu_ms(k.pid()) - before;
  std::printf("timed wait: %u ms answered, %.0f ms wall, %.0f ms processor time of the server (%.2f %%)\n", elapsed,
              wall, used, 100.0 * used / wall);
  return 0;
}
