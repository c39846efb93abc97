// CKorndChannel.cpp - request channel of the server in the event loop (see CKorndChannel.h).
#include "kornd/CKorndChannel.h"

#include <QSocketNotifier>

#include <chrono>
#include <cstdio>

#include "platform/Channel_Blocks.h"
#include "platform/Channel_Protocol.h"

namespace {
// A burst goes on while the next request comes within this gap (asleep in the kernel, not
// spinning): drawing updates the windows' surfaces at once, and the event loop paints them
// once when the burst ends.
constexpr int Burst_Gap_Us = 5000;
constexpr int Burst_Limit_Ms = 100;  // a longer burst lets the event loop paint in between
}  // namespace

CKorndChannel::CKorndChannel() = default;

CKorndChannel::~CKorndChannel() { Stop(); }

platform::Claim_Status CKorndChannel::Claim(const std::string& block_name) { return server_.CLAIM(block_name); }

void CKorndChannel::Start(Handler handler, Attachment attachment, Entry_Handler entry_handler) {
  handler_ = std::move(handler);
  attachment_ = std::move(attachment);
  entry_handler_ = std::move(entry_handler);
  if (server_.listen_fd() < 0 || listen_notifier_) return;
  listen_notifier_ = new QSocketNotifier(server_.listen_fd(), QSocketNotifier::Read, this);
  connect(listen_notifier_, &QSocketNotifier::activated, this, &CKorndChannel::OnListen);
}

void CKorndChannel::Stop() {
  muted_.clear();
  delete listen_notifier_;
  listen_notifier_ = nullptr;
  for (auto& [fd, n] : peer_notifiers_) delete n;
  peer_notifiers_.clear();
  server_.RELEASE();
}

// Notifiers stay on between requests; one that fires inside a request (a box or a wait runs
// its own event loop) is switched off until the request has been answered.
void CKorndChannel::SetReading(bool on) {
  if (on) {
    for (QSocketNotifier* n : muted_) n->setEnabled(true);
    muted_.clear();
  }
}

void CKorndChannel::Mute(QSocketNotifier* n) {
  n->setEnabled(false);
  muted_.push_back(n);
}

std::uint32_t CKorndChannel::ServeBatch(int& attached) {
  platform::Batch_Reader reader(server_.batch(), sizeof(channel::KRwinblock));
  platform::Batch_Entry entry;
  std::uint32_t reply = channel::Reply_Failed;
  while (reader.NEXT(entry)) {
    attached = -1;  // only the last entry's buffer goes back (the window owns the descriptor)
    reply = entry_handler_ ? entry_handler_(entry) : channel::Reply_Failed;
    if (Stopped()) return reply;
    if (attachment_) attached = attachment_();
    if (channel::IS_RESERVED_REPLY(reply)) return reply;
  }
  if (!reader.failed()) return reply;
  std::fprintf(stderr, "kornd: a malformed request batch was refused\n");
  attached = -1;
  return channel::Reply_Failed;
}

void CKorndChannel::OnListen() {
  if (serving_) {
    Mute(listen_notifier_);
    return;
  }
  for (;;) {
    int fd = server_.ACCEPT();
    if (fd < 0) return;
    auto* n = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(n, &QSocketNotifier::activated, this, [this, fd] { OnPeer(fd); });
    peer_notifiers_[fd] = n;
  }
}

void CKorndChannel::OnPeer(int fd) {
  if (serving_) {
    auto it = peer_notifiers_.find(fd);
    if (it != peer_notifiers_.end()) Mute(it->second);
    // Nobody will read the reply of a waiting request whose client is gone: the wait ends.
    if (fd == served_ && client_gone_ && server_.HUNG_UP(fd)) client_gone_();
    return;
  }
  auto started = std::chrono::steady_clock::now();
  platform::Request_Packet packet;
  platform::Receive_Status status = server_.RECEIVE(fd, packet);
  while (status == platform::Receive_Status::Request || status == platform::Receive_Status::Batch) {
    serving_ = true;
    served_ = fd;
    int attached = -1;
    std::uint32_t reply;
    if (status == platform::Receive_Status::Batch) {
      reply = ServeBatch(attached);
    } else {
      reply = handler_ ? handler_(packet) : channel::Reply_Failed;
      if (!Stopped() && attachment_) attached = attachment_();
    }
    serving_ = false;
    served_ = -1;
    if (Stopped()) return;  // stopped inside the request
    SetReading(true);
    if (!server_.REPLY(fd, reply, attached)) {
      status = platform::Receive_Status::Closed;
      break;
    }
    if (std::chrono::steady_clock::now() - started > std::chrono::milliseconds(Burst_Limit_Ms)) return;
    status = server_.RECEIVE_WAIT(fd, packet, Burst_Gap_Us);
  }
  if (status == platform::Receive_Status::Closed) {
    auto it = peer_notifiers_.find(fd);
    if (it != peer_notifiers_.end()) {
      std::erase(muted_, it->second);
      it->second->setEnabled(false);
      it->second->deleteLater();
      peer_notifiers_.erase(it);
    }
    server_.DROP(fd);
  }
}
