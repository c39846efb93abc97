// CKorndApp.cpp - start-up, instance claiming, system facts and message boxes (see CKorndApp.h).
#include "kornd/CKorndApp.h"

#include <QDateTime>
#include <QGuiApplication>
#include <QMetaObject>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <QSocketNotifier>

#include <sys/socket.h>   // socketpair for the signal pipe
#include <sys/utsname.h>  // uname
#include <unistd.h>       // getpid, write

#include <csignal>  // sigaction
#include <cstdio>   // std::snprintf
#include <cstring>  // std::strerror
#include <new>      // std::bad_alloc

#include "kornd/CKorndBox.h"
#include "kornd/CKorndChannel.h"
#include "kornd/CKorndCommandLineInfo.h"
#include "kornd/CKorndDoc.h"
#include "kornd/CKorndView.h"
#include "kornd/CKorndMain.h"
#include "kornd/DrawUtil.h"
#include "kornd/GdiCache.h"
#include "platform/Interrupt_Cleanup.h"
#include "platform/Request_Batch.h"
#include "platform/Request_Text.h"

namespace {

CKorndApp* the_app = nullptr;
int signal_fds[2] = {-1, -1};

void on_terminate_signal(int) {
  char c = 1;
  ssize_t ignored = write(signal_fds[0], &c, 1);
  (void)ignored;
}

struct String_Entry {
  int id;
  const char* text;
};
constexpr String_Entry String_Table[] = {
    {IDS_ON_CAPTURING, "On capturing"},
    {IDS_ABORT, "Abort"},
    {IDS_OPEN_FAILED, "Failed to open file.  Abort?"},
    {IDS_INVALID_PARAMETER, "Invalid parameter.  Abort?"},
    {IDS_BITMAP_FAILED, "Failed to create bitmap.  Abort?"},
    {IDS_INVALID_BITMAP, "Invalid bitmap.  Abort?"},
    {IDS_COPY_BITMAP_FAILED, "Failed to copy bitmap.  Abort?"},
    {IDS_CLOSE, "Close"},
    {IDS_NO_WINDOW, "No window"},
    {IDS_CREATE_MAPPING_FAILED, "Failed in CreateFileMapping"},
    {IDS_MAP_VIEW_FAILED, "Failed to MapViewOfFile"},
    {IDS_TOO_MANY_INSTANCES, "Too many instances"},
    {IDS_INVALID_FILE, "Invakid file ()"},
    {IDS_CLOSE_PREVIEW, "Close preview"},
    {IDS_NO_MEMORY, "Insufficient system memory"},
    {IDS_ERASE_ALL, "All graphics objects will be erased."},
    {IDS_BITMAP_TOO_LARGE,
     "Bitmap size exceeds the physical memory size (or 64 Mb).\nContinue with a smaller size?\nSelect Cancel to "
     "Continue."},
};

}  // namespace

CKorndApp* KorndApp() { return the_app; }

PageMetrics COMPUTE_PAGE_METRICS(int resolution, int horzres, int vertres, int lpx, int lpy, bool printer_found) {
  PageMetrics m;
  m.no_printer = !printer_found;
  if (printer_found) {
    m.horzres = horzres;
    m.vertres = vertres;
    m.logpixels_x = lpx;
    m.logpixels_y = lpy;
  }
  if (resolution > 0) {
    m.resolution_x = m.resolution_y = resolution;
    m.margin_x = m.margin_y = static_cast<int>(resolution * 5 / 25.4);
    m.width = resolution * 11 - 2 * m.margin_x;
    m.height = resolution * 8 - 2 * m.margin_y;
  } else if (printer_found && lpx != 0 && lpy != 0) {
    m.resolution_x = std::min(lpx, 300);
    m.resolution_y = std::min(lpy, 300);
    m.margin_x = static_cast<int>(m.resolution_x * 5 / 25.4);
    m.margin_y = static_cast<int>(m.resolution_y * 5 / 25.4);
    std::int64_t w = horzres == 0 ? std::int64_t(m.resolution_x) * 11
                                  : std::int64_t(m.resolution_x) * horzres / lpx;
    std::int64_t h = vertres == 0 ? std::int64_t(m.resolution_y) * 8
                                  : std::int64_t(m.resolution_y) * vertres / lpy;
    m.width = static_cast<int>(w - 2 * m.margin_x);
    m.height = static_cast<int>(h - 2 * m.margin_y);
  }
  return m;
}

