// Save_File.cpp - see Save_File.h.
#include "kornd/Save_File.h"

#include <QSaveFile>

#include <cerrno>   // errno
#include <cstring>  // std::strerror

#include "platform/Io_Fault.h"

namespace {

// Records why the save failed: the seam's injected error, else the file's own error text.
Save_Result failed(Save_Result result, const QSaveFile& file, bool injected, Save_Failure* failure) {
  if (failure) {
    failure->file = file.fileName();
    failure->reason = injected ? QString::fromLocal8Bit(std::strerror(errno)) : file.errorString();
  }
  return result;
}

}  // namespace

Save_Result SAVE_WHOLE_FILE(const QString& path, const std::uint8_t* bytes, std::size_t size, Save_Failure* failure) {
  QSaveFile file(path);
  bool injected = IO_FAULT_HIT(Io_Kind::Open);
  if (injected || !file.open(QIODevice::WriteOnly)) return failed(Save_Result::Not_Opened, file, injected, failure);
  // Not committed, the temporary goes with the QSaveFile.
  injected = IO_FAULT_HIT(Io_Kind::Write);
  if (injected || file.write(reinterpret_cast<const char*>(bytes), qint64(size)) != qint64(size))
    return failed(Save_Result::Not_Written, file, injected, failure);
  injected = IO_FAULT_HIT(Io_Kind::Close);
  if (injected || !file.commit()) return failed(Save_Result::Not_Written, file, injected, failure);
  return Save_Result::Saved;
}

QString SAVE_FAILURE_TEXT(const Save_Failure& failure) {
  return QString("Cannot write file %1:\n%2.").arg(failure.file, failure.reason);
}
