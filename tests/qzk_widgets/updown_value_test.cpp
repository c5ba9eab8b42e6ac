// The up/down control's numbers: clamping, step rounding and the text shown.
#include <gtest/gtest.h>

#include <cmath>

#include "qzk/updown_value.h"

namespace {

qzUpDownRule rule(double min, double max, double step = 1, int digits = 0) {
  qzUpDownRule r;
  r.min = min;
  r.max = max;
  r.step = step;
  r.digits = digits;
  return r;
}

}  // namespace

TEST(UpDownValue, ClampsToTheRangeWhateverTheInput) {
  qzUpDownRule r = rule(1, 31);
  EXPECT_EQ(qzupdown_settle(r, 0, 5), 1);
  EXPECT_EQ(qzupdown_settle(r, 32, 5), 31);
  EXPECT_EQ(qzupdown_settle(r, -1e300, 5), 1);
  EXPECT_EQ(qzupdown_settle(r, INFINITY, 5), 31);
  EXPECT_EQ(qzupdown_settle(r, NAN, 5), 5);
  // Bounds given the wrong way round still bound.
  EXPECT_EQ(qzupdown_settle(rule(10, 0), 11, 5), 10);
}

TEST(UpDownValue, RoundsToTheStepWithHalvesAwayFromZero) {
  qzUpDownRule r = rule(-10, 10, 0.5, 1);
  EXPECT_DOUBLE_EQ(qzupdown_settle(r, 1.25, 0), 1.5);
  EXPECT_DOUBLE_EQ(qzupdown_settle(r, -1.25, 0), -1.5);
  EXPECT_DOUBLE_EQ(qzupdown_settle(r, 1.24, 0), 1.0);
  // Step products come out as the decimal the user sees.
  EXPECT_EQ(qzupdown_settle(rule(0, 1, 0.1, 1), 0.3, 0), 0.3);
  // Step 1 controls hold whole numbers.
  EXPECT_EQ(qzupdown_settle(rule(0, 59), 2.5, 0), 3);
  EXPECT_EQ(qzupdown_settle(rule(-59, 59), -2.5, 0), -3);
}

TEST(UpDownValue, RoundingNeverLeavesTheRange) {
  // The nearest multiple of 0.1 to 0.95 is 1.0, beyond max.
  qzUpDownRule r = rule(0.05, 0.95, 0.1, 2);
  EXPECT_DOUBLE_EQ(qzupdown_settle(r, 5, 0), 0.9);
  EXPECT_DOUBLE_EQ(qzupdown_settle(r, -5, 0), 0.1);
  // A range narrower than the step keeps the clamped value.
  EXPECT_DOUBLE_EQ(qzupdown_settle(rule(0.2, 0.3, 1), 7, 0), 0.3);
  for (double v = -3; v < 3; v += 0.013) {
    double s = qzupdown_settle(r, v, 0);
    EXPECT_GE(s, 0.05);
    EXPECT_LE(s, 0.95);
  }
}

TEST(UpDownValue, DisplayFollowsDigitsAndStep) {
  EXPECT_EQ(qzupdown_format(rule(0, 59, 1, 2), 5), "05");
  EXPECT_EQ(qzupdown_format(rule(0, 59, 1, 10), 7), "0000000007");
  EXPECT_EQ(qzupdown_format(rule(0, 59, 1, 11), 7), "7");
  EXPECT_EQ(qzupdown_format(rule(-24, 24, 1, 2), -5), "-5");
  EXPECT_EQ(qzupdown_format(rule(0, 10, 0.5, 1), 2.5), "2.5");
  EXPECT_EQ(qzupdown_format(rule(0, 10, 0.5, 3), 2.5), "2.500");
  EXPECT_EQ(qzupdown_format(rule(0, 10, 0.25, 0), 2.25), "2.25");
  EXPECT_EQ(qzupdown_format(rule(0, 1e7, 0.5, 0), 1234567.5), "1.23457e+06");
  // Whole numbers of a step-1 control are never cut by "%g".
  EXPECT_EQ(qzupdown_format(rule(1, 1000000, 1, 0), 1000000), "1000000");
}

TEST(UpDownValue, ParsesTypedText) {
  double v = 0;
  EXPECT_TRUE(qzupdown_parse(" 12.5", v));
  EXPECT_EQ(v, 12.5);
  EXPECT_TRUE(qzupdown_parse("3,25", v));
  EXPECT_EQ(v, 3.25);
  EXPECT_TRUE(qzupdown_parse("-7abc", v));
  EXPECT_EQ(v, -7);
  EXPECT_FALSE(qzupdown_parse("abc", v));
  EXPECT_FALSE(qzupdown_parse("", v));
  EXPECT_FALSE(qzupdown_parse("nan", v));
}
