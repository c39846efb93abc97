// Read_Results: time-step moves, reading one output, the end test, the cut,
// sub-sampling and symmetry copy into the display slots, seeking, and the combined
// pictures of the display modes.
//
// Reads:   Command_State.Time_Step_Command, Result_Set (format, names, flags, limits,
//          Seek_Step), Result_Geometry, Display_Field settings, Display_Settings modes;
//          the result units 114..113+N.
// Writes:  Result_Set (Time, Time_Step_Number, Total_Time_Steps, Selected_Solutions,
//          Buffer_Array_*, Seek_Step, Seek_Reference_File), Display_Field
//          (Buffer_Array_Cut, every slot of Array_to_be_displayed). Time_Step_Command
//          ends as it was found (the seek dialogue restores it).
// Asks:    which files, and the output to seek, through the readers' dialogs (Reader_Dialogs.h).

#include "result_files/Read_Results.h"

#include <algorithm>
#include <cmath>    // std::round, std::floor
#include <cstdint>  // INT16_MIN
#include <cstdio>   // std::snprintf
#include <cstring>  // std::memcpy
#include <string>
#include <vector>

#include "records/Allocation_Checks.h"
#include "records/Console.h"
#include "records/Globals.h"
#include "result_files/Input_Layer.h"
#include "result_files/Module_Byteswap.h"
#include "result_files/Read_GeoF.h"
#include "result_files/Reader_Dialogs.h"
#include "text/Free_Form.h"

namespace {

enum class Outcome { Ok, End, Failed, Inconsistent };

[[noreturn]] void unrecognised_format() {
  CONSOLE_EMPTY(2);
  CONSOLE_LINE(" Unrecognised format!");
  CONSOLE_EMPTY(2);
  STOP_PROGRAM();
}

void framed(const std::string& line) {
  CONSOLE_EMPTY();
  CONSOLE_LINE(line);
  CONSOLE_EMPTY();
}

std::int64_t grid_cells() {
  const auto& g = Result_Geometry;
  return std::int64_t{g.AnzX} * g.AnzY * g.AnzZ;
}

float* single_values(std::int32_t i) { return Result_Set.Buffer_Array_Single.ADDRESS(i, 1, 1, 1); }
double* double_values(std::int32_t i) { return Result_Set.Buffer_Array_Double.ADDRESS(i, 1, 1, 1); }

// One framed output record in sequence: time, n and, unless header only, the values
// straight into the read buffer. Values of a record with another cell count are not
// loaded, so the buffer keeps the last consistent output.
template <typename Real>
Outcome read_sequential(Input_Stream& s, Real* values, bool header_only, float& time, std::int32_t& n) {
  const std::int64_t cells = grid_cells();
  const Read_Status begin = s.BEGIN_RECORD();
  if (begin != Read_Status::Ok) return begin == Read_Status::End_Of_File ? Outcome::End : Outcome::Failed;
  Real t;
  if (s.TAKE(&t, sizeof t) != Read_Status::Ok || s.TAKE_INTEGER(n) != Read_Status::Ok) return Outcome::Failed;
  if (s.MODE().big_endian) {
    if constexpr (sizeof(Real) == 4) CONVERT_SINGLE(t);
    else CONVERT_DOUBLE(t);
  }
  // Also a header-only read requires the values to be there, so that stepping over
  // outputs and reading them agree on which outputs are complete.
  const std::uint64_t bytes = static_cast<std::uint64_t>(cells) * sizeof(Real);
  if (s.PAYLOAD_LEFT() < bytes) {
    s.ABANDON_RECORD();
    return Outcome::Failed;
  }
  if (!header_only) {
    if (n == cells) {
      const Read_Status status = sizeof(Real) == 4 ? s.TAKE_REALS(reinterpret_cast<float*>(values), cells)
                                                   : s.TAKE_DOUBLES(reinterpret_cast<double*>(values), cells);
      if (status != Read_Status::Ok) return Outcome::Failed;
    }
  }
  time = static_cast<float>(t);
  if (n != cells) {
    s.ABANDON_RECORD();
    return Outcome::Inconsistent;
  }
  return s.END_RECORD() == Read_Status::Ok ? Outcome::Ok : Outcome::Failed;
}

// One ASCII output: time, n and the values in one read statement, always whole. The
// values land in the buffer only when the whole output was read.
Outcome read_text(Input_Stream& s, float* values, float& time, std::int32_t& n) {
  const std::int64_t cells = grid_cells();
  Free_Form_Reader* text = s.STATEMENT();
  const std::uint64_t start = s.STATEMENT_START();
  float t;
  Free_Form_Status status = text->READ_REAL(t);
  if (status == Free_Form_Status::End_Of_File) {
    s.SET_POSITION(start);
    return Outcome::End;
  }
  if (status == Free_Form_Status::Ok) status = text->READ_INTEGER(n);
  // Every value takes two characters at least (a digit and a separator): a file too short
  // for the values of an output cannot hold it, whatever its count says.
  const std::int64_t size = s.FILE_SIZE();
  if (status == Free_Form_Status::Ok && size >= 0 && (size - static_cast<std::int64_t>(start)) / 2 < cells)
    status = Free_Form_Status::Bad_Value;
  auto& scratch = Result_Set.Buffer_Array_Text;
  if (status == Free_Form_Status::Ok && scratch.SIZE() != cells) {
    CHECK_ALLOCATION_ERROR("Buffer array", scratch.ALLOCATE({Bounds{1, cells}}));
    CHECK_ALLOCATION_SIZE("Buffer array", scratch.SIZE(), cells);
  }
  for (std::int64_t k = 0; k < cells && status == Free_Form_Status::Ok; ++k) status = text->READ_REAL(scratch.data()[k]);
  if (status != Free_Form_Status::Ok) {
    s.SET_POSITION(start);  // an output still being written is read again later
    return Outcome::Failed;
  }
  time = t;
  if (n != cells) return Outcome::Inconsistent;
  std::memcpy(values, scratch.data(), static_cast<std::size_t>(cells) * sizeof(float));
  return Outcome::Ok;
}

// Record k of a file read by record number; the values only for a whole read and a
// consistent cell count, so a header-only read never touches the buffer.
template <typename Real>
Outcome read_direct(Input_Stream& s, std::int64_t record, Real* values, bool header_only, float& time,
                    std::int32_t& n) {
  const std::int64_t cells = grid_cells();
  unsigned char header[4 + sizeof(Real) + 4];
  if (s.READ_DIRECT(record, 0, header, sizeof header) != Read_Status::Ok) return Outcome::End;
  Real t;
  std::memcpy(&t, header + 4, sizeof t);
  std::memcpy(&n, header + 4 + sizeof(Real), 4);
  if constexpr (sizeof(Real) == 4) CONVERT_SINGLE(t);
  else CONVERT_DOUBLE(t);
  CONVERT_INTEGER(n);
  time = static_cast<float>(t);
  if (n != cells) return Outcome::Inconsistent;
  if (!header_only) {
    if (s.READ_DIRECT(record, sizeof header, values, static_cast<std::size_t>(cells) * sizeof(Real)) !=
        Read_Status::Ok)
      return Outcome::End;
    if constexpr (sizeof(Real) == 4) CONVERT_BLOCK_4(values, static_cast<std::size_t>(cells));
    else CONVERT_BLOCK_8(values, static_cast<std::size_t>(cells));
  }
  return Outcome::Ok;
}

}  // namespace

