// Display_Reachable: see Display_Reachable.h.
#include "platform/Display_Reachable.h"

#include <X11/Xlib.h>  // XOpenDisplay
#include <sys/socket.h>
#include <sys/un.h>    // sockaddr_un
#include <unistd.h>    // close

#include <cstdlib>  // std::getenv
#include <cstring>  // std::memcpy
#include <string>

namespace {

// A variable that is set and not empty; null otherwise.
const char* variable(const char* name) {
  const char* v = std::getenv(name);
  return v != nullptr && *v != '\0' ? v : nullptr;
}

}  // namespace

bool X_DISPLAY_OPENS() {
  if (variable("DISPLAY") == nullptr) return false;
  Display* d = XOpenDisplay(nullptr);
  if (d == nullptr) return false;
  XCloseDisplay(d);
  return true;
}

bool WAYLAND_DISPLAY_ACCEPTS() {
  const char* name = variable("WAYLAND_DISPLAY");
  if (name == nullptr) return false;
  std::string path = name;
  if (path.front() != '/') {
    const char* runtime = variable("XDG_RUNTIME_DIR");
    if (runtime == nullptr) return false;
    path = std::string(runtime) + "/" + path;
  }
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  if (path.size() >= sizeof addr.sun_path) return false;
  std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const bool accepted = connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0;
  close(fd);
  return accepted;
}
