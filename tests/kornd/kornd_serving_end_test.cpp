// How a server ends or goes on: after Cancel in one of its boxes every request is refused, but
// the quit request closes it and it removes its blocks; a client killed while its request
// waits frees the server for the next client.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <future>
#include <string>
#include <vector>

#include "Scripted_Kornd.h"

namespace {

class Serving_End : public Scripted_Kornd {
 protected:
  // Saving the picture while bitmap 1 (4 x 2, 24 bits) has no file asks to save the bitmap.
  void SaveWithUnsavedBitmap() {
    const std::vector<std::uint32_t> values(8, 0x00FF00);
    ASSERT_EQ(B(20, {32}), 1u);
    Set(36, {0, 32});
    std::memcpy(b_->data, values.data(), 32);
    ASSERT_EQ(k_.Send("B!"), 1u);
    ASSERT_EQ(Request('D', 5, {1, 24, 4, 2}), 1u);
    B(12, {0, 0, 0, 0}, dir_ + "/pic");
  }
};

TEST_F(Serving_End, QuitEndsAServerThatACancelStopped) {
  enum class Box { Erase, Save_Bitmap };
  struct Row {
    Box box;
    std::vector<std::string> args;
    const char* text;
  } rows[] = {
      {Box::Erase, {"/i"}, "[All graphics objects will be erased.]"},  // B 27 of a server that inquires
      {Box::Save_Bitmap, {}, "[Save the bitmap #1 to a file]"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    Open("Cancel", r.args);
    ASSERT_EQ(Request('A', 22, {13, 0, 10, 10, 20, 20}), 1u);
    if (r.box == Box::Erase) EXPECT_EQ(B(27), 1u);
    else SaveWithUnsavedBitmap();
    EXPECT_EQ(k_.CountErrors(r.text), 1) << k_.Errors();
    EXPECT_EQ(B(40), Failed) << "serving stopped";
    EXPECT_EQ(k_.Send("I,0,200,100,0,19,5,"), Failed);
    EXPECT_TRUE(QuitEndsTheServer());
    TearDown();
  }
}

TEST_F(Serving_End, AClientKilledDuringAWaitFreesTheServer) {
  struct Row {
    const char* name;
    char letter;
    int code;
    std::vector<int> a;
  } rows[] = {
      {"character wait (B 1, class 128)", 'B', 1, {128}},
      {"point pick (C 1)", 'C', 1, {}},
      {"pause of a new object (A 3)", 'A', 3, {100000}},
  };
  Open();
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const int before = k_.CountErrors("kornd input: waiting");
    Set(r.code, r.a);
    const pid_t client = fork();
    ASSERT_GE(client, 0);
    if (client == 0) {  // a client of its own that sends the waiting request and waits for ever
      platform::Channel_Client c;
      std::uint32_t reply = 0;
      const char text[] = {r.letter, '!', '\0'};
      if (c.CONNECT(channel::INSTANCE_BLOCK_NAME(k_.instance()))) c.SEND(text, sizeof text, reply);
      _exit(0);
    }
    ASSERT_TRUE(Seen("kornd input: waiting", before + 1)) << k_.Errors();
    kill(client, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(client, &status, 0), client);
    // The next client is served, and the window still works.
    ASSERT_TRUE(k_.Connect());
    auto handshake = std::async(std::launch::async, [&] { return k_.Send("K,1,/tmp;/bin/client;Version  0.99.8b"); });
    if (handshake.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
      k_.Stop();  // ends the send
      FAIL() << "the next client got no reply";
    }
    EXPECT_EQ(handshake.get(), 1u) << k_.Errors();
    EXPECT_LT(B(40), 0x80000000u) << "window 1 still serves";
    EXPECT_EQ(B(15, {1}), 1u);
  }
  EXPECT_TRUE(QuitEndsTheServer());
}

}  // namespace
