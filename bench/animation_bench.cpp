// The animation beside plain stepping: a 1000 x 1000 case of 101 outputs shown by
// Display_ZELTRA -g in a real kornd. First 100 moves to the next output (1 0 0, each finished
// redraw reported by 0 24 0): seconds per step and the display's CPU time. Then, back on
// output 1, the display time set to 0.1 s through the settings form (answered through the
// server's input FIFO) and the animation up to the last output (code 19, 100 pictures):
// pictures per second and the display's CPU time over the run.
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "bench/Display_Steps.h"
#include "tests/Server_Answers.h"

using namespace bench;

int main() {
  Scratch_Folder dir, streams;
  std::printf("Writing a 1000 x 1000 case of 101 outputs...\n");
  WRITE_STEP_CASE(dir);
  const std::string fifo = streams / "input";
  ::mkfifo(fifo.c_str(), 0600);

  Display_Session session(dir, {"-g", "-f", "Case_phas.zlt"}, {"KORND_TEST_INPUT=" + fifo});
  if (!session.server_started) {
    std::fprintf(stderr, "kornd did not start\n");
    return 1;
  }
  Answer_Feeder feeder(session.server, fifo);
  STEP(session, "");  // the start-up and the first redraw
  constexpr int Steps = 100;
  const Step_Figures steps = STEP_OUTPUTS(session, Steps, [](int) {});
  STEP(session, "1 0 0\n");  // from output 101 round to output 1

  for (const Pop_Up_Action& a : pop_up_answers::TWO_VALUES("0.1", "1")) feeder.Act(a);
  STEP(session, "0 20 0\n");
  if (feeder.Pending() != 0) {
    std::fprintf(stderr, "the settings form was not answered\n");
    return 1;
  }
  const double cpu_before = cpu_seconds(session.pid());
  const auto t0 = Clock::now();
  SEND_AND_WAIT(session, "0 19 0\n", "End of animation");
  const double animation_seconds = seconds_since(t0);
  const double animation_cpu = cpu_seconds(session.pid()) - cpu_before;
  session.RUN("0 129 0\n");

  const double steps_per_second = 1.0 / steps.seconds_per_step;
  const double pictures_per_second = Steps / animation_seconds;
  const double goal = std::min(10.0, steps_per_second);
  std::printf("%d steps of 1 0 0: %.2f ms per step, %.1f steps per second, display CPU %.3f s\n", Steps,
              steps.seconds_per_step * 1e3, steps_per_second, steps.cpu_seconds);
  std::printf("animation (code 19, display time 0.1 s) of %d pictures: %.3f s, %.2f pictures per second, "
              "display CPU %.3f s\n",
              Steps, animation_seconds, pictures_per_second, animation_cpu);
  std::printf("pictures per second / min(10, steps per second) = %.3f (goal: 0.95 to 1.05)\n",
              pictures_per_second / goal);
  std::printf("animation CPU / stepping CPU = %.3f (goal: at most 1.10)\n",
              steps.cpu_seconds > 0 ? animation_cpu / steps.cpu_seconds : 0.0);
  return 0;
}
