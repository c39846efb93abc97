// Server_Answers.cpp - see Server_Answers.h.
#include "tests/Server_Answers.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <optional>
#include <sstream>
#include <thread>

#include "Kornd_Server.h"
#include "korin_client/Korin.h"

namespace server_answers {
namespace {

constexpr const char* Dialog_Mark = "kornd input: dialog ";
constexpr std::size_t Longer_Than_Any_Field = 300;

struct Answerer {
  Kornd_Server server;
  std::string folder, fifo;
  int fifo_fd = -1;
  std::mutex lock;
  std::deque<std::optional<std::string>> queue;  // nullopt: cancel
  std::vector<std::string> prompts;
  std::thread thread;
  bool stop = false;

  ~Answerer() {
    {
      std::lock_guard<std::mutex> guard(lock);
      stop = true;
    }
    if (thread.joinable()) thread.join();
    KRquitx(0);
    server.Stop();
    if (fifo_fd >= 0) ::close(fifo_fd);
    std::system(("rm -rf '" + folder + "'").c_str());
  }

  void send(const std::string& lines) {
    if (::write(fifo_fd, lines.data(), lines.size()) != static_cast<ssize_t>(lines.size())) return;
  }

  // Answers each dialog line of the server's error stream once.
  void watch() {
    std::size_t seen = 0;
    for (;;) {
      {
        std::lock_guard<std::mutex> guard(lock);
        if (stop) return;
      }
      const std::string errors = server.Errors();
      const std::size_t at = errors.find(Dialog_Mark, seen);
      if (at == std::string::npos) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        continue;
      }
      const std::size_t end = errors.find('\n', at);
      if (end == std::string::npos) continue;
      seen = end;
      std::optional<std::string> answer;
      bool queued = false;
      {
        std::lock_guard<std::mutex> guard(lock);
        prompts.push_back(errors.substr(at + std::strlen(Dialog_Mark), end - at - std::strlen(Dialog_Mark)));
        if (!queue.empty()) {
          queued = true;
          answer = queue.front();
          queue.pop_front();
        }
      }
      if (!queued) answer = std::string(Longer_Than_Any_Field, 'x');
      if (!answer) send("key 1 Escape\n");
      else send((answer->empty() ? "" : "text 1 " + *answer + "\n") + "key 1 Return\n");
    }
  }
};

Answerer& answerer() {
  static Answerer a;
  return a;
}

}  // namespace

void START() {
  Answerer& a = answerer();
  if (a.thread.joinable()) return;
  char folder_template[] = "/tmp/server_answers_XXXXXX";
  a.folder = ::mkdtemp(folder_template);
  a.fifo = a.folder + "/input";
  ::mkfifo(a.fifo.c_str(), 0600);
  a.fifo_fd = ::open(a.fifo.c_str(), O_RDWR | O_CLOEXEC);  // never blocks, never sees end of file
  a.server.SetDisplayEnvironment({"QT_QPA_PLATFORM=offscreen", "KORND_TEST_INPUT=" + a.fifo});
  if (!a.server.Start("")) std::abort();
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  KRinitx(-1, -1, -1, -1, -1, -1, -1, -1);
  KRopenx(0, 400, 300, 0, 19, 4, "answers");
  a.thread = std::thread([&a] { a.watch(); });
}

void TYPE(std::string line) {
  START();
  std::lock_guard<std::mutex> guard(answerer().lock);
  answerer().queue.emplace_back(std::move(line));
}

void CANCEL() {
  START();
  std::lock_guard<std::mutex> guard(answerer().lock);
  answerer().queue.emplace_back(std::nullopt);
}

std::vector<std::string> PROMPTS() {
  std::lock_guard<std::mutex> guard(answerer().lock);
  return answerer().prompts;
}

}  // namespace server_answers
