// Fault_Injection.cpp - countdown of the boundary-call failure seam (see Fault_Injection.h).
#include "platform/Fault_Injection.h"

#include <cerrno>  // errno, EIO

namespace platform {

static long countdown = 0;

void FAIL_CALL_AT(long n) { countdown = n; }

bool INJECTED_FAULT() {
  if (countdown <= 0) return false;
  if (--countdown != 0) return false;
  errno = EIO;
  return true;
}

}  // namespace platform
