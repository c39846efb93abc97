// The client library against a real kornd: starting and finding the server, the requests as
// sent, coordinates, input through the server's scripted input, and the ends of a connection.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "Client_Run.h"
#include "Kornd_Server.h"
#include "korin_client/Client_State.h"
#include "korin_client/Coordinates.h"
#include "korin_client/Korin.h"
#include "korin_client/Korin_Upper.h"
#include "korin_client/Latin1.h"

namespace {

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// The words of a process's command line after its program.
std::string switches_of(pid_t pid) {
  std::string line = read_file("/proc/" + std::to_string(pid) + "/cmdline");
  std::string words;
  std::size_t at = line.find('\0');
  while (at != std::string::npos && at + 1 < line.size()) {
    const std::size_t end = line.find('\0', at + 1);
    words += " " + line.substr(at + 1, end - at - 1);
    at = end;
  }
  return words;
}

std::string folder_of(pid_t pid) {
  char path[PATH_MAX];
  const ssize_t n = ::readlink(("/proc/" + std::to_string(pid) + "/cwd").c_str(), path, sizeof path);
  return n > 0 ? std::string(path, static_cast<std::size_t>(n)) : "";
}

// Lines of the trace, cut to their first `words` words.
std::vector<std::string> first_words(const std::vector<std::string>& lines, int words) {
  std::vector<std::string> cut;
  for (const std::string& line : lines) {
    std::istringstream in(line);
    std::string word, text;
    for (int i = 0; i < words && in >> word; ++i) text += (i ? " " : "") + word;
    cut.push_back(text);
  }
  return cut;
}

// Opens a window of the given size in pixel coordinates (world = device pixels).
int open_pixel_window(int width = 400, int height = 300) {
  KRinitx(-1, -1, -1, -1, -1, -1, -1, -1);
  const int w = KRopenx(0, width, height, 0, 19, 4, "client test");
  KRindow(0, 0, 0, 0);
  return w;
}

// The colour of one picture pixel, as the server reads it back ("F").
std::uint32_t pixel(int w, int x, int y) {
  KRwincmd1(w, 'F', x, y);
  return static_cast<std::uint32_t>(KRblock(w)->a[2]) & 0xFFFFFF;
}

}  // namespace

TEST(Korin_Start, SwitchesStartTheServerWhichMovesIntoTheClientsFolder) {
  const struct {
    int flags, x, y, width, height, arrange, show, zorder;
    std::string switches;
  } cases[] = {
      {9, -1, -1, -1, -1, -1, 13, -1, " /b /R /I /l /m13"},
      {8, 10, 20, 760, 586, 13, -1, -1, " /B /R /I /l /p10,20 /s760,586"},
  };
  for (const auto& c : cases) {
    std::string folder_template = (std::filesystem::temp_directory_path() / "korin_folder_XXXXXX").string();
    const std::string folder = ::mkdtemp(folder_template.data());
    const Client_Run run = RUN_CLIENT([&](std::ostream& out) {
      if (::chdir(folder.c_str()) != 0) return;
      KRinitx(c.flags, c.x, c.y, c.width, c.height, c.arrange, c.show, c.zorder);
      const pid_t server = KRstate().server_window;
      out << switches_of(server) << "\n" << folder_of(server) << "\n";
    });
    ::rmdir(folder.c_str());
    EXPECT_EQ(run.exit_code, 0) << run.errors;
    EXPECT_EQ(run.output, c.switches + "\n" + folder + "\n");
  }
}

TEST(Korin_Start, TwoClientsStartedTogetherGetTwoServers) {
  const Client_Run run = RUN_CLIENT([](std::ostream& out) {
    int pipe_fds[2];
    if (::pipe(pipe_fds) != 0) return;
    const pid_t other = ::fork();
    KRinitx(-1, -1, -1, -1, -1, -1, -1, -1);
    const pid_t server = KRstate().server_window;
    if (other == 0) {  // the second client reports its server and ends it
      if (::write(pipe_fds[1], &server, sizeof server) != sizeof server) ::_exit(1);
      KRquitx(0);
      ::_exit(0);
    }
    pid_t theirs = 0;
    if (::read(pipe_fds[0], &theirs, sizeof theirs) != sizeof theirs) return;
    out << (server > 0 && theirs > 0 && server != theirs ? "two servers" : "shared") << "\n";
  });
  EXPECT_EQ(run.exit_code, 0) << run.errors;
  EXPECT_EQ(run.output, "two servers\n");
}

