// CKorndSetSymbol.cpp - see CKorndSetSymbol.h.
#include "kornd/CKorndSetSymbol.h"

#include "kornd/CKorndDoc.h"
#include "kornd/CKorndGC.h"
#include "kornd/KRdc.h"

int CKorndSetSymbol::Draw(CKorndGC& env, CKorndDoc*, CKorndView*, KRdc&, std::uint32_t) {
  env.symbol_align = align;
  env.SetRole(10, background);
  if (font_valid == 0) return 0;
  env.SetRole(9, colour);
  env.symbol_colour = colour;
  env.symbol_logfont = logfont;
  env.symbol_font = GetCachedFont(env.symbol_logfont);
  flags_ |= Prepared;
  return 0;
}
