// The probe commands and the outputs that run a missing probe first, through the whole
// program (-g) beside a real kornd, with scripted picks, keys and clicks.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "korin_client/Coordinates.h"
#include "platform/Shared_Block.h"
#include "tests/main/Display_Session.h"
#include "tools/Sample_Case.h"

namespace {

constexpr int Outputs = 10, NX = 12, NZ = 8;

// Ten outputs of a 12 x 8 x-z field at 1.25 s each: output k holds 100 k + (x - 1) in column x.
struct Probe_Case {
  Scratch_Folder dir;
  Probe_Case() {
    sample::WRITE_GEOMETRY(dir / "Case_geoF.zlt", sample::Encoding::Single, sample::GRID(NX, 1, NZ, 1e-4));
    std::vector<sample::Output> outputs;
    for (int k = 1; k <= Outputs; ++k) {
      std::vector<double> values;
      for (int c = 0; c < NX * NZ; ++c) values.push_back(100.0 * k + c % NX);
      outputs.push_back({1.25 * k, values});
    }
    sample::WRITE_RESULTS(dir / "Case_phas.zlt", sample::Encoding::Single, outputs);
  }
  // The rows of a table the program wrote: its numbers, one vector per line after the heads.
  std::vector<std::vector<double>> table(const std::string& name) const {
    std::ifstream in(dir / name);
    std::vector<std::vector<double>> rows;
    std::string line;
    for (int n = 0; std::getline(in, line); ++n) {
      if (n < 2) continue;
      std::istringstream fields(line);
      std::vector<double> row;
      for (double v; fields >> v;) row.push_back(v);
      rows.push_back(row);
    }
    return rows;
  }
};

// The program with scripted input: each pick or key waits until the program waits for it.
class Probe_Commands : public ::testing::Test {
 protected:
  Probe_Commands()
      : fifo_(make_fifo(case_.dir / "input")),
        session_(case_.dir, {"-g", "Case_phas.zlt"}, {"KORND_TEST_INPUT=" + fifo_}),
        input_(fifo_) {}

  static std::string make_fifo(const std::string& name) {
    ::mkfifo(name.c_str(), 0600);
    return name;
  }

