// The conversion mode as users run it: Display_ZELTRA -t ... on small cases written here,
// console transcripts compared word for word, files byte for byte, exit codes checked.

#include <gtest/gtest.h>
#include <sys/wait.h>  // WEXITSTATUS

#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

#include "tests/Sanitizer_Reports.h"
#include "tests/result_files/Scratch_Folder.h"
#include "tests/result_files/Sparse_Records.h"
#include "tools/Sample_Case.h"

namespace {

struct Program_Run {
  int exit_code;
  std::string console;  // standard error
  std::string listing;  // standard output
};

const std::string Title = "\n\nDisplay ZELTRA\n";

// Runs the program in the folder with the words (each single-quoted).
Program_Run run_program(const Scratch_Folder& dir, const std::vector<std::string>& words) {
  std::string command = "cd '" + dir.path().string() + "' && '" ZELTRA_BIN_DIR "/Display_ZELTRA'";
  for (const auto& w : words) command += " '" + w + "'";
  command += " 2>../" + dir.path().filename().string() + ".err >../" + dir.path().filename().string() + ".out";
  const int status = std::system(command.c_str());
  const std::string base = dir.path().parent_path() / dir.path().filename();
  Program_Run run{WEXITSTATUS(status), read_bytes(base + ".err"), read_bytes(base + ".out")};
  std::filesystem::remove(base + ".err");
  std::filesystem::remove(base + ".out");
  FAIL_ON_SANITIZER_REPORT("Display_ZELTRA", run.console);
  // Every run opens with the program's title; the transcripts below are what follows it.
  EXPECT_TRUE(run.console.starts_with(Title)) << run.console;
  if (run.console.starts_with(Title)) run.console.erase(0, Title.size());
  return run;
}

std::vector<sample::Output> three_outputs() {
  return {{0.0, {1, 2, 3, 4}}, {0.5, {0.001, -2.5, 1e7, 123456.7}}, {1.0, {5, 6, 7, 8}}};
}

const std::string Ascii_Three_Outputs =
    "    0.000000               4   1.000000       2.000000       3.000000    \r\n"
    "    4.000000    \r\n"
    "   0.5000000               4  1.0000000E-03  -2.500000      1.0000000E+07\r\n"
    "    123456.7    \r\n"
    "    1.000000               4   5.000000       6.000000       7.000000    \r\n"
    "    8.000000    \r\n";

std::string conversion_lines(const std::string& input, const std::string& output) {
  return "\n Transfer ZELTRA\n\n Input : " + input + "\n Output : " + output + "\n\n";
}

TEST(Transfer_Program, SynopsisWithoutWords) {
  Scratch_Folder dir;
  Program_Run run = run_program(dir, {"-t"});
  EXPECT_EQ(run.exit_code, 1);
  // Every option the conversion reads is listed.
  EXPECT_EQ(run.console,
            "\n Transfer ZELTRA\n\n"
            " Synopsis:\n"
            " ---------\n"
            "  Display_ZELTRA -t [options] [-i]Input_File [-o]Output_File\n"
            "   (-i and -o can be omitted if file names are specified in that order)\n"
            "   (--Transfer_ZELTRA may stand for -t)\n"
            "  Options:\n"
            "   -a:   input file in ASCII\n"
            "   -d:   input file in double-precision\n"
            "   -e:   input file in binary\n"
            "   -y:   input file compressed\n"
            "   -b:   output file in binary\n"
            "   -f:   output file in double-precision\n"
            "   -c:   output file in ASCII\n"
            "   -z:   output file compressed\n"
            "   -g:   input is a geoF file\n"
            "   -w:   transfer whole set of results\n"
            "   -k:   remove output from result file\n"
            "         (ex.: -k5 to remove fifth output)\n"
            "   -l:   remove outputs from result file\n"
            "         (ex.: -l5 -l7 to remove fifth and seventh outputs)\n"
            "   -r:   rename whole set of results from UNIX's naming to Windows'\n"
            "        (or vice-versa)\n"
            "   -m:   compute matrix composition of an alloy simulation\n"
            "         (ex.: -m -iSimulation.conc1 -iSimulation.conc2 -oSimulation.conc3)\n"
            "   -1:   compute matrix composition: composition in fraction\n"
            "   -100: compute matrix composition: composition in percent\n"
            "   --Rescale:n/p rescale result  by ratio 'n/p'\n"
            "   --Output_Times list the output times of the input file\n"
            "         (also --Output_Time, --Times, --Time)\n"
            "   --Temp:folder/ place the working files in folder/\n"
            "  Default:\n"
            "   - 'single precision' binary input file (not compressed)\n"
            "   - output file in ASCII (not compressed)\n\n");
}

TEST(Transfer_Program, OneFileConversions) {
  const struct {
    std::vector<std::string> words;
    std::string console;
    std::vector<std::string> files_after;  // the folder listing
  } cases[] = {
      {{"-t", "Sim.conc1"}, conversion_lines("Sim.conc1 (binary)", "Sim.conc1 (ASCII)"), {"Sim.conc1"}},
      {{"-t", "Sim.conc1", "Out.txt"}, conversion_lines("Sim.conc1 (binary)", "Out.txt (ASCII)"),
       {"Out.txt", "Sim.conc1"}},
      {{"-t", "Sim.conc1", "Ignored", "Out.txt"}, conversion_lines("Sim.conc1 (binary)", "Out.txt (ASCII)"),
       {"Out.txt", "Sim.conc1"}},
      {{"-t", "-oOut.txt", "-iSim.conc1"}, conversion_lines("Sim.conc1 (binary)", "Out.txt (ASCII)"),
       {"Out.txt", "Sim.conc1"}},
      // The same file under another name is still converted safely.
      {{"-t", "Sim.conc1", "./Sim.conc1"}, conversion_lines("Sim.conc1 (binary)", "./Sim.conc1 (ASCII)"),
       {"Sim.conc1"}},
  };
  for (const auto& c : cases) {
    Scratch_Folder dir;
    sample::WRITE_RESULTS(dir / "Sim.conc1", sample::Encoding::Single, three_outputs());
    Program_Run run = run_program(dir, c.words);
    EXPECT_EQ(run.exit_code, 0) << c.words.back();
    EXPECT_EQ(run.console, c.console);
    std::string listing;
    for (const auto& f : c.files_after) listing += (listing.empty() ? "" : " ") + f;
    EXPECT_EQ(dir.listing(), listing);
    const std::string output = c.files_after.size() == 1 ? "Sim.conc1" : "Out.txt";
    EXPECT_EQ(read_bytes(dir / output), Ascii_Three_Outputs);
  }
}

TEST(Transfer_Program, FormatsRoundTrip) {
  Scratch_Folder dir;
  sample::WRITE_RESULTS(dir / "Single", sample::Encoding::Single, three_outputs());
  sample::WRITE_RESULTS(dir / "Double", sample::Encoding::Double, three_outputs());
  sample::WRITE_RESULTS(dir / "Text", sample::Encoding::Ascii, three_outputs());
  const std::string single = read_bytes(dir / "Single");
  const struct {
    std::vector<std::string> words;
    std::string output;
    std::string expected_file;  // whose bytes the output must equal
  } cases[] = {
      {{"-t", "-f", "Single", "D"}, "D", ""},       // checked through the way back
      {{"-t", "-d", "-b", "D", "S"}, "S", "Single"},  // single -> double -> single
      {{"-t", "-bf", "Single", "D2"}, "D2", "D"},   // b and f in one word: f wins
      {{"-t", "-fb", "Single", "D3"}, "D3", "D"},
      {{"-t", "-a", "-b", "Text", "FromText"}, "FromText", "Single"},
      {{"-t", "-d", "Double", "DoubleText"}, "DoubleText", ""},
      {{"-t", "-a", "-b", "DoubleText", "FromDouble"}, "FromDouble", "Single"},
      {{"-t", "-a", "-b", "DoubleText", "FromDouble"}, "FromDouble", "Single"},
  };
  for (const auto& c : cases) {
    Program_Run run = run_program(dir, c.words);
    EXPECT_EQ(run.exit_code, 0) << c.words[2] << " " << run.console;
    if (!c.expected_file.empty()) {
      EXPECT_EQ(read_bytes(dir / c.output), read_bytes(dir / c.expected_file)) << c.output;
    }
  }
  EXPECT_EQ(read_bytes(dir / "S"), single);
}

TEST(Transfer_Program, CompressedInputAndOutput) {
  Scratch_Folder dir;
  sample::WRITE_RESULTS(dir / "Sim.conc1", sample::Encoding::Single, three_outputs());
  sample::GZIP_COPY(dir / "Sim.conc1", dir / "Sim.conc1.gz");
  const struct {
    std::vector<std::string> words;
    std::string console;
    std::string output;
  } cases[] = {
      {{"-t", "-y", "Sim.conc1.gz", "Out.txt"},
       conversion_lines("Sim.conc1.gz (binary compressed)", "Out.txt (ASCII)"), "Out.txt"},
      {{"-t", "-z", "Sim.conc1", "Out.gz"}, conversion_lines("Sim.conc1 (binary)", "Out.gz (ASCII compressed)"),
       "Out.gz"},
      {{"-t", "-yz", "Sim.conc1.gz", "Both.gz"},
       conversion_lines("Sim.conc1.gz (binary compressed)", "Both.gz (ASCII compressed)"), "Both.gz"},
  };
  for (const auto& c : cases) {
    Program_Run run = run_program(dir, c.words);
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.console, c.console);
    std::string text = read_bytes(dir / c.output);
    if (c.output.ends_with(".gz")) {
      ASSERT_EQ(std::system(("gzip -dc '" + (dir / c.output) + "' > '" + (dir / "plain") + "'").c_str()), 0);
      text = read_bytes(dir / "plain");
      std::filesystem::remove(dir / "plain");
    }
    EXPECT_EQ(text, Ascii_Three_Outputs);
  }
  // Working copies go to the --Temp: folder (a prefix) and are gone afterwards.
  std::filesystem::create_directory(dir / "work");
  Program_Run in_temp = run_program(dir, {"-t", "-yz", "--Temp:work/", "Sim.conc1.gz", "Temp.gz"});
  EXPECT_EQ(in_temp.exit_code, 0);
  EXPECT_TRUE(std::filesystem::is_empty(dir / "work"));
  std::filesystem::remove(dir / "work");
  std::filesystem::remove(dir / "Temp.gz");
  // In place with both compressed: the name ends up holding the converted file.
  Program_Run run = run_program(dir, {"-t", "-yz", "Sim.conc1.gz"});
  EXPECT_EQ(run.exit_code, 0);
  ASSERT_EQ(std::system(("gzip -dc '" + (dir / "Sim.conc1.gz") + "' > '" + (dir / "plain") + "'").c_str()), 0);
  EXPECT_EQ(read_bytes(dir / "plain"), Ascii_Three_Outputs);
  EXPECT_EQ(dir.listing(), "Both.gz Out.gz Out.txt Sim.conc1 Sim.conc1.gz plain");
}