TEST(Korin_Requests, PointListsBitmapsAndJoinedLinesAsSent) {
  const Client_Run run = RUN_CLIENT([](std::ostream& out) {
    const int w = open_pixel_window();
    std::vector<float> points;
    for (int i = 0; i < 300; ++i) points.insert(points.end(), {10.0f + static_cast<float>(i), 50.0f});
    out << "polyline " << (KRpolylin(points.data(), 300) == w) << "\n";
    std::vector<int> red(100 * 100, KRmakergb(255, 0, 0));
    const int k = KRmakebmp(0, 100, 100, 32, red.data());
    KRsetbmp(k, 100, 100, 1, 0, 1);
    KRputbmp(k, 150, 100, 1);  // its lower left corner there
    out << "bitmap " << (k > 0) << "\n";
    KRline(10, 200, 50, 200);
    KRline(50, 200, 50, 250);
    KRsetpen(-1, -1, -1, -1);
    KRline(50, 250, 90, 250);
    out << std::hex << pixel(w, 100, 50) << " " << pixel(w, 100, 60) << " " << pixel(w, 200, 80) << " "
        << pixel(w, 30, 200) << "\n";
  });
  ASSERT_EQ(run.exit_code, 0) << run.errors;
  EXPECT_EQ(run.output, "polyline 1\nbitmap 1\n0 ffffff ff 0\n");  // colour values: red in the lowest byte
  // Lists and bitmaps larger than the data area are written in place into the data buffer the
  // server handed over: one request to make it, one to use it, no B 36 pieces.
  EXPECT_EQ(first_words(TRACE_SPAN(run.trace, "N 30", "B 20"), 4),
            (std::vector<std::string>{"N 30 300 1", "B 37 300 1"}));
  const std::vector<std::string> bitmap = first_words(TRACE_SPAN(run.trace, "B 20", "D 0"), 3);
  ASSERT_EQ(bitmap.size(), 2u);
  EXPECT_EQ(bitmap.front(), "B 20 40000");
  EXPECT_EQ(bitmap[1].substr(0, 3), "D 5");
  EXPECT_EQ(first_words(TRACE_SPAN(run.trace, "A 11 10 200", "F"), 4),
            (std::vector<std::string>{"A 11 10 200", "A 20 50 200", "A 20 50 250", "A 11 -1 -1", "A 11 50 250",
                                      "A 20 90 250"}));
}

// A short list goes in one piece while the window has no data buffer of its own; once a large
// transfer has made one, short lists are written in place too: no B 36.
TEST(Korin_Requests, ShortListsGoInPlaceOnceTheWindowHasABuffer) {
  const Client_Run run = RUN_CLIENT([](std::ostream& out) {
    const int w = open_pixel_window();
    const float short_list[] = {5, 5, 6, 6, 7, 7};
    KRpolylin(short_list, 3);
    std::vector<float> points;
    for (int i = 0; i < 300; ++i) points.insert(points.end(), {10.0f + static_cast<float>(i), 50.0f});
    KRpolylin(points.data(), 300);
    const float moved[] = {5, 90, 6, 90, 7, 90};
    KRpolylin(moved, 3);
    out << std::hex << pixel(w, 6, 90) << " " << pixel(w, 6, 91) << "\n";
  });
  ASSERT_EQ(run.exit_code, 0) << run.errors;
  EXPECT_EQ(run.output, "0 ffffff\n");
  EXPECT_EQ(first_words(TRACE_SPAN(run.trace, "N 30", "N 30"), 2), (std::vector<std::string>{"N 30", "B 36", "B 37"}));
  const std::vector<std::string> requests = first_words(run.trace, 2);
  const auto last_list = std::find(requests.rbegin(), requests.rend(), "N 30");
  ASSERT_NE(last_list, requests.rend());
  ASSERT_NE(last_list, requests.rbegin());
  EXPECT_EQ(*(last_list - 1), "B 37");  // the request right after the last list's N 30
}

