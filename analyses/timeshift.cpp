#include "analyses/timeshift.h"

namespace {

constexpr int kFixedYearDays = 365;

// Division rounding toward minus infinity, so that negative shifts borrow
// from the day (or year) before.
int FloorDiv(long long a, int b) {
  long long q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return static_cast<int>(q);
}

int DaysBeforeMonth(int month) {
  int days = 0;
  for (int m = 1; m < month; ++m) days += kFixedMonthDays[m - 1];
  return days;
}

}  // namespace

CivilHour ShiftCivilHour(CivilHour t, int days, int hours) {
  // Hours since 0:00 of 1 January of year 0 on the fixed calendar.
  long long dayIndex = static_cast<long long>(t.year) * kFixedYearDays + DaysBeforeMonth(t.month) + (t.day - 1);
  long long hourIndex = (dayIndex + days) * 24 + t.hour + hours;

  long long shiftedDay = FloorDiv(hourIndex, 24);
  CivilHour out{};
  out.hour = static_cast<int>(hourIndex - shiftedDay * 24);
  out.year = FloorDiv(shiftedDay, kFixedYearDays);
  int dayOfYear = static_cast<int>(shiftedDay - static_cast<long long>(out.year) * kFixedYearDays);
  out.month = 1;
  while (dayOfYear >= kFixedMonthDays[out.month - 1]) {
    dayOfYear -= kFixedMonthDays[out.month - 1];
    ++out.month;
  }
  out.day = dayOfYear + 1;
  return out;
}

void ShiftEventTime(EventRecord& record, int days, int hours) {
  CivilHour t = ShiftCivilHour({record.year, record.month, record.day, record.hour}, days, hours);
  record.year = t.year;
  record.month = t.month;
  record.day = t.day;
  record.hour = t.hour;
}
