// CKorndSleep.cpp - see CKorndSleep.h.
#include "kornd/CKorndSleep.h"

#include <QThread>

#include <time.h>  // clock_gettime

#include "kornd/CKorndGC.h"
#include "kornd/CKorndView.h"

static std::uint32_t tick_count() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::uint32_t>(std::uint64_t(ts.tv_sec) * 1000 + std::uint64_t(ts.tv_nsec) / 1000000);
}

int CKorndSleep::Draw(CKorndGC& env, CKorndDoc*, CKorndView* view, KRdc&, std::uint32_t skip) {
  if (view == nullptr || Skipped(skip)) return 0;
  if (type_ == 3) {
    view->WaitUntil(milliseconds, tick_count());
  } else if (milliseconds >= 1) {
    view->WaitUntil(milliseconds, env.base_tick);
  } else if (milliseconds == 0) {
    env.base_tick = tick_count();
  } else {
    env.base_tick = static_cast<std::uint32_t>(-static_cast<std::int64_t>(milliseconds));
  }
  flags_ |= Prepared;
  QThread::yieldCurrentThread();
  return 0;
}
