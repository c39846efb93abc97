// CKorndInputDlg.cpp - see CKorndInputDlg.h.
#include "kornd/CKorndInputDlg.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

#include <cstdlib>

#include "kornd/CKorndBox.h"

CKorndInputDlg::CKorndInputDlg(QWidget* parent) : QDialog(parent), edit_(new QLineEdit(this)) {
  setWindowTitle("KRinput");
  edit_->setMaxLength(Max_Text);
  auto* ok = new QPushButton("Ok", this);
  ok->setAutoDefault(false);
  auto* row = new QHBoxLayout(this);
  row->addWidget(edit_);
  row->addWidget(ok);
  connect(ok, &QPushButton::clicked, this, &CKorndInputDlg::accept);
  connect(edit_, &QLineEdit::returnPressed, this, &CKorndInputDlg::accept);  // Enter takes the line
  setFocusProxy(edit_);
  resize(435, 45);
}

bool CKorndInputDlg::Ask(const QString& title, const QString& preset) {
  text_.clear();
  const bool scripted = std::getenv("KORND_TEST_INPUT") != nullptr;
  QString answer;
  if (!scripted && CKorndBox::SeamAnswer("text input", title, answer)) {
    text_ = (answer.isEmpty() ? preset : answer).left(Max_Text);
    return true;
  }
  setWindowTitle(title);
  // The preset stands selected: Return takes it, typing replaces it.
  edit_->setText(preset.left(Max_Text));
  edit_->selectAll();
  setWindowFlag(Qt::WindowStaysOnTopHint);
  edit_->setFocus();
  return exec() == QDialog::Accepted;
}

void CKorndInputDlg::accept() {
  text_ = edit_->text().left(Max_Text);
  QDialog::accept();
}

void CKorndInputDlg::reject() {
  text_.clear();
  QDialog::reject();
}
