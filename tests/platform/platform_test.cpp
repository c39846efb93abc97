// Tests of platform/: block names and layouts, shared blocks, the request channel, process start.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/Channel_Blocks.h"
#include "platform/Io_Fault.h"
#include "platform/Process_Start.h"
#include "platform/Request_Channel.h"
#include "platform/Shared_Block.h"
#include "platform/Shared_Buffer.h"

namespace {

// A block name no other test or server uses.
std::string unique_name(const char* what) { return std::string("Ztest") + what + std::to_string(getpid()); }

bool shm_exists(const std::string& block_name) {
  struct stat st {};
  return stat(("/dev/shm" + platform::SHM_NAME(block_name)).c_str(), &st) == 0;
}

}  // namespace

TEST(BlockNames, SpelledAsBothProgramsExpect) {
  std::string uid = std::to_string(getuid());
  struct Row {
    std::string got, want;
  } rows[] = {
      {channel::INSTANCE_BLOCK_NAME(1), "Kornd1"},
      {channel::INSTANCE_BLOCK_NAME(15), "Kornd15"},
      {channel::WINDOW_BLOCK_NAME(1, 2), "Kornd1:2"},
      {channel::WINDOW_BLOCK_NAME(3, 63), "Kornd3:63"},
      {platform::SHM_NAME("Kornd1"), "/Kornd1." + uid},
      {platform::SHM_NAME("Kornd1:3"), "/Kornd1:3." + uid},
      {platform::SOCKET_NAME("Kornd1"), "Kornd1." + uid},
  };
  for (const Row& r : rows) EXPECT_EQ(r.got, r.want);
}

