// The window's control requests, state stack and waits inside the process, with the tick count
// replaced by a clock the test sets: elapsed times and their wrap, the periodic timer, the
// state stack, the viewport, options, and the view's captures and waits driven by real Qt
// mouse and key events.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "kornd/CKorndApp.h"
#include "kornd/CKorndDoc.h"
#include "kornd/CKorndDocTemplate.h"
#include "kornd/CKorndMain.h"
#include "kornd/CKorndView.h"
#include "kornd/Tick_Count.h"

namespace {

// The clock the server reads; each reading adds `step`.
std::uint32_t g_now = 0;
std::uint32_t g_step = 0;
std::uint32_t test_clock() {
  std::uint32_t t = g_now;
  g_now += g_step;
  return t;
}

constexpr std::uint32_t Window_Number = 1;

// Window 1 of 100 x 100 pixels with its view; the clock is the test's while it lives.
class Control : public ::testing::Test {
 public:
  void SetUp() override {
    SET_TICK_SOURCE(test_clock);
    g_step = 0;
    doc_ = std::make_unique<CKorndDoc>();
    view_ = new CKorndView(doc_.get());
    view_->resize(100, 100);
    doc_->SetView(view_);
    doc_->SetWindowNumber(1);
    KorndApp()->SetWindowDoc(1, doc_.get());
    doc_->SetBackground(0xFFFFFF);
    doc_->SetPageSize(100, 100, true);
    doc_->SetColors(100, 100, 0, 19);
  }
  void TearDown() override {
    doc_->SetView(nullptr);
    doc_.reset();
    delete view_;
    SET_TICK_SOURCE(nullptr);
  }
  // Makes a new document at the clock's current tick.
  void Renew() {
    TearDown();
    SetUp();
  }
  channel::KRwinblock& b() { return *doc_->block(); }
  std::uint32_t B(int code, std::vector<int> a = {}) {
    b().code = code;
    for (std::size_t i = 0; i < 6; ++i) b().a[i] = i < a.size() ? a[i] : 0;
    return doc_->ExecuteCommand('B');
  }
  void Mouse(QEvent::Type type, Qt::MouseButton button, int x, int y) {
    QMouseEvent e(type, QPointF(x, y), QPointF(x, y), QPointF(x, y), button,
                  type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view_, &e);
  }
  void Click(Qt::MouseButton button, int x, int y) {
    Mouse(QEvent::MouseButtonPress, button, x, y);
    Mouse(QEvent::MouseButtonRelease, button, x, y);
  }
  void Key(QEvent::Type type, int key, const QString& text = {}, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent e(type, key, modifiers, text);
    QApplication::sendEvent(view_, &e);
  }
  // Runs `action` from the event loop once the wait has started.
  static void Soon(std::function<void()> action, int ms = 20) { QTimer::singleShot(ms, action); }

