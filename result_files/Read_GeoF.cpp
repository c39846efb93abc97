// Read_GeoF: opening a result set.
//
// READ_GEOF settles the encoding (given, guessed from the first four bytes, or searched
// in the order 1 2 3 6 7 4 5, compressed or not), reads the geometry file, opens result
// file i on unit 113 + i for the whole run, allocates the per-file arrays and has the
// extrema found. ZIPPED_FILES makes, deletes and refreshes the uncompressed working
// copies of a compressed case.
//
// Reads:   Result_Set (names, Result_Format, Format_Given, Compressed_Results,
//          Temporary_Files_Directory, Extrema_Mode), Startup_Options.Last_At_Start,
//          Display_Field.Skip_Factor.
// Writes:  Result_Set (Result_Format, Compressed_Results, Sequential_Reading,
//          Temporary_Files, per-file arrays, Buffer_Array_*), Result_Geometry,
//          Display_Field (Cut_Direction, Cut_Index, through ALLOCATE_ARRAYS the rest).

#include "result_files/Read_GeoF.h"

#include <fcntl.h>   // open
#include <unistd.h>  // unlink, close

#include <cerrno>

#include <algorithm>
#include <array>
#include <cctype>   // std::isdigit
#include <memory>   // std::unique_ptr
#include <vector>
#include <cstdio>   // std::snprintf
#include <cstdlib>  // std::atexit
#include <cstring>  // std::memcpy
#include <filesystem>
#include <string>

#include "records/Allocation_Checks.h"
#include "records/Console.h"
#include "records/Globals.h"
#include "result_files/Abandoned_Files.h"
#include "result_files/Check_File.h"
#include "result_files/Delete_File.h"
#include "result_files/Display_Arrays.h"
#include "result_files/Extrema.h"
#include "result_files/Input_Layer.h"
#include "result_files/Module_Byteswap.h"
#include "result_files/Module_GZip.h"
#include "result_files/Read_Results.h"
#include "text/Free_Form.h"