TEST(SharedBlock, CreateIsExclusiveAndOpenSeesTheSameBytes) {
  const std::string name = unique_name("Blk");
  platform::Shared_Block a;
  ASSERT_EQ(a.CREATE(name, 128), platform::Block_Status::Ok) << a.error();
  struct stat st {};
  ASSERT_EQ(stat(("/dev/shm" + platform::SHM_NAME(name)).c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(st.st_size, 128);
  EXPECT_EQ(static_cast<const char*>(a.view())[127], 0);  // zero-filled

  platform::Shared_Block again;
  EXPECT_EQ(again.CREATE(name, 128), platform::Block_Status::Exists);

  std::strcpy(static_cast<char*>(a.view()), "0,1,2,0,9,9,8\n");
  platform::Shared_Block b;
  ASSERT_EQ(b.OPEN(name, 128), platform::Block_Status::Ok) << b.error();
  EXPECT_STREQ(static_cast<const char*>(b.view()), "0,1,2,0,9,9,8\n");

  platform::Shared_Block too_big;
  EXPECT_EQ(too_big.OPEN(name, 2300), platform::Block_Status::Map_Failed);

  platform::Shared_Block taken;
  ASSERT_EQ(taken.CREATE_OR_TAKE(name, 128), platform::Block_Status::Ok);
  EXPECT_STREQ(static_cast<const char*>(taken.view()), "0,1,2,0,9,9,8\n");  // old content kept

  EXPECT_TRUE(a.REMOVE()) << a.error();
  EXPECT_FALSE(shm_exists(name));
  platform::Shared_Block gone;
  EXPECT_EQ(gone.OPEN(name, 128), platform::Block_Status::Create_Failed);
  EXPECT_NE(gone.error().find("No such file"), std::string::npos) << gone.error();
}

TEST(SharedBlock, FailedCallLeavesNoBlockBehind) {
  const std::string name = unique_name("Inj");
  for (long n = 1;; ++n) {
    platform::Shared_Block b;
    IO_FAULT_ARM(n);
    platform::Block_Status s = b.CREATE(name, 2300);
    IO_FAULT_ARM(0);
    if (s == platform::Block_Status::Ok) {
      EXPECT_GE(n, 3);  // shm_open, ftruncate and mmap each failed once
      EXPECT_TRUE(b.REMOVE());
      break;
    }
    EXPECT_FALSE(b.error().empty());
    EXPECT_NE(b.error().find("Input/output error"), std::string::npos) << b.error();
    EXPECT_FALSE(shm_exists(name)) << "call " << n;
    ASSERT_LT(n, 10);
  }
}

namespace {

// Serves one peer in a thread: replies to each request with a value made from it.
struct Echo_Server {
  platform::Channel_Server server;
  std::thread thread;
  std::vector<platform::Request_Packet> seen;
  std::vector<std::string> batches;  // batch packets, whole
  int attach = -1;  // a descriptor to go with every reply

  void serve(int requests) {
    thread = std::thread([this, requests] {
      int peer = -1;
      while (peer < 0) peer = server.ACCEPT();
      for (int i = 0; i < requests;) {
        platform::Request_Packet p;
        platform::Receive_Status s = server.RECEIVE_WAIT(peer, p, 1000);
        if (s == platform::Receive_Status::Closed) return;
        if (s == platform::Receive_Status::Batch) batches.emplace_back(server.batch());
        else if (s == platform::Receive_Status::Request) seen.push_back(p);
        else continue;
        server.REPLY(peer, 0x04030201u + static_cast<std::uint32_t>(i), attach);
        ++i;
      }
    });
  }
  ~Echo_Server() {
    if (thread.joinable()) thread.join();
  }
};

}  // namespace

TEST(RequestChannel, OnePacketPerRequestAndALittleEndianReply) {
  const std::string name = unique_name("Chan");
  Echo_Server echo;
  ASSERT_EQ(echo.server.CLAIM(name), platform::Claim_Status::Claimed) << echo.server.error();
  platform::Channel_Server second;
  EXPECT_EQ(second.CLAIM(name), platform::Claim_Status::Taken);
  echo.serve(4);

  platform::Channel_Client client;
  ASSERT_TRUE(client.CONNECT(name)) << client.error();
  std::uint32_t reply = 0;
  ASSERT_EQ(client.SEND("K,1,/tmp;x;v", 13, reply), platform::Send_Status::Reply) << client.error();
  EXPECT_EQ(reply, 0x04030201u);
  std::string big(300, 'A');
  ASSERT_EQ(client.SEND(big.data(), big.size(), reply), platform::Send_Status::Reply);
  ASSERT_EQ(client.SEND("J!", 2, reply), platform::Send_Status::Reply);  // no terminating zero
  std::string exact(255, 'B');                                           // 255 + zero = 256: fits
  ASSERT_EQ(client.SEND(exact.c_str(), 256, reply), platform::Send_Status::Reply);
  EXPECT_EQ(reply, 0x04030204u);
  echo.thread.join();

  ASSERT_EQ(echo.seen.size(), 4u);
  EXPECT_TRUE(echo.seen[0].well_formed());
  EXPECT_STREQ(echo.seen[0].text, "K,1,/tmp;x;v");
  EXPECT_EQ(echo.seen[0].length, 13u);
  EXPECT_TRUE(echo.seen[1].oversize);
  EXPECT_FALSE(echo.seen[1].well_formed());
  EXPECT_EQ(echo.seen[1].length, 256u);
  EXPECT_FALSE(echo.seen[2].terminated);
  EXPECT_FALSE(echo.seen[2].well_formed());
  EXPECT_TRUE(echo.seen[3].well_formed());
  EXPECT_EQ(echo.seen[3].length, 256u);
}

TEST(RequestChannel, ABatchArrivesWholeAndALongerOneIsAnOversizeRequest) {
  const std::string name = unique_name("Batch");
  Echo_Server echo;
  ASSERT_EQ(echo.server.CLAIM(name), platform::Claim_Status::Claimed) << echo.server.error();
  echo.serve(3);
  platform::Channel_Client client;
  ASSERT_TRUE(client.CONNECT(name)) << client.error();
  std::string batch(platform::Max_Batch_Packet, 'b');
  batch[0] = platform::Batch_Packet_Mark;
  std::uint32_t reply = 0;
  ASSERT_EQ(client.SEND(batch.data(), batch.size(), reply), platform::Send_Status::Reply) << client.error();
  ASSERT_EQ(client.SEND("A!", 3, reply), platform::Send_Status::Reply);  // a request after it reads as before
  batch += 'c';
  ASSERT_EQ(client.SEND(batch.data(), batch.size(), reply), platform::Send_Status::Reply) << client.error();
  echo.thread.join();
  ASSERT_EQ(echo.batches.size(), 1u);
  EXPECT_EQ(echo.batches[0], batch.substr(0, platform::Max_Batch_Packet));
  ASSERT_EQ(echo.seen.size(), 2u);
  EXPECT_STREQ(echo.seen[0].text, "A!");
  EXPECT_TRUE(echo.seen[0].well_formed());
  EXPECT_TRUE(echo.seen[1].oversize);
  EXPECT_FALSE(echo.seen[1].well_formed());
}

TEST(SharedBuffer, ZeroFilledSealedAndSeenByTheReceiver) {
  platform::Shared_Buffer made;
  ASSERT_TRUE(made.CREATE(10000)) << made.error();
  const auto* bytes = static_cast<const unsigned char*>(made.view());
  EXPECT_TRUE(std::all_of(bytes, bytes + 10000, [](unsigned char c) { return c == 0; }));
  // The receiver can neither cut nor grow the file under the creator's mapping.
  const int handed = dup(made.fd());
  ASSERT_GE(handed, 0);
  EXPECT_NE(ftruncate(handed, 100), 0);
  EXPECT_NE(ftruncate(handed, 20000), 0);
  platform::Shared_Buffer seen;
  ASSERT_TRUE(seen.ADOPT(handed, 10000)) << seen.error();
  EXPECT_EQ(seen.fd(), -1);
  std::memcpy(seen.view(), "in place", 9);
  EXPECT_STREQ(static_cast<const char*>(made.view()), "in place");
  // The same file handed over again keeps its mapping.
  const void* view = seen.view();
  ASSERT_TRUE(seen.ADOPT(dup(made.fd()), 5000));
  EXPECT_EQ(seen.view(), view);
}

TEST(SharedBuffer, ShortUnsealedOrMissingFilesAreRefused) {
  platform::Shared_Buffer made;
  ASSERT_TRUE(made.CREATE(4096));
  platform::Shared_Buffer seen;
  EXPECT_FALSE(seen.ADOPT(dup(made.fd()), 4097));  // shorter than asked
  EXPECT_FALSE(seen.ADOPT(-1, 16));
  EXPECT_FALSE(seen.ADOPT(dup(made.fd()), 0));
  const int unsealed = memfd_create("unsealed", MFD_CLOEXEC);
  ASSERT_GE(unsealed, 0);
  ASSERT_EQ(ftruncate(unsealed, 8192), 0);
  EXPECT_FALSE(seen.ADOPT(unsealed, 16));  // could be cut under the mapping
  EXPECT_EQ(seen.view(), nullptr);
  EXPECT_FALSE(made.CREATE(0));
  IO_FAULT_ARM(1, 1, Io_Kind::Map);
  EXPECT_FALSE(made.CREATE(4096));
  IO_FAULT_ARM(0);
  EXPECT_EQ(made.view(), nullptr);
  EXPECT_EQ(made.fd(), -1);
}

// The server's waits: RECEIVE never sleeps; RECEIVE_WAIT sleeps until a packet comes or its
// time is up, under the limit of each call (a longer one after a shorter one is honoured), and
// tells a client that hung up.
TEST(RequestChannel, TheServerWaitsForAPacketWithinTheLimitOfEachCall) {
  const std::string name = unique_name("Wait");
  platform::Channel_Server server;
  ASSERT_EQ(server.CLAIM(name), platform::Claim_Status::Claimed) << server.error();
  auto client = std::make_unique<platform::Channel_Client>();
  ASSERT_TRUE(client->CONNECT(name)) << client->error();
  int peer = -1;
  while (peer < 0) peer = server.ACCEPT();
  platform::Request_Packet p;
  EXPECT_EQ(server.RECEIVE(peer, p), platform::Receive_Status::Nothing);
  EXPECT_EQ(server.RECEIVE_WAIT(peer, p, 2000), platform::Receive_Status::Nothing);
  EXPECT_EQ(server.RECEIVE_WAIT(peer, p, 0), platform::Receive_Status::Nothing);
  // A request sent a while after the wait began, within the second limit but past the first.
  for (const char* text : {"A!", "B!"}) {
    SCOPED_TRACE(text);
    std::uint32_t reply = 0;
    std::thread sender([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      client->SEND(text, 3, reply);
    });
    EXPECT_EQ(server.RECEIVE_WAIT(peer, p, 20000000), platform::Receive_Status::Request);
    EXPECT_STREQ(p.text, text);
    EXPECT_TRUE(server.REPLY(peer, 7));
    sender.join();
    EXPECT_EQ(reply, 7u);
    EXPECT_EQ(server.RECEIVE_WAIT(peer, p, 1000), platform::Receive_Status::Nothing);
  }
  client.reset();
  EXPECT_EQ(server.RECEIVE_WAIT(peer, p, 20000000), platform::Receive_Status::Closed);
}

TEST(RequestChannel, AReplyCarriesADescriptorToTheClient) {
  const std::string name = unique_name("Fd");
  Echo_Server echo;
  ASSERT_EQ(echo.server.CLAIM(name), platform::Claim_Status::Claimed);
  platform::Shared_Buffer made;
  ASSERT_TRUE(made.CREATE(8192));
  std::memcpy(made.view(), "from the server", 16);
  echo.attach = made.fd();
  echo.serve(2);
  platform::Channel_Client client;
  ASSERT_TRUE(client.CONNECT(name));
  std::uint32_t reply = 0;
  ASSERT_EQ(client.SEND("B!", 3, reply), platform::Send_Status::Reply);
  EXPECT_EQ(reply, 0x04030201u);
  platform::Shared_Buffer seen;
  ASSERT_TRUE(seen.ADOPT(client.TAKE_ATTACHED(), 8192)) << seen.error();
  EXPECT_STREQ(static_cast<const char*>(seen.view()), "from the server");
  EXPECT_EQ(client.TAKE_ATTACHED(), -1);  // taken once
  ASSERT_EQ(client.SEND("B!", 3, reply), platform::Send_Status::Reply);
  EXPECT_EQ(reply, 0x04030202u);
  client.CLOSE();
}

TEST(RequestChannel, ServerGoneIsToldApartFromAReply) {
  const std::string name = unique_name("Gone");
  platform::Channel_Client nobody;
  EXPECT_FALSE(nobody.CONNECT(name));
  EXPECT_NE(nobody.error().find("Connection refused"), std::string::npos) << nobody.error();
  EXPECT_FALSE(platform::SERVER_ACCEPTS(name));

  platform::Channel_Server server;
  ASSERT_EQ(server.CLAIM(name), platform::Claim_Status::Claimed);
  EXPECT_TRUE(platform::SERVER_ACCEPTS(name));
  platform::Channel_Client client;
  ASSERT_TRUE(client.CONNECT(name));
  int peer = -1;
  for (int i = 0; i < 1000 && peer < 0; ++i) peer = server.ACCEPT();
  ASSERT_GE(peer, 0);
  server.RELEASE();  // the server ends while the client is connected
  std::uint32_t reply = 7;
  EXPECT_EQ(client.SEND("A!", 3, reply), platform::Send_Status::Server_Gone);
  EXPECT_EQ(reply, 7u);
  // The name is free again once the server has gone.
  platform::Channel_Server next;
  EXPECT_EQ(next.CLAIM(name), platform::Claim_Status::Claimed);
}

TEST(RequestChannel, PeersOfAnotherUserAreRefused) {
  if (getuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  const std::string name = unique_name("Uid");
  platform::Channel_Server server;
  ASSERT_EQ(server.CLAIM(name), platform::Claim_Status::Claimed);
  pid_t child = fork();
  if (child == 0) {
    if (setuid(65534) != 0) _exit(3);
    // The socket name carries the server's uid, not ours: connect to it by its full name.
    int fd = socket(AF_UNIX, SOCK_SEQPACKET, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::string n = name + ".0";
    std::memcpy(addr.sun_path + 1, n.data(), n.size());
    if (connect(fd, reinterpret_cast<sockaddr*>(&addr),
                static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + n.size())) != 0)
      _exit(4);
    send(fd, "A!", 3, MSG_NOSIGNAL);
    char buf[4];
    ssize_t r = recv(fd, buf, 4, 0);
    _exit(r == 0 || r < 0 ? 0 : 5);  // refused: end of file, never a reply
  }
  int refused_before = static_cast<int>(server.refused_count());
  int status = 0;
  for (int i = 0; i < 2000 && waitpid(child, &status, WNOHANG) == 0; ++i) {
    EXPECT_LT(server.ACCEPT(), 0);
    usleep(1000);
  }
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(server.refused_count(), refused_before + 1);
  EXPECT_TRUE(server.peers().empty());
}

TEST(RequestChannel, FailedClaimLeavesTheNameFree) {
  const std::string name = unique_name("ClaimInj");
  for (long n = 1;; ++n) {
    platform::Channel_Server server;
    IO_FAULT_ARM(n);
    platform::Claim_Status s = server.CLAIM(name);
    IO_FAULT_ARM(0);
    if (s == platform::Claim_Status::Claimed) {
      EXPECT_EQ(n, 4);  // socket, bind and listen each failed once
      break;
    }
    EXPECT_EQ(s, platform::Claim_Status::Failed);
    EXPECT_FALSE(platform::SERVER_ACCEPTS(name));
    ASSERT_LT(n, 10);
  }
}

TEST(ProcessStart, SpawnAndWaitUntilIdleOrEnded) {
  std::string error;
  EXPECT_EQ(platform::SPAWN("/nonexistent/kornd", {}, error), -1);
  EXPECT_EQ(error, "posix_spawn /nonexistent/kornd: No such file or directory");

  pid_t t = platform::SPAWN("/bin/sh", {"-c", "exit 3"}, error);
  ASSERT_GT(t, 0) << error;
  int status = 0;
  EXPECT_EQ(platform::WAIT_FOR_IDLE(t, 5000, [] { return false; }, &status), platform::Wait_Status::Exited);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 3);

  pid_t s = platform::SPAWN("/bin/sleep", {"5"}, error);
  ASSERT_GT(s, 0);
  int polls = 0;
  EXPECT_EQ(platform::WAIT_FOR_IDLE(s, 5000, [&] { return ++polls == 3; }), platform::Wait_Status::Idle);
  EXPECT_EQ(platform::WAIT_FOR_IDLE(s, 30, [] { return false; }), platform::Wait_Status::Timed_Out);
  kill(s, SIGKILL);
  waitpid(s, nullptr, 0);
}

namespace {

// The "<field>:" mask of a process's status, as a number (~0 when it cannot be read).
unsigned long long status_mask(pid_t pid, const std::string& field) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(field + ":", 0) == 0) return std::stoull(line.substr(field.size() + 1), nullptr, 16);
  return ~0ull;
}

}  // namespace

