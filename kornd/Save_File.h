// Save_File.h - writing a whole file so that it appears complete or not at all: the bytes go to
// a temporary beside the name, which replaces the file only when everything was written. Every
// step asks the boundary-call fault seam (platform/Io_Fault.h) first.
#pragma once

#include <QString>

#include <cstdint>
#include <vector>

enum class Save_Result { Saved, Not_Opened, Not_Written };

// Why a save did not happen: the file it was writing and the system's reason.
struct Save_Failure {
  QString file;
  QString reason;
};

// Writes the bytes as the file at path; on failure the old file is untouched, no temporary is
// left and failure (when given) holds the path and the reason.
Save_Result SAVE_WHOLE_FILE(const QString& path, const std::uint8_t* bytes, std::size_t size,
                            Save_Failure* failure = nullptr);
inline Save_Result SAVE_WHOLE_FILE(const QString& path, const std::vector<std::uint8_t>& bytes,
                                   Save_Failure* failure = nullptr) {
  return SAVE_WHOLE_FILE(path, bytes.data(), bytes.size(), failure);
}

// The text the server's error box shows for a failed save: "Cannot write file <name>:\n<reason>."
QString SAVE_FAILURE_TEXT(const Save_Failure& failure);
