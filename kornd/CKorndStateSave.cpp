// CKorndStateSave.cpp - see CKorndStateSave.h.
#include "kornd/CKorndStateSave.h"

#include <cstring>

#include "kornd/CKorndDoc.h"

static_assert(channel::Head_Size == 224);

CKorndStateSave::CKorndStateSave(CKorndDoc* doc) : owner(doc) {
  if (doc && doc->block()) Take(*doc->block());
}

void CKorndStateSave::Take(const channel::KRwinblock& block) { std::memcpy(head.data(), &block, head.size()); }

void CKorndStateSave::Give(channel::KRwinblock& block) const { std::memcpy(&block, head.data(), head.size()); }
