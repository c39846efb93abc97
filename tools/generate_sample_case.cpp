// generate_sample_case FOLDER [NX NZ OUTPUTS]
// Writes a 2D phase-field case of grain growth into FOLDER: the geometry file
// "Sample_geoF.zlt", the result files "Sample_Phase.zlt", "Sample_Conc.zlt" and
// "Sample_Frac.zlt" in binary single precision, and gzip-compressed copies of all four
// in FOLDER/compressed.

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>

#include "tools/Sample_Case.h"

int main(int argc, char** argv) {
  if (argc != 2 && argc != 5) {
    std::fprintf(stderr, "usage: %s FOLDER [NX NZ OUTPUTS]\n", argv[0]);
    return 2;
  }
  int nx = 200, nz = 150, outputs = 10;
  if (argc == 5) {
    nx = std::atoi(argv[2]);
    nz = std::atoi(argv[3]);
    outputs = std::atoi(argv[4]);
    if (nx < 1 || nz < 1 || outputs < 1 || nx > 100000 || nz > 100000 || outputs > 10000) {
      std::fprintf(stderr, "%s: sizes out of range\n", argv[0]);
      return 2;
    }
  }
  namespace fs = std::filesystem;
  try {
    fs::path folder = argv[1];
    fs::create_directories(folder / "compressed");
    sample::Geometry geometry;
    geometry.nx = nx;
    geometry.ny = 1;
    geometry.nz = nz;
    geometry.spacing = 1.0e-4;
    geometry.info = {"3.4.1", "2026-11-02", "Sample", "Linux", "single"};
    const char* names[] = {"Sample_Phase.zlt", "Sample_Conc.zlt", "Sample_Frac.zlt"};
    sample::WRITE_GEOMETRY((folder / "Sample_geoF.zlt").string(), sample::Encoding::Single,
                           geometry);
    for (int field = 0; field < 3; ++field)
      sample::WRITE_RESULTS((folder / names[field]).string(), sample::Encoding::Single,
                            sample::GRAIN_GROWTH(nx, nz, outputs, field));
    for (const char* name : {"Sample_geoF.zlt", names[0], names[1], names[2]})
      sample::GZIP_COPY((folder / name).string(), (folder / "compressed" / name).string());
    std::printf("%s\n", folder.string().c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: %s\n", argv[0], e.what());
    return 1;
  }
  return 0;
}
