// Writing and reading picture files of many objects, and exporting them as bitmaps and
// metafiles through the page mapping, in process; prints figures, not a test.
#include <chrono>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "kornd/CKorndApp.h"
#include "kornd/CKorndDoc.h"
#include "kornd/CKorndView.h"

#include "Bench_Clock.h"

#include <unistd.h>

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  setenv("KORND_TEST_ANSWERS", "", 1);
  CKorndApp app(argc, argv);
  constexpr int Objects = 200000;
  auto make_window = [](int n) {
    auto doc = std::make_unique<CKorndDoc>();
    doc->SetWindowNumber(n);
    KorndApp()->SetWindowDoc(n, doc.get());
    doc->SetBackground(0xFFFFFF);
    doc->SetPageSize(1000, 800, true);
    doc->SetColors(1000, 800, 0, 19);
    return doc;
  };
  auto source = make_window(1);
  channel::KRwinblock& b = *source->block();
  for (int i = 0; i < Objects; ++i) {
    b.a[0] = i % 1000, b.a[1] = (i * 7) % 800;
    source->AddNewTool(i % 2 ? 20 : 11, b.a[0], b.a[1]);
  }
  auto t = std::chrono::steady_clock::now();
  const std::vector<std::uint8_t> bytes = source->PictureBytes();
  const double write_s = seconds_since(t);
  auto target = make_window(2);
  t = std::chrono::steady_clock::now();
  const int read = target->ReadPicture(bytes, true, false);
  const double read_s = seconds_since(t);
  std::printf("picture file of %d objects: %zu bytes\n", target->ObjectCount(), bytes.size());
  std::printf("write: %.3f s (%.1f M objects/s)  read: %.3f s (%.1f M objects/s)%s\n", write_s, Objects / write_s / 1e6,
              read_s, Objects / read_s / 1e6, read == 2 ? "" : "  READ FAILED");
  // Exports of the same objects: a bitmap twice the picture's size, and metafiles.
  const std::string dir = std::filesystem::temp_directory_path().string() + "/kornd_picture_bench_" + std::to_string(getpid());
  std::filesystem::create_directories(dir);
  struct Export {
    const char* what;
    bool metafile;
    int mode, w, h;
  } exports[] = {{"bitmap, mode 4, 2000 x 1600", false, 4, 2000, 1600},
                 {"bitmap, mode 1, own size", false, 1, 0, 0},
                 {"metafile, mode 1, own size", true, 1, 0, 0},
                 {"metafile, mode 4, 50 x 40 cm", true, 4, 50000, 40000}};
  bool exported = true;
  for (const Export& e : exports) {
    const QString name = QString::fromStdString(dir + (e.metafile ? "/out.emf" : "/out.bmp"));
    t = std::chrono::steady_clock::now();
    const bool ok = e.metafile ? source->SaveMetafile(name, e.mode, e.w, e.h) : source->SaveBitmap(name, e.mode, e.w, e.h);
    const double s = seconds_since(t);
    exported &= ok;
    std::printf("export %-30s %.3f s, %ju bytes%s\n", e.what, s,
                static_cast<std::uintmax_t>(ok ? std::filesystem::file_size(name.toStdString()) : 0), ok ? "" : "  FAILED");
  }
  std::filesystem::remove_all(dir);
  return read == 2 && exported ? 0 : 1;
}
