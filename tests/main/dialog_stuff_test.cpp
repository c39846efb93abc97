// Console set-up (PGPLOT_DIR, the title on a terminal), devices opened in another folder,
// and the save-file question: the test list, the terminal prompt and the Qt dialog.

#include <cpgplot.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>       // forkpty
#include <sys/wait.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QShowEvent>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "display/Dialog_Stuff.h"
#include "records/Globals.h"
#include "tests/result_files/Scratch_Folder.h"

namespace fs = std::filesystem;

namespace {

// Sets or unsets an environment variable for the life of the object.
class Environment_Variable {
 public:
  Environment_Variable(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) setenv(name, value, 1);
    else unsetenv(name);
  }
  ~Environment_Variable() {
    if (old_) setenv(name_, old_->c_str(), 1);
    else unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// Runs in the given folder for the life of the object.
class Working_Folder {
 public:
  explicit Working_Folder(const fs::path& folder) : old_(fs::current_path()) { fs::current_path(folder); }
  ~Working_Folder() { fs::current_path(old_); }

 private:
  fs::path old_;
};

std::string program_folder() { return fs::read_symlink("/proc/self/exe").parent_path().string() + "/"; }

// ---------------------------------------------------------------- PGPLOT_DIR
TEST(Console_Set_Up, PgplotDirFromTheVariableOrTheProgramFolder) {
  Environment_Variable keep("PGPLOT_DIR", nullptr);
  struct Row {
    const char* given;
    std::string expected;
  } rows[] = {
      {"/opt/zeltra/fonts  ", "/opt/zeltra/fonts"},  // exactly, trailing blanks dropped, no "/" added
      {"relative dir", "relative dir"},
      {nullptr, program_folder()},
      {"   ", program_folder()},                    // blank counts as not set
  };
  for (const auto& row : rows) {
    Environment_Variable given("DP_ZELTRA_DIR", row.given);
    Console_Capture console;
    DIALOG_STUFF(1);
    ASSERT_NE(std::getenv("PGPLOT_DIR"), nullptr);
    EXPECT_EQ(std::string(std::getenv("PGPLOT_DIR")), row.expected);
    EXPECT_EQ(console.text(), "");  // no terminal here: no title either
  }
  // The other modes change nothing.
  setenv("PGPLOT_DIR", "/kept", 1);
  for (int mode : {0, 2, 3, 4}) DIALOG_STUFF(mode);
  EXPECT_EQ(std::string(std::getenv("PGPLOT_DIR")), "/kept");
}

// ---------------------------------------------------------------- PGOPEN_WIN
class Open_In_Folder : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(folder_.path() / "out");
    fs::create_directories(folder_.path() / "work");
  }
  // Opens, draws a box and closes; returns the device identifier.
  std::int32_t open_draw_close(bool in_folder, const std::string& device, std::string* console = nullptr) {
    Working_Folder work(folder_.path() / "work");
    Console_Capture capture;
    const std::int32_t unit = PGOPEN_WIN(in_folder, device);
    EXPECT_EQ(fs::current_path(), folder_.path() / "work");
    if (unit > 0) {
      cpgask(0);
      cpgenv(0.0f, 1.0f, 0.0f, 1.0f, 0, 0);
      cpgclos();
    }
    if (console) *console = capture.text();
    return unit;
  }
  std::string work_listing() const {
    std::string names;
    for (const auto& e : fs::directory_iterator(folder_.path() / "work")) names += e.path().filename().string() + " ";
    return names;
  }
  Scratch_Folder folder_;
};

TEST_F(Open_In_Folder, FileGoesIntoTheFolderAndTheCurrentFolderStays) {
  const std::string out = folder_ / "out";
  EXPECT_GT(open_draw_close(true, out + "/scale_1.gif/GIF"), 0);
  EXPECT_TRUE(fs::exists(out + "/scale_1.gif"));
  EXPECT_GT(open_draw_close(false, out + "/whole.ps/VCPS"), 0);
  EXPECT_TRUE(fs::exists(out + "/whole.ps"));
  EXPECT_GT(open_draw_close(true, "here.gif/GIF"), 0);  // no folder: the current one
  EXPECT_EQ(work_listing(), "here.gif ");
}

TEST_F(Open_In_Folder, FolderThatCannotBeEnteredOpensNothing) {
  std::string console;
  const std::string missing = folder_ / "missing/";
  EXPECT_EQ(open_draw_close(true, missing + "scale_1.gif/GIF", &console), 0);
  EXPECT_EQ(console, "\n Unable to enter folder " + missing + ": No such file or directory\n\n");
  EXPECT_EQ(work_listing(), "");
}