// ---------------------------------------------------------------- cut and symmetry
namespace {

// "%2d", or two asterisks when the number does not fit in two characters.
std::string two_characters(std::int32_t value) {
  if (value < -9 || value > 99) return "**";
  char text[4];
  std::snprintf(text, sizeof text, "%2d", value);
  return text;
}

// K(a, b) = the plane of file i's read buffer; a cut index outside the field copies
// nothing (the plane keeps what it held) instead of reading outside the buffer.
template <typename Real>
void cut_plane(const Bounded_Array<Real, 4>& buffer, std::int32_t i, Bounded_Array<float, 2>& plane) {
  const auto& g = Result_Geometry;
  const auto& f = Display_Field;
  const std::int64_t h = std::min<std::int64_t>(plane.EXTENT(0), f.Cut_Direction == 3 ? g.AnzY : g.AnzX);
  const std::int64_t v = std::min<std::int64_t>(plane.EXTENT(1), f.Cut_Direction == 1 ? g.AnzY : g.AnzZ);
  const std::int64_t nx = g.AnzX, ny = g.AnzY;
  const Real* field = &buffer(i, 1, 1, 1);
  float* out = plane.data();
  const std::int64_t row = plane.EXTENT(0);
  const std::int64_t index = f.Cut_Index - 1;
  // The plane's start in the field and its steps across (a) and down (b).
  std::int64_t origin = 0, step_a = 1, step_b = 0, depth = 0;
  switch (f.Cut_Direction) {
    case 1:  // x-y plane at z = Cut_Index
      origin = nx * ny * index, step_a = 1, step_b = nx, depth = g.AnzZ;
      break;
    case 2:  // x-z plane at y = Cut_Index
      origin = nx * index, step_a = 1, step_b = nx * ny, depth = g.AnzY;
      break;
    case 3:  // y-z plane at x = Cut_Index
      origin = index, step_a = nx, step_b = nx * ny, depth = g.AnzX;
      break;
    default:
      return;
  }
  if (index < 0 || index >= depth) return;
  for (std::int64_t b = 0; b < v; ++b) {
    const Real* from = field + origin + step_b * b;
    float* to = out + row * b;
    if (step_a == 1) {  // rows of the field: a contiguous copy the compiler vectorises
      for (std::int64_t a = 0; a < h; ++a) to[a] = static_cast<float>(from[a]);
    } else {
      for (std::int64_t a = 0; a < h; ++a) to[a] = static_cast<float>(from[step_a * a]);
    }
  }
}

// The display slot of one file as a plane D(x, y), x = 1..NX fastest.
struct Slot {
  float* d;
  std::int64_t nx, ny;
  float& operator()(std::int64_t x, std::int64_t y) const { return d[(x - 1) + nx * (y - 1)]; }
};

// Sub-sampled plane P(p, q) = K(1 + (p - 1) S, 1 + (q - 1) S).
struct Sampled {
  const float* k;
  std::int64_t h, v, s;
  float operator()(std::int64_t p, std::int64_t q) const { return k[(p - 1) * s + h * ((q - 1) * s)]; }
  bool covers(std::int64_t p, std::int64_t q) const {
    return p < 1 || q < 1 || (1 + (p - 1) * s <= h && 1 + (q - 1) * s <= v);
  }
};

// Master tile: D(x0 + p, y0 + q) = P(p, q); a single-row plane (rows == 1 while the slot
// was widened) repeats its row.
void master_tile(const Slot& d, const Sampled& p, std::int64_t x0, std::int64_t y0, std::int64_t width,
                 std::int64_t height, bool repeat_row) {
  for (std::int64_t q = 1; q <= height; ++q)
    for (std::int64_t k = 1; k <= width; ++k) d(x0 + k, y0 + q) = p(k, repeat_row ? 1 : q);
}

// Left third from the centre third (mirrored or translated), right third = left third,
// on rows y_from..y_to; t = NX / 3.
void fold_across(const Slot& d, std::int64_t y_from, std::int64_t y_to, bool mirror) {
  const std::int64_t t = d.nx / 3, two = 2 * d.nx / 3;
  for (std::int64_t y = y_from; y <= y_to; ++y) {
    for (std::int64_t x = 1; x <= t; ++x) d(x, y) = mirror ? d(two + 1 - x, y) : d(x + t, y);
    for (std::int64_t x = two + 1; x <= d.nx; ++x) d(x, y) = d(x - two, y);
  }
}

}  // namespace

