// Scripted_Kornd.h - a test fixture around a real kornd with its scripted input (a FIFO named
// by KORND_TEST_INPUT) and window 1 open in the bitmap mode: requests of window 1 through its
// mapped block, input lines delivered and acknowledged, and requests sent while a wait, a pause
// or a dialog of the server runs.
#pragma once

#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>  // WIFEXITED
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "Kornd_Server.h"

class Scripted_Kornd : public ::testing::Test {
 protected:
  static constexpr std::uint32_t Failed = 0x80000001u, Refused = 0x80000002u;

  // Starts the server (box answers as given, extra switches) and opens window 1 (maximised
  // unless the open request says otherwise).
  void Open(const std::string& answers = "", const std::vector<std::string>& args = {},
            const std::string& open = "I,1,200,100,0,19,5,") {
    std::string pattern = (std::filesystem::temp_directory_path() / "kornd_scripted_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    fifo_ = dir_ + "/input";
    ASSERT_EQ(mkfifo(fifo_.c_str(), 0600), 0);
    setenv("KORND_TEST_INPUT", fifo_.c_str(), 1);
    bool started = k_.Start(answers, args);
    unsetenv("KORND_TEST_INPUT");
    ASSERT_TRUE(started) << k_.Errors();
    ASSERT_EQ(k_.Send(open), 1u) << k_.Errors();
    b_ = k_.MapWindow(1, holder_);
    ASSERT_NE(b_, nullptr);
    ASSERT_EQ(B(15, {1}), 1u);  // the bitmap mode: client pixels are picture points
  }
  void TearDown() override {
    k_.Stop();
    std::error_code ec;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
  }
  void Set(int code, std::vector<int> a, const std::string& data = "") {
    b_->code = code;
    for (std::size_t i = 0; i < 6; ++i) b_->a[i] = i < a.size() ? a[i] : 0;
    std::memset(b_->data, 0, channel::Data_Size);
    std::memcpy(b_->data, data.data(), std::min(data.size(), channel::Data_Size - 1));
  }
  // A request of window 1: letter, sub-code, arguments.
  std::uint32_t Request(char letter, int code, std::vector<int> a = {}, const std::string& data = "") {
    Set(code, std::move(a), data);
    return k_.Send(std::string{letter, '!'});  // window 1
  }
  std::uint32_t B(int code, std::vector<int> a = {}, const std::string& data = "") {
    return Request('B', code, std::move(a), data);
  }
  // Waits until the server's standard error holds `count` lines containing `part`.
  bool Seen(const std::string& part, int count) {
    for (int i = 0; i < 500; ++i) {
      if (k_.CountErrors(part) >= count) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }
  // Writes one input line without waiting for it to be done.
  void Write(const std::string& line) {
    int fd = ::open(fifo_.c_str(), O_WRONLY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    const std::string text = line + "\n";
    ASSERT_EQ(::write(fd, text.data(), text.size()), ssize_t(text.size()));
    ::close(fd);
  }
  // Writes one input line and waits until the server delivered it.
  void Input(const std::string& line) {
    const int before = k_.CountErrors("kornd input: done " + line);
    Write(line);
    ASSERT_TRUE(Seen("kornd input: done " + line, before + 1)) << k_.Errors();
  }
  // Sends a request whose wait the lines end; the lines go once the wait (or dialog) runs.
  std::uint32_t During(int code, std::vector<int> a, const std::vector<std::string>& lines,
                       const std::string& started = "kornd input: waiting", const std::string& data = "") {
    return DuringRequest("B!", code, std::move(a), lines, started, data);
  }
  // The same for a request of any letter of window 1 ("C!" a pick).
  std::uint32_t DuringRequest(const std::string& text, int code, std::vector<int> a,
                              const std::vector<std::string>& lines,
                              const std::string& started = "kornd input: waiting", const std::string& data = "") {
    const int before = k_.CountErrors(started);
    Set(code, std::move(a), data);
    auto reply = std::async(std::launch::async, [&] { return k_.Send(text); });
    EXPECT_TRUE(Seen(started, before + 1)) << k_.Errors();
    for (const std::string& l : lines) Input(l);
    if (reply.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
      ADD_FAILURE() << "the wait did not end: " << k_.Errors();
      k_.Stop();  // the client's send then ends
    }
    return reply.get();
  }
  // The quit request L,0, ends the server: it exits with 0 and removes its blocks.
  ::testing::AssertionResult QuitEndsTheServer() {
    const int instance = k_.instance();
    const std::uint32_t reply = k_.Send("L,0,");
    if (reply != channel::Reply_Quit) return ::testing::AssertionFailure() << "quit answered " << std::hex << reply;
    if (!k_.WaitExit(5000)) return ::testing::AssertionFailure() << "still running: " << k_.Errors();
    if (!WIFEXITED(k_.exit_status()) || WEXITSTATUS(k_.exit_status()) != 0)
      return ::testing::AssertionFailure() << "ended with status " << k_.exit_status();
    for (const std::string& name : {channel::INSTANCE_BLOCK_NAME(instance), channel::WINDOW_BLOCK_NAME(instance, 1)})
      if (SHM_EXISTS(name)) return ::testing::AssertionFailure() << "block left: " << name;
    return ::testing::AssertionSuccess();
  }
  std::string Data() const { return std::string(b_->data, strnlen(b_->data, channel::Data_Size)); }

  Kornd_Server k_;
  platform::Shared_Block holder_;
  channel::KRwinblock* b_ = nullptr;
  std::string dir_, fifo_;
};
