// Request_Channel.cpp - abstract SOCK_SEQPACKET request channel (see Request_Channel.h).
// Reads and writes: the instance's socket "\0<block name>.<uid>". Changes no global state.
#include "platform/Request_Channel.h"

#include <poll.h>        // poll, POLLRDHUP
#include <sys/time.h>    // timeval
#include <sys/socket.h>  // socket, bind, accept4, recvmsg, sendmsg
#include <sys/un.h>      // sockaddr_un
#include <unistd.h>      // close, getuid

#include <algorithm>  // std::find
#include <cerrno>     // errno
#include <cstring>    // std::memcpy, std::memchr, std::strerror

#include "platform/Io_Fault.h"
#include "platform/Name_Scope.h"

namespace platform {

std::string SOCKET_NAME(const std::string& block_name) {
  return block_name + NAME_SCOPE();
}

static std::string reason(const char* call) { return std::string(call) + ": " + std::strerror(errno); }

// Fills an abstract address; returns its length for bind/connect.
static socklen_t abstract_address(const std::string& block_name, sockaddr_un& addr) {
  const std::string name = SOCKET_NAME(block_name);
  addr = {};
  addr.sun_family = AF_UNIX;
  std::size_t n = std::min(name.size(), sizeof(addr.sun_path) - 1);
  std::memcpy(addr.sun_path + 1, name.data(), n);  // sun_path[0] stays 0: abstract namespace
  return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + n);
}

Channel_Server::~Channel_Server() { RELEASE(); }

Claim_Status Channel_Server::CLAIM(const std::string& block_name) {
  RELEASE();
  error_.clear();
  int fd = IO_FAULT_HIT(Io_Kind::Open) ? -1 : socket(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    error_ = reason("socket");
    return Claim_Status::Failed;
  }
  sockaddr_un addr;
  socklen_t len = abstract_address(block_name, addr);
  if (IO_FAULT_HIT(Io_Kind::Other) || bind(fd, reinterpret_cast<sockaddr*>(&addr), len) != 0) {
    bool taken = errno == EADDRINUSE;
    error_ = reason("bind");
    close(fd);
    return taken ? Claim_Status::Taken : Claim_Status::Failed;
  }
  if (IO_FAULT_HIT(Io_Kind::Other) || listen(fd, 16) != 0) {
    error_ = reason("listen");
    close(fd);
    return Claim_Status::Failed;
  }
  listen_fd_ = fd;
  return Claim_Status::Claimed;
}

void Channel_Server::RELEASE() {
  for (int p : peers_) close(p);
  peers_.clear();
  receive_waits_.clear();
  if (listen_fd_ >= 0) close(listen_fd_);
  listen_fd_ = -1;
}

int Channel_Server::ACCEPT() {
  if (listen_fd_ < 0) return -1;
  // Blocking, so that RECEIVE_WAIT sleeps in its one receive; the other calls do not wait.
  int fd = accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
  if (fd < 0) {
    if (errno != EAGAIN && errno != EWOULDBLOCK) error_ = reason("accept4");
    return -1;
  }
  ucred cred{};
  socklen_t len = sizeof cred;
  if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) != 0 || cred.uid != getuid()) {
    ++refused_;
    close(fd);
    return -1;
  }
  peers_.push_back(fd);
  return fd;
}

Receive_Status Channel_Server::RECEIVE(int peer, Request_Packet& packet) { return receive(peer, packet, MSG_DONTWAIT); }