  std::unique_ptr<CKorndDoc> doc_;
  CKorndView* view_ = nullptr;
};

TEST_F(Control, ElapsedTimeSinceCreationIsOneLessAfterTheTickCountWrapped) {
  struct Row {
    std::uint32_t created, now, answer;
  } rows[] = {
      {100, 132, 32},
      {0xFFFFFFF0u, 0xFFFFFFFFu, 15},
      {0xFFFFFFF0u, 0x10u, 31},  // the plain unsigned difference is 32
  };
  for (const Row& r : rows) {
    g_now = r.created;
    Renew();
    g_now = r.now;
    EXPECT_EQ(B(40), r.answer) << r.created << " " << r.now;
  }
}

TEST_F(Control, TimedWaitOfZeroOrLessIsCappedAtFiveMinutes) {
  for (int a1 : {0, -7}) {
    g_now = 1000;
    g_step = 20000;  // the clock runs fast: the wait ends after a few timer ticks
    std::uint32_t elapsed = B(32, {a1});
    g_step = 0;
    EXPECT_GE(elapsed, 300000u) << a1;
    EXPECT_LE(elapsed, 300000u + 3 * 20000u) << a1;
    EXPECT_EQ(b().a[3], 0) << "the time ran out";
  }
}

TEST_F(Control, TimedWaitEndsOnAClickOrACharacterWithItsEvent) {
  struct Row {
    std::function<void(Control&)> input;
    int event;
  } rows[] = {
      {[](Control& t) { t.Click(Qt::LeftButton, 30, 40); }, -1},
      {[](Control& t) { t.Click(Qt::RightButton, 30, 40); }, -2},
      {[](Control& t) { t.Key(QEvent::KeyPress, Qt::Key_X, "x"); }, 'x'},
      {[](Control& t) { t.Key(QEvent::KeyPress, Qt::Key_Escape, QString(QChar(27))); }, 27},
  };
  for (const Row& r : rows) {
    Mouse(QEvent::MouseMove, Qt::NoButton, 12, 34);
    g_now = 5000;
    Soon([&] {
      g_now = 5123;
      r.input(*this);
    });
    EXPECT_EQ(B(32, {100000}), 123u) << r.event;
    EXPECT_EQ(b().a[3], r.event);
    EXPECT_EQ(b().a[4], 12);
    EXPECT_EQ(b().a[5], 34);
    EXPECT_EQ(view_->WaitFlags(), 0u);
  }
}

TEST_F(Control, TimedWaitUntilAfterCreationAnswersTimeSinceCreation) {
  g_now = 700;
  Renew();
  g_now = 900;
  g_step = 50;
  std::uint32_t r = B(33, {1000});  // until tick 1700
  g_step = 0;
  EXPECT_GE(r, 1000u);
  EXPECT_LE(r, 1100u);
}

TEST_F(Control, PeriodicTimerReportsMissedPeriodsOnceAndKeepsItsPhase) {
  g_now = 1000;
  B(39, {100, 5});  // due at 1100
  struct Row {
    std::uint32_t now;
    int kind;
  } rows[] = {
      {1099, 0}, {1350, -3},  // three and a half periods: one -3
      {1350, 0}, {1399, 0},   // the next due tick lies half a period ahead
      {1400, -3}, {1400, 0},
  };
  for (const Row& r : rows) {
    g_now = r.now;
    EXPECT_EQ(B(35), Window_Number);
    EXPECT_EQ(b().a[4], r.kind) << r.now;
  }
  B(39, {100, 0});  // off
  g_now = 5000;
  B(35);
  EXPECT_EQ(b().a[4], 0);
}

TEST_F(Control, PeriodicTimerDueTickBeyondTheWrapIsNotDueEarly) {
  g_now = 0xFFFFFF00u;
  B(39, {0x200, 1});  // due at 0x100 after the wrap
  g_now = 0xFFFFFFF0u;
  B(35);
  EXPECT_EQ(b().a[4], 0);
  g_now = 0x100;
  B(35);
  EXPECT_EQ(b().a[4], -3);
}

TEST_F(Control, LastButtonIsReadOnceThenCleared) {
  Click(Qt::LeftButton, 20, 30);
  B(35);
  EXPECT_EQ((std::vector<int>{b().a[2], b().a[3], b().a[4]}), (std::vector<int>{20, 30, -1}));
  B(35);
  EXPECT_EQ((std::vector<int>{b().a[2], b().a[3], b().a[4]}), (std::vector<int>{-1, -1, 0}));
  Mouse(QEvent::MouseMove, Qt::NoButton, 7, 8);
  Key(QEvent::KeyPress, Qt::Key_F1);
  B(35);
  EXPECT_EQ((std::vector<int>{b().a[2], b().a[3], b().a[4]}), (std::vector<int>{7, 8, 112}));
}

TEST_F(Control, MouseStateTellsPosition) {
  Mouse(QEvent::MouseMove, Qt::NoButton, 44, 55);
  Mouse(QEvent::MouseButtonPress, Qt::LeftButton, 44, 55);
  B(0);
  EXPECT_EQ((std::vector<int>{b().a[2], b().a[3], b().a[4], b().a[5]}), (std::vector<int>{44, 55, 1, 0}));
  Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, 44, 55);
  B(0);
  EXPECT_EQ(b().a[4], 0);
}

