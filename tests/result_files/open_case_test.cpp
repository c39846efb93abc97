// Opening a case: encodings, the format search with its warnings and notes, the
// geometry record, compressed cases and their working copies, and bad headers.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "result_files/Module_Byteswap.h"
#include "result_files/Abandoned_Files.h"
#include "tests/result_files/Case_Fixture.h"

namespace {

const sample::Geometry Small{3, 1, 2, 2.5e-4, 7.0, 8.0,
                             std::array<std::string, 5>{"V4.1", "Jan 2026", "run7", "Linux", "single"}};

std::string little_u32(std::uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }
std::string little_i32(std::int32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }
std::string little_f32(float v) { return std::string(reinterpret_cast<const char*>(&v), 4); }

class Open_Case : public Case_Fixture {};

TEST_F(Open_Case, GivenEncodingIsReadWithoutSearch) {
  struct Row {
    Encoding encoding;
    int code;
    bool sequential;
  } rows[] = {{Encoding::Single, 1, true},           {Encoding::Double, 2, true},
              {Encoding::Ascii, 3, true},            {Encoding::Single_Big_Endian, 4, false},
              {Encoding::Double_Big_Endian, 5, false}, {Encoding::Single_Big_Endian, 6, true},
              {Encoding::Double_Big_Endian, 7, true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.code);
    CLOSE_RESULT_FILES();
    RESET_GLOBALS();
    clear_console();
    write_case(row.encoding, Small, {ramp_outputs(2, 6)});
    ASSERT_TRUE(open(row.code)) << console();
    EXPECT_EQ(console(), "");
    EXPECT_EQ(Result_Set.Result_Format, row.code);
    EXPECT_EQ(Result_Set.Sequential_Reading, row.sequential);
    EXPECT_EQ(Result_Geometry.AnzX, 3);
    EXPECT_EQ(Result_Geometry.AnzY, 1);
    EXPECT_EQ(Result_Geometry.AnzZ, 2);
    EXPECT_EQ(Result_Geometry.Grid_Spacing, 2.5e-4f);
    EXPECT_TRUE(Result_Geometry.Simulation_Info_Present);
    EXPECT_EQ(Result_Geometry.Simulation_Info[0], "V4.1      ");
    EXPECT_EQ(Result_Geometry.Simulation_Info[3], "Linux     ");
    EXPECT_EQ(Result_Set.Time(1), -666.0f);
    EXPECT_EQ(Result_Set.Time_Step_Number(1), 0);
    EXPECT_EQ(Result_Set.Total_Time_Steps(1), 2);  // the start-up scan counted them
    EXPECT_EQ(Result_Set.Computed_Min(1), 100.0f);
    EXPECT_EQ(Result_Set.Computed_Max(1), 205.0f);
    ASSERT_TRUE(move(1));
    EXPECT_EQ(Result_Set.Time(1), 10.0f);
    EXPECT_EQ(shown(1, 1), 100.0f);
    EXPECT_EQ(shown(1, 3), 102.0f);
  }
}

TEST_F(Open_Case, SearchReportsWhatChanged) {
  const std::string implicit_note =
      " Please note that 'implicit endian conversions' can be time consuming:\n"
      "  please explicitly request the conversion\n  consider converting your files!\n\n";
  const std::string explicit_note =
      " Please note that 'explicit endian conversions' can be time consuming:\n"
      "  consider converting your files!\n\n";
  struct Row {
    Encoding encoding;
    int given;
    int found;
    std::string console;
  } rows[] = {
      {Encoding::Single, 1, 1, ""},
      {Encoding::Single_Big_Endian, 1, 6,
       " Warning: format specification changed from binary single precision\n"
       " to 'non native' binary single precision\n\n" + implicit_note},
      {Encoding::Double, 1, 2,
       " Warning: format specification changed from binary single precision\n to binary double precision\n\n"},
      {Encoding::Single, 2, 1,
       " Warning: format specification changed from binary double precision\n to binary single precision\n\n"},
      {Encoding::Ascii, 2, 3,
       " Warning: format specification changed from binary double precision\n to ASCII\n\n"},
      {Encoding::Single, 4, 1,
       " Warning: format specification changed from 'non native' binary single precision\n"
       " to binary single precision\n\n"},
      {Encoding::Double_Big_Endian, 2, 7,
       " Warning: format specification changed from binary double precision\n"
       " to 'non native' binary double precision\n\n" + implicit_note},
      {Encoding::Double_Big_Endian, 5, 5, ""},
      // Not given: the search runs from the default code; the same code found is silent
      // apart from the note of its kind.
      {Encoding::Single_Big_Endian, 0, 6,
       " Warning: format specification changed from binary single precision\n"
       " to 'non native' binary single precision\n\n" + implicit_note},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.given * 10 + row.found);
    CLOSE_RESULT_FILES();
    RESET_GLOBALS();
    clear_console();
    write_case(row.encoding, Small, {ramp_outputs(1, 6)});
    ASSERT_TRUE(open(row.given)) << console();
    EXPECT_EQ(Result_Set.Result_Format, row.found);
    EXPECT_EQ(console(), row.console);
  }
  (void)explicit_note;
}

