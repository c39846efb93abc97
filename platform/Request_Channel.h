// Request_Channel.h - the request channel between clients and kornd: one abstract AF_UNIX
// SOCK_SEQPACKET socket per server instance, one request text per packet, one 4-byte reply.
//
// Server side: CLAIM binds "\0<block name>.<uid>" (binding is the claim of the instance number),
// ACCEPT takes peers of the server's own user only, RECEIVE reads one packet without waiting,
// REPLY sends the 32-bit result little-endian, with a descriptor attached when a request made
// a shared data buffer. Client side: CONNECT, then SEND sleeps in the kernel until the reply
// arrives and tells "server gone" apart from a reply; a descriptor that came with the reply
// waits in TAKE_ATTACHED. Neither side keeps global state.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Returns the abstract socket name without its leading zero byte: block name + "." + uid.
std::string SOCKET_NAME(const std::string& block_name);

// A packet that starts with this byte is a batch of requests (Request_Batch.h), at most
// Max_Batch_Packet bytes; no request text starts with it.
constexpr char Batch_Packet_Mark = '\x01';
constexpr std::size_t Max_Batch_Packet = 64 * 1024;

// One request as it came off the socket.
struct Request_Packet {
  char text[257];          // the packet's bytes, always zero-terminated here
  std::size_t length = 0;  // bytes received (at most 256 kept)
  bool oversize = false;   // the packet held more than 256 bytes
  bool terminated = false; // the packet holds a zero byte; the text ends at the first one
  // A request is well formed when it fits and carries its terminating zero.
  bool well_formed() const { return !oversize && terminated; }
};

enum class Claim_Status { Claimed, Taken, Failed };
// Batch: a packet of several requests (Request_Batch.h), readable through batch().
enum class Receive_Status { Request, Batch, Nothing, Closed };

class Channel_Server {
 public:
  Channel_Server() = default;
  Channel_Server(const Channel_Server&) = delete;
  Channel_Server& operator=(const Channel_Server&) = delete;
  ~Channel_Server();

  // Binds and listens under the block name. Taken: another process holds that name.
  Claim_Status CLAIM(const std::string& block_name);
  // Closes the listening socket and every peer.
  void RELEASE();
  int listen_fd() const { return listen_fd_; }

  // Accepts one waiting peer: its descriptor, or -1 when none waits or it was refused
  // (another user: refused and closed; see refused_count()).
  int ACCEPT();
  // Reads one packet from a peer without waiting.
  Receive_Status RECEIVE(int peer, Request_Packet& packet);
  // Like RECEIVE, but sleeps up to wait_us microseconds for a packet before answering Nothing
  // (also when a signal comes).
  Receive_Status RECEIVE_WAIT(int peer, Request_Packet& packet, int wait_us);
  // Sends the reply, with a copy of descriptor `attached` when it is not -1; false when the
  // peer is gone.
  bool REPLY(int peer, std::uint32_t reply, int attached = -1);
  // Closes a peer.
  void DROP(int peer);
  // True when the peer has hung up (its end is closed), also with packets still unread.
  bool HUNG_UP(int peer) const;

  // The packet of the last receive that answered Batch.
  std::string_view batch() const { return std::string_view(buffer_.data(), batch_length_); }

  const std::vector<int>& peers() const { return peers_; }
  long refused_count() const { return refused_; }
  const std::string& error() const { return error_; }

 private:
  Receive_Status receive(int peer, Request_Packet& packet, int flags);

  int listen_fd_ = -1;
  std::vector<int> peers_;
  std::vector<char> buffer_;  // every packet is read here first: a batch is larger than a request
  std::size_t batch_length_ = 0;
  std::map<int, int> receive_waits_;  // the receive time limit set on a peer, microseconds
  long refused_ = 0;
  std::string error_;
};

enum class Send_Status { Reply, Server_Gone, Failed };

class Channel_Client {
 public:
  Channel_Client() = default;
  Channel_Client(const Channel_Client&) = delete;
  Channel_Client& operator=(const Channel_Client&) = delete;
  ~Channel_Client();

  // Connects to the server of a block name; false when there is none (error() says why).
  bool CONNECT(const std::string& block_name);
  // Sends one packet of `length` bytes and sleeps until the 4-byte reply arrives, without a
  // time limit.
  Send_Status SEND(const void* text, std::size_t length, std::uint32_t& reply);
  // Called once a packet has left, before the wait for its reply (tracing); null: none.
  void SET_SENT_HOOK(void (*hook)()) { sent_hook_ = hook; }
  // The descriptor that came with the last reply (the caller owns it), or -1.
  int TAKE_ATTACHED();
  void CLOSE();
  bool connected() const { return fd_ >= 0; }
  const std::string& error() const { return error_; }

 private:
  int fd_ = -1;
  int attached_ = -1;
  void (*sent_hook_)() = nullptr;
  std::string error_;
};

// True when a server listens under the block name and accepts a connection.
bool SERVER_ACCEPTS(const std::string& block_name);

// A client's hold on a server instance while it uses it: an abstract socket name beside the
// server's ("\0<block name>.<uid>.client"), so two clients that find one free server at the same
// moment cannot both take it. The kernel drops the name when the holder ends, however it ends.
class Instance_Claim {
 public:
  Instance_Claim() = default;
  Instance_Claim(const Instance_Claim&) = delete;
  Instance_Claim& operator=(const Instance_Claim&) = delete;
  ~Instance_Claim();

  // True when this client now holds the instance; false when another holds it or it failed.
  bool TAKE(const std::string& block_name);
  void RELEASE();
  bool held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace platform
