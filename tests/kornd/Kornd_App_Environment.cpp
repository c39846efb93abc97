// In-process server tests: one CKorndApp for the whole test program, offscreen, with every
// box and dialog answered by its default button.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "kornd/CKorndApp.h"

namespace {

class App_Environment : public ::testing::Environment {
 public:
  void SetUp() override {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("KORND_TEST_ANSWERS", "", 1);
    static int argc = 1;
    static char name[] = "kornd_in_process_test";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<CKorndApp>(argc, argv);
  }
  void TearDown() override { app_.reset(); }

 private:
  std::unique_ptr<CKorndApp> app_;
};
const auto* const app_environment = ::testing::AddGlobalTestEnvironment(new App_Environment);

}  // namespace
