// Bare_Wait.h - what a blocking wait for a reply costs the waiting thread on this machine, with
// nothing of ours in it: a socket pair of the channel's kind, a child that answers each packet,
// and the parent's CPU time from each packet's departure to its reply against that wall time.
#pragma once

#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

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
  auto clock = [](clockid_t id) {
    timespec t{};
    clock_gettime(id, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
  };
  double cpu = 0, wall = 0;
  char packet[64] = "A request of a few dozen bytes, as most are";
  bool failed = false;
  for (int i = 0; i < trips && !failed; ++i) {
    failed = send(pair[0], packet, sizeof packet, MSG_NOSIGNAL) != sizeof packet;
    const double c0 = clock(CLOCK_THREAD_CPUTIME_ID), t0 = clock(CLOCK_MONOTONIC);
    failed = failed || recv(pair[0], packet, sizeof packet, 0) != 4;
    cpu += clock(CLOCK_THREAD_CPUTIME_ID) - c0, wall += clock(CLOCK_MONOTONIC) - t0;
  }
  close(pair[0]);
  waitpid(child, nullptr, 0);
  return failed || wall <= 0 ? -1 : cpu / wall;
}

}  // namespace bench
