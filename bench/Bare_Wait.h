// Bare_Wait.h - what a blocking wait for a reply costs the waiting thread on this machine, with
// nothing of ours in it: a socket pair of the channel's kind, a child that answers each packet,
// and the parent's CPU time from each packet's departure to its reply against that wall time.
#pragma once

#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

#include "bench/Process_Cpu.h"

namespace bench {

// The waiting thread's CPU time as a share of the waits' wall time over `trips` round trips;
// -1 when the pair or the child cannot be made.
inline double BARE_WAIT_CPU_SHARE(int trips) {
  int pair[2];
  if (socketpair(AF_UNIX, SOCK_SEQPACKET, 0, pair) != 0) return -1;
  const pid_t child = fork();
  if (child < 0) return -1;
  if (child == 0) {
    close(pair[0]);
    char packet[64];
    for (ssize_t n; (n = recv(pair[1], packet, sizeof packet, 0)) > 0;)
      if (send(pair[1], packet, 4, MSG_NOSIGNAL) != 4) break;
    _exit(0);
  }
  close(pair[1]);
  double cpu = 0, wall = 0;
  char packet[64] = "A request of a few dozen bytes, as most are";
  bool failed = false;
  for (int i = 0; i < trips && !failed; ++i) {
    failed = send(pair[0], packet, sizeof packet, MSG_NOSIGNAL) != sizeof packet;
    const double c0 = thread_cpu_seconds();
    const auto t0 = std::chrono::steady_clock::now();
    failed = failed || recv(pair[0], packet, sizeof packet, 0) != 4;
    cpu += thread_cpu_seconds() - c0;
    wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  }
  close(pair[0]);
  waitpid(child, nullptr, 0);
  return failed || wall <= 0 ? -1 : cpu / wall;
}

}  // namespace bench
