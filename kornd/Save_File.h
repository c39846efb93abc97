// Save_File.h - writing a whole file so that it appears complete or not at all: the bytes go to
// a temporary beside the name, which replaces the file only when everything was written.
#pragma once

#include <QString>

#include <cstdint>
#include <vector>

enum class Save_Result { Saved, Not_Opened, Not_Written };

Save_Result SAVE_WHOLE_FILE(const QString& path, const std::uint8_t* bytes, std::size_t size);
inline Save_Result SAVE_WHOLE_FILE(const QString& path, const std::vector<std::uint8_t>& bytes) {
  return SAVE_WHOLE_FILE(path, bytes.data(), bytes.size());
}