namespace {

constexpr std::array<std::int32_t, 7> Search_Order{1, 2, 3, 6, 7, 4, 5};
const std::string No_Info = "No info!  ";

bool double_precision(std::int32_t code) { return code == 2 || code == 5 || code == 7; }

std::string format_name(std::int32_t code) {
  switch (code) {
    case 1: return " binary single precision";
    case 2: return " binary double precision";
    case 3: return " ASCII";
    case 4: case 6: return " 'non native' binary single precision";
    case 5: case 7: return " 'non native' binary double precision";
    default: return "";
  }
}

std::string state_word(bool compressed) { return compressed ? "compressed" : "not compressed"; }

[[noreturn]] void set_off_stop(std::initializer_list<std::string_view> lines) {
  CONSOLE_EMPTY(2);
  for (auto line : lines) CONSOLE_LINE(line);
  CONSOLE_EMPTY(2);
  STOP_PROGRAM();
}

std::string geometry_source() {
  return Result_Set.Compressed_Results ? Result_Set.Temporary_Files(0) : Result_Set.Geometry_File_Name;
}

std::string result_source(int i) {
  return Result_Set.Compressed_Results ? Result_Set.Temporary_Files(i) : Result_Set.Name_Solution(i);
}

// Largest cell count whose output record the framing's unsigned 32-bit length can describe.
std::int64_t max_cells(std::int32_t code) {
  return double_precision(code) ? (std::int64_t{UINT32_MAX} - 12) / 8 : (std::int64_t{UINT32_MAX} - 8) / 4;
}

// The geometry record as read; counts and spacing, info texts when present.
struct Geometry_Record {
  std::int32_t nx = 0, ny = 0, nz = 0;
  double spacing = 0.0;
  bool info_read = false;
  std::array<std::string, 5> info{No_Info, No_Info, No_Info, No_Info, No_Info};
};

void take_info(const char* bytes, Geometry_Record& g) {
  for (int k = 0; k < 5; ++k) g.info[k].assign(bytes + 10 * k, 10);
  g.info_read = true;
}

// Reads the geometry record of codes 1, 2, 6, 7 (framed, in sequence).
bool read_geometry_sequential(Input_Stream& s, std::int32_t code, Geometry_Record& g) {
  bool ok = s.BEGIN_RECORD() == Read_Status::Ok && s.TAKE_INTEGER(g.nx) == Read_Status::Ok &&
            s.TAKE_INTEGER(g.ny) == Read_Status::Ok && s.TAKE_INTEGER(g.nz) == Read_Status::Ok;
  if (ok && double_precision(code)) {
    double r[3];
    ok = s.TAKE_DOUBLE(r[0]) == Read_Status::Ok && s.TAKE_DOUBLE(r[1]) == Read_Status::Ok &&
         s.TAKE_DOUBLE(r[2]) == Read_Status::Ok;
    g.spacing = r[0];
  } else if (ok) {
    float r[3];
    ok = s.TAKE_REAL(r[0]) == Read_Status::Ok && s.TAKE_REAL(r[1]) == Read_Status::Ok &&
         s.TAKE_REAL(r[2]) == Read_Status::Ok;
    g.spacing = r[0];
  }
  if (!ok || s.END_RECORD() != Read_Status::Ok) return false;
  char text[50];
  if (s.BEGIN_RECORD() == Read_Status::Ok && s.TAKE(text, 50) == Read_Status::Ok &&
      s.END_RECORD() == Read_Status::Ok)
    take_info(text, g);
  return true;
}

// Reads the geometry of code 3: six numbers, then five texts on the following lines.
bool read_geometry_text(Input_Stream& s, Geometry_Record& g) {
  Free_Form_Reader* text = s.STATEMENT();
  float r[3];
  const bool ok = text->READ_INTEGER(g.nx) == Free_Form_Status::Ok &&
                  text->READ_INTEGER(g.ny) == Free_Form_Status::Ok &&
                  text->READ_INTEGER(g.nz) == Free_Form_Status::Ok &&
                  text->READ_REAL(r[0]) == Free_Form_Status::Ok &&
                  text->READ_REAL(r[1]) == Free_Form_Status::Ok && text->READ_REAL(r[2]) == Free_Form_Status::Ok;
  if (!ok) return false;
  g.spacing = r[0];
  text = s.STATEMENT();
  std::array<std::string, 5> info;
  for (auto& t : info)
    if (text->READ_TEXT(t) != Free_Form_Status::Ok) return true;
  for (int k = 0; k < 5; ++k) {
    info[k].resize(10, ' ');  // a CHARACTER(10) field: cut or blank-padded
    g.info[k] = info[k];
  }
  g.info_read = true;
  return true;
}

// Reads the one record of 90 or 102 bytes of codes 4 and 5 that covers both records.
// What was read is used; the counts and the spacing must at least be there.
bool read_geometry_direct(Input_Stream& s, std::int32_t code, Geometry_Record& g) {
  const bool dbl = double_precision(code);
  const std::size_t length = dbl ? 102 : 90;
  std::array<char, 102> record{};
  const std::size_t got = s.READ_PARTIAL(1, record.data(), length);
  const std::size_t counts_end = dbl ? 24 : 20;
  if (got < counts_end) return false;
  std::memcpy(&g.nx, record.data() + 4, 4);
  std::memcpy(&g.ny, record.data() + 8, 4);
  std::memcpy(&g.nz, record.data() + 12, 4);
  CONVERT_INTEGER(g.nx);
  CONVERT_INTEGER(g.ny);
  CONVERT_INTEGER(g.nz);
  if (dbl) {
    double spacing;
    std::memcpy(&spacing, record.data() + 16, 8);
    CONVERT_DOUBLE(spacing);
    g.spacing = spacing;
  } else {
    float spacing;
    std::memcpy(&spacing, record.data() + 16, 4);
    CONVERT_SINGLE(spacing);
    g.spacing = spacing;
  }
  const std::size_t info_at = dbl ? 48 : 36;
  if (got >= info_at + 50) take_info(record.data() + info_at, g);
  return true;
}

// Reads the first output header of result unit u: time and n.
bool read_first_header(Input_Stream& s, std::int32_t code, std::int32_t& n) {
  switch (code) {
    case 1: case 6: {
      float time;
      return s.BEGIN_RECORD() == Read_Status::Ok && s.TAKE_REAL(time) == Read_Status::Ok &&
             s.TAKE_INTEGER(n) == Read_Status::Ok && s.END_RECORD() == Read_Status::Ok;
    }
    case 2: case 7: {
      double time;
      return s.BEGIN_RECORD() == Read_Status::Ok && s.TAKE_DOUBLE(time) == Read_Status::Ok &&
             s.TAKE_INTEGER(n) == Read_Status::Ok && s.END_RECORD() == Read_Status::Ok;
    }
    case 3: {
      Free_Form_Reader* text = s.STATEMENT();
      float time;
      return text->READ_REAL(time) == Free_Form_Status::Ok && text->READ_INTEGER(n) == Free_Form_Status::Ok;
    }
    default: {  // 4, 5: leading length, time, n of record 1
      std::array<char, 16> header{};
      const std::size_t time_bytes = code == 5 ? 8 : 4;
      if (s.READ_DIRECT(1, 0, header.data(), 8 + time_bytes) != Read_Status::Ok) return false;
      std::memcpy(&n, header.data() + 4 + time_bytes, 4);
      CONVERT_INTEGER(n);
      return true;
    }
  }
}

// The format the first four bytes of a file suggest: 1, 2, 3, 6, 7, or 0 for gzip.
std::int32_t classify_first_bytes(std::int32_t value, bool failed) {
  if (failed) return 3;
  std::uint32_t bytes;
  std::memcpy(&bytes, &value, 4);
  switch (bytes) {
    case 0x00000018u: return 1;
    case 0x00000024u: return 2;
    case 0x18000000u: return 6;
    case 0x24000000u: return 7;
    // 1F 8B 08 and a flag byte 00, 04 or 08, read in either byte order.
    case 0x00088B1Fu: case 0x04088B1Fu: case 0x08088B1Fu:
    case 0x1F8B0800u: case 0x1F8B0804u: case 0x1F8B0808u: return 0;
    default: return 3;
  }
}

// True when a file starts like a gzip file.
bool file_is_gzip(const std::string& name) {
  Input_Stream probe;
  std::int32_t value = 0;
  const bool read = probe.OPEN(name, Open_Mode{false, false, 4}) && probe.READ_DIRECT(1, 0, &value, 4) == Read_Status::Ok;
  return classify_first_bytes(value, !read) == 0;
}

// The working copy of one file: uncompressed when it is gzip; a file that is not gzip
// (a case given as compressed that is not) is copied as it stands, as reading it
// through gzip would give it.
void make_copy(const std::string& source, const std::string& target) {
  if (file_is_gzip(source)) {
    UNCOMPRESS_FILE(source, target);
    return;
  }
  std::error_code error;
  std::filesystem::copy_file(source, target, std::filesystem::copy_options::overwrite_existing, error);
  if (error) set_off_stop({" Error while attempting to uncompress " + source, " " + error.message()});
}

void close_result_units() {
  for (int i = 1; i <= Result_Set.Number_Of_Solutions; ++i) UNIT(Geometry_Unit + i).CLOSE();
}

}  // namespace

