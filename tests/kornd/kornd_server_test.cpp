// Tests of a running kornd through raw request texts and mapped blocks: start-up and the
// instance line, the channel's own letters K, I, J and L with their replies and window numbers,
// the initial window-block head, the boxes of bad requests, the closing state, and the removal
// of every block when windows close and the server ends.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <thread>
#include <utility>

#include "Kornd_Server.h"
#include "platform/Request_Batch.h"

namespace {

constexpr std::uint32_t Failed = 0x80000001u;
constexpr std::uint32_t Quit = 0x80000005u;
const std::uint32_t Minus_One = static_cast<std::uint32_t>(-1);

// A window request of a letter to window w: the letter, w + 32, zero.
std::string window_request(char letter, int w) { return std::string{letter, static_cast<char>(w + 32)}; }

std::string open_text(int w, int width, int height, const std::string& title = "", int fg = 0, int bg = 19,
                      int show = 5) {
  std::string t = "I," + std::to_string(w) + "," + std::to_string(width) + "," + std::to_string(height) + "," +
                  std::to_string(fg) + "," + std::to_string(bg) + "," + std::to_string(show) + ",";
  return t + title;
}

// The handshake key the server draws from the clock at time t (UTC).
std::uint32_t key_at(std::time_t t, int ms) {
  std::tm u{};
  gmtime_r(&t, &u);
  return 500u * (((std::uint32_t(u.tm_mday) * 24 + u.tm_hour) * 60 + u.tm_min) * 60 + u.tm_sec) + ms / 2;
}

// Inode of a block, 0 when it does not exist.
ino_t inode_of(const std::string& block_name) {
  struct stat st {};
  return stat(("/dev/shm" + platform::SHM_NAME(block_name)).c_str(), &st) == 0 ? st.st_ino : 0;
}

// True when none of the blocks is there any more as the object it was (another server of this
// user may have made a block of the same name since).
bool all_removed(const std::vector<std::pair<std::string, ino_t>>& blocks) {
  for (const auto& [name, ino] : blocks)
    if (inode_of(name) == ino) return false;
  return true;
}

std::string cwd_of(pid_t pid) {
  std::error_code ec;
  return std::filesystem::read_symlink("/proc/" + std::to_string(pid) + "/cwd", ec).string();
}

}  // namespace

TEST(KorndStartUp, InstanceLineCarriesPidKeyAndVersion) {
  std::time_t before = std::time(nullptr);
  Kornd_Server k;
  ASSERT_TRUE(k.Start()) << k.Errors();
  std::time_t after = std::time(nullptr);
  std::string line = k.InstanceLine();
  ASSERT_EQ(line.size(), 128u);
  std::size_t end = line.find('\0');
  ASSERT_NE(end, std::string::npos);
  std::string text = line.substr(0, end);
  // "0,<pid>,<key>,0,9,9,8\n", then zeros.
  std::string head = "0," + std::to_string(k.pid()) + ",";
  ASSERT_EQ(text.rfind(head, 0), 0u) << text;
  std::string rest = text.substr(head.size());
  std::size_t comma = rest.find(',');
  ASSERT_NE(comma, std::string::npos);
  EXPECT_EQ(rest.substr(comma), ",0,9,9,8\n");
  long long key = std::stoll(rest.substr(0, comma));
  EXPECT_GE(key, key_at(before, 0));
  EXPECT_LE(key, key_at(after, 999));
  for (std::size_t i = end; i < 128; ++i) EXPECT_EQ(line[i], '\0') << i;

  struct stat st {};
  ASSERT_EQ(stat(("/dev/shm" + platform::SHM_NAME(channel::INSTANCE_BLOCK_NAME(k.instance()))).c_str(), &st), 0);
  EXPECT_EQ(st.st_size, 128);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_GE(k.instance(), 1);
  EXPECT_LE(k.instance(), 15);
}

