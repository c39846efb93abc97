// CKorndSleep.cpp - see CKorndSleep.h.
#include "kornd/CKorndSleep.h"

#include <QThread>


#include "kornd/CKorndGC.h"
#include "kornd/CKorndView.h"
#include "kornd/Tick_Count.h"

int CKorndSleep::Draw(CKorndGC& env, CKorndDoc*, CKorndView* view, KRdc&, std::uint32_t skip) {
  if (view == nullptr || Skipped(skip)) return 0;
  if (type_ == 3) {
    view->WaitUntil(milliseconds, TICK_COUNT());
  } else if (milliseconds >= 1) {
    view->WaitUntil(milliseconds, env.base_tick);
  } else if (milliseconds == 0) {
    env.base_tick = TICK_COUNT();
  } else {
    env.base_tick = static_cast<std::uint32_t>(-static_cast<std::int64_t>(milliseconds));
  }
  flags_ |= Prepared;
  QThread::yieldCurrentThread();
  return 0;
}
