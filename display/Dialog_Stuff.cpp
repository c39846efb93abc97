// Dialog_Stuff: console set-up, plotting devices opened in another folder, and the
// save-file dialog.
//
// Reads:   DP_ZELTRA_DIR, /proc/self/exe, QT_QPA_PLATFORM, DISPLAY, WAYLAND_DISPLAY,
//          ZELTRA_TEST_SAVE_NAMES; the controlling terminal /dev/tty.
// Writes:  PGPLOT_DIR; ZELTRA_TEST_SAVE_NAMES (the names not yet used); the console.
// Changes the current folder only inside PGOPEN_WIN, and always changes it back.
//
// The save-file question never reads standard input: in front-end mode that carries the
// commands. The Qt application is made only once a display is known to be reachable, so
// that an unreachable one cannot abort the program.

#include "display/Dialog_Stuff.h"

#include <cpgplot.h>
#include <fcntl.h>   // open, O_PATH
#include <unistd.h>  // isatty, fchdir, chdir, read, write

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QStringList>
#include <cctype>    // std::toupper
#include <cerrno>    // errno
#include <cstdio>    // std::fputs
#include <cstdlib>   // std::getenv, setenv
#include <cstring>   // std::strerror
#include <filesystem>
#include <system_error>

#include "platform/Display_Reachable.h"
#include "records/Console.h"
#include "text/Blanks.h"

namespace {

constexpr const char* Test_Names_Variable = "ZELTRA_TEST_SAVE_NAMES";
constexpr std::size_t Longest_File_Name = 90;      // the library cuts longer names
constexpr std::size_t Longest_Gif_File_Name = 80;

// The trimmed text without blanks, tabs and line ends at either end.
std::string stripped(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1));
}

void report(std::initializer_list<std::string> lines) {
  CONSOLE_EMPTY();
  for (const auto& line : lines) CONSOLE_LINE(line);
  CONSOLE_EMPTY();
}

// ---------------------------------------------------------------- PGPLOT_DIR
// The folder of the running program with its final "/"; "" when it cannot be read.
std::string program_folder() {
  std::error_code error;
  const std::string program = std::filesystem::read_symlink("/proc/self/exe", error).string();
  const auto slash = program.find_last_of('/');
  return error || slash == std::string::npos ? std::string{} : program.substr(0, slash + 1);
}

void set_pgplot_dir() {
  const char* given = std::getenv("DP_ZELTRA_DIR");
  std::string folder = given != nullptr ? WITHOUT_TRAILING_BLANKS(given) : std::string{};
  if (folder.empty()) folder = program_folder();
  if (folder.empty()) return;
  if (setenv("PGPLOT_DIR", folder.c_str(), 1) != 0) {
    CONSOLE_EMPTY();
    CONSOLE_LINE("Unable to set 'PGPlot_DIR' environment variable");
    CONSOLE_LINE("Please try setting it manually");
    CONSOLE_EMPTY();
  }
}

// ---------------------------------------------------------------- the save-file question
// The next name of the test list, which keeps the names not yet used; logs the call.
std::string scripted_answer(const Save_File_Setup& setup, std::string_view names) {
  const auto end = names.find(';');
  const std::string name(names.substr(0, end));
  const std::string rest(end == std::string_view::npos ? std::string_view{} : names.substr(end + 1));
  setenv(Test_Names_Variable, rest.c_str(), 1);
  CONSOLE_LINE("save file: [" + setup.title + "] [" + setup.default_name + "] answer=" + name);
  if (name.empty() || name == "Cancel") return {};
  return COMPLETE_FILE_NAME(setup, name);
}

// True when the Qt dialog can be shown: an X display opens, or Qt was told to use Wayland
// and its socket accepts. Offscreen and the other screenless platforms count as none.
bool qt_display_reachable() {
  const char* named = std::getenv("QT_QPA_PLATFORM");
  const std::string platform = named != nullptr ? named : "";
  if (platform.empty() || platform.starts_with("xcb")) return X_DISPLAY_OPENS();
  if (platform.starts_with("wayland")) return WAYLAND_DISPLAY_ACCEPTS();
  return false;
}

// The controlling terminal, for questions that must not read standard input.
class Terminal {
 public:
  Terminal() : fd_(open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC)) {}
  ~Terminal() {
    if (fd_ >= 0) close(fd_);
  }
  Terminal(const Terminal&) = delete;
  Terminal& operator=(const Terminal&) = delete;

  bool open_ok() const { return fd_ >= 0; }

  // Shows the question and reads one line; false at the end of input.
  bool ask(const std::string& question, std::string& line) {
    std::size_t done = 0;
    while (done < question.size()) {
      const ssize_t n = write(fd_, question.data() + done, question.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      done += static_cast<std::size_t>(n);
    }
    line.clear();
    for (;;) {
      char c;
      const ssize_t n = read(fd_, &c, 1);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      if (c == '\n') return true;
      line.push_back(c);
    }
  }

 private:
  int fd_;
};

std::string terminal_answer(const Save_File_Setup& setup) {
  Terminal terminal;
  if (!terminal.open_ok()) {
    report({" Unable to ask for a file name (" + setup.title + "): no display and no terminal",
            " Nothing is written"});
    return {};
  }
  std::string line;
  for (;;) {
    if (!terminal.ask(setup.title + " - file name [" + setup.default_name + "]: ", line)) return {};
    const std::string typed = stripped(line);
    const std::string path = COMPLETE_FILE_NAME(setup, typed.empty() ? setup.default_name : typed);
    std::error_code error;
    if (path.empty() || !std::filesystem::exists(path, error)) return path;
    if (!terminal.ask(path + " already exists. Replace it? [y/N]: ", line)) return {};
    const std::string answer = stripped(line);
    if (answer == "y" || answer == "Y" || answer == "yes" || answer == "Yes") return path;
  }
}