TEST_F(Control, KeyWaitsAnswerTheKeyAndTheCharacter) {
  // class 128: a character
  Soon([&] { Key(QEvent::KeyPress, Qt::Key_A, "a"); });
  EXPECT_EQ(B(1, {128}), std::uint32_t('A'));
  EXPECT_EQ(b().a[3], 'a');
  // class 32: the release
  Soon([&] { Key(QEvent::KeyRelease, Qt::Key_A, "a"); });
  EXPECT_EQ(B(1, {32}), std::uint32_t('A'));
  // class 0 answers at once: no key held
  b().code = 1;
  b().a[0] = 0;
  b().a[3] = 77;
  EXPECT_EQ(doc_->ExecuteCommand('B'), 0u);
  EXPECT_EQ(b().a[3], 77) << "no slot written";
  // class 0 with a key held
  Key(QEvent::KeyPress, Qt::Key_Left);
  EXPECT_EQ(B(1, {0}), 37u);
  // another class waits for the release of the held key
  Soon([&] { Key(QEvent::KeyRelease, Qt::Key_Left); });
  EXPECT_EQ(B(1, {5}), 37u);
  EXPECT_EQ(B(1, {0}), 0u);
  // Shift alone is no key-down
  Key(QEvent::KeyPress, Qt::Key_Shift);
  EXPECT_EQ(B(1, {0}), 0u);
}

TEST_F(Control, LosingTheFocusDropsAHeldKey) {
  Key(QEvent::KeyPress, Qt::Key_Left);
  EXPECT_EQ(B(1, {0}), 37u);
  QFocusEvent in(QEvent::FocusIn), out(QEvent::FocusOut);
  QApplication::sendEvent(view_, &in);
  EXPECT_TRUE(view_->HasFocus());
  QApplication::sendEvent(view_, &out);
  EXPECT_FALSE(view_->HasFocus());
  EXPECT_EQ(B(1, {0}), 0u) << "its release goes to another window";
}

TEST_F(Control, StateStackSavesAndRestoresTheHead) {
  EXPECT_EQ(doc_->StateCount(), 2);
  EXPECT_EQ(doc_->CurrentState(), -1);
  // state 0 is the pixel state; the current state stays
  b().pixel_mode = 0;
  b().sx = 2.5f;
  EXPECT_EQ(B(24, {0}), Window_Number);
  EXPECT_EQ(doc_->CurrentState(), -1);
  const int objects = doc_->ObjectCount();
  EXPECT_EQ(B(25, {0}), Window_Number);
  EXPECT_EQ(b().pixel_mode, 1);
  EXPECT_EQ(b().sx, 0.0f);
  EXPECT_EQ(doc_->ObjectCount(), objects + 1) << "one attribute object";
  EXPECT_EQ(B(25, {0}), Window_Number);
  EXPECT_EQ(doc_->ObjectCount(), objects + 1) << "the current state again adds nothing";
  // growing, empty entries, bad numbers
  EXPECT_EQ(B(24, {5}), Window_Number);
  EXPECT_EQ(doc_->StateCount(), 6);
  struct Row {
    int code, n;
    std::uint32_t reply;
  } rows[] = {{25, 3, 0}, {25, 6, 0}, {25, -1, 0}, {24, -1, 0}, {25, 5, Window_Number}};
  for (const Row& r : rows) EXPECT_EQ(B(r.code, {r.n}), r.reply) << r.code << " " << r.n;
  // switching 1, 2, 1 keeps the changes made in state 1
  B(24, {1});
  B(24, {2});
  B(25, {1});
  b().text_height = 33;
  B(25, {2});
  b().text_height = 44;
  B(25, {1});
  EXPECT_EQ(b().text_height, 33);
  B(25, {2});
  EXPECT_EQ(b().text_height, 44);
}

TEST_F(Control, ViewportGivesOriginAndRectangle) {
  b().unit = 100;
  b().height = 100;
  b().view_x1 = 0.25f, b().view_y1 = 0.25f, b().view_x2 = 0.75f, b().view_y2 = 0.75f;
  EXPECT_EQ(B(19), Window_Number);
  EXPECT_EQ(b().origin_x, 25);
  EXPECT_EQ(b().origin_y, 75);  // 100 - floor(24.999975) - 1
  B(31);
  EXPECT_EQ((std::vector<int>{b().a[2], b().a[3], b().a[4], b().a[5]}), (std::vector<int>{25, 75, 75, 25}));
  // absurd viewports are held inside the picture
  b().view_x2 = 1e30f;
  b().view_y2 = -1e30f;
  B(19);
  B(31);
  EXPECT_EQ((std::vector<int>{b().a[2], b().a[3], b().a[4], b().a[5]}), (std::vector<int>{25, 100, 100, 75}));
}

