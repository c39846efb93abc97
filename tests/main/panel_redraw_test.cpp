// Redraws into panels that keep their earlier pictures: stepping through the outputs of several
// files shown side by side draws each panel anew without clearing the window, and the server
// must then keep one picture per panel, not one per step.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/Channel_Blocks.h"
#include "platform/Channel_Protocol.h"
#include "tests/main/Display_Session.h"
#include "tools/Sample_Case.h"

namespace {

// The highest bitmap number the server handed out in the main display, read while the program
// waits on its input; the program's window block is given back as it was.
int highest_bitmap(Display_Session& session) {
  platform::Shared_Block holder;
  channel::KRwinblock* block = session.server.MapWindow(1, holder);
  if (block == nullptr) return -1;
  channel::KRwinblock saved;
  std::memcpy(&saved, block, sizeof saved);
  block->code = channel::Bitmap_Info;
  block->a[0] = 1;
  const int highest = session.server.Send("D!") == 1 ? block->a[5] : -1;
  std::memcpy(block, &saved, sizeof saved);
  return highest;
}

std::size_t count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// Moves to the next output `steps` times; each move is over once the redraw after it is
// (auto-replot switched on and off again, which reports on the console).
void step(Display_Session& session, int steps) {
  for (int i = 0; i < steps; ++i) {
    const std::size_t before = count(session.CONSOLE(), "'Auto-replot' off");
    session.SEND("1 0 0\n0 24 0\n0 24 0\n");
    for (int waited = 0; count(session.CONSOLE(), "'Auto-replot' off") == before && waited < 20000; waited += 5)
      ::usleep(5000);
  }
}

}  // namespace

TEST(Panel_Redraw, SteppingSeveralFilesKeepsOnePicturePerPanel) {
  Scratch_Folder dir;
  sample::WRITE_GEOMETRY(dir / "Case_geoF.zlt", sample::Encoding::Single, sample::GRID(40, 1, 30, 1e-4));
  const char* fields[] = {"Case_phas.zlt", "Case_conc1.zlt", "Case_frac.zlt"};
  for (int f = 0; f < 3; ++f)
    sample::WRITE_RESULTS(dir / fields[f], sample::Encoding::Single, sample::GRAIN_GROWTH(40, 30, 20, f));
  Display_Session session(dir, {"-g", "-m3", fields[0], fields[1], fields[2]});
  ASSERT_TRUE(session.server_started);

  step(session, 3);
  const int early = highest_bitmap(session);
  step(session, 12);
  const int late = highest_bitmap(session);
  EXPECT_EQ(session.RUN("0 129 0\n"), 0) << session.CONSOLE();

  // Each step draws three images and three wedges; the panels' earlier ones are given back.
  ASSERT_GT(early, 0);
  EXPECT_EQ(late, early);
}
