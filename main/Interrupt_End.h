// Interrupt_End: how SIGINT, SIGTERM and SIGHUP end a display run.
#pragma once

// From now on the three signals end the program with exit code 1 after deleting the working
// copies of the result files (and any file registered for deletion on an interrupt) and
// ending the server. Call on the program thread before any other thread exists.
void END_ON_INTERRUPTS();