TEST_F(Control, OptionsAndSmallRequests) {
  struct Row {
    int code;
    std::vector<int> a;
    std::uint32_t reply;
  } rows[] = {
      {10, {1, 0}, 0},  {10, {1, -1}, 0}, {10, {1, 1}, 1},
      {10, {3, -1}, std::uint32_t(-1)}, {10, {5, 1}, std::uint32_t(-1)},
      {10, {4, 32515}, Window_Number},  {16, {9}, Window_Number}, {16, {0}, Window_Number},
      {41, {}, 0x80000002u}, {-1, {}, 0x80000002u},
  };
  for (const Row& r : rows) EXPECT_EQ(B(r.code, r.a), r.reply) << r.code;
  B(9, {-1});
  EXPECT_EQ(b().a[0], -1);
  B(9, {0x2000000 | 0x123456});
  EXPECT_EQ(b().a[0], 0x123456);
}

TEST_F(Control, EscapeEndsAnyTimedPause) {
  g_step = 0;
  g_now = 100;
  Soon([&] {
    g_now = 150;
    Key(QEvent::KeyPress, Qt::Key_Escape, QString(QChar(27)));
  });
  EXPECT_EQ(view_->WaitUntil(1000000, 100), 50u);
  EXPECT_EQ(view_->WaitFlags(), 0u);
}

TEST_F(Control, TimedWaitRefusesToNest) {
  g_now = 100;
  std::uint32_t inner = 1;
  Soon([&] {
    inner = B(32, {10});
    g_now = 300;
  });
  EXPECT_EQ(view_->WaitUntil(100, 100), 200u);
  EXPECT_EQ(inner, 0u);
}

TEST_F(Control, PointCaptureEndsWithAClick) {
  Soon([&] { Click(Qt::LeftButton, 15, 25); });
  EXPECT_EQ(view_->StartCapture(CKorndView::Wait_Point), 1);
  EXPECT_EQ(view_->input.result, 1);
  EXPECT_EQ(view_->input.point2, (KRpoint{15, 25}));
  // a right click leaves point 2 at (0, 0)
  Soon([&] { Click(Qt::RightButton, 15, 25); });
  EXPECT_EQ(view_->StartCapture(CKorndView::Wait_Point), 1);
  EXPECT_EQ(view_->input.result, 2);
  EXPECT_EQ(view_->input.point2, (KRpoint{0, 0}));
}

TEST_F(Control, PickRequestsWriteTheirPointsAndAnswerTheButton) {
  auto C = [&](int kind, std::vector<int> a = {}) {
    b().code = kind;
    for (std::size_t i = 0; i < 6; ++i) b().a[i] = i < a.size() ? a[i] : 0;
    return doc_->ExecuteCommand('C');
  };
  Soon([&] { Click(Qt::LeftButton, 15, 25); });
  EXPECT_EQ(C(1), 1u);
  EXPECT_EQ(b().a[3], 15);
  EXPECT_EQ(b().a[4], 25);

  Soon([&] {
    Mouse(QEvent::MouseButtonPress, Qt::LeftButton, 10, 10);
    Mouse(QEvent::MouseMove, Qt::NoButton, 50, 40);
    Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, 50, 40);
  });
  EXPECT_EQ(C(4), 1u);
  EXPECT_EQ((std::vector<int>{b().a[2], b().a[3], b().a[4], b().a[5]}), (std::vector<int>{10, 10, 50, 40}));

  Soon([&] { Click(Qt::RightButton, 30, 20); });
  EXPECT_EQ(C(8, {5, 6}), 2u);  // a band from (5, 6): the right button ends it

  for (int kind : {0, 3, 16}) {
    EXPECT_EQ(C(kind, {0, 0, 0, 77}), 0x80000001u) << kind;
    EXPECT_EQ(b().a[3], 77) << "no slot written for kind " << kind;
  }
  EXPECT_EQ(view_->input.last_button, 0);
  EXPECT_EQ(view_->input.last_click, (KRpoint{-1, -1}));
}

