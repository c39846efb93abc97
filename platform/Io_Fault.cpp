// Io_Fault.cpp - countdown of the boundary-call failure seam (see Io_Fault.h).
// Reads and writes: nothing; changes only its own counters.

#include "platform/Io_Fault.h"

#include <cerrno>  // errno, EIO

namespace {
long fail_at = 0;
long fail_count = 0;
long calls = 0;
Io_Kind armed_kind = Io_Kind::Any;
}  // namespace

void IO_FAULT_ARM(long n, long failures, Io_Kind kind) {
  fail_at = n;
  fail_count = failures;
  calls = 0;
  armed_kind = kind;
}

bool IO_FAULT_HIT(Io_Kind kind) {
  if (fail_at <= 0) return false;
  if (armed_kind != Io_Kind::Any && kind != armed_kind) return false;
  ++calls;
  if (calls >= fail_at && (fail_count < 0 || calls < fail_at + fail_count)) {
    errno = EIO;
    return true;
  }
  return false;
}

long IO_FAULT_CALLS() { return calls; }