std::int64_t RECORD_SIZE(std::int64_t cells) {
  switch (Result_Set.Result_Format) {
    case 2: case 5: case 7: return 20 + 8 * cells;
    case 3: return 13 + 4 * cells;
    default: return 16 + 4 * cells;
  }
}

bool OPEN_FILE(int unit, std::string_view name, std::string_view form, bool byte_order,
               std::int64_t record_length) {
  if (record_length > 0 && byte_order) set_off_stop({" Wrong call to 'Open_File'!"});
  Open_Mode mode;
  mode.formatted = form == "FORMATTED";
  mode.big_endian = byte_order;
  mode.record_length = record_length > 0 ? record_length : 0;
  const auto end = name.find_last_not_of(' ');
  const std::string file(end == std::string_view::npos ? std::string_view{} : name.substr(0, end + 1));
  return !UNIT(unit).OPEN(file, mode);
}

std::int32_t READ_RECORD_LENGTH(bool& failed) {
  failed = true;
  std::int32_t value = 666;
  Input_Stream& s = UNIT(Geometry_Unit);
  if (!OPEN_FILE(Geometry_Unit, geometry_source(), "UNFORMATTED", false, 4)) {
    std::int32_t bytes = 0;
    if (s.READ_DIRECT(1, 0, &bytes, 4) == Read_Status::Ok) {
      value = bytes;  // the program's own byte order is little-endian
      failed = false;
    }
  }
  s.CLOSE();
  return value;
}