// A program that blocks its end signals on the calling thread (to take them on a thread of its
// own) or ignores some must not hand that on: its server would then outlive it.
TEST(ProcessStart, ChildrenStartWithNoSignalBlockedOrIgnored) {
  using Spawn = pid_t (*)(const std::string&, const std::vector<std::string>&, std::string&);
  for (Spawn spawn : {&platform::SPAWN, &platform::SPAWN_DETACHED}) {
    pid_t child = -1;
    std::string error;
    void (*before)(int) = std::signal(SIGUSR1, SIG_IGN);
    std::thread([&] {
      sigset_t ends;
      sigemptyset(&ends);
      for (int s : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&ends, s);
      pthread_sigmask(SIG_BLOCK, &ends, nullptr);
      child = spawn("/bin/sleep", {"5"}, error);
    }).join();
    std::signal(SIGUSR1, before);
    ASSERT_GT(child, 0) << error;
    // The C library's own thread signals (32, 33) may stay ignored across exec; no other may.
    auto bit = [](int s) { return 1ull << (s - 1); };
    EXPECT_EQ(status_mask(child, "SigBlk"), 0u);
    EXPECT_EQ(status_mask(child, "SigIgn") & (bit(SIGINT) | bit(SIGTERM) | bit(SIGHUP) | bit(SIGUSR1)), 0u);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
  }
}
