// CKorndApp.h - the application object of kornd: start-up and instance claiming, the
// server-wide state (window table, closing, box open, platform, page and display facts, client
// folder) and the message-box layer through which every part of the server reports errors
// and asks questions.
// Reads: the system (uname, /proc/meminfo, the screen, the default printer).
// Writes: the instance block "Kornd<n>" (its availability line) and claims its socket.
#pragma once

#include <QApplication>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>

#include "kornd/Printer_Settings.h"
#include "platform/Channel_Blocks.h"
#include "platform/Shared_Block.h"

class CKorndChannel;
class CKorndCommandLineInfo;
class CKorndDoc;
class CKorndMain;
class QSocketNotifier;
namespace platform {
struct Request_Packet;
struct Batch_Entry;
}

// String-table messages of the server.
enum Message_Id : int {
  IDS_ON_CAPTURING = 61458,
  IDS_ABORT = 61459,
  IDS_OPEN_FAILED = 61460,
  IDS_INVALID_PARAMETER = 61461,
  IDS_BITMAP_FAILED = 61463,
  IDS_INVALID_BITMAP = 61464,
  IDS_COPY_BITMAP_FAILED = 61465,
  IDS_CLOSE = 61469,
  IDS_NO_WINDOW = 61470,
  IDS_CREATE_MAPPING_FAILED = 61472,
  IDS_MAP_VIEW_FAILED = 61473,
  IDS_TOO_MANY_INSTANCES = 61474,
  IDS_INVALID_FILE = 61480,
  IDS_CLOSE_PREVIEW = 61482,
  IDS_NO_MEMORY = 61484,
  IDS_ERASE_ALL = 61486,
  IDS_BITMAP_TOO_LARGE = 61487,
};

// Box flags used throughout the server.
constexpr unsigned MB_NOTICE = 0x40030;     // exclamation, OK, top-most
constexpr unsigned MB_QUESTION = 0x40031;   // exclamation, OK/Cancel
constexpr unsigned MB_FATAL = 0x40010;      // stop sign, OK
constexpr unsigned MB_ERROR = 0x40012;      // stop sign, Abort/Retry/Ignore
constexpr unsigned MB_YESNO_ASK = 0x40024;  // question, Yes/No

struct PlatformInfo {
  QString os_text;     // at most 131 characters
  int flavour_9x = 0;  // 0: the platform has world transforms
  int nt_major = 0;
};

struct PageMetrics {
  int horzres = 3300, vertres = 2400, logpixels_x = 300, logpixels_y = 300;
  int resolution_x = 300, resolution_y = 300;
  int width = 3182, height = 2282;  // printable page less margins, pixels
  int margin_x = 59, margin_y = 59;
  bool no_printer = true;
};

// Page metrics for a command-line resolution (> 0) or the printer's values (all 0: none).
PageMetrics COMPUTE_PAGE_METRICS(int resolution, int horzres, int vertres, int logpixels_x, int logpixels_y,
                                 bool printer_found);

struct DisplayInfo {
  int horzsize = 0, vertsize = 0, horzres = 0, vertres = 0, bitspixel = 0, planes = 1, vrefresh = 0;
  int numcolors = -1, sizepalette = 0;
  std::uint8_t red_bits = 0, green_bits = 0, blue_bits = 0;
  std::uint32_t color_bits = 0;  // red << 16 | green << 8 | blue
  double pitch_x = 0, pitch_y = 0;  // hundredths of a millimetre per pixel
};

class CKorndApp : public QApplication {
 public:
  CKorndApp(int& argc, char** argv);
  ~CKorndApp() override;

  // Start-up with the parsed command line (its pictures open before the server is offered to
  // clients): false when the server must end at once (its box has been shown).
  bool InitInstance(const CKorndCommandLineInfo& command_line);
  // Sets closing and closes every window; returns the exit code.
  int ExitInstance();

  // A string-table box. Cancel (with cancel_stops) or Abort there stop the serving; a question
  // whose Cancel only means "not now" passes cancel_stops = false.
  int ShowMessageID(int id, const QString* title, unsigned flags, bool cancel_stops = true);
  int ShowMessageText(const QString& text, const QString* title, unsigned flags);
  int ShowError(const QString& text, bool fatal);
  int ShowSystemError(const QString& title, int code, int fatal);
  // The fatal "Insufficient system memory" box: the server ends, its blocks removed.
  void ShowNoMemory();
  // Text of a string-table message; empty for an unknown id.
  static QString StringOf(int id);
  void ProbeDisplay();

  // Window table: documents by window number 1-63 (others give null).
  CKorndDoc* WindowDoc(int w) const { return w >= 1 && w <= channel::Max_Window ? windows_[w] : nullptr; }
  void SetWindowDoc(int w, CKorndDoc* doc);
  int LowestOpenWindow() const;  // 0 when none
  int LowestFreeWindow() const;  // 0 when none
  int OpenWindowCount() const { return open_windows_; }
  void CountWindow(int delta) { open_windows_ += delta; }

  // Asks the main frame to close once the event loop runs again.
  void PostCloseMain();
  // The client of the running request hung up: every wait ends as if its window had closed.
  void EndWaitsOfGoneClient();

  // --- printer defaults ---
  // Not forced, a selected printer that still exists stays; otherwise the print dialog's
  // defaults replace it, landscape when the measured page is at least as wide as high.
  void RefreshPrinterDefaults(bool force);
  // Refreshes (forced without a selection) and copies the selection; false without a printer.
  bool GetPrinterSettings(Printer_Settings& out);
  void CopyPrinterSettings(const Printer_Settings& s) { printer_defaults = s; }
  // The default printer's orientation (the l and L switches); the page is measured again.
  void SetPrinterOrientation(bool landscape);
  // The print set-up command: the active document's settings go through the dialog and back.
  void OnFilePrintSetup(CKorndDoc* active);

  int instance = 0;
  QString instance_name;  // "Kornd1"
  QString box_title;      // "Graphics Window #1"
  QString program_folder, program_name;
  std::uint32_t handshake_key = 0;
  QString client_name;    // program name of the last handshake
  QString client_folder;  // folder of the last handshake
  bool closing = false;
  bool client_gone = false;  // the client of the running request hung up
  bool box_open = false;
  bool preview_open = false;
  Printer_Settings printer_defaults;  // the selected printer, copied to and from documents
  int last_ignored = 0;
  bool advanced_graphics = true;
  PlatformInfo platform_info;
  PageMetrics page_metrics;
  DisplayInfo display_info;
  CKorndMain* main_frame = nullptr;
  CKorndDoc* newest_doc = nullptr;

  platform::Shared_Block& InstanceBlock() { return instance_block_; }
  CKorndChannel* Channel() const { return channel_.get(); }

 private:
  bool ReadPlatform();
  bool ClaimInstance();
  void ReadPrinter();
  void WriteAvailability();
  void WatchSignals();
  std::uint32_t ServeRequest(const platform::Request_Packet& packet);
  // One request of a batch: its window's block bytes first, the data buffer's bytes after.
  std::uint32_t ServeBatchEntry(const platform::Batch_Entry& entry);

  std::array<CKorndDoc*, channel::Max_Window + 1> windows_{};
  int open_windows_ = 0;
  platform::Shared_Block instance_block_;
  std::unique_ptr<CKorndChannel> channel_;
  QSocketNotifier* signal_notifier_ = nullptr;
};

// The application object, or null before it exists.
CKorndApp* KorndApp();
