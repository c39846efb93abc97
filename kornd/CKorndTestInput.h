// CKorndTestInput.h - the test-only input seam: with KORND_TEST_INPUT naming a FIFO, the server
// reads scripted input lines from it and delivers them as real Qt key and mouse events to the
// graphics windows' views (or to an open modal dialog), so that the same handlers run as for
// a person. Each delivered line is acknowledged on standard error ("kornd input: done <line>").
// Reads: the FIFO. Changes: nothing of its own; the events change the views' input records.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;

class CKorndTestInput : public QObject {
 public:
  CKorndTestInput() = default;
  ~CKorndTestInput() override;
  // Opens the FIFO when the variable is set; false when it is set but cannot be opened.
  bool Start();
  // Delivers one line; false when the line cannot be understood.
  static bool Deliver(const QString& line);

 private:
  void OnReadable();
  int fd_ = -1;
  QSocketNotifier* notifier_ = nullptr;
  QByteArray pending_;
};
