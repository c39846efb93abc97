// File_Dialog.cpp - open and save file dialogs with the test seam (see File_Dialog.h).
#include "kornd/File_Dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "kornd/CKorndApp.h"
#include "kornd/CKorndBox.h"

bool ASK_FILE_NAME(bool save, const QString& initial, QString& chosen) {
  CKorndApp* app = KorndApp();
  const QString folder = app && !app->client_folder.isEmpty() ? app->client_folder : QDir::currentPath();
  QString answer;
  if (!CKorndBox::SeamAnswer(save ? "save file" : "open file", initial, answer)) {
    const QString start = QDir(folder).filePath(initial);
    answer = save ? QFileDialog::getSaveFileName(nullptr, QString(), start)
                  : QFileDialog::getOpenFileName(nullptr, QString(), start, QString(), nullptr,
                                                 QFileDialog::ReadOnly);
  }
  if (answer.isEmpty() || answer.compare("Cancel", Qt::CaseInsensitive) == 0) return false;
  QFileInfo info(QDir(folder), answer);
  chosen = info.absoluteFilePath();
  if (app) app->client_folder = info.absolutePath();
  return true;
}