TEST_F(Open_Case, GeometryRecordVariants) {
  // 32-byte file (record 1 only), an info record saying "No info!", a longer record 1.
  write_case(Encoding::Single, {3, 1, 2, 1e-4}, {ramp_outputs(1, 6)});
  ASSERT_EQ(std::filesystem::file_size(geometry_path()), 32u);
  ASSERT_TRUE(open(1));
  EXPECT_FALSE(Result_Geometry.Simulation_Info_Present);
  EXPECT_EQ(Result_Geometry.Simulation_Info[4], "No info!  ");
  CLOSE_RESULT_FILES();
  RESET_GLOBALS();

  write_case(Encoding::Double, {3, 1, 2, 1e-4, 0, 0, std::array<std::string, 5>{"No info!", "x", "y", "z", "w"}},
             {ramp_outputs(1, 6)});
  ASSERT_TRUE(open(2));
  EXPECT_FALSE(Result_Geometry.Simulation_Info_Present);
  EXPECT_EQ(Result_Geometry.Simulation_Info[1], "x         ");
  CLOSE_RESULT_FILES();
  RESET_GLOBALS();

  // Record 1 with 4 surplus payload bytes still reads; a shorter one does not fit.
  sample::WRITE_RESULTS(result_path(1), Encoding::Single, ramp_outputs(1, 6));
  files_ = 1;
  const std::string body = little_i32(3) + little_i32(1) + little_i32(2) + little_f32(1e-4f) +
                           little_f32(0) + little_f32(0);
  write_bytes(geometry_path(), little_u32(28) + body + "SURP" + little_u32(28));
  ASSERT_TRUE(open(1)) << console();
  EXPECT_EQ(Result_Geometry.AnzZ, 2);
  CLOSE_RESULT_FILES();
  RESET_GLOBALS();
  clear_console();
  write_bytes(geometry_path(), little_u32(20) + body.substr(0, 20) + little_u32(20));
  EXPECT_FALSE(open(1));
  EXPECT_NE(console().find(" Geometry not consistent!"), std::string::npos);
}

TEST_F(Open_Case, BadCellCountsAreRejected) {
  const std::string message =
      "\n\n Geometry not consistent!\n  (most probably due to a wrong format specification,\n"
      "   and a big/little endian incompatibility)\n\n\n";
  struct Row {
    std::int32_t nx, ny, nz;
  } rows[] = {{0, 1, 2}, {3, -1, 2}, {3, 1, 0}, {100000, 100000, 100000}, {2147483647, 1, 1}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.nx);
    CLOSE_RESULT_FILES();
    RESET_GLOBALS();
    clear_console();
    write_case(Encoding::Single, {row.nx, row.ny, row.nz, 1e-4}, {ramp_outputs(1, 6)});
    EXPECT_FALSE(open(1));
    EXPECT_EQ(console(), message);
  }
}