TEST(Korin_Coordinates, PixelModeCutsTowardZeroAndAWholeWindowViewportUsesTheShorterSide) {
  const Client_Run run = RUN_CLIENT([](std::ostream& out) {
    KRinitx(-1, -1, -1, -1, -1, -1, -1, -1);
    KRopenx(0, 760, 586, 0, 19, 4, nullptr);
    const channel::KRwinblock& b = *KRblock(KRstate().current_window);
    KRvport(0, 0, 0, 0);
    out << b.width << "x" << b.height << " " << b.view_x1 << " " << b.view_y1 << " " << std::round(b.view_x2 * 1e4) / 1e4
        << " " << b.view_y2 << " unit " << b.unit << "\n";
    KRindow(0, 0, 1.2969f, 1);
    int dw = 0, dh = 0;
    KRtodevsize(1, 1, &dw, &dh);
    out << dw << " " << dh << "\n";
    KRindow(0, 0, 0, 0);
    KRline(-1.7f, 5, 10, 5);
    KRline(-1.2f, 7, 10, 7);
  });
  ASSERT_EQ(run.exit_code, 0) << run.errors;
  EXPECT_EQ(run.output, "760x586 0 0 1.2969 1 unit 586\n586 586\n");
  // A line that starts left of the window is a line all the same.
  EXPECT_EQ(first_words(TRACE_SPAN(run.trace, "A 11", "L"), 4),
            (std::vector<std::string>{"A 11 -1 5", "A 20 10 5", "A 11 0 7", "A 20 10 7"}));
}

TEST(Korin_Input, KeyWaitsTypedTextAndColourValues) {
  Client_Options options;
  options.script = {
      {"client: click now", ""},
      {"kornd input: waiting", "move 1 30 40\nclick 1 left 30 40"},
      {"kornd input: dialog", "text 1 abc"},
      {"kornd input: done text 1 abc", "key 1 Return"},
      {"kornd input: dialog", "text 1 0123456789"},
      {"kornd input: done text 1 0123456789", "key 1 Return"},
      {"kornd input: dialog", "key 1 Escape"},
  };
  const Client_Run run = RUN_CLIENT(
      [](std::ostream& out) {
        const int w = open_pixel_window();
        KRwincmd1(w, 'B', 15, 1);  // the view shows the picture 1:1: clicks land on picture pixels
        int key = 99;
        float x = 0, y = 0;
        KRwaitkey(&key, &x, &y, 1000);
        out << "no input " << key << "\n";
        std::fprintf(stderr, "client: click now\n");
        std::fflush(stderr);
        KRwaitkey(&key, &x, &y, 20000);
        out << "click " << key << " " << x << " " << y << "\n";
        std::string field = "..........";
        for (int i = 0; i < 3; ++i) {
          int status = -1, length = -1;
          KRINPUT(status, length, "Name?   ", field);
          out << "[" << field << "] " << status << " " << length << "\n";
        }
        int r = -1, g = -1, b = -1;
        out << "rgb " << (KRgetrgb(KRmakergb(255, 128, 0), &r, &g, &b) > 0) << " " << r << " " << g << " " << b << "\n";
        out << "none " << KRgetrgb(-1, &r, &g, &b) << "\n";
      },
      options);
  ASSERT_EQ(run.exit_code, 0) << run.errors;
  EXPECT_EQ(run.output,
            "no input 0\nclick -1 30 40\n[abc       ] 3 3\n[abc       ] 0 -1\n[          ] 0 0\nrgb 1 255 128 0\nnone 0\n");
}