// Brings the dialog to the foreground through the hook.
class Hook_Filter : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override { return CTN_HOOK_PROCEDURE(watched, event); }
};

}  // namespace

// ---------------------------------------------------------------- routines
void DIALOG_STUFF(std::int32_t mode) {
  if (mode != 1) return;
  if (isatty(STDERR_FILENO)) {
    std::fputs("\033]0;DP_ZEL.\007", stderr);
    std::fflush(stderr);
  }
  set_pgplot_dir();
}

std::int32_t PGOPEN_WIN(bool in_folder, std::string_view device) {
  const std::string spec = WITHOUT_TRAILING_BLANKS(device);
  const auto type_start = spec.rfind('/');
  std::string file = type_start == std::string::npos ? spec : spec.substr(0, type_start);
  const std::string type = type_start == std::string::npos ? std::string{} : spec.substr(type_start);
  std::string folder;
  if (in_folder) {
    const auto separator = file.find_last_of("/\\");
    if (separator != std::string::npos) {
      folder = file.substr(0, separator + 1);
      file.erase(0, separator + 1);
    }
  }

  std::string kind = type;
  for (char& c : kind) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const std::size_t longest = kind == "/GIF" || kind == "/VGIF" ? Longest_Gif_File_Name : Longest_File_Name;
  if (file.size() > longest) {
    report({" Unable to open file: " + file,
            " The plotting device takes names of at most " + std::to_string(longest) + " characters"});
    return 0;
  }
  const std::string opened = file + type;
  if (folder.empty()) return cpgopen(opened.c_str());

  // The way back is a descriptor of the current folder, so no path length can cut it.
  const int saved = open(".", O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (saved < 0) {
    report({" Unable to keep the current folder: " + std::string(std::strerror(errno))});
    return 0;
  }
  if (chdir(folder.c_str()) != 0) {
    report({" Unable to enter folder " + folder + ": " + std::strerror(errno)});
    close(saved);
    return 0;
  }
  const std::int32_t unit = cpgopen(opened.c_str());
  if (fchdir(saved) != 0) report({" Unable to return from folder " + folder + ": " + std::strerror(errno)});
  close(saved);
  return unit;
}

Save_File_Setup SAVE_FILE_SETUP(std::string_view title, std::string_view default_name) {
  Save_File_Setup setup;
  setup.title = WITHOUT_TRAILING_BLANKS(title);
  setup.default_name = WITHOUT_TRAILING_BLANKS(default_name);
  const auto separator = setup.default_name.find_last_of("/\\");
  setup.folder = separator == std::string::npos ? std::string{} : setup.default_name.substr(0, separator + 1);
  setup.file_name = setup.default_name.substr(setup.folder.size());
  const auto dot = setup.file_name.rfind('.');
  if (dot != std::string::npos) setup.default_extension = setup.file_name.substr(dot + 1);
  return setup;
}

std::string COMPLETE_FILE_NAME(const Save_File_Setup& setup, std::string_view typed) {
  if (typed.empty()) return {};
  std::string path(typed);
  if (path.front() != '/') path.insert(0, setup.folder);
  const std::string file = path.substr(path.find_last_of('/') + 1);
  if (!file.empty() && file.find('.') == std::string::npos && !setup.default_extension.empty())
    path += "." + setup.default_extension;
  return path;
}

std::string GET_FILE_NAME(std::string_view title, std::string_view default_name) {
  const Save_File_Setup setup = SAVE_FILE_SETUP(title, default_name);
  if (const char* names = std::getenv(Test_Names_Variable)) return scripted_answer(setup, names);
  if (qt_display_reachable()) return SAVE_FILE_DIALOG(setup);
  return terminal_answer(setup);
}

std::string SAVE_FILE_DIALOG(const Save_File_Setup& setup) {
  // Made on first use and kept for the rest of the run. Never deleted: a QApplication
  // destroyed among the static objects at exit crashes inside Qt.
  static int argc = 1;
  static char name[] = "Display_ZELTRA";
  static char* argv[] = {name, nullptr};
  if (QApplication::instance() == nullptr) new QApplication(argc, argv);

  QFileDialog dialog(nullptr, QString::fromStdString(setup.title));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  // "*" rather than "*.*": names without an extension are common here.
  dialog.setNameFilters({"All Files (*)", "Text files (*.txt)", "GIF Files (*.gif)", "PostScript Files (*.ps)"});
  dialog.selectNameFilter("All Files (*)");
  dialog.setDefaultSuffix(QString::fromStdString(setup.default_extension));
  if (!setup.folder.empty()) dialog.setDirectory(QFile::decodeName(setup.folder.c_str()));
  dialog.selectFile(QFile::decodeName(setup.file_name.c_str()));
  Hook_Filter hook;
  dialog.installEventFilter(&hook);
  if (dialog.exec() != QDialog::Accepted) return {};
  const QStringList files = dialog.selectedFiles();
  return files.isEmpty() ? std::string{} : QFile::encodeName(files.first()).toStdString();
}

bool CTN_HOOK_PROCEDURE(QObject* dialog, QEvent* event) {
  if (event->type() == QEvent::Show) {
    if (auto* window = qobject_cast<QWidget*>(dialog)) {
      window->raise();
      window->activateWindow();
    }
  }
  return false;
}
