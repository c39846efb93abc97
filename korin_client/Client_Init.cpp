// Client_Init.cpp - finding a free kornd or starting one, the handshake and the version check.
//
// A free server shows "0,<pid>,<key>,<version>" in its instance block; the first request that
// opens a window overwrites the line. Its socket must accept (a line of a server that died
// outlives it in shared memory), and no other client may hold the instance.

#include <sys/stat.h>  // stat
#include <unistd.h>    // getcwd, access

#include <climits>  // PATH_MAX
#include <cstdlib>  // std::getenv
#include <cstring>
#include <string>
#include <vector>

#include "korin_client/Client_Report.h"
#include "korin_client/Client_State.h"
#include "korin_client/Korin.h"
#include "korin_client/Korin_Seams.h"
#include "korin_client/Korin_Upper.h"
#include "korin_client/Latin1.h"
#include "platform/Process_Start.h"

namespace {

constexpr const char* Server_Name = "kornd";
constexpr int Launch_Wait_Ms = 60000;

struct Instance_Line {
  std::int32_t first = -1, pid = 0, key = 0;
  std::string version;
};

// Reads "%d,%d,%d,%[^\n]" from the block's 128 bytes; false unless all four fields read.
bool read_instance_line(const platform::Shared_Block& block, Instance_Line& line) {
  const char* bytes = static_cast<const char*>(block.view());
  std::string_view text(bytes, strnlen(bytes, sizeof(channel::KRinstblock)));
  std::int32_t* fields[] = {&line.first, &line.pid, &line.key};
  for (std::int32_t* field : fields) {
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos) return false;
    const auto value = READ_DECIMAL(text.substr(0, comma));
    if (!value) return false;
    *field = *value;
    text.remove_prefix(comma + 1);
  }
  line.version = std::string(text.substr(0, text.find('\n')));
  return !line.version.empty();
}

std::string program_path() {
  char path[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
  return n > 0 ? std::string(path, static_cast<std::size_t>(n)) : std::string();
}

std::string switch_text(int flags, int x, int y, int width, int height, int arrange, int show, int zorder) {
  std::string text;
  if (flags >= 0) {
    const char letters[] = {'b', 'r', 'i', 'l'};
    for (int bit = 0; bit < 4; ++bit) {
      const char c = letters[bit];
      text += " /";
      text += (flags >> bit) & 1 ? c : static_cast<char>(c - 'a' + 'A');
    }
  }
  if (x >= 0 && y >= 0) text += " /p" + std::to_string(x) + "," + std::to_string(y);
  if (width > 0 && height > 0) text += " /s" + std::to_string(width) + "," + std::to_string(height);
  if (arrange >= 1 && arrange <= 4) text += " /a" + std::to_string(arrange);
  if (show >= 0 && show <= 14) text += " /m" + std::to_string(show);
  if (zorder >= 1 && zorder <= 4) text += " /z" + std::to_string(zorder);
  return text;
}

std::vector<std::string> split_switches(const std::string& text) {
  std::vector<std::string> words;
  std::size_t at = 0;
  while ((at = text.find_first_not_of(' ', at)) != std::string::npos) {
    const std::size_t end = text.find(' ', at);
    words.push_back(text.substr(at, end - at));
    at = end;
  }
  return words;
}

// Up to four comma-separated integers of a version text.
std::vector<long> version_numbers(const std::string& text) {
  std::vector<long> numbers;
  std::string_view rest(text);
  while (numbers.size() < 4) {
    const auto value = READ_DECIMAL(rest.substr(0, rest.find(',')));
    if (!value) break;
    numbers.push_back(*value);
    const std::size_t comma = rest.find(',');
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
  return numbers;
}

void check_version(const std::string& server) {
  const std::string library = channel::Server_Version;
  if (server == library) return;
  const std::vector<long> s = version_numbers(server), l = version_numbers(library);
  if (s.size() != l.size()) {
    KRreport(false, Korin_Message::Server_Older_Count, {Server_Name, library});
    return;
  }
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] < l[i]) {
      KRreport(false, Korin_Message::Server_Older, {Server_Name, server, library});
      return;
    }
    if (l[i] < s[i]) {
      KRreport(false, Korin_Message::Library_Older, {library, Server_Name, server});
      return;
    }
  }
}

void handshake() {
  KRclientstate& s = KRstate();
  char folder[PATH_MAX] = "";
  if (::getcwd(folder, sizeof folder) == nullptr) folder[0] = '\0';
  channel::Request_Bytes bytes;
  channel::FORMAT_HANDSHAKE(bytes, s.server_key, folder, s.program_path);
  if (KRsend(KRsetrequest(bytes)) != s.server_key) KRfatal(Korin_Message::Init_Failed);
}

}  // namespace

