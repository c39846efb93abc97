// Exports of one 2000 x 2000 field: the raster table of every cell and the contour list of
// a sine pattern at c = 0 with two results; each against the system Python's numpy
// savetxt("%15.5E") and matplotlib contour (vertices by savetxt) of the same data, when
// those are installed.

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/System_Python.h"
#include "records/Globals.h"
#include "result_files/Display_Arrays.h"
#include "probes/Write_Array.h"
#include "probes/Write_Contour.h"
#include "text/Exponent_Field.h"

namespace {

constexpr int N = 2000;

double seconds_of(const auto& run) {
  const auto start = std::chrono::steady_clock::now();
  run();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

float pattern(int x, int y) { return std::sin(0.05f * static_cast<float>(x)) * std::sin(0.05f * static_cast<float>(y)); }

}  // namespace

int main() {
  const auto dir = std::filesystem::temp_directory_path() / ("export_bench_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  auto& r = Result_Set;
  r.Number_Of_Solutions = 2;
  for (auto* a : {&r.Time, &r.Current_Min, &r.Current_Max}) a->ALLOCATE({Bounds{1, 2}});
  r.Name_To_Be_Displayed.ALLOCATE({Bounds{1, 2}});
  r.Name_To_Be_Displayed(1) = "a", r.Name_To_Be_Displayed(2) = "b";
  Result_Geometry.AnzX = N, Result_Geometry.AnzY = N, Result_Geometry.AnzZ = 1;
  Result_Geometry.Grid_Spacing = 1.0e-4f;
  Display_Field.Cut_Direction = 1, Display_Field.Cut_Index = 1;
  ALLOCATE_ARRAYS();
  auto& a = Display_Field.Array_to_be_displayed;
  for (int k = 1; k <= 2; ++k)
    for (int y = 1; y <= N; ++y)
      for (int x = 1; x <= N; ++x) a(k, x, y) = k * pattern(x, y);
  const std::string table = (dir / "table.txt").string(), list = (dir / "list.txt").string();
  const double t_table = seconds_of([&] { WRITE_ARRAY(table, 1, N, N, a.ADDRESS(1, 1, 1), N); });
  const double t_list = seconds_of([&] { WRITE_OUT_CONTOUR(0.0f, list); });
  std::printf("raster table %d x %d, k = 1: %.3f s (%.1f MB)\n", N, N, t_table,
              static_cast<double>(std::filesystem::file_size(table)) / 1e6);
  // The same lines formed in memory only: the rest is the file's writing and its sync to disk.
  std::string line;
  const double t_text = seconds_of([&] {
    for (int y = 1; y <= N; ++y) line.clear(), APPEND_EXPONENT_FIELDS(line, a.ADDRESS(1, 1, y), N, 1, Exponent_Field{});
  });
  std::printf("  of which forming the text: %.3f s\n", t_text);
  std::printf("contour list, c = 0, two results: %.3f s (%.1f MB)\n", t_list,
              static_cast<double>(std::filesystem::file_size(list)) / 1e6);
  const std::string script =
      "import time,numpy as np\n"
      "import matplotlib; matplotlib.use('Agg'); import matplotlib.pyplot as plt\n"
      "x=np.arange(1,2001,dtype=np.float32)*np.float32(0.05)\n"
      "a=(np.sin(x)[None,:]*np.sin(x)[:,None]).astype(np.float32)\n"
      "t=time.perf_counter(); np.savetxt('" + (dir / "np.txt").string() + "',a,fmt='%15.5E',delimiter=''); s=time.perf_counter()-t\n"
      "t=time.perf_counter(); cs=plt.contour(a,levels=[0.0]); v=np.concatenate([p for p in cs.allsegs[0]]) if cs.allsegs[0] else np.zeros((0,2))\n"
      "np.savetxt('" + (dir / "mpl.txt").string() + "',v); m=time.perf_counter()-t\n"
      "print('%.6f %.6f %d'%(s,m,len(v)))\n";
  const std::string peer = RUN_SYSTEM_PYTHON(script, dir);
  double t_savetxt = 0, t_matplotlib = 0;
  long vertices = 0;
  if (std::sscanf(peer.c_str(), "%lf %lf %ld", &t_savetxt, &t_matplotlib, &vertices) != 3) {
    std::puts("numpy or matplotlib not available");
  } else {
    std::printf("numpy savetxt: %.3f s; raster table at %.2f x its rate (goal >= 5)\n", t_savetxt, t_savetxt / t_table);
    std::printf("matplotlib contour + savetxt: %.3f s (%ld vertices); contour list at %.2f x its rate (goal >= 1)\n",
                t_matplotlib, vertices, t_matplotlib / t_list);
  }
  std::filesystem::remove_all(dir);
}
