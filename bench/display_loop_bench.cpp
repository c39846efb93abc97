// The display's step through outputs: a 1000 x 1000 case of 101 outputs shown by
// Display_ZELTRA -g in a real kornd, 100 moves to the next output (1 0 0), each followed by
// 0 24 0 whose console line tells that the move's redraw is finished. Prints the time per step,
// steps per second, the display's CPU time and the server's resident memory after steps 1 and
// 100; then, in the same run, one 1000 x 1000 bitmap through the raw channel (B 20, B 36
// pieces, D 5) and one read of an output in process, the two costs a step is made of. Last,
// the server's memory over a long session of three such files side by side (-m3, panels
// redrawn without clearing the window): 300 steps, each redrawing all three panels, with the
// server's resident memory after step 300 against its value after step 10.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "bench/Resident_Memory.h"
#include "bench/Display_Steps.h"
#include "main/Console.h"
#include "main/Globals.h"
#include "result_files/Read_GeoF.h"
#include "result_files/Read_Results.h"

namespace {

using namespace bench;

std::uint32_t request(Kornd_Server& k, channel::KRwinblock& b, char letter, int code, std::vector<int> a) {
  b.code = code;
  for (std::size_t i = 0; i < 6; ++i) b.a[i] = i < a.size() ? a[i] : 0;
  return k.Send(std::string{letter, '!'});
}

// One 1000 x 1000 bitmap through a server of its own: seconds, or -1.
double raw_bitmap_seconds() {
  Kornd_Server k;
  if (!k.Start() || k.Send("I,0,1000,1000,0,19,5,bench") != 1) return -1;
  platform::Shared_Block holder;
  channel::KRwinblock* b = k.MapWindow(1, holder);
  if (b == nullptr) return -1;
  std::vector<std::uint32_t> v(1000u * 1000u);
  for (std::size_t i = 0; i < v.size(); ++i) v[i] = static_cast<std::uint32_t>(i * 2654435761u) & 0xFFFFFF;
  const int bytes = static_cast<int>(v.size() * 4);
  const auto t0 = Clock::now();
  if (request(k, *b, 'B', 20, {bytes}) != 1) return -1;
  const char* src = reinterpret_cast<const char*>(v.data());
  for (int at = 0; at < bytes; at += int(channel::Data_Size)) {
    const int piece = std::min(int(channel::Data_Size), bytes - at);
    std::memcpy(b->data, src + at, static_cast<std::size_t>(piece));
    if (request(k, *b, 'B', 36, {at, piece}) != 1) return -1;
  }
  if (request(k, *b, 'D', 5, {1, 32, 1000, 1000}) != 1) return -1;
  return seconds_since(t0);
}

// One read of the next output of the case, in process: seconds.
double output_read_seconds(const Scratch_Folder& dir) {
  std::ostringstream quiet;
  SET_CONSOLE_STREAM(&quiet);
  auto& r = Result_Set;
  r.Number_Of_Solutions = 1;
  r.Name_Solution.ALLOCATE({Bounds{1, 1}});
  r.Name_To_Be_Displayed.ALLOCATE({Bounds{1, 1}});
  r.Name_Solution(1) = dir / "Case_phas.zlt";
  r.Name_To_Be_Displayed(1) = "Case_phas.zlt";
  r.Geometry_File_Name = dir / "Case_geoF.zlt";
  r.Extrema_Mode = 2;  // the first output only: the read timed here is the step's
  Display_Field.Skip_Factor = 1;
  READ_GEOF();
  Command_State.Time_Step_Command = 1;
  READ_RESULTS();
  const auto t0 = Clock::now();
  READ_RESULTS();
  const double seconds = seconds_since(t0);
  CLOSE_RESULT_FILES();
  SET_CONSOLE_STREAM(nullptr);
  return seconds;
}

// Case_conc1.zlt and Case_frac.zlt beside the step case: the other two fields of the run.
void write_other_fields(const Scratch_Folder& dir) {
  sample::WRITE_RESULTS(dir / "Case_conc1.zlt", sample::Encoding::Single, sample::GRAIN_GROWTH(1000, 1000, 11, 1));
  sample::WRITE_RESULTS(dir / "Case_frac.zlt", sample::Encoding::Single, sample::GRAIN_GROWTH(1000, 1000, 11, 2));
}

struct Long_Session {
  long after_10 = 0, after_last = 0;
};

// Steps of the three-file display; auto-replot is switched on and off again after each move,
// whose second report tells that the move's redraw is finished.
Long_Session long_session_memory(const Scratch_Folder& dir, int steps) {
  Display_Session session(dir, {"-g", "-m3", "Case_phas.zlt", "Case_conc1.zlt", "Case_frac.zlt"});
  Long_Session figures;
  if (!session.server_started) return figures;
  STEP(session, "0 24 0\n");
  for (int i = 1; i <= steps; ++i) {
    SEND_AND_WAIT(session, "1 0 0\n0 24 0\n0 24 0\n", "'Auto-replot' off");
    if (i == 10) figures.after_10 = RESIDENT_KB(session.server.pid());
  }
  figures.after_last = RESIDENT_KB(session.server.pid());
  session.RUN("0 129 0\n");
  return figures;
}

}  // namespace

