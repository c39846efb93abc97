// The information commands in the whole program: Display_ZELTRA under the front end beside a
// real kornd, picks scripted at the picture's corners (a pick outside the image is held to
// the zoom window's edge cells), the text dialog answered by scripted keys, the console read.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <thread>

#include "korin_client/Coordinates.h"
#include "records/Command_Codes.h"
#include "tests/main/Acknowledgments_Text.h"
#include "tests/main/Display_Session.h"
#include "tools/Sample_Case.h"

namespace {

constexpr int N = 10;  // cells along every axis

// Result 1 is 100 everywhere but 100.5 in the last column; result 2 adds 0.5 at even outputs
// and 2 at odd ones. Output k is at k seconds, except outputs of result 2 past result 1's
// count, at k + 0.5 seconds. The geometry has no simulation texts.
struct Cube_Case {
  Scratch_Folder dir;
  explicit Cube_Case(int outputs, int second_outputs = 0) {
    sample::WRITE_GEOMETRY(dir / "Cube_geoF.zlt", sample::Encoding::Single, sample::GRID(N, N, N, 2e-4));
    std::vector<sample::Output> first, second;
    const int both = std::max(outputs, second_outputs);
    for (int k = 1; k <= both; ++k) {
      sample::Output a{static_cast<double>(k), {}}, b{static_cast<double>(k), {}};
      for (int z = 1; z <= N; ++z)
        for (int y = 1; y <= N; ++y)
          for (int x = 1; x <= N; ++x) {
            a.values.push_back(x == N ? 100.5 : 100.0);
            b.values.push_back(a.values.back() + (k % 2 ? 2.0 : 0.5));
          }
      if (k <= outputs) first.push_back(a);
      if (k > outputs) b.time += 0.5;
      if (k <= (second_outputs > 0 ? second_outputs : outputs)) second.push_back(b);
    }
    sample::WRITE_RESULTS(dir / "Cube_phas.zlt", sample::Encoding::Single, first);
    sample::WRITE_RESULTS(dir / "Cube_conc.zlt", sample::Encoding::Single, second);
  }
};

// The program with scripted keys and clicks: each step waits for the server to start its
// next wait or dialog, then sends its lines.
class Scripted_Program {
 public:
  Scripted_Program(const Cube_Case& c, const std::vector<std::string>& results)
      : fifo_(make_fifo(c.dir)), session_(c.dir, words(results), {"KORND_TEST_INPUT=" + fifo_}), keys_(fifo_) {}

  Display_Session& session() { return session_; }

  void command(std::int32_t code) { session_.SEND("0 " + std::to_string(code) + " 0\n"); }
  void next_output() { session_.SEND("1 0 0\n"); }

