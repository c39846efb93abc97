// Client_Run.cpp - see Client_Run.h.
#include "Client_Run.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "Kornd_Server.h"
#include "korin_client/Client_State.h"
#include "korin_client/Korin.h"
#include "korin_client/Korin_Seams.h"
#include "tests/Sanitizer_Reports.h"

namespace {

std::string read_all(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string trace_line(const Korin_Trace_Entry& e) {
  std::string line(1, e.text[0]);
  if (e.block != nullptr) {
    line += " " + std::to_string(e.block->code);
    for (int i = 0; i < 6; ++i) line += " " + std::to_string(e.block->a[i]);
    if (e.text[0] == 'A' && e.block->code == 6) line += " width " + std::to_string(e.block->pen_width);
  } else {
    line += std::string(e.text + 1);
  }
  return line;
}

bool alive(pid_t pid) { return pid > 0 && ::kill(pid, 0) == 0; }

void end_server(pid_t pid) {
  if (!alive(pid)) return;
  ::kill(pid, SIGTERM);
  for (int i = 0; i < 300 && alive(pid); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  if (alive(pid)) ::kill(pid, SIGKILL);
}

}  // namespace

Client_Run RUN_CLIENT(const std::function<void(std::ostream& out)>& scenario, const Client_Options& options) {
  std::string folder_template = (std::filesystem::temp_directory_path() / "korin_run_XXXXXX").string();
  const std::string folder = ::mkdtemp(folder_template.data());
  const std::string errors = folder + "/errors", output = folder + "/output", trace = folder + "/trace",
                    fifo = folder + "/input";
  if (!options.script.empty()) ::mkfifo(fifo.c_str(), 0600);
  std::fflush(nullptr);
  const pid_t child = ::fork();
  if (child == 0) {
    for (const auto& [name, value] : options.environment) ::setenv(name.c_str(), value.c_str(), 1);
    if (!options.script.empty()) ::setenv("KORND_TEST_INPUT", fifo.c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const int fd = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(fd, STDERR_FILENO);
    ::close(fd);
    static std::ofstream trace_file;
    trace_file.open(trace);
    trace_file << std::unitbuf;
    static std::string trace_path = trace;
    KRsetstop([](int code) {  // the server of a fatal end must still be found and ended
      std::ofstream(trace_path, std::ios::app) << "\nserver " << KRstate().server_window << "\n";
      std::fflush(nullptr);
      ::_exit(code);
    });
    KRsettrace([](const Korin_Trace_Entry& e) {
      if (e.flush || e.sent) return;  // a batch's requests were traced one by one
      if (e.replied) {
        trace_file << " -> " << static_cast<std::int32_t>(e.reply) << "\n";
      } else {
        if (e.text[0] == 'K') trace_file << "server " << KRstate().server_window << "\n";
        trace_file << trace_line(e);
      }
    });
    {
      std::ofstream out(output);
      scenario(out);
    }
    if (options.quit_at_end) KRquitx(0);
    std::fflush(nullptr);
    ::_exit(0);
  }
  // Feed the script while the child runs.
  int status = 0;
  std::size_t step = 0, seen = 0;
  std::string captured;  // the rest of the line of the last marker
  int fifo_fd = -1;
  while (::waitpid(child, &status, WNOHANG) == 0) {
    if (step < options.script.size()) {
      const std::string text = read_all(errors);
      const std::size_t at = text.find(options.script[step].first, seen);
      if (at != std::string::npos && options.script[step].second.empty()) {  // a marker only
        seen = at + options.script[step].first.size();
        const std::size_t end = text.find('\n', seen);
        if (end == std::string::npos) continue;
        captured = text.substr(seen, end - seen);
        ++step;
      } else if (at != std::string::npos) {
        if (fifo_fd < 0) fifo_fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        std::string line = options.script[step].second + "\n";
        if (const std::size_t hole = line.find("{}"); hole != std::string::npos) line.replace(hole, 2, captured);
        if (fifo_fd >= 0 && ::write(fifo_fd, line.data(), line.size()) == static_cast<ssize_t>(line.size())) {
          seen = at + options.script[step].first.size();
          ++step;
        }
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (fifo_fd >= 0) ::close(fifo_fd);
  Client_Run run;
  run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  for (const std::string& line : lines_of(read_all(trace))) {
    if (line.rfind("server ", 0) == 0) {
      if (std::atoi(line.c_str() + 7) > 0) run.server = std::atoi(line.c_str() + 7);
    } else if (!line.empty()) {
      run.trace.push_back(line);
    }
  }
  end_server(run.server);
  run.errors = read_all(errors);
  FAIL_ON_SANITIZER_REPORT("client", run.errors);
  run.output = read_all(output);
  std::system(("rm -rf '" + folder + "'").c_str());
  return run;
}

std::vector<std::string> TRACE_SPAN(const std::vector<std::string>& trace, const std::string& from,
                                    const std::string& to) {
  std::vector<std::string> span;
  bool in = false;
  for (const std::string& line : trace) {
    if (!in && line.rfind(from, 0) == 0) in = true;
    else if (in && !to.empty() && line.rfind(to, 0) == 0) break;
    if (in) span.push_back(line);
  }
  return span;
}

int COUNT_LINES(const std::string& text, const std::string& part) {
  int n = 0;
  for (const std::string& line : lines_of(text))
    if (line.find(part) != std::string::npos) ++n;
  return n;
}
