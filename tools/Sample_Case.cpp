// Sample-case writer: byte layouts of the geometry and result files (4-byte record
// framing around every binary record, cell x fastest, then y, then z).

#include "tools/Sample_Case.h"

#include <zlib.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace sample {
namespace {

bool big_endian(Encoding e) {
  return e == Encoding::Single_Big_Endian || e == Encoding::Double_Big_Endian;
}
bool double_precision(Encoding e) {
  return e == Encoding::Double || e == Encoding::Double_Big_Endian;
}

// Bytes of one binary file, in the file's byte order.
class Record_Writer {
 public:
  explicit Record_Writer(bool big) : big_(big) {}

  void begin() { start_ = bytes_.size(); put_u32(0); }
  void end() {
    std::uint32_t length = static_cast<std::uint32_t>(bytes_.size() - start_ - 4);
    patch_u32(start_, length);
    put_u32(length);
  }
  void put_u32(std::uint32_t v) { put(&v, 4); }
  void put_i32(std::int32_t v) { put(&v, 4); }
  void put_f32(float v) { put(&v, 4); }
  void put_f64(double v) { put(&v, 8); }
  void put_text(const std::string& text, std::size_t width) {
    std::string padded = text.substr(0, width);
    padded.resize(width, ' ');
    bytes_.insert(bytes_.end(), padded.begin(), padded.end());
  }
  const std::vector<unsigned char>& bytes() const { return bytes_; }

 private:
  void put(const void* p, std::size_t n) {
    unsigned char b[8];
    std::memcpy(b, p, n);
    if (big_) std::reverse(b, b + n);
    bytes_.insert(bytes_.end(), b, b + n);
  }
  void patch_u32(std::size_t at, std::uint32_t v) {
    unsigned char b[4];
    std::memcpy(b, &v, 4);
    if (big_) std::reverse(b, b + 4);
    std::memcpy(&bytes_[at], b, 4);
  }
  bool big_;
  std::size_t start_ = 0;
  std::vector<unsigned char> bytes_;
};

void write_file(const std::string& path, const void* data, std::size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("cannot create " + path);
  out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string quoted(const std::string& text) { return "'" + text + "'"; }

std::string real_text(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.9g", v);
  return buf;
}

}  // namespace

void WRITE_GEOMETRY(const std::string& path, Encoding encoding, const Geometry& g) {
  if (encoding == Encoding::Ascii) {
    std::string text = " " + std::to_string(g.nx) + " " + std::to_string(g.ny) + " " +
                       std::to_string(g.nz) + "\n " + real_text(g.spacing) + " " +
                       real_text(g.second) + " " + real_text(g.third) + "\n";
    if (g.info)
      for (const std::string& t : *g.info) text += " " + quoted(t) + "\n";
    write_file(path, text.data(), text.size());
    return;
  }
  Record_Writer w(big_endian(encoding));
  w.begin();
  w.put_i32(g.nx);
  w.put_i32(g.ny);
  w.put_i32(g.nz);
  for (double r : {g.spacing, g.second, g.third}) {
    if (double_precision(encoding))
      w.put_f64(r);
    else
      w.put_f32(static_cast<float>(r));
  }
  w.end();
  if (g.info) {
    w.begin();
    for (const std::string& t : *g.info) w.put_text(t, 10);
    w.end();
  }
  write_file(path, w.bytes().data(), w.bytes().size());
}

void WRITE_RESULTS(const std::string& path, Encoding encoding, const std::vector<Output>& outputs) {
  if (encoding == Encoding::Ascii) {
    std::string text;
    for (const Output& o : outputs) {
      std::int32_t cells = o.cells < 0 ? static_cast<std::int32_t>(o.values.size()) : o.cells;
      text += " " + real_text(static_cast<float>(o.time)) + " " + std::to_string(cells);
      for (std::size_t i = 0; i < o.values.size(); ++i) {
        text += (i % 5 == 0) ? "\n " : " ";
        text += real_text(static_cast<float>(o.values[i]));
      }
      text += "\n";
    }
    write_file(path, text.data(), text.size());
    return;
  }
  Record_Writer w(big_endian(encoding));
  for (const Output& o : outputs) {
    std::int32_t cells = o.cells < 0 ? static_cast<std::int32_t>(o.values.size()) : o.cells;
    w.begin();
    if (double_precision(encoding)) {
      w.put_f64(o.time);
      w.put_i32(cells);
      for (double v : o.values) w.put_f64(v);
    } else {
      w.put_f32(static_cast<float>(o.time));
      w.put_i32(cells);
      for (double v : o.values) w.put_f32(static_cast<float>(v));
    }
    w.end();
  }
  write_file(path, w.bytes().data(), w.bytes().size());
}

void GZIP_COPY(const std::string& source, const std::string& target) {
  std::ifstream in(source, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + source);
  gzFile out = gzopen(target.c_str(), "wb6");
  if (!out) throw std::runtime_error("cannot create " + target);
  std::vector<char> buffer(1 << 16);
  bool ok = true;
  while (ok && in) {
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    std::streamsize n = in.gcount();
    if (n > 0) ok = gzwrite(out, buffer.data(), static_cast<unsigned>(n)) == n;
  }
  if (in.bad()) ok = false;
  if (gzclose(out) != Z_OK) ok = false;
  if (!ok) {
    std::remove(target.c_str());
    throw std::runtime_error("cannot compress " + source + " into " + target);
  }
}

std::vector<Output> GRAIN_GROWTH(std::int32_t nx, std::int32_t nz, int outputs, int field) {
  // Grains nucleate at fixed seeds and grow at a constant speed into the melt; a cell
  // belongs to the nearest seed that has reached it (a Voronoi tessellation in the making).
  struct Seed {
    double x, z, start;
  };
  std::vector<Seed> seeds;
  std::uint32_t state = 12345u;
  auto next = [&state] {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) / 16777216.0;
  };
  const int seed_count = 12;
  for (int s = 0; s < seed_count; ++s)
    seeds.push_back({next() * nx, next() * nz * 0.6, next() * 0.4});  // grains start near the bottom
  const double speed = 0.75 * std::max(nx, nz);  // cells per unit of time
  std::vector<Output> result;
  for (int k = 1; k <= outputs; ++k) {
    double t = static_cast<double>(k) / outputs;
    Output o;
    o.time = t * 0.01;  // seconds
    o.values.resize(static_cast<std::size_t>(nx) * nz);
    for (std::int32_t z = 0; z < nz; ++z) {
      for (std::int32_t x = 0; x < nx; ++x) {
        int owner = 0;
        double front = -1e30;  // how far inside the nearest grain the cell lies
        for (int s = 0; s < seed_count; ++s) {
          double r = std::hypot(x - seeds[s].x, z - seeds[s].z);
          double reach = (t - seeds[s].start) * speed - r;
          if (reach > front) front = reach, owner = s + 1;
        }
        double fraction = std::clamp(0.5 + front / 4.0, 0.0, 1.0);  // diffuse interface
        double value = 0.0;
        switch (field) {
          case 0: value = fraction > 0.5 ? owner : 0; break;
          case 1: value = 0.05 + 0.10 * (1.0 - fraction) + 0.002 * owner * fraction; break;
          default: value = fraction; break;
        }
        o.values[static_cast<std::size_t>(z) * nx + x] = value;
      }
    }
    result.push_back(std::move(o));
  }
  return result;
}

}  // namespace sample
