// CKorndBox.cpp - message boxes and the KORND_TEST_ANSWERS seam (see CKorndBox.h).
#include "kornd/CKorndBox.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QStringList>

#include <cstdio>   // std::fprintf, stderr
#include <cstdlib>  // std::getenv

namespace {

struct Button_Name {
  int code;
  const char* name;
  QMessageBox::StandardButton qt;
};
constexpr Button_Name Buttons[] = {
    {CKorndBox::IDOK, "OK", QMessageBox::Ok},          {CKorndBox::IDCANCEL, "Cancel", QMessageBox::Cancel},
    {CKorndBox::IDABORT, "Abort", QMessageBox::Abort}, {CKorndBox::IDRETRY, "Retry", QMessageBox::Retry},
    {CKorndBox::IDIGNORE, "Ignore", QMessageBox::Ignore}, {CKorndBox::IDYES, "Yes", QMessageBox::Yes},
    {CKorndBox::IDNO, "No", QMessageBox::No}};

// Returns the buttons of a box type (low four bits of the flags), first = default.
std::vector<int> buttons_of(unsigned flags) {
  switch (flags & 0xF) {
    case 1: return {CKorndBox::IDOK, CKorndBox::IDCANCEL};
    case 2: return {CKorndBox::IDABORT, CKorndBox::IDRETRY, CKorndBox::IDIGNORE};
    case 3: return {CKorndBox::IDYES, CKorndBox::IDNO, CKorndBox::IDCANCEL};
    case 4: return {CKorndBox::IDYES, CKorndBox::IDNO};
    case 5: return {CKorndBox::IDRETRY, CKorndBox::IDCANCEL};
    default: return {CKorndBox::IDOK};
  }
}

const Button_Name& button(int code) {
  for (const Button_Name& b : Buttons)
    if (b.code == code) return b;
  return Buttons[0];
}

// One line on standard error: control characters of the texts written as escapes.
QString escaped(const QString& s) {
  QString out;
  for (QChar ch : s) {
    if (ch == '\n') out += "\\n";
    else if (ch == '\t') out += "\\t";
    else if (ch == '\r') out += "\\r";
    else out += ch;
  }
  return out;
}

// True on a platform without a screen anybody looks at: a modal box there would wait for ever.
bool nobody_sees_windows() {
  const QString platform = QGuiApplication::platformName();
  return platform == "offscreen" || platform == "minimal";
}

// The seam's answer list, read once; empty items are kept (they mean "default"). Without the
// variable on a platform nobody sees, the seam acts as if it were set and empty.
struct Seam {
  bool active = false;
  QStringList answers;
  qsizetype next = 0;
  Seam() {
    const char* v = std::getenv("KORND_TEST_ANSWERS");
    if (v == nullptr) {
      active = nobody_sees_windows();
      return;
    }
    active = true;
    if (*v != '\0') answers = QString::fromLocal8Bit(v).split(';');
  }
  // Returns the next answer or an empty text when the list is used up.
  QString take() { return next < answers.size() ? answers[next++] : QString(); }
};

Seam& seam() {
  static Seam s;
  return s;
}

}  // namespace

bool CKorndBox::SeamActive() { return seam().active; }

int CKorndBox::Show(const QString& title, const QString& text, unsigned flags) {
  std::vector<int> offered = buttons_of(flags);
  if (seam().active) {
    QString wanted = seam().take();
    int answer = offered.front();
    for (int b : offered)
      if (wanted.compare(button(b).name, Qt::CaseInsensitive) == 0) answer = b;
    QString names;
    for (int b : offered) names += QString(names.isEmpty() ? "" : ",") + button(b).name;
    std::fprintf(stderr, "kornd box: [%s] [%s] buttons=%s answer=%s\n", escaped(title).toLocal8Bit().constData(),
                 escaped(text).toLocal8Bit().constData(), names.toLocal8Bit().constData(), button(answer).name);
    std::fflush(stderr);
    return answer;
  }
  QMessageBox box;
  box.setWindowTitle(title);
  box.setText(text);
  switch (flags & 0xF0) {
    case 0x10: box.setIcon(QMessageBox::Critical); break;
    case 0x20: box.setIcon(QMessageBox::Question); break;
    case 0x30: box.setIcon(QMessageBox::Warning); break;
    case 0x40: box.setIcon(QMessageBox::Information); break;
    default: break;
  }
  for (int b : offered) box.addButton(button(b).qt);
  box.setDefaultButton(button(offered.front()).qt);
  if (flags & 0x40000) box.setWindowFlag(Qt::WindowStaysOnTopHint);
  int pressed = box.exec();
  for (const Button_Name& b : Buttons)
    if (b.qt == pressed) return b.code;
  // Closed without a button: the box's escape answer.
  return offered.size() > 1 ? offered.back() : offered.front();
}

bool CKorndBox::SeamAnswer(const QString& kind, const QString& detail, QString& answer) {
  if (!seam().active) return false;
  answer = seam().take();
  std::fprintf(stderr, "kornd dialog: [%s] [%s] answer=%s\n", escaped(kind).toLocal8Bit().constData(),
               escaped(detail).toLocal8Bit().constData(), escaped(answer).toLocal8Bit().constData());
  std::fflush(stderr);
  return true;
}
