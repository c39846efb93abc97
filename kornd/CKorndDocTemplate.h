// CKorndDocTemplate.h - the server's document template: the document string whose parts
// (separated by line feeds) name the picture files for the file dialogs, with the filter
// extension part rewritten so that every extension gets its "*".
#pragma once

#include <QString>

class CKorndDocTemplate {
 public:
  explicit CKorndDocTemplate(const QString& doc_string = Default_String) : doc_string_(doc_string) {}
  // Part `index` of the document string (empty when missing); part 4 rewritten. Always true.
  bool GetDocString(QString& text, int index) const;

  static inline const QString Default_String =
      "\nKornd\nKornd\nKornd Files (*.krd; *.emf; *.bmp)\n.krd;.emf;.bmp\nKornd.Document\nKornd Document";

 private:
  QString doc_string_;
};
