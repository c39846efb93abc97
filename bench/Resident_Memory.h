// Resident memory of a process, for benchmarks that report what a run keeps.
#pragma once

#include <sys/types.h>

#include <fstream>
#include <string>

// In kB (0 when unknown).
inline long RESIDENT_KB(pid_t pid) {
  std::ifstream f("/proc/" + std::to_string(pid) + "/status");
  std::string key;
  long value = 0;
  while (f >> key) {
    if (key == "VmRSS:") return (f >> value) ? value : 0;
    f.ignore(1 << 12, '\n');
  }
  return 0;
}
