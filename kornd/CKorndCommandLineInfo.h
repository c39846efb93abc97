// CKorndCommandLineInfo.h - the server's command line: switches that set up the main frame and
// the default modes of new windows, and the picture files to open, one window each.
// A switch starts with '-' or '/'; an argument starting with '/' that names an existing file or
// holds another '/' is a file (an absolute path), never a switch.
// Applying it changes the main frame, its defaults, the page metrics, and opens windows.
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <string>

class CKorndApp;

class CKorndCommandLineInfo {
 public:
  // Bits of `given`.
  static constexpr std::uint32_t Given_Storing = 0x1, Given_Buffering = 0x2, Given_Status_Bar = 0x4,
                                 Given_Inquiring = 0x8, Given_Position = 0x10, Given_Size = 0x20,
                                 Given_Landscape = 0x40;

  // One argument, with the switch prefix removed when is_switch (is_last is not used).
  void ParseParam(const std::string& param, bool is_switch, bool is_last);
  // Every argument after the program name.
  void ParseCommandLine(const QStringList& arguments);
  // The start-up effects, in their order; files are opened after the frame exists.
  void Apply(CKorndApp& app) const;

  QStringList files;
  int show_code = -1;
  int z_order = -1;
  int arrange = -1;
  int resolution = 0;
  int x = 0, y = 0, width = 0, height = 0;
  int storing = 1, buffering = 1, status_bar = 1, inquiring = 0;
  int landscape = -1;
  std::uint32_t given = 0;
};

// Opens a picture file as a window of its own; the window number, or 0 when the file was
// refused (no window stays open then).
int OPEN_PICTURE_WINDOW(CKorndApp& app, const QString& file);
