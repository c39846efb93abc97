// Client_Channel.cpp - the connection's state, sending, the reserved replies, data-area
// transfers and the end of the connection.

#include <unistd.h>  // close

#include <cstdlib>  // std::exit
#include <cstring>
#include <string>
#include <utility>

#include "korin_client/Client_Report.h"
#include "korin_client/Client_State.h"
#include "korin_client/Korin_Seams.h"
#include "korin_client/Korin_Upper.h"
#include "korin_client/Latin1.h"
#include "korin_client/Request_Deferral.h"

namespace {

Korin_Stop installed_stop = nullptr;
Korin_Trace trace;

bool is_window_request(const char* text) { return text[0] != channel::Handshake && text[0] != channel::Open_Window && text[0] != channel::Quit; }

void trace_request(const KRclientstate& s, int length, bool deferred = false) {
  if (!trace) return;
  Korin_Trace_Entry e;
  e.text = s.request;
  e.length = length;
  e.deferred = deferred;
  const int w = static_cast<unsigned char>(s.request[1]) - 32;
  if (is_window_request(s.request)) e.block = KRblock(w);
  trace(e);
}

void trace_reply(std::uint32_t reply, bool flush = false, bool deferred = false) {
  if (!trace) return;
  Korin_Trace_Entry e;
  e.replied = true;
  e.reply = reply;
  e.flush = flush;
  e.deferred = deferred;
  trace(e);
}

void trace_sent() {
  if (!trace) return;
  Korin_Trace_Entry e;
  e.sent = true;
  trace(e);
}

void trace_flush() {
  if (!trace) return;
  Korin_Trace_Entry e;
  e.flush = true;
  trace(e);
}

void drop_batch(KRclientstate& s) {
  s.batch.CLEAR();
  s.in_batch.fill(false);
  s.deferred_new_object = false;
}

// The server is gone: forget it, so that nothing more is sent while the program ends.
void forget_server(KRclientstate& s) {
  drop_batch(s);
  s.channel.CLOSE();
  s.claim.RELEASE();
  s.server_window = 0;
}

}  // namespace

KRclientstate& KRstate() {
  static KRclientstate state;
  return state;
}

void KRsetstop(Korin_Stop stop) { installed_stop = stop; }

void KRstop(int exit_code) {
  if (installed_stop) installed_stop(exit_code);
  std::fflush(stdout);
  std::exit(exit_code);
}

void KRsettrace(Korin_Trace t) {
  trace = std::move(t);
  KRstate().channel.SET_SENT_HOOK(trace ? trace_sent : nullptr);
}

void KRsetbatching(bool on) {
  if (!on) KRflush();
  KRstate().batching = on;
}

channel::KRwinblock* KRblock(int w) {
  if (w < 1 || w > channel::Max_Window) return nullptr;
  return static_cast<channel::KRwinblock*>(KRstate().windows[static_cast<std::size_t>(w)].view());
}

namespace {

[[noreturn]] void overflow(std::string_view text) {
  KRreport(false, Korin_Message::Buffer_Overflow, {std::string(text)});
  KRrelease();
  KRstop(1);
}

}  // namespace

int KRsetrequest(const channel::Request_Bytes& bytes) {
  KRclientstate& s = KRstate();
  if (bytes.refusal == channel::Refusal::Too_Long) overflow(bytes.text);
  if (bytes.refusal != channel::Refusal::None) KRfatal(Korin_Message::Init_Failed);
  std::memcpy(s.request, bytes.text, bytes.length);
  return static_cast<int>(bytes.length);
}