TEST(KorndStartUp, SixteenthServerIsRefused) {
  // Start servers until one is refused; servers of this user in other processes may come and
  // go meanwhile, so up to 16 starts are tried.
  std::vector<std::unique_ptr<Kornd_Server>> servers;
  std::unique_ptr<Kornd_Server> refused;
  for (int i = 0; i < 17 && !refused; ++i) {
    auto k = std::make_unique<Kornd_Server>();
    if (k->Start()) {
      EXPECT_GE(k->instance(), 1);
      EXPECT_LE(k->instance(), 15);
      servers.push_back(std::move(k));
    } else {
      refused = std::move(k);
    }
  }
  ASSERT_TRUE(refused);
  EXPECT_TRUE(WIFEXITED(refused->exit_status()));
  EXPECT_EQ(WEXITSTATUS(refused->exit_status()), 1);
  EXPECT_EQ(refused->CountErrors("kornd box: [Graphics Window] [Too many instances] buttons=OK answer=OK"), 1)
      << refused->Errors();
  for (auto& s : servers) EXPECT_TRUE(SHM_EXISTS(channel::INSTANCE_BLOCK_NAME(s->instance())));
  // Number 16 is never taken by a server.
  platform::Shared_Block b16;
  if (b16.OPEN("Kornd16", 128) == platform::Block_Status::Ok) {
    std::string line(static_cast<const char*>(b16.view()), 128);
    for (auto& s : servers) EXPECT_NE(line.rfind("0," + std::to_string(s->pid()) + ",", 0), 0u);
  }
}

TEST(KorndStartUp, WithoutADisplayItRunsOffscreenAndSaysSoOnce) {
  const std::string line = "kornd: no display available, running offscreen";
  struct Row {
    std::vector<std::string> environment;  // the display variables kornd gets
    int lines;
  } rows[] = {
      {{}, 1},                                     // nothing set
      {{"DISPLAY=:99"}, 1},                        // an X display that does not open
      {{"DISPLAY="}, 1},                           // set but empty
      {{"WAYLAND_DISPLAY=kornd-test-none-0"}, 1},  // a Wayland socket that is not there
      {{"QT_QPA_PLATFORM=offscreen"}, 0},          // the platform given: Qt's choice
      {{"DISPLAY=:99", "QT_QPA_PLATFORM=minimal"}, 0},
  };
  for (const Row& r : rows) {
    std::string what;
    for (const std::string& v : r.environment) what += v + " ";
    Kornd_Server k;
    k.SetDisplayEnvironment(r.environment);
    ASSERT_TRUE(k.Start()) << what << k.Errors();
    // It serves: a window opens.
    ASSERT_EQ(k.Send(open_text(1, 40, 30)), 1u) << what << k.Errors();
    EXPECT_EQ(k.CountErrors(line), r.lines) << what << k.Errors();
    EXPECT_EQ(k.CountErrors("kornd:"), r.lines) << what << k.Errors();  // nothing else of ours
    k.Stop();
    EXPECT_TRUE(WIFEXITED(k.exit_status())) << what;
    EXPECT_EQ(WEXITSTATUS(k.exit_status()), 0) << what;
  }
}