std::int32_t KRfindserver() {
  KRclientstate& s = KRstate();
  for (int n = channel::First_Instance; n <= channel::Last_Client_Instance; ++n) {
    const std::string name = channel::INSTANCE_BLOCK_NAME(n);
    platform::Shared_Block block;
    if (block.OPEN(name, sizeof(channel::KRinstblock)) != platform::Block_Status::Ok) continue;
    Instance_Line line;
    if (!read_instance_line(block, line) || line.first != 0) continue;
    if (!s.claim.TAKE(name)) continue;  // another client is taking it
    if (!s.channel.CONNECT(name)) {     // a dead server's leftover block
      s.claim.RELEASE();
      continue;
    }
    s.instance = n;
    s.server_window = line.pid;
    s.server_key = line.key;
    s.server_version = line.version;
    s.instance_block = std::move(block);
    return s.server_key;
  }
  return s.server_key;
}

std::string KRsearchpath(const std::string& name) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) KRfatal(Korin_Message::No_Path);
  std::vector<std::string> folders;
  const std::string self = KRstate().program_path.empty() ? program_path() : KRstate().program_path;
  folders.push_back(self.substr(0, self.find_last_of('/') == std::string::npos ? 0 : self.find_last_of('/')));
  folders.push_back(".");
  std::string_view rest(path);
  while (!rest.empty()) {
    const std::size_t colon = rest.find(':');
    if (colon != 0) folders.emplace_back(rest.substr(0, colon));
    if (colon == std::string_view::npos) break;
    rest.remove_prefix(colon + 1);
  }
  for (const std::string& folder : folders) {
    if (folder.empty()) continue;
    const std::string candidate = folder + (folder.back() == '/' ? "" : "/") + name;
    struct stat st {};
    if (::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(candidate.c_str(), X_OK) == 0)
      return candidate;
  }
  KRfatal(Korin_Message::Not_Found, {name});
}

namespace {

// True when a live server holds every instance number a new server could claim.
bool all_instances_taken() {
  for (int n = channel::First_Instance; n <= channel::Last_Server_Instance; ++n)
    if (!platform::SERVER_ACCEPTS(channel::INSTANCE_BLOCK_NAME(n))) return false;
  return true;
}

}  // namespace

void KRlaunch() {
  KRclientstate& s = KRstate();
  s.server_path = KRsearchpath(Server_Name);
  std::string error;
  const pid_t pid = platform::SPAWN_DETACHED(s.server_path, split_switches(s.switches), error);
  if (pid < 0) return;  // the second search finds nothing and says so
  const std::string free_line = "0," + std::to_string(pid) + ",";
  auto serves = [&] {
    for (int n = channel::First_Instance; n <= channel::Last_Client_Instance; ++n) {
      platform::Shared_Block block;
      if (block.OPEN(channel::INSTANCE_BLOCK_NAME(n), sizeof(channel::KRinstblock)) != platform::Block_Status::Ok)
        continue;
      const char* line = static_cast<const char*>(block.view());
      if (strnlen(line, 128) >= free_line.size() && std::memcmp(line, free_line.data(), free_line.size()) == 0)
        return platform::SERVER_ACCEPTS(channel::INSTANCE_BLOCK_NAME(n));
    }
    return false;
  };
  platform::WAIT_FOR_IDLE(pid, Launch_Wait_Ms, serves);
}

int KRinitx(int flags, int x, int y, int width, int height, int arrange, int show, int zorder) {
  KRclientstate& s = KRstate();
  if (s.instance != 0) return 0;
  for (auto& w : s.windows) w.UNMAP();
  s.program_path = program_path();
  s.japanese = KRjapanese_locale();
  s.switches = switch_text(flags, x, y, width, height, arrange, show, zorder);
  KRfindserver();
  if (s.server_window == 0) {
    // A server started now would find no instance number to claim and could only say so in
    // a box nobody may see.
    if (all_instances_taken())
      KRfatal(Korin_Message::No_Free_Instance, {Server_Name, std::to_string(channel::Last_Server_Instance)});
    KRlaunch();
    KRfindserver();
  }
  if (s.server_window == 0) KRfatal(Korin_Message::Cannot_Execute, {Server_Name});
  handshake();
  check_version(s.server_version);
  return s.instance;
}

void KRINITX(int& status, int flags, int x, int y, int width, int height, int arrange, int show, int zorder) {
  status = KRinitx(flags, x, y, width, height, arrange, show, zorder);
}

void KRQUITX(int& status, int mode) { status = KRquitx(mode); }