static void CUT_AND_COPY(std::int32_t i) {
  auto& f = Display_Field;
  auto& r = Result_Set;
  switch (r.Result_Format) {
    case 1: case 3: case 4: case 6: cut_plane(r.Buffer_Array_Single, i, f.Buffer_Array_Cut); break;
    case 2: case 5: case 7: cut_plane(r.Buffer_Array_Double, i, f.Buffer_Array_Cut); break;
    default: unrecognised_format();
  }
  const std::int32_t mode = f.Symmetry_Mode;
  if (mode < 1 || mode > 4) {
    framed("'Symmetry': " + two_characters(mode) + " not recognised!");
    STOP_PROGRAM();
  }
  auto& display = f.Array_to_be_displayed;
  if (i < display.LOWER(0) || i > display.UPPER(0)) return;
  const Slot d{display.ADDRESS(i, 1, 1), display.EXTENT(1), display.EXTENT(2)};
  const Sampled p{f.Buffer_Array_Cut.data(), f.Buffer_Array_Cut.EXTENT(0), f.Buffer_Array_Cut.EXTENT(1),
                  std::max<std::int64_t>(f.Skip_Factor, 1)};
  if (d.nx == 0 || d.ny == 0 || p.h == 0 || p.v == 0) return;  // nothing to show
  const std::int64_t nx = d.nx, ny = d.ny;
  // Sub-sampled sizes of the plane; a count of 1 that the slot widened repeats its profile.
  const std::int64_t a = static_cast<std::int64_t>(std::floor(double(p.h) / p.s + 0.5));
  const std::int64_t b = static_cast<std::int64_t>(std::floor(double(p.v) / p.s + 0.5));
  const bool one_row = f.One_D_Display && b == 1;
  auto check_type = [&]() {
    if (f.Symmetry_Type != 1 && f.Symmetry_Type != 2) {
      framed("'Type of symmetry': " + two_characters(f.Symmetry_Type) + " not recognised!");
      STOP_PROGRAM();
    }
  };
  const bool mirror = f.Symmetry_Type == 1;

  switch (mode) {
    case 1:
      if (f.One_D_Display && a == 1) {  // one column widened across: every column the profile
        if (!p.covers(1, ny)) return;
        for (std::int64_t y = 1; y <= ny; ++y) {
          const float value = p(1, y);
          for (std::int64_t x = 1; x <= nx; ++x) d(x, y) = value;
        }
      } else {
        if (!p.covers(nx, one_row ? 1 : ny)) return;
        master_tile(d, p, 0, 0, nx, ny, one_row);
      }
      break;
    case 2: {
      const std::int64_t h = nx / 2, v = ny / 2;
      if (!p.covers(nx - h, ny - v)) return;
      master_tile(d, p, h, v, nx - h, ny - v, false);
      check_type();
      for (std::int64_t y = v + 1; y <= ny; ++y)
        for (std::int64_t x = 1; x <= h; ++x) d(x, y) = mirror ? d(nx + 1 - x, y) : d(x + h, y);
      for (std::int64_t y = 1; y <= v; ++y)
        for (std::int64_t x = 1; x <= nx; ++x) d(x, y) = mirror ? d(x, ny + 1 - y) : d(x, y + v);
      break;
    }
    case 3: {
      const std::int64_t t = nx / 3;
      if (!p.covers(2 * nx / 3 - t, one_row ? 1 : ny)) return;
      master_tile(d, p, t, 0, 2 * nx / 3 - t, ny, one_row);
      check_type();
      fold_across(d, 1, ny, mirror);
      break;
    }
    case 4: {
      const std::int64_t t = nx / 3, u = ny / 3, two_y = 2 * ny / 3;
      if (!p.covers(2 * nx / 3 - t, two_y - u)) return;
      std::fill(d.d, d.d + nx * ny, 0.0f);
      master_tile(d, p, t, u, 2 * nx / 3 - t, two_y - u, false);
      check_type();
      fold_across(d, u + 1, two_y, mirror);
      for (std::int64_t y = 1; y <= u; ++y)
        for (std::int64_t x = 1; x <= nx; ++x) d(x, y) = mirror ? d(x, two_y + 1 - y) : d(x, y + u);
      for (std::int64_t y = two_y + 1; y <= ny; ++y)
        for (std::int64_t x = 1; x <= nx; ++x) d(x, y) = d(x, y - two_y);
      break;
    }
  }
}