CKorndApp::CKorndApp(int& argc, char** argv) : QApplication(argc, argv) {
  the_app = this;
  setQuitOnLastWindowClosed(false);
}

CKorndApp::~CKorndApp() {
  closing = true;
  if (channel_) channel_->Stop();
  delete main_frame;
  main_frame = nullptr;
  ClearGdiCache();
  instance_block_.REMOVE();
  if (signal_fds[0] >= 0) {
    close(signal_fds[0]);
    close(signal_fds[1]);
    signal_fds[0] = signal_fds[1] = -1;
  }
  the_app = nullptr;
}

QString CKorndApp::StringOf(int id) {
  for (const String_Entry& e : String_Table)
    if (e.id == id) return QString::fromUtf8(e.text);
  return {};
}

bool CKorndApp::ReadPlatform() {
  utsname u{};
  if (uname(&u) != 0) return false;
  platform_info.os_text = QString("%1 %2 (Build %3)\n").arg(u.sysname, u.release, u.version).left(131);
  platform_info.flavour_9x = 0;
  platform_info.nt_major = std::max(6, QString(u.release).section('.', 0, 0).toInt());
  return true;
}

// Binding the instance's socket claims its number; its block is then created (a block left
// behind by a server that died is taken over).
bool CKorndApp::ClaimInstance() {
  const QString graphics_window = "Graphics Window";
  channel_ = std::make_unique<CKorndChannel>();
  for (int n = channel::First_Instance; n <= channel::Last_Client_Instance; ++n) {
    platform::Claim_Status s = channel_->Claim(channel::INSTANCE_BLOCK_NAME(n));
    if (s == platform::Claim_Status::Taken) continue;
    if (s == platform::Claim_Status::Failed) {
      std::fprintf(stderr, "kornd: %s\n", channel_->error().c_str());
      ShowMessageID(IDS_CREATE_MAPPING_FAILED, &graphics_window, MB_NOTICE);
      return false;
    }
    if (n > channel::Last_Server_Instance) break;
    instance = n;
    break;
  }
  if (instance == 0) {
    channel_->Stop();
    ShowMessageID(IDS_TOO_MANY_INSTANCES, &graphics_window, MB_NOTICE);
    return false;
  }
  const std::string name = channel::INSTANCE_BLOCK_NAME(instance);
  platform::Block_Status b = instance_block_.CREATE(name, sizeof(channel::KRinstblock));
  if (b == platform::Block_Status::Exists) {
    platform::UNLINK_BLOCK(name);
    b = instance_block_.CREATE(name, sizeof(channel::KRinstblock));
  }
  if (b != platform::Block_Status::Ok) {
    std::fprintf(stderr, "kornd: %s: %s\n", name.c_str(), instance_block_.error().c_str());
    channel_->Stop();
    ShowMessageID(b == platform::Block_Status::Map_Failed ? IDS_MAP_VIEW_FAILED : IDS_CREATE_MAPPING_FAILED,
                  &graphics_window, MB_NOTICE);
    return false;
  }
  instance_name = QString::fromStdString(name);
  box_title = QString("Graphics Window #%1").arg(instance);
  return true;
}

// Measures the selected printer's page; without one the page keeps its defaults and the
// no-printer flag is set.
void CKorndApp::ReadPrinter() {
  Printer_Settings s;
  if (!GetPrinterSettings(s)) {
    page_metrics = COMPUTE_PAGE_METRICS(0, 0, 0, 0, 0, false);
    return;
  }
  QPrinter printer(QPrinter::HighResolution);
  APPLY_PRINTER_SETTINGS(s, printer);
  page_metrics = COMPUTE_PAGE_METRICS(0, printer.width(), printer.height(), printer.logicalDpiX(),
                                      printer.logicalDpiY(), true);
}

void CKorndApp::RefreshPrinterDefaults(bool force) {
  if (!force && PRINTER_STILL_THERE(printer_defaults)) return;
  printer_defaults = DEFAULT_PRINTER_SETTINGS();
  printer_defaults.landscape = page_metrics.horzres >= page_metrics.vertres;
}

bool CKorndApp::GetPrinterSettings(Printer_Settings& out) {
  RefreshPrinterDefaults(!printer_defaults.valid);
  if (!printer_defaults.valid) return false;
  out = printer_defaults;
  return true;
}

void CKorndApp::SetPrinterOrientation(bool landscape) {
  if (!printer_defaults.valid) return;
  printer_defaults.landscape = landscape;
  ReadPrinter();
}