  // The next dialog gets the text and Return (nullopt: cancelled).
  void answer(const std::optional<std::string>& text) {
    if (!text) return after("kornd input: dialog", {"key 1 Escape"});
    after("kornd input: dialog", {"text 1 " + *text, "key 1 Return"});
  }
  // Return takes the preset the dialog shows.
  void keep_preset() { after("kornd input: dialog", {"key 1 Return"}); }
  // A point at a fraction of the page of the main display (0, 0 the corner of the world box).
  std::string at(float fx, float fy) {
    platform::Shared_Block holder;
    const channel::KRwinblock* b = session_.server.MapWindow(1, holder);
    if (b == nullptr) return "@0 0";
    const Device_Point p = TO_DEVICE(*b, b->world_x1 + fx * (b->world_x2 - b->world_x1),
                                     b->world_y1 + fy * (b->world_y2 - b->world_y1));
    return "@" + std::to_string(p.x) + " " + std::to_string(p.y);
  }
  void click(const std::string& point) { after("kornd input: waiting", {"click 1 left " + point}); }
  // A dragged line (a first side), ended where the button goes up.
  void drag(const std::string& from, const std::string& to) {
    after("kornd input: waiting", {"press 1 left " + from, "release 1 left " + to});
  }
  // The console from offset from on, once it holds text (within 20 s).
  std::string console_after(std::size_t from, const std::string& text) {
    std::string tail;
    for (int waited = 0; waited < 20000; waited += 20) {
      const std::string all = session_.CONSOLE();
      tail = from < all.size() ? all.substr(from) : "";
      if (tail.find(text) != std::string::npos) return tail;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ADD_FAILURE() << "no " << text << " in " << tail;
    return tail;
  }

 private:
  static std::string make_fifo(const Scratch_Folder& dir) {
    const std::string name = dir / "keys";
    ::mkfifo(name.c_str(), 0600);
    return name;
  }
  static std::vector<std::string> words(const std::vector<std::string>& results) {
    std::vector<std::string> w{"-g", "-m" + std::to_string(results.size())};
    w.insert(w.end(), results.begin(), results.end());
    return w;
  }
  void after(const std::string& mark, const std::vector<std::string>& lines) {
    const int wanted = ++seen_[mark];
    for (int i = 0; i < 3000 && session_.server.CountErrors(mark) < wanted; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    for (const std::string& line : lines) keys_ << line << "\n";
    keys_ << std::flush;
  }

  std::string fifo_;
  Display_Session session_;
  std::ofstream keys_;
  std::map<std::string, int> seen_;
};

constexpr float Low = 0.002f, High = 0.998f;

TEST(Information_Program, Measures) {
  Cube_Case c(2);
  Scripted_Program p(c, {"Cube_phas.zlt"});
  ASSERT_TRUE(p.session().server_started);
  ASSERT_TRUE(p.session().WAIT_FOR(Acknowledgments_Text)) << p.session().CONSOLE();
  std::size_t mark = p.session().CONSOLE().size();

  // The cell the lower left corner gives, and its position.
  p.command(Command::Info_Coordinates);
  p.click(p.at(Low, Low));
  std::string text = p.console_after(mark, "'Cell pointer'");
  EXPECT_NE(text.find(" X =  1.000, 1\n Y =  9.000, 5\n Z =  1.000, 1\n"), std::string::npos) << text;
  mark = p.session().CONSOLE().size();

  // A line inside one cell.
  p.command(Command::Info_Distance);
  p.drag(p.at(Low, Low), p.at(Low, Low));
  text = p.console_after(mark, "Distance");
  EXPECT_NE(text.find(" Distance (micrometers):  0.000    \n"), std::string::npos) << text;
  mark = p.session().CONSOLE().size();

  // Against the horizontal (up and right, down and right, a vertical side), against the
  // vertical (a horizontal side), and between two sides (the first along x, the second
  // picked up the y axis with the band from the vertex).
  const std::string horizontal = "\nSet 'non-horizontal' side by holding down the mouse's left button\n";
  const std::string vertical = "\nSet 'non-vertical' side by holding down the mouse's left button\n";
  const std::string sides = "\nSelect angle by holding down the  mouse's left button twice\n";
  const std::string too_small = "\n Sorry at least one of the sides appears too small!\n\n";
  struct Case {
    std::int32_t code;
    float x1, y1, x2, y2;
    std::string lines;
  } cases[] = {
      {Command::Info_Angle_Horizontal, Low, Low, High, High,
       horizontal + " Angle (radians): -0.785  (-0.25 x 'Pi')\n Angle (degrees):  -45.00\n"},
      {Command::Info_Angle_Horizontal, Low, High, High, Low,
       horizontal + " Angle (radians): +0.785  (+0.25 x 'Pi')\n Angle (degrees):  +45.00\n"},
      {Command::Info_Angle_Horizontal, Low, Low, Low, High, horizontal + too_small},
      {Command::Info_Angle_Vertical, Low, Low, High, Low, vertical + too_small},
      {Command::Info_Angle_Sides, Low, Low, High, Low,
       sides + " Angle (radians): +1.571  (+0.50 x 'Pi')\n Angle (degrees):  +90.00\n"},
  };
  for (const Case& k : cases) {
    p.command(k.code);
    p.drag(p.at(k.x1, k.y1), p.at(k.x2, k.y2));
    if (k.code == Command::Info_Angle_Sides) p.click(p.at(Low, High));
    text = p.console_after(mark, k.lines);
    EXPECT_EQ(text, k.lines) << k.code;
    mark = p.session().CONSOLE().size();
  }
  EXPECT_EQ(p.session().RUN("0 129 0\n"), 0);
}

TEST(Information_Program, CellPointer) {
  Cube_Case c(2);
  Scripted_Program p(c, {"Cube_phas.zlt"});
  ASSERT_TRUE(p.session().WAIT_FOR(Acknowledgments_Text)) << p.session().CONSOLE();
  std::size_t mark = p.session().CONSOLE().size();
  // The x-z plane at Y = 5 is shown. Cancel ends the command without a line.
  p.command(Command::Info_Cell_Pointer);
  p.answer(std::nullopt);
  p.command(Command::Info_Geometry);
  std::string text = p.console_after(mark, " No zoom");
  EXPECT_EQ(text.substr(0, 22), "\n Simulation geometry:") << text;
  EXPECT_NE(text.find("    Y =    5\n  Grid spacing [micrometers]: 2.000000\n"), std::string::npos) << text;
  mark = p.session().CONSOLE().size();

  // Unreadable text asks again silently; a ghost cell and a pointer past the field are named
  // and asked again; cell (1, 1, 1) lies off the plane and shows the cell (1, 5, 1).
  p.command(Command::Info_Cell_Pointer);
  for (const char* typed : {"abc", "1", "999999999999", "158"}) p.answer(std::string(typed));
  const std::int64_t shown = 12 * 5 + 1 + 12 * 12 * 1 + 1;
  text = p.console_after(mark, " 'Cell pointer': " + std::to_string(shown) + "\n");
  EXPECT_EQ(text,
            "\n 'Cell pointer' 1 names no displayed cell!\n\n"
            "\n 'Cell pointer' 999999999999 names no displayed cell!\n\n"
            "\nNote: projection on the cutting plane!\n\n"
            "\nField values (t=1.000):\n Cube_phas.zlt:    100.0000    \n"
            "Coordinates (micrometers, cells):\n X =  1.000, 1\n Y =  9.000, 5\n Z =  1.000, 1\n"
            " 'Cell pointer': " + std::to_string(shown) + "\n");
  mark = p.session().CONSOLE().size();

  // A cell of the shown plane: no note; its pointer comes back.
  p.command(Command::Info_Cell_Pointer);
  const std::int64_t last = 12 * 5 + 10 + 12 * 12 * 10 + 1;
  p.answer(std::to_string(last));
  text = p.console_after(mark, " 'Cell pointer': " + std::to_string(last) + "\n");
  EXPECT_EQ(text.find("Note"), std::string::npos) << text;
  EXPECT_NE(text.find(" Cube_phas.zlt:    100.5000    \n"), std::string::npos) << text;
  EXPECT_EQ(p.session().RUN("0 124 0\n0 129 0\n"), 0);
  EXPECT_NE(p.session().CONSOLE().find(
                "\n Display_ZELTRA version 6.1\n (no information about ZELTRA version available)\n"),
            std::string::npos);
}

TEST(Information_Program, Statistics) {
  Cube_Case c(8);
  Scripted_Program p(c, {"Cube_phas.zlt", "Cube_conc.zlt"});
  ASSERT_TRUE(p.session().WAIT_FOR(Acknowledgments_Text)) << p.session().CONSOLE();
  std::size_t mark = p.session().CONSOLE().size();
  const std::string names = " Cube_phas.zlt and Cube_conc.zlt ";

  // The preset criterion is a hundredth of the maximum (the range is narrow): 0.5 apart is
  // identical, 2 apart is not.
  p.command(Command::Info_Compare);
  p.keep_preset();
  std::string text = p.console_after(mark, " Criteria: 1.005E+00\n");
  EXPECT_EQ(text, "\nComparison:\n" + names + "different at t = 1.000\n Criteria: 1.005E+00\n");
  mark = p.session().CONSOLE().size();

  // Cancel prints nothing; an unreadable criterion asks again.
  p.command(Command::Info_Compare);
  p.answer(std::nullopt);
  p.command(Command::Info_Compare);
  p.answer(std::string("x"));
  p.answer(std::string("2"));
  text = p.console_after(mark, " Criteria: 2.000E+00\n");
  EXPECT_EQ(text, "\nComparison:\n" + names + "identical at t = 1.000\n Criteria: 2.000E+00\n");
  mark = p.session().CONSOLE().size();

  // From output 5 of 8 every output once, ending on output 5.
  for (int k = 0; k < 4; ++k) p.next_output();
  p.command(Command::Info_Compare_All);
  p.answer(std::string("0.5"));
  text = p.console_after(mark, " Criteria: 5.000E-01\n");
  std::string expected = "\nComparison:\n";
  for (int k : {5, 6, 7, 8, 1, 2, 3, 4})
    expected += names + (k % 2 ? "different" : "identical") + " at t = " + std::to_string(k) + ".000 (output " +
                std::to_string(k) + ")\n";
  EXPECT_EQ(text, expected + " Criteria: 5.000E-01\n");
  mark = p.session().CONSOLE().size();
  p.command(Command::Info_Compare);
  p.answer(std::string("0.5"));
  text = p.console_after(mark, " Criteria:");
  EXPECT_NE(text.find("different at t = 5.000\n"), std::string::npos) << text;
  mark = p.session().CONSOLE().size();

  // Extrema of both results at output 5, each with the time its annotation shows.
  p.command(Command::Info_Extrema);
  text = p.console_after(mark, "  Average:   102.050    \n");
  EXPECT_EQ(text.substr(0, 22), "\nExtrema and average:\n");
  EXPECT_NE(text.find("  Minimum:   100.000    \n\n  Maximum:   100.500    \n\n  Average:   100.050    \n"),
            std::string::npos) << text;
  EXPECT_NE(text.find("  Minimum:   102.000    \n\n  Maximum:   102.500    \n\n  Average:   102.050    \n"),
            std::string::npos) << text;
  EXPECT_EQ(p.session().RUN("0 129 0\n"), 0);
}

TEST(Information_Program, EveryOutputComparisonEndsAfterOneWrap) {
  Cube_Case c(8);
  Scripted_Program p(c, {"Cube_phas.zlt", "Cube_conc.zlt"});
  ASSERT_TRUE(p.session().WAIT_FOR(Acknowledgments_Text)) << p.session().CONSOLE();
  for (int k = 0; k < 7; ++k) p.next_output();
  p.command(Command::Info_Version);  // a mark that the moves are done
  ASSERT_TRUE(p.session().WAIT_FOR("ZELTRA version available)\n"));
  // Both files lose their last two outputs under the display of output 8: the start output
  // never comes back.
  for (const char* name : {"Cube_phas.zlt", "Cube_conc.zlt"}) {
    const std::string file = c.dir / name;
    std::filesystem::resize_file(file, std::filesystem::file_size(file) / 8 * 6);
  }
  const std::size_t mark = p.session().CONSOLE().size();
  p.command(Command::Info_Compare_All);
  p.answer(std::string("0.5"));
  const std::string text = p.console_after(mark, " Criteria: 5.000E-01\n");
  std::string expected = "\nComparison:\n";
  for (int k : {8, 1, 2, 3, 4, 5, 6})
    expected += " Cube_phas.zlt and Cube_conc.zlt " + std::string(k % 2 ? "different" : "identical") + " at t = " +
                std::to_string(k) + ".000 (output " + std::to_string(k) + ")\n";
  EXPECT_EQ(text, expected + " Criteria: 5.000E-01\n");
  EXPECT_EQ(p.session().RUN("0 129 0\n"), 0);
}

// Files of different output counts: outputs of equal number are compared, each row names its
// output, and the walk goes back to the first outputs where one file has no further output.
TEST(Information_Program, EveryOutputComparisonPairsEqualOutputNumbers) {
  const std::string names = " Cube_phas.zlt and Cube_conc.zlt ";
  const auto rows = [&](std::initializer_list<int> outputs) {
    std::string text = "\nComparison:\n";
    for (int k : outputs)
      text += names + (k % 2 ? "different" : "identical") + " at t = " + std::to_string(k) + ".000 (output " +
              std::to_string(k) + ")\n";
    return text + " Criteria: 5.000E-01\n";
  };
  {
    Cube_Case c(5, 7);
    Scripted_Program p(c, {"Cube_phas.zlt", "Cube_conc.zlt"});
    ASSERT_TRUE(p.session().WAIT_FOR(Acknowledgments_Text)) << p.session().CONSOLE();
    std::size_t mark = p.session().CONSOLE().size();
    p.command(Command::Info_Compare_All);
    p.answer(std::string("0.5"));
    EXPECT_EQ(p.console_after(mark, " Criteria:"), rows({1, 2, 3, 4, 5}));
    // Started at output 5: the rest follow from the first outputs, and the display ends at 5.
    for (int k = 0; k < 4; ++k) p.next_output();
    mark = p.session().CONSOLE().size();
    p.command(Command::Info_Compare_All);
    p.answer(std::string("0.5"));
    EXPECT_EQ(p.console_after(mark, " Criteria:"), rows({5, 1, 2, 3, 4}));
    // One move on, the files stand on outputs 1 and 6: a single comparison says so, and the
    // comparison of every output puts them on output 1 together first.
    p.next_output();
    mark = p.session().CONSOLE().size();
    p.command(Command::Info_Compare);
    p.answer(std::string("0.5"));
    EXPECT_EQ(p.console_after(mark, " Criteria:"),
              "\nComparison:\n" + names + "identical at t = 1.000 and 6.500 (outputs 1 and 6)\n Criteria: 5.000E-01\n");
    mark = p.session().CONSOLE().size();
    p.command(Command::Info_Compare_All);
    p.answer(std::string("0.5"));
    EXPECT_EQ(p.console_after(mark, " Criteria:"), rows({1, 2, 3, 4, 5}));
    EXPECT_EQ(p.session().RUN("0 129 0\n"), 0);
  }
  {
    // The second file is the shorter one; started on output 6 of the first, which the second
    // does not hold: both begin at their first output.
    Cube_Case c(7, 5);
    Scripted_Program p(c, {"Cube_phas.zlt", "Cube_conc.zlt"});
    ASSERT_TRUE(p.session().WAIT_FOR(Acknowledgments_Text)) << p.session().CONSOLE();
    for (int k = 0; k < 5; ++k) p.next_output();
    const std::size_t mark = p.session().CONSOLE().size();
    p.command(Command::Info_Compare_All);
    p.answer(std::string("0.5"));
    EXPECT_EQ(p.console_after(mark, " Criteria:"), rows({1, 2, 3, 4, 5}));
    EXPECT_EQ(p.session().RUN("0 129 0\n"), 0);
  }
}

}  // namespace
