// CKorndView_Zoom.cpp - the view's mode changes (request B 15 and the mode commands): the
// view's mode record follows, and the document's area mode for exports and printing with it.
// Changes: the view's mode record, the document's area mode.
#include "kornd/CKorndDoc.h"
#include "kornd/CKorndView.h"

void CKorndView::SetViewMode(int m, const KRrect* r) {
  if (doc_ == nullptr) return;
  view_mode.SetViewMode(m, r, *doc_);
  doc_->SetViewMode(view_mode.mode);
}