namespace {

int request_window(const char* text) { return is_window_request(text) ? static_cast<unsigned char>(text[1]) - 32 : 0; }

// The request with the bytes of its window's block that changed since the batch last took
// them (the whole block the first time).
void add_to_batch(KRclientstate& s, int length) {
  const int w = request_window(s.request);
  channel::KRwinblock* b = KRblock(w);
  if (b == nullptr) {
    s.batch.APPEND(s.request, static_cast<std::size_t>(length), nullptr, nullptr, 0, false);
    return;
  }
  if (s.mirrors.empty()) s.mirrors.resize(channel::Max_Window + 1);
  s.batch.APPEND(s.request, static_cast<std::size_t>(length), b, &s.mirrors[static_cast<std::size_t>(w)], sizeof *b,
                 !s.in_batch[static_cast<std::size_t>(w)]);
  s.in_batch[static_cast<std::size_t>(w)] = true;
}

bool batch_has_room(const KRclientstate& s, int length) {
  return s.batch.bytes().size() + platform::Batch_Writer::WORST_CASE(static_cast<std::size_t>(length),
                                                                     sizeof(channel::KRwinblock)) <=
         platform::Max_Batch;
}

// Sends the batch and empties it first: handling its reply may send again.
platform::Send_Status send_batch(KRclientstate& s, std::uint32_t& reply) {
  const std::vector<char> bytes = s.batch.TAKE();
  drop_batch(s);
  return s.channel.SEND(bytes.data(), bytes.size(), reply);
}

// The reply after the reserved ones are handled: the server gone, a failure or an abort end
// the program.
std::int32_t take_reply(KRclientstate& s, platform::Send_Status sent, std::uint32_t reply, bool handshake) {
  if (sent != platform::Send_Status::Reply) {
    forget_server(s);
    if (handshake) KRfatal(Korin_Message::Launch_Failed, {"kornd"});
    KRfatal(Korin_Message::Window_Closed);
  }
  switch (reply) {
    case channel::Reply_Failed:
      KRfatal(Korin_Message::Ended_Abnormally);
    case channel::Reply_Refused:  // Abort chosen in the server: an abnormal end, not a normal one
      KRquitx(0);
      KRfatal(Korin_Message::Ended_Abnormally);
    case channel::Reply_Exit:
      KRrelease();
      KRstop(0);
    case channel::Reply_Forget:
      KRrelease();
      forget_server(s);
      return 0;
    case channel::Reply_Quit:
      return 1;
    default:
      return static_cast<std::int32_t>(reply);
  }
}

// Sends the batch before a request of window w whose arguments are in w's block already: the
// server replays the batch in the shared blocks, so that block is put back afterwards (what
// the server writes there for the batch is foreseen in it).
void flush_keeping_block(int w) {
  const channel::KRwinblock* b = KRblock(w);
  if (b == nullptr) return KRflush();
  const channel::KRwinblock kept = *b;
  KRflush();
  if (channel::KRwinblock* after = KRblock(w)) *after = kept;
}

}  // namespace

std::int32_t KRsend(int length) {
  KRclientstate& s = KRstate();
  if (length < 1 || length > static_cast<int>(channel::Max_Request))
    overflow(std::string_view(s.request, strnlen(s.request, channel::Max_Request)));
  const int w = request_window(s.request);
  if (!s.batch.empty() && !batch_has_room(s, length)) flush_keeping_block(w);
  if (s.server_window == 0) return 0;
  s.deferred_new_object = false;
  channel::KRwinblock* b = KRblock(w);
  if (s.deferring && s.batching && b != nullptr && KRdeferrable(s.request[0], *b)) {
    trace_request(s, length, true);
    add_to_batch(s, length);
    KRas_served(s.request[0], *b);
    KRas_served(s.request[0], s.mirrors[static_cast<std::size_t>(w)]);
    s.deferred_new_object = s.request[0] == channel::New_Object;
    trace_reply(static_cast<std::uint32_t>(w), false, true);
    return w;
  }
  trace_request(s, length);
  std::uint32_t reply = 0;
  platform::Send_Status sent;
  if (s.batch.empty()) {
    sent = s.channel.SEND(s.request, static_cast<std::size_t>(length), reply);
  } else {
    add_to_batch(s, length);
    sent = send_batch(s, reply);
  }
  if (sent == platform::Send_Status::Reply) trace_reply(reply);
  return take_reply(s, sent, reply, s.request[0] == channel::Handshake);
}

void KRflush() {
  KRclientstate& s = KRstate();
  if (s.batch.empty()) return;
  if (s.server_window == 0) return drop_batch(s);
  trace_flush();
  std::uint32_t reply = 0;
  const platform::Send_Status sent = send_batch(s, reply);
  if (sent == platform::Send_Status::Reply) trace_reply(reply, true);
  take_reply(s, sent, reply, false);
}

namespace {

std::int32_t send_window_request(int w, char letter) {
  channel::Request_Bytes bytes;
  channel::FORMAT_WINDOW_REQUEST(bytes, letter, w);
  return KRsend(KRsetrequest(bytes));
}

}  // namespace

std::int32_t KRwincode(int w, char letter, std::int32_t code) {
  channel::KRwinblock* b = KRblock(w);
  if (b == nullptr) return 0;
  b->code = code;
  return send_window_request(w, letter);
}

std::int32_t KRwincmd1(int w, char letter, std::int32_t code, std::int32_t a1) {
  channel::KRwinblock* b = KRblock(w);
  if (b == nullptr) return 0;
  b->a[0] = a1;
  return KRwincode(w, letter, code);
}