TEST_F(Control, LineCaptureEndsOnReleaseAndRectangleOnTheRightButton) {
  Soon([&] {
    Mouse(QEvent::MouseButtonPress, Qt::LeftButton, 10, 10);
    Mouse(QEvent::MouseMove, Qt::NoButton, 50, 40);
    Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, 50, 40);
  });
  EXPECT_EQ(view_->StartCapture(CKorndView::Wait_Line), 1);
  EXPECT_EQ(view_->input.point1, (KRpoint{10, 10}));
  EXPECT_EQ(view_->input.point2, (KRpoint{50, 40}));
  EXPECT_EQ(view_->input.result, 1);

  int second = -1;
  Soon([&] {
    second = view_->StartCapture(CKorndView::Wait_Point);  // refused while the rectangle runs
    Mouse(QEvent::MouseButtonPress, Qt::LeftButton, 5, 6);
    Mouse(QEvent::MouseMove, Qt::NoButton, 60, 70);
    Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, 60, 70);
    EXPECT_NE(view_->WaitFlags() & CKorndView::Wait_Rect, 0u) << "still open after the release";
    // grabbing the far corner again moves it
    Mouse(QEvent::MouseButtonPress, Qt::LeftButton, 61, 70);
    Mouse(QEvent::MouseMove, Qt::NoButton, 80, 90);
    Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, 80, 90);
    Click(Qt::RightButton, 1, 1);
  });
  EXPECT_EQ(view_->StartCapture(CKorndView::Wait_Rect), 1);
  EXPECT_EQ(second, 0);
  EXPECT_EQ(view_->input.point1, (KRpoint{5, 6}));
  EXPECT_EQ(view_->input.point2, (KRpoint{80, 90}));
  EXPECT_EQ(view_->input.result, 2);
}

TEST_F(Control, EscapeDuringACaptureLeavesTheAbortQuestion) {
  Soon([&] {
    Key(QEvent::KeyPress, Qt::Key_Escape, QString(QChar(27)));
    EXPECT_EQ(view_->input.result, -1);
    Click(Qt::LeftButton, 3, 4);
  });
  EXPECT_EQ(view_->StartCapture(CKorndView::Wait_Point), 1);
  EXPECT_EQ(view_->input.result, 1);
  EXPECT_EQ(doc_->PendingMessage(), IDS_ABORT);
  doc_->SetPendingMessage(0);
}

TEST_F(Control, ArrowKeysDuringAnEventWaitMoveThePointer) {
  struct Row {
    int key;
    Qt::KeyboardModifiers modifiers;
    int dx, dy;
  } rows[] = {
      {Qt::Key_Left, Qt::NoModifier, -8, 0},
      {Qt::Key_Right, Qt::ShiftModifier, 32, 0},
      {Qt::Key_Up, Qt::ControlModifier, 0, -1},
      {Qt::Key_Down, Qt::ControlModifier | Qt::ShiftModifier, 0, 1},  // Ctrl wins
      {Qt::Key_Down, Qt::NoModifier, 0, 8},
      {Qt::Key_Up, Qt::ShiftModifier, 0, -32},
  };
  for (const Row& r : rows) {
    Mouse(QEvent::MouseMove, Qt::NoButton, 50, 50);
    Soon([&] {
      Key(QEvent::KeyPress, r.key, {}, r.modifiers);
      Key(QEvent::KeyRelease, r.key, {}, r.modifiers);
      EXPECT_NE(view_->WaitFlags() & CKorndView::Wait_Any, 0u) << "an arrow does not end the wait";
      Key(QEvent::KeyPress, Qt::Key_Q, "q");
    });
    B(32, {100000});
    EXPECT_EQ(b().a[3], 'q');
    EXPECT_EQ(b().a[4], 50 + r.dx) << r.key << " " << r.modifiers;
    EXPECT_EQ(b().a[5], 50 + r.dy) << r.key << " " << r.modifiers;
  }
  // outside an event wait the arrows leave the position alone
  Mouse(QEvent::MouseMove, Qt::NoButton, 50, 50);
  Key(QEvent::KeyPress, Qt::Key_Left);
  Key(QEvent::KeyRelease, Qt::Key_Left);
  EXPECT_EQ(view_->input.mouse, (KRpoint{50, 50}));
  // In a stretched mode the pointer still moves by screen pixels: 8 of them are 32 picture
  // units of a 400 x 400 picture in the 100 x 100 window.
  doc_->SetPageSize(400, 400, true);
  view_->SetViewMode(4, nullptr);
  Mouse(QEvent::MouseMove, Qt::NoButton, 10, 10);
  ASSERT_EQ(view_->input.mouse, (KRpoint{40, 40}));
  Soon([&] {
    Key(QEvent::KeyPress, Qt::Key_Right, {});
    Key(QEvent::KeyRelease, Qt::Key_Right, {});
    Key(QEvent::KeyPress, Qt::Key_Q, "q");
  });
  B(32, {100000});
  EXPECT_EQ(view_->input.mouse, (KRpoint{72, 40}));
}

