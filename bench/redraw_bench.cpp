// Full redraw (code 23) of a 1000 x 1000 single-file case with wedge and texts, to the null
// device, to a GIF file and into a kornd window (a server started offscreen unless a display
// is set), beside the channel time of the requests the window redraw sent (their count times
// the bare round trip). Goal: the window redraw within 1.5 x (/NULL redraw + channel time).
// Usage: redraw_bench [repeats]

#include <cpgplot.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "display/Manage_Display.h"
#include "korin_client/Client_State.h"
#include "korin_client/KRDRIV.h"
#include "korin_client/Korin.h"
#include "korin_client/Korin_Seams.h"
#include "platform/Request_Text.h"
#include "bench/Request_Kinds.h"
#include "main/Globals.h"
#include "main/Initialise.h"
#include "main/Tools_General.h"

namespace {

void make_case() {
  DEFAULT_SETTINGS();
  auto& r = Result_Set;
  r.Number_Of_Solutions = 1;
  for (auto* a : {&r.Current_Min, &r.Current_Max, &r.Time}) a->ALLOCATE({Bounds{1, 1}});
  r.Time_Step_Number.ALLOCATE({Bounds{1, 1}});
  r.Name_To_Be_Displayed.ALLOCATE({Bounds{1, 1}});
  Previous_Time_Stamp.ALLOCATE({Bounds{1, 1}});
  r.Current_Min(1) = 0.0f, r.Current_Max(1) = 1.0f, r.Time(1) = 12.5f, r.Name_To_Be_Displayed(1) = "conc";
  Result_Geometry.AnzX = Result_Geometry.AnzY = 1000, Result_Geometry.AnzZ = 1;
  Display_Field.Cut_Direction = 1;
  ALLOCATE_ARRAYS();
  auto& f = Display_Field;
  for (int y = 1; y <= 1000; ++y)
    for (int x = 1; x <= 1000; ++x) f.Array_to_be_displayed(1, x, y) = static_cast<float>((x + y) % 1000) / 1000.0f;
  Display_Settings.Panel_Grid.Panels_Across = Display_Settings.Panel_Grid.Panels_Down = 1;
}

double redraw_ms(const std::string& device, int repeats) {
  const int unit = cpgopen(device.c_str());
  if (unit <= 0) return -1.0;
  cpgask(0);
  Graphics_Units.Unit_Display = Graphics_Units.Unit_Current = unit;
  DIVIDE_DISPLAY(true);
  Command_State.Command_Code = 23;
  MANAGE_DISPLAY();  // the first redraw makes what later ones reuse
  const auto start = std::chrono::steady_clock::now();
  for (int k = 0; k < repeats; ++k) {
    Command_State.Command_Code = 23;
    MANAGE_DISPLAY();
  }
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / repeats;
  if (device != "/CKR") cpgclos();  // a window's close would ask its user: the connection ends below
  return ms;
}

// The bare round trip of a trivial window request on the client's connection, in ms.
double round_trip_ms() {
  channel::Request_Bytes bytes;
  channel::FORMAT_WINDOW_REQUEST(bytes, channel::Size, KRDRIV_WINDOW());
  KRblock(KRDRIV_WINDOW())->code = 1;
  std::uint32_t reply = 0;
  constexpr int Trips = 20000;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < Trips; ++i) KRstate().channel.SEND(bytes.text, bytes.length, reply);
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / Trips;
}

}  // namespace

int main(int argc, char** argv) {
  const int repeats = argc > 1 ? std::atoi(argv[1]) : 10;
  if (!std::getenv("PGPLOT_DIR")) {
    const auto bin = std::filesystem::canonical("/proc/self/exe").parent_path().string() + "/";
    setenv("PGPLOT_DIR", bin.c_str(), 1);
  }
  make_case();
  const std::string gif = (std::filesystem::temp_directory_path() / "zeltra_redraw_bench.gif").string();
  const double null_ms = redraw_ms("/NULL", repeats);
  std::printf("redraw 1000 x 1000, wedge and texts, /NULL: %.2f ms\n", null_ms);
  std::printf("redraw 1000 x 1000, wedge and texts, /GIF:  %.2f ms\n", redraw_ms(gif + "/GIF", repeats));
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  Request_Kinds kinds;
  const double window_ms = redraw_ms("/CKR", repeats);
  const double per_redraw = static_cast<double>(kinds.Requests()) / (repeats + 1);
  kinds.PrintSlowest(4, repeats + 1);
  const double trip = round_trip_ms();
  std::printf("redraw 1000 x 1000, wedge and texts, /CKR:  %.2f ms   %.0f requests, %.2f ms on the channel\n", window_ms,
              per_redraw, per_redraw * trip);
  std::printf("window / (/NULL + channel): %.2f (goal <= 1.5)\n", window_ms / (null_ms + per_redraw * trip));
  KRquitx(0);
  // Every page of the GIF device is a file of its own (name, name_2, ...).
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::temp_directory_path()))
    if (entry.path().filename().string().starts_with("zeltra_redraw_bench.gif")) std::filesystem::remove(entry.path());
  return 0;
}