bool CHECK_GEOMETRY(std::int32_t code) {
  auto& r = Result_Set;
  auto& geometry = Result_Geometry;
  if (code < 1 || code > 7) set_off_stop({" Unrecognised format!"});

  const bool formatted = code == 3;
  const char* form = formatted ? "FORMATTED" : "UNFORMATTED";
  const bool by_record = code == 4 || code == 5;
  const bool big_endian = code == 6 || code == 7;
  r.Sequential_Reading = !by_record;

  Input_Stream& g = UNIT(Geometry_Unit);
  if (OPEN_FILE(Geometry_Unit, geometry_source(), form, big_endian,
                by_record ? (code == 4 ? 90 : 102) : No_Record_Length))
    return false;
  geometry.Simulation_Info = {No_Info, No_Info, No_Info, No_Info, No_Info};
  Geometry_Record record;
  bool read_ok;
  if (by_record) read_ok = read_geometry_direct(g, code, record);
  else if (formatted) read_ok = read_geometry_text(g, record);
  else read_ok = read_geometry_sequential(g, code, record);
  g.CLOSE();
  if (!read_ok) return false;

  // Counts that no grid has, or that no output record could hold, do not fit; this
  // also keeps a corrupt header from asking for a giant buffer.
  if (record.nx < 1 || record.ny < 1 || record.nz < 1) return false;
  const std::int64_t plane = std::int64_t{record.nx} * record.ny;  // below 2^62
  if (plane > max_cells(code) || record.nz > max_cells(code) / plane) return false;
  const std::int64_t cells = plane * record.nz;

  geometry.AnzX = record.nx;
  geometry.AnzY = record.ny;
  geometry.AnzZ = record.nz;
  geometry.Simulation_Info = record.info;
  geometry.Simulation_Info_Present = record.info_read && record.info[0] != No_Info;
  geometry.Grid_Spacing = static_cast<float>(record.spacing) * static_cast<float>(Display_Field.Skip_Factor);

  const std::int64_t record_length = by_record ? (code == 4 ? 16 + 4 * cells : 20 + 8 * cells) : No_Record_Length;
  for (int i = 1; i <= r.Number_Of_Solutions; ++i) {
    const int unit = Geometry_Unit + i;
    if (OPEN_FILE(unit, result_source(i), form, big_endian, record_length)) {
      // Every result file must be open for the rest of the run.
      const std::string reason = UNIT(unit).OPEN_FAILURE();
      close_result_units();
      if (r.Compressed_Results) ZIPPED_FILES(3);
      set_off_stop({" Unable to open file " + r.Name_Solution(i), " (" + reason + ")"});
    }
    std::int32_t n = -666;
    if (!read_first_header(UNIT(unit), code, n)) {
      close_result_units();
      return false;
    }
    if (n != cells) {
      close_result_units();
      if (i == 1) return false;
      if (r.Compressed_Results) ZIPPED_FILES(3);
      set_off_stop({" Geometry (or format) of " + r.Name_To_Be_Displayed(1),
                    "  and " + r.Name_To_Be_Displayed(i) + " do not seem compatible!"});
    }
  }
  if (r.Sequential_Reading)
    for (int i = 1; i <= r.Number_Of_Solutions; ++i)
      if (!UNIT(Geometry_Unit + i).REWIND()) set_off_stop({" Unable to 'rewind'!"});
  return true;
}

std::int32_t GUESS_FORMAT() {
  bool failed = false;
  std::int32_t guess = classify_first_bytes(READ_RECORD_LENGTH(failed), failed);
  if (guess != 0) return guess;
  Result_Set.Compressed_Results = true;
  ZIPPED_FILES(1);
  guess = classify_first_bytes(READ_RECORD_LENGTH(failed), failed);
  return guess == 0 ? -1 : guess;
}

