// Client_Run.h - runs a client of the real kornd in a child process: the library keeps one
// connection per program, and a fatal message ends the program.
//
// The child takes the given environment, sends its standard error (and that of the server it
// starts, which inherits it) to a file, runs the scenario and ends the connection (mode 0).
// What the scenario writes to `out` comes back in Client_Run::output; every request sent, as
// one trace line "<letter> <code> <a1> <a2> ... -> <reply>", in Client_Run::trace. A script of
// (trigger, line) steps feeds the server's input FIFO: each line is written once the shared
// error stream shows its trigger (an empty line only marks the place: later triggers are
// looked for after it, and "{}" in a later line stands for the rest of the marker's line). A
// server left running is ended afterwards.
#pragma once

#include <sys/types.h>

#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

struct Client_Run {
  int exit_code = -1;
  std::string errors;  // client and server together
  std::string output;
  std::vector<std::string> trace;
  pid_t server = 0;
};

struct Client_Options {
  std::vector<std::pair<std::string, std::string>> environment;  // set in the child
  std::vector<std::pair<std::string, std::string>> script;       // (trigger, FIFO line)
  bool quit_at_end = true;
};

Client_Run RUN_CLIENT(const std::function<void(std::ostream& out)>& scenario, const Client_Options& options = {});

// The trace lines from the first one that starts with `from`, up to (not with) the first that
// starts with `to` after it; empty `to`: to the end.
std::vector<std::string> TRACE_SPAN(const std::vector<std::string>& trace, const std::string& from,
                                    const std::string& to = "");

// Counts the lines of `text` that contain `part`.
int COUNT_LINES(const std::string& text, const std::string& part);
