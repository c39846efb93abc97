// Display_ZELTRA's command line as users meet it: the program started as a process, its
// console (standard error) compared line for line, standard output and the exit code checked.
// Runs that reach the display do so under the front end (-g) with a real server offscreen and
// end at the end of their input.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/kornd/Kornd_Server.h"
#include "tests/main/Display_Run.h"
#include "tests/main/Acknowledgments_Text.h"
#include "tools/Sample_Case.h"

namespace {

const std::string Title = "\n\nDisplay ZELTRA\n";
const std::string Prompt = "\nCommand line parameters?\n\n";
// A run that reaches the display under the front end (-g) starts it, prints the
// acknowledgments and ends normally at the end of its input (the last empty line).
const std::string Display_Start = Acknowledgments_Text + "\n";

const std::string Help = "\n (version 6.1)\n\n" + Acknowledgments_Text +
    " Synopsis:\n ---------\n\n  Display_ZELTRA [options] Solution_File(s)\n\n  Options:\n"
    "   -a:  read results in ASCII\n   -b:  read results in binary (single-precision)\n"
    "   -d:  read results in binary (double-precision)\n   -z:  reads compressed results\n"
    "   -4:  'four-folded' symmetry\n   -3:  'three-folded' symmetry\n"
    "   -f:  set min./max. from first time-step\n   -l:  set min./max. from last time-step\n"
    "   -m:  multiple results: specify the number of result files\n"
    "        (integer value following 'm', ex.: -m7)\n   -p:  divide display in panels, row major\n"
    "        (two integers separated by 'x' following 'p', ex.: -p2x3)\n"
    "   -q:  divide display in panels, column major (ex.: -q2x3)\n"
    "   -g:  read run-time instructions from standard input\n        (to allow piping from GUI device)\n"
    "   -w9: correction for width of colour-scale (Win95, Win98)\n   -k:  automatic resizing\n"
    "   -t:  Transfer ZELTRA (convert result file)\n\n  'Advanced' settings:\n"
    "   --Skip:n to display only 1 point from 'n'\n   --Symmetry:[1|2] 'symmetry'\n"
    "     with 'mirror' (1) or 'translation' (2)\n   --Translation: identical to '--Symmetry:2'\n"
    "   --Min:X specify 'global' minimum\n   --Max:X specify 'global' maximum\n"
    "   --Animate: animate to the end\n   --Last: go to the last output\n   --Scale: display length scale\n"
    "   --Miller: activate 'Miller indices display mode'\n"
    "   --1D: activate 'enhanced 1D' (for 'very thin' 1D results)\n"
    "   --Vector: activate 'Vector field display mode'\n"
    "   --Vector_3D: activate 'Vector field display mode' (3D)\n   --Help: print out this help\n"
    "   --Endian: 'Non-native' binary file\n   --No_GUI: disable 'GUI'\n\n  Default:\n"
    "   - binary file single precision (not compressed)\n   - without four-folded symmetry\n"
    "   - automatic min./max from the whole file\n";

std::string read_error(const std::string& routine, const std::string& input) {
  return "\nRead error in '" + routine + "'\n\n\nInput Error: " + input + "\n\n";
}

std::string refused(const std::string& word) { return "\n Invalid value in option: " + word + "\n\n"; }

std::string missing(const std::string& name) { return "\n File: " + name + " not found\n\n"; }

std::string report(const std::string& geometry, const std::vector<std::string>& results, const std::string& lines) {
  std::string text = "\n geoF file     : " + geometry + "\n";
  for (const auto& r : results) text += " Solution file : " + r + "\n";
  return text + lines + "\n";
}

const std::string Single = " Results in binary (single precision)\n\n";

// The format found in the files when it differs from the one given.
std::string format_changed(const std::string& from) {
  return " Warning: format specification changed from " + from + "\n to binary single precision\n\n";
}

// A geometry file that is none (the test copies a result file in its place).
const std::string Not_A_Geometry =
    "\n\n Geometry not consistent!\n  (most probably due to a wrong format specification,\n"
    "   and a big/little endian incompatibility)\n\n\n";

// The sample case: a geometry file and two result files of a 3 x 3 grain-growth run.
struct Sample_Folder {
  Scratch_Folder dir;
  Sample_Folder() {
    sample::WRITE_GEOMETRY(dir / "Case_geoF.zlt", sample::Encoding::Single, sample::GRID(3, 1, 3, 1e-4));
    sample::WRITE_RESULTS(dir / "Case_phas.zlt", sample::Encoding::Single, sample::GRAIN_GROWTH(3, 3, 2, 0));
    sample::WRITE_RESULTS(dir / "Case_conc.zlt", sample::Encoding::Single, sample::GRAIN_GROWTH(3, 3, 2, 1));
  }
};

std::string joined(const std::vector<std::string>& words) {
  std::string all;
  for (const auto& w : words) all += w + " ";
  return all;
}

struct Run_Case {
  std::vector<std::string> words;
  std::string console;  // after the title
  int exit_code;
  std::string input = "";
};

std::vector<std::string> WITH_FRONT_END(std::vector<std::string> words) {
  words.insert(words.begin(), "-g");
  return words;
}

void expect_runs(const Sample_Folder& folder, std::initializer_list<Run_Case> cases) {
  for (const auto& c : cases) {
    // A run that reaches the display finds a server of its own, quiet and offscreen.
    Kornd_Server server;
    if (c.console.find(" geoF file     : ") != std::string::npos) {
      ASSERT_TRUE(server.Start());
    }
    const Display_Run run = RUN_DISPLAY(folder.dir, c.words, c.input);
    EXPECT_EQ(run.console, Title + c.console) << joined(c.words);
    EXPECT_EQ(run.exit_code, c.exit_code) << joined(c.words);
    EXPECT_EQ(run.output, "") << joined(c.words);
  }
}

TEST(Command_Line_Program, ReadErrorsAndRefusedValuesStopAtTheirWord) {
  Sample_Folder folder;
  expect_runs(folder, {
      {{"-p2", "Case_phas.zlt"}, read_error("Read integer input", "-p2"), 1},
      {{"-px3"}, read_error("Read integer input", "-px3"), 1},
      {{"-q3"}, read_error("Read integer input", "-q3"), 1},
      {{"Case_phas.zlt", "-m"}, read_error("Read integer input", "-m"), 1},
      {{"-p2", "--Help"}, read_error("Read integer input", "-p2"), 1},
      {{"--Position:100"}, read_error("Read integer input", "--Position:100"), 1},
      {{"--Min:low", "-m"}, read_error("Read number input", "low"), 1},
      {{"--Min:nan"}, read_error("Read number input", "nan"), 1},
      {{"--Max:inf"}, read_error("Read number input", "inf"), 1},
      {{"--Max:1e39"}, read_error("Read number input", "1e39"), 1},
      {{"--Min:0.25x"}, read_error("Read number input", "0.25x"), 1},
      {{"--Min:"}, read_error("Read number input", ""), 1},
      {{"--Skip:0", "Case_phas.zlt"}, refused("--Skip:0"), 1},
      {{"--Symmetry:7"}, refused("--Symmetry:7"), 1},
      {{"--Symmetry:0"}, refused("--Symmetry:0"), 1},
      {{"-p0x3"}, refused("-p0x3"), 1},
      {{"-q3x0"}, refused("-q3x0"), 1},
      {{"-m-3", "Case_phas.zlt"}, refused("-m-3"), 1},
  });
}

TEST(Command_Line_Program, CheckAndHelpEndTheRunAtTheirWord) {
  Sample_Folder folder;
  // The conversion is handed over only after the last word: --Check acts at its word even
  // beside a conversion word, before or after it.
  for (const std::vector<std::string>& words : std::vector<std::vector<std::string>>{
           {"-s", "Missing.zlt", "--Check", "-m"}, {"--Check", "-t"}, {"-t", "A", "B", "--CHECK"},
           {"--Transfer_ZELTRA", "--Check"}}) {
    const Display_Run check = RUN_DISPLAY(folder.dir, words);
    EXPECT_EQ(check.output, "129") << words[0];
    EXPECT_EQ(check.console, Title) << words[0];
    EXPECT_EQ(check.exit_code, 0) << words[0];
  }
  expect_runs(folder, {
      {{"--Help", "-m"}, Help, 0},
      {{"Missing.zlt", "--help"}, Help, 0},
      {{"--Help", "-t"}, Help, 0},
      {{"-t", "A", "--HELP"}, Help, 0},
      {{}, Prompt + Help, 1, "   \n"},
      {{}, Prompt + "\nInput Error: end of input\n\n", 1, ""},
  });
}

TEST(Command_Line_Program, ChecksAfterTheLastWord) {
  Sample_Folder folder;
  const std::vector<std::string> both = {"Case_phas.zlt", "Case_conc.zlt"};
  expect_runs(folder, {
      {{"-g", "Case_phas.zlt"}, report("Case_geoF.zlt", {"Case_phas.zlt"}, Single) + Display_Start, 0},
      {WITH_FRONT_END(both),
       "Input not consistent:\n more result files given than specified\n" +
           report("Case_geoF.zlt", both, Single) + Display_Start,
       0},
      {{"-g", "-m3", "Case_phas.zlt", "Case_conc.zlt"},
       "Warning: input not consistent:\n less result files given than specified\n" +
           report("Case_geoF.zlt", both, Single) + Display_Start,
       0},
      // A huge count sets nothing aside for names that never come.
      {{"-g", "-m2000000000", "Case_phas.zlt"},
       "Warning: input not consistent:\n less result files given than specified\n" +
           report("Case_geoF.zlt", {"Case_phas.zlt"}, Single) + Display_Start,
       0},
      {{"-s", "-a", "--Scale"},
       "Warning: input not consistent:\n less result files given than specified\n\nUnable to interpret input\n\n", 1},
      {{"-m0"}, "\nUnable to interpret input\n\n", 1},
      {{"--Endian", "-a", "Case_phas.zlt"}, "\n\n unable to apply  'endian conversion'\n\n\n", 1},
      {{"-g", "--Endian", "-d", "Case_phas.zlt"},
       report("Case_geoF.zlt", {"Case_phas.zlt"}, "") + format_changed("'non native' binary double precision") +
           Display_Start,
       0},
      {{"--Vector", "Case_phas.zlt", "Case_conc.zlt"},
       "Input not consistent:\n more result files given than specified\n"
       "\n\n'Vector field' display mode  available only with at least three result files!\n\n\n",
       1},
      {{"--Vector_3D", "-m3", "Case_phas.zlt", "Case_conc.zlt", "Case_phas.zlt"},
       "\n\n'Vector field' 3D display mode  available only with at least four result files!\n\n\n", 1},
      {{"Other_phas.zlt", "Case_conc.zlt", "Gone.zlt", "-m3"},
       missing("Other_geoF.zlt") + missing("Other_phas.zlt") + missing("Gone.zlt"), 1},
      {{"-g", "-39", "-z", "-a", "Case_conc.zlt"},
       report("Case_geoF.zlt", {"Case_conc.zlt"},
              "\n Nine-folded symmetry toggled on\n Results in ASCII\n\n Compressed results\n\n") +
           format_changed("ASCII") + Display_Start,
       0},
      {{"-g", "\"-s\"", "\"", "\"Case_phas.zlt\""},
       report("Case_geoF.zlt", {"Case_phas.zlt"}, "\n Four-folded symmetry toggled on\n" + Single) + Display_Start, 0},
      {{"-g", "-w9", "-m14", "-p12x3", "Case_phas.zlt"},
       "Warning: input not consistent:\n less result files given than specified\n" +
           report("Case_geoF.zlt", {"Case_phas.zlt"}, Single) + Display_Start,
       0},
  });
}

TEST(Command_Line_Program, CompressedGeometryFollowsTheFirstResultFile) {
  Sample_Folder folder;
  for (const char* name : {"Case_phas.zlt", "Case_geoF.zlt"})
    sample::GZIP_COPY(folder.dir / name, folder.dir / (std::string(name) + ".gz"));
  std::filesystem::remove(folder.dir / "Case_geoF.zlt");
  sample::GZIP_COPY(folder.dir / "Case_phas.zlt", folder.dir / "Case.phas.zip");
  expect_runs(folder, {
      {{"-g", "-z", "Case_phas.zlt.gz"},
       report("Case_geoF.zlt.gz", {"Case_phas.zlt.gz"}, Single + " Compressed results\n\n") + Display_Start, 0},
      // Not compressed itself: the compressed geometry is not looked for.
      {{"Case_phas.zlt"}, missing("Case_geoF.zlt"), 1},
      {{"Case.phas.zip"}, missing("Case.geoF"), 1},
  });
  sample::GZIP_COPY(folder.dir / "Case_phas.zlt", folder.dir / "Case.phas.gz");
  for (const char* name : {"Case.geoF.zip", "Case.geoF.gz"})
    sample::GZIP_COPY(folder.dir / "Case_phas.zlt", folder.dir / name);
  expect_runs(folder, {
      {{"-g", "Case.phas.zip"}, report("Case.geoF.zip", {"Case.phas.zip"}, Single) + Not_A_Geometry, 1},
      {{"-g", "Case.phas.gz"}, report("Case.geoF.gz", {"Case.phas.gz"}, Single) + Not_A_Geometry, 1},
  });
}

TEST(Command_Line_Program, WordsFromStandardInput) {
  Sample_Folder folder;
  std::filesystem::create_directory(folder.dir.path() / "runs");
  for (const char* name : {"Case_geoF.zlt", "Case_conc.zlt"})
    std::filesystem::copy_file(folder.dir / name, folder.dir / (std::string("runs/") + name));
  for (const char* name : {"my case_geoF.zlt", "my case_phas.zlt"})
    std::filesystem::copy_file(folder.dir / "Case_phas.zlt", folder.dir / name);
  expect_runs(folder, {
      // Each line is one word, blanks inside kept.
      {{"-n4"},
       report("my case_geoF.zlt", {"my case_phas.zlt"}, "\n Four-folded symmetry toggled on\n Results in ASCII\n\n") +
           Not_A_Geometry,
       1, "-s\nmy case_phas.zlt\n-b\n-a\nnot a word\n"},
      // Beside another argument, -n4 is a word of options: four-folded symmetry.
      {{"-n4", "Case_phas.zlt", "-g"},
       report("Case_geoF.zlt", {"Case_phas.zlt"}, "\n Four-folded symmetry toggled on\n" + Single) + Display_Start, 0},
      {{"-n5", "Case_phas.zlt", "-g"}, report("Case_geoF.zlt", {"Case_phas.zlt"}, Single) + Display_Start, 0},
      // The lines that come are the words, however many were announced.
      {{"-n2000000000"}, report("Case_geoF.zlt", {"Case_phas.zlt"}, Single) + Display_Start, 0, "Case_phas.zlt\n-g\n"},
      {{"-n3"}, Help, 1, ""},
      {{"-n"}, read_error("Read integer input", "-n"), 1},
      // A lone geometry file asks for the words; the names are taken in its folder.
      {{"runs/Case_geoF.zlt"},
       Prompt + report("runs/Case_geoF.zlt", {"runs/Case_conc.zlt"}, " Results in ASCII\n\n") +
           format_changed("ASCII") + Display_Start,
       0,
       "  -a -g  Case_conc.zlt \n"},
      {{"runs/Case_geoF.zlt"}, Prompt + Help, 1, "\n"},
      {{"runs/Case_geoF.zlt"}, Prompt + "\nInput Error: end of input\n\n", 1, ""},
      {{}, Prompt + report("Case_geoF.zlt", {"Case_phas.zlt"}, Single) + Display_Start, 0, "Case_phas.zlt -g"},
      // Long words are kept whole, on the prompt line as in the lines of -n.
      {{}, Prompt + missing(std::string(600, 'x') + ".geoF") + missing(std::string(600, 'x') + ".phas"), 1,
       "-s " + std::string(600, 'x') + ".phas\n"},
      {{"-n1"}, missing(std::string(700, 'y') + "_geoF.zlt") + missing(std::string(700, 'y') + "_phas.zlt"), 1,
       std::string(700, 'y') + "_phas.zlt\n"},
  });
}

TEST(Command_Line_Program, ConversionWordsGoToTheConversionUnchanged) {
  Sample_Folder folder;
  for (const std::vector<std::string>& words :
       std::vector<std::vector<std::string>>{{"\"-t\""}, {"-m", "-t"}, {"-p2", "--Rescale"}}) {
    const Display_Run run = RUN_DISPLAY(folder.dir, words);
    EXPECT_TRUE(run.console.starts_with(Title + "\n Transfer ZELTRA\n")) << joined(words) << run.console;
  }
  const Display_Run prompted = RUN_DISPLAY(folder.dir, {}, "-t --Output_Times Case_phas.zlt\n");
  EXPECT_EQ(prompted.console, Title + Prompt + "\n Transfer ZELTRA\n Listing output times for Case_phas.zlt\n");
  EXPECT_EQ(prompted.output, "  5.000000e-003\n  1.000000e-002\n");  // times 0.005 s and 0.01 s
  EXPECT_EQ(prompted.exit_code, 0);
}

}  // namespace
