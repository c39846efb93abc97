// Io_Fault.h - the project's one test seam for boundary calls: fails the Nth call.
//
// Every file, zlib, shared-memory and socket call of platform/, the result-file and conversion
// routines and kornd's picture writers asks IO_FAULT_HIT first (open, read, write, close,
// seek, truncate, rename, shm_open, mmap, socket, bind, send ... and zlib's gzread, gzwrite,
// gzflush, gzclose). A test arms the seam with N; from the Nth call of the chosen kind on,
// `failures` calls fail as if the system had reported EIO. Disarmed (the default) it costs
// one branch. A single thread only (tests); changes only its own counters.
#pragma once

enum class Io_Kind { Any, Open, Read, Write, Close, Map, Other };

// Arms the seam: calls n .. n + failures - 1 of that kind fail (counted from 1 after
// arming; failures < 0: every call from n on). n = 0 disarms.
void IO_FAULT_ARM(long n, long failures = 1, Io_Kind kind = Io_Kind::Any);

// Counts one boundary call; true when this call must fail (errno is then EIO).
bool IO_FAULT_HIT(Io_Kind kind);

// Number of boundary calls of the armed kind counted since the last arming.
long IO_FAULT_CALLS();
