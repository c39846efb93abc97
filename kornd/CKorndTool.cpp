// CKorndTool.cpp - base of the drawing objects (see CKorndTool.h).
#include "kornd/CKorndTool.h"

static int next_id = 1;

CKorndTool::CKorndTool(int type) : type_(type), id_(next_id++) {}

void CKorndTool::Draw(CKorndGC&, CKorndDoc*, QPainter&, std::uint32_t) {}

KRrect CKorndTool::GetBounds(CKorndGC&, int) { return rect_; }

int CKorndTool::NextId() { return next_id; }
