// Client_Report.cpp - message texts and their reporting (see Client_Report.h).
//
// Texts hold their values as %1, %2, %3 (the Japanese twins take them in another order).

#include "korin_client/Client_Report.h"

#include <cstdio>   // std::fwrite
#include <cstdlib>  // std::getenv
#include <cstring>

#include "korin_client/Client_State.h"
#include "korin_client/Korin_Seams.h"

namespace {

struct Texts {
  const char* english;
  const char* japanese;  // null: English in both
};

Texts texts_of(Korin_Message message) {
  switch (message) {
    case Korin_Message::No_Path: return {"Failed to get PATH", "環境変数 PATH の取得に失敗しました"};
    case Korin_Message::Not_Found: return {"%1: not found on the search path.", "ファイル %1 が見つかりません"};
    case Korin_Message::Cannot_Execute:
      return {"Cannot execute %1 to open the graphics window.", "%1 が見つかりません"};
    case Korin_Message::No_Free_Instance:
      return {"No instance of %1 is free: all %2 are in use.", "%1 の空きインスタンスがありません (%2 個すべて使用中)"};
    case Korin_Message::Init_Failed:
      return {"Failed to initialize the graphics window.", "グラフィクス・ウィンドウの初期化に失敗しました"};
    case Korin_Message::Server_Older_Count:
      return {"WARNING:  %1 is older than the linked Korin library [%2].", "ライブラリ [%2] より古い %1 が使われています"};
    case Korin_Message::Server_Older:
      return {"WARNING:  %1 [%2] is older than the linked Korin library [%3].",
              "ライブラリ [%3] より古い %1 [%2] が使われています"};
    case Korin_Message::Library_Older:
      return {"WARNING:  The linked Korin library [%1] is older than %2 [%3].",
              "%2 [%3] より古いライブラリ [%1] が使われています"};
    case Korin_Message::Open_Failed:
      return {"Failed to open a graphics window.", "グラフィクス・ウィンドウのオープンに失敗しました"};
    case Korin_Message::Communication_Failed:
      return {"Failed to communicate with the graphics window.", "グラフィクス・ウィンドウとの通信に失敗しました"};
    case Korin_Message::Window_Open_Failed:
      return {"Failed to open new window # %1.", "ウィンドウ # %1 のオープンに失敗しました"};
    case Korin_Message::Unmap_Failed:
      return {"Failed to UnmapViewOfFile [err=%1].", "UnmapViewOfFile に失敗しました [err=%1]"};
    case Korin_Message::Window_Closed: return {"The window was closed.", "ウィンドウが閉じられました"};
    case Korin_Message::Launch_Failed:
      return {"Failed to launch %1.\nCheck if %1 alives as a zombi!!",
              "%1 の起動に失敗しました．\n%1 のプロセスの残骸が残っている可能性があります"};
    case Korin_Message::Ended_Abnormally: return {"Ended abnormally.", "異常終了"};
    case Korin_Message::Buffer_Overflow: return {"Internal buffer overflow[%1]", nullptr};
  }
  return {"", nullptr};
}

// Cuts a UTF-8 text to at most n bytes without splitting a character.
void cut_utf8(std::string& text, std::size_t n) {
  if (text.size() <= n) return;
  while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  text.resize(n);
}

}  // namespace

bool KRjapanese_locale() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') continue;
    return std::strncmp(value, "ja", 2) == 0;
  }
  return false;
}

std::string KRmessage_text(Korin_Message message, const std::vector<std::string>& values) {
  const Texts t = texts_of(message);
  const char* format = KRstate().japanese && t.japanese ? t.japanese : t.english;
  std::string text;
  for (const char* p = format; *p; ++p) {
    if (p[0] == '%' && p[1] >= '1' && p[1] <= '9') {
      const std::size_t k = static_cast<std::size_t>(p[1] - '1');
      if (k < values.size()) text += values[k];
      ++p;
    } else {
      text += *p;
    }
  }
  return text;
}

void KRreport(bool fatal, Korin_Message message, const std::vector<std::string>& values) {
  std::string text = KRmessage_text(message, values);
  cut_utf8(text, 255);
  text += '\n';
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
  if (fatal && KRstate().open_windows > 0) KRquitx(0);
}

void KRfatal(Korin_Message message, const std::vector<std::string>& values) {
  KRreport(true, message, values);
  KRrelease();
  KRstop(1);
}