void READ_OUTPUT(std::int32_t i, float& time, bool& end, bool header_only) {
  auto& r = Result_Set;
  end = false;
  const std::int32_t code = r.Result_Format;
  if (code < 1 || code > 7) unrecognised_format();
  Input_Stream& s = UNIT(Geometry_Unit + i);
  float t = -666.0f;
  std::int32_t n = -666;
  Outcome outcome;
  switch (code) {
    case 1: case 6: outcome = read_sequential(s, single_values(i), header_only, t, n); break;
    case 2: case 7: outcome = read_sequential(s, double_values(i), header_only, t, n); break;
    case 3: outcome = read_text(s, single_values(i), t, n); break;
    case 4: outcome = read_direct(s, r.Time_Step_Number(i), single_values(i), header_only, t, n); break;
    default: outcome = read_direct(s, r.Time_Step_Number(i), double_values(i), header_only, t, n); break;
  }
  switch (outcome) {
    case Outcome::Ok:
      time = t;
      break;
    case Outcome::End:
      end = true;
      break;
    case Outcome::Failed:
      if (r.Time_Step_Number(i) == 0) {
        framed("Unable to read from file " + r.Name_Solution(i));
        STOP_PROGRAM();
      }
      framed("Trailing data ingored in file " + r.Name_Solution(i));
      end = true;
      break;
    case Outcome::Inconsistent:
      time = t;
      CONSOLE_EMPTY();
      CONSOLE_LINE("Inconsistent geometry " + r.Name_Solution(i));
      CONSOLE_LINE(" (can be due to a wrong format specification)");
      CONSOLE_EMPTY();
      end = true;
      break;
  }
  if (!end) {
    if (r.Sequential_Reading) ++r.Time_Step_Number(i);
    r.Total_Time_Steps(i) = std::max(r.Total_Time_Steps(i), r.Time_Step_Number(i));
  } else {
    r.Total_Time_Steps(i) = r.Sequential_Reading ? r.Time_Step_Number(i) : r.Time_Step_Number(i) - 1;
  }
}

