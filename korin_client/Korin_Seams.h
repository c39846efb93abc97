// Korin_Seams.h - what a program can replace in the client library: how it ends the program
// after a fatal message, and a trace of every request sent (for tests).
#pragma once

#include <cstdint>
#include <functional>

#include "platform/Channel_Blocks.h"

// The program's stop after a fatal message (exit code 1) or a server's request to end (0).
// Without one the library exits the process. The stop must not return; it may throw to unwind
// (the display program's stop deletes its working copies on the way).
using Korin_Stop = void (*)(int exit_code);
void KRsetstop(Korin_Stop stop);
[[noreturn]] void KRstop(int exit_code);

// One request as sent: the request text (window requests: letter, window + 32) and, for window
// requests, the block as it was when sent. Called before the send; the reply follows in
// `reply` of the next call with `replied` true (at once for a request that waits in a batch).
struct Korin_Trace_Entry {
  const char* text = nullptr;                 // the request buffer
  int length = 0;                             // with its terminating zero
  const channel::KRwinblock* block = nullptr; // window requests only
  bool replied = false;
  std::uint32_t reply = 0;
  bool flush = false;  // the requests waiting in a batch sent on their own: no text, no block
  bool deferred = false;  // the request waits in a batch; its reply is the foreseen one
  bool sent = false;      // the packet traced last has left; its reply is awaited (no text)
};
using Korin_Trace = std::function<void(const Korin_Trace_Entry&)>;
void KRsettrace(Korin_Trace trace);

// Requests the window driver makes wait in batches (on by default); off, every request goes
// alone and waits for its reply.
void KRsetbatching(bool on);
