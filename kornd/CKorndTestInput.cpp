// CKorndTestInput.cpp - see CKorndTestInput.h. Lines (window numbers w, view pixels x y):
//   key <w> <key>      press and release of a key (a Qt key name such as Escape, F1, A, with
//                      modifiers held as in Shift+Left or Ctrl+Down)
//   down <w> <key>     press only;   up <w> <key>   release only
//   text <w> <text>    every character typed (press with its text, release)
//   press <w> left|right <x> <y>, release <w> left|right <x> <y>, click (both), move <w> <x> <y>
//                      (view pixels; "@<x> <y>" a picture point, placed where the view shows it)
//   close <w>          closes the window's frame
//   command <w> <text> runs the menu command of that text (e.g. Re&play) in the window
// Keys and text go to an open modal dialog instead of the view when one is up.
#include "kornd/CKorndTestInput.h"

#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QSocketNotifier>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

#include "kornd/CKorndApp.h"
#include "kornd/CKorndChild.h"
#include "kornd/CKorndDoc.h"
#include "kornd/CKorndMain.h"
#include "kornd/CKorndView.h"

namespace {

// A key name, with modifiers as "Shift+Left" or "Ctrl+Down".
QKeyCombination key_of(const QString& name) {
  if (name.size() == 1) return QKeySequence::fromString(name.toUpper())[0];
  QKeySequence seq = QKeySequence::fromString(name);
  return seq.isEmpty() ? QKeyCombination() : seq[0];
}

QWidget* key_target(CKorndView* view) {
  if (QWidget* modal = QApplication::activeModalWidget()) {
    QWidget* focus = modal->focusWidget();
    return focus ? focus : modal;
  }
  return view;
}

void send_key(QWidget* target, QEvent::Type type, int key, const QString& text,
              Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QKeyEvent e(type, key, modifiers, text);
  QApplication::sendEvent(target, &e);
}

void send_mouse(CKorndView* view, QEvent::Type type, Qt::MouseButton button, int x, int y) {
  const QPointF local(x, y);
  const QPointF global = view->mapToGlobal(local);
  Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::NoButton;
  QMouseEvent e(type, local, local, global, type == QEvent::MouseMove ? Qt::NoButton : button, held,
                Qt::NoModifier);
  QApplication::sendEvent(view, &e);
}

}  // namespace

CKorndTestInput::~CKorndTestInput() {
  if (fd_ >= 0) ::close(fd_);
}

bool CKorndTestInput::Start() {
  const char* path = std::getenv("KORND_TEST_INPUT");
  if (path == nullptr || *path == '\0') return true;
  // Read and write: the server holds a writer itself, so a test closing its end is no end of file.
  fd_ = ::open(path, O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) {
    std::fprintf(stderr, "kornd input: cannot open %s\n", path);
    return false;
  }
  notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] { OnReadable(); });
  return true;
}

void CKorndTestInput::OnReadable() {
  char buffer[4096];
  for (;;) {
    ssize_t n = ::read(fd_, buffer, sizeof buffer);
    if (n <= 0) break;
    pending_.append(buffer, static_cast<qsizetype>(n));
  }
  qsizetype end;
  while ((end = pending_.indexOf('\n')) >= 0) {
    const QString line = QString::fromUtf8(pending_.left(end));
    pending_.remove(0, end + 1);
    const bool ok = Deliver(line);
    std::fprintf(stderr, "kornd input: %s %s\n", ok ? "done" : "bad", line.toUtf8().constData());
    std::fflush(stderr);
  }
}

bool CKorndTestInput::Deliver(const QString& line) {
  const QString verb = line.section(' ', 0, 0);
  const QStringList words = line.split(' ', Qt::SkipEmptyParts);
  if (words.size() < 2) return false;
  CKorndApp* app = KorndApp();
  CKorndDoc* doc = app ? app->WindowDoc(words[1].toInt()) : nullptr;
  CKorndView* view = doc ? doc->View() : nullptr;
  if (view == nullptr) return false;
  if (verb == "command") {  // a menu command of the window, by its menu text
    CKorndMain* frame = app->main_frame;
    return frame && doc->Child() && frame->TriggerCommand(doc->Child(), line.section(' ', 2));
  }
  if (verb == "close") {
    doc->CloseFrames();
    return true;
  }
  if (verb == "text") {
    const QString text = line.section(' ', 2);
    for (QChar ch : text) {
      const char16_t up = ch.toUpper().unicode();
      const int key = up < 128 ? int(up) : 0;  // printable ASCII keys are their upper-case codes
      send_key(key_target(view), QEvent::KeyPress, key, QString(ch));
      send_key(key_target(view), QEvent::KeyRelease, key, QString(ch));
    }
    return true;
  }
  if (verb == "key" || verb == "down" || verb == "up") {
    if (words.size() < 3) return false;
    const QKeyCombination combination = key_of(words[2]);
    const int key = combination.key();
    const Qt::KeyboardModifiers modifiers = combination.keyboardModifiers();
    if (key == 0) return false;
    QString text;
    // The characters a keyboard types with these keys.
    if (key == Qt::Key_Escape) text = QString(QChar(27));
    else if (key == Qt::Key_Return) text = QString(QChar('\r'));
    else if (key == Qt::Key_Tab) text = QString(QChar('\t'));
    else if (key == Qt::Key_Backspace) text = QString(QChar(8));
    else if (key == Qt::Key_Delete) text = QString(QChar(127));
    else if (words[2].size() == 1) text = words[2].toLower();  // no Shift held
    if (verb != "up") send_key(key_target(view), QEvent::KeyPress, key, text, modifiers);
    if (verb != "down") send_key(key_target(view), QEvent::KeyRelease, key, text, modifiers);
    return true;
  }
  if (verb == "move") {
    if (words.size() < 4) return false;
    send_mouse(view, QEvent::MouseMove, Qt::NoButton, words[2].toInt(), words[3].toInt());
    return true;
  }
  if (verb == "press" || verb == "release" || verb == "click") {
    if (words.size() < 5) return false;
    const Qt::MouseButton button = words[2] == "right" ? Qt::RightButton : Qt::LeftButton;
    int x = words[3].toInt(), y = words[4].toInt();
    if (words[3].startsWith('@')) {  // a picture point: where the view shows it, in any mode
      const KRpoint client = view->ToClient(KRpoint{words[3].mid(1).toInt(), words[4].toInt()});
      x = client.x, y = client.y;
    }
    // A real pointer comes to the point before it presses: the view's mouse position follows.
    if (verb != "release") send_mouse(view, QEvent::MouseMove, Qt::NoButton, x, y);
    if (verb != "release") send_mouse(view, QEvent::MouseButtonPress, button, x, y);
    if (verb != "press") send_mouse(view, QEvent::MouseButtonRelease, button, x, y);
    return true;
  }
  return false;
}
