// Full redraw (code 23) of a 1000 x 1000 single-file case with wedge and texts, to the null
// device and to a GIF file. The server's side waits for the window driver.
// Usage: redraw_bench [repeats]

#include <cpgplot.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "display/Manage_Display.h"
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
  const auto start = std::chrono::steady_clock::now();
  for (int k = 0; k < repeats; ++k) {
    Command_State.Command_Code = 23;
    MANAGE_DISPLAY();
  }
  cpgclos();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / repeats;
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
  std::printf("redraw 1000 x 1000, wedge and texts, /NULL: %.2f ms\n", redraw_ms("/NULL", repeats));
  std::printf("redraw 1000 x 1000, wedge and texts, /GIF:  %.2f ms\n", redraw_ms(gif + "/GIF", repeats));
  // Every page of the GIF device is a file of its own (name, name_2, ...).
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::temp_directory_path()))
    if (entry.path().filename().string().starts_with("zeltra_redraw_bench.gif")) std::filesystem::remove(entry.path());
  return 0;
}
