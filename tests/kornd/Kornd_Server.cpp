// Kornd_Server.cpp - a real kornd under test (see Kornd_Server.h).
#include "Kornd_Server.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>  // prlimit
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <future>
#include <sstream>
#include <thread>

#include "platform/Process_Start.h"
#include "tests/Sanitizer_Reports.h"

extern char** environ;

std::string Kornd_Server::KorndPath() { return std::string(ZELTRA_BIN_DIR) + "/kornd"; }

Kornd_Server::~Kornd_Server() { Stop(); }

// Every test process names its servers' blocks and sockets apart from every other run of the
// user (parallel tests, other worktrees, a developer's own session): see platform/Name_Scope.h.
// Set before main, so before any name is formed; children inherit it.
static const bool own_namespace = [] {
  return setenv("KORND_NAMESPACE", ("t" + std::to_string(getpid())).c_str(), 1) == 0;
}();

bool Kornd_Server::Start(const std::string& answers, const std::vector<std::string>& args) {
  std::string tmpl = (std::filesystem::temp_directory_path() / "kornd_test_err_XXXXXX").string();
  int fd = mkstemp(tmpl.data());
  if (fd < 0) return false;
  close(fd);
  err_path_ = tmpl;

  std::vector<std::string> env_text;
  for (char** e = environ; *e; ++e) {
    bool replaced = false;
    for (const char* name : {"KORND_TEST_ANSWERS=", "QT_QPA_PLATFORM=", "DISPLAY=", "WAYLAND_DISPLAY="})
      if (std::strncmp(*e, name, std::strlen(name)) == 0) replaced = true;
    if (!replaced) env_text.emplace_back(*e);
  }
  env_text.insert(env_text.end(), display_environment_.begin(), display_environment_.end());
  if (answers_set_) env_text.push_back("KORND_TEST_ANSWERS=" + answers);
  std::vector<char*> envp;
  for (std::string& s : env_text) envp.push_back(s.data());
  envp.push_back(nullptr);
  std::string path = KorndPath();
  std::vector<std::string> argv_text{path};
  argv_text.insert(argv_text.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& s : argv_text) argv.push_back(s.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&fa, 2, err_path_.c_str(), O_WRONLY | O_APPEND, 0);
  int rc = posix_spawn(&pid_, path.c_str(), &fa, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&fa);
  if (rc != 0) {
    pid_ = -1;
    return false;
  }
  if (address_space_limit_ > 0) {
    const rlimit limit{address_space_limit_, address_space_limit_};
    if (prlimit(pid_, RLIMIT_AS, &limit, nullptr) != 0) {
      Stop();
      return false;
    }
  }
  const std::string prefix = "0," + std::to_string(pid_) + ",";
  auto ready = [&] {
    for (int n = channel::First_Instance; n <= channel::Last_Client_Instance; ++n) {
      platform::Shared_Block b;
      if (b.OPEN(channel::INSTANCE_BLOCK_NAME(n), 128) != platform::Block_Status::Ok) continue;
      std::string line(static_cast<const char*>(b.view()), strnlen(static_cast<const char*>(b.view()), 128));
      if (line.rfind(prefix, 0) == 0 && platform::SERVER_ACCEPTS(channel::INSTANCE_BLOCK_NAME(n))) {
        instance_ = n;
        return true;
      }
    }
    return false;
  };
  platform::Wait_Status w = platform::WAIT_FOR_IDLE(pid_, 20000, ready, &status_);
  if (w == platform::Wait_Status::Exited) {
    pid_ = -1;
    return false;
  }
  if (w != platform::Wait_Status::Idle) return false;
  return Connect();
}

bool Kornd_Server::Connect() { return client_.CONNECT(channel::INSTANCE_BLOCK_NAME(instance_)); }

std::uint32_t Kornd_Server::Send(const std::string& text) { return SendRaw(text.c_str(), text.size() + 1); }

std::uint32_t Kornd_Server::SendWithin(const std::string& text, int timeout_ms) {
  std::future<std::uint32_t> reply = std::async(std::launch::async, [&] { return Send(text); });
  if (reply.wait_for(std::chrono::milliseconds(timeout_ms)) == std::future_status::timeout && pid_ > 0) {
    kill(pid_, SIGKILL);  // its socket closes, which ends the send
    reply.wait();
    return Gone;
  }
  return reply.get();
}

std::uint32_t Kornd_Server::SendRaw(const void* bytes, std::size_t length) {
  std::uint32_t reply = 0;
  if (client_.SEND(bytes, length, reply) != platform::Send_Status::Reply) return Gone;
  return reply;
}

bool Kornd_Server::WaitExit(int timeout_ms) {
  if (pid_ <= 0) return true;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (std::chrono::steady_clock::now() < deadline) {
    if (waitpid(pid_, &status_, WNOHANG) == pid_) {
      pid_ = -1;
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

void Kornd_Server::Stop() {
  client_.CLOSE();
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    if (!WaitExit(5000)) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &status_, 0);
      pid_ = -1;
    }
  }
  if (err_path_.empty()) return;
  FAIL_ON_SANITIZER_REPORT("kornd", Errors());
  if (std::getenv("KORND_TEST_KEEP_ERRORS") == nullptr) unlink(err_path_.c_str());
  err_path_.clear();
}

std::string Kornd_Server::Errors() const {
  std::ifstream in(err_path_);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

int Kornd_Server::CountErrors(const std::string& part) const {
  std::istringstream in(Errors());
  int n = 0;
  for (std::string line; std::getline(in, line);)
    if (line.find(part) != std::string::npos) ++n;
  return n;
}

std::string Kornd_Server::InstanceLine() const {
  platform::Shared_Block b;
  if (b.OPEN(channel::INSTANCE_BLOCK_NAME(instance_), 128) != platform::Block_Status::Ok) return {};
  return std::string(static_cast<const char*>(b.view()), 128);
}

channel::KRwinblock* Kornd_Server::MapWindow(int w, platform::Shared_Block& holder) const {
  if (holder.OPEN(channel::WINDOW_BLOCK_NAME(instance_, w), sizeof(channel::KRwinblock)) !=
      platform::Block_Status::Ok)
    return nullptr;
  return static_cast<channel::KRwinblock*>(holder.view());
}

std::string WINDOW_REQUEST(channel::KRwinblock& b, int w, char letter, int code, const std::vector<int>& a,
                           const std::string& data) {
  b.code = code;
  for (std::size_t i = 0; i < 6; ++i) b.a[i] = i < a.size() ? a[i] : 0;
  std::memset(b.data, 0, channel::Data_Size);
  std::memcpy(b.data, data.data(), std::min(data.size(), channel::Data_Size - 1));
  return std::string{letter, static_cast<char>(w + 32)};
}

bool SHM_EXISTS(const std::string& block_name) {
  struct stat st {};
  return stat(("/dev/shm" + platform::SHM_NAME(block_name)).c_str(), &st) == 0;
}