TEST_F(Open_Case, CellCountOfResultFiles) {
  // File 1 disagreeing with the geometry: no code fits.
  write_case(Encoding::Single, Small, {ramp_outputs(1, 5)});
  EXPECT_FALSE(open(1));
  EXPECT_NE(console().find(" Geometry not consistent!"), std::string::npos);
  CLOSE_RESULT_FILES();
  RESET_GLOBALS();
  clear_console();
  // File 2 disagreeing: the incompatibility message naming both.
  write_case(Encoding::Single, Small, {ramp_outputs(1, 6), ramp_outputs(1, 4)});
  EXPECT_FALSE(open(1));
  EXPECT_EQ(console(), "\n\n Geometry (or format) of Case_f1.zlt\n  and Case_f2.zlt do not seem compatible!\n\n\n");
}

TEST_F(Open_Case, DefaultCut) {
  struct Row {
    std::int32_t ny, index;
  } rows[] = {{1, 1}, {2, 1}, {5, 2}, {6, 3}};
  for (const auto& row : rows) {
    CLOSE_RESULT_FILES();
    RESET_GLOBALS();
    write_case(Encoding::Single, {2, row.ny, 2, 1e-4}, {ramp_outputs(1, 4 * row.ny)});
    ASSERT_TRUE(open(1));
    EXPECT_EQ(Display_Field.Cut_Direction, 2);
    EXPECT_EQ(Display_Field.Cut_Index, row.index) << row.ny;
  }
}

TEST_F(Open_Case, FirstBytesThatAreNotGzip) {
  // 1F 8B 08 02 (header CRC) and 1F 8B 08 10 (comment) are not taken for gzip.
  for (const char* head : {"\x1f\x8b\x08\x02", "\x1f\x8b\x08\x10"}) {
    CLOSE_RESULT_FILES();
    RESET_GLOBALS();
    clear_console();
    write_case(Encoding::Single, Small, {ramp_outputs(1, 6)});
    write_bytes(geometry_path(), std::string(head, 4) + std::string(40, '\0'));
    EXPECT_FALSE(open(1));
    EXPECT_NE(console().find(" Geometry not consistent!"), std::string::npos);
    EXPECT_EQ(dir_.listing(), "Case_f1.zlt Case_geoF.zlt");
  }
}

TEST_F(Open_Case, CompressedCaseWithoutTheOption) {
  write_case(Encoding::Single, Small, {ramp_outputs(2, 6), ramp_outputs(2, 6)});
  for (const std::string& path : {geometry_path(), result_path(1), result_path(2)}) {
    sample::GZIP_COPY(path, path + ".tmpgz");
    std::filesystem::rename(path + ".tmpgz", path);
  }
  ASSERT_TRUE(open(1)) << console();
  EXPECT_EQ(console(), " Warning: compressed results\n");
  EXPECT_TRUE(Result_Set.Compressed_Results);
  // The geometry copy is gone, the result copies stay while the case is open.
  EXPECT_EQ(dir_.listing(), "Case_f1.zlt Case_f2.zlt Case_geoF.zlt DP_ZELTRA_01_01.tmp DP_ZELTRA_02_01.tmp");
  ASSERT_TRUE(move(1));
  EXPECT_EQ(shown(2, 2), 101.0f);
  CLOSE_RESULT_FILES();
  EXPECT_EQ(dir_.listing(), "Case_f1.zlt Case_f2.zlt Case_geoF.zlt");
}

TEST_F(Open_Case, SearchThatAlsoFindsCompression) {
  // Given code 1 without the compression option, the case is gzip double precision.
  write_case(Encoding::Double, Small, {ramp_outputs(1, 6)});
  for (const std::string& path : {geometry_path(), result_path(1)}) {
    sample::GZIP_COPY(path, path + ".tmpgz");
    std::filesystem::rename(path + ".tmpgz", path);
  }
  ASSERT_TRUE(open(1)) << console();
  EXPECT_EQ(console(),
            " Warning: format specification changed from binary single precision (not compressed)\n"
            " to binary double precision (compressed)\n\n");
  EXPECT_EQ(Result_Set.Result_Format, 2);
}

