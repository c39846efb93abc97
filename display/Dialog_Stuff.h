// Dialog_Stuff: the display program's console set-up, plotting devices whose output file
// lies in another folder, and the save-file dialog.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class QEvent;
class QObject;

// Mode 1, at program start: the console title (only on a terminal) and PGPLOT_DIR, from
// DP_ZELTRA_DIR or else the folder of the running program. Modes 2 and 3 (console window
// size and exit behaviour) have nothing to do on a terminal; other modes do nothing.
void DIALOG_STUFF(std::int32_t mode);

// Opens a plotting device ("name/TYPE"); with in_folder the name's folder becomes the
// current folder while the device opens, so the device sees the bare name. Returns the
// device identifier, or 0 when nothing was opened: a name longer than the library takes
// (90 characters, 80 for GIF) or a folder that cannot be entered is reported on the console.
std::int32_t PGOPEN_WIN(bool in_folder, std::string_view device);

// The settings of the save-file dialog drawn from its default name.
struct Save_File_Setup {
  std::string title;
  std::string default_name;       // as given, trailing blanks dropped
  std::string folder;             // up to and with the last "/" (or "\"); empty without one
  std::string file_name;          // the rest
  std::string default_extension;  // after the file name's last "."; empty without one
};
Save_File_Setup SAVE_FILE_SETUP(std::string_view title, std::string_view default_name);

// A typed name completed as the dialog completes it: a relative name lies in the dialog's
// folder, and a file name without "." gets the default extension. "" stays "".
std::string COMPLETE_FILE_NAME(const Save_File_Setup& setup, std::string_view typed);

// Asks for the name of an output file, preset with default_name: the chosen full path, or
// "" when the user cancelled. With ZELTRA_TEST_SAVE_NAMES set, its ";"-separated names
// answer in turn (for tests); otherwise a Qt file dialog when a display can be reached,
// else a prompt on the controlling terminal (never standard input). An existing file is
// confirmed before it is chosen.
std::string GET_FILE_NAME(std::string_view title, std::string_view default_name);

// The Qt save-file dialog itself (a QApplication is made first when none exists; only
// call it when a display can be reached, or with an offscreen application of one's own).
std::string SAVE_FILE_DIALOG(const Save_File_Setup& setup);

// The dialog's hook: when the dialog is shown it is brought to the foreground. Never
// consumes the event.
bool CTN_HOOK_PROCEDURE(QObject* dialog, QEvent* event);
