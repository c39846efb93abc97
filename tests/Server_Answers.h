// Server_Answers.h - a real kornd answering the text-input dialog for in-process tests.
//
// On first use the test program starts one kornd (offscreen, its input read from a FIFO),
// connects to it through the client library and opens a window. A thread then answers each
// text-input dialog the server opens with the next queued line (typed, then Return), or with
// Escape (Cancel) for a queued cancel. With the queue empty it types a line longer than any
// answer field, which leaves the caller's preset answer as it was. Tests that use it run one
// at a time with other server tests (zeltra_server_test in tests/CMakeLists.txt).
#pragma once

#include <string>
#include <vector>

namespace server_answers {

void START();
// The next dialog gets this line typed and Return (starts the server when needed).
void TYPE(std::string line);
// The next dialog is cancelled.
void CANCEL();
// The prompts of the dialogs answered so far, in order.
std::vector<std::string> PROMPTS();

}  // namespace server_answers