void READ_GEOF() {
  auto& r = Result_Set;
  auto& geometry = Result_Geometry;
  // A file that cannot be read at all fits no format: say so, not that it is inconsistent.
  if (Input_Stream probe; !probe.OPEN(r.Geometry_File_Name, {}))
    set_off_stop({" Unable to open file " + r.Geometry_File_Name, " (" + probe.OPEN_FAILURE() + ")"});
  if (r.Compressed_Results) ZIPPED_FILES(1);

  const std::int32_t requested = r.Result_Format;
  bool found = r.Format_Given && CHECK_GEOMETRY(requested);
  if (!found) {
    const bool c0 = r.Compressed_Results;
    auto search = [&r]() {
      for (std::int32_t code : Search_Order)
        if (CHECK_GEOMETRY(code)) {
          r.Result_Format = code;
          return true;
        }
      return false;
    };
    const std::int32_t guess = GUESS_FORMAT();
    if (CHECK_GEOMETRY(guess)) {
      r.Result_Format = guess;
      found = true;
    } else {
      found = search();
    }
    if (!found) {
      if (r.Compressed_Results) ZIPPED_FILES(3);
      r.Compressed_Results = !r.Compressed_Results;
      // Files that are not gzip have nothing to uncompress: the second pass would only
      // fail in the uncompressing, so it is left out and the case reported inconsistent.
      if (!r.Compressed_Results) {
        found = search();
      } else if (file_is_gzip(r.Geometry_File_Name)) {
        ZIPPED_FILES(1);
        found = search();
      } else {
        r.Compressed_Results = false;
      }
    }
    if (!found) {
      if (r.Compressed_Results) ZIPPED_FILES(3);
      set_off_stop({" Geometry not consistent!", "  (most probably due to a wrong format specification,",
                    "   and a big/little endian incompatibility)"});
    }
    // Report what the search changed.
    const bool c1 = r.Compressed_Results;
    const std::int32_t code = r.Result_Format;
    if (!c0 && c1 && code == requested) {
      CONSOLE_LINE(" Warning: compressed results");
    } else if (code != requested || c0 != c1) {
      auto describe = [&](std::int32_t f, bool c) {
        std::string text;
        if (code != requested) text += format_name(f);
        if (c0 != c1) text += code != requested ? " (" + state_word(c) + ")" : " " + state_word(c);
        return text;
      };
      CONSOLE_LINE(" Warning: format specification changed from" + describe(requested, c0));
      CONSOLE_LINE(" to" + describe(code, c1));
      CONSOLE_EMPTY();
    }
    if (code == 6 || code == 7) {
      CONSOLE_LINE(" Please note that 'implicit endian conversions' can be time consuming:");
      CONSOLE_LINE("  please explicitly request the conversion");
      CONSOLE_LINE("  consider converting your files!");
      CONSOLE_EMPTY();
    } else if (code == 4 || code == 5) {
      CONSOLE_LINE(" Please note that 'explicit endian conversions' can be time consuming:");
      CONSOLE_LINE("  consider converting your files!");
      CONSOLE_EMPTY();
    }
  }
  if (r.Compressed_Results) ZIPPED_FILES(2);

  Display_Field.Cut_Direction = 2;
  Display_Field.Cut_Index = std::max(1, geometry.AnzY / 2);

  const std::int32_t n = r.Number_Of_Solutions;
  const std::array<Bounds, 4> buffer_bounds{Bounds{1, n}, Bounds{1, geometry.AnzX}, Bounds{1, geometry.AnzY},
                                            Bounds{1, geometry.AnzZ}};
  const std::int64_t buffer_size = std::int64_t{n} * geometry.AnzX * geometry.AnzY * geometry.AnzZ;
  r.Buffer_Array_Single.RELEASE();
  r.Buffer_Array_Text.RELEASE();
  r.Buffer_Array_Double.RELEASE();
  if (double_precision(r.Result_Format)) {
    CHECK_ALLOCATION_ERROR("Buffer array", r.Buffer_Array_Double.ALLOCATE(buffer_bounds, {1, 2, 3, 0}));
    CHECK_ALLOCATION_SIZE("Buffer array", r.Buffer_Array_Double.SIZE(), buffer_size);
  } else {
    CHECK_ALLOCATION_ERROR("Buffer array", r.Buffer_Array_Single.ALLOCATE(buffer_bounds, {1, 2, 3, 0}));
    CHECK_ALLOCATION_SIZE("Buffer array", r.Buffer_Array_Single.SIZE(), buffer_size);
  }
  ALLOCATE_ARRAYS();

  auto allocate = [n](auto& array, const char* name, auto value) {
    CHECK_ALLOCATION_ERROR(name, array.ALLOCATE({Bounds{1, n}}));
    CHECK_ALLOCATION_SIZE(name, array.SIZE(), n);
    array.FILL(value);
  };
  allocate(r.Time, "Time", -666.0f);
  allocate(r.Time_Step_Number, "Time_Step_Number", 0);
  allocate(r.Total_Time_Steps, "Total_Time_Steps", 0);
  allocate(r.Computed_Min, "Computed_Min", 0.0f);
  allocate(r.Computed_Max, "Computed_Max", 0.0f);
  allocate(r.Current_Min, "Current_Min", 0.0f);
  allocate(r.Current_Max, "Current_Max", 0.0f);
  if (!r.Selected_Solutions.ALLOCATED() || r.Selected_Solutions.SIZE() != n)
    allocate(r.Selected_Solutions, "Selected_Solutions", false);

  for (int i = 1; i <= n; ++i) {
    FIND_EXTREMA(true, i, Geometry_Unit + i, r.Computed_Min(i), r.Computed_Max(i));
    if (r.Extrema_Mode == 3 && Startup_Options.Last_At_Start) continue;
    if (r.Sequential_Reading && !UNIT(Geometry_Unit + i).REWIND()) set_off_stop({" Unable to 'rewind'!"});
    r.Time_Step_Number(i) = 0;
  }
}

