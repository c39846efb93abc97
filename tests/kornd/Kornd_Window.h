// Kornd_Window.h - one graphics window of an in-process test: a document registered as window
// n with its view, w x h pixels, black on white, as the open request makes it; requests go to
// the document's request entry and pixels are read back from the window's picture.
#pragma once

#include <QImage>

#include <cstring>
#include <memory>
#include <vector>

#include "kornd/CKorndApp.h"
#include "kornd/CKorndDoc.h"
#include "kornd/CKorndView.h"

class Kornd_Window {
 public:
  Kornd_Window(int n, int w, int h) : doc_(std::make_unique<CKorndDoc>()), view_(new CKorndView(doc_.get())) {
    view_->resize(w, h);  // a client area of the picture's size shows it 1:1
    doc_->SetView(view_);
    doc_->SetWindowNumber(n);
    KorndApp()->SetWindowDoc(n, doc_.get());
    doc_->SetBackground(0xFFFFFF);
    doc_->SetPageSize(w, h, true);
    doc_->SetColors(w, h, 0, 19);
  }
  ~Kornd_Window() {
    doc_->SetView(nullptr);
    doc_.reset();
    delete view_;
  }
  Kornd_Window(const Kornd_Window&) = delete;
  Kornd_Window& operator=(const Kornd_Window&) = delete;

  channel::KRwinblock& block() { return *doc_->block(); }
  // A window request with its sub-code and slots a1..a6.
  std::uint32_t Request(char letter, int code, std::vector<int> a = {}) {
    block().code = code;
    for (std::size_t i = 0; i < 6; ++i) block().a[i] = i < a.size() ? a[i] : 0;
    return doc_->ExecuteCommand(letter);
  }
  std::uint32_t A(int code, std::vector<int> a = {}) { return Request('A', code, std::move(a)); }
  // The data area holds exactly these bytes, zeros after them.
  void Data(const void* p, std::size_t n) {
    std::memset(block().data, 0, channel::Data_Size);
    std::memcpy(block().data, p, n);
  }
  // N with its slots, the bytes through the data buffer (B 36), then B 37; N's own reply when
  // N refuses, 0 when the copy fails.
  std::uint32_t Buffered(int code, std::vector<int> a, const void* p, std::size_t n) {
    const std::uint32_t r = Request('N', code, std::move(a));
    if (r != 1) return r;
    Data(p, n);
    if (Request('B', 36, {0, int(n)}) != 1) return 0;
    return Request('B', 37);
  }
  // A point list through N, B 36 and B 37.
  std::uint32_t Points(int code, const std::vector<KRpoint>& pts) {
    return Buffered(code, {int(pts.size())}, pts.data(), pts.size() * sizeof(KRpoint));
  }
  // Pen, brush or marker fields changed through the change mask (request A 6).
  void SetGDI(std::uint32_t mask) {
    block().change_mask = mask;
    A(6);
  }
  QRgb Pixel(int x, int y) { return view_->Surface().pixel(x, y); }
  const QImage& Surface() { return view_->Surface(); }
  CKorndDoc& doc() { return *doc_; }
  CKorndView& view() { return *view_; }

 private:
  std::unique_ptr<CKorndDoc> doc_;
  CKorndView* view_;
};
