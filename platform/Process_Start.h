// Process_Start.h - starting a program and waiting until it is ready (stand-in for starting a
// process and waiting for it to be idle).
//
// SPAWN starts a program with posix_spawn, with no signal blocked and every signal at its default
// action (whatever the calling thread blocks or ignores); WAIT_FOR_IDLE polls a readiness test
// until it holds, the process ends, or the time limit passes. Changes no global state.
#pragma once

#include <sys/types.h>  // pid_t

#include <functional>
#include <string>
#include <vector>

namespace platform {

// Starts `path` with the given arguments (argv[0] is the path); returns the pid, or -1 with
// `error` set to the reason.
pid_t SPAWN(const std::string& path, const std::vector<std::string>& args, std::string& error);

// Starts a server program detached from this program's streams: standard input and output on
// /dev/null (standard output may carry this program's own answers), standard error and the
// environment shared, no other descriptor passed on.
pid_t SPAWN_DETACHED(const std::string& path, const std::vector<std::string>& args, std::string& error);

enum class Wait_Status { Idle, Exited, Timed_Out };

// Polls `idle` every few milliseconds for up to timeout_ms; Exited when the process ended first
// (it is reaped; its exit status goes to *exit_status when given).
Wait_Status WAIT_FOR_IDLE(pid_t pid, int timeout_ms, const std::function<bool()>& idle,
                          int* exit_status = nullptr);

}  // namespace platform