// ---------------------------------------------------------------- working copies

namespace {
bool Copies_Made = false;
bool Names_Made = false;

[[noreturn]] void bad_parameters() {
  set_off_stop({"Routine 'Zipped_Files' called with unrecognised parameters!"});
}

// Last resort at process exit: a run that ends without CLOSE_RESULT_FILES (a main that
// forgot it, an exit from a library) still leaves no working copy behind. Only names
// are touched here: the streams may already be gone.
void delete_copies_at_exit() {
  const auto& r = Result_Set;
  if (!Names_Made || !r.Temporary_Files.ALLOCATED()) return;
  for (std::int64_t k = r.Temporary_Files.LOWER(0); k <= r.Temporary_Files.UPPER(0); ++k)
    ::unlink(r.Temporary_Files(k).c_str());
}

// The mark of each working copy (0 geometry, 1..N results) while this run uses it: a later
// run removes the copies whose mark is gone with their process.
std::vector<std::unique_ptr<Owner_Mark>> Copy_Marks;

// True for the name of a working copy of any run: DP_ZELTRA_<two digits>_<marker>.tmp.
bool working_copy_name(std::string_view name) {
  return name.size() == 19 && name.starts_with("DP_ZELTRA_") && name.ends_with(".tmp") &&
         std::isdigit(static_cast<unsigned char>(name[10])) && std::isdigit(static_cast<unsigned char>(name[11])) &&
         name[12] == '_';
}

// Marks copy k again once its name names a new file (made, refreshed, rewritten).
void mark_copy(int k) { Copy_Marks[static_cast<std::size_t>(k)]->CLAIM(Result_Set.Temporary_Files(k)); }

// Returns a free working-copy name of the base and creates it empty and marked at once, so
// that another program viewing a case in the same folder cannot pick the same name before
// the copy exists.
std::string reserve_name(const std::string& base, Owner_Mark& mark) {
  for (;;) {
    std::string name = base + "_" + CHECK_FILE(base, 2, "tmp") + ".tmp";
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
      mark.ADOPT(fd);
      return name;
    }
    if (errno != EEXIST) return name;  // the copy itself reports why the folder cannot be used
  }
}

void make_names() {
  static const bool registered = std::atexit(delete_copies_at_exit) == 0;
  (void)registered;
  auto& r = Result_Set;
  const std::int32_t n = r.Number_Of_Solutions;
  CHECK_ALLOCATION_ERROR("Temporary_Files", r.Temporary_Files.ALLOCATE({Bounds{0, n}}));
  CHECK_ALLOCATION_SIZE("Temporary_Files", r.Temporary_Files.SIZE(), std::int64_t{n} + 1);
  std::string folder = r.Temporary_Files_Directory;
  folder.erase(folder.find_last_not_of(' ') + 1);
  REMOVE_ABANDONED_FILES(folder.substr(0, folder.rfind('/') + 1), working_copy_name);
  Copy_Marks.clear();
  for (int k = 0; k <= n; ++k) {
    char number[16];
    std::snprintf(number, sizeof number, "%02d", k);
    const std::string base = folder + "DP_ZELTRA_" + number;
    Copy_Marks.push_back(std::make_unique<Owner_Mark>());
    r.Temporary_Files(k) = reserve_name(base, *Copy_Marks.back());
  }
  Names_Made = true;
}
}  // namespace

