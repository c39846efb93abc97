// Pieces the display benchmarks share: the 1000 x 1000 case of 101 outputs, a process's CPU
// time, and stepping Display_ZELTRA -g through outputs, each move followed by 0 24 0 whose
// console line tells that the move's redraw is finished.
#pragma once

#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/Process_Cpu.h"
#include "tests/main/Display_Session.h"
#include "tools/Sample_Case.h"

namespace bench {

using Clock = std::chrono::steady_clock;
inline double seconds_since(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

// Case_geoF.zlt and Case_phas.zlt: 1000 x 1000 cells, 101 outputs.
inline void WRITE_STEP_CASE(const Scratch_Folder& dir) {
  sample::WRITE_GEOMETRY(dir / "Case_geoF.zlt", sample::Encoding::Single, sample::GRID(1000, 1, 1000, 1e-4));
  sample::WRITE_RESULTS(dir / "Case_phas.zlt", sample::Encoding::Single, sample::GRAIN_GROWTH(1000, 1000, 101, 0));
}

inline std::size_t count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// Sends the commands, then waits until the console holds `text` once more than before.
inline void SEND_AND_WAIT(Display_Session& session, const std::string& commands, const std::string& text) {
  const std::size_t before = count(session.CONSOLE(), text);
  session.SEND(commands);
  while (count(session.CONSOLE(), text) == before) std::this_thread::sleep_for(std::chrono::microseconds(200));
}

// The commands and a redraw after them, finished.
inline void STEP(Display_Session& session, const std::string& commands) {
  SEND_AND_WAIT(session, commands + "0 24 0\n", "'Auto-replot' o");
}

struct Step_Figures {
  double seconds_per_step = 0, cpu_seconds = 0, server_cpu_seconds = 0;
  long faults = 0, server_faults = 0;  // minor page faults over the steps
};

// `steps` moves to the next output, timed, with the display's and the server's CPU time over
// them; after_each is called after every move with its number.
template <typename After_Each>
Step_Figures STEP_OUTPUTS(Display_Session& session, int steps, After_Each after_each) {
  const double cpu_before = cpu_seconds(session.pid());
  const double server_before = cpu_seconds(session.server.pid());
  const long faults_before = minor_faults(session.pid()), server_faults_before = minor_faults(session.server.pid());
  const auto t0 = Clock::now();
  for (int i = 1; i <= steps; ++i) {
    STEP(session, "1 0 0\n");
    after_each(i);
  }
  Step_Figures f;
  f.seconds_per_step = seconds_since(t0) / steps;
  f.cpu_seconds = cpu_seconds(session.pid()) - cpu_before;
  f.server_cpu_seconds = cpu_seconds(session.server.pid()) - server_before;
  f.faults = minor_faults(session.pid()) - faults_before;
  f.server_faults = minor_faults(session.server.pid()) - server_faults_before;
  return f;
}

}  // namespace bench