std::int32_t KRwincmd(int w, char letter, std::int32_t code, std::int32_t a1, std::int32_t a2) {
  channel::KRwinblock* b = KRblock(w);
  if (b == nullptr) return 0;
  b->a[1] = a2;
  return KRwincmd1(w, letter, code, a1);
}

namespace {

void put_data_text(int w, std::string_view latin1) {
  channel::KRwinblock* b = KRblock(w);
  if (b == nullptr) return;
  const std::string text = LATIN1_TO_UTF8(latin1, channel::Data_Size - 1);
  std::memcpy(b->data, text.data(), text.size());
  b->data[text.size()] = '\0';
}

}  // namespace

void KRsettext(int w, const char* text) {
  put_data_text(w, text ? std::string_view(text, strnlen(text, channel::Data_Size - 1)) : std::string_view());
}

void KRsetftext(int w, const char* text, std::size_t length) {
  std::string_view field = text ? std::string_view(text, length) : std::string_view();
  while (!field.empty() && field.back() == ' ') field.remove_suffix(1);
  if (field.size() > channel::Data_Size - 1) field = field.substr(0, channel::Data_Size - 1);
  put_data_text(w, field);
}

std::int32_t KRsenddata(int w, const void* bytes, std::int64_t count) {
  channel::KRwinblock* b = KRblock(w);
  if (b == nullptr) return 0;
  const char* p = static_cast<const char*>(bytes);
  for (std::int64_t offset = 0; offset < count; offset += static_cast<std::int64_t>(channel::Data_Size)) {
    const std::int64_t piece = std::min<std::int64_t>(count - offset, channel::Data_Size);
    std::memcpy(b->data, p + offset, static_cast<std::size_t>(piece));
    if (KRwincmd(w, channel::Control, channel::Control_Put_Data, static_cast<std::int32_t>(offset),
                 static_cast<std::int32_t>(piece)) == 0) {
      KRwincode(w, channel::Control, channel::Control_Drop_Object);
      return 0;
    }
  }
  return w;
}

void* KRdatabuffer(int w, std::size_t bytes) {
  KRclientstate& s = KRstate();
  if (std::exchange(s.deferred_new_object, false)) {
    if (char* staged = s.batch.PAYLOAD(bytes)) return staged;
    KRflush();  // no room: the point list goes now, and its reply brings the buffer
  }
  const int fd = s.channel.TAKE_ATTACHED();
  if (KRblock(w) == nullptr) {
    if (fd >= 0) close(fd);
    return nullptr;
  }
  platform::Shared_Buffer& buffer = s.data_buffers[static_cast<std::size_t>(w)];
  if (fd < 0 || !buffer.ADOPT(fd, bytes)) return nullptr;
  return buffer.view();
}

std::int32_t KRdatanumber(int w) {
  const channel::KRwinblock* b = KRblock(w);
  if (b == nullptr) return 0;
  return READ_DECIMAL(std::string_view(b->data, strnlen(b->data, channel::Data_Size))).value_or(0);
}

void KRrelease() {
  KRclientstate& s = KRstate();
  drop_batch(s);  // sent before any release that is not an end
  for (int w = 1; w <= channel::Max_Window; ++w) {
    platform::Shared_Block& block = s.windows[static_cast<std::size_t>(w)];
    if (block.view() != nullptr && !block.UNMAP())
      KRreport(true, Korin_Message::Unmap_Failed, {std::to_string(errno)});
    s.data_buffers[static_cast<std::size_t>(w)].RELEASE();
  }
  if (s.instance_block.view() != nullptr) s.instance_block.UNMAP();
  s.open_windows = 0;
  s.current = nullptr;
}

int KRquitx(int mode) {
  KRclientstate& s = KRstate();
  if (s.quit_done) return 0;
  KRflush();
  KRrelease();
  std::int32_t reply = 0;
  if (s.server_window != 0) {
    // Sent without the reserved-reply handling: an end must not start another end.
    channel::Request_Bytes bytes;
    channel::FORMAT_QUIT(bytes, mode);
    const int length = KRsetrequest(bytes);
    trace_request(s, length);
    std::uint32_t answer = 0;
    if (s.channel.SEND(s.request, static_cast<std::size_t>(length), answer) == platform::Send_Status::Reply) {
      trace_reply(answer);
      reply = answer == channel::Reply_Quit ? 1 : static_cast<std::int32_t>(answer);
    }
    forget_server(s);
  }
  s.quit_done = true;
  return reply;
}

int KRquit() { return KRquitx(1); }
