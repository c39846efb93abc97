// Interrupt_Cleanup.cpp - the table of files to delete on an interrupt and its handler
// (see Interrupt_Cleanup.h).
//
// The handler only reads the table and calls unlink, sigaction and raise, all
// async-signal-safe. A slot is published by its flag after its path is written, and
// withdrawn by clearing the flag before the path may change.
#include "platform/Interrupt_Cleanup.h"

#include <limits.h>  // PATH_MAX
#include <pthread.h>  // pthread_sigmask
#include <unistd.h>  // unlink

#include <atomic>
#include <cerrno>   // errno
#include <cstring>  // std::memcpy

namespace platform {

namespace {

constexpr int Interrupts[] = {SIGINT, SIGTERM, SIGHUP};

struct Cleanup_Slot {
  std::atomic<bool> used{false};
  char path[PATH_MAX] = {};
};

Cleanup_Slot table[Cleanup_Slots];

// Deletes the registered files, then ends the program by the signal's default action: the
// signal is raised again and delivered as soon as the handler returns.
void on_interrupt(int sig) {
  const int saved = errno;
  for (Cleanup_Slot& slot : table)
    if (slot.used.load(std::memory_order_acquire)) ::unlink(slot.path);
  struct sigaction default_action {};
  default_action.sa_handler = SIG_DFL;
  sigemptyset(&default_action.sa_mask);
  ::sigaction(sig, &default_action, nullptr);
  ::raise(sig);
  errno = saved;
}

// Installs the handler for every interrupt that is neither ignored nor handled by it already
// (asked at every registration: a disposition set back to the default since is taken again).
void install_handlers() {
  struct sigaction action {};
  action.sa_handler = on_interrupt;
  action.sa_mask = INTERRUPT_SIGNALS();  // one handler at a time
  action.sa_flags = SA_RESTART;
  for (int sig : Interrupts) {
    struct sigaction current {};
    if (::sigaction(sig, nullptr, &current) == 0 &&
        (current.sa_handler == SIG_IGN || current.sa_handler == on_interrupt))
      continue;
    ::sigaction(sig, &action, nullptr);
  }
}

}  // namespace

int CLEANUP_ON_INTERRUPT(const std::string& path) {
  if (path.empty() || path.size() >= PATH_MAX) return -1;
  install_handlers();
  for (int i = 0; i < Cleanup_Slots; ++i) {
    Cleanup_Slot& slot = table[i];
    if (slot.used.load(std::memory_order_relaxed)) continue;
    std::memcpy(slot.path, path.c_str(), path.size() + 1);
    slot.used.store(true, std::memory_order_release);
    return i;
  }
  return -1;
}

void CLEANUP_FORGET(int slot) {
  if (slot < 0 || slot >= Cleanup_Slots) return;
  table[slot].used.store(false, std::memory_order_release);
}

std::string CLEANUP_PATH(int slot) {
  if (slot < 0 || slot >= Cleanup_Slots || !table[slot].used.load(std::memory_order_acquire)) return "";
  return table[slot].path;
}

Interrupts_Held::Interrupts_Held() {
  const sigset_t set = INTERRUPT_SIGNALS();
  ::pthread_sigmask(SIG_BLOCK, &set, &previous_);
}

Interrupts_Held::~Interrupts_Held() { ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }

sigset_t INTERRUPT_SIGNALS() {
  sigset_t set;
  sigemptyset(&set);
  for (int sig : Interrupts) sigaddset(&set, sig);
  return set;
}

}  // namespace platform
