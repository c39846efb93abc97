// Sizes a client sends cannot exhaust the server's memory: under a 4 GB address-space limit,
// each request with a huge count, number or size gets its reply within seconds (the request's
// own refusal, or 0x80000002 after its question) and the server goes on serving. Rows sit on
// both sides of each bound.
#include <gtest/gtest.h>

#include <sys/resource.h>  // prlimit
#include <sys/wait.h>

#include <climits>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "Kornd_Server.h"
#include "platform/Channel_Protocol.h"

namespace {

constexpr std::uint64_t Address_Space = std::uint64_t(4) << 30;
constexpr int Reply_Within_Ms = 15000;  // far beyond any reply here: only a runaway request reaches it

struct Row {
  const char* what;
  char letter;
  int code;
  std::vector<int> a;
  std::uint32_t reply;
  const char* box;  // the box the refusal shows (a question answered Yes: refused), or ""
};

using namespace channel;

const Row Rows[] = {
    // Drawing states: numbers up to 65535.
    {"state 2^31-1", Control, Control_Save_State, {INT_MAX}, 0, ""},
    {"state 10^8", Control, Control_Save_State, {100000000}, 0, ""},
    {"state 65536", Control, Control_Save_State, {65536}, 0, ""},
    {"state 65535", Control, Control_Save_State, {65535}, 1, ""},
    {"restore 65535", Control, Control_Restore_State, {65535}, 1, ""},
    // The data buffer: up to 1 GB.
    {"buffer 2^31-1", Control, Control_New_Buffer, {INT_MAX}, 0, "[Insufficient system memory]"},
    {"buffer 2^30+1", Control, Control_New_Buffer, {(1 << 30) + 1}, 0, "[Insufficient system memory]"},
    {"buffer 4 MB", Control, Control_New_Buffer, {4 << 20}, 1, ""},
    // Text bitmaps: up to 2^26 pixels.
    {"text bitmap 20000 x 20000", Bitmap, Bitmap_Text, {0, 0, 20000, 20000}, Reply_Refused,
     "[Failed to create bitmap.  Abort?]"},
    {"text bitmap 20000 x -20000", Bitmap, Bitmap_Text, {0, 0, 20000, -20000}, Reply_Refused,
     "[Failed to create bitmap.  Abort?]"},
    {"text bitmap 8193 x 8192", Bitmap, Bitmap_Text, {0, 0, 8193, 8192}, Reply_Refused,
     "[Failed to create bitmap.  Abort?]"},
    {"text bitmap 8192 x 8192", Bitmap, Bitmap_Text, {0, 0, 8192, 8192}, 1, ""},
    {"text bitmap 2^31-1 x 1", Bitmap, Bitmap_Text, {0, 0, INT_MAX, 1}, Reply_Refused,
     "[Failed to create bitmap.  Abort?]"},
    // Point lists: up to 2^22 points.
    {"polygon 2^31-1 points", New_Object, New_Polygon, {INT_MAX}, Reply_Refused, "[Invalid parameter.  Abort?]"},
    {"polyline 2^22+1 points", New_Object, New_Polyline, {(1 << 22) + 1}, Reply_Refused,
     "[Invalid parameter.  Abort?]"},
    {"polyline 2^22 points", New_Object, New_Polyline, {1 << 22}, 1, ""},
    {"drop it", Control, Control_Drop_Object, {}, 1, ""},
    {"plot -2^31 values", New_Object, New_Plot, {INT_MIN}, Reply_Refused, "[Invalid parameter.  Abort?]"},
    {"plot 2^31-1 values", New_Object, New_Plot, {INT_MAX}, Reply_Refused, "[Invalid parameter.  Abort?]"},
    // Symbols: numbers up to 65535, recorders up to 2^26 pixels.
    {"symbol 2^31-1", Combined, Combined_Begin, {INT_MAX, 0, 10, 10}, 0, ""},
    {"symbol 65536", Combined, Combined_Begin, {65536, 0, 10, 10}, 0, ""},
    {"symbol of 2^31-1 x 2^31-1", Combined, Combined_Begin, {0, 0, INT_MAX, INT_MAX}, 0, ""},
    {"symbol 65535", Combined, Combined_Begin, {65535, 0, 10, 10}, 65535, ""},
    {"its end", Combined, Combined_End, {}, 1, ""},
    // Sizes of the picture, the frames and exports.
    {"copy of a huge rectangle", Control, Control_Copy_Bitmap, {0, 0, INT_MIN, INT_MIN, INT_MAX, INT_MAX}, 1, ""},
    {"view 2^31-1 x 2^31-1", Size, -Size_View, {INT_MAX, INT_MAX}, 1, ""},
    {"frame 2^31-1 x 2^31-1", Size, -Size_Frame, {INT_MAX, INT_MAX}, 1, ""},
    {"frame back to 800 x 600", Size, -Size_Frame, {800, 600}, 1, ""},
    {"viewport 2^31-1 x 2^31-1", Size, -Size_Viewport, {INT_MAX, INT_MAX}, 1, ""},
    {"picture 2^31-1 x 2^31-1", Size, -Size_Picture, {INT_MAX, INT_MAX}, 1, ""},
};

// AddressSanitizer maps terabytes of shadow memory at start-up: a server built with it cannot
// start under an address-space limit at all, so these tables run in the ordinary build only.
#ifdef __SANITIZE_ADDRESS__
constexpr bool Address_Space_Limits_Apply = false;
#else
constexpr bool Address_Space_Limits_Apply = true;
#endif

TEST(KorndMemoryBounds, HugeSizesAreRefusedBeforeAnythingIsAllocated) {
  if (!Address_Space_Limits_Apply) GTEST_SKIP() << "an address-space limit stops a sanitized server";
  Kornd_Server k;
  k.SetAddressSpaceLimit(Address_Space);
  ASSERT_TRUE(k.Start()) << k.Errors();
  ASSERT_EQ(k.Send("I,1,400,300,0,19,5,w"), 1u);
  platform::Shared_Block holder;
  channel::KRwinblock* b = k.MapWindow(1, holder);
  ASSERT_NE(b, nullptr);
  ASSERT_EQ(k.Send(WINDOW_REQUEST(*b, 1, Draw, Draw_Line, {100, 100})), 1u);  // an object to copy and export
  for (const Row& r : Rows) {
    SCOPED_TRACE(r.what);
    const int boxes = *r.box ? k.CountErrors(r.box) : 0;
    const std::uint32_t reply = k.SendWithin(WINDOW_REQUEST(*b, 1, r.letter, r.code, r.a, "text"), Reply_Within_Ms);
    ASSERT_NE(reply, Kornd_Server::Gone) << k.Errors();
    EXPECT_EQ(reply, r.reply) << k.Errors();
    if (*r.box) {
      EXPECT_EQ(k.CountErrors(r.box), boxes + 1) << k.Errors();
    }
  }
  // Only the two refused buffers said so: no request ran out of memory.
  EXPECT_EQ(k.CountErrors("Insufficient system memory"), 2) << k.Errors();
  // Still serving: a line in a new window is drawn and reads back.
  ASSERT_EQ(k.Send("I,2,400,300,0,19,5,w"), 2u);
  platform::Shared_Block holder2;
  channel::KRwinblock* b2 = k.MapWindow(2, holder2);
  ASSERT_NE(b2, nullptr);
  EXPECT_EQ(k.Send(WINDOW_REQUEST(*b2, 2, Draw, Draw_Move, {5, 5})), 2u);
  EXPECT_EQ(k.Send(WINDOW_REQUEST(*b2, 2, Draw, Draw_Line, {50, 5})), 2u);
  EXPECT_EQ(k.Send(WINDOW_REQUEST(*b2, 2, Pixel, 20, {5})), 2u);
  EXPECT_EQ(b2->a[2], 0);
}

// The server's address space now, from /proc (0 when it cannot be read).
std::uint64_t address_space_of(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmSize:", 0) == 0) return std::stoull(line.substr(7)) * 1024;  // in kB
  return 0;
}

// Memory that a request within the bounds cannot get ends the server through the fatal
// "Insufficient system memory" box, with its blocks removed; never an abort.
TEST(KorndMemoryBounds, MemoryThatCannotBeHadEndsTheServerThroughItsBox) {
  if (!Address_Space_Limits_Apply) GTEST_SKIP() << "an address-space limit stops a sanitized server";
  const Row cases[] = {
      {"buffer 1 GB", Control, Control_New_Buffer, {1 << 30}, 0, ""},
      {"polyline 2^22 points", New_Object, New_Polyline, {1 << 22}, 1, ""},
  };
  for (const Row& c : cases) {
    SCOPED_TRACE(c.what);
    Kornd_Server k;
    ASSERT_TRUE(k.Start()) << k.Errors();
    ASSERT_EQ(k.Send("I,1,400,300,0,19,5,w"), 1u);
    platform::Shared_Block holder;
    channel::KRwinblock* b = k.MapWindow(1, holder);
    ASSERT_NE(b, nullptr);
    const std::uint64_t now = address_space_of(k.pid());
    ASSERT_GT(now, 0u);
    const rlimit tight{now + (8 << 20), now + (8 << 20)};  // 8 MB more than it has
    ASSERT_EQ(prlimit(k.pid(), RLIMIT_AS, &tight, nullptr), 0);
    const std::string instance = channel::INSTANCE_BLOCK_NAME(k.instance());
    EXPECT_EQ(k.SendWithin(WINDOW_REQUEST(*b, 1, c.letter, c.code, c.a), Reply_Within_Ms), c.reply) << k.Errors();
    EXPECT_EQ(k.CountErrors("kornd box: [Kornd: Error] [Insufficient system memory] buttons=OK"), 1) << k.Errors();
    ASSERT_TRUE(k.WaitExit(10000)) << k.Errors();
    EXPECT_TRUE(WIFEXITED(k.exit_status()));
    EXPECT_EQ(WEXITSTATUS(k.exit_status()), 0);
    EXPECT_FALSE(SHM_EXISTS(instance));
  }
}

}  // namespace
