// CKorndInputDlg.h - the one-line text-input dialog ("KRinput"): an edit line of at most 256
// characters, preset with the caller's answer (selected), and an "Ok" button; Enter or "Ok" take
// the line, Escape or closing leave it empty. Under KORND_TEST_ANSWERS (without
// KORND_TEST_INPUT) it is not shown: it logs "kornd dialog: [text input] [<title>] answer=<line>"
// and takes the next answer, an empty one the preset.
#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;

class CKorndInputDlg : public QDialog {
 public:
  static constexpr int Max_Text = 256;

  explicit CKorndInputDlg(QWidget* parent = nullptr);
  // Runs the dialog with the title and the preset line; true when the text was taken (OK),
  // false after Cancel.
  bool Ask(const QString& title, const QString& preset);
  const QString& Text() const { return text_; }

 protected:
  void accept() override;
  void reject() override;

 private:
  QLineEdit* edit_;
  QString text_;
};
