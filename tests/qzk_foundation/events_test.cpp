#include <gtest/gtest.h>

#include "headless_fixture.h"
#include "qzk/events.h"
#include "qzk/widget.h"
#include "qzk/window.h"

using EventQueue = HeadlessTest;

TEST_F(EventQueue, SixtyFifthEventIsDroppedAndOrderKept) {
  for (int i = 1; i <= 64; ++i) EXPECT_TRUE(qzevent_post(2000000 + i));
  EXPECT_FALSE(qzevent_post(2000065));
  EXPECT_EQ(qzevents_count(), 64);
  EXPECT_TRUE(qzevents_pending());
  for (int i = 1; i <= 64; ++i) ASSERT_EQ(qzpoll_event(), 2000000 + i);
  EXPECT_FALSE(qzevents_pending());
  EXPECT_EQ(qzpoll_event(), 0);
  // The ring wraps: its slots are reused after reading.
  for (int i = 0; i < 100; ++i) {
    ASSERT_TRUE(qzevent_post(i + 1));
    ASSERT_EQ(qzpoll_event(), i + 1);
  }
}

TEST_F(EventQueue, WaitReturnsZeroAfterQuitEvenWithEventsQueued) {
  qzevent_post(1234567);
  EXPECT_EQ(qzwait_event(), 1234567);
  qzevent_post(1234568);
  qzquit();
  EXPECT_FALSE(qzrunning());
  EXPECT_EQ(qzwait_event(), 0);
  EXPECT_EQ(qzwait_for_one_of({1234568}), 0);
}

TEST_F(EventQueue, WaitForOneOfDiscardsOthers) {
  qzevent_post(11);
  qzevent_post(12);
  qzevent_post(13);
  qzevent_post(14);
  EXPECT_EQ(qzwait_for_one_of({13, 99}), 13);
  EXPECT_EQ(qzpoll_event(), 14);
  EXPECT_FALSE(qzwait_for_one_of_active());
}

TEST_F(EventQueue, WaitWithNothingToComeEndsTheRun) {
  // No input injected, no timer, no idle hook: nothing could ever arrive.
  EXPECT_EQ(qzwait_event(), 0);
  EXPECT_FALSE(qzrunning());
}

TEST_F(EventQueue, IdleHookFeedsTheWait) {
  int calls = 0;
  qzheadless_set_idle_hook([&] {
    ++calls;
    qzevent_post(777);
  });
  EXPECT_EQ(qzwait_event(), 777);
  EXPECT_EQ(calls, 1);
}

TEST_F(EventQueue, DelayAdvancesTheVirtualClockByItsLength) {
  double t0 = qznow();
  qzdelay(12.0);
  EXPECT_DOUBLE_EQ(qznow() - t0, 12.0);
  t0 = qznow();
  qzdelay(0.001);
  EXPECT_NEAR(qznow() - t0, 0.001, 1e-12);
  t0 = qznow();
  qzdelay(-3);  // a negative delay only handles what is waiting
  EXPECT_EQ(qznow(), t0);
}

TEST(TimerRate, RaisesInStepsAndNeverLowers) {
  EXPECT_EQ(qztimer_rate_for(1, 1), 1);
  EXPECT_EQ(qztimer_rate_for(1, 5), 10);
  EXPECT_EQ(qztimer_rate_for(1, 10), 10);
  EXPECT_EQ(qztimer_rate_for(1, 10.5), 100);
  EXPECT_EQ(qztimer_rate_for(1, 100), 100);
  EXPECT_EQ(qztimer_rate_for(1, 101), 1000);
  EXPECT_EQ(qztimer_rate_for(1, 2000), 1000);
  EXPECT_EQ(qztimer_rate_for(100, 5), 100);
  EXPECT_EQ(qztimer_rate_for(1000, 1), 1000);
  int before = qztimer_rate();
  EXPECT_GE(qztimer_request_rate(0.5), before);
  EXPECT_EQ(qztimer_request_rate(2000), 1000);
  EXPECT_EQ(qztimer_request_rate(5), 1000);
}

namespace {
// A widget that wants a tick every half second for ever, as a blinking
// caret does.
class Blinker : public qzWidget {
 public:
  const char* kind() const override { return "blinker"; }
  bool create(const char* format, ...) {
    va_list args;
    va_start(args, format);
    bool ok = createWidget(false, format, args);
    va_end(args);
    if (ok) requestTick(qznow() + 0.5);
    return ok;
  }
  void paint(qzPixmap&) override {}
  void tick(double now) override {
    ++ticks;
    requestTick(now + 0.5);
  }
  int ticks = 0;
};
}  // namespace

TEST_F(EventQueue, TimersRunOnPlatformTimeAndCannotKeepADeadRunWaiting) {
  qzWindow w;
  ASSERT_TRUE(w.create("timers,xs=100,ys=100,noquit"));
  Blinker b;
  ASSERT_TRUE(b.create("x=0,y=0,xs=10,ys=10"));
  qzdelay(2.0);
  EXPECT_EQ(b.ticks, 4);
  // A long delay is always served in full, whatever runs meanwhile.
  double t = qznow();
  qzdelay(30 * 3600.0);
  EXPECT_DOUBLE_EQ(qznow() - t, 30 * 3600.0);
  EXPECT_TRUE(qzrunning());
  // Nothing will ever be injected: the wait gives up after a day of
  // virtual time instead of blinking for ever.
  double t0 = qznow();
  EXPECT_EQ(qzwait_event(), 0);
  EXPECT_FALSE(qzrunning());
  EXPECT_GT(qznow() - t0, 24 * 3600.0);
  EXPECT_LT(qznow() - t0, 24 * 3600.0 + 1);
}