Receive_Status Channel_Server::receive(int peer, Request_Packet& packet, int flags) {
  // A byte more than a batch may hold, so that a longer packet shows as truncated.
  if (buffer_.empty()) buffer_.resize(Max_Batch_Packet + 1);
  iovec iov{buffer_.data(), buffer_.size()};
  msghdr msg{};
  msg.msg_iov = &iov;
  msg.msg_iovlen = 1;
  ssize_t n = IO_FAULT_HIT(Io_Kind::Read) ? -1 : recvmsg(peer, &msg, flags);
  if (n < 0) {
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return Receive_Status::Nothing;
    error_ = reason("recvmsg");
    return Receive_Status::Closed;
  }
  if (n == 0) return Receive_Status::Closed;  // end of file (an empty packet reads the same)
  const bool truncated = (msg.msg_flags & MSG_TRUNC) != 0 || static_cast<std::size_t>(n) > Max_Batch_Packet;
  if (buffer_[0] == Batch_Packet_Mark && !truncated) {
    batch_length_ = static_cast<std::size_t>(n);
    return Receive_Status::Batch;
  }
  packet.length = std::min(static_cast<std::size_t>(n), sizeof packet.text - 1);
  packet.oversize = truncated || static_cast<std::size_t>(n) > sizeof packet.text - 1;
  std::memcpy(packet.text, buffer_.data(), packet.length);
  packet.text[packet.length] = '\0';
  packet.terminated = std::memchr(packet.text, '\0', packet.length) != nullptr;
  return Receive_Status::Request;
}

// The next request of a burst mostly comes after the reply has woken its client: one receive
// that sleeps until it comes (or the wait ends) costs one call, where a look, a poll and a
// second look cost three.
Receive_Status Channel_Server::RECEIVE_WAIT(int peer, Request_Packet& packet, int wait_us) {
  if (wait_us <= 0) return RECEIVE(peer, packet);
  int& set = receive_waits_[peer];
  if (set != wait_us) {
    const timeval limit{wait_us / 1000000, static_cast<suseconds_t>(wait_us % 1000000)};
    if (setsockopt(peer, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit) != 0) return RECEIVE(peer, packet);
    set = wait_us;
  }
  return receive(peer, packet, 0);  // the wait ended or a signal came: nothing
}

bool Channel_Server::REPLY(int peer, std::uint32_t reply, int attached) {
  unsigned char bytes[4] = {static_cast<unsigned char>(reply), static_cast<unsigned char>(reply >> 8),
                            static_cast<unsigned char>(reply >> 16), static_cast<unsigned char>(reply >> 24)};
  iovec iov{bytes, sizeof bytes};
  msghdr msg{};
  msg.msg_iov = &iov;
  msg.msg_iovlen = 1;
  alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
  if (attached >= 0) {
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    cmsghdr* c = CMSG_FIRSTHDR(&msg);
    c->cmsg_level = SOL_SOCKET;
    c->cmsg_type = SCM_RIGHTS;
    c->cmsg_len = CMSG_LEN(sizeof(int));
    std::memcpy(CMSG_DATA(c), &attached, sizeof attached);
  }
  ssize_t n = IO_FAULT_HIT(Io_Kind::Write) ? -1 : sendmsg(peer, &msg, MSG_NOSIGNAL | MSG_DONTWAIT);
  if (n != static_cast<ssize_t>(sizeof bytes)) {
    error_ = reason("sendmsg");
    return false;
  }
  return true;
}

bool Channel_Server::HUNG_UP(int peer) const {
  pollfd p{peer, POLLRDHUP, 0};
  return poll(&p, 1, 0) == 1 && (p.revents & (POLLHUP | POLLRDHUP | POLLERR)) != 0;
}

void Channel_Server::DROP(int peer) {
  auto it = std::find(peers_.begin(), peers_.end(), peer);
  if (it == peers_.end()) return;
  peers_.erase(it);
  receive_waits_.erase(peer);
  close(peer);
}

Channel_Client::~Channel_Client() { CLOSE(); }

