#include "probability/curves_axis.h"

#include "app/output.h"
#include "core/calendar.h"
#include "qzk/graphic.h"

namespace {

constexpr uint32_t kBlack = 0x000000;
constexpr int kLabelY = 25;

// Tick lengths of one mark: on the band (up and down), from the top edge
// and from the bottom edge.
struct Mark {
  int band, top, bottom;
};
constexpr Mark kMark7{7, 12, 12};
constexpr Mark kMark8{8, 7, 13};
constexpr Mark kMark5{5, 7, 8};
constexpr Mark kDayMark{8, 12, 13};

struct BandAxis {
  const FluctuationAxis& a;
  int baseline;
  CalendarDate start;

  int X(int j) const { return CurveX(a.frame, j, a.points); }
  CalendarDate DateAt(int j) const { return CalendarFromJulian(a.startJd + j * a.stepDays); }

  void Draw(int x, const Mark& m) const {
    const int H = a.frame.height;
    qzgraphic_line(x, baseline - m.band, x, baseline + m.band, kBlack);
    qzgraphic_line(x, 0, x, m.top, kBlack);
    qzgraphic_line(x, H - 1, x, H - m.bottom, kBlack);
  }

  // The first point's mark with its month, and the last point's mark.
  void MonthAtEnds(int j, int last, int x, const CalendarDate& d) const {
    if (j == 0) {
      Draw(x, kMark7);
      TextAt(x + 22, kLabelY, kBlack, "%d", d.month);
    }
    if (j == last) Draw(x, kMark7);
  }
};

void SeveralYearsBodies(const BandAxis& b, int last) {
  const FluctuationAxis& a = b.a;
  const int every = static_cast<int>(a.points * 0.1);
  int counter = 0;
  for (int j = 0; j <= last; ++j) {
    const int x = b.X(j);
    const CalendarDate d = b.DateAt(j);
    if (j == 0) {
      b.Draw(x, kMark7);
      TextAt(x + 2, kLabelY, kBlack, "%d", d.year);
    }
    if (j == last) {
      b.Draw(x, kMark7);
      TextAt(x + 10, kLabelY, kBlack, "%d", d.year + 1);
    }
    if (++counter > every) {
      counter = 0;
      b.Draw(x, kMark7);
      if (a.years > 9)
        TextAt(x + 2, kLabelY, kBlack, "%d", d.year);
      else
        TextAt(x + 2, kLabelY, kBlack, "%dy%dm", d.year, d.month);
    }
  }
}

void SeveralYearsLifeAreas(const BandAxis& b, int last, int& lastYear) {
  const FluctuationAxis& a = b.a;
  int counter = 0;
  for (int j = 0; j <= last; ++j) {
    const int x = b.X(j);
    const CalendarDate d = b.DateAt(j);
    b.MonthAtEnds(j, last, x, d);
    if (a.stepDays >= 5.3) {
      if (++counter > 10) {
        counter = 0;
        b.Draw(x, kMark7);
      }
    } else if (d.year > lastYear) {
      lastYear = d.year;
      b.Draw(x, kMark7);
      TextAt(x + 2, kLabelY, kBlack, "%d", d.year - b.start.year);
    }
  }
}

void OneYear(const BandAxis& b, int last, int& lastMonth) {
  for (int j = 0; j <= last; ++j) {
    const int x = b.X(j);
    const CalendarDate d = b.DateAt(j);
    b.MonthAtEnds(j, last, x, d);
    if (d.month > lastMonth) {
      lastMonth = d.month;
      b.Draw(x, kMark7);
      TextAt(x + 22, kLabelY, kBlack, "%d", d.month);
    }
  }
}

// A day ends at the point after which the next lies in the next day:
// the day of the month minus the elapsed days falls below one step.
void OneMonth(const BandAxis& b, int last) {
  const FluctuationAxis& a = b.a;
  for (int j = 0; j <= last; ++j) {
    const int x = b.X(j);
    const double jd = a.startJd + j * a.stepDays;
    const double e = jd - a.startJd;
    const CalendarDate d = CalendarFromJulian(jd);
    if (j == 0) b.Draw(x, kMark8);
    if (j == last) b.Draw(x, kMark5);
    if (a.stepDays > d.day - e) {
      b.Draw(x, kMark5);
      const int elapsed = static_cast<int>(e);
      if (elapsed % 5 == 4 && elapsed <= 29) {
        b.Draw(x, kDayMark);
        TextAt(x - 15, kLabelY, kBlack, "%d.", elapsed + 1);
      }
    }
  }
}

void OneDay(const BandAxis& b, int last, int& lastHour) {
  const FluctuationAxis& a = b.a;
  const int middle = static_cast<int>(a.points * 0.5);
  for (int j = 0; j <= last; ++j) {
    const int x = b.X(j);
    const CalendarDate d = b.DateAt(j);
    if (d.hour > lastHour) {
      lastHour = d.hour;
      b.Draw(x, kMark5);
      TextAt(x + (d.hour > 8 ? 10 : 13), 24, kBlack, "%d", d.hour + 1);
    }
    if (j == 0) {
      b.Draw(x, kMark8);
      TextAt(x + 13, 24, kBlack, "%d", d.hour + 1);
    }
    if (j == last || j == middle) b.Draw(x, kMark8);
  }
}

}  // namespace

void DrawFluctuationTimeAxis(const FluctuationAxis& a) {
  if (a.points <= 0) return;
  const CalendarDate start = CalendarFromJulian(a.startJd);
  const int last = a.points - 1;
  for (int i = 0; i < a.activeCurves; ++i) {
    const BandAxis b{a, Baseline(a.band, i, a.kv13), start};
    // The first band counts from the start date, every later one from 0.
    int lastYear = i == 0 ? start.year : 0;
    int lastMonth = i == 0 ? start.month : 0;
    int lastHour = i == 0 ? start.hour : 0;
    switch (a.tlk) {
      case 0:
        if (a.kv13 == 1)
          SeveralYearsBodies(b, last);
        else
          SeveralYearsLifeAreas(b, last, lastYear);
        break;
      case 1:
        OneYear(b, last, lastMonth);
        break;
      case 2:
        OneMonth(b, last);
        break;
      case 3:
        OneDay(b, last, lastHour);
        break;
      default:
        for (int j = 0; j <= last; ++j) PrintOut("%s", a.failureLine);
        break;
    }
  }
}