void CKorndApp::OnFilePrintSetup(CKorndDoc* active) {
  if (active) CopyPrinterSettings(active->PrinterSettings());
  Printer_Settings s;
  if (!GetPrinterSettings(s)) return;
  if (ASK_PRINTER_SETTINGS(true, s)) CopyPrinterSettings(s);
  if (active) active->SetPrinterSettings(printer_defaults);
}

void CKorndApp::WriteAvailability() {
  auto* inst = static_cast<channel::KRinstblock*>(instance_block_.view());
  std::snprintf(inst->line, sizeof inst->line, "0,%d,%d,%s\n", static_cast<int>(getpid()),
                static_cast<int>(handshake_key), channel::Server_Version);
}

// SIGTERM, SIGINT and SIGHUP end the server the way the quit request does, so its blocks go.
void CKorndApp::WatchSignals() {
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signal_fds) == 0) {
    signal_notifier_ = new QSocketNotifier(signal_fds[1], QSocketNotifier::Read, this);
    connect(signal_notifier_, &QSocketNotifier::activated, this, [this] {
      char c;
      ssize_t ignored = read(signal_fds[1], &c, 1);
      (void)ignored;
      closing = true;
      PostCloseMain();
    });
    struct sigaction sa {};
    sa.sa_handler = on_terminate_signal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
  }
  // A parent may have started the server with these blocked; one already pending arrives now.
  const sigset_t ends = platform::INTERRUPT_SIGNALS();
  pthread_sigmask(SIG_UNBLOCK, &ends, nullptr);
}

bool CKorndApp::InitInstance(const CKorndCommandLineInfo& command_line) {
  if (!ReadPlatform()) {
    const QString title = "Graphics Window";
    ShowMessageID(IDS_CLOSE, &title, MB_NOTICE);
    return false;
  }
  if (!ClaimInstance()) return false;
  ReadPrinter();
  windows_.fill(nullptr);
  open_windows_ = 0;

  main_frame = new CKorndMain(this);

  QDateTime now = QDateTime::currentDateTimeUtc();
  QDate d = now.date();
  QTime t = now.time();
  handshake_key = static_cast<std::uint32_t>(
      500u * (((std::uint32_t(d.day()) * 24 + t.hour()) * 60 + t.minute()) * 60 + t.second()) + t.msec() / 2);

  QString path = applicationFilePath();
  qsizetype cut = std::max(path.lastIndexOf('/'), path.lastIndexOf('\\'));
  program_folder = cut >= 0 ? path.left(cut) : QString();
  program_name = cut >= 0 ? path.mid(cut + 1) : path;

  main_frame->show();
  ProbeDisplay();
  ClearGdiCache();
  // The pictures first: each window writes its line into the instance block, and only the
  // availability line written after them lets a client take this server.
  command_line.Apply(*this);
  WriteAvailability();
  advanced_graphics = true;
  WatchSignals();
  channel_->Start([this](const platform::Request_Packet& p) { return ServeRequest(p); },
                  [this] { return main_frame ? main_frame->TakeReplyAttachment() : -1; },
                  [this](const platform::Batch_Entry& e) { return ServeBatchEntry(e); });
  channel_->OnClientGone([this] { EndWaitsOfGoneClient(); });
  closing = false;
  return true;
}

// Memory a request could not get ends the server through its box, never by an abort.
std::uint32_t CKorndApp::ServeRequest(const platform::Request_Packet& packet) {
  try {
    return main_frame->OnCopyData(packet);
  } catch (const std::bad_alloc&) {
    ShowNoMemory();
    return channel::Reply_Refused;
  }
}

std::uint32_t CKorndApp::ServeBatchEntry(const platform::Batch_Entry& entry) {
  const platform::Request_Packet& p = entry.packet;
  const channel::Request r = channel::PARSE_REQUEST(p.text, p.length, p.well_formed());
  const int w = r.kind != channel::Request_Kind::Window ? 0 : r.window == 0 ? LowestOpenWindow() : r.window;
  CKorndDoc* doc = closing ? nullptr : WindowDoc(w);
  if (doc != nullptr) {
    char* block = reinterpret_cast<char*>(doc->block());
    for (const platform::Batch_Entry::Run& run : entry.runs) std::memcpy(block + run.offset, run.bytes.data(), run.bytes.size());
  }
  const std::uint32_t reply = ServeRequest(p);
  if (entry.payload.empty() || channel::IS_RESERVED_REPLY(reply) || reply == 0) return reply;
  if (CKorndDoc* still = WindowDoc(w); still == doc && doc != nullptr && !doc->FillDataBuffer(entry.payload))
    std::fprintf(stderr, "kornd: window %d: %zu bytes for a data buffer of %zu\n", w, entry.payload.size(),
                 doc->DataBufferSize());
  return reply;
}

