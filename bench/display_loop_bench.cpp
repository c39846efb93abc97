// The display's step through outputs: a 1000 x 1000 case of 101 outputs shown by
// Display_ZELTRA -g in a real kornd, 100 moves to the next output (1 0 0), each followed by
// 0 24 0 whose console line tells that the move's redraw is finished. Prints the time per step,
// steps per second, the display's and the server's CPU time and the server's resident memory
// after steps 1 and 100; then, in the same run, the costs a step is made of: one 1000 x 1000
// bitmap through the raw channel (B 20 written in place, D 5; the median of 15), one read of an
// output and one redraw of a 1000 x 1000 field on /NULL, both in process. Then three fields at once (-m3, 21 outputs
// each). Beside both, the system Python's matplotlib stepping the same sizes with one figure it
// reuses (imshow's data replaced, the canvas drawn). Goals: step / (read + /NULL + bitmap)
// <= 1.2; one field 1.5 x as fast as matplotlib, three fields at least as fast. Last, the
// server's memory over a long session of three fields side by side (-m3, panels redrawn without
// clearing the window): 300 steps, with its resident memory after step 300 against step 10.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "bench/Raw_Bitmap.h"
#include "bench/Redraw_Case.h"
#include "bench/System_Python.h"
#include "bench/Resident_Memory.h"
#include "bench/Display_Steps.h"
#include "records/Console.h"
#include "records/Globals.h"
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
  // The median of several, as one send can meet the machine busy (or idle) by chance.
  std::vector<double> times;
  for (int i = 0; i < 15; ++i) {
    const auto t0 = Clock::now();
    if (!SEND_BITMAP(k, *b, in_place, 1, 1000, 1000, v)) return -1;
    times.push_back(seconds_since(t0));
  }
  std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
  return times[times.size() / 2];
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

// matplotlib stepping `panels` fields of 1000 x 1000 with one figure: seconds a step, or -1.
double matplotlib_step_seconds(const Scratch_Folder& dir, int panels) {
  const std::string script =
      "import time,numpy as np\n"
      "import matplotlib; matplotlib.use('Agg'); import matplotlib.pyplot as plt\n"
      "p=" + std::to_string(panels) + "; n=1000; steps=10\n"
      "rng=np.random.default_rng(1)\n"
      "fields=[rng.random((n,n),dtype=np.float32) for k in range(steps+1)]\n"
      "fig,axes=plt.subplots(1,p,figsize=(8*p,8),dpi=100,squeeze=False)\n"
      "ims=[a.imshow(fields[0],origin='lower') for a in axes[0]]\n"
      "for im,a in zip(ims,axes[0]): fig.colorbar(im,ax=a)\n"
      "fig.canvas.draw()\n"
      "t=time.perf_counter()\n"
      "for k in range(1,steps+1):\n"
      "  for im in ims: im.set_data(fields[k])\n"
      "  fig.canvas.draw()\n"
      "print('%.6f'%((time.perf_counter()-t)/steps))\n";
  const std::string out = RUN_SYSTEM_PYTHON(script, dir.path());
  return out.empty() ? -1.0 : std::atof(out.c_str());
}

// One in-process redraw of a 1000 x 1000 field on /NULL: seconds.
double null_redraw_seconds() {
  if (!std::getenv("PGPLOT_DIR")) {
    const auto bin = std::filesystem::canonical("/proc/self/exe").parent_path().string() + "/";
    setenv("PGPLOT_DIR", bin.c_str(), 1);
  }
  SET_CONSOLE_STREAM(nullptr);
  make_case(false);
  return device_redraw_ms("/NULL", 5) / 1e3;
}

// Steps of three fields at once (a case of its own, 21 outputs): seconds a step.
double three_field_step_seconds() {
  constexpr int Outputs = 21;
  Scratch_Folder dir;
  sample::WRITE_GEOMETRY(dir / "Case_geoF.zlt", sample::Encoding::Single, sample::GRID(1000, 1, 1000, 1e-4));
  const char* names[] = {"Case_phas.zlt", "Case_conc.zlt", "Case_frac.zlt"};
  for (int field = 0; field < 3; ++field)
    sample::WRITE_RESULTS(dir / names[field], sample::Encoding::Single, sample::GRAIN_GROWTH(1000, 1000, Outputs, field));
  Display_Session session(dir, {"-g", "-m3", names[0], names[1], names[2]});
  if (!session.server_started) return -1;
  STEP(session, "");
  const Step_Figures figures = STEP_OUTPUTS(session, Outputs - 1, [](int) {});
  session.RUN("0 129 0\n");
  return figures.seconds_per_step;
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
  const double null_draw = null_redraw_seconds();
  const double three = three_field_step_seconds();
  const double peer_one = matplotlib_step_seconds(dir, 1), peer_three = matplotlib_step_seconds(dir, 3);
  std::printf("%d steps of 1 0 0 with a 1000 x 1000 field: %.2f ms per step (command to finished redraw), "
              "%.1f steps per second\n",
              Steps, per_step * 1e3, 1.0 / per_step);
  std::printf("  display CPU time: %.2f ms per step (%.0f %% of the step); server CPU time: %.2f ms per step\n",
              cpu / Steps * 1e3, 100 * cpu / Steps / per_step, figures.server_cpu_seconds / Steps * 1e3);
  std::printf("  page faults per step: display %ld, server %ld\n", figures.faults / Steps, figures.server_faults / Steps);
  std::printf("  server resident memory: %ld kB after step 1, %ld kB after step %d\n", memory_after_first,
              memory_after_last, Steps);
  std::printf("one 1000 x 1000 bitmap through the raw channel: %.2f ms; one output read: %.2f ms; "
              "one redraw on /NULL: %.2f ms\n", bitmap * 1e3, read * 1e3, null_draw * 1e3);
  std::printf("step / (read + /NULL + bitmap): %.2f (goal <= 1.2)\n", per_step / (read + null_draw + bitmap));
  std::printf("three fields (-m3): %.2f ms per step, %.1f steps per second\n", three * 1e3, 1.0 / three);
  if (peer_one < 0 || peer_three < 0) {
    std::puts("matplotlib not available (/usr/bin/python3 with numpy and matplotlib)");
  } else {
    std::printf("matplotlib, one figure reused: one field %.2f ms, three fields %.2f ms a step\n", peer_one * 1e3,
                peer_three * 1e3);
    std::printf("one field: %.2f x as fast as matplotlib (goal >= 1.5); three fields: %.2f x (goal >= 1)\n",
                peer_one / per_step, peer_three / three);
  }

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
