// Sanitizer_Reports.h - reports of the sanitizers (a build with ZELTRA_SANITIZE) found in a
// child program's standard error. The children's standard error goes to files and pipes the
// tests compare or throw away, and the undefined-behaviour runtime writes only there, so each
// harness that starts a program hands what the program wrote to FAIL_ON_SANITIZER_REPORT.
#pragma once

#include <algorithm>  // std::min
#include <string>

#include "tests/Test_Failure.h"

// The first report in a program's standard error, from its first line on (at most a few
// thousand characters: enough for the place and the stack); "" when there is none.
inline std::string SANITIZER_REPORT(const std::string& errors) {
  std::size_t at = std::string::npos;
  for (const char* mark : {"runtime error:", "ERROR: AddressSanitizer", "ERROR: LeakSanitizer"})
    at = std::min(at, errors.find(mark));
  if (at == std::string::npos) return {};
  const std::size_t line = errors.rfind('\n', at);
  const std::size_t from = line == std::string::npos ? 0 : line + 1;
  return errors.substr(from, 4000);
}

// Fails the running test when the child's standard error holds a report (REPORT_FAILURE).
inline void FAIL_ON_SANITIZER_REPORT(const std::string& child, const std::string& errors) {
  const std::string report = SANITIZER_REPORT(errors);
  if (!report.empty()) REPORT_FAILURE(child + " reported:\n" + report);
}