TEST_F(Open_Case, WorkingCopyNameTakenAlready) {
  write_case(Encoding::Double, Small, {ramp_outputs(1, 6)});
  for (const std::string& path : {geometry_path(), result_path(1)}) {
    sample::GZIP_COPY(path, path + ".tmpgz");
    std::filesystem::rename(path + ".tmpgz", path);
  }
  // The copy of another run that is still going (it holds the owner's mark).
  write_bytes(dir_ / "DP_ZELTRA_01_01.tmp", "taken");
  Owner_Mark other_run;
  ASSERT_TRUE(other_run.CLAIM(dir_ / "DP_ZELTRA_01_01.tmp"));
  ASSERT_TRUE(open(2, true)) << console();
  EXPECT_EQ(console(), "");
  EXPECT_EQ(Result_Set.Temporary_Files(0), dir_ / "DP_ZELTRA_00_01.tmp");
  EXPECT_EQ(Result_Set.Temporary_Files(1), dir_ / "DP_ZELTRA_01_02.tmp");
  EXPECT_EQ(read_bytes(dir_ / "DP_ZELTRA_01_01.tmp"), "taken");
}

TEST_F(Open_Case, GzipInsideGzip) {
  write_case(Encoding::Single, Small, {ramp_outputs(1, 6)});
  for (const std::string& path : {geometry_path(), result_path(1)})
    for (int twice = 0; twice < 2; ++twice) {
      sample::GZIP_COPY(path, path + ".tmpgz");
      std::filesystem::rename(path + ".tmpgz", path);
    }
  EXPECT_FALSE(open(1));
  EXPECT_EQ(console(), "\n\n Unrecognised format!\n\n\n");
  CLOSE_RESULT_FILES();
  EXPECT_EQ(dir_.listing(), "Case_f1.zlt Case_geoF.zlt");  // no working copy left behind

  CLOSE_RESULT_FILES();
  RESET_GLOBALS();
  clear_console();
  EXPECT_FALSE(open(1, true));
  EXPECT_EQ(console(), "\n\nRoutine 'Zipped_Files' called with unrecognised parameters!\n\n\n");
  CLOSE_RESULT_FILES();
  EXPECT_EQ(dir_.listing(), "Case_f1.zlt Case_geoF.zlt");
}

TEST_F(Open_Case, GzipCutShortStopsAndLeavesNoCopy) {
  write_case(Encoding::Single, Small, {ramp_outputs(3, 6)});
  sample::GZIP_COPY(geometry_path(), geometry_path() + ".gz");
  std::filesystem::rename(geometry_path() + ".gz", geometry_path());
  sample::GZIP_COPY(result_path(1), result_path(1) + ".gz");
  const std::string whole = read_bytes(result_path(1) + ".gz");
  write_bytes(result_path(1), whole.substr(0, whole.size() - 12));
  std::filesystem::remove(result_path(1) + ".gz");
  EXPECT_FALSE(open(1, true));
  EXPECT_NE(console().find(result_path(1)), std::string::npos) << console();
  CLOSE_RESULT_FILES();
  EXPECT_EQ(dir_.listing(), "Case_f1.zlt Case_geoF.zlt");
}

TEST_F(Open_Case, RecordNumberCodesShowTheInformation) {
  write_case(Encoding::Double_Big_Endian, {3, 1, 2, 3.0e-4, 0, 0,
                                           std::array<std::string, 5>{"V5", "d", "r", "u", "double"}},
             {ramp_outputs(1, 6)});
  ASSERT_TRUE(open(5));
  EXPECT_TRUE(Result_Geometry.Simulation_Info_Present);
  EXPECT_EQ(Result_Geometry.Simulation_Info[4], "double    ");
  EXPECT_EQ(Result_Geometry.Grid_Spacing, 3.0e-4f);
}

TEST(Open_File, RecordLengthAndByteOrderTogetherStop) {
  std::ostringstream text;
  SET_CONSOLE_STREAM(&text);
  EXPECT_THROW(OPEN_FILE(120, "/nonexistent", "UNFORMATTED", true, 16), Program_Stop);
  SET_CONSOLE_STREAM(nullptr);
  EXPECT_EQ(text.str(), "\n\n Wrong call to 'Open_File'!\n\n\n");
  EXPECT_TRUE(OPEN_FILE(120, "/nonexistent/file", "UNFORMATTED"));
  EXPECT_TRUE(OPEN_FILE(120, "/tmp", "UNFORMATTED"));  // a folder is no file
}

}  // namespace