// The dialog answered through KORND_TEST_ANSWERS: an empty answer takes the preset the client
// sent, as Return does on the shown dialog.
TEST(Korin_Input, TestAnswersTakeThePresetWhenEmpty) {
  Client_Options options;
  options.environment = {{"KORND_TEST_ANSWERS", ";7;"}};
  const Client_Run run = RUN_CLIENT(
      [](std::ostream& out) {
        open_pixel_window();
        std::string field = "  50      ";
        for (int i = 0; i < 3; ++i) {
          int status = -1, length = -1;
          KRINPUT(status, length, "Number:", field);
          out << "[" << field << "] " << status << "\n";
        }
      },
      options);
  ASSERT_EQ(run.exit_code, 0) << run.errors;
  EXPECT_EQ(run.output, "[  50      ] 4\n[7         ] 1\n[7         ] 1\n");
  EXPECT_NE(run.errors.find("kornd dialog: [text input] [Number:] answer=\n"), std::string::npos) << run.errors;
}

TEST(Korin_Ends, QuitSendsOneEndRequestAndRequestsWithoutAWindowSendNothing) {
  const Client_Run run = RUN_CLIENT([](std::ostream& out) {
    KRinitx(-1, -1, -1, -1, -1, -1, -1, -1);
    float x = 0, y = 0;
    out << KRline(0, 0, 1, 1) << KRarrange(1) << KRclear(-1) << KRpickpt(&x, &y, "p") << "\n";
    KRopenx(0, 200, 100, 0, 19, 4, "w");
    out << KRquitx(0) << KRquitx(0) << "\n";
  });
  ASSERT_EQ(run.exit_code, 0) << run.errors;
  EXPECT_EQ(run.output, "0000\n10\n");
  EXPECT_EQ(first_words(TRACE_SPAN(run.trace, "K", "I"), 1).size(), 1u);
  int ends = 0;
  for (const std::string& line : run.trace) ends += line[0] == 'L';
  EXPECT_EQ(ends, 1);
}

TEST(Korin_Ends, ServerGoneOrFailingEndsTheProgramInTheUsersLanguage) {
  enum Fault { Killed, Window_Closed, Aborted };
  const struct {
    Fault fault;
    const char* language;
    std::string message;
  } cases[] = {
      {Killed, "C", "The window was closed."},
      {Killed, "ja_JP.UTF-8", "ウィンドウが閉じられました"},
      {Window_Closed, "C", "Ended abnormally."},
      {Window_Closed, "ja_JP.UTF-8", "異常終了"},
      {Aborted, "C", "Ended abnormally."},
  };
  for (const auto& c : cases) {
    Client_Options options;
    options.environment = {{"LANG", c.language}, {"LC_ALL", ""}, {"LC_MESSAGES", ""}, {"KORND_TEST_ANSWERS", ""}};
    if (c.fault == Window_Closed) options.script = {{"client: close now", "close 1"}};
    const Client_Run run = RUN_CLIENT(
        [&](std::ostream& out) {
          const int w = open_pixel_window();
          const pid_t server = KRstate().server_window;
          if (c.fault == Killed) {
            ::kill(server, SIGKILL);
            while (::kill(server, 0) == 0 && read_file("/proc/" + std::to_string(server) + "/stat").find(" Z ") ==
                                                  std::string::npos)
              std::this_thread::sleep_for(std::chrono::milliseconds(5));
          } else if (c.fault == Window_Closed) {
            std::fprintf(stderr, "client: close now\n");
            std::fflush(stderr);
            const std::string block = channel::WINDOW_BLOCK_NAME(KRstate().instance, w);
            for (int i = 0; i < 1000 && SHM_EXISTS(block); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
          } else {
            KRwincode(w, 'B', 41);  // a code above 40: the server refuses it
          }
          KRline(0, 0, 10, 10);
          out << "not ended\n";
        },
        options);
    EXPECT_EQ(run.exit_code, 1) << c.message;
    EXPECT_EQ(run.output, "") << c.message;
    EXPECT_EQ(COUNT_LINES(run.errors, c.message), 1) << run.errors;
  }
}

TEST(Korin_Start, VersionOfTheServerComparedComponentByComponent) {
  const struct {
    std::string version, warning;
  } cases[] = {
      {"0,9,9,8", ""},
      {"0,9,9,7", "WARNING:  kornd [0,9,9,7] is older than the linked Korin library [0,9,9,8]."},
      {"1,0,0,0", "WARNING:  The linked Korin library [0,9,9,8] is older than kornd [1,0,0,0]."},
      {"0,9,9", "WARNING:  kornd is older than the linked Korin library [0,9,9,8]."},
  };
  for (const auto& c : cases) {
    Kornd_Server server;
    ASSERT_TRUE(server.Start());
    platform::Shared_Block block;
    ASSERT_EQ(block.OPEN(channel::INSTANCE_BLOCK_NAME(server.instance()), 128), platform::Block_Status::Ok);
    char* line = static_cast<char*>(block.view());
    std::string text(line);
    const std::size_t third = text.find(',', text.find(',', text.find(',') + 1) + 1);
    text = text.substr(0, third + 1) + c.version + "\n";
    std::snprintf(line, 128, "%s", text.c_str());
    const Client_Run run = RUN_CLIENT([](std::ostream& out) { out << KRinitx(-1, -1, -1, -1, -1, -1, -1, -1) << "\n"; });
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.server, server.pid());
    EXPECT_EQ(COUNT_LINES(run.errors, "WARNING"), c.warning.empty() ? 0 : 1) << run.errors;
    if (!c.warning.empty()) {
      EXPECT_EQ(COUNT_LINES(run.errors, c.warning), 1) << run.errors;
    }
  }
}