bool CHECK_END(int unit) {
  auto& r = Result_Set;
  const std::int32_t i = unit - Geometry_Unit;
  const std::int32_t code = r.Result_Format;
  if (code < 1 || code > 7) unrecognised_format();
  Input_Stream& s = UNIT(unit);
  const std::int64_t cells = grid_cells();
  bool retried = false;
  for (;;) {
    bool at_end = false, failed = false;
    double time = 0.0;
    std::int32_t n = -666;
    std::uint64_t position = s.POSITION();
    if (code == 4 || code == 5) {
      float t;
      const Outcome outcome = code == 4
                                  ? read_direct<float>(s, std::int64_t{r.Time_Step_Number(i)} + 1, nullptr, true, t, n)
                                  : read_direct<double>(s, std::int64_t{r.Time_Step_Number(i)} + 1, nullptr, true, t, n);
      failed = outcome == Outcome::End;
      time = t;
    } else if (code == 3) {
      Free_Form_Reader* text = s.STATEMENT();
      float t = 0.0f;
      Free_Form_Status status = text->READ_REAL(t);
      if (status == Free_Form_Status::Ok) status = text->READ_INTEGER(n);
      at_end = status == Free_Form_Status::End_Of_File;
      failed = status != Free_Form_Status::Ok && !at_end;
      time = t;
      position = s.STATEMENT_START();
    } else {
      const Read_Status begin = s.BEGIN_RECORD();
      at_end = begin == Read_Status::End_Of_File;
      bool ok = begin == Read_Status::Ok;
      if (ok && (code == 1 || code == 6)) {
        float t;
        ok = s.TAKE_REAL(t) == Read_Status::Ok;
        time = t;
      } else if (ok) {
        ok = s.TAKE_DOUBLE(time) == Read_Status::Ok;
      }
      ok = ok && s.TAKE_INTEGER(n) == Read_Status::Ok;
      failed = !ok && !at_end;
    }
    if (r.Sequential_Reading) {
      if (failed && r.Time_Step_Number(i) == 0) {
        framed(" Unable to read from file " + r.Name_Solution(i));
        STOP_PROGRAM();
      }
      s.SET_POSITION(position);  // back over the record just read
    }
    const bool answer = at_end || failed || n != cells || std::round(time) < 0.0;
    if (!r.Sequential_Reading) {
      if (answer && !retried && !r.Compressed_Results) {
        // Outputs appended since the open: look again at the file under its name.
        s.REOPEN(r.Name_Solution(i));
        retried = true;
        continue;
      }
      return answer;
    }
    r.Total_Time_Steps(i) = answer ? std::min(r.Total_Time_Steps(i), r.Time_Step_Number(i))
                                   : std::max(r.Total_Time_Steps(i), r.Time_Step_Number(i));
    return answer;
  }
}

void READ_RESULT(std::int32_t i) {
  auto& r = Result_Set;
  const int unit = Geometry_Unit + i;
  static float Read_Time = -666.0f;
  static bool End_Of_File_Flag = false;

  auto CTN_REWIND = [&]() {
    if (!UNIT(unit).REWIND()) {
      CONSOLE_EMPTY(2);
      CONSOLE_LINE(" Unable to 'rewind'!");
      CONSOLE_EMPTY(2);
      STOP_PROGRAM();
    }
    r.Time_Step_Number(i) = 0;
  };
  auto CTN_BACKSPACE = [&]() {
    if (!UNIT(unit).BACKSPACE()) {
      CONSOLE_EMPTY(2);
      CONSOLE_LINE(" Unable to 'backspace'!");
      CONSOLE_EMPTY(2);
      STOP_PROGRAM();
    }
    --r.Time_Step_Number(i);
  };
  auto read_whole = [&]() { READ_OUTPUT(i, Read_Time, End_Of_File_Flag, false); };
  auto read_header = [&]() { READ_OUTPUT(i, Read_Time, End_Of_File_Flag, true); };
  auto refresh = [&]() {
    if (r.Compressed_Results) ZIPPED_FILES(4);
  };

  const bool sequential = r.Sequential_Reading;
  std::int32_t c = Command_State.Time_Step_Command;
  bool whole_read = false;
  for (bool moving = true; moving;) {
    moving = false;
    switch (c) {
      case -2: case -4:  // first
        if (sequential) {
          CTN_REWIND();
          read_whole();
          if (End_Of_File_Flag) {
            framed("Result file " + r.Name_Solution(i) + " appears to be empty");
            return;
          }
        } else {
          r.Time_Step_Number(i) = 1;
          read_whole();
          if (End_Of_File_Flag) return;  // nothing readable: the display stays as it is
        }
        whole_read = true;
        break;
      case -1: case -3:  // previous
        if (sequential) {
          if (r.Time_Step_Number(i) > 1) {
            CTN_BACKSPACE();
            CTN_BACKSPACE();
            read_whole();
            if (End_Of_File_Flag) {  // the file shrank under us: start again at the first
              c = -2;
              moving = true;
              break;
            }
            whole_read = true;
          } else {
            c = 2;
            moving = true;
          }
        } else {
          r.Time_Step_Number(i) = r.Time_Step_Number(i) > 1 ? r.Time_Step_Number(i) - 1 : r.Total_Time_Steps(i);
          read_whole();
          if (End_Of_File_Flag) {
            c = -2;
            moving = true;
            break;
          }
          whole_read = true;
        }
        break;
      case 1: case 3:  // next
        if (r.Compressed_Results && r.Total_Time_Steps(i) == r.Time_Step_Number(i)) refresh();
        if (!sequential) {
          if (CHECK_END(unit)) {
            c = -2;
            moving = true;
            break;
          }
          ++r.Time_Step_Number(i);
        }
        read_whole();
        if (End_Of_File_Flag) {
          c = -2;
          moving = true;
          break;
        }
        whole_read = true;
        break;
      case 2: case 4:  // last
        refresh();
        if (sequential) {
          read_whole();
          if (End_Of_File_Flag) return;  // already at the last output
          const bool text = r.Result_Format == 3;
          while (!End_Of_File_Flag) text ? read_whole() : read_header();
          if (!text) {
            CTN_BACKSPACE();
            read_whole();
            if (End_Of_File_Flag) return;
          }
        } else {
          r.Time_Step_Number(i) = r.Total_Time_Steps(i);
          while (!CHECK_END(unit)) ++r.Time_Step_Number(i);
          read_whole();
          if (End_Of_File_Flag) return;
        }
        whole_read = true;
        break;
      case 10: case 12: case 13: case 15:  // seek Seek_Step
        if (r.Seek_Step <= 0) return;
        if (sequential) {
          if (r.Seek_Step <= r.Time_Step_Number(i)) CTN_REWIND();
          while (r.Time_Step_Number(i) < r.Seek_Step - 1) {
            read_header();
            if (End_Of_File_Flag) break;
          }
        } else {
          r.Time_Step_Number(i) = r.Seek_Step - 1;
        }
        c = 1;
        moving = true;
        break;
      default:  // no move: cut and copy the output already read
        break;
    }
  }
  if (whole_read) r.Time(i) = Read_Time;
  CUT_AND_COPY(i);
}

