// The display's step through outputs: a 1000 x 1000 case of 101 outputs shown by
// Display_ZELTRA -g in a real kornd, 100 moves to the next output (1 0 0), each followed by
// 0 24 0 whose console line tells that the move's redraw is finished. Prints the time per step,
// steps per second, the display's CPU time and the server's resident memory after steps 1 and
// 100; then, in the same run, one 1000 x 1000 bitmap through the raw channel (B 20, B 36
// pieces, D 5) and one read of an output in process, the two costs a step is made of.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "bench/Raw_Bitmap.h"
#include "bench/Resident_Memory.h"
#include "bench/Display_Steps.h"
#include "main/Console.h"
#include "main/Globals.h"
#include "result_files/Read_GeoF.h"
#include "result_files/Read_Results.h"

namespace {

using namespace bench;

// One 1000 x 1000 bitmap through a server of its own, the way the client library sends it:
// seconds, or -1.
double raw_bitmap_seconds() {
  Kornd_Server k;
  if (!k.Start() || k.Send("I,0,1000,1000,0,19,5,bench") != 1) return -1;
  platform::Shared_Block holder;
  channel::KRwinblock* b = k.MapWindow(1, holder);
  if (b == nullptr) return -1;
  std::vector<std::uint32_t> v(1000u * 1000u);
  for (std::size_t i = 0; i < v.size(); ++i) v[i] = static_cast<std::uint32_t>(i * 2654435761u) & 0xFFFFFF;
  platform::Shared_Buffer in_place;
  if (!SEND_BITMAP(k, *b, in_place, 1, 1000, 1000, v)) return -1;  // the first maps the buffer
  const auto t0 = Clock::now();
  if (!SEND_BITMAP(k, *b, in_place, 1, 1000, 1000, v)) return -1;
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
  return 0;
}
