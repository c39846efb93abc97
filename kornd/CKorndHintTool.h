// CKorndHintTool.h - the object that carries an area to redraw to the views (update hint 9).
// It is never in a list, draws nothing and takes no object id.
#pragma once

#include <cstdint>

#include "kornd/CKorndTool.h"

class CKorndHintTool : public CKorndTool {
 public:
  CKorndHintTool() : CKorndTool(0, 0xC, No_Id{}) {}
  int Draw(CKorndGC&, CKorndDoc*, CKorndView*, KRdc&, std::uint32_t) override { return 0; }
};