void READ_RESULTS() {
  auto& r = Result_Set;
  const std::int32_t command = Command_State.Time_Step_Command;
  const std::int32_t n = r.Number_Of_Solutions;
  if (r.Result_Format == 3 && (command == -1 || command == -3)) {
    CONSOLE_EMPTY();
    CONSOLE_LINE("Feature not available with ASCII file(s)");
    CONSOLE_LINE("  Use 'go to first' and 'next'");
    CONSOLE_LINE("  or use 'Transfer_ZELTRA' to convert your file(s) to binary format instead");
    CONSOLE_EMPTY();
    return;
  }
  const bool choose = n >= 2 && (command == 3 || command == -3 || command == 4 || command == -4 ||
                                 command == 13 || command == 14 || command == 15);
  if (choose) {
    std::vector<std::string> names;
    for (int i = 1; i <= n; ++i) names.push_back(r.Name_To_Be_Displayed(i));
    const std::vector<bool> chosen = reader_dialogs::SELECT_STRINGS("Select solution(s)", names);
    for (int i = 1; i <= n; ++i) r.Selected_Solutions(i) = chosen[i - 1];
  } else {
    r.Selected_Solutions.FILL(true);
  }
  if (command >= 10 && command <= 15) TIME_STEP_SEEK_OPERATIONS();
  if (command == 11 || command == 14) return;
  for (int i = 1; i <= n; ++i)
    if (r.Selected_Solutions(i)) READ_RESULT(i);
}

// ---------------------------------------------------------------- seeking
void TIME_STEP_SEEK_OPERATIONS() {
  auto& r = Result_Set;
  const std::int32_t command = Command_State.Time_Step_Command;
  r.Seek_Step = Not_Set;
  const std::int32_t n = r.Number_Of_Solutions;
  if (command >= 13 && command <= 15) {
    std::int32_t first = 0;
    for (int i = n; i >= 1; --i)
      if (r.Selected_Solutions(i)) first = i;
    if (first == 0) return;  // no file chosen: no dialogue, nothing moves
    r.Seek_Reference_File = first;
  } else {
    r.Seek_Reference_File = 1;
  }
  const std::int32_t reference = r.Seek_Reference_File;
  auto refresh = [&r]() {
    if (r.Compressed_Results) ZIPPED_FILES(4);
  };
  // One flag per output, checked under its allocation name (the list of one dialogue).
  auto CTN_ALLOCATE = [](std::int32_t outputs) {
    Logical_Array picks;
    CHECK_ALLOCATION_ERROR("Selected_Time_Step", picks.ALLOCATE({Bounds{1, std::max(outputs, 0)}}));
    CHECK_ALLOCATION_SIZE("Selected_Time_Step", picks.SIZE(), std::max(outputs, 0));
    return picks;
  };
  auto CTN_LIST = [&](std::int32_t i) {
    Logical_Array picks = CTN_ALLOCATE(r.Total_Time_Steps(i));
    const std::vector<bool> answer = reader_dialogs::SELECT_TIME_STEP(r.Total_Time_Steps(i), i, true, true);
    for (std::size_t k = 0; k < answer.size() && static_cast<std::int64_t>(k) < picks.SIZE(); ++k) picks(k + 1) = answer[k];
    CHECK_DEALLOCATION("Selected_Time_Step", picks.RELEASE());
  };

  switch (command) {
    case 10: case 13: {  // a typed output number
      std::string answer(20, ' ');
      reader_dialogs::INPUT_STRING("'Seek' time step", "Number:", answer);
      std::int32_t step = 0;
      r.Seek_Step = READ_INTEGER_FROM_TEXT(answer, step) == Free_Form_Status::Ok ? step : Not_Set;
      if (r.Compressed_Results) {
        refresh();
        if (r.Seek_Step > r.Total_Time_Steps(reference)) r.Seek_Step = Not_Set;
      }
      break;
    }
    case 12: case 15: {  // an output picked from the list
      refresh();
      Logical_Array picks = CTN_ALLOCATE(r.Total_Time_Steps(reference));
      const std::vector<bool> answer = reader_dialogs::SELECT_TIME_STEP(r.Total_Time_Steps(reference), reference, true);
      for (std::size_t k = 0; k < answer.size() && static_cast<std::int64_t>(k) < picks.SIZE(); ++k)
        picks(k + 1) = answer[k];
      for (std::int64_t k = picks.SIZE(); k >= 1; --k)
        if (picks(k)) r.Seek_Step = static_cast<std::int32_t>(k);
      CHECK_DEALLOCATION("Selected_Time_Step", picks.RELEASE());
      break;
    }
    case 11:
      refresh();
      CTN_LIST(1);
      break;
    case 14:
      refresh();
      for (int i = 1; i <= n; ++i)
        if (r.Selected_Solutions(i)) CTN_LIST(i);
      break;
    default:
      CONSOLE_EMPTY(2);
      CONSOLE_LINE(" Somewhere something went wrong...");
      CONSOLE_EMPTY(2);
      STOP_PROGRAM();
  }
  Command_State.Time_Step_Command = command;
}

