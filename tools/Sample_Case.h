// Writer of simulation cases for the demo and the tests: geometry and result files in the
// encodings the display program reads (binary single or double precision in either byte
// order, ASCII), and whole-file gzip copies. Every failure throws std::runtime_error.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sample {

enum class Encoding { Single, Double, Ascii, Single_Big_Endian, Double_Big_Endian };

struct Geometry {
  std::int32_t nx = 1, ny = 1, nz = 1;
  double spacing = 1.0e-4;  // cell edge in cm
  double second = 0.0, third = 0.0;
  std::optional<std::array<std::string, 5>> info = std::nullopt;  // absent: the first record only
};

// nx x ny x nz cells of the given edge, without the simulation texts.
inline Geometry GRID(std::int32_t nx, std::int32_t ny, std::int32_t nz, double spacing, double second = 0,
                     double third = 0) {
  Geometry g;
  g.nx = nx, g.ny = ny, g.nz = nz, g.spacing = spacing, g.second = second, g.third = third;
  return g;
}

struct Output {
  double time = 0.0;
  std::vector<double> values;
  std::int32_t cells = -1;  // the count written; -1 writes values.size()
};

// Writes a geometry file.
void WRITE_GEOMETRY(const std::string& path, Encoding encoding, const Geometry& geometry);

// Writes a whole result file, one output record per entry.
void WRITE_RESULTS(const std::string& path, Encoding encoding, const std::vector<Output>& outputs);

// Writes one gzip member holding the whole content of source.
void GZIP_COPY(const std::string& source, const std::string& target);

// The outputs of a 2D grain-growth case on nx x nz cells (stored as x-z, ny = 1):
// field 0 is the phase index, field 1 a concentration, field 2 the phase fraction.
std::vector<Output> GRAIN_GROWTH(std::int32_t nx, std::int32_t nz, int outputs, int field);

}  // namespace sample