void ZIPPED_FILES(std::int32_t mode) {
  auto& r = Result_Set;
  if (!Names_Made) make_names();
  switch (mode) {
    case 1:  // make every copy
      if (Copies_Made) bad_parameters();
      make_copy(r.Geometry_File_Name, r.Temporary_Files(0));
      mark_copy(0);
      for (int i = 1; i <= r.Number_Of_Solutions; ++i) {
        make_copy(r.Name_Solution(i), r.Temporary_Files(i));
        mark_copy(i);
      }
      Copies_Made = true;
      break;
    case 2:  // the geometry copy is no longer needed
      if (!Copies_Made) bad_parameters();
      DELETE_FILE(r.Temporary_Files(0), false);
      Copy_Marks[0]->RELEASE();
      break;
    case 3:  // all copies
      if (!Copies_Made) bad_parameters();
      for (int k = 0; k <= r.Number_Of_Solutions; ++k) {
        DELETE_FILE(r.Temporary_Files(k), false);
        Copy_Marks[static_cast<std::size_t>(k)]->RELEASE();
      }
      Copies_Made = false;
      break;
    case 4: {  // refresh every copy whose compressed file has grown
      if (!Copies_Made) bad_parameters();
      const auto& g = Result_Geometry;
      const std::int64_t size = RECORD_SIZE(std::int64_t{g.AnzX} * g.AnzY * g.AnzZ);
      const std::int32_t code = r.Result_Format;
      const bool by_record = code == 4 || code == 5;
      for (int i = 1; i <= r.Number_Of_Solutions; ++i) {
        const std::int32_t count = GZIP_NB_OUTPUTS(r.Name_Solution(i), size);
        if (count <= r.Total_Time_Steps(i)) continue;  // also -666: cannot count
        const int unit = Geometry_Unit + i;
        UNIT(unit).CLOSE();
        DELETE_FILE(r.Temporary_Files(i), false);
        UNCOMPRESS_FILE(r.Name_Solution(i), r.Temporary_Files(i));
        mark_copy(i);
        if (OPEN_FILE(unit, r.Temporary_Files(i), code == 3 ? "FORMATTED" : "UNFORMATTED", code == 6 || code == 7,
                      by_record ? size : No_Record_Length))
          set_off_stop({" Unexpected  (and irrecoverable) error!"});
        r.Total_Time_Steps(i) = count;
        if (r.Sequential_Reading) {
          const std::int32_t k = r.Time_Step_Number(i);
          r.Time_Step_Number(i) = 0;
          float time;
          bool end = false;
          for (std::int32_t step = 0; step < k && !end; ++step) READ_OUTPUT(i, time, end, true);
        }
      }
      break;
    }
    default:
      bad_parameters();
  }
}

void DELETE_WORKING_COPIES() { delete_copies_at_exit(); }

void MARK_WORKING_COPY(std::int32_t i) {
  if (Names_Made && i >= 0 && static_cast<std::size_t>(i) < Copy_Marks.size()) mark_copy(i);
}

void CLOSE_RESULT_FILES() {
  auto& r = Result_Set;
  UNIT(Geometry_Unit).CLOSE();
  for (int i = 1; i <= r.Number_Of_Solutions; ++i) UNIT(Geometry_Unit + i).CLOSE();
  // Also after a stop half-way through making the copies: every name that was handed
  // out is deleted (a copy that was never made is simply not there).
  if (Names_Made && r.Temporary_Files.ALLOCATED())
    for (int k = 0; k <= r.Number_Of_Solutions; ++k) DELETE_FILE(r.Temporary_Files(k), false);
  Copy_Marks.clear();
  Copies_Made = false;
  Names_Made = false;
}