int main() {
  Scratch_Folder dir;
  std::printf("Writing a 1000 x 1000 case of 101 outputs...\n");
  WRITE_STEP_CASE(dir);

  Display_Session session(dir, {"-g", "-f", "Case_phas.zlt"});
  if (!session.server_started) {
    std::fprintf(stderr, "kornd did not start\n");
    return 1;
  }
  STEP(session, "");  // the start-up and the first redraw
  constexpr int Steps = 100;
  long memory_after_first = 0;
  const Step_Figures figures = STEP_OUTPUTS(session, Steps, [&](int i) {
    if (i == 1) memory_after_first = RESIDENT_KB(session.server.pid());
  });
  const double per_step = figures.seconds_per_step;
  const long memory_after_last = RESIDENT_KB(session.server.pid());
  const double cpu = figures.cpu_seconds;
  session.RUN("0 129 0\n");

  const double bitmap = raw_bitmap_seconds();
  const double read = output_read_seconds(dir);
  std::printf("%d steps of 1 0 0 with a 1000 x 1000 field: %.2f ms per step (command to finished redraw), "
              "%.1f steps per second\n",
              Steps, per_step * 1e3, 1.0 / per_step);
  std::printf("  display CPU time: %.2f ms per step\n", cpu / Steps * 1e3);
  std::printf("  server resident memory: %ld kB after step 1, %ld kB after step %d\n", memory_after_first,
              memory_after_last, Steps);
  std::printf("one 1000 x 1000 bitmap through the raw channel: %.2f ms; one output read: %.2f ms\n", bitmap * 1e3,
              read * 1e3);
  std::printf("step / raw bitmap: %.2f (goal: at most 1.5)\n", per_step / bitmap);

  std::printf("Writing two more fields of the case (11 outputs each)...\n");
  write_other_fields(dir);
  constexpr int Long_Steps = 300;
  const Long_Session long_run = long_session_memory(dir, Long_Steps);
  if (long_run.after_10 <= 0) {
    std::fprintf(stderr, "the three-file session did not run\n");
    return 1;
  }
  std::printf("%d steps of three 1000 x 1000 files side by side: server resident memory %ld kB after step 10, "
              "%ld kB after step %d\n",
              Long_Steps, long_run.after_10, long_run.after_last, Long_Steps);
  std::printf("server memory after step %d / after step 10: %.3f (goal: at most 1.10)\n", Long_Steps,
              static_cast<double>(long_run.after_last) / static_cast<double>(long_run.after_10));
  return 0;
}