TEST_F(Control, PauseAbortEndsACaptureAndTheNextRequestAsksAbort) {
  const std::uint32_t created = g_now;
  // boxes take their first button here: OK to "On capturing", Yes to "Abort"
  Soon([&] { view_->OnPauseAbort(); });
  EXPECT_EQ(view_->StartCapture(CKorndView::Wait_Rect), 1);
  EXPECT_EQ(view_->WaitFlags(), 0u);
  EXPECT_EQ(view_->input.result, 0) << "no button ended it";
  EXPECT_EQ(doc_->PendingMessage(), IDS_ABORT);
  EXPECT_EQ(B(40), 0x80000002u);
  EXPECT_EQ(doc_->PendingMessage(), 0);
  EXPECT_FALSE(KorndApp()->closing);
  // a pause ends at once, and its own request is the one that asks
  g_now = 100;
  Soon([&] {
    g_now = 140;
    view_->OnPauseAbort();
  });
  EXPECT_EQ(B(32, {100000}), 0x80000002u);
  EXPECT_EQ(view_->WaitFlags(), 0u);
  Soon([&] { view_->OnPauseAbort(); });
  EXPECT_EQ(view_->WaitUntil(100000, 100), 40u);
  EXPECT_EQ(doc_->PendingMessage(), IDS_ABORT);
  doc_->SetPendingMessage(0);
  g_now = created;
  // without a capture only the question is left for the next request
  view_->OnPauseAbort();
  EXPECT_EQ(doc_->PendingMessage(), IDS_ABORT);
  EXPECT_EQ(B(40), 0x80000002u);
  EXPECT_EQ(B(40), 0u) << "asked once";
}

std::uint32_t A(CKorndDoc& doc, int code, std::vector<int> a) {
  doc.block()->code = code;
  for (std::size_t i = 0; i < 6; ++i) doc.block()->a[i] = i < a.size() ? a[i] : 0;
  return doc.ExecuteCommand('A');
}

TEST_F(Control, SegmentsAndGroups) {
  EXPECT_EQ(B(23, {0, 1}), std::uint32_t(doc_->ObjectCount())) << "answers the object count";
  EXPECT_EQ(b().segment, 1);
  A(*doc_, 11, {10, 10});
  A(*doc_, 20, {20, 10});
  EXPECT_EQ(B(23, {1, 1}), 2u);
  EXPECT_EQ(B(23, {0, 0}), 1u) << "the current segment";
  // objects of segment -3 go into group 3, unseen, until it is shown
  B(23, {0, -3});
  const int before = doc_->ObjectCount();
  A(*doc_, 11, {30, 30});
  A(*doc_, 20, {40, 40});
  A(*doc_, 20, {50, 30});
  EXPECT_EQ(doc_->ObjectCount(), before);
  EXPECT_EQ(B(23, {-3, -3}), 3u) << "size of group 3";
  EXPECT_EQ(B(26, {3}), 3u);
  EXPECT_EQ(doc_->ObjectCount(), before + 3);
  EXPECT_EQ(B(23, {-3, -3}), 0u) << "a fresh group takes its place";
  // segment 1 moves to segment 2: two objects, two each
  EXPECT_EQ(B(23, {1, 2}), 4u);
  EXPECT_EQ(B(23, {2, 2}), 2u);
  EXPECT_EQ(B(23, {1, 1}), 0u);
  // segment 2 collected into group 5 leaves the drawing
  EXPECT_EQ(B(23, {2, -5}), 2u);
  EXPECT_EQ(B(23, {2, 2}), 0u);
  EXPECT_EQ(doc_->ObjectCount(), before + 3 - 2 + 0) << "group 5 committed empty";
  // numbers outside 16 bits are refused
  EXPECT_EQ(B(23, {70000, 1}), 0u);
  EXPECT_EQ(B(26, {-70000}), 0u);
}

