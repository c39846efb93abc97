// CKorndBox.h - the one place where kornd shows a message box or asks a dialog for an answer,
// with the test seam KORND_TEST_ANSWERS (see README.md).
//
// Flags are the message-box flags the server uses throughout (0x40030 notice, 0x40031 OK/Cancel,
// 0x40010 fatal, 0x40012 Abort/Retry/Ignore, 0x40033 Yes/No/Cancel ...); answers are the button
// codes 1 OK, 2 Cancel, 3 Abort, 4 Retry, 5 Ignore, 6 Yes, 7 No.
// With the seam set, nothing is shown: each box writes one line to standard error and takes the
// next answer of the list (the box's first button when the list is used up or does not fit).
// On a platform nobody sees (offscreen, minimal) the seam is on even without the variable, with
// no answers: a box takes its first (default) button and a dialog an empty answer (a file
// dialog is cancelled), so that no request waits for a person who is not there.
// Changes: the seam's position in the answer list.
#pragma once

#include <QString>

class CKorndBox {
 public:
  enum Button { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };

  // Shows a box without owner, top-most; returns the button.
  static int Show(const QString& title, const QString& text, unsigned flags);
  // True when the seam is active (KORND_TEST_ANSWERS is set, or nobody sees the windows).
  static bool SeamActive();
  // For dialogs other than boxes: logs "kornd dialog: [kind] [detail]" and gives the next
  // answer of the list in `answer`. Returns false when the seam is not active.
  static bool SeamAnswer(const QString& kind, const QString& detail, QString& answer);
};
