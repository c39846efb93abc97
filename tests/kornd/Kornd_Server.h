// Kornd_Server.h - a real kornd for tests and benchmarks: started offscreen with chosen box
// answers, its standard error kept in a file, found through its instance block, driven through
// raw request texts, and ended (SIGTERM, then SIGKILL) when the object goes.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/Channel_Blocks.h"
#include "platform/Request_Channel.h"
#include "platform/Shared_Block.h"

class Kornd_Server {
 public:
  Kornd_Server() = default;
  Kornd_Server(const Kornd_Server&) = delete;
  Kornd_Server& operator=(const Kornd_Server&) = delete;
  ~Kornd_Server();

  // The display variables the server gets in place of the test's DISPLAY, WAYLAND_DISPLAY and
  // QT_QPA_PLATFORM ("NAME=value" each); by default only QT_QPA_PLATFORM=offscreen.
  void SetDisplayEnvironment(std::vector<std::string> variables) { display_environment_ = std::move(variables); }
  // Starts the server without KORND_TEST_ANSWERS at all (Start's answers are then not used).
  void LeaveAnswersUnset() { answers_set_ = false; }
  // Limits the server's address space (RLIMIT_AS) from its start on; 0: no limit of ours.
  void SetAddressSpaceLimit(std::uint64_t bytes) { address_space_limit_ = bytes; }
  // Starts kornd with KORND_TEST_ANSWERS = answers; true once it serves (instance() is known).
  // False when it ended first (exit_status() tells) or did not become ready.
  bool Start(const std::string& answers = "", const std::vector<std::string>& args = {});
  // Connects a client (again) to the server's socket.
  bool Connect();
  // Sends a request text with its terminating zero; returns the reply (0xDEADBEEF when gone).
  std::uint32_t Send(const std::string& text);
  // Like Send, but a server that has not replied within timeout_ms is killed and the reply is
  // Gone, so that a test of a request that must not hang fails instead of hanging.
  std::uint32_t SendWithin(const std::string& text, int timeout_ms);
  // Sends raw bytes as one packet.
  std::uint32_t SendRaw(const void* bytes, std::size_t length);
  // Waits up to timeout_ms for the process to end; true when it did (status kept).
  bool WaitExit(int timeout_ms);
  // SIGTERM, wait, SIGKILL when needed.
  void Stop();

  pid_t pid() const { return pid_; }
  int instance() const { return instance_; }
  int exit_status() const { return status_; }
  bool running() const { return pid_ > 0; }
  // The server's standard error so far.
  std::string Errors() const;
  // Number of lines of standard error that contain `part`.
  int CountErrors(const std::string& part) const;
  // The instance block's bytes.
  std::string InstanceLine() const;
  // Maps window w's block (null when it does not exist).
  channel::KRwinblock* MapWindow(int w, platform::Shared_Block& holder) const;
  platform::Channel_Client& client() { return client_; }

  static std::string KorndPath();
  static constexpr std::uint32_t Gone = 0xDEADBEEF;

 private:
  pid_t pid_ = -1;
  int instance_ = 0;
  int status_ = -1;
  std::string err_path_;
  std::vector<std::string> display_environment_{"QT_QPA_PLATFORM=offscreen"};
  bool answers_set_ = true;
  std::uint64_t address_space_limit_ = 0;
  platform::Channel_Client client_;
};

// Fills window block b's sub-code, slots a1..a6 (missing ones 0) and data area (zero-filled
// after the text) and returns the request text of the letter for window w.
std::string WINDOW_REQUEST(channel::KRwinblock& b, int w, char letter, int code, const std::vector<int>& a = {},
                           const std::string& data = {});

// True when /dev/shm holds an entry of this block name.
bool SHM_EXISTS(const std::string& block_name);
