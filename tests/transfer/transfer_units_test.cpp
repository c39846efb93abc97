// Conversion routines one by one: number reading, report lines, the ASCII record layout,
// the record copier and the geometry copy on small files written here.

#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include "records/Console.h"
#include "records/Globals.h"
#include "platform/Io_Fault.h"
#include "result_files/Module_GZip.h"
#include "result_files/Working_File.h"
#include "result_files/gzip_stream.h"
#include "tests/result_files/Scratch_Folder.h"
#include "transfer/Transfer_Channel.h"
#include "transfer/Transfer_ZELTRA.h"

namespace {

// A binary record of the given format (1 single, 3 double) with count values.
std::string binary_record(int format, double time, const std::vector<double>& values, int count = -1) {
  std::string payload;
  auto put = [&](const void* p, std::size_t n) { payload.append(static_cast<const char*>(p), n); };
  if (format == 3) {
    put(&time, 8);
  } else {
    float t = static_cast<float>(time);
    put(&t, 4);
  }
  std::int32_t c = count < 0 ? static_cast<std::int32_t>(values.size()) : count;
  put(&c, 4);
  for (double v : values) {
    if (format == 3) {
      put(&v, 8);
    } else {
      float f = static_cast<float>(v);
      put(&f, 4);
    }
  }
  std::int32_t length = static_cast<std::int32_t>(payload.size());
  std::string record(reinterpret_cast<const char*>(&length), 4);
  return record + payload + std::string(reinterpret_cast<const char*>(&length), 4);
}

TEST(Read_Number, FirstRunOfDigits) {
  const struct {
    const char* text;
    std::int32_t value;
  } cases[] = {{"-k12", 12}, {"-3k", 3}, {"-k05", 5}, {":3/7", 3}, {"/2  ", 2}, {"-l2147483647", 2147483647}};
  for (const auto& c : cases) EXPECT_EQ(READ_NUMBER(c.text), c.value) << c.text;
}

TEST(Read_Number, NoUsableDigitsStop) {
  const struct {
    const char* text;
    const char* console;
  } cases[] = {
      {"-k", "\n\nUnable to interpret input -k\n\n\n"},
      {"-k   ", "\n\nUnable to interpret input -k\n\n\n"},
      {"-l2147483648", "\n\nUnable to interpret input -l2147483648\n\n\n"},
      // A sign is no digit: "-k-1" never removes output 1.
      {"-k-1", "\n\nUnable to interpret input -k-1\n\n\n"},
      {"-l+2", "\n\nUnable to interpret input -l+2\n\n\n"},
      {":-2/3", "\n\nUnable to interpret input :-2/3\n\n\n"},
  };
  for (const auto& c : cases) {
    Console_Capture console;
    EXPECT_THROW(READ_NUMBER(c.text), Program_Stop);
    EXPECT_EQ(console.text(), c.console);
  }
}

TEST(Smart_Concatenation, JoinsAfterParenthesisOrBlank) {
  const struct {
    std::string text, addition, result;
    std::size_t length;
  } cases[] = {
      {" Result  : Sim.conc1", "(", " Result  : Sim.conc1 (", 200},
      {" Result  : Sim.conc1 (", "binary", " Result  : Sim.conc1 (binary", 200},
      {" Result  : Sim.conc1 (binary", "compressed", " Result  : Sim.conc1 (binary compressed", 200},
      {"", "x", " x", 200},
      {"abc", "defgh", "abc de", 6},
  };
  for (const auto& c : cases) {
    std::string text = c.text;
    SMART_CONCATENATION(text, c.addition, c.length);
    EXPECT_EQ(text, c.result);
  }
}

TEST(Ascii_Fields, GeneralFormOfSevenDigits) {
  const struct {
    float value;
    const char* field;
  } cases[] = {
      {1.0f, "   1.000000    "},      {0.5f, "  0.5000000    "},      {0.001f, "  1.0000000E-03"},
      {0.0f, "   0.000000    "},      {-0.0f, "  -0.000000    "},     {-2.5f, "  -2.500000    "},
      {0.1f, "  0.1000000    "},      {0.099999994f, "  9.9999994E-02"}, {9999999.0f, "   9999999.    "},
      {1.0e7f, "  1.0000000E+07"},    {123456.7f, "   123456.7    "},  {-1.0e-30f, " -1.0000000E-30"},
      {3.4028235e38f, "  3.4028235E+38"}, {1.3333334f, "   1.333333    "},
  };
  for (const auto& c : cases) {
    std::string out;
    EDIT_G15_7(out, c.value);
    EXPECT_EQ(out, c.field) << c.value;
  }
  std::string out;
  EDIT_I12(out, -2147483647 - 1);
  EDIT_I12(out, 4);
  EXPECT_EQ(out, " -2147483648           4");
}

TEST(Ascii_Record, LinesOf80ColumnsWithCrLf) {
  Scratch_Folder dir;
  const struct {
    std::vector<float> values;
    std::vector<std::size_t> line_lengths;
  } cases[] = {
      {{1, 2, 3, 4}, {73, 16}},
      {{1, 2, 3}, {73}},
      {{}, {28}},
      {{1, 2, 3, 4, 5, 6, 7, 8}, {73, 76}},
      {{1, 2, 3, 4, 5, 6, 7, 8, 9}, {73, 76, 16}},
  };
  for (const auto& c : cases) {
    Transfer_Channel out;
    ASSERT_TRUE(CHANNEL_OPEN_WRITE(out, dir / "r.txt", "r.txt", true));
    WRITE_ASCII_RECORD(out, 0.5f, static_cast<std::int32_t>(c.values.size()), c.values);
    ASSERT_TRUE(CHANNEL_CLOSE(out));
    std::string text = read_bytes(dir / "r.txt");
    std::vector<std::size_t> lengths;
    for (std::size_t at = 0; at < text.size();) {
      std::size_t end = text.find("\r\n", at);
      ASSERT_NE(end, std::string::npos);
      EXPECT_EQ(text[at], ' ');
      lengths.push_back(end - at);
      at = end + 2;
    }
    EXPECT_EQ(lengths, c.line_lengths);
  }
}

// Runs COPY_RESULTS from file "in" (format fin) to "out" (format fout); returns the count.
struct Copier {
  Scratch_Folder dir;
  Transfer_Channel in, out;
  std::int32_t run(int fin, int fout, std::int32_t count, bool skip, Rescale_Ratio_Type ratio = {}) {
    if (in.fd < 0) {
      EXPECT_TRUE(CHANNEL_OPEN_READ(in, dir / "in", "in", fin == 2));
    }
    if (out.fd < 0) {
      EXPECT_TRUE(CHANNEL_OPEN_WRITE(out, dir / "out", "out", fout == 2));
    }
    COPY_RESULTS(in, fin, &out, fout, count, skip, ratio);
    return count;
  }
  std::string written() {
    EXPECT_TRUE(CHANNEL_CLOSE(out));
    return read_bytes(dir / "out");
  }
};

TEST(Copy_Results, CountsAndPositions) {
  const std::string r1 = binary_record(1, 0.0, {1, 2}), r2 = binary_record(1, 0.5, {3, 4}),
                    r3 = binary_record(1, 1.0, {5, 6});
  {  // at the end: 0, nothing written, position unchanged
    Copier c;
    write_bytes(c.dir / "in", r1);
    EXPECT_EQ(c.run(1, 1, -1, false), 1);
    EXPECT_EQ(c.run(1, 1, -1, false), 0);
    EXPECT_EQ(CHANNEL_OFFSET(c.in), r1.size());
    EXPECT_EQ(c.written(), r1);
  }
  {  // count 1 and 0 copy nothing but size the buffers
    Copier c;
    write_bytes(c.dir / "in", r1 + r2);
    Transfer_Buffers = {};
    EXPECT_EQ(c.run(1, 3, 1, false), 0);
    EXPECT_EQ(c.run(1, 3, 0, false), 0);
    EXPECT_EQ(CHANNEL_OFFSET(c.in), 0u);
    EXPECT_EQ(Transfer_Buffers.Buffer_Array_Single.size(), 2u);
    EXPECT_EQ(Transfer_Buffers.Buffer_Array_Double.size(), 2u);
    EXPECT_EQ(c.written(), "");
  }
  {  // skip k + 1 leaves the input at record k + 1; a shorter file gives what there was
    Copier c;
    write_bytes(c.dir / "in", r1 + r2 + r3);
    EXPECT_EQ(c.run(1, 1, 3, true), 2);
    EXPECT_EQ(CHANNEL_OFFSET(c.in), r1.size() + r2.size());
    EXPECT_EQ(c.run(1, 1, 5, true), 1);
    EXPECT_EQ(c.written(), "");
  }
}

TEST(Copy_Results, PrecisionRoundTripIsByteIdentical) {
  const std::string single = binary_record(1, 0.1, {0.1, -1e-30, 3.4e38, 7}) + binary_record(1, 2.5, {1, 2, 3, 4});
  Copier to_double;
  write_bytes(to_double.dir / "in", single);
  EXPECT_EQ(to_double.run(1, 3, -1, false), 2);
  const std::string dual = to_double.written();
  EXPECT_EQ(dual, binary_record(3, static_cast<float>(0.1), {static_cast<float>(0.1), static_cast<float>(-1e-30),
                                                             static_cast<float>(3.4e38), 7}) +
                      binary_record(3, 2.5, {1, 2, 3, 4}));
  Copier back;
  write_bytes(back.dir / "in", dual);
  EXPECT_EQ(back.run(3, 1, -1, false), 2);
  EXPECT_EQ(back.written(), single);

  Copier rounding;  // double to single rounds to nearest
  write_bytes(rounding.dir / "in", binary_record(3, 0.1, {0.1, 1.0 / 3.0}));
  EXPECT_EQ(rounding.run(3, 1, -1, false), 1);
  EXPECT_EQ(rounding.written(), binary_record(1, 0.1, {0.1, 1.0 / 3.0}));
}

TEST(Copy_Results, AsciiToBinaryReadsBackTheValues) {
  Copier to_text;
  const std::string binary = binary_record(1, 0.0, {1, 0.001, -2.5, 1e7, 123456.7f, 0.1f}) +
                             binary_record(1, 1e-5, {9, 8, 7, 6, 5, 4});
  write_bytes(to_text.dir / "in", binary);
  EXPECT_EQ(to_text.run(1, 2, -1, false), 2);
  const std::string text = to_text.written();
  Copier back;
  write_bytes(back.dir / "in", text);
  EXPECT_EQ(back.run(2, 1, -1, false), 2);
  EXPECT_EQ(back.written(), binary);
}

TEST(Copy_Results, RescalesEveryRecord) {
  Copier c;
  std::vector<double> field(100);
  for (int i = 0; i < 100; ++i) field[static_cast<std::size_t>(i)] = i;
  write_bytes(c.dir / "in", binary_record(1, 0.0, field) + binary_record(1, 1.0, field));
  Transfer_Options.NX = 10, Transfer_Options.NY = 10, Transfer_Options.NZ = 1;
  EXPECT_EQ(c.run(1, 1, -1, false, {1, 2}), 2);
  std::vector<double> expected;
  for (int j = 0; j < 5; ++j)
    for (int i = 0; i < 5; ++i) expected.push_back(((20 * j + 2 * i) * 4 + 1 + 10 + 11) / 4.0);
  EXPECT_EQ(c.written(), binary_record(1, 0.0, expected) + binary_record(1, 1.0, expected));
}

// Damaged input and wrong flags stop with a message naming the file and the output.
TEST(Copy_Results, BadInputStops) {
  const std::string r1 = binary_record(1, 0.0, {1, 2}), r2 = binary_record(1, 0.5, {3, 4});
  std::string bad_closing = r2;
  bad_closing[bad_closing.size() - 4] = 9;
  const struct {
    std::string input;
    int fin;
    Rescale_Ratio_Type ratio;
    std::string console;
  } cases[] = {
      {r1 + r2.substr(0, r2.size() - 3), 1, {},
       "\n\n Unable to read output 2 of file: in\n (the file ends inside this output)\n\n\n"},
      {r1 + r2.substr(0, 2), 1, {}, "\n\n Unable to read output 2 of file: in\n (the file ends inside this output)\n\n\n"},
      {r1 + bad_closing, 1, {},
       "\n\n Unable to read output 2 of file: in\n (the record's closing length 9 differs from its opening length "
       "16)\n\n\n"},
      {r1 + binary_record(1, 0.5, {3, 4, 5}), 1, {},
       "\n\n Unable to read output 2 of file: in\n (cell count 3 differs from the first output's 2)\n\n\n"},
      {r1, 3, {}, "\n\n Unable to read output 1 of file: in\n (record length 16 does not match cell count 1065353216 "
                  "(wrong input format?))\n\n\n"},
      {binary_record(3, 0.0, {1, 2}), 1, {},
       "\n\n Unable to read output 1 of file: in\n (record length 28 does not match cell count 0 (wrong input "
       "format?))\n\n\n"},
      {r1, 2, {}, "\n\n Unable to read output 1 of file: in\n (the time is not a number (wrong input format?))\n\n\n"},
      {" 0.5 2\n 1.0 x\n", 2, {}, "\n\n Unable to read output 1 of file: in\n (value 2 is not a number)\n\n\n"},
      {" 0.5 3\n 1.0 2.0\n", 2, {}, "\n\n Unable to read output 1 of file: in\n (the file ends inside this output)\n\n\n"},
      {r1, 1, {1, 2}, "\n\n Inconsistant geometry!\n\n\n"},
      {r1, 4, {}, "\n\n Unrecognised input format!\n\n\n"},
  };
  for (const auto& c : cases) {
    Copier copier;
    write_bytes(copier.dir / "in", c.input);
    Transfer_Options.NX = 3, Transfer_Options.NY = 1, Transfer_Options.NZ = 1;
    Console_Capture console;
    EXPECT_THROW(copier.run(c.fin, 1, -1, false, c.ratio), Program_Stop);
    EXPECT_EQ(console.text(), c.console);
  }
  Copier bad_output;
  write_bytes(bad_output.dir / "in", r1);
  Console_Capture console;
  EXPECT_THROW(bad_output.run(1, 0, -1, false), Program_Stop);
  EXPECT_EQ(console.text(), "\n\n Unrecognised output format!\n\n\n");
}

TEST(Copy_Results, BuffersGrowAndAreKept) {
  Transfer_Buffers = {};
  Copier c;
  write_bytes(c.dir / "in", binary_record(1, 0, {1, 2}));
  c.run(1, 1, -1, false);
  EXPECT_EQ(Transfer_Buffers.Buffer_Array_Single.size(), 2u);
  Copier bigger;
  write_bytes(bigger.dir / "in", binary_record(1, 0, {1, 2, 3, 4, 5}));
  bigger.run(1, 1, -1, false);
  EXPECT_EQ(Transfer_Buffers.Buffer_Array_Single.size(), 5u);
  Copier smaller;
  write_bytes(smaller.dir / "in", binary_record(1, 0, {1}));
  smaller.run(1, 1, -1, false);
  EXPECT_EQ(Transfer_Buffers.Buffer_Array_Single.size(), 5u);
  EXPECT_EQ(smaller.written(), binary_record(1, 0, {1}));
}

// Records large enough to be parsed in parts by several threads read the same as small ones,
// whatever the line layout, and the rest of a record's last line is passed over.
TEST(Copy_Results, LargeAsciiRecords) {
  const std::size_t n = 70001;
  std::vector<double> first(n), second(n);
  std::string text = " 0.5 " + std::to_string(n) + "\n";
  for (std::size_t i = 0; i < n; ++i) {
    first[i] = static_cast<float>(0.001 * static_cast<double>(i) - 3.0);
    text += (i % 7 == 0 ? "\r\n " : (i % 3 == 0 ? " \t" : "  ")) + std::to_string(static_cast<float>(first[i]));
  }
  text += " 99 98 97\n 1.5E+00 " + std::to_string(n) + " ";  // the line's rest is skipped
  for (std::size_t i = 0; i < n; ++i) {
    second[i] = static_cast<float>(1.0e-6 * static_cast<double>(i));
    char v[32];
    std::snprintf(v, sizeof v, "%.9e", static_cast<float>(second[i]));
    text += std::string(v) + (i % 2 ? "\n" : (i % 5 ? " " : ","));  // commas: the reader's own rules
  }
  Copier c;
  write_bytes(c.dir / "in", text);
  EXPECT_EQ(c.run(2, 1, -1, false), 2);
  EXPECT_EQ(c.written(), binary_record(1, 0.5, first) + binary_record(1, 1.5, second));

  // A bad value deep inside a large record is reported with its number.
  std::string bad = text;
  bad.replace(bad.find("-2.900000"), 9, "-2.9x0000");
  Copier broken;
  write_bytes(broken.dir / "in", bad);
  Console_Capture console;
  EXPECT_THROW(broken.run(2, 1, -1, false), Program_Stop);
  EXPECT_EQ(console.text(), "\n\n Unable to read output 1 of file: in\n (value 101 is not a number)\n\n\n");
}

// Fail every boundary call of a conversion in turn: each failure stops with the input as it
// was, the old output untouched and no working file left; once it passes, the output is right.
// With unnamed working files, then named ones.
TEST(Transfer_File, InjectedFaultsLoseNothing) {
  gzip_set_pause([](int) {});
  const std::string input = binary_record(1, 0.0, {1, 2, 3}) + binary_record(1, 0.5, {4, 5, 6});
  const struct {
    bool in_compressed, out_compressed, in_place, named;
  } cases[] = {{false, false, false, false}, {false, false, true, false}, {true, true, false, false},
               {true, false, true, false},   {false, false, false, true}, {false, false, true, true},
               {true, true, false, true},    {true, false, true, true}};
  for (const auto& c : cases) {
    NAMED_WORKING_FILES_ONLY(c.named);
    Scratch_Folder dir;
    RESET_TRANSFER_STATE();
    Temporary_Directory = dir.path().string() + "/";
    SET_TEMPORARY_FILE_NAMES();
    Transfer_Options.Input_Compressed = c.in_compressed;
    Transfer_Options.Output_Compressed = c.out_compressed;
    const std::string in_name = dir / "Sim.conc1";
    const std::string out_name = c.in_place ? in_name : dir / "Out";
    write_bytes(dir / "plain", input);
    if (c.in_compressed) {
      COMPRESS_FILE(dir / "plain", in_name);
    } else {
      write_bytes(in_name, input);
    }
    std::filesystem::remove(dir / "plain");
    if (!c.in_place) write_bytes(out_name, "old output");
    const std::string before = read_bytes(in_name);
    const std::string listing = dir.listing();
    for (long n = 1;; ++n) {
      Console_Capture console;
      IO_FAULT_ARM(n, -1);
      bool stopped = false;
      try {
        TRANSFER_FILE(in_name, out_name, {}, "");
      } catch (const Program_Stop&) {
        stopped = true;
      }
      const long calls = IO_FAULT_CALLS();
      IO_FAULT_ARM(0);
      EXPECT_EQ(dir.listing(), listing) << n;
      if (!stopped) {
        EXPECT_LT(calls, n);
        break;
      }
      EXPECT_EQ(read_bytes(in_name), before) << n;
      if (!c.in_place) {
        EXPECT_EQ(read_bytes(out_name), "old output") << n;
      }
      ASSERT_LT(n, 100);
    }
    if (c.out_compressed) {
      UNCOMPRESS_FILE(out_name, dir / "check");
      std::filesystem::remove(dir / "check");
    }
    EXPECT_EQ(dir.listing(), listing);
  }
  NAMED_WORKING_FILES_ONLY(false);
  gzip_set_pause(nullptr);
  RESET_TRANSFER_STATE();
}

TEST(Kick_Out_Output, ReturnsTheOutputsThatFollowed) {
  const struct {
    int outputs;
    std::int32_t k, k_after;
    std::size_t records_after;
    std::string console;  // "%" stands for the file's name
  } cases[] = {
      {5, 3, 2, 4, ""},
      {5, 5, 0, 4, ""},
      {5, 1, 4, 4, ""},
      // Refused, the file unchanged: no such output, or the file's only output.
      {5, 9, 0, 5, " Output 9 does not exist in file: % (5 outputs)\n"},
      {5, 0, 0, 5, " Output 0 does not exist in file: % (5 outputs)\n"},
      {1, 1, 0, 1, " Unable to remove every output of file: % (1 output)\n"},
  };
  for (const auto& c : cases) {
    Scratch_Folder dir;
    RESET_TRANSFER_STATE();
    Temporary_Directory = dir.path().string() + "/";
    SET_TEMPORARY_FILE_NAMES();
    std::string file;
    for (int i = 1; i <= c.outputs; ++i) file += binary_record(1, i, {1.0 * i});
    write_bytes(dir / "R", file);
    std::int32_t k = c.k;
    Console_Capture console;
    KICK_OUT_OUTPUT(dir / "R", k, false);
    EXPECT_EQ(k, c.k_after) << c.k;
    EXPECT_EQ(read_bytes(dir / "R").size(), c.records_after * binary_record(1, 0, {1}).size());
    EXPECT_EQ(console.text(), std::regex_replace(c.console, std::regex("%"), dir / "R")) << c.k;
    EXPECT_EQ(dir.listing(), "R");
  }
  RESET_TRANSFER_STATE();
}

TEST(Set_Temporary_File_Names, FreeNamesInTheFolderPrefix) {
  Scratch_Folder dir;
  RESET_TRANSFER_STATE();
  write_bytes(dir / "tmpTransfer_ZELTRA_01_001.tmp", "");
  Temporary_Directory = (dir / "tmp");
  SET_TEMPORARY_FILE_NAMES();
  EXPECT_EQ(Temporary_File_Names[0], dir / "tmpTransfer_ZELTRA_00_001.tmp");
  EXPECT_EQ(Temporary_File_Names[1], dir / "tmpTransfer_ZELTRA_01_002.tmp");
  EXPECT_EQ(Temporary_File_Names[3], dir / "tmpTransfer_ZELTRA_03_001.tmp");
  RESET_TRANSFER_STATE();
}

// A record large enough to be formatted in parts keeps the one line layout and reads back.
TEST(Copy_Results, LargeRecordsToAscii) {
  const std::size_t n = 70003;
  std::vector<double> values(n);
  for (std::size_t i = 0; i < n; ++i) values[i] = 0.25 * static_cast<double>(i) - 100.0;
  const std::string binary = binary_record(1, 2.5, values) + binary_record(1, 3.5, values);
  Copier to_text;
  write_bytes(to_text.dir / "in", binary);
  EXPECT_EQ(to_text.run(1, 2, -1, false), 2);
  const std::string text = to_text.written();
  std::vector<std::size_t> lengths;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = text.find("\r\n", at);
    ASSERT_NE(end, std::string::npos);
    lengths.push_back(end - at);
    at = end + 2;
  }
  const std::size_t per_record = 1 + (n - 3 + 4) / 5;  // 73, then 76 each, the last shorter
  ASSERT_EQ(lengths.size(), 2 * per_record);
  for (std::size_t line = 0; line < lengths.size(); ++line) {
    const std::size_t in_record = line % per_record;
    const std::size_t expected = in_record == 0 ? 73 : in_record + 1 < per_record ? 76 : 1 + 15 * ((n - 3) % 5 ? (n - 3) % 5 : 5);
    EXPECT_EQ(lengths[line], expected) << line;
  }
  Copier back;
  write_bytes(back.dir / "in", text);
  EXPECT_EQ(back.run(2, 1, -1, false), 2);
  EXPECT_EQ(back.written(), binary);
}

}  // namespace
