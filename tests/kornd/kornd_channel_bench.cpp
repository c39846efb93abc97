// Round trips of kornd's channel: a trivial window request sent 100 000 times to a running
// server, side by side with a plain SOCK_SEQPACKET ping-pong of the same sizes (3-byte request,
// 4-byte reply) between two threads, once sleeping on both sides and once spinning first as the
// channel does; then the CPU an idle server and a waiting client use. Prints figures.
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "Kornd_Server.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int Requests = 100000;

void report(const char* what, std::vector<double>& us) {
  std::sort(us.begin(), us.end());
  double total = 0;
  for (double v : us) total += v;
  std::printf("%-44s median %7.2f us   p99 %7.2f us   %9.0f requests/s\n", what, us[us.size() / 2],
              us[us.size() * 99 / 100], us.size() / (total / 1e6));
}

// Ping-pong over a socket pair; spin_us > 0 polls before sleeping on both sides.
std::vector<double> ping_pong(int spin_us) {
  int sv[2];
  if (socketpair(AF_UNIX, SOCK_SEQPACKET, 0, sv) != 0) return {};
  auto receive = [spin_us](int fd, char* buf, int n) {
    auto deadline = Clock::now() + std::chrono::microseconds(spin_us);
    while (spin_us > 0 && Clock::now() < deadline) {
      ssize_t r = recv(fd, buf, n, MSG_DONTWAIT);
      if (r >= 0) return r;
    }
    return recv(fd, buf, n, 0);
  };
  std::thread echo([&] {
    char buf[8];
    while (receive(sv[1], buf, sizeof buf) > 0) send(sv[1], "\1\2\3\4", 4, MSG_NOSIGNAL);
  });
  std::vector<double> us;
  us.reserve(Requests);
  char buf[8];
  for (int i = 0; i < Requests; ++i) {
    auto t0 = Clock::now();
    send(sv[0], "A!", 3, MSG_NOSIGNAL);
    receive(sv[0], buf, sizeof buf);
    us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
  }
  shutdown(sv[0], SHUT_RDWR);
  echo.join();
  close(sv[0]);
  close(sv[1]);
  return us;
}

// CPU seconds (user + system) of a process from /proc.
double cpu_seconds(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string s((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::size_t p = s.rfind(')');
  if (p == std::string::npos) return -1;
  std::vector<std::string> f;
  std::string cur;
  for (char c : s.substr(p + 2)) {
    if (c == ' ') {
      f.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  // fields after ")": state is f[0]; utime f[11], stime f[12]
  return (std::stod(f[11]) + std::stod(f[12])) / sysconf(_SC_CLK_TCK);
}

double thread_cpu_seconds() {
  rusage u{};
  getrusage(RUSAGE_THREAD, &u);
  return u.ru_utime.tv_sec + u.ru_utime.tv_usec / 1e6 + u.ru_stime.tv_sec + u.ru_stime.tv_usec / 1e6;
}

}  // namespace

int main() {
  Kornd_Server k;
  if (!k.Start()) {
    std::fprintf(stderr, "kornd did not start:\n%s", k.Errors().c_str());
    return 1;
  }
  if (k.Send("I,0,320,200,0,19,5,bench") != 1) return 1;
  const std::string request{'A', '!'};  // window 1, a letter its interpreter answers at once
  std::vector<double> channel_us;
  channel_us.reserve(Requests);
  for (int i = 0; i < Requests; ++i) {
    auto t0 = Clock::now();
    k.Send(request);
    channel_us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
  }
  std::vector<double> sleeping = ping_pong(0);
  std::vector<double> spinning = ping_pong(50);
  std::printf("%d round trips each, %u cores\n", Requests, std::thread::hardware_concurrency());
  report("kornd window request (spin, then sleep)", channel_us);
  report("plain socket ping-pong, sleeping", sleeping);
  report("plain socket ping-pong, spinning 50 us", spinning);

  double s0 = cpu_seconds(k.pid());
  std::this_thread::sleep_for(std::chrono::seconds(3));
  double s1 = cpu_seconds(k.pid());
  std::printf("idle server: %.3f s CPU in 3 s (%.2f %%)\n", s1 - s0, (s1 - s0) / 3 * 100);

  // A client waiting for a reply that takes 2 s (the server stopped): it must sleep.
  kill(k.pid(), SIGSTOP);
  std::thread resume([&] {
    std::this_thread::sleep_for(std::chrono::seconds(2));
    kill(k.pid(), SIGCONT);
  });
  double c0 = thread_cpu_seconds();
  auto t0 = Clock::now();
  k.Send(request);
  double waited = std::chrono::duration<double>(Clock::now() - t0).count();
  double c1 = thread_cpu_seconds();
  resume.join();
  std::printf("waiting client: %.3f s CPU in %.2f s wait (%.2f %%)\n", c1 - c0, waited, (c1 - c0) / waited * 100);
  k.Send("L,0,");
  k.WaitExit(10000);
  return 0;
}