TEST(KorndChannel, HandshakeEchoesTheKeyAndTakesTheClientFolder) {
  Kornd_Server k;
  ASSERT_TRUE(k.Start()) << k.Errors();
  std::string folder = std::filesystem::temp_directory_path() / ("kornd_hs_" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  struct Row {
    std::string text;
    std::uint32_t reply;
    std::string cwd;
  } rows[] = {
      {"K,12345," + folder + ";/usr/local/bin/Display_ZELTRA.x;Version  0.99.8b", 12345, folder},
      {"K,-7,/no/such/folder;prog;v", Minus_One - 6, folder},  // any key echoed; bad folder ignored
      {"K,0,/;/a/b/client;Version  0.99.8b", 0, "/"},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(k.Send(r.text), r.reply) << r.text;
    EXPECT_EQ(cwd_of(k.pid()), r.cwd) << r.text;
  }
  // The client's program name (without folder and from its first '.') titles new windows.
  EXPECT_EQ(k.Send("K,1," + folder + ";/opt/x/Display_ZELTRA.run.exe;Version  0.99.8b"), 1u);
  EXPECT_EQ(k.Send(open_text(0, 300, 200)), 1u);
  EXPECT_STREQ(k.InstanceLine().c_str(), "1,Display_ZELTRA");
  EXPECT_EQ(k.CountErrors("kornd box:"), 0) << k.Errors();
  std::filesystem::remove_all(folder);
}

TEST(KorndChannel, WindowNumbersOfOpenAndClose) {
  Kornd_Server k;
  ASSERT_TRUE(k.Start()) << k.Errors();
  struct Row {
    std::string text;
    std::uint32_t reply;
  } rows[] = {
      {open_text(0, 200, 100, "a"), 1},          // first free
      {open_text(0, 200, 100, "b"), 2},
      {open_text(4, 200, 100, "d"), 4},          // a chosen number
      {open_text(0, 200, 100, "c"), 3},          // 1, 2, 4 open: 3
      {open_text(3, 200, 100), Minus_One},       // taken
      {open_text(64, 200, 100), Minus_One},      // beyond 63
      {open_text(-1, 200, 100), Minus_One},
      {window_request('J', 2), 1},               // 1, 3, 4 still open: lowest is 1
      {open_text(0, 200, 100, "e"), 2},          // a freed number is handed out again
      {window_request('J', 1), 2},
      {window_request('J', 2), 3},
      {window_request('J', 3), 4},
      {window_request('J', 4), 0},               // the last one
      {open_text(63, 10, 10, "top"), 63},
      {window_request('J', 63), 0},
  };
  for (const Row& r : rows) EXPECT_EQ(k.Send(r.text), r.reply) << r.text;
  EXPECT_EQ(k.CountErrors("kornd box:"), 0) << k.Errors();

  // All 63 taken: the next gets -1.
  for (int w = 1; w <= 63; ++w) ASSERT_EQ(k.Send(open_text(0, 20, 10)), std::uint32_t(w));
  EXPECT_EQ(k.Send(open_text(0, 20, 10)), Minus_One);
  EXPECT_EQ(k.Send(window_request('J', 40)), 1u);
  EXPECT_EQ(k.Send(open_text(0, 20, 10)), 40u);
}

TEST(KorndChannel, InstanceLineNamesTheNewestWindow) {
  Kornd_Server k;
  ASSERT_TRUE(k.Start()) << k.Errors();
  ASSERT_EQ(k.Send("K,5,/tmp;/bin/client;Version  0.99.8b"), 5u);
  struct Row {
    std::string text;
    std::string line;
  } rows[] = {
      {open_text(0, 200, 100, "Scan"), "2,Scan"},     // written after the first, shorter line
      {open_text(0, 200, 100, "My Title"), "3,My"},   // a title ends at its first blank
      {open_text(0, 200, 100), "4,client"},           // no title: the client's name
      {open_text(0, 200, 100, std::string(200, 'T')), "5," + std::string(125, 'T')},  // cut at the block's end
  };
  ASSERT_EQ(k.Send(open_text(0, 200, 100, "First")), 1u);
  EXPECT_EQ(k.InstanceLine().substr(0, 8), std::string("1,First\0", 8));
  for (const Row& r : rows) {
    ASSERT_NE(k.Send(r.text), Minus_One);
    EXPECT_STREQ(k.InstanceLine().c_str(), r.line.c_str()) << r.text;
  }
}

TEST(KorndChannel, InitialWindowHeadAtEveryOffset) {
  Kornd_Server k;
  ASSERT_TRUE(k.Start()) << k.Errors();
  struct Row {
    std::string text;
    int w, width, height, unit, text_height, symbol_height, mark_size;
    float vx2, vy2;
    int fg, bg;
  } rows[] = {
      {open_text(0, 600, 400, "wide", 13, 5), 1, 600, 400, 400, 13, 13, 3, 1.5f, 1.0f, 13, 5},
      {open_text(0, 400, 600, "tall", 0x2123456, 0x2FFFFFF), 2, 400, 600, 400, 13, 13, 3, 1.0f, 1.5f, 0x2123456,
       0x2FFFFFF},
      {open_text(0, 30, 20, "tiny", -5, 36), 3, 30, 20, 20, 16, 8, 4, 1.5f, 1.0f, 0, 19},  // bad colours: 0 and 19
      {open_text(0, 0, 400, "default", 35, 20), 4, 3182, 2282, 2282, 76, 76, 19, 1.0f * 3182 / 2282, 1.0f, 35, 20},
  };
  for (const Row& r : rows) {
    ASSERT_EQ(k.Send(r.text), std::uint32_t(r.w)) << r.text;
    platform::Shared_Block holder;
    channel::KRwinblock* b = k.MapWindow(r.w, holder);
    ASSERT_NE(b, nullptr);
    SCOPED_TRACE(r.text);
    EXPECT_FLOAT_EQ(b->sx, r.vx2 * r.unit / r.width);
    EXPECT_FLOAT_EQ(b->sy, r.vy2 * r.unit / r.height);
    EXPECT_EQ(b->world_x1, 0.0f);
    EXPECT_EQ(b->world_y1, 0.0f);
    EXPECT_EQ(b->world_x2, float(r.width));
    EXPECT_EQ(b->world_y2, float(r.height));
    EXPECT_EQ(b->view_x1, 0.0f);
    EXPECT_EQ(b->view_y1, 0.0f);
    EXPECT_FLOAT_EQ(b->view_x2, r.vx2);
    EXPECT_FLOAT_EQ(b->view_y2, r.vy2);
    EXPECT_EQ(b->width, r.width);
    EXPECT_EQ(b->height, r.height);
    EXPECT_EQ(b->unit, r.unit);
    EXPECT_EQ(b->pixel_mode, 0);
    EXPECT_EQ(b->origin_x, 0);
    EXPECT_EQ(b->origin_y, r.height);
    EXPECT_EQ(b->segment, 0);
    EXPECT_EQ(b->pen_x, -1);
    EXPECT_EQ(b->pen_y, -1);
    EXPECT_EQ(b->change_mask, 0x3FFFu);
    EXPECT_EQ(b->fill_mode, 1);
    EXPECT_EQ(b->fg, r.fg);
    EXPECT_EQ(b->bg, r.bg);
    EXPECT_EQ(b->pen_style, 1);
    EXPECT_EQ(b->pen_width, 1);
    EXPECT_EQ(b->pen_colour, -2);
    EXPECT_EQ(b->pen_mix, 4);
    EXPECT_EQ(b->brush_style, 0);
    EXPECT_EQ(b->hatch, 0);
    EXPECT_EQ(b->brush_colour, 11);
    EXPECT_EQ(b->bitmap_number, -1);
    EXPECT_EQ(b->bitmap_rop, 0);
    EXPECT_EQ(b->bitmap_transparency, 1);
    EXPECT_EQ(b->bitmap_position, 0);
    EXPECT_EQ(b->bitmap_flags, 1);
    EXPECT_EQ(b->mark_type, 1);
    EXPECT_EQ(b->mark_size, r.mark_size);
    EXPECT_EQ(b->mark_colour1, 16);
    EXPECT_EQ(b->mark_colour2, -100);
    EXPECT_EQ(b->mark_mix, 5);
    EXPECT_EQ(b->text_angle, 0);
    EXPECT_EQ(b->text_height, r.text_height);
    EXPECT_EQ(b->text_align, 1);
    EXPECT_EQ(b->text_colour, -2);
    EXPECT_EQ(b->text_background, -100);
    EXPECT_EQ(b->symbol_angle, 0);
    EXPECT_EQ(b->symbol_char, 158);
    EXPECT_EQ(b->symbol_height, r.symbol_height);
    EXPECT_EQ(b->symbol_align, 0);
    EXPECT_EQ(b->symbol_colour, -2);
    EXPECT_EQ(b->symbol_background, -100);
    EXPECT_EQ(b->combined_number, -1);
    EXPECT_EQ(b->combined_place, 0);
    EXPECT_STREQ(b->data, "CKorndView");  // the view's class name
  }
}

TEST(KorndChannel, BadRequestsGetABoxAndTheFailureReply) {
  Kornd_Server k;
  ASSERT_TRUE(k.Start()) << k.Errors();
  ASSERT_EQ(k.Send(open_text(0, 100, 100, "one")), 1u);
  struct Row {
    std::string bytes;  // sent as they are (no zero added)
    std::string box;    // the box text logged
  } rows[] = {
      {std::string("K,12\0", 5), "[Internal Error-0: [K,12]]"},
      {std::string("K,x,/tmp;a;b\0", 13), "[Internal Error-0: [K,x,/tmp;a;b]]"},
      {std::string("K,99999999999,/;a;b\0", 20), "[Internal Error-0: [K,99999999999,/;a;b]]"},
      {std::string("I,0,1,2,3,4\0", 12), "[Internal Error-1: [I,0,1,2,3,4]]"},
      {std::string("L,\0", 3), "[Internal Error-2: [L,]]"},
      {std::string("A\0", 2), "[Internal Error-3: [A]]"},
      {std::string("\0", 1), "[Internal Error-3: []]"},
      {std::string("J!"), "[Internal Error-3: [J!]]"},                       // not terminated
      {"A!" + std::string(300, 'x'), "[Internal Error-3: [A!" + std::string(254, 'x') + "]]"},  // too long
      {window_request('A', 70) + std::string(1, '\0'), "[No window]"},
      {window_request('A', 2) + std::string(1, '\0'), "[No window]"},        // not open
      {window_request('J', 2) + std::string(1, '\0'), "[No window]"},
      {window_request('J', 0) + std::string(1, '\0'), "[No window]"},
      {std::string("A\xff\0", 3), "[No window]"},                            // byte 255: window 223
  };
  const std::string prefix = "kornd box: [Graphics Window #" + std::to_string(k.instance()) + "] ";
  int boxes = 0;
  for (const Row& r : rows) {
    const std::string line = prefix + r.box + " buttons=OK answer=OK";
    int before = k.CountErrors(line);
    EXPECT_EQ(k.SendRaw(r.bytes.data(), r.bytes.size()), Failed) << r.box;
    EXPECT_EQ(k.CountErrors(line), before + 1) << r.box << "\n" << k.Errors();
    ++boxes;
  }
  EXPECT_EQ(k.CountErrors("kornd box:"), boxes);
  // The server goes on: window 1 is still there, and window 0 names it.
  EXPECT_EQ(k.Send(window_request('H', 0)), Failed);  // served by the window: a letter it does not serve
  EXPECT_EQ(k.CountErrors("kornd box:"), boxes);
  EXPECT_EQ(k.Send(window_request('J', 1)), 0u);
  EXPECT_EQ(k.Send(window_request('B', 0)), Failed);  // no window open at all
  EXPECT_EQ(k.CountErrors("[No window]"), 6);
}

namespace {

// A batch as our client packs it: each entry with the bytes of `live` it changed.
struct Raw_Batch {
  channel::KRwinblock live{}, mirror{};
  platform::Batch_Writer batch;
  bool whole = true;
  void Add(char letter, int w, std::int32_t code, std::array<std::int32_t, 6> a) {
    live.code = code;
    for (std::size_t i = 0; i < a.size(); ++i) live.a[i] = a[i];
    const std::string text = window_request(letter, w) + '\0';
    batch.APPEND(text.data(), text.size(), &live, &mirror, sizeof live, std::exchange(whole, false));
  }
};

// The colour of a picture pixel of window 1 (0x00bbggrr), read by a request of its own.
std::int32_t pixel(Kornd_Server& k, channel::KRwinblock& b, int x, int y) {
  b.code = x, b.a[0] = y;
  return k.Send(window_request('F', 1)) == 1u ? b.a[2] & 0xFFFFFF : -1;
}

constexpr std::int32_t Red = 0x020000FF, Blue = 0x02FF0000;  // direct colours

}  // namespace

TEST(KorndChannel, ABatchIsServedInOrderAndStopsAtTheFirstFailure) {
  Kornd_Server k;
  ASSERT_TRUE(k.Start()) << k.Errors();
  ASSERT_EQ(k.Send(open_text(0, 320, 200, "batch")), 1u);
  platform::Shared_Block holder;
  channel::KRwinblock* shared = k.MapWindow(1, holder);
  ASSERT_NE(shared, nullptr);
  const std::int32_t background = pixel(k, *shared, 150, 150);

  Raw_Batch r;
  r.live = *shared;
  r.Add('A', 1, channel::Draw_Solid_Rect, {Red, 0, 10, 10, 60, 60});
  r.Add('A', 1, channel::Draw_Solid_Rect, {Blue, 0, 40, 40, 90, 90});  // over the first
  r.Add('F', 1, 50, {50, 0, 0, 0, 0, 0});  // last: its result lands in the shared block
  EXPECT_EQ(k.SendRaw(r.batch.bytes().data(), r.batch.bytes().size()), 1u);
  EXPECT_EQ(shared->a[2] & 0xFFFFFF, Blue & 0xFFFFFF);
  EXPECT_EQ(pixel(k, *shared, 20, 20), Red & 0xFFFFFF);

  // A request to a window that is not open ends the batch with its box and failure: what
  // follows it is not drawn.
  Raw_Batch stop;
  stop.live = *shared;
  stop.Add('A', 1, channel::Draw_Solid_Rect, {Red, 0, 100, 100, 120, 120});
  stop.Add('A', 2, channel::Draw_Solid_Rect, {Red, 0, 100, 100, 120, 120});
  stop.Add('A', 1, channel::Draw_Solid_Rect, {Blue, 0, 140, 140, 160, 160});
  EXPECT_EQ(k.SendRaw(stop.batch.bytes().data(), stop.batch.bytes().size()), Failed);
  EXPECT_EQ(k.CountErrors("[No window]"), 1);
  EXPECT_EQ(pixel(k, *shared, 110, 110), Red & 0xFFFFFF);
  EXPECT_EQ(pixel(k, *shared, 150, 150), background);

  // A packet that does not hold together is refused without a box, and the server serves on.
  std::vector<char> bad = r.batch.bytes();
  bad[1] = '\xff', bad[2] = '\x7f';  // a text longer than the packet
  EXPECT_EQ(k.SendRaw(bad.data(), bad.size()), Failed);
  EXPECT_EQ(k.CountErrors("malformed request batch"), 1);
  EXPECT_EQ(k.CountErrors("[No window]"), 1);
  EXPECT_EQ(pixel(k, *shared, 20, 20), Red & 0xFFFFFF);
}

TEST(KorndChannel, CancelInABoxStopsTheServing) {
  Kornd_Server k;
  ASSERT_TRUE(k.Start("Cancel")) << k.Errors();
  ASSERT_EQ(k.Send("K,1,/tmp;/bin/client;Version  0.99.8b"), 1u);
  ASSERT_EQ(k.Send(open_text(0, 100, 100, "w")), 1u);
  // The quit question, answered Cancel: the reply is still the quit reply, the windows stay.
  EXPECT_EQ(k.Send("L,1,"), Quit);
  EXPECT_EQ(k.CountErrors("kornd box: [client] [Close] buttons=OK,Cancel answer=Cancel"), 1) << k.Errors();
  const std::string requests[] = {"K,1,/tmp;a;b", open_text(0, 100, 100), window_request('J', 1),
                                  window_request('A', 1), window_request('A', 9), "garbage"};
  for (const std::string& r : requests) EXPECT_EQ(k.Send(r), Failed) << r;
  EXPECT_EQ(k.CountErrors("kornd box:"), 1);  // refused without a box
  EXPECT_TRUE(SHM_EXISTS(channel::WINDOW_BLOCK_NAME(k.instance(), 1)));
  EXPECT_TRUE(k.running());
  // Only the quit request is still served, without its question: the server ends, blocks gone.
  for (const char* quit : {"L,1,", "L,0,"}) {
    SCOPED_TRACE(quit);
    Kornd_Server s;
    ASSERT_TRUE(s.Start("Cancel")) << s.Errors();
    ASSERT_EQ(s.Send(open_text(0, 100, 100, "w")), 1u);
    ASSERT_EQ(s.Send("L,1,"), Quit);  // Cancel: serving stops
    ASSERT_EQ(s.Send(window_request('A', 1)), Failed);
    EXPECT_EQ(s.Send(quit), Quit);
    EXPECT_TRUE(s.WaitExit(5000)) << s.Errors();
    EXPECT_EQ(s.CountErrors("kornd box:"), 1) << s.Errors();
    EXPECT_FALSE(SHM_EXISTS(channel::WINDOW_BLOCK_NAME(s.instance(), 1)));
    EXPECT_FALSE(SHM_EXISTS(channel::INSTANCE_BLOCK_NAME(s.instance())));
  }
}

TEST(KorndChannel, QuitAfterOkEndsTheServerAndRemovesItsBlocks) {
  struct Row {
    std::string quit, answers, box;
  } rows[] = {
      {"L,0,", "", ""},                                                           // at once, no question
      {"L,1,", "OK", "kornd box: [client] [Close] buttons=OK,Cancel answer=OK"},  // asks first
      {"L,-3,", "", "kornd box: [client] [Close] buttons=OK,Cancel answer=OK"},   // any other mode asks
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.quit);
    Kornd_Server k;
    ASSERT_TRUE(k.Start(r.answers)) << k.Errors();
    int n = k.instance();
    ASSERT_EQ(k.Send("K,1,/tmp;/bin/client;Version  0.99.8b"), 1u);
    ASSERT_EQ(k.Send(open_text(0, 100, 100, "w")), 1u);
    ASSERT_EQ(k.Send(open_text(0, 100, 100, "w")), 2u);
    std::vector<std::pair<std::string, ino_t>> blocks;
    for (const std::string& b : {channel::INSTANCE_BLOCK_NAME(n), channel::WINDOW_BLOCK_NAME(n, 1),
                                 channel::WINDOW_BLOCK_NAME(n, 2)})
      blocks.emplace_back(b, inode_of(b));
    for (const auto& b : blocks) ASSERT_NE(b.second, 0u) << b.first;
    EXPECT_EQ(k.Send(r.quit), Quit);
    ASSERT_TRUE(k.WaitExit(10000));
    EXPECT_TRUE(WIFEXITED(k.exit_status()));
    EXPECT_EQ(WEXITSTATUS(k.exit_status()), 0);
    if (!r.box.empty()) {
      EXPECT_EQ(k.CountErrors(r.box), 1) << k.Errors();
    }
    EXPECT_EQ(k.CountErrors("kornd box:"), r.box.empty() ? 0 : 1);
    EXPECT_TRUE(all_removed(blocks));
    EXPECT_EQ(k.Send("K,1,/tmp;a;b"), Kornd_Server::Gone);
  }
}