TEST_F(Control, AnchorsAreSetReplacedSelectedAndRemoved) {
  struct Row {
    int code, n;
    std::uint32_t reply;
    int count, hint;
  } rows[] = {
      {29, 1, 1, 1, 4}, {29, 2, 2, 2, 4}, {29, 3, 3, 3, 4},
      {34, 2, 2, 3, 260},  // going back sends the parameter 1
      {34, 1, 1, 3, 260}, {34, 2, 2, 3, 4},
      {34, -1, 2, 3, -1}, {34, -2, 3, 3, -1}, {34, 9, 2, 3, -1},
      {29, 3, 3, 3, 4},  // the last anchor replaced: the count stays
      {34, 0, 0, 3, 6},
      {29, -1, 0, 2, 4},  // the last remaining anchor is selected
      {29, -5, std::uint32_t(-3), 0, -1},  // two removed, three missing
  };
  for (const Row& r : rows) {
    const int before_hint = doc_->LastHint();
    EXPECT_EQ(B(r.code, {r.n}), r.reply) << r.code << " " << r.n;
    EXPECT_EQ(doc_->AnchorCount(), r.count) << r.code << " " << r.n;
    if (r.hint >= 0) EXPECT_EQ(doc_->LastHint(), r.hint) << r.code << " " << r.n;
    else EXPECT_EQ(doc_->LastHint(), before_hint) << r.code << " " << r.n;
  }
}

TEST_F(Control, ViewModeRequestSetsTheModeAndIgnoresOthers) {
  struct Row {
    int k, mode;
  } rows[] = {{3, 3}, {9, 3}, {0, 3}, {1, 1}, {5, 5}};
  for (const Row& r : rows) {
    EXPECT_EQ(B(15, {r.k}), Window_Number);
    EXPECT_EQ(doc_->ViewMode(), r.mode) << r.k;
  }
}

TEST_F(Control, PictureCopiesIntoBitmapsAnswerTheirNumber) {
  EXPECT_EQ(B(7, {0, 0, 10, 10, 0, 0}), Window_Number);
  EXPECT_EQ(std::string(b().data), std::to_string(1));
  EXPECT_NE(doc_->Bitmap(1), nullptr);
  EXPECT_EQ(B(7, {3, 0, 0, 0, 0, 0}), Window_Number);
  EXPECT_EQ(std::string(b().data), "3");
  EXPECT_EQ(B(8, {0, 0, 5, 5, 20, 20}), Window_Number);
  EXPECT_NE(doc_->Bitmap(0), nullptr);
}

TEST(DocTemplate, FilterExtensionsGetTheirAsterisks) {
  struct Row {
    const char* doc_string;
    int index;
    const char* text;
  } rows[] = {
      {"\n\n\n\n.krd;.emf;.bmp", 4, ".krd;*.emf;*.bmp"},
      {"\n\n\n\n.krd;.emf", 4, ".krd;.emf"},
      {"\n\n\n\n.a;.b;.c;.d", 4, ".a;*.b;.c;*.d"},
      {"a\nb;c;d", 1, "b;c;d"},
      {"a\nb", 7, ""},
  };
  for (const Row& r : rows) {
    QString text = "x";
    EXPECT_TRUE(CKorndDocTemplate(r.doc_string).GetDocString(text, r.index));
    EXPECT_EQ(text.toStdString(), r.text) << r.doc_string;
  }
  QString filter;
  CKorndDocTemplate().GetDocString(filter, 4);
  EXPECT_EQ(filter.toStdString(), ".krd;*.emf;*.bmp");
}

TEST_F(Control, ErasingStopsAtTheLastAnchor) {
  B(23, {0, 1});
  A(*doc_, 11, {10, 10});
  B(29, {1});
  A(*doc_, 20, {20, 10});
  A(*doc_, 20, {30, 10});
  EXPECT_EQ(B(5, {0}), 2u);
}

TEST_F(Control, ReleasedWindowEndsTheWaitWithTheWaitException) {
  Soon([&] { view_->OnUpdate(15, nullptr, nullptr); });
  EXPECT_THROW(B(1, {128}), CKorndWaitEnded);
}

}  // namespace