TEST_F(Open_In_Folder, NamesLongerThanTheLibraryTakesAreRefused) {
  const std::string out = folder_ / "out/";
  struct Row {
    std::size_t length;
    const char* type;
    bool opens;
  } rows[] = {{80, "/GIF", true}, {81, "/GIF", false}, {81, "/vgif", false},
              {90, "/VCPS", true}, {91, "/VCPS", false}, {91, "/PS", false}};
  for (const auto& row : rows) {
    const std::string extension = std::string(row.type).find_first_of("gG") != std::string::npos ? ".gif" : ".ps";
    const std::string name = std::string(row.length - extension.size(), 'n') + extension;
    std::string console;
    const std::int32_t unit = open_draw_close(true, out + name + row.type, &console);
    EXPECT_EQ(unit > 0, row.opens) << row.length << row.type;
    EXPECT_EQ(fs::exists(out + name), row.opens) << row.length << row.type;  // never a cut name
    if (!row.opens) {
      const std::string limit = std::string(row.type).find_first_of("gG") != std::string::npos ? "80" : "90";
      EXPECT_EQ(console, "\n Unable to open file: " + name + "\n The plotting device takes names of at most " +
                             limit + " characters\n\n");
    }
  }
  EXPECT_EQ(work_listing(), "");
  // Without the folder flag the folder counts too: 81 characters in all.
  ASSERT_LT(out.size(), 80u);
  const std::string whole = out + std::string(81 - out.size(), 'x');
  EXPECT_EQ(open_draw_close(false, whole + "/GIF"), 0);
  EXPECT_FALSE(fs::exists(whole));
  EXPECT_GT(open_draw_close(false, whole.substr(0, 80) + "/GIF"), 0);
  EXPECT_TRUE(fs::exists(whole.substr(0, 80)));
}

TEST_F(Open_In_Folder, TheWayBackIsNotCutByALongPath) {
  fs::path deep = folder_.path() / "work";
  while (deep.string().size() < 700) deep /= std::string(60, 'd');
  fs::create_directories(deep);
  const std::string out = folder_ / "out";
  Working_Folder inside(deep);
  Console_Capture console;
  const std::int32_t unit = PGOPEN_WIN(true, out + "/deep.gif/GIF");
  ASSERT_GT(unit, 0);
  EXPECT_EQ(fs::current_path(), deep);
  cpgclos();
  EXPECT_EQ(console.text(), "");
}

// ---------------------------------------------------------------- save-file settings
TEST(Save_File_Setup, FolderNameAndExtensionOfTheDefault) {
  struct Row {
    std::string name, folder, file, extension;
  } rows[] = {
      {"/d/out/image_001.gif   ", "/d/out/", "image_001.gif", "gif"},
      {"image.ps", "", "image.ps", "ps"},
      {"a.b/case", "a.b/", "case", ""},   // the folder's "." is no extension
      {"x\\y.txt", "x\\", "y.txt", "txt"},
      {"/d/archive.tar.gz", "/d/", "archive.tar.gz", "gz"},
  };
  for (const auto& row : rows) {
    const Save_File_Setup setup = SAVE_FILE_SETUP("Image output ", row.name);
    EXPECT_EQ(setup.title, "Image output");
    EXPECT_EQ(setup.folder, row.folder) << row.name;
    EXPECT_EQ(setup.file_name, row.file) << row.name;
    EXPECT_EQ(setup.default_extension, row.extension) << row.name;
  }
}

TEST(Save_File_Setup, TypedNamesAreCompletedAsTheDialogDoes) {
  const Save_File_Setup setup = SAVE_FILE_SETUP("Image output", "/d/out/image_001.gif");
  const std::string long_name(700, 'p');
  struct Row {
    std::string typed, path;
  } rows[] = {
      {"picture", "/d/out/picture.gif"},
      {"picture.txt", "/d/out/picture.txt"},
      {"sub/picture", "/d/out/sub/picture.gif"},
      {"/elsewhere/x", "/elsewhere/x.gif"},
      {"v1.2/x", "/d/out/v1.2/x.gif"},
      {"", ""},
      {long_name, "/d/out/" + long_name + ".gif"},  // never cut
  };
  for (const auto& row : rows) EXPECT_EQ(COMPLETE_FILE_NAME(setup, row.typed), row.path) << row.typed;
  EXPECT_EQ(COMPLETE_FILE_NAME(SAVE_FILE_SETUP("t", "plain"), "other"), "other");  // no extension to add
}

