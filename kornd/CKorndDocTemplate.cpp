// CKorndDocTemplate.cpp - see CKorndDocTemplate.h.
#include "kornd/CKorndDocTemplate.h"

#include <QStringList>

bool CKorndDocTemplate::GetDocString(QString& text, int index) const {
  const QStringList parts = doc_string_.split('\n');
  text = index >= 0 && index < parts.size() ? parts[index] : QString();
  if (index != 4) return true;
  const qsizetype first = text.indexOf(';'), last = text.lastIndexOf(';');
  if (first < 0 || last <= first) return true;
  text = text.left(first + 1) + "*" + text.mid(first + 1, last - first) + "*" + text.mid(last + 1);
  return true;
}
