// Client_State.h - KRclientstate: the one connection of this program to a kornd, and the
// channel operations every entry point of the library is built on.
//
// The library serves one thread: the request buffer and the window blocks are shared by all
// requests, and the server reads and writes a block only while a request of it is waiting.
#pragma once

#include <sys/types.h>  // pid_t

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Channel_Blocks.h"
#include "platform/Request_Batch.h"
#include "platform/Request_Channel.h"
#include "platform/Request_Text.h"
#include "platform/Shared_Block.h"
#include "platform/Shared_Buffer.h"
#include "korin_client/Korin.h"

struct KRclientstate {
  std::int32_t instance = 0;         // 1-16 once a server was found: the library is initialised
  std::int32_t server_key = 0;
  pid_t server_window = 0;           // the server's pid; 0 when not known or forgotten
  platform::Channel_Client channel;  // the server's socket: requests go there
  platform::Instance_Claim claim;    // held while this program uses the instance
  std::int32_t open_windows = 0;
  channel::KRwinblock* current = nullptr;  // block of the current window
  bool quit_done = false;
  std::array<platform::Shared_Block, channel::Max_Window + 1> windows;  // index 0 stays empty
  // The server's data buffer of each window, mapped here once it was handed over with a reply.
  std::array<platform::Shared_Buffer, channel::Max_Window + 1> data_buffers;
  std::int32_t current_window = 0;
  // Whether the pen position of a window (offsets 68, 72) is a real one. Kept here, not as a
  // negative x, so that a line that starts left of the window is still drawn.
  std::array<bool, channel::Max_Window + 1> pen_known{};
  platform::Shared_Block instance_block;
  std::string server_version;
  char request[channel::Max_Request] = {};
  std::string switches;              // the server's command line, each switch after one blank
  std::string program_path;
  std::string server_path;
  bool japanese = false;             // messages in Japanese (UTF-8)
  // Requests that need no reply wait here (while `deferring`) until one needs a reply, or a
  // flush; each carries the block bytes it changed since the last one of its window, against
  // that window's mirror.
  bool deferring = false;
  bool batching = true;              // off: every request goes alone (tests compare both)
  platform::Batch_Writer batch;
  std::vector<channel::KRwinblock> mirrors;                 // per window, made on first use
  std::array<bool, channel::Max_Window + 1> in_batch{};     // the window's whole block went in
  bool deferred_new_object = false;  // the last request was a point list waiting in the batch
};

KRclientstate& KRstate();

// The block of window w (1-63) when it is open, else null.
channel::KRwinblock* KRblock(int w);

// A free server of this user taken for this program (instance line "0,...", socket accepting,
// no other client holding it); the server key, 0 when none was ever found.
std::int32_t KRfindserver();
// Starts kornd with the switch text and waits (at most 60 s) until it serves.
void KRlaunch();
// The first executable `name` in the program's folder, ".", then PATH; ends the program when
// there is none.
std::string KRsearchpath(const std::string& name);

// Puts a formatted request into the request buffer and returns its length with the
// terminating zero. A refused text ends the program before anything is sent: one too long for
// the buffer with "Internal buffer overflow[...]", one the server would read back otherwise
// (a handshake folder holding ';') as a failed start.
int KRsetrequest(const channel::Request_Bytes& bytes);

// Sends the request buffer, `length` bytes with the terminating zero; returns the reply after
// the reserved replies are handled (the server gone, a failure or an abort end the program).
std::int32_t KRsend(int length);

// Window requests: sub-code and arguments into window w's block, then "<letter><w + 32>".
// 0 when w has no block.
std::int32_t KRwincode(int w, char letter, std::int32_t code);
std::int32_t KRwincmd1(int w, char letter, std::int32_t code, std::int32_t a1);
std::int32_t KRwincmd(int w, char letter, std::int32_t code, std::int32_t a1, std::int32_t a2);

// Texts into window w's data area: null-terminated, or fixed-length with its trailing blanks
// dropped (at most 2047 characters). Display texts are Latin-1 and are sent as UTF-8.
void KRsettext(int w, const char* text);
void KRsetftext(int w, const char* text, std::size_t length);

// Sends a byte array through the data area in pieces of 2048 bytes ("B" 36 each); w, or 0
// after a refused piece (the transfer is then dropped with "B" 38).
std::int32_t KRsenddata(int w, const void* bytes, std::int64_t count);

// The data buffer of `bytes` bytes the last request of window w made, mapped when the server
// handed it over with its reply; null otherwise (the data then goes through KRsenddata).
void* KRdatabuffer(int w, std::size_t bytes);

// KRmakebmp in its two steps, for codes written in place: KRnewbmpbuffer makes the current
// window's data buffer ready for width x |height| colour codes ("B" 20) and gives its bytes, 0
// when refused (KRdatabuffer then maps it, or KRsenddata fills it); KRbmpfrombuffer makes
// bitmap k of what the buffer holds ("D" 5).
std::int64_t KRnewbmpbuffer(int width, int height);
int KRbmpfrombuffer(int k, int width, int height, int bits);

// A number the server wrote as text into the data area ("%d"); 0 when none can be read.
std::int32_t KRdatanumber(int w);

// Unmaps every window block and the instance block.
void KRrelease();

// Pen and brush of the current window both to colour code `colour` (not -1) in one request.
int KRsetpenbrs(int colour);

// KRquitx (Korin.h) ends the connection: mode 0 closes the server at once, another asks its
// user; the reply (1), or 0 when nothing was sent or it was ended already.
