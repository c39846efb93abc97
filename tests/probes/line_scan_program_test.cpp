// The line-scan commands in the whole program: Display_ZELTRA under the front end beside a
// real kornd (offscreen), dialogs and pop-ups answered through the server's scripted input.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

#include "platform/Channel_Blocks.h"
#include "tests/Server_Answers.h"
#include "tests/main/Display_Session.h"
#include "tools/Sample_Case.h"

namespace {

// A 40 x 30 case of four outputs, one or two result files.
struct Case_Folder {
  Scratch_Folder dir;
  std::string fifo = dir / "input";
  Case_Folder() {
    sample::WRITE_GEOMETRY(dir / "Case_geoF.zlt", sample::Encoding::Single, sample::GRID(40, 1, 30, 1e-4));
    sample::WRITE_RESULTS(dir / "Case_phas.zlt", sample::Encoding::Single, sample::GRAIN_GROWTH(40, 30, 4, 0));
    sample::WRITE_RESULTS(dir / "Case_conc.zlt", sample::Encoding::Single, sample::GRAIN_GROWTH(40, 30, 4, 1));
    ::mkfifo(fifo.c_str(), 0600);
  }
};

const std::vector<std::string> One = {"-g", "Case_phas.zlt"};
const std::vector<std::string> Two = {"-g", "-m2", "Case_phas.zlt", "Case_conc.zlt"};

// A session whose server takes scripted input, with a feeder answering its dialogs and pop-ups.
struct Session {
  Case_Folder folder;
  Display_Session program;
  Answer_Feeder feeder;
  int marks = 0;
  explicit Session(const std::vector<std::string>& words)
      : program(folder.dir, words, {"KORND_TEST_INPUT=" + folder.fifo}), feeder(program.server, folder.fifo) {
    feeder.Follow_Newest_Window();  // the curve windows stay open beside the pop-ups
  }
  // Types the row or column into the LineScan pop-up in place of its preset.
  void TYPE_IN_POP_UP(const std::string& text) {
    feeder.Act(pop_up_answers::KEY("Escape"));
    for (const Pop_Up_Action& a : pop_up_answers::TEXT(text)) feeder.Act(a);
    feeder.Act(pop_up_answers::KEY("Return"));
  }
  // Sends the commands, then a command that reports, and waits for that report: the commands
  // before it have ended.
  bool RUN(const std::string& commands) {
    ++marks;
    program.SEND(commands + "0 24 0\n");
    const std::string report = marks % 2 == 1 ? " 'Auto-replot' on\n" : " 'Auto-replot' off\n";
    std::size_t seen = 0;
    for (int waited = 0; waited < 30000; waited += 20) {
      const std::string console = program.CONSOLE();
      seen = 0;
      for (std::size_t at = console.find(" 'Auto-replot' o"); at != std::string::npos;
           at = console.find(" 'Auto-replot' o", at + 1))
        ++seen;
      if (static_cast<int>(seen) >= marks) return console.rfind(report) != std::string::npos;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
  }
  // Pixels of the main display read back through the server: columns across the field, dense
  // down it, so that a line drawn across it shows.
  std::vector<int> main_pixels() {
    platform::Shared_Block holder;
    channel::KRwinblock* block = program.server.MapWindow(1, holder);
    std::vector<int> pixels;
    if (block == nullptr) return pixels;
    for (int x = 300; x < 3000; x += 300)
      for (int y = 0; y < 2400; y += 8) {
        block->code = x;
        block->a[0] = y;
        if (program.server.Send("F!") == Kornd_Server::Gone) return {};
        pixels.push_back(block->a[2]);
      }
    return pixels;
  }
  // Windows the server holds now, of the first `up_to`.
  int windows(int up_to) {
    int open = 0;
    for (int w = 1; w <= up_to; ++w) {
      platform::Shared_Block holder;
      if (program.server.MapWindow(w, holder) != nullptr) ++open;
    }
    return open;
  }
};

TEST(Line_Scan_Program, ProcessingModeCyclesOnlyWithSeveralResults) {
  {
    Session two(Two);
    ASSERT_TRUE(two.program.server_started);
    ASSERT_TRUE(two.RUN("0 99 0\n0 99 0\n0 99 0\n0 99 0\n"));
    const std::string console = two.program.CONSOLE();
    const std::string cycle = "\nNormalising EDX scans\n\n\nRescaling EDX scans\n\n\n"
                              "Futher processing of 'Virtual EDX' data toggled off\n\n\nNormalising EDX scans\n\n";
    EXPECT_NE(console.find(cycle), std::string::npos) << console;
    EXPECT_EQ(two.feeder.Reads(), 0);  // no list of results is asked for
  }
  Session one(One);
  ASSERT_TRUE(one.RUN("0 99 0\n0 99 0\n"));
  const std::string refusal = "\nOption only available when several results are displayed!\n\n";
  const std::string console = one.program.CONSOLE();
  EXPECT_NE(console.find(refusal + refusal), std::string::npos) << console;
  EXPECT_EQ(console.find("EDX scans"), std::string::npos);
}

TEST(Line_Scan_Program, CollectedScansLeaveTheMainDisplayAsItIs) {
  Session s(One);
  ASSERT_TRUE(s.program.server_started);
  s.TYPE_IN_POP_UP("15");  // code 95: the row of the line along X; then a redraw without it
  ASSERT_TRUE(s.RUN("0 95 0\n0 23 0\n"));
  const std::vector<int> plain = s.main_pixels();
  ASSERT_TRUE(s.RUN("0 97 0\n"));  // the main display with the line drawn on it
  const std::vector<int> with_line = s.main_pixels();
  ASSERT_FALSE(with_line.empty());
  ASSERT_NE(with_line, plain);
  ASSERT_TRUE(s.RUN("0 93 0\n"));
  EXPECT_EQ(s.main_pixels(), with_line);
  // Code 94: the list of output times, outputs 1 and 3 picked (all start selected).
  for (const Pop_Up_Action& a : pop_up_answers::SELECTION({true, false, true, false}, true)) s.feeder.Act(a);
  ASSERT_TRUE(s.RUN("0 94 0\n"));
  EXPECT_EQ(s.feeder.Pending(), 0u);
  EXPECT_EQ(s.main_pixels(), with_line);
  // A redraw takes the line away again: the reads see a redraw.
  ASSERT_TRUE(s.RUN("0 23 0\n"));
  EXPECT_EQ(s.main_pixels(), plain);
  const std::string console = s.program.CONSOLE();
  EXPECT_EQ(console.find("Unable to open secondary display!"), std::string::npos) << console;
  EXPECT_EQ(console.find("too small"), std::string::npos) << console;
}

TEST(Line_Scan_Program, TwentyLineScanPlotsLeaveRoomForImagesAndPopUps) {
  Session s(One);
  ASSERT_TRUE(s.program.server_started);
  s.TYPE_IN_POP_UP("10");
  ASSERT_TRUE(s.RUN("0 96 0\n"));  // a line along Y at column 10, scanned and plotted
  const int after_first = s.windows(40);
  std::string rescans;
  for (int k = 0; k < 20; ++k) rescans += "0 98 0\n";
  ASSERT_TRUE(s.RUN(rescans));
  EXPECT_EQ(s.windows(40), after_first + 20);  // each plot a window of its own, all still shown
  // An image file and a pop-up still open, and one more plot.
  s.TYPE_IN_POP_UP("12");
  ASSERT_TRUE(s.RUN("0 91 0\n0 77 0\n0 95 0\n"));
  const std::string console = s.program.CONSOLE();
  EXPECT_NE(console.find(" File: Case_phas_"), std::string::npos) << console;
  EXPECT_EQ(console.find("Unable to open"), std::string::npos) << console;
  EXPECT_EQ(s.windows(40), after_first + 21);
  EXPECT_EQ(s.feeder.Pending(), 0u);
  EXPECT_EQ(s.feeder.Unanswered(), 0);
  s.program.SEND("0 129 0\n");
  EXPECT_EQ(s.program.WAIT_EXIT(), 0);
}

TEST(Line_Scan_Program, ADraggedLineIsScannedAndPlottedOnceAccepted) {
  Session s(One);
  ASSERT_TRUE(s.program.server_started);
  ASSERT_TRUE(s.RUN(""));
  const std::vector<int> plain = s.main_pixels();
  // The drag from beyond the field's top left corner (picks are held to the field) into it,
  // ended where the button goes up, then a key that accepts the line.
  s.feeder.Act(Pop_Up_Action{"press 1 left 2 2\nmove 1 200 150\nrelease 1 left 300 220"});
  s.feeder.Act(Pop_Up_Action{"key 1 a"});
  ASSERT_TRUE(s.RUN("0 92 0\n")) << s.program.server.Errors() << s.program.CONSOLE();
  EXPECT_EQ(s.feeder.Pending(), 0u);
  const std::string console = s.program.CONSOLE();
  EXPECT_NE(console.find("\nSet scan line by holding down the mouse's left button\nPress right mouse button or x to "
                         "redraw\n or any key to accept scannning line\n"),
            std::string::npos)
      << console;
  EXPECT_EQ(console.find("too small"), std::string::npos) << console;
  EXPECT_EQ(console.find("Unable to open"), std::string::npos) << console;
  EXPECT_EQ(s.windows(10), 2);            // the main display and the line-scan plot
  EXPECT_NE(s.main_pixels(), plain);      // the line drawn on the main display
}

}  // namespace