int CKorndApp::ExitInstance() {
  closing = true;
  for (int w = 1; w <= channel::Max_Window; ++w)
    if (windows_[w]) windows_[w]->ReleaseWindow();
  return 0;
}

void CKorndApp::SetWindowDoc(int w, CKorndDoc* doc) {
  if (w >= 1 && w <= channel::Max_Window) windows_[w] = doc;
}

int CKorndApp::LowestOpenWindow() const {
  for (int w = 1; w <= channel::Max_Window; ++w)
    if (windows_[w]) return w;
  return 0;
}

int CKorndApp::LowestFreeWindow() const {
  for (int w = 1; w <= channel::Max_Window; ++w)
    if (!windows_[w]) return w;
  return 0;
}

void CKorndApp::EndWaitsOfGoneClient() {
  client_gone = true;
  for (int w = 1; w <= channel::Max_Window; ++w)
    if (CKorndDoc* doc = windows_[w])
      for (CKorndView* v : doc->Views()) v->WakeWait();
}

void CKorndApp::PostCloseMain() {
  if (main_frame) QMetaObject::invokeMethod(main_frame, "close", Qt::QueuedConnection);
  else QMetaObject::invokeMethod(this, &QCoreApplication::quit, Qt::QueuedConnection);
}

int CKorndApp::ShowMessageID(int id, const QString* title, unsigned flags, bool cancel_stops) {
  if (id == last_ignored) return 0;
  box_open = true;
  int answer = CKorndBox::Show(title ? *title : box_title, StringOf(id), flags);
  if (answer == CKorndBox::IDCANCEL && cancel_stops) closing = true;
  if (answer == CKorndBox::IDABORT) {
    closing = true;
    PostCloseMain();
  }
  if (answer == CKorndBox::IDIGNORE) last_ignored = id;
  box_open = false;
  return answer;
}

int CKorndApp::ShowMessageText(const QString& text, const QString* title, unsigned flags) {
  box_open = true;
  int answer = CKorndBox::Show(title ? *title : box_title, text, flags);
  if (answer == CKorndBox::IDCANCEL) closing = true;
  if (answer == CKorndBox::IDABORT) {
    closing = true;
    PostCloseMain();
  }
  box_open = false;
  return answer;
}

int CKorndApp::ShowError(const QString& text, bool fatal) {
  int answer = CKorndBox::Show("Kornd: Error", text, fatal ? MB_FATAL : MB_ERROR);
  if (fatal || answer == CKorndBox::IDABORT) PostCloseMain();
  return answer;
}

void CKorndApp::ShowNoMemory() { ShowError(StringOf(IDS_NO_MEMORY), true); }

int CKorndApp::ShowSystemError(const QString& title, int code, int fatal) {
  if (code == 0) return 0;
  int answer = CKorndBox::Show(title, QString::fromLocal8Bit(std::strerror(code)), fatal > 0 ? MB_FATAL : MB_ERROR);
  if (fatal > 0 || answer == CKorndBox::IDABORT) PostCloseMain();
  return answer;
}

void CKorndApp::ProbeDisplay() {
  QScreen* screen = QGuiApplication::primaryScreen();
  DisplayInfo d;
  if (screen) {
    QSizeF mm = screen->physicalSize();
    QSize px = screen->size();
    d.horzsize = static_cast<int>(mm.width());
    d.vertsize = static_cast<int>(mm.height());
    d.horzres = px.width();
    d.vertres = px.height();
    d.bitspixel = screen->depth();
    d.vrefresh = static_cast<int>(screen->refreshRate());
  }
  d.color_bits = ProbeColorDepth(d.bitspixel == 16 ? QImage::Format_RGB16 : QImage::Format_RGB32);
  d.red_bits = static_cast<std::uint8_t>(d.color_bits >> 16);
  d.green_bits = static_cast<std::uint8_t>(d.color_bits >> 8);
  d.blue_bits = static_cast<std::uint8_t>(d.color_bits);
  d.pitch_y = d.vertres > 0 ? d.vertsize * 100.0 / d.vertres : 0;
  d.pitch_x = d.horzres > 0 ? d.horzsize * 100.0 / d.horzres : 0;
  display_info = d;
}