// ---------------------------------------------------------------- combined pictures
namespace {

[[noreturn]] void unable_to_process() {
  CONSOLE_EMPTY(2);
  CONSOLE_LINE("Unable to process results");
  CONSOLE_EMPTY(2);
  STOP_PROGRAM();
}

// Lowest slot of the display array (1 when it has no slots).
std::int64_t lowest_slot() {
  const auto& a = Display_Field.Array_to_be_displayed;
  return a.ALLOCATED() && a.EXTENT(0) > 0 ? a.LOWER(0) : 1;
}

std::int64_t plane_cells() {
  const auto& a = Display_Field.Array_to_be_displayed;
  return a.EXTENT(1) * a.EXTENT(2);
}

float* plane(std::int32_t slot) { return Display_Field.Array_to_be_displayed.ADDRESS(slot, 1, 1); }

// Nearest whole number of a value already known to lie in [0, 2^31): halves go up.
// Truncation and the exact remainder avoid the error of adding 0.5 in floating point.
inline int nint_positive(float q) {
  const int t = static_cast<int>(q);
  return t + (q - static_cast<float>(t) >= 0.5f ? 1 : 0);
}

// Nearest whole number, halves away from zero, of a value of magnitude below 2^31.
inline int nint(float q) { return q >= 0.0f ? nint_positive(q) : -nint_positive(-q); }

// Adds weight x share (0..5) of each value between two limits to the combined plane.
// A zero or undefined range and NaN values give the share 0; every value is limited
// in floating point before it is converted to an integer.
void add_rgb_shares(const float* __restrict v, float* __restrict combined, std::int64_t cells, float minimum,
                    float maximum, float weight) {
  const float range = maximum - minimum;
  if (!(range != 0.0f) || !std::isfinite(range)) return;
  for (std::int64_t c = 0; c < cells; ++c) {
    float q = ((v[c] - minimum) / range) * 5.0f;
    q = q > 0.0f ? q : 0.0f;  // NaN becomes 0
    q = q < 5.0f ? q : 5.0f;
    combined[c] += weight * static_cast<float>(nint_positive(q));
  }
}

// Colour of one six-digit orientation code CCBBAA.
float miller_colour(float v) {
  if (!(v < 999999.5f)) return v <= -0.5f ? -1.0f : 217.0f;  // NaN and codes of seven digits
  if (v <= -0.5f) return -1.0f;
  const int n = nint_positive(std::fmax(v, 0.0f));
  if (n == 0) return 217.0f;
  const int aa = n % 100;
  const float t = (v - static_cast<float>(aa)) / 100.0f;
  const int bb = nint_positive(t) % 100;
  const float cc = (t - static_cast<float>(bb)) / 100.0f;
  const float g1 = cc, g2 = static_cast<float>(bb) - cc, g3 = static_cast<float>(aa) - g2 - g1;
  const float s = g1 + g2 + g3;
  if (s == 0.0f) return 217.0f;  // a code ending in 00: outside the colour cube
  return static_cast<float>(36 * nint(5.0f * g1 / s) + 6 * nint(5.0f * g2 / s) + nint(5.0f * g3 / s));
}

// miller_colour, remembered for whole-numbered codes 1..999999 (the colour of such a
// code depends on the code alone); other values are worked out each time.
float known_miller_colour(float code) {
  constexpr std::int16_t Unknown = INT16_MIN;  // such colours lie within +-21285
  static std::vector<std::int16_t> known;
  if (!(code >= 0.5f && code < 999999.5f)) return miller_colour(code);
  const int n = static_cast<int>(code);
  if (static_cast<float>(n) != code) return miller_colour(code);
  if (known.empty()) known.assign(1000000, Unknown);
  std::int16_t& colour = known[static_cast<std::size_t>(n)];
  if (colour == Unknown) colour = static_cast<std::int16_t>(miller_colour(code));
  return colour;
}

}  // namespace

