// Animate.cpp - see Animate.h.
//
// Reads and writes Display_Settings (Display_Time, Number_Of_Loops) and Command_State
// (Command_Code, Time_Step_Command); reads Result_Set (Number_Of_Solutions, Time_Step_Number).

#include "display/Animate.h"

#include <cpgplot.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

#include "display/Manage_Display.h"
#include "records/Command_Codes.h"
#include "records/Console.h"
#include "records/Globals.h"
#include "result_files/Read_GeoF.h"
#include "result_files/Read_Results.h"
#include "text/Fortran_Format.h"
#include "text/Free_Form.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr float Shortest_Display_Time = 0.1f;
constexpr std::size_t Field_Length = 10;

std::string display_time_text(float seconds) { return FORMAT_LINE("(F5.2)", {seconds}); }

void edit_settings() {
  auto& d = Display_Settings;
  std::array<Text_Field, 2> values = ANIMATION_SETTINGS_FIELDS();
  READ_TWO_STRINGS("\\fiAnimation settings", {"\\fiDisplay time (s):", "\\fiNumber of loops: "}, values);
  // A time that is not finite would leave no deadline to wait for.
  float seconds = 0.0f;
  if (READ_REAL_FROM_TEXT(values[0].text, seconds) == Free_Form_Status::Ok && std::isfinite(seconds))
    d.Display_Time = std::max(seconds, Shortest_Display_Time);
  std::int32_t loops = 0;
  if (READ_INTEGER_FROM_TEXT(values[1].text, loops) == Free_Form_Status::Ok) d.Number_Of_Loops = loops;
}

// The next output of every file, drawn inside a plotting buffer (whose end shows it on devices
// that hold pictures back).
void draw_next_output() {
  READ_RESULTS();
  cpgbbuf();
  MANAGE_DISPLAY();
}

bool some_file_ends() {
  for (std::int32_t k = 1; k <= Result_Set.Number_Of_Solutions; ++k)
    if (CHECK_END(Geometry_Unit + k)) return true;
  return false;
}

// Sleeps until more than `seconds` have passed since t0 and returns the clock then. The wait
// is counted in seconds of double range and slept in bounded pieces, so no deadline can
// overflow the clock's count: an enormous time waits (as good as) forever.
Clock::time_point wait_past(Clock::time_point t0, double seconds) {
  constexpr double Longest_Sleep = 3600.0;
  for (;;) {
    const Clock::time_point now = Clock::now();
    const double left = seconds - std::chrono::duration<double>(now - t0).count();
    if (left < 0.0) return now;
    std::this_thread::sleep_for(std::chrono::duration<double>(std::min(left, Longest_Sleep)) +
                                std::chrono::nanoseconds(1));
  }
}

}  // namespace

std::array<Text_Field, 2> ANIMATION_SETTINGS_FIELDS() {
  const auto& d = Display_Settings;
  return {Text_Field{display_time_text(d.Display_Time), Field_Length},
          Text_Field{FORMAT_LINE("(I5)", {std::int64_t{d.Number_Of_Loops}}), Field_Length}};
}

void ANIMATE() {
  switch (Command_State.Command_Code) {
    case Command::Animate_Loops:
    case Command::Animate_Until_End:
      ANIMATION_RUN();
      break;
    case Command::Animation_Settings:
      edit_settings();
      break;
    default:
      break;
  }
}

void ANIMATION_RUN() {
  const auto& d = Display_Settings;
  auto& command = Command_State;
  const bool until_end = command.Command_Code == Command::Animate_Until_End;
  const std::int32_t start = Result_Set.Time_Step_Number(1);
  std::int32_t passes = 0;

  CONSOLE_EMPTY();
  CONSOLE_LINE("(Minimal) display time for each image:" + display_time_text(d.Display_Time) + " s");
  if (!until_end)
    CONSOLE_LINE("Animation stops after" + FORMAT_LINE("(I2)", {std::int64_t{d.Number_Of_Loops}}) + " loops");
  CONSOLE_FLUSH();

  // The window shows each picture as it is drawn, so the wait stands before the next one is
  // drawn. Counted from the start of the drawing before, it lets the pictures follow each other
  // no faster than the display time, and at once when drawing takes longer.
  command.Time_Step_Command = 1;
  Clock::time_point t0 = Clock::now();
  draw_next_output();
  do {
    cpgebuf();
    if (until_end && some_file_ends()) break;
    t0 = wait_past(t0, d.Display_Time);
    draw_next_output();
    if (Result_Set.Time_Step_Number(1) == start) ++passes;
  } while (passes < d.Number_Of_Loops);
  cpgebuf();
  CONSOLE_LINE("End of animation");
  CONSOLE_EMPTY();
  command.Command_Code = Command::Replot;
}
