// Fault_Injection.h - a test seam that makes the Nth boundary call of platform/ fail.
//
// Every shared-memory and socket call of platform/ asks INJECTED_FAULT() first; when the
// countdown set by FAIL_CALL_AT reaches that call, it fails with errno = EIO as if the system
// had refused it. Off by default; a single thread only (tests). Changes the countdown.
#pragma once

namespace platform {

// Arms the seam: call number n (1 = the next one) fails; 0 disarms.
void FAIL_CALL_AT(long n);
// Returns true (and sets errno) when this call is the one to fail.
bool INJECTED_FAULT();

}  // namespace platform