TEST(Transfer_Program, RescaledAgainstItsGeometry) {
  Scratch_Folder dir;
  sample::WRITE_GEOMETRY(dir / "Sim.geoF", sample::Encoding::Single, sample::GRID(4, 2, 1, 1.0e-4));
  sample::WRITE_GEOMETRY(dir / "Sim_geoF.zlt", sample::Encoding::Single, sample::GRID(4, 2, 1, 1.0e-4));
  sample::WRITE_RESULTS(dir / "Sim.conc1", sample::Encoding::Single, {{0.5, {1, 2, 3, 4, 5, 6, 7, 8}}});
  sample::WRITE_RESULTS(dir / "Sim_conc1.zlt", sample::Encoding::Single, {{0.5, {1, 2, 3, 4, 5, 6, 7, 8}}});
  sample::WRITE_RESULTS(dir / "Expected", sample::Encoding::Single, {{0.5, {3.5, 5.5}}});
  const struct {
    std::vector<std::string> words;
    std::string console;
  } cases[] = {
      {{"-t", "-b", "--Rescale:1/2", "Sim.conc1", "Out1"},
       conversion_lines("Sim.conc1 (binary, 'geoF': Sim.geoF)", "Out1 (binary)")},
      {{"-t", "-b", "--Rescale:2/4", "Sim_conc1.zlt", "Out2"},
       conversion_lines("Sim_conc1.zlt (binary, 'geoF': Sim_geoF.zlt)", "Out2 (binary)")},
  };
  for (const auto& c : cases) {
    Program_Run run = run_program(dir, c.words);
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.console, c.console);
    EXPECT_EQ(read_bytes(dir / c.words.back()), read_bytes(dir / "Expected"));
  }
  // 3/3 reduces to 1/1: nothing is rescaled and no geometry is needed.
  std::filesystem::remove(dir / "Sim.geoF");
  Program_Run same = run_program(dir, {"-t", "-b", "--Rescale:3", "Sim.conc1", "Out3"});
  EXPECT_EQ(same.console, conversion_lines("Sim.conc1 (binary)", "Out3 (binary)"));
  EXPECT_EQ(read_bytes(dir / "Out3"), read_bytes(dir / "Sim.conc1"));
  Program_Run missing = run_program(dir, {"-t", "-b", "--Rescale:1/2", "Sim.conc1", "Out4"});
  EXPECT_EQ(missing.console, "\n Transfer ZELTRA\n\n File: Sim.geoF not found\n\n");
  EXPECT_EQ(missing.exit_code, 1);
  EXPECT_FALSE(std::filesystem::exists(dir / "Out4"));
}