TEST(KorndChannel, BlocksGoWhenWindowsCloseAndTheServerEnds) {
  Kornd_Server k;
  ASSERT_TRUE(k.Start()) << k.Errors();
  int n = k.instance();
  for (int w = 1; w <= 3; ++w) ASSERT_EQ(k.Send(open_text(0, 100, 100, "w")), std::uint32_t(w));
  for (int w = 1; w <= 3; ++w) EXPECT_TRUE(SHM_EXISTS(channel::WINDOW_BLOCK_NAME(n, w))) << w;
  EXPECT_EQ(k.Send(window_request('J', 2)), 1u);
  EXPECT_FALSE(SHM_EXISTS(channel::WINDOW_BLOCK_NAME(n, 2)));
  EXPECT_TRUE(SHM_EXISTS(channel::WINDOW_BLOCK_NAME(n, 1)));
  std::vector<std::pair<std::string, ino_t>> blocks;
  for (const std::string& b : {channel::INSTANCE_BLOCK_NAME(n), channel::WINDOW_BLOCK_NAME(n, 1),
                               channel::WINDOW_BLOCK_NAME(n, 3)})
    blocks.emplace_back(b, inode_of(b));
  for (const auto& b : blocks) ASSERT_NE(b.second, 0u) << b.first;
  // A terminating signal ends it like a quit request.
  kill(k.pid(), SIGTERM);
  ASSERT_TRUE(k.WaitExit(10000));
  EXPECT_TRUE(WIFEXITED(k.exit_status()));
  EXPECT_EQ(WEXITSTATUS(k.exit_status()), 0);
  EXPECT_TRUE(all_removed(blocks));
}

