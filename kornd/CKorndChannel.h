// CKorndChannel.h - the server's end of the request channel inside the Qt event loop.
//
// Socket notifiers on the listening socket and on every peer wake the GUI thread; each request
// is parsed and handed to the main frame's request entry, and its reply is sent back. After a
// reply the channel sleeps a few milliseconds for the next request of a burst; the event loop
// paints the windows once the burst ends (or every 100 ms in a long one). While one request
// runs (its boxes and waits included) no other request is read.
// Reads and writes: the instance's socket. Changes: nothing beyond its own peers.
#pragma once

#include <QObject>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Request_Channel.h"

class QSocketNotifier;

class CKorndChannel : public QObject {
 public:
  using Handler = std::function<std::uint32_t(const platform::Request_Packet&)>;
  // After the handler: a descriptor to go with the reply (a shared data buffer), or -1.
  using Attachment = std::function<int()>;

  CKorndChannel();
  ~CKorndChannel() override;

  // Claims the instance's socket under its block name.
  platform::Claim_Status Claim(const std::string& block_name);
  // Starts serving requests through the handler.
  void Start(Handler handler, Attachment attachment = nullptr);
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

  platform::Channel_Server server_;
  Handler handler_;
  Attachment attachment_;
  QSocketNotifier* listen_notifier_ = nullptr;
  std::map<int, QSocketNotifier*> peer_notifiers_;
  std::vector<QSocketNotifier*> muted_;  // switched off while a request runs
  bool serving_ = false;
  int served_ = -1;  // the peer whose request runs
  std::function<void()> client_gone_;
};