TEST(Transfer_Program, RefusedCommandLines) {
  const std::string refused = "\n Transfer ZELTRA\n\nUnable to interpret input!\n\n";
  const struct {
    std::vector<std::string> words;
    std::string console;
  } cases[] = {
      {{"-t", "A", "B", "C", "D"}, refused},
      {{"-t", "-iA", "-iB", "-iC"}, refused},
      {{"-t", "-b"}, refused},
      {{"-t", "-m", "-w", "A"}, refused},
      {{"-t", "--Rescale:0/2", "A"}, refused},
      {{"-t", "--Rescale:2/0", "A"}, refused},
      {{"-t", "-k", "A"}, "\n Transfer ZELTRA\n\n\nUnable to interpret input -k\n\n\n"},
      {{"-t", "-k-1", "A"}, "\n Transfer ZELTRA\n\n\nUnable to interpret input -k-1\n\n\n"},
      {{"-t", "--Rescale:x", "A"}, "\n Transfer ZELTRA\n\n\nUnable to interpret input :x\n\n\n"},
      {{"-t", "--Rescale:2/x", "A"}, "\n Transfer ZELTRA\n\n\nUnable to interpret input /x\n\n\n"},
      {{"-t", "-f", "--Rescale:3", "A"},
       "\n Transfer ZELTRA\n\n\n 'Rescaling' not supported for double-precisions results!\n\n\n"},
      {{"-t", "-f", "--Rescale:2/2", "A"},
       "\n Transfer ZELTRA\n\n\n 'Rescaling' not supported for double-precisions results!\n\n\n"},
  };
  for (const auto& c : cases) {
    Scratch_Folder dir;
    Program_Run run = run_program(dir, c.words);
    EXPECT_EQ(run.exit_code, 1) << c.words[1];
    EXPECT_EQ(run.console, c.console) << c.words[1];
    EXPECT_EQ(dir.listing(), "");
  }
}

TEST(Transfer_Program, GeometryRecords) {
  Scratch_Folder dir;
  sample::WRITE_GEOMETRY(dir / "G.txt", sample::Encoding::Ascii, sample::GRID(100, 50, 1, 1.0e-4, 0.5, 0.25));
  sample::WRITE_GEOMETRY(dir / "G.bin", sample::Encoding::Single,
                         {100, 50, 1, 1.0e-4, 0.5, 0.25, std::array<std::string, 5>{"a", "b", "c", "d", "e"}});
  sample::WRITE_GEOMETRY(dir / "G.dbl", sample::Encoding::Double, sample::GRID(100, 50, 1, 1.0e-4, 0.5, 0.25));
  sample::WRITE_GEOMETRY(dir / "Half", sample::Encoding::Single, sample::GRID(50, 25, 1, 2.0e-4, 2.0e-4, 2.0e-4));
  sample::WRITE_GEOMETRY(dir / "Double", sample::Encoding::Single, sample::GRID(200, 100, 1, 5.0e-5, 5.0e-5, 5.0e-5));
  sample::WRITE_GEOMETRY(dir / "Plain", sample::Encoding::Single, sample::GRID(100, 50, 1, 1.0e-4, 0.5, 0.25));
  const struct {
    std::vector<std::string> words;
    std::string input_words;
    std::string expected;  // file whose bytes the output must equal
  } cases[] = {
      {{"-t", "-g", "-a", "-b", "G.txt", "O1"}, "G.txt (geoF file ASCII)", "Plain"},
      {{"-t", "-g", "-b", "G.bin", "O2"}, "G.bin (geoF file binary)", "Plain"},  // the info record is dropped
      {{"-t", "-g", "-d", "-b", "G.dbl", "O3"}, "G.dbl (geoF file double precision)", "Plain"},
      {{"-t", "-g", "-b", "--Rescale:1/2", "G.bin", "O4"}, "G.bin (geoF file binary)", "Half"},
      {{"-t", "-g", "-b", "--Rescale:2/1", "G.bin", "O5"}, "G.bin (geoF file binary)", "Double"},
  };
  for (const auto& c : cases) {
    Program_Run run = run_program(dir, c.words);
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.console, conversion_lines(c.input_words, c.words.back() + " (binary)"));
    EXPECT_EQ(read_bytes(dir / c.words.back()), read_bytes(dir / c.expected)) << c.words.back();
  }
  Program_Run text = run_program(dir, {"-t", "-g", "G.bin", "O6"});
  EXPECT_EQ(read_bytes(dir / "O6"),
            "          100          50           1  9.9999997E-05  0.5000000    \r\n   0.2500000    \r\n");
  write_bytes(dir / "Empty", "");
  Program_Run empty = run_program(dir, {"-t", "-g", "Empty", "O7"});
  EXPECT_EQ(empty.exit_code, 1);
  EXPECT_EQ(empty.console, conversion_lines("Empty (geoF file binary)", "O7 (ASCII)") +
                               "\n\n Unable to read from file!\n (Empty: the file is empty)\n\n\n");
  EXPECT_FALSE(std::filesystem::exists(dir / "O7"));
}

