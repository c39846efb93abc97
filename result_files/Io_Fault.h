// Test seam for the file and zlib boundaries: fails the Nth boundary call.
//
// Every open, read, write, close, seek, truncate and rename of the result-file and
// conversion routines (zlib's gzread, gzwrite, gzflush, gzclose included) asks
// IO_FAULT_HIT first. A test arms the seam with N; from the Nth call of the chosen kind on,
// `failures` calls fail as if the system had reported EIO. Disarmed (the default) it costs
// one branch.
#pragma once

enum class Io_Kind { Any, Open, Read, Write, Close, Other };

// Arms the seam: calls n .. n + failures - 1 of that kind fail (counted from 1 after
// arming; failures < 0: every call from n on). n = 0 disarms.
void IO_FAULT_ARM(long n, long failures = 1, Io_Kind kind = Io_Kind::Any);

// Counts one boundary call; true when this call must fail (errno is then EIO).
bool IO_FAULT_HIT(Io_Kind kind);

// Number of boundary calls of the armed kind counted since the last arming.
long IO_FAULT_CALLS();
