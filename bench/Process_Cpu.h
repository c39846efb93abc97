// Process_Cpu.h - a process's CPU time and minor page faults from /proc, for benchmarks that
// report what another process (the server, the display) spent; the calling thread's CPU time.
#pragma once

#include <time.h>  // clock_gettime
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

namespace bench {

// The fields of /proc/<pid>/stat after the command name (field 3 is [0]); empty when unknown.
inline std::vector<std::string> stat_fields(pid_t pid) {
  std::ifstream f("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(f)), {});
  const std::size_t close = text.rfind(')');
  std::vector<std::string> fields;
  if (close == std::string::npos) return fields;
  std::string field;
  for (std::size_t i = close + 2; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == ' ') {
      fields.push_back(field);
      field.clear();
    } else {
      field += text[i];
    }
  }
  return fields;
}

// User and system CPU seconds of a process.
inline double cpu_seconds(pid_t pid) {
  const std::vector<std::string> fields = stat_fields(pid);
  if (fields.size() < 13) return 0;
  return (std::stod(fields[11]) + std::stod(fields[12])) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// The calling thread's CPU seconds so far, to the nanosecond.
inline double thread_cpu_seconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Minor page faults of a process so far.
inline long minor_faults(pid_t pid) {
  const std::vector<std::string> fields = stat_fields(pid);
  return fields.size() < 8 ? 0 : std::stol(fields[7]);
}

}  // namespace bench
