// main.cpp - entry of kornd, the graphics-window server: start-up, event loop, exit.
#include "kornd/CKorndApp.h"

int main(int argc, char** argv) {
  CKorndApp app(argc, argv);
  if (!app.InitInstance()) return 1;
  app.exec();
  return app.ExitInstance();
}
