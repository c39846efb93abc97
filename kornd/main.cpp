// main.cpp - entry of kornd, the graphics-window server: start-up, event loop, exit.
#include <malloc.h>  // mallopt

#include <cstdio>   // std::fputs
#include <cstring>  // std::strcmp

#include "kornd/CKorndApp.h"
#include "kornd/CKorndCommandLineInfo.h"
#include "kornd/CKorndTestInput.h"
#include "kornd/Display_Choice.h"
#include "kornd/Qt_Messages.h"

namespace {

constexpr const char* Usage =
    "usage: kornd [switches] [picture.krd ...]\n"
    "\n"
    "Each picture file opens in a window of its own. Switches begin with - or /\n"
    "(words are case-sensitive; unknown switches are ignored):\n"
    "\n"
    "  -t / -T                       new windows keep their drawing (storing) on / off\n"
    "  -b / -B                       back buffer on / off\n"
    "  -r / -R                       status bar shown / hidden\n"
    "  -i / -I                       ask before erasing a window's drawing on / off\n"
    "  -l / -L                       print landscape / portrait\n"
    "  -p<x>,<y>  -s<w>,<h>          position and size of the main window\n"
    "  -dpi<n>  -d<n>  -<n>          picture pages of 11 x 8 inches at n dots per inch\n"
    "  -m<n>, or -hide -maximize -minimize -restore -show -showmaximized -showminimized\n"
    "     -showminnoactive -showna -shownoactive -shownormal\n"
    "                                show state of the main window (0-10)\n"
    "  -z<n>, or -topmost -notopmost -top -bottom\n"
    "                                stacking of the main window\n"
    "  -a<n>, or -cascade -horizontal -vertical -iconarrange\n"
    "                                arrangement of the windows\n"
    "  -h, --help                    this text\n";

// True when the arguments ask for the usage text.
bool asks_for_help(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) return true;
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (asks_for_help(argc, argv)) {
    std::fputs(Usage, stdout);
    return 0;
  }
  // Every picture makes and drops blocks of megabytes (bitmaps, their images): kept in the heap
  // for the next picture instead of mapped anew each time, whose pages the kernel would fault
  // in and zero again.
  mallopt(M_MMAP_THRESHOLD, 64 << 20);
  mallopt(M_TRIM_THRESHOLD, 128 << 20);
  RUN_OFFSCREEN_WITHOUT_DISPLAY();  // Qt aborts without a display: decide before it starts
  QUIET_QT_MESSAGES();
  CKorndApp app(argc, argv);
  CKorndCommandLineInfo command_line;
  command_line.ParseCommandLine(app.arguments().mid(1));
  if (!app.InitInstance(command_line)) return 1;
  CKorndTestInput test_input;  // only with KORND_TEST_INPUT (see README.md)
  if (!test_input.Start()) return 1;
  app.exec();
  return app.ExitInstance();
}
