// Test support: the colour the main display window shows, read back through the server, and
// the run of colours it shows while the program draws.
#pragma once

#include <signal.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "platform/Channel_Blocks.h"
#include "tests/main/Display_Session.h"

// The colours (0x00bbggrr, -1 outside the picture) the main window shows at points `spacing`
// logical units apart, read back through the server; empty when it has no window.
inline std::vector<std::int32_t> WINDOW_PIXELS(Kornd_Server& server, int spacing = 100) {
  platform::Shared_Block holder;
  channel::KRwinblock* block = server.MapWindow(1, holder);
  std::vector<std::int32_t> pixels;
  for (int y = 100; block != nullptr && y < 2300; y += spacing)  // the window's logical units
    for (int x = 100; x < 3000; x += spacing) {
      block->code = x;
      block->a[0] = y;
      if (server.Send("F!") == Kornd_Server::Gone) return {};
      pixels.push_back(block->a[2]);
    }
  return pixels;
}

// The colour (0x00bbggrr) that most of the window shows, at points `spacing` logical units apart.
inline unsigned MAIN_COLOUR(Kornd_Server& server, int spacing = 100) {
  const std::vector<std::int32_t> pixels = WINDOW_PIXELS(server, spacing);
  if (pixels.empty()) return 0xFFFFFFFFu;
  std::map<unsigned, int> seen;
  for (std::int32_t p : pixels)
    if (p != -1) ++seen[static_cast<unsigned>(p) & 0xFFFFFFu];
  unsigned colour = 0;
  int most = 0;
  for (const auto& [c, n] : seen)
    if (n > most && c != 0) colour = c, most = n;
  return colour;
}

// Whether a stopped process is outside any request to the server: running its own code,
// sleeping, or reading its standard input (a request waits for its reply in other calls).
inline bool BETWEEN_REQUESTS(pid_t pid) {
  const std::string proc = "/proc/" + std::to_string(pid);
  for (int tries = 0; tries < 100; ++tries) {
    std::ifstream status(proc + "/status");
    std::string line;
    bool stopped = false;
    while (std::getline(status, line))
      if (line.starts_with("State:")) stopped = line.find('T') != std::string::npos;
    if (stopped) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  std::ifstream calls(proc + "/syscall");
  std::string call, first_argument;
  calls >> call >> first_argument;
  constexpr const char* Read = "0", *Nanosleep = "35", *Clock_Nanosleep = "230";
  return call == "running" || call == Nanosleep || call == Clock_Nanosleep || (call == Read && first_argument == "0x0");
}

// The colours the window shows one after the other (repeats folded): before the commands are
// sent, then while the program runs until the console holds `until` (or timeout_ms passes),
// then once more. The program's own
// requests pass their arguments in the same window block: each look holds it stopped between
// two of its requests, and gives the block back as it was.
inline std::vector<unsigned> SHOWN_COLOURS(Display_Session& session, const std::string& commands,
                                           const std::string& until, int timeout_ms = 30000) {
  std::vector<unsigned> shown;
  auto look = [&] {
    session.SIGNAL(SIGSTOP);
    platform::Shared_Block holder;
    channel::KRwinblock* block = session.server.MapWindow(1, holder);
    if (block != nullptr && BETWEEN_REQUESTS(session.pid())) {
      channel::KRwinblock saved;
      std::memcpy(&saved, block, sizeof saved);
      const unsigned colour = MAIN_COLOUR(session.server, 300);
      std::memcpy(block, &saved, sizeof saved);
      if (colour != 0 && colour != 0xFFFFFFFFu && (shown.empty() || shown.back() != colour)) shown.push_back(colour);
    }
    session.SIGNAL(SIGCONT);
  };
  look();
  session.SEND(commands);
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (session.CONSOLE().find(until) == std::string::npos && std::chrono::steady_clock::now() < end) {
    look();
    std::this_thread::sleep_for(std::chrono::milliseconds(15));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the closing redraw
  look();
  return shown;
}
