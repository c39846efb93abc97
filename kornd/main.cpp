// main.cpp - entry of kornd, the graphics-window server: start-up, event loop, exit.
#include "kornd/CKorndApp.h"
#include "kornd/CKorndCommandLineInfo.h"
#include "kornd/CKorndTestInput.h"
#include "kornd/Display_Choice.h"
#include "kornd/Qt_Messages.h"

int main(int argc, char** argv) {
  RUN_OFFSCREEN_WITHOUT_DISPLAY();  // Qt aborts without a display: decide before it starts
  QUIET_QT_MESSAGES();
  CKorndApp app(argc, argv);
  if (!app.InitInstance()) return 1;
  CKorndCommandLineInfo command_line;
  command_line.ParseCommandLine(app.arguments().mid(1));
  command_line.Apply(app);
  CKorndTestInput test_input;  // only with KORND_TEST_INPUT (see README.md)
  if (!test_input.Start()) return 1;
  app.exec();
  return app.ExitInstance();
}
