// File_Dialog.h - the open and save file dialogs of the server, with the test seam of
// CKorndBox (KORND_TEST_ANSWERS): under the seam the dialog is not shown, it logs
// "kornd dialog: [open file|save file] [<initial name>] answer=<name>" (a dialog with a title
// and filters: "kornd dialog: [save file] [<initial name>] [<title>] [<text>|<pattern>|...]
// answer=<name>") and takes the next answer; an empty answer or "Cancel" cancels. A relative
// answer is taken in the starting folder.
// Changes: the application's client folder (the folder of a chosen file).
#pragma once

#include <QString>

#include <vector>

// One entry of a dialog's filter list: the text shown and its patterns ("*.krd;*.emf").
struct File_Filter {
  QString text;
  QString pattern;
};

// Asks for a file name starting in the client folder with `initial` preset; false when cancelled.
// On success `chosen` is the full path and the client folder becomes its folder.
bool ASK_FILE_NAME(bool save, const QString& initial, QString& chosen);
// The same with a title and a filter list (the first filter is the one selected).
bool ASK_FILE_NAME(bool save, const QString& initial, const QString& title, const std::vector<File_Filter>& filters,
                   QString& chosen);
