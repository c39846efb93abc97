// Test_Failure.h - a failure found by test support code, which also runs in harness programs.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

// Fails the running test (from any thread); outside a test (a harness program) the message
// goes to this program's standard error, where the test that started it finds it.
inline void REPORT_FAILURE(const std::string& message) {
  if (::testing::UnitTest::GetInstance()->current_test_info() != nullptr) ADD_FAILURE() << message;
  else std::fprintf(stderr, "%s\n", message.c_str());
}