// Damaged input or a wrong format flag: a message, exit 1, the input untouched, no output.
TEST(Transfer_Program, BadInputLosesNothing) {
  Scratch_Folder dir;
  sample::WRITE_RESULTS(dir / "Sim.conc1", sample::Encoding::Single, three_outputs());
  const std::string good = read_bytes(dir / "Sim.conc1");
  write_bytes(dir / "Cut", good.substr(0, good.size() - 5));
  write_bytes(dir / "Empty", "");
  write_bytes(dir / "Old", "old output");
  const struct {
    std::vector<std::string> words;
    std::string message;
  } cases[] = {
      {{"-t", "Cut"}, " Unable to read output 3 of file: Cut\n (the file ends inside this output)"},
      {{"-t", "Cut", "Old"}, " Unable to read output 3 of file: Cut\n (the file ends inside this output)"},
      {{"-t", "-d", "Sim.conc1", "Old"},
       " Unable to read output 1 of file: Sim.conc1\n (record length 24 does not match cell count 1065353216 (wrong "
       "input format?))"},
      {{"-t", "-a", "Sim.conc1", "Old"},
       " Unable to read output 1 of file: Sim.conc1\n (the time is not a number (wrong input format?))"},
      {{"-t", "Empty", "Old"}, " Unable to read first output!\n (Empty holds no output)"},
  };
  for (const auto& c : cases) {
    Program_Run run = run_program(dir, c.words);
    EXPECT_EQ(run.exit_code, 1);
    const std::string input = c.words[c.words.size() - (c.words.back() == "Old" ? 2 : 1)];
    const std::string output = c.words.back();
    const std::string in_format = c.words.size() > 3 && c.words[1] == "-d" ? "double precision"
                                  : c.words.size() > 3 && c.words[1] == "-a" ? "ASCII"
                                                                             : "binary";
    EXPECT_EQ(run.console, conversion_lines(input + " (" + in_format + ")", output + " (ASCII)") + "\n\n" + c.message +
                               "\n\n\n");
    EXPECT_EQ(read_bytes(dir / "Sim.conc1"), good);
    EXPECT_EQ(read_bytes(dir / "Old"), "old output");
    EXPECT_EQ(dir.listing(), "Cut Empty Old Sim.conc1");
  }
  EXPECT_EQ(read_bytes(dir / "Cut"), good.substr(0, good.size() - 5));
  Program_Run missing = run_program(dir, {"-t", "Missing", "Old"});
  EXPECT_EQ(missing.console, "\n Transfer ZELTRA\n\n File: Missing not found\n\n");
  EXPECT_EQ(missing.exit_code, 1);
}

TEST(Transfer_Program, OutputTimes) {
  const struct {
    std::vector<sample::Output> outputs;
    sample::Encoding encoding;
    std::string listing;
  } cases[] = {
      {{{0.0, {1, 2}}, {0.5, {3, 4}}, {1.0, {5, 6}}}, sample::Encoding::Single,
       "  0.000000e+000\n  5.000000e-001\n  1.000000e+000\n"},
      {{{0.0, {1, 2}}, {0.5, {3, 4}}, {-1.0, {5, 6}}, {2.0, {7, 8}}}, sample::Encoding::Single,
       "  0.000000e+000\n  5.000000e-001\n"},
      {{{1, {1}}, {2, {2}}, {3, {3}}, {4, {4, 5}}}, sample::Encoding::Double,
       "  1.000000e+000\n  2.000000e+000\n  3.000000e+000\n"},
      {{{0.25, {1, 2, 3, 4, 5, 6, 7}}, {1e-5, {1, 2, 3, 4, 5, 6, 7}}}, sample::Encoding::Ascii,
       "  2.500000e-001\n  1.000000e-005\n"},
  };
  for (const auto& c : cases) {
    Scratch_Folder dir;
    sample::WRITE_RESULTS(dir / "R", c.encoding, c.outputs);
    const std::string flag = c.encoding == sample::Encoding::Double  ? "-d"
                             : c.encoding == sample::Encoding::Ascii ? "-a"
                                                                     : "-e";
    Program_Run run = run_program(dir, {"-t", flag, "--Output_Times", "R"});
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.console, "\n Transfer ZELTRA\n Listing output times for R\n");
    EXPECT_EQ(run.listing, c.listing);
  }
  Scratch_Folder dir;
  sample::WRITE_RESULTS(dir / "R", sample::Encoding::Single, {{0.0, {1}}, {0.5, {2}}});
  sample::GZIP_COPY(dir / "R", dir / "R.gz");
  Program_Run compressed = run_program(dir, {"-t", "-y", "--Times", "R.gz"});
  EXPECT_EQ(compressed.console, "\n Transfer ZELTRA\n Listing output times for R.gz\n");
  EXPECT_EQ(compressed.listing, "  0.000000e+000\n  5.000000e-001\n");
  EXPECT_EQ(dir.listing(), "R R.gz");
  write_bytes(dir / "E", "");
  Program_Run empty = run_program(dir, {"-t", "--TIMES", "E"});
  EXPECT_EQ(empty.console, "\n Transfer ZELTRA\n Unable to read first output!\n");
  EXPECT_EQ(empty.listing, "");
  EXPECT_EQ(empty.exit_code, 1);
  Program_Run wrong_flag = run_program(dir, {"-t", "-d", "--Times", "R"});  // R is single precision
  EXPECT_EQ(wrong_flag.console, "\n Transfer ZELTRA\n Unable to read first output!\n");
  EXPECT_EQ(wrong_flag.listing, "");
  EXPECT_EQ(wrong_flag.exit_code, 1);
  Program_Run ignored = run_program(dir, {"-t", "--Output_TimesX", "R", "Out"});  // a plain conversion then
  EXPECT_EQ(ignored.console, conversion_lines("R (binary)", "Out (ASCII)"));
}

// Outputs numbered by their time: output i has time i and the values i, 10 i.
std::vector<sample::Output> numbered_outputs(const std::vector<int>& numbers) {
  std::vector<sample::Output> outputs;
  for (int i : numbers) outputs.push_back({static_cast<double>(i), {static_cast<double>(i), 10.0 * i}});
  return outputs;
}

std::vector<int> one_to(int n) {
  std::vector<int> v;
  for (int i = 1; i <= n; ++i) v.push_back(i);
  return v;
}