// A parent that blocks the end signals (to take them on a thread of its own) hands the mask on
// to a server it starts without resetting it; the server unblocks them itself.
TEST(KorndChannel, EndSignalsEndAServerStartedWithThemBlocked) {
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(strsignal(signal));
    Kornd_Server k;
    bool started = false;
    std::thread([&] {
      sigset_t ends;
      sigemptyset(&ends);
      for (int s : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&ends, s);
      pthread_sigmask(SIG_BLOCK, &ends, nullptr);
      started = k.Start();  // a plain posix_spawn: the child inherits this thread's mask
    }).join();
    ASSERT_TRUE(started) << k.Errors();
    const std::string instance = channel::INSTANCE_BLOCK_NAME(k.instance());
    ASSERT_EQ(k.Send(open_text(0, 100, 100, "w")), 1u);
    kill(k.pid(), signal);
    ASSERT_TRUE(k.WaitExit(10000));
    EXPECT_TRUE(WIFEXITED(k.exit_status()));
    EXPECT_EQ(WEXITSTATUS(k.exit_status()), 0);
    EXPECT_FALSE(SHM_EXISTS(instance));
    EXPECT_FALSE(SHM_EXISTS(channel::WINDOW_BLOCK_NAME(k.instance(), 1)));
  }
}

