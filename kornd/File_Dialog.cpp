// File_Dialog.cpp - open and save file dialogs with the test seam (see File_Dialog.h).
#include "kornd/File_Dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

#include "kornd/CKorndApp.h"
#include "kornd/CKorndBox.h"

namespace {

// The dialog itself, or the seam's answer logged with `detail`.
bool ask(bool save, const QString& initial, const QString& detail, const QString& title, const QString& qt_filters,
         QString& chosen) {
  CKorndApp* app = KorndApp();
  const QString folder = app && !app->client_folder.isEmpty() ? app->client_folder : QDir::currentPath();
  QString answer;
  if (!CKorndBox::SeamAnswer(save ? "save file" : "open file", detail, answer)) {
    const QString start = QDir(folder).filePath(initial);
    answer = save ? QFileDialog::getSaveFileName(nullptr, title, start, qt_filters)
                  : QFileDialog::getOpenFileName(nullptr, title, start, qt_filters, nullptr, QFileDialog::ReadOnly);
  }
  if (answer.isEmpty() || answer.compare("Cancel", Qt::CaseInsensitive) == 0) return false;
  QFileInfo info(QDir(folder), answer);
  chosen = info.absoluteFilePath();
  if (app) app->client_folder = info.absolutePath();
  return true;
}

}  // namespace

bool ASK_FILE_NAME(bool save, const QString& initial, QString& chosen) {
  return ask(save, initial, initial, QString(), QString(), chosen);
}

bool ASK_FILE_NAME(bool save, const QString& initial, const QString& title, const std::vector<File_Filter>& filters,
                   QString& chosen) {
  QStringList logged, qt;
  for (const File_Filter& f : filters) {
    logged << f.text << f.pattern;
    // Qt reads the patterns from the last parentheses, separated by blanks.
    QString text = f.text;
    const qsizetype open = text.lastIndexOf(" (");
    if (open > 0 && text.endsWith(')')) text = text.left(open);
    qt << QString("%1 (%2)").arg(text, QString(f.pattern).replace(';', ' '));
  }
  const QString detail = QString("%1] [%2] [%3").arg(initial, title, logged.join('|'));
  return ask(save, initial, detail, title, qt.join(";;"), chosen);
}
