// main.cpp - entry of kornd, the graphics-window server: start-up, event loop, exit.
#include "kornd/CKorndApp.h"
#include "kornd/CKorndCommandLineInfo.h"

int main(int argc, char** argv) {
  CKorndApp app(argc, argv);
  if (!app.InitInstance()) return 1;
  CKorndCommandLineInfo command_line;
  command_line.ParseCommandLine(app.arguments().mid(1));
  command_line.Apply(app);
  app.exec();
  return app.ExitInstance();
}
