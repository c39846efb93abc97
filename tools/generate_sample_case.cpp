// generate_sample_case FOLDER [NX NZ OUTPUTS]
// Writes a 2D phase-field case of grain growth into FOLDER, named as a simulation names its
// result set: the geometry file "Sample_geoF.zlt", the result files "Sample_phas.zlt" (phase
// index), "Sample_conc1.zlt" (concentration) and "Sample_frac.zlt" (fraction) in binary single
// precision, and gzip-compressed copies of all four in FOLDER/compressed. Writes nothing else.

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>

#include "tools/Sample_Case.h"

namespace {

constexpr const char* Usage =
    "usage: %s FOLDER [NX NZ OUTPUTS]\n"
    "Writes a sample case (default 200 x 150 cells, 10 outputs) into FOLDER:\n"
    "  Sample_geoF.zlt, Sample_phas.zlt, Sample_conc1.zlt, Sample_frac.zlt\n"
    "  and their gzip-compressed copies in FOLDER/compressed.\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
    std::printf(Usage, argv[0]);
    return 0;
  }
  // Never a case in a folder named like an option ("--hlep").
  if (argc >= 2 && argv[1][0] == '-') {
    std::fprintf(stderr, "%s: unknown option %s\n", argv[0], argv[1]);
    std::fprintf(stderr, Usage, argv[0]);
    return 2;
  }
  if (argc != 2 && argc != 5) {
    std::fprintf(stderr, Usage, argv[0]);
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
    const char* names[] = {"Sample_phas.zlt", "Sample_conc1.zlt", "Sample_frac.zlt"};
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