TEST(Save_File_Names, TheTestListAnswersInTurn) {
  Scratch_Folder folder;
  const std::string preset = folder / "out/image_001.gif";
  Environment_Variable names("ZELTRA_TEST_SAVE_NAMES", "picture;Cancel;;sub/table.txt;/abs/x");
  const std::vector<std::pair<std::string, std::string>> rows = {
      {"picture", folder / "out/picture.gif"}, {"Cancel", ""}, {"", ""},
      {"sub/table.txt", folder / "out/sub/table.txt"}, {"/abs/x", "/abs/x.gif"}, {"", ""}, {"", ""}};
  for (const auto& [answer, path] : rows) {
    Console_Capture console;
    EXPECT_EQ(GET_FILE_NAME("Image output", preset + "   "), path) << answer;
    EXPECT_EQ(console.text(), "save file: [Image output] [" + preset + "] answer=" + answer + "\n");
  }
}

// ---------------------------------------------------------------- the terminal prompt
// One exchange with the terminal: wait for a text, then type a line (nullopt: end input).
struct Exchange {
  std::string wait_for;
  std::optional<std::string> type;
};

// Runs body in a child whose controlling terminal is a new pseudo-terminal, answering
// the exchanges; returns what the child wrote through its result pipe.
std::string with_terminal(const std::function<std::string()>& body, const std::vector<Exchange>& exchanges,
                          std::string* transcript = nullptr) {
  int result_pipe[2];
  if (pipe(result_pipe) != 0) return "pipe failed";
  int master = -1;
  const pid_t child = forkpty(&master, nullptr, nullptr, nullptr);
  if (child == 0) {
    close(result_pipe[0]);
    const std::string result = body();
    (void)!write(result_pipe[1], result.data(), result.size());
    _exit(0);
  }
  close(result_pipe[1]);
  std::string seen;
  std::size_t from = 0;  // each wait looks only at what came after the last text found
  auto read_until = [&](const std::string& text) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (seen.find(text, from) == std::string::npos && std::chrono::steady_clock::now() < deadline) {
      pollfd p{master, POLLIN, 0};
      if (poll(&p, 1, 100) <= 0) continue;
      char buffer[512];
      const ssize_t n = read(master, buffer, sizeof buffer);
      if (n <= 0) break;
      seen.append(buffer, static_cast<std::size_t>(n));
    }
    const auto at = seen.find(text, from);
    if (at == std::string::npos) return false;
    from = at + text.size();
    return true;
  };
  for (const auto& exchange : exchanges) {
    EXPECT_TRUE(read_until(exchange.wait_for)) << "waited for: " << exchange.wait_for << "\nseen: " << seen;
    const std::string line = exchange.type ? *exchange.type + "\n" : std::string("\x04");  // ^D ends input
    (void)!write(master, line.data(), line.size());
  }
  std::string result;
  char buffer[512];
  ssize_t n;
  while ((n = read(result_pipe[0], buffer, sizeof buffer)) > 0) result.append(buffer, static_cast<std::size_t>(n));
  close(result_pipe[0]);
  int status = 0;
  waitpid(child, &status, 0);
  read_until("\x01never");  // collect what is left
  close(master);
  if (transcript) *transcript = seen;
  return result;
}

class Terminal_Prompt : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(folder_.path() / "out"); }
  std::string ask() const {
    return with_terminal(
        [this] {
          unsetenv("ZELTRA_TEST_SAVE_NAMES");
          setenv("QT_QPA_PLATFORM", "offscreen", 1);  // no display: the terminal asks
          return GET_FILE_NAME("Image output", preset());
        },
        exchanges_);
  }
  std::string preset() const { return folder_ / "out/image_001.gif"; }
  std::string prompt() const { return "Image output - file name [" + preset() + "]: "; }
  Scratch_Folder folder_;
  std::vector<Exchange> exchanges_;
};

TEST_F(Terminal_Prompt, TypedNameEmptyLineAndEndOfInput) {
  exchanges_ = {{prompt(), "picture"}};
  EXPECT_EQ(ask(), folder_ / "out/picture.gif");
  exchanges_ = {{prompt(), ""}};
  EXPECT_EQ(ask(), preset());
  exchanges_ = {{prompt(), std::nullopt}};
  EXPECT_EQ(ask(), "");
}

TEST_F(Terminal_Prompt, AnExistingFileIsConfirmed) {
  write_bytes(preset(), "old");
  const std::string question = preset() + " already exists. Replace it? [y/N]: ";
  exchanges_ = {{prompt(), ""}, {question, "n"}, {"]: ", "other"}};
  EXPECT_EQ(ask(), folder_ / "out/other.gif");
  exchanges_ = {{prompt(), ""}, {question, "y"}};
  EXPECT_EQ(ask(), preset());
  exchanges_ = {{prompt(), "image_001"}, {question, std::nullopt}};
  EXPECT_EQ(ask(), "");
  EXPECT_EQ(read_bytes(preset()), "old");
}

