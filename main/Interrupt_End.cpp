// Interrupt_End: a thread of its own takes the end signals of a display run.
//
// Reads: the working-copy names of the result set, the registered interrupt files and the
// server's process id. Writes: nothing but the deletions and the signal to the server.

#include "main/Interrupt_End.h"

#include <signal.h>
#include <unistd.h>  // _exit

#include <thread>

#include "korin_client/Client_State.h"
#include "platform/Interrupt_Cleanup.h"
#include "result_files/Read_GeoF.h"

void END_ON_INTERRUPTS() {
  const sigset_t set = platform::INTERRUPT_SIGNALS();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  // The program thread may be waiting for a key inside the server or for standard input, so
  // it cannot be the one that ends the run. The thread sends no request of its own (the
  // program thread may be inside one on the same channel): the server is ended by the
  // signal that ends it as a quit request does.
  std::thread([set] {
    int signal_number = 0;
    if (sigwait(&set, &signal_number) != 0) return;
    DELETE_WORKING_COPIES();
    for (int slot = 0; slot < platform::Cleanup_Slots; ++slot) {
      const std::string path = platform::CLEANUP_PATH(slot);
      if (!path.empty()) ::unlink(path.c_str());
    }
    const pid_t server = KRstate().server_window;
    if (server > 0) ::kill(server, SIGTERM);
    _exit(1);
  }).detach();
}
