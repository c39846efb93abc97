// CKorndCommandLineInfo.cpp - the server's command line (see CKorndCommandLineInfo.h).
#include "kornd/CKorndCommandLineInfo.h"

#include <QFile>
#include <QFileInfo>

#include <vector>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "kornd/CKorndApp.h"
#include "kornd/CKorndDoc.h"
#include "kornd/CKorndMain.h"
#include "platform/Request_Text.h"

namespace {

struct Word {
  const char* word;
  int show, arrange;
};

const Word Words[] = {
    {"hide", 0, -1},          {"maximize", 1, -1},      {"minimize", 2, -1},        {"restore", 3, -1},
    {"show", 4, -1},          {"showmaximized", 5, -1}, {"showminimized", 6, -1},   {"showminnoactive", 7, -1},
    {"showna", 8, -1},        {"shownoactive", 9, -1},  {"shownormal", 10, -1},     {"topmost", 11, -1},
    {"notopmost", 12, -1},    {"top", 13, -1},          {"bottom", 14, -1},         {"cascade", -1, 1},
    {"horizontal", -1, 2},    {"vertical", -1, 3},      {"iconarrange", -1, 4}};

// The decimal number at the start of s (0 when there is none; clamped to the int range).
int number_at(const char* s) {
  long v = std::strtol(s, nullptr, 10);
  return v > 2147483647L ? 2147483647 : v < -2147483647L ? -2147483647 : static_cast<int>(v);
}

// Two numbers "a,b", else "a.b"; false unless two were read.
bool pair_at(const char* s, int& a, int& b) {
  return std::sscanf(s, "%d,%d", &a, &b) == 2 || std::sscanf(s, "%d.%d", &a, &b) == 2;
}

}  // namespace

void CKorndCommandLineInfo::ParseParam(const std::string& param, bool is_switch, bool) {
  if (!is_switch) {
    files.append(QString::fromLocal8Bit(param.c_str()));
    return;
  }
  for (const Word& w : Words) {
    if (param == w.word) {
      if (w.show >= 0) show_code = w.show;
      if (w.arrange >= 0) arrange = w.arrange;
      return;
    }
  }
  if (param.empty()) return;
  const char* s = param.c_str();
  if (param.rfind("dpi", 0) == 0 || param.rfind("DPI", 0) == 0) {
    resolution = number_at(s + 3);
    return;
  }
  const auto digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
  if (digit(s[0])) {
    resolution = number_at(s);
    return;
  }
  if (!digit(s[1])) {
    const char c = s[0];
    const int on = std::islower(static_cast<unsigned char>(c)) ? 1 : 0;
    switch (std::tolower(static_cast<unsigned char>(c))) {
      case 't': storing = on, given |= Given_Storing; break;
      case 'b': buffering = on, given |= Given_Buffering; break;
      case 'r': status_bar = on, given |= Given_Status_Bar; break;
      case 'i': inquiring = on, given |= Given_Inquiring; break;
      case 'l': landscape = on, given |= Given_Landscape; break;
      default: break;
    }
    return;
  }
  const int n = number_at(s + 1);
  int a = 0, b = 0;
  switch (std::tolower(static_cast<unsigned char>(s[0]))) {
    case 'a': arrange = n; break;
    case 'd': resolution = n; break;
    case 'm': show_code = n; break;
    case 'z': z_order = n; break;
    case 'p':
      if (pair_at(s + 1, a, b)) x = a, y = b, given |= Given_Position;
      break;
    case 's':
      if (pair_at(s + 1, a, b)) width = a, height = b, given |= Given_Size;
      break;
    default: break;
  }
}

void CKorndCommandLineInfo::ParseCommandLine(const QStringList& arguments) {
  for (qsizetype i = 0; i < arguments.size(); ++i) {
    const QString& arg = arguments[i];
    bool is_switch = arg.size() > 1 && (arg[0] == '-' || arg[0] == '/');
    // A path is not a switch: "/home/me/pic.krd" or "/pic.krd" when that file exists.
    if (is_switch && arg[0] == '/' && (arg.indexOf('/', 1) >= 0 || QFileInfo::exists(arg))) is_switch = false;
    const QByteArray bytes = (is_switch ? arg.mid(1) : arg).toLocal8Bit();
    ParseParam(std::string(bytes.constData(), std::size_t(bytes.size())), is_switch, i + 1 == arguments.size());
  }
}

void CKorndCommandLineInfo::Apply(CKorndApp& app) const {
  CKorndMain* frame = app.main_frame;
  if (frame == nullptr) return;
  if (show_code >= 0 && show_code <= 10) frame->ShowFrame(show_code);
  if (given & Given_Storing) frame->default_storing = storing != 0;
  if (given & Given_Buffering) frame->default_buffering = buffering != 0;
  if (given & Given_Inquiring) frame->default_inquiring = inquiring != 0;
  if (given & Given_Status_Bar) frame->ShowStatusBar(status_bar != 0);
  if (given & Given_Position) frame->move(x, y);
  if ((given & Given_Size) && width > 0 && height > 0) frame->resize(width, height);
  if (z_order >= 1 && z_order <= 4) frame->ShowFrame(z_order + 10);
  else if (show_code >= 11 && show_code <= 14) frame->ShowFrame(show_code);
  // The orientation first: the page is measured again with it, before a resolution applies.
  if (given & Given_Landscape) app.SetPrinterOrientation(landscape != 0);
  if (resolution > 0) {
    const PageMetrics& old = app.page_metrics;
    app.page_metrics = COMPUTE_PAGE_METRICS(resolution, old.horzres, old.vertres, old.logpixels_x, old.logpixels_y,
                                            !old.no_printer);
  }
  for (const QString& f : files) OPEN_PICTURE_WINDOW(app, f);
  if (arrange >= 1 && arrange <= 4) frame->Arrange(arrange);
}

int OPEN_PICTURE_WINDOW(CKorndApp& app, const QString& file) {
  if (app.main_frame == nullptr) return 0;
  QFile in(file);
  if (!in.open(QIODevice::ReadOnly) || in.size() > (qint64(1) << 31)) {
    app.ShowMessageID(IDS_OPEN_FAILED, nullptr, MB_ERROR);
    return 0;
  }
  const QByteArray data = in.readAll();
  const std::vector<std::uint8_t> bytes(data.begin(), data.end());
  // The window takes the picture's size from its block (width and height at offsets 40, 44).
  channel::Request r;
  if (bytes.size() >= 8 + 48) {
    std::int32_t size[2];
    std::memcpy(size, bytes.data() + 8 + 40, sizeof size);
    if (size[0] > 0 && size[1] > 0 && size[0] <= 32767 && size[1] <= 32767) r.width = size[0], r.height = size[1];
  }
  r.kind = channel::Request_Kind::Open_Window;
  r.bg = 19;
  r.show = 5;
  r.has_title = true;
  r.title = QFileInfo(file).fileName().toLocal8Bit().toStdString();
  const int w = app.main_frame->OpenWindow(r);
  if (w <= 0) return 0;
  CKorndDoc* doc = app.WindowDoc(w);
  if (doc == nullptr || doc->ReadPicture(bytes, false, true, QFileInfo(file).absolutePath()) == 0) {
    app.main_frame->CloseWindow(w);
    return 0;
  }
  doc->SetPathName(QFileInfo(file).absoluteFilePath());
  return w;
}