TEST(Transfer_Program, RemovingOutputs) {
  const struct {
    std::vector<std::string> options;
    int outputs;
    std::vector<int> kept;
    std::string console;  // after the title
    int exit_code;
  } cases[] = {
      {{"-k3"}, 5, {1, 2, 4, 5}, " Result  : R (binary)\n", 0},
      {{"-k5"}, 5, {1, 2, 3, 4}, " Result  : R (binary)\n", 0},
      {{"-l3", "-l5"}, 7, {1, 2, 4, 6, 7}, " Output(s) removed from file: R\n", 0},
      {{"-l5", "-l3", "-l5"}, 7, {1, 2, 4, 6, 7}, " Output(s) removed from file: R\n", 0},  // a set, in any order
      {{"-k2", "-l4"}, 5, {1, 3, 5}, " Output(s) removed from file: R\n", 0},  // both are removed
      // A removal that cannot be done in full changes nothing and fails the run.
      {{"-k9"}, 5, {1, 2, 3, 4, 5}, " Result  : R (binary)\n Output 9 does not exist in file: R (5 outputs)\n", 1},
      {{"-k0"}, 5, {1, 2, 3, 4, 5}, " Result  : R (binary)\n Output 0 does not exist in file: R (5 outputs)\n", 1},
      {{"-l9"}, 6, {1, 2, 3, 4, 5, 6}, " Output 9 does not exist in file: R (6 outputs)\n", 1},
      {{"-l0", "-l3"}, 5, {1, 2, 3, 4, 5}, " Output 0 does not exist in file: R (5 outputs)\n", 1},
      {{"-l2", "-l99"}, 5, {1, 2, 3, 4, 5}, " Output 99 does not exist in file: R (5 outputs)\n", 1},
      {{"-k1"}, 1, {1}, " Result  : R (binary)\n Unable to remove every output of file: R (1 output)\n", 1},
      {{"-l1", "-l2", "-l3", "-l4", "-l5"}, 5, {1, 2, 3, 4, 5},
       " Unable to remove every output of file: R (5 outputs)\n", 1},
  };
  for (const auto& c : cases) {
    for (auto encoding : {sample::Encoding::Single, sample::Encoding::Double, sample::Encoding::Ascii}) {
      Scratch_Folder dir;
      sample::WRITE_RESULTS(dir / "R", encoding, numbered_outputs(one_to(c.outputs)));
      std::vector<std::string> words{"-t"};
      if (encoding == sample::Encoding::Double) words.push_back("-d");
      if (encoding == sample::Encoding::Ascii) words.push_back("-a");
      words.insert(words.end(), c.options.begin(), c.options.end());
      words.push_back("R");
      Program_Run run = run_program(dir, words);
      EXPECT_EQ(run.exit_code, c.exit_code) << c.options[0];
      std::string console = c.console;
      if (encoding == sample::Encoding::Double) console = std::regex_replace(console, std::regex("binary"), "double precision");
      if (encoding == sample::Encoding::Ascii) console = std::regex_replace(console, std::regex("binary"), "ASCII");
      EXPECT_EQ(run.console, "\n Transfer ZELTRA\n" + console) << c.options[0];
      sample::WRITE_RESULTS(dir / "Expected", encoding, numbered_outputs(c.kept));
      EXPECT_EQ(read_bytes(dir / "R"), read_bytes(dir / "Expected")) << c.options[0];
    }
  }
}

// A hand-written ASCII file: values with more digits than the conversion's layout holds, its
// own spacing and line ends. The outputs that stay come back byte for byte.
TEST(Transfer_Program, RemovingFromAsciiKeepsTheOtherOutputsAsWritten) {
  const std::string records[] = {
      "0.0 3 1.23456789 2.5\n-3.14159265358979\n",
      "  0.5   3\n 4.000000001 5 6\n",
      "1.0E+00 3 7 8 9.87654321E-05\r\n",
      "1.5 3 0.100000001 0.2 0.3\n",
  };
  const struct {
    std::vector<std::string> options;
    std::vector<int> kept;
  } cases[] = {
      {{"-k1"}, {2, 3, 4}},
      {{"-k2"}, {1, 3, 4}},
      {{"-k4"}, {1, 2, 3}},
      {{"-l1", "-l3"}, {2, 4}},
      {{"-l2", "-l3"}, {1, 4}},
  };
  std::string whole;
  for (const std::string& r : records) whole += r;
  for (const auto& c : cases) {
    Scratch_Folder dir;
    write_bytes(dir / "R.txt", whole);
    std::vector<std::string> words{"-t", "-a"};
    words.insert(words.end(), c.options.begin(), c.options.end());
    words.push_back("R.txt");
    const Program_Run run = run_program(dir, words);
    EXPECT_EQ(run.exit_code, 0) << c.options[0] << run.console;
    std::string expected;
    for (int k : c.kept) expected += records[k - 1];
    EXPECT_EQ(read_bytes(dir / "R.txt"), expected) << c.options[0];
  }
  // A record that does not read as one is still refused, with the file untouched.
  Scratch_Folder dir;
  const std::string damaged = records[0] + "0.5 3 1 x 3\n" + records[2];
  write_bytes(dir / "R.txt", damaged);
  const Program_Run run = run_program(dir, {"-t", "-a", "-k3", "R.txt"});
  EXPECT_EQ(run.exit_code, 1) << run.console;
  EXPECT_EQ(read_bytes(dir / "R.txt"), damaged);
}

TEST(Transfer_Program, RemovingFromCompressedAndDamagedFiles) {
  Scratch_Folder dir;
  sample::WRITE_RESULTS(dir / "R", sample::Encoding::Single, numbered_outputs(one_to(4)));
  sample::GZIP_COPY(dir / "R", dir / "R.gz");
  std::filesystem::remove(dir / "R");
  Program_Run run = run_program(dir, {"-t", "-y", "-k2", "R.gz"});
  EXPECT_EQ(run.console, "\n Transfer ZELTRA\n Result  : R.gz (binary compressed)\n");
  EXPECT_EQ(dir.listing(), "R.gz");
  ASSERT_EQ(std::system(("gzip -dc '" + (dir / "R.gz") + "' > '" + (dir / "R") + "'").c_str()), 0);
  sample::WRITE_RESULTS(dir / "Expected", sample::Encoding::Single, numbered_outputs({1, 3, 4}));
  EXPECT_EQ(read_bytes(dir / "R"), read_bytes(dir / "Expected"));

  const std::string good = read_bytes(dir / "R");
  write_bytes(dir / "Cut", good.substr(0, good.size() - 3));
  Program_Run cut = run_program(dir, {"-t", "-k1", "Cut"});
  EXPECT_EQ(cut.exit_code, 1);
  EXPECT_EQ(cut.console, "\n Transfer ZELTRA\n Result  : Cut (binary)\n\n\n Unable to read output 3 of file: Cut\n"
                         " (the file ends inside this output)\n\n\n");
  EXPECT_EQ(read_bytes(dir / "Cut"), good.substr(0, good.size() - 3));
  Program_Run wrong = run_program(dir, {"-t", "-d", "-l1", "R"});
  EXPECT_EQ(wrong.exit_code, 1);
  EXPECT_EQ(read_bytes(dir / "R"), good);
  EXPECT_EQ(dir.listing(), "Cut Expected R R.gz");
  Program_Run missing = run_program(dir, {"-t", "-k1", "Missing"});
  EXPECT_EQ(missing.console, "\n Transfer ZELTRA\n File: Missing not found\n");
  EXPECT_EQ(missing.exit_code, 1);
  Program_Run missing_times = run_program(dir, {"-t", "--Times", "Missing"});
  EXPECT_EQ(missing_times.console, "\n Transfer ZELTRA\n File: Missing not found\n");
  EXPECT_EQ(missing_times.exit_code, 1);
}

