// CKorndChannel.h - the server's end of the request channel inside the Qt event loop.
//
// Socket notifiers on the listening socket and on every peer wake the GUI thread; each request
// is parsed and handed to the main frame's request entry, and its reply is sent back. After a
// reply the channel sleeps a few milliseconds for the next request of a burst; the event loop
// paints the windows once the burst ends (or every 100 ms in a long one). While one request
// runs (its boxes and waits included) no other request is read.
// A batch packet (our client's requests that need no reply, then the one that does) is served
// entry by entry through the entry handler, stopping at a reserved reply; the reply of the
// entry served last answers the packet, with its descriptor.
// Reads and writes: the instance's socket. Changes: nothing beyond its own peers.
#pragma once

#include <QObject>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Request_Batch.h"
#include "platform/Request_Channel.h"

class QSocketNotifier;

class CKorndChannel : public QObject {
 public:
  using Handler = std::function<std::uint32_t(const platform::Request_Packet&)>;
  // After the handler: a descriptor to go with the reply (a shared data buffer), or -1.
  using Attachment = std::function<int()>;
  // One entry of a batch: its block bytes put in place, then served like a request.
  using Entry_Handler = std::function<std::uint32_t(const platform::Batch_Entry&)>;

  CKorndChannel();
  ~CKorndChannel() override;

  // Claims the instance's socket under its block name.
  platform::Claim_Status Claim(const std::string& block_name);
  // Starts serving requests through the handler.
  void Start(Handler handler, Attachment attachment = nullptr, Entry_Handler entry_handler = nullptr);
  // Called when the client of the running request hangs up while the request runs.
  void OnClientGone(std::function<void()> gone) { client_gone_ = std::move(gone); }
  // Stops reading and closes every socket.
  void Stop();
  const std::string& error() const { return server_.error(); }

 private:
  void OnListen();
  void OnPeer(int fd);
  void SetReading(bool on);
  void Mute(QSocketNotifier* n);
  bool Stopped() const { return peer_notifiers_.empty() && !listen_notifier_; }
  // Serves the entries of the batch just received; the last reply and its descriptor.
  std::uint32_t ServeBatch(int& attached);

  platform::Channel_Server server_;
  Handler handler_;
  Attachment attachment_;
  Entry_Handler entry_handler_;
  QSocketNotifier* listen_notifier_ = nullptr;
  std::map<int, QSocketNotifier*> peer_notifiers_;
  std::vector<QSocketNotifier*> muted_;  // switched off while a request runs
  bool serving_ = false;
  int served_ = -1;  // the peer whose request runs
  std::function<void()> client_gone_;
};
