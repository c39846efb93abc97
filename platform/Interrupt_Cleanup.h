// Interrupt_Cleanup.h - files deleted when SIGINT, SIGTERM or SIGHUP end the program.
//
// A program registers the name of a file it must not leave behind (a named working file)
// while that file exists. On the first registration the three signals get a handler that
// deletes every registered file and then ends the program by the same signal, as the default
// action would (a shell sees WIFSIGNALED). A signal that the program was started with
// ignored stays ignored. The table is fixed (no allocation in the handler) and holds
// Cleanup_Slots names; registering is safe while a signal may arrive.
#pragma once

#include <signal.h>  // sigset_t

#include <string>

namespace platform {

constexpr int Cleanup_Slots = 32;

// The three signals that end a program here: SIGINT, SIGTERM and SIGHUP.
sigset_t INTERRUPT_SIGNALS();

// Registers path for deletion on an interrupt. Returns its slot, or -1 when the table is
// full or the path too long (the file is then not deleted on an interrupt).
int CLEANUP_ON_INTERRUPT(const std::string& path);

// Forgets a slot (-1 is ignored): the file was deleted or took its final name.
void CLEANUP_FORGET(int slot);

// The path registered in a slot ("" when free), for tests.
std::string CLEANUP_PATH(int slot);

// Holds SIGINT, SIGTERM and SIGHUP back in the calling thread for its lifetime, so that
// creating a file and registering it (or renaming it and forgetting it) is one step for
// the handler. A signal that arrives meanwhile is delivered at the end.
class Interrupts_Held {
 public:
  Interrupts_Held();
  ~Interrupts_Held();
  Interrupts_Held(const Interrupts_Held&) = delete;
  Interrupts_Held& operator=(const Interrupts_Held&) = delete;

 private:
  sigset_t previous_;
};

}  // namespace platform