TEST(Terminal_Title, OnlyOnATerminal) {
  std::string transcript;
  with_terminal(
      [] {
        setenv("DP_ZELTRA_DIR", "/x", 1);
        DIALOG_STUFF(1);
        return std::string{};
      },
      {}, &transcript);
  EXPECT_EQ(transcript, "\033]0;DP_ZEL.\007");
}

TEST(No_Terminal, TheQuestionIsCancelledWithAReason) {
  int result_pipe[2];
  ASSERT_EQ(pipe(result_pipe), 0);
  const pid_t child = fork();
  if (child == 0) {
    close(result_pipe[0]);
    setsid();  // no controlling terminal from here on
    unsetenv("ZELTRA_TEST_SAVE_NAMES");
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    Console_Capture console;
    const std::string name = GET_FILE_NAME("Image output", "/d/out/image_001.gif");
    const std::string result = "[" + name + "]" + console.text();
    (void)!write(result_pipe[1], result.data(), result.size());
    _exit(0);
  }
  close(result_pipe[1]);
  std::string result;
  char buffer[512];
  ssize_t n;
  while ((n = read(result_pipe[0], buffer, sizeof buffer)) > 0) result.append(buffer, static_cast<std::size_t>(n));
  close(result_pipe[0]);
  waitpid(child, nullptr, 0);
  EXPECT_EQ(result, "[]\n Unable to ask for a file name (Image output): no display and no terminal\n Nothing is written\n\n");
}

// ---------------------------------------------------------------- the Qt dialog
class Qt_Dialog : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "dialog_stuff_test";
    static char* argv[] = {name, nullptr};
    application_ = new QApplication(argc, argv);
  }
  static void TearDownTestSuite() {
    delete application_;
    application_ = nullptr;
  }
  void SetUp() override { fs::create_directories(folder_.path() / "out"); }

  // Runs the dialog; act is called with it once it is shown.
  std::string run(const std::function<void(QFileDialog*)>& act) {
    QTimer poll;
    bool acted = false;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr || acted || !dialog->isVisible()) return;
      acted = true;
      act(dialog);
    });
    poll.start(10);
    const std::string chosen = SAVE_FILE_DIALOG(SAVE_FILE_SETUP("Image output", preset()));
    EXPECT_TRUE(acted);
    return chosen;
  }
  std::string preset() const { return folder_ / "out/image_001.gif"; }

  static QApplication* application_;
  Scratch_Folder folder_;
};
QApplication* Qt_Dialog::application_ = nullptr;

TEST_F(Qt_Dialog, IsSetUpFromTheDefaultName) {
  const std::string chosen = run([this](QFileDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Image output");
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(dialog->directory().absolutePath().toStdString(), folder_ / "out");
    EXPECT_EQ(dialog->selectedFiles(), QStringList{QString::fromStdString(preset())});
    EXPECT_EQ(dialog->defaultSuffix(), "gif");
    EXPECT_EQ(dialog->nameFilters(), (QStringList{"All Files (*)", "Text files (*.txt)", "GIF Files (*.gif)",
                                                  "PostScript Files (*.ps)"}));
    EXPECT_EQ(dialog->selectedNameFilter(), "All Files (*)");
    EXPECT_FALSE(dialog->testOption(QFileDialog::DontConfirmOverwrite));  // Qt asks before replacing
    EXPECT_TRUE(dialog->isModal());
    // Typed into the name field, as a user does.
    auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(name, nullptr);
    name->setText("picture");
    static_cast<QDialog*>(dialog)->accept();  // public in QDialog, virtual
  });
  EXPECT_EQ(chosen, folder_ / "out/picture.gif");
}

TEST_F(Qt_Dialog, CancelGivesNoName) {
  EXPECT_EQ(run([](QFileDialog* dialog) { dialog->reject(); }), "");
}

TEST_F(Qt_Dialog, ReplacingAFileIsConfirmed) {
  write_bytes(preset(), "old");
  int questions = 0;
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [&] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
        ++questions;
        box->button(QMessageBox::Yes)->click();
      }
  });
  answer.start(10);
  const std::string chosen = run([](QFileDialog* dialog) { static_cast<QDialog*>(dialog)->accept(); });
  EXPECT_EQ(questions, 1);
  EXPECT_EQ(chosen, preset());
}

TEST_F(Qt_Dialog, TheHookNeverConsumesAnEvent) {
  QWidget window;
  QShowEvent show;
  QEvent other(QEvent::MouseMove);
  EXPECT_FALSE(CTN_HOOK_PROCEDURE(&window, &show));
  EXPECT_FALSE(CTN_HOOK_PROCEDURE(&window, &other));
  QObject plain;
  EXPECT_FALSE(CTN_HOOK_PROCEDURE(&plain, &show));
}

}  // namespace