TEST(KorndChannel, AStaleBlockOfADeadServerIsTakenOver) {
  Kornd_Server dead;
  ASSERT_TRUE(dead.Start()) << dead.Errors();
  int n = dead.instance();
  ASSERT_EQ(dead.Send(open_text(0, 100, 100, "w")), 1u);
  kill(dead.pid(), SIGKILL);  // leaves its blocks behind
  ASSERT_TRUE(dead.WaitExit(5000));
  ASSERT_TRUE(SHM_EXISTS(channel::INSTANCE_BLOCK_NAME(n)));
  Kornd_Server next;
  ASSERT_TRUE(next.Start()) << next.Errors();
  // The number is free again (its socket went with the process): unless a server of another
  // process of this user took it first, the next server takes it over.
  if (next.instance() != n) GTEST_SKIP() << "instance " << n << " was taken by another process";
  EXPECT_EQ(next.InstanceLine().rfind("0," + std::to_string(next.pid()) + ",", 0), 0u);
  ASSERT_EQ(next.Send(open_text(0, 100, 100, "w")), 1u);  // the old window block is taken over
  platform::Shared_Block holder;
  channel::KRwinblock* b = next.MapWindow(1, holder);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->width, 100);
}

// Asking for help prints the switches and ends at once, claiming no instance.
TEST(KorndCommandLine, HelpPrintsTheSwitchesAndStartsNoServer) {
  for (const char* ask : {"--help", "-h"}) {
    SCOPED_TRACE(ask);
    FILE* out = popen((Kornd_Server::KorndPath() + " " + ask + " 2>&1").c_str(), "r");
    ASSERT_NE(out, nullptr);
    std::string text;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, out)) text += buffer;
    const int status = pclose(out);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(text.rfind("usage: kornd [switches] [picture.krd ...]\n", 0), 0u) << text;
    for (const char* line : {"  -b / -B                       back buffer on / off\n",
                             "  -dpi<n>  -d<n>  -<n>          picture pages of 11 x 8 inches at n dots per inch\n"})
      EXPECT_NE(text.find(line), std::string::npos) << text;
    EXPECT_FALSE(SHM_EXISTS(channel::INSTANCE_BLOCK_NAME(channel::First_Instance)));
  }
}
