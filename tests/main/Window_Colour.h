// Test support: the colour the main display window shows, read back through the server, and
// the run of colours it shows while the program draws.
#pragma once

#include <signal.h>

#include <chrono>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "platform/Channel_Blocks.h"
#include "tests/main/Display_Session.h"

// The colour (0x00bbggrr) that most of the window shows, read back through the server.
inline unsigned MAIN_COLOUR(Kornd_Server& server) {
  platform::Shared_Block holder;
  channel::KRwinblock* block = server.MapWindow(1, holder);
  if (block == nullptr) return 0xFFFFFFFFu;
  std::map<unsigned, int> seen;
  for (int y = 100; y < 2300; y += 100)  // the window's logical units
    for (int x = 100; x < 3000; x += 100) {
      block->code = x;
      block->a[0] = y;
      if (server.Send("F!") == Kornd_Server::Gone) return 0xFFFFFFFFu;
      if (block->a[2] != -1) ++seen[static_cast<unsigned>(block->a[2]) & 0xFFFFFFu];
    }
  unsigned colour = 0;
  int most = 0;
  for (const auto& [c, n] : seen)
    if (n > most && c != 0) colour = c, most = n;
  return colour;
}

// The colours the window shows one after the other (repeats folded) while the program runs,
// until the console holds `until` (or timeout_ms passes), then once more. The program's own
// requests pass their arguments in the same window block: it is held stopped for each look,
// and the block is given back as it was.
inline std::vector<unsigned> SHOWN_COLOURS(Display_Session& session, const std::string& until,
                                           int timeout_ms = 30000) {
  std::vector<unsigned> shown;
  auto look = [&] {
    session.SIGNAL(SIGSTOP);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));  // a request in flight is served
    platform::Shared_Block holder;
    channel::KRwinblock* block = session.server.MapWindow(1, holder);
    if (block != nullptr) {
      channel::KRwinblock saved;
      std::memcpy(&saved, block, sizeof saved);
      const unsigned colour = MAIN_COLOUR(session.server);
      std::memcpy(block, &saved, sizeof saved);
      if (colour != 0 && colour != 0xFFFFFFFFu && (shown.empty() || shown.back() != colour)) shown.push_back(colour);
    }
    session.SIGNAL(SIGCONT);
  };
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (session.CONSOLE().find(until) == std::string::npos && std::chrono::steady_clock::now() < end) {
    look();
    std::this_thread::sleep_for(std::chrono::milliseconds(15));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the closing redraw
  look();
  return shown;
}