  // Waits for the next cursor wait of the server, then delivers the lines one after the other.
  bool when_waiting(const std::vector<std::string>& lines) {
    return when_waiting([&] { return lines; });
  }
  // The same with lines made once the server waits (they may name a window opened just now).
  bool when_waiting(const std::function<std::vector<std::string>()>& make_lines) {
    auto& server = session_.server;
    bool waiting = false;
    for (int i = 0; i < 2000 && !waiting; ++i) {
      waiting = server.CountErrors("kornd input: waiting") > waits_;
      if (!waiting) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!waiting) return false;
    ++waits_;
    for (const std::string& line : make_lines()) {
      const int done = server.CountErrors("kornd input: done " + line);
      input_ << line << "\n" << std::flush;
      for (int i = 0; i < 1000 && server.CountErrors("kornd input: done " + line) == done; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
  }

  // The picture point at fractions (fx, fy) of window w's paper, from its lower left corner.
  std::string paper_point(int w, float fx, float fy) {
    platform::Shared_Block holder;
    const channel::KRwinblock* b = session_.server.MapWindow(w, holder);
    if (b == nullptr) return "no window";
    const Device_Point p = TO_DEVICE(*b, b->world_x1 + fx * (b->world_x2 - b->world_x1),
                                     b->world_y1 + fy * (b->world_y2 - b->world_y1));
    return "@" + std::to_string(p.x) + " " + std::to_string(p.y);
  }

  // The scan point picked in the margin below and left of the field (its corner cell), then
  // accepted.
  void pick_point() {
    ASSERT_TRUE(when_waiting([&] { return std::vector<std::string>{"click 1 left " + paper_point(1, 0.01f, 0.01f)}; }))
        << session_.server.Errors();
    ASSERT_TRUE(when_waiting({"key 1 a"})) << session_.server.Errors() << session_.CONSOLE();
  }
  // A line dragged in the margin along the field's edge across every column, then accepted.
  // from_x and to_x: the ends' fractions of the paper's width.
  void drag_line(float from_x = 0.01f, float to_x = 0.99f) {
    // The line is dragged with the left button and ends where the button goes up.
    ASSERT_TRUE(when_waiting([&] {
      const std::string end = paper_point(1, to_x, 0.01f);
      return std::vector<std::string>{"press 1 left " + paper_point(1, from_x, 0.01f), "release 1 left " + end};
    })) << session_.CONSOLE();
    ASSERT_TRUE(when_waiting({"key 1 a"})) << session_.CONSOLE();
  }
  // The highest window number the server has open now.
  int newest_window() {
    int newest = 0;
    for (int w = 1; w <= 16; ++w) {
      platform::Shared_Block holder;
      if (session_.server.MapWindow(w, holder) != nullptr) newest = w;
    }
    return newest;
  }

  // The value form of one result (5 x 1.7 inches), the newest window, ended on its "OK" row.
  void accept_value_form(int expected_window) {
    int w = 0;
    ASSERT_TRUE(when_waiting([&] {
      w = newest_window();
      return std::vector<std::string>{"click " + std::to_string(w) + " left " + paper_point(w, 0.5f, 0.2f / 1.7f)};
    })) << session_.CONSOLE();
    EXPECT_EQ(w, expected_window);
  }

  // The value form of one result in the newest window: result 1's entry clicked, emptied with
  // Escape, typed anew and ended with Return; then "OK".
  void type_tracked_value(const std::string& text) {
    int w = 0;
    ASSERT_TRUE(when_waiting([&] {
      w = newest_window();
      return std::vector<std::string>{"click " + std::to_string(w) + " left " + paper_point(w, 0.5f, 0.6f / 1.7f)};
    })) << session_.CONSOLE();
    std::vector<std::string> keys{"key " + std::to_string(w) + " Escape"};
    for (char c : text) keys.push_back("text " + std::to_string(w) + " " + c);
    keys.push_back("key " + std::to_string(w) + " Return");
    for (const std::string& key : keys) ASSERT_TRUE(when_waiting({key})) << key << session_.CONSOLE();
    ASSERT_TRUE(when_waiting({"click " + std::to_string(w) + " left " + paper_point(w, 0.5f, 0.2f / 1.7f)}));
  }

  // The front positions of the front-tracking table after code 110.
  std::vector<double> fronts() {
    const std::size_t before = count(" File: Case_phas_Front_Tracking.txt created");
    session_.SEND("0 110 0\n");
    for (int i = 0; i < 2000 && count(" File: Case_phas_Front_Tracking.txt created") == before; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::vector<double> positions;
    for (const auto& row : case_.table("Case_phas_Front_Tracking.txt")) positions.push_back(row.size() == 2 ? row[1] : -2.0);
    return positions;
  }
  std::size_t count(const std::string& text) const {
    const std::string console = session_.CONSOLE();
    std::size_t n = 0;
    for (auto at = console.find(text); at != std::string::npos; at = console.find(text, at + 1)) ++n;
    return n;
  }

  void end_session() {
    session_.SEND("0 129 0\n");
    EXPECT_EQ(session_.WAIT_EXIT(), 0) << session_.CONSOLE();
  }

  Probe_Case case_;
  std::string fifo_;
  Display_Session session_;
  std::ofstream input_;
  int waits_ = 0;
};

TEST_F(Probe_Commands, ScanPointFromOutputFiveOfTenEndsThere) {
  ASSERT_TRUE(session_.server_started);
  session_.SEND("0 91 0\n1 0 0\n1 0 0\n1 0 0\n1 0 0\n0 101 0\n");
  ASSERT_NO_FATAL_FAILURE(pick_point());
  session_.SEND("0 112 0\n0 113 0\n");
  ASSERT_TRUE(session_.WAIT_FOR("_Scan_Point.gif created")) << session_.CONSOLE();
  const std::string console = session_.CONSOLE();
  // The position image carries the time shown: output 5 again, 6.25 s.
  EXPECT_NE(console.find(" File: Case_phas_00006250_Scan_Point.gif created"), std::string::npos) << console;
  EXPECT_NE(console.find("\n File: Case_phas_Scan_Point.txt created\n"), std::string::npos) << console;
  const auto rows = case_.table("Case_phas_Scan_Point.txt");
  ASSERT_EQ(rows.size(), static_cast<std::size_t>(Outputs));
  for (int t = 1; t <= Outputs; ++t) {
    ASSERT_EQ(rows[t - 1].size(), 2u) << t;
    EXPECT_DOUBLE_EQ(rows[t - 1][0], 1.25 * t) << t;
    EXPECT_DOUBLE_EQ(rows[t - 1][1], 100.0 * t) << t;  // column 1 of output t
  }
  EXPECT_EQ(waits_, 2);  // code 112 found the data and asked for nothing
  end_session();
}

// The scan point's curve image is labelled with the point probed: a line scan picked later
// leaves it as it was.
TEST_F(Probe_Commands, ScanPointCurveKeepsItsPointAfterALaterLineScan) {
  ASSERT_TRUE(session_.server_started);
  session_.SEND("0 91 0\n0 101 0\n");
  ASSERT_NO_FATAL_FAILURE(pick_point());
  const std::string image = case_.dir / "Case_phas_Scan_Point.gif";
  // The image is closed after its report: the version report that follows marks it done.
  const auto write_curve = [&] {
    const std::size_t before = count("ZELTRA version available)");
    session_.SEND("0 114 0\n0 124 0\n");
    for (int i = 0; i < 2000 && count("ZELTRA version available)") == before; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const std::string bytes = read_bytes(image);
    std::filesystem::remove(image);
    return bytes;
  };
  const std::string before = write_curve();
  ASSERT_GT(before.size(), 100u) << session_.CONSOLE();
  session_.SEND("0 92 0\n");
  ASSERT_NO_FATAL_FAILURE(drag_line(0.99f, 0.01f));  // from the far corner: another start cell
  const std::string after = write_curve();
  ASSERT_EQ(count(" File: Case_phas_Scan_Point.gif created"), 2u) << session_.CONSOLE();
  EXPECT_EQ(after, before);
  end_session();
}

TEST_F(Probe_Commands, OutputsRunTheirMissingProbeFirst) {
  ASSERT_TRUE(session_.server_started);
  session_.SEND("0 91 0\n0 112 0\n");
  ASSERT_NO_FATAL_FAILURE(pick_point());
  ASSERT_TRUE(session_.WAIT_FOR(" File: Case_phas_Scan_Point.txt created")) << session_.CONSOLE();
  EXPECT_EQ(case_.table("Case_phas_Scan_Point.txt").size(), static_cast<std::size_t>(Outputs));

  // Code 110 before any line scan: the line, its scan, the value form, the run; then the table.
  session_.SEND("0 110 0\n");
  ASSERT_NO_FATAL_FAILURE(drag_line());
  ASSERT_NO_FATAL_FAILURE(accept_value_form(3));  // the scan point's curve window is 2
  ASSERT_TRUE(session_.WAIT_FOR(" File: Case_phas_Front_Tracking.txt created")) << session_.CONSOLE();
  const auto fronts = case_.table("Case_phas_Front_Tracking.txt");
  ASSERT_EQ(fronts.size(), static_cast<std::size_t>(Outputs));
  // The tracked value is the middle of output 1's scan: only output 1 crosses it, half way.
  for (int t = 1; t <= Outputs; ++t) {
    ASSERT_EQ(fronts[t - 1].size(), 2u) << t;
    EXPECT_DOUBLE_EQ(fronts[t - 1][0], 1.25 * t) << t;
    if (t == 1)
      EXPECT_NEAR(fronts[t - 1][1], (NX - 1) / 2.0, 1e-4);
    else
      EXPECT_EQ(fronts[t - 1][1], -1.0) << t;
  }

  // A batch of line-scan tables: one per output, a fresh scan each.
  session_.SEND("0 103 0\n");
  ASSERT_TRUE(session_.WAIT_FOR("EDX text outputs written\n\n")) << session_.CONSOLE();
  EXPECT_NE(session_.CONSOLE().find("\n\nWritting EDX outputs... please wait\n"), std::string::npos);
  for (int t = 1; t <= Outputs; ++t) {
    char name[64];
    std::snprintf(name, sizeof name, "Case_phas_%08d_EDX.txt", 1250 * t);
    const auto rows = case_.table(name);
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(NX)) << name;
    EXPECT_DOUBLE_EQ(rows[NX - 1][1], 100.0 * t + NX - 1) << name;
  }
  end_session();
}

TEST_F(Probe_Commands, FrontTrackingBeforeAnyLineScan) {
  ASSERT_TRUE(session_.server_started);
  session_.SEND("0 91 0\n0 100 0\n");
  ASSERT_NO_FATAL_FAILURE(drag_line());
  // The line scan's curve took window 2: the value form is window 3.
  ASSERT_NO_FATAL_FAILURE(accept_value_form(3));
  session_.SEND("0 110 0\n");
  ASSERT_TRUE(session_.WAIT_FOR(" File: Case_phas_Front_Tracking.txt created")) << session_.CONSOLE();
  // The line scan's window stays; the form's window was closed and the front curve took its
  // number.
  platform::Shared_Block holder;
  EXPECT_NE(session_.server.MapWindow(2, holder), nullptr);
  EXPECT_EQ(newest_window(), 3);
  EXPECT_EQ(session_.CONSOLE().find("Unable"), std::string::npos) << session_.CONSOLE();
  EXPECT_EQ(case_.table("Case_phas_Front_Tracking.txt").size(), static_cast<std::size_t>(Outputs));
  EXPECT_EQ(waits_, 3);  // code 110 found the data
  end_session();
}

TEST_F(Probe_Commands, ValueFormTakesTypedValuesAndKeepsUnreadableOnes) {
  ASSERT_TRUE(session_.server_started);
  session_.SEND("0 91 0\n0 100 0\n");
  ASSERT_NO_FATAL_FAILURE(drag_line());
  // Output 2 holds 200 to 211 along the line: 205 is crossed there, 5 cells from the start.
  ASSERT_NO_FATAL_FAILURE(type_tracked_value("205"));
  std::vector<double> expected(Outputs, -1.0);
  expected[1] = 5.0;
  EXPECT_EQ(fronts(), expected);
  // A second run shows the stored value; a text that is no number keeps it, and says so.
  session_.SEND("0 100 0\n");
  ASSERT_NO_FATAL_FAILURE(type_tracked_value("abc"));
  EXPECT_EQ(fronts(), expected);
  EXPECT_NE(session_.CONSOLE().find("\n\n Value to track of Case_phas.zlt not read ('abc'): keeping 205.000\n\n"),
            std::string::npos)
      << session_.CONSOLE();
  end_session();
}

}  // namespace