bool Channel_Client::CONNECT(const std::string& block_name) {
  CLOSE();
  error_.clear();
  int fd = IO_FAULT_HIT(Io_Kind::Open) ? -1 : socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    error_ = reason("socket");
    return false;
  }
  sockaddr_un addr;
  socklen_t len = abstract_address(block_name, addr);
  if (IO_FAULT_HIT(Io_Kind::Other) || connect(fd, reinterpret_cast<sockaddr*>(&addr), len) != 0) {
    error_ = reason("connect");
    close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

// Turns a failed send/recv errno into the client's verdict.
static bool server_gone(int err) {
  return err == EPIPE || err == ECONNREFUSED || err == ECONNRESET || err == ENOTCONN;
}

// Receives a reply packet; a descriptor that came with it goes to `attached` (any further one
// is closed: a reply carries at most one).
static ssize_t receive_reply(int fd, unsigned char* bytes, std::size_t size, int flags, int& attached) {
  iovec iov{bytes, size};
  msghdr msg{};
  msg.msg_iov = &iov;
  msg.msg_iovlen = 1;
  alignas(cmsghdr) char control[CMSG_SPACE(4 * sizeof(int))];
  msg.msg_control = control;
  msg.msg_controllen = sizeof control;
  const ssize_t n = recvmsg(fd, &msg, flags | MSG_CMSG_CLOEXEC);
  if (n < 0) return n;
  for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c != nullptr; c = CMSG_NXTHDR(&msg, c)) {
    if (c->cmsg_level != SOL_SOCKET || c->cmsg_type != SCM_RIGHTS) continue;
    const std::size_t count = (c->cmsg_len - CMSG_LEN(0)) / sizeof(int);
    for (std::size_t i = 0; i < count; ++i) {
      int received;
      std::memcpy(&received, CMSG_DATA(c) + i * sizeof(int), sizeof received);
      if (attached < 0) attached = received;
      else close(received);
    }
  }
  return n;
}

Send_Status Channel_Client::SEND(const void* text, std::size_t length, std::uint32_t& reply) {
  if (attached_ >= 0) close(attached_);  // not taken after the previous reply
  attached_ = -1;
  if (fd_ < 0) {
    error_ = "not connected";
    return Send_Status::Server_Gone;
  }
  ssize_t sent;
  do sent = IO_FAULT_HIT(Io_Kind::Write) ? -1 : send(fd_, text, length, MSG_NOSIGNAL);
  while (sent < 0 && errno == EINTR);
  if (sent < 0) {
    bool gone = server_gone(errno);
    error_ = reason("send");
    return gone ? Send_Status::Server_Gone : Send_Status::Failed;
  }
  if (sent_hook_ != nullptr) sent_hook_();
  unsigned char bytes[8];
  ssize_t n;
  do n = receive_reply(fd_, bytes, sizeof bytes, 0, attached_);
  while (n < 0 && errno == EINTR);
  if (n == 0) {
    error_ = "recv: the server closed the connection";
    return Send_Status::Server_Gone;
  }
  if (n < 0) {
    bool gone = server_gone(errno);
    error_ = reason("recv");
    return gone ? Send_Status::Server_Gone : Send_Status::Failed;
  }
  if (n != 4) {
    error_ = "recv: reply of " + std::to_string(n) + " bytes instead of 4";
    return Send_Status::Failed;
  }
  reply = std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 | std::uint32_t(bytes[2]) << 16 |
          std::uint32_t(bytes[3]) << 24;
  return Send_Status::Reply;
}

int Channel_Client::TAKE_ATTACHED() {
  const int fd = attached_;
  attached_ = -1;
  return fd;
}

void Channel_Client::CLOSE() {
  if (fd_ >= 0) close(fd_);
  if (attached_ >= 0) close(attached_);
  fd_ = -1;
  attached_ = -1;
}

bool SERVER_ACCEPTS(const std::string& block_name) {
  Channel_Client probe;
  return probe.CONNECT(block_name);
}

Instance_Claim::~Instance_Claim() { RELEASE(); }

bool Instance_Claim::TAKE(const std::string& block_name) {
  RELEASE();
  const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  sockaddr_un addr{};
  const socklen_t length = abstract_address(block_name + ".client", addr);
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&addr), length) != 0) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

void Instance_Claim::RELEASE() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

}  // namespace platform
