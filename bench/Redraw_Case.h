// Redraw_Case.h - a 1000 x 1000 case made in memory (one field, or three with vectors and
// isolines) and the time of its full redraw (code 23) on an open PGPLOT unit or a device.
#pragma once

#include <cpgplot.h>

#include <chrono>
#include <cmath>
#include <string>

#include "display/Manage_Display.h"
#include "records/Globals.h"
#include "main/Initialise.h"
#include "result_files/Display_Arrays.h"

namespace bench {

constexpr int N = 1000;  // cells across and down
constexpr int Isolines = 9;

inline float concentration(int x, int y) { return static_cast<float>((x + y) % N) / N; }
inline float velocity_x(int, int y) { return std::sin(6.2831853f * static_cast<float>(y) / N); }
inline float velocity_y(int x, int) { return std::cos(6.2831853f * static_cast<float>(x) / N); }

// One file, or three with the vector components and 9 isolines evenly between the limits.
inline void make_case(bool overlays) {
  DEFAULT_SETTINGS();
  auto& r = Result_Set;
  const int files = overlays ? 3 : 1;
  r.Number_Of_Solutions = files;
  for (auto* a : {&r.Current_Min, &r.Current_Max, &r.Time}) a->ALLOCATE({Bounds{1, files}});
  r.Time_Step_Number.ALLOCATE({Bounds{1, files}});
  r.Name_To_Be_Displayed.ALLOCATE({Bounds{1, files}});
  Previous_Time_Stamp.ALLOCATE({Bounds{1, files}});
  const char* names[] = {"conc", "vx", "vy"};
  float (*fields[])(int, int) = {concentration, velocity_x, velocity_y};
  for (int k = 1; k <= files; ++k)
    r.Current_Min(k) = k == 1 ? 0.0f : -1.0f, r.Current_Max(k) = 1.0f, r.Time(k) = 12.5f,
    r.Name_To_Be_Displayed(k) = names[k - 1];
  Result_Geometry.AnzX = Result_Geometry.AnzY = N, Result_Geometry.AnzZ = 1;
  Display_Field.Cut_Direction = 1;
  ALLOCATE_ARRAYS();
  auto& f = Display_Field;
  for (int k = 1; k <= files; ++k)
    for (int y = 1; y <= N; ++y)
      for (int x = 1; x <= N; ++x) f.Array_to_be_displayed(k, x, y) = fields[k - 1](x, y);
  Display_Settings.Panel_Grid.Panels_Across = Display_Settings.Panel_Grid.Panels_Down = 1;
  if (!overlays) return;
  Vector_Settings.Vector_Mode = 1, Vector_Settings.Vector_Colour = 2;
  auto& iso = Isoline_Data;
  for (auto* a : {&iso.Display_Isolines, &iso.Display_Contours}) a->ALLOCATE({Bounds{1, files}});
  iso.Isoline_Number.ALLOCATE({Bounds{1, files}});
  iso.Isoline_values.ALLOCATE({Bounds{1, files}, Bounds{1, Isolines}});
  iso.Isoline_Number(1) = Isolines, iso.Display_Isolines(1) = true;
  for (int j = 1; j <= Isolines; ++j) iso.Isoline_values(1, j) = 1.0f - static_cast<float>(j) / (Isolines + 1);
}

// Mean ms of `repeats` redraws on an open unit, after one that makes what later ones reuse.
inline double redraw_ms(int unit, int repeats) {
  Graphics_Units.Unit_Display = Graphics_Units.Unit_Current = unit;
  cpgslct(unit);
  DIVIDE_DISPLAY(true);
  Command_State.Command_Code = 23;
  MANAGE_DISPLAY();
  const auto start = std::chrono::steady_clock::now();
  for (int k = 0; k < repeats; ++k) {
    Command_State.Command_Code = 23;
    MANAGE_DISPLAY();
  }
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / repeats;
}

inline double device_redraw_ms(const std::string& device, int repeats) {
  const int unit = cpgopen(device.c_str());
  if (unit <= 0) return -1.0;
  cpgask(0);
  const double ms = redraw_ms(unit, repeats);
  cpgclos();
  return ms;
}

}  // namespace bench
