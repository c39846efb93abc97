// Tick_Count.h - the server's millisecond tick count (32 bits, wraps after about 49.7 days),
// which every wait, timer and elapsed-time answer reads.
// Reads: the monotonic clock; KORND_TEST_TICK_START (a tick value the count starts from, so
// that tests can place a wrap of the count within reach).
// Changes: the tick source (tests put their own clock in).
#pragma once

#include <cstdint>

// The current tick count.
std::uint32_t TICK_COUNT();
// Replaces the clock (null: the monotonic clock again).
void SET_TICK_SOURCE(std::uint32_t (*source)());