TEST(Korin_Start, TextsTooLongForARequestAreRefusedBeforeAnythingIsSent) {
  const Client_Run run = RUN_CLIENT([](std::ostream&) {
    std::string deep = std::filesystem::temp_directory_path().string() + "/korin_deep_" + std::to_string(::getpid());
    ::mkdir(deep.c_str(), 0700);
    if (::chdir(deep.c_str()) != 0) return;
    for (int i = 0; i < 6; ++i) {
      const std::string part(50, 'd');
      ::mkdir(part.c_str(), 0700);
      if (::chdir(part.c_str()) != 0) return;
    }
    KRinitx(-1, -1, -1, -1, -1, -1, -1, -1);
  });
  std::system(("rm -rf /tmp/korin_deep_*"));
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(COUNT_LINES(run.errors, "Internal buffer overflow[K,"), 1) << run.errors;
  EXPECT_TRUE(run.trace.empty());
}

TEST(Korin_Numbers, DeviceIntegersAndServerNumbersStayWithin32Bits) {
  const struct {
    double v;
    std::int32_t cut;
  } cuts[] = {{-1.7 + 0.5, -1}, {-1.2 + 0.5, 0}, {2.5, 2}, {1e12, INT32_MAX}, {-1e12, INT32_MIN}, {NAN, 0}, {INFINITY, INT32_MAX}};
  for (const auto& c : cuts) EXPECT_EQ(DEVICE_CUT(c.v), c.cut) << c.v;
  const struct {
    std::string text;
    std::optional<std::int32_t> value;
  } numbers[] = {{"17", 17}, {"  -4x", -4}, {"2147483647", INT32_MAX}, {"2147483648", std::nullopt},
                 {"-2147483648", INT32_MIN}, {"x1", std::nullopt}, {"", std::nullopt}, {"99999999999999999999", std::nullopt}};
  for (const auto& n : numbers) EXPECT_EQ(READ_DECIMAL(n.text), n.value) << n.text;
  EXPECT_EQ(KRmakergb(255, 0, 0), 33554687);
  EXPECT_EQ(KRmakergb(0, 0, 256), -999);
  EXPECT_EQ(LATIN1_TO_UTF8("20\xB0" "C", 100), "20\xC2\xB0" "C");
  EXPECT_EQ(LATIN1_TO_UTF8("ab\xB5", 3), "ab");  // a character is never split
}