bool MERGE_READ_RESULTS() {
  const auto& r = Result_Set;
  const auto& modes = Display_Settings.Processed_Display_Modes;
  const std::int32_t n = r.Number_Of_Solutions;
  const std::int64_t low = lowest_slot();
  if (modes.RGB_Triangle && n != 3) unable_to_process();
  // With both modes on the triangle is the picture shown (and the arrays are laid out for it):
  // the Miller layers are then neither there nor needed.
  if ((modes.RGB_Triangle && low != 0) || (!modes.RGB_Triangle && modes.Miller_Indices && low != -n))
    unable_to_process();
  const std::int64_t cells = plane_cells();

  if (modes.RGB_Triangle) {
    // Outputs of different times do not make one picture: the combined panel is left
    // out (marked with -1, outside the colour cube) with a warning, and the run goes on.
    const float tolerance = std::max(r.Time(1) / 100.0f, 1.0e-10f);
    for (int j = 1; j <= n; ++j)
      if (!(std::fabs(r.Time(j) - r.Time(1)) <= tolerance)) {
        CONSOLE_EMPTY();
        CONSOLE_LINE(" Warning: the outputs shown are not at the same time: no 'RGB triangle'");
        CONSOLE_EMPTY();
        std::fill(plane(0), plane(0) + cells, -1.0f);
        return false;
      }
    float* combined = plane(0);
    std::fill(combined, combined + cells, 0.0f);
    for (int j = 1; j <= 3; ++j)
      add_rgb_shares(plane(j), combined, cells, r.Current_Min(j), r.Current_Max(j), j == 1 ? 1.0f : j == 2 ? 6.0f : 36.0f);
    return true;
  }
  if (modes.Miller_Indices)
    for (int i = 1; i <= n; ++i) {
      const float* v = plane(i);
      float* out = plane(-i);
      // Grains share one code: the colour of the cell before is reused while it holds,
      // and the colours of whole-numbered codes are kept once worked out.
      float last_code = std::nanf(""), last_colour = 217.0f;
      for (std::int64_t c = 0; c < cells; ++c) {
        const float code = v[c];
        if (!(code == last_code)) {
          last_code = code;
          last_colour = known_miller_colour(code);
        }
        out[c] = last_colour;
      }
    }
  return true;
}

bool CHECK_LOGARITHMIC(std::int32_t i) {
  const auto& r = Result_Set;
  return Display_Settings.Processed_Display_Modes.Logarithmic_Display && 0.0f < r.Current_Min(i) &&
         r.Current_Min(i) < r.Current_Max(i);
}

void PROCESS_DISPLAYED_RESULTS() {
  const auto& r = Result_Set;
  const auto& modes = Display_Settings.Processed_Display_Modes;
  const std::int32_t n = r.Number_Of_Solutions;
  const std::int64_t low = lowest_slot();
  if (modes.Difference_Display && (n != 2 || low != 0)) unable_to_process();
  if (modes.Logarithmic_Display && low != -n) unable_to_process();
  const std::int64_t cells = plane_cells();

  if (modes.Difference_Display) {
    const float *a = plane(1), *b = plane(2);
    float* out = plane(0);
    for (std::int64_t c = 0; c < cells; ++c) out[c] = a[c] - b[c];
  }
  if (modes.Logarithmic_Display) {
    for (int i = 1; i <= n; ++i) {
      const float* v = plane(i);
      float* out = plane(-i);
      const bool logarithmic = CHECK_LOGARITHMIC(i);
      const float lo = r.Current_Min(i), hi = r.Current_Max(i);
      for (std::int64_t c = 0; c < cells; ++c) {
        const float w = modes.Absolute_Values ? std::fabs(v[c]) : v[c];
        out[c] = logarithmic ? std::log(std::min(std::max(w, lo), hi)) : w;
      }
    }
    return;
  }
  if (modes.Absolute_Values && !modes.Difference_Display)
    for (int i = 1; i <= n; ++i) {
      const float* v = plane(i);
      float* out = plane(-i);
      for (std::int64_t c = 0; c < cells; ++c) out[c] = std::fabs(v[c]);
    }
}
