// Save_File.cpp - see Save_File.h.
#include "kornd/Save_File.h"

#include <QSaveFile>

Save_Result SAVE_WHOLE_FILE(const QString& path, const std::uint8_t* bytes, std::size_t size) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return Save_Result::Not_Opened;
  if (file.write(reinterpret_cast<const char*>(bytes), qint64(size)) != qint64(size)) {
    file.cancelWriting();
    return Save_Result::Not_Written;
  }
  return file.commit() ? Save_Result::Saved : Save_Result::Not_Written;
}