TEST(Transfer_Program, WholeSets) {
  Scratch_Folder dir;
  const std::vector<std::string> set{"Sim.conc1", "SimG.conc1", "Sim_conc2.zlt", "Sim.frac", "Sim.geoF"};
  for (const auto& name : set) {
    if (name == "Sim.geoF")
      sample::WRITE_GEOMETRY(dir / name, sample::Encoding::Single, sample::GRID(2, 1, 1, 1e-4));
    else
      sample::WRITE_RESULTS(dir / name, sample::Encoding::Single, numbered_outputs({1, 2}));
  }
  sample::WRITE_RESULTS(dir / "Other.conc1", sample::Encoding::Single, numbered_outputs({1}));
  const std::string other = read_bytes(dir / "Other.conc1");

  // Conversion to the stem New: every file of its own form and scheme, geometry last.
  Program_Run to_new = run_program(dir, {"-t", "-w", "-b", "Sim.conc1", "New"});
  EXPECT_EQ(to_new.exit_code, 0);
  EXPECT_EQ(to_new.console, "\n Transfer ZELTRA\n"
                            "\n Input : Sim.conc1 (binary)\n Output : New.conc1 (binary)\n\n"
                            "\n Input : SimG.conc1 (binary)\n Output : NewG.conc1 (binary)\n\n"
                            "\n Input : Sim_conc2.zlt (binary)\n Output : New_conc2.zlt (binary)\n\n"
                            "\n Input : Sim.frac (binary)\n Output : New.frac (binary)\n\n"
                            "\n Input : Sim.geoF (geoF file binary)\n Output : New.geoF (binary)\n\n");
  for (const auto& name : set) {
    const std::string renamed = "New" + name.substr(3);
    EXPECT_EQ(read_bytes(dir / renamed), read_bytes(dir / name)) << renamed;
    std::filesystem::remove(dir / renamed);
  }

  // Renaming to the other scheme and back.
  Program_Run to_windows = run_program(dir, {"-t", "-r", "Sim"});
  EXPECT_EQ(to_windows.exit_code, 0);
  EXPECT_EQ(to_windows.console, "\n Transfer ZELTRA\n\n"
                                " File: Sim.conc1 renamed to Sim_conc1.zlt\n"
                                " File: SimG.conc1 renamed to SimG_conc1.zlt\n"
                                " File: Sim_conc2.zlt renamed to Sim.conc2\n"
                                " File: Sim.frac renamed to Sim_frac.zlt\n"
                                " File: Sim.geoF renamed to Sim_geoF.zlt\n\n");
  EXPECT_EQ(dir.listing(), "Other.conc1 Sim.conc2 SimG_conc1.zlt Sim_conc1.zlt Sim_frac.zlt Sim_geoF.zlt");
  Program_Run back = run_program(dir, {"-t", "-r", "Sim_conc1.zlt"});
  EXPECT_EQ(back.exit_code, 0);
  EXPECT_EQ(dir.listing(), "Other.conc1 Sim.conc1 Sim.frac Sim.geoF SimG.conc1 Sim_conc2.zlt");

  // A pair present under both names is never overwritten: nothing is renamed.
  sample::WRITE_RESULTS(dir / "Sim_frac.zlt", sample::Encoding::Single, numbered_outputs({7}));
  Program_Run clash = run_program(dir, {"-t", "-r", "Sim"});
  EXPECT_EQ(clash.exit_code, 1);
  EXPECT_EQ(clash.console, "\n Transfer ZELTRA\n\n\n\n Unable to rename file: from Sim.frac\n"
                           "to Sim_frac.zlt (both exist: nothing of the set was renamed)\n\n\n");
  EXPECT_EQ(dir.listing(), "Other.conc1 Sim.conc1 Sim.frac Sim.geoF SimG.conc1 Sim_conc2.zlt Sim_frac.zlt");
  std::filesystem::remove(dir / "Sim_frac.zlt");

  // Removal from every result file of the set; the geometry stays.
  const std::string geometry_before = read_bytes(dir / "Sim.geoF");
  Program_Run removal = run_program(dir, {"-t", "-w", "-k1", "Sim"});
  EXPECT_EQ(removal.exit_code, 0);
  EXPECT_EQ(removal.console, "\n Transfer ZELTRA\n Result  : Sim.conc1 (binary)\n Result  : SimG.conc1 (binary)\n"
                             " Result  : Sim_conc2.zlt (binary)\n Result  : Sim.frac (binary)\n");
  sample::WRITE_RESULTS(dir / "Expected", sample::Encoding::Single, numbered_outputs({2}));
  for (const auto& name : set) {
    if (name == "Sim.geoF") continue;
    EXPECT_EQ(read_bytes(dir / name), read_bytes(dir / "Expected")) << name;
  }
  EXPECT_EQ(read_bytes(dir / "Sim.geoF"), geometry_before);
  EXPECT_EQ(read_bytes(dir / "Other.conc1"), other);

  Program_Run times = run_program(dir, {"-t", "-w", "--Times", "Sim.frac"});
  EXPECT_EQ(times.listing, std::string(4, ' ').substr(2) + "2.000000e+000\n  2.000000e+000\n  2.000000e+000\n  "
                                                        "2.000000e+000\n");
  // A name that matches no file of a set: said, and the run fails.
  const struct {
    std::vector<std::string> words;
    std::string stem;
  } nothing_found[] = {{{"-t", "-w", "Misspelt.conc1"}, "Misspelt.conc1"},
                       {{"-t", "-w", "-k1", "Misspelt"}, "Misspelt"},
                       {{"-t", "-w", "--Times", "Misspelt"}, "Misspelt"}};
  for (const auto& c : nothing_found) {
    Program_Run nothing = run_program(dir, c.words);
    EXPECT_EQ(nothing.exit_code, 1) << c.words[2];
    EXPECT_EQ(nothing.console, "\n Transfer ZELTRA\n\n No file of the set " + c.stem + " found\n\n") << c.words[2];
  }
}

