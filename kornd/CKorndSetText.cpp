// CKorndSetText.cpp - see CKorndSetText.h.
#include "kornd/CKorndSetText.h"

#include "kornd/CKorndDoc.h"
#include "kornd/CKorndGC.h"
#include "kornd/KRdc.h"

int CKorndSetText::Draw(CKorndGC& env, CKorndDoc*, CKorndView*, KRdc&, std::uint32_t) {
  env.text_align = align;
  env.SetRole(8, background);
  if (font_valid == 0) return 0;
  env.SetRole(7, colour);
  env.text_colour = colour;
  env.text_logfont = logfont;
  env.text_font = GetCachedFont(env.text_logfont);
  flags_ |= Prepared;
  return 0;
}