// conc10 .. conc99 and frac10 .. frac99 stand twice in the list of known extensions; each
// file of a set is still removed from, renamed or converted once.
TEST(Transfer_Program, WholeSetHandlesEachFileOnce) {
  const std::vector<std::string> results{"Sim.conc1", "Sim.conc12", "Sim.frac42"};
  const std::vector<int> six = one_to(6), four = one_to(4);
  const struct {
    std::vector<std::string> options;
    std::vector<int> kept, kept_frac42;  // Sim.conc1 and Sim.conc12 hold 6 outputs, Sim.frac42 4
    std::string console;                 // after the title
    int exit_code;
  } cases[] = {
      {{"-k3"}, {1, 2, 4, 5, 6}, {1, 2, 4},
       " Result  : Sim.conc1 (binary)\n Result  : Sim.conc12 (binary)\n Result  : Sim.frac42 (binary)\n", 0},
      {{"-l2", "-l4"}, {1, 3, 5, 6}, {1, 3},
       " Output(s) removed from file: Sim.conc1\n Output(s) removed from file: Sim.conc12\n"
       " Output(s) removed from file: Sim.frac42\n", 0},
      // Reported per file; the others are still done, and the run fails.
      {{"-k5"}, {1, 2, 3, 4, 6}, {1, 2, 3, 4},
       " Result  : Sim.conc1 (binary)\n Result  : Sim.conc12 (binary)\n Result  : Sim.frac42 (binary)\n"
       " Output 5 does not exist in file: Sim.frac42 (4 outputs)\n", 1},
  };
  for (const auto& c : cases) {
    Scratch_Folder dir;
    sample::WRITE_RESULTS(dir / "Sim.conc1", sample::Encoding::Single, numbered_outputs(six));
    sample::WRITE_RESULTS(dir / "Sim.conc12", sample::Encoding::Single, numbered_outputs(six));
    sample::WRITE_RESULTS(dir / "Sim.frac42", sample::Encoding::Single, numbered_outputs(four));
    sample::WRITE_GEOMETRY(dir / "Sim.geoF", sample::Encoding::Single, sample::GRID(2, 1, 1, 1e-4));
    std::vector<std::string> words{"-t", "-w"};
    words.insert(words.end(), c.options.begin(), c.options.end());
    words.push_back("Sim.conc1");
    Program_Run run = run_program(dir, words);
    EXPECT_EQ(run.exit_code, c.exit_code) << c.options[0];
    EXPECT_EQ(run.console, "\n Transfer ZELTRA\n" + c.console) << c.options[0];
    for (const auto& name : results) {
      sample::WRITE_RESULTS(dir / "Expected", sample::Encoding::Single,
                            numbered_outputs(name == "Sim.frac42" ? c.kept_frac42 : c.kept));
      EXPECT_EQ(read_bytes(dir / name), read_bytes(dir / "Expected")) << c.options[0] << " " << name;
    }
  }

  Scratch_Folder dir;
  for (const auto& name : results) sample::WRITE_RESULTS(dir / name, sample::Encoding::Single, numbered_outputs(four));
  sample::WRITE_GEOMETRY(dir / "Sim.geoF", sample::Encoding::Single, sample::GRID(2, 1, 1, 1e-4));
  const std::string original = read_bytes(dir / "Sim.conc12");
  Program_Run renamed = run_program(dir, {"-t", "-r", "Sim"});
  EXPECT_EQ(renamed.exit_code, 0);
  EXPECT_EQ(renamed.console, "\n Transfer ZELTRA\n\n"
                             " File: Sim.conc1 renamed to Sim_conc1.zlt\n"
                             " File: Sim.conc12 renamed to Sim_conc12.zlt\n"
                             " File: Sim.frac42 renamed to Sim_frac42.zlt\n"
                             " File: Sim.geoF renamed to Sim_geoF.zlt\n\n");
  EXPECT_EQ(dir.listing(), "Sim_conc1.zlt Sim_conc12.zlt Sim_frac42.zlt Sim_geoF.zlt");

  // In place to ASCII: each file once, so each reads back as the outputs it held.
  Program_Run to_ascii = run_program(dir, {"-t", "-w", "-c", "Sim_conc1.zlt"});
  EXPECT_EQ(to_ascii.exit_code, 0) << to_ascii.console;
  for (const char* name : {"Sim_conc1.zlt", "Sim_conc12.zlt", "Sim_frac42.zlt"}) {
    EXPECT_EQ(run_program(dir, {"-t", "-a", "-b", name, "Back"}).exit_code, 0) << name;
    EXPECT_EQ(read_bytes(dir / "Back"), original) << name;
  }
}

TEST(Transfer_Program, MatrixComposition) {
  const struct {
    std::vector<std::string> options;
    double first, second;
    std::vector<double> times_first, times_second;
    double expected;
    std::size_t records;
    std::string title;
  } cases[] = {
      {{}, 20.0, 30.5, {0, 1, 2, 3, 4}, {0, 1, 2, 3, 4, 5, 6}, 49.5, 5, " 'Calculate matrix composition' (binary)"},
      {{"-1"}, 0.25, 0.5, {0, 1}, {0, 1}, 0.25, 2, " 'Calculate matrix composition', fraction! (binary)"},
      {{"-100"}, 60, 70, {0.5}, {0.5}, -30, 1, " 'Calculate matrix composition' (binary)"},
  };
  for (const auto& c : cases) {
    Scratch_Folder dir;
    std::vector<sample::Output> a, b, expected;
    for (double t : c.times_first) a.push_back({t, {c.first, c.first}});
    for (double t : c.times_second) b.push_back({t, {c.second, c.second}});
    for (std::size_t i = 0; i < c.records; ++i) expected.push_back({c.times_second[i], {c.expected, c.expected}});
    sample::WRITE_RESULTS(dir / "Sim.conc1", sample::Encoding::Single, a);
    sample::WRITE_RESULTS(dir / "Sim.conc2", sample::Encoding::Single, b);
    sample::WRITE_RESULTS(dir / "Expected", sample::Encoding::Single, expected);
    std::vector<std::string> words{"-t", "-m"};
    words.insert(words.end(), c.options.begin(), c.options.end());
    for (const char* w : {"-iSim.conc1", "-iSim.conc2", "-oSim.conc3"}) words.push_back(w);
    Program_Run run = run_program(dir, words);
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.console, "\n Transfer ZELTRA\n\n" + c.title +
                               "\n  Input file: Sim.conc1\n  Input file: Sim.conc2\n  Output file: Sim.conc3\n\n");
    EXPECT_EQ(read_bytes(dir / "Sim.conc3"), read_bytes(dir / "Expected"));
  }
}

TEST(Transfer_Program, MatrixCompositionSafety) {
  Scratch_Folder dir;
  sample::WRITE_RESULTS(dir / "A", sample::Encoding::Single, {{0.0, {20}}, {1.0, {20}}});
  sample::WRITE_RESULTS(dir / "B", sample::Encoding::Single, {{0.0, {30}}, {1.0000001, {30}}});
  sample::WRITE_RESULTS(dir / "Expected", sample::Encoding::Single, {{0.0, {50}}});
  Program_Run mismatch = run_program(dir, {"-t", "-m", "A", "B", "Out"});
  EXPECT_EQ(mismatch.exit_code, 1);
  EXPECT_EQ(mismatch.console.substr(mismatch.console.size() - 29), "\n Incompatible output times\n\n");
  EXPECT_EQ(read_bytes(dir / "Out"), read_bytes(dir / "Expected"));

  // No output name: the second input is replaced only once the composition is complete.
  sample::WRITE_RESULTS(dir / "B", sample::Encoding::Single, {{0.0, {30}}, {1.0, {30}}});
  sample::WRITE_RESULTS(dir / "Expected", sample::Encoding::Single, {{0.0, {50}}, {1.0, {50}}});
  Program_Run in_place = run_program(dir, {"-t", "-m", "A", "B"});
  EXPECT_EQ(in_place.exit_code, 0);
  EXPECT_EQ(read_bytes(dir / "B"), read_bytes(dir / "Expected"));

  // Compressed inputs give a compressed output and leave no working copy.
  sample::GZIP_COPY(dir / "A", dir / "A.gz");
  sample::GZIP_COPY(dir / "A", dir / "A2.gz");
  Program_Run compressed = run_program(dir, {"-t", "-m", "-y", "A.gz", "A2.gz", "Out.gz"});
  EXPECT_EQ(compressed.exit_code, 0);
  ASSERT_EQ(std::system(("gzip -dc '" + (dir / "Out.gz") + "' > '" + (dir / "Out") + "'").c_str()), 0);
  sample::WRITE_RESULTS(dir / "Expected", sample::Encoding::Single, {{0.0, {60}}, {1.0, {60}}});
  EXPECT_EQ(read_bytes(dir / "Out"), read_bytes(dir / "Expected"));
  EXPECT_EQ(dir.listing(), "A A.gz A2.gz B Expected Out Out.gz");

  Program_Run lone = run_program(dir, {"-t", "-m", "A"});
  EXPECT_EQ(lone.exit_code, 1);
  EXPECT_EQ(lone.console, "\n Transfer ZELTRA\n\n 'Calculate matrix composition' (binary)\n  Input file: A\n"
                          "  Input file: No_File\n  Output file: A\n\n\n File: No_File not found\n\n");
}

TEST(Transfer_Program, WholeSetRescaleAndRenameWins) {
  Scratch_Folder dir;
  for (const char* g : {"Sim.geoF", "Sim_geoF.zlt"})
    sample::WRITE_GEOMETRY(dir / g, sample::Encoding::Single, sample::GRID(4, 1, 1, 1e-4));
  for (const char* r : {"Sim.conc1", "Sim_conc1.zlt", "SimG.conc1"})
    sample::WRITE_RESULTS(dir / r, sample::Encoding::Single, {{0.5, {1, 2, 3, 4}}});
  const std::string unscaled = read_bytes(dir / "SimG.conc1");
  Program_Run run = run_program(dir, {"-t", "-w", "-b", "--Rescale:1/2", "Sim.conc1"});
  EXPECT_EQ(run.exit_code, 0);
  sample::WRITE_RESULTS(dir / "Half", sample::Encoding::Single, {{0.5, {1.5, 3.5}}});
  sample::WRITE_GEOMETRY(dir / "Half_geometry", sample::Encoding::Single, sample::GRID(2, 1, 1, 2e-4, 2e-4, 2e-4));
  EXPECT_EQ(read_bytes(dir / "Sim.conc1"), read_bytes(dir / "Half"));
  EXPECT_EQ(read_bytes(dir / "Sim_conc1.zlt"), read_bytes(dir / "Half"));
  EXPECT_EQ(read_bytes(dir / "SimG.conc1"), unscaled);  // the G family keeps its size
  EXPECT_EQ(read_bytes(dir / "Sim.geoF"), read_bytes(dir / "Half_geometry"));
  EXPECT_EQ(read_bytes(dir / "Sim_geoF.zlt"), read_bytes(dir / "Half_geometry"));

  // -r with -k: only the renaming runs.
  Program_Run rename = run_program(dir, {"-t", "-r", "-k1", "SimG.conc1"});
  EXPECT_EQ(rename.exit_code, 0);
  EXPECT_EQ(rename.console, "\n Transfer ZELTRA\n\n File: SimG.conc1 renamed to SimG_conc1.zlt\n\n");
  EXPECT_EQ(read_bytes(dir / "SimG_conc1.zlt"), unscaled);
}

// The framing's length is an unsigned 4-byte number: records of 2^31 bytes or more (an
// 820^3 single-precision output, a 646^3 double-precision one) are listed like any other.
TEST(Transfer_Program, TimesOfRecordsOfTwoGigabytesAndMore) {
  const struct {
    std::int32_t cells;
    bool dual;
    const char* flag;
  } rows[] = {{820 * 820 * 820, false, "-e"}, {646 * 646 * 646, true, "-d"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.flag);
    Scratch_Folder dir;
    ASSERT_GE(SPARSE_PAYLOAD(row.cells, row.dual), 1ULL << 31);
    ASSERT_TRUE(WRITE_SPARSE_RESULTS(dir / "R", row.cells, row.dual, {0.5, 1.5}));
    Program_Run run = run_program(dir, {"-t", row.flag, "--Output_Times", "R"});
    EXPECT_EQ(run.exit_code, 0) << run.console;
    EXPECT_EQ(run.console, "\n Transfer ZELTRA\n Listing output times for R\n");
    EXPECT_EQ(run.listing, "  5.000000e-001\n  1.500000e+000\n");
  }
}

}  // namespace
