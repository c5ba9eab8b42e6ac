// The time-quality and resonance-curve modules end to end, headless,
// through their dialogs in a temporary working folder.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "analyses/workfiles.h"
#include "app/main_window.h"
#include "app/testing.h"
#include "core/calendar.h"
#include "probability/curve_set.h"
#include "probability/curves.h"
#include "probability/resonance.h"
#include "probability/zeitq.h"
#include "qzk/pixmap.h"

namespace {

const char* kFluctuations = "11- Planetary Fluctuations - time quality";
const char* kResonance = "6- Planetary Fluctuations - resonances";

std::vector<ModuleEntry> Modules() {
  return {{kFluctuations, RunPlanetaryFluctuations}, {kResonance, RunResonanceCurve}};
}

int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

uint32_t Px(const qzPixmap& p, int x, int y) { return qzpxmap_getpixel(p, x, y); }

// One day without the event analysis, all weights 1, IC as asked.
void AnswerOneDay(WorkbenchSession& s, int points, bool ic) {
  s.Answer("Choose -> one day");
  s.Answer("Interval divider -> " + std::to_string(points));
  s.Answer("Program event analysis run? -> no");
  s.Answer("Order of the correlation -> 3");
  s.Answer("Limits? -> no");
  s.Answer("year -> 2000");
  s.Answer("month -> 6");
  s.Answer("day -> 15");
  s.Answer("choice planets? -> no");
  s.Answer(std::string("with IC? -> ") + (ic ? "yes" : "no"));
}

TEST(FluctuationsModule, TwoThousandPointsPassSilentlyAndOneMoreWarns) {
  const char* warning = "Attention WARNING !";
  {
    WorkbenchSession s(Modules());
    AnswerOneDay(s, 2000, false);
    ASSERT_TRUE(s.Run(kFluctuations)) << s.Error();
    EXPECT_EQ(s.Text(0).find(warning), std::string::npos);
    EXPECT_NE(s.Text(1).find("Curve values for intervals <= 1000 only !!!"), std::string::npos);
  }
  {
    WorkbenchSession s(Modules());
    AnswerOneDay(s, 2001, false);
    ASSERT_TRUE(s.Run(kFluctuations)) << s.Error();
    EXPECT_NE(s.Text(0).find(warning), std::string::npos);
    EXPECT_NE(s.Text(0).find("The curves become very confusing."), std::string::npos);
  }
}

TEST(FluctuationsModule, ATableUpToAThousandPointsAndANoticeAbove) {
  {
    WorkbenchSession s(Modules());
    AnswerOneDay(s, 1000, false);
    ASSERT_TRUE(s.Run(kFluctuations)) << s.Error();
    for (int page = 1; page <= 4; ++page) {
      const std::string t = s.Text(page);
      EXPECT_EQ(Count(t, " date y-m-d-h-m "), 1000) << page;
      EXPECT_NE(t.find("i/Planet    So      Mo"), std::string::npos);
      EXPECT_EQ(t.find("intervals <= 1000 only"), std::string::npos);
    }
    EXPECT_NE(s.Text(1).find("\n *Harmony* \n"), std::string::npos);
    EXPECT_NE(s.Text(4).find("\n *Dynamic abs* \n"), std::string::npos);
    // The first point starts the day, the step is a thousandth of it.
    EXPECT_NE(s.Text(1).find("date y-m-d-h-m 2000-6-15-0-0"), std::string::npos);
    EXPECT_NE(s.Text(1).find(" Step size in days:     0.001"), std::string::npos);
    EXPECT_NE(s.Text(1).find("** limit cont H:  -1.00 events: 1000 *"), std::string::npos);
    // Without the IC: variant A, two frames from (1,1).
    const qzPixmap& g = s.Graphic(1);
    EXPECT_EQ(Px(g, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(Px(g, 1, 1), 0u);
    EXPECT_EQ(Px(g, 1441, 1081), 0u);
    for (const char* f : {"Zeitq.bmp", "Zeitqt.bmp", "AI-aktuell/zq-H.bmp", "AI-aktuell/zq-I.bmp",
                          "AI-aktuell/zq-D.bmp", "AI-aktuell/zq-DA.bmp"})
      EXPECT_TRUE(Exists(s.Dir() + "/" + f)) << f;
  }
  {
    WorkbenchSession s(Modules());
    AnswerOneDay(s, 1001, true);
    ASSERT_TRUE(s.Run(kFluctuations)) << s.Error();
    const std::string t = s.Text(1);
    EXPECT_NE(t.find("\n Curve values for intervals <= 1000 only !!!"), std::string::npos);
    EXPECT_EQ(Count(t, " date y-m-d-h-m "), 0);
    // With the IC: variant B, one frame from (0,0).
    EXPECT_EQ(Px(s.Graphic(1), 0, 0), 0u);
    EXPECT_EQ(Px(s.Graphic(1), 1439, 1079), 0u);
  }
}

TEST(FluctuationsModule, MarksAndCountsOnlyTheEventsInsideThePeriod) {
  WorkbenchSession s(Modules());
  const double start = JulianDay0h(2001, 1, 1), end = JulianDay0h(2002, 1, 1);
  const std::vector<double> jd{start - 0.01, start + 100.3, end, start + 250.7};
  WriteValues(kDatDat, std::vector<int>{10, 4});
  WriteValues(kDatOrd, std::vector<int>{2});
  WriteValues(kDatPlanet, std::vector<double>(11, 1.0));
  WriteValues(kJulianDat, jd);
  WriteValues(kEventsH, std::vector<double>{9, 3, 9, 9});
  WriteValues(kEventsI, std::vector<double>{9, 50, 9, 50});
  WriteValues(kEventsD, std::vector<double>{1, 1, 1, 1});
  WriteValues(kEventsDA, std::vector<double>{1, 1, 1, 1});
  s.Answer("Choose -> one year");
  s.Answer("Interval divider -> 700");
  s.Answer("Program event analysis run? -> yes");
  s.Answer("mark events? -> yes");
  s.Answer("Limits? -> yes");
  s.Answer("limit H -> 4");
  s.Answer("limit I -> 50");
  s.Answer("limit D -> 5000");  // beyond its range: held at 1000
  s.Answer("limit DA -> 1");
  s.Answer("start year -> 2001");
  ASSERT_TRUE(s.Run(kFluctuations)) << s.Error();
  EXPECT_NE(s.Text(0).find("ORD 2  MIC1 10"), std::string::npos);
  const std::string h = s.Text(1);
  EXPECT_EQ(Count(h, "event H"), 2) << h.substr(h.size() > 3000 ? h.size() - 3000 : 0);
  EXPECT_NE(h.find("\n i=1  event H    3.000"), std::string::npos);
  EXPECT_NE(h.find("\n i=3  event H    9.000"), std::string::npos);
  EXPECT_NE(h.find("** limit H:  4.00 events: 2 *  1 events over limit  50.00 percent **"),
            std::string::npos);
  // I counts a value equal to the limit.
  EXPECT_NE(s.Text(2).find("** limit I:  50.00 events: 2 *  2 events over limit  100.00 percent **"),
            std::string::npos);
  EXPECT_NE(s.Text(3).find("** limit D:  1000.00 events: 2 *  0 events over limit"), std::string::npos);
  EXPECT_NE(s.Text(4).find("** limit DA:  1.00 events: 2 *  2 events over limit"), std::string::npos);
  // Each event in range is a black line from y 20 to 1059.
  for (int page = 1; page <= 4; ++page) {
    const qzPixmap& g = s.Graphic(page);
    for (int k : {1, 3}) {
      const int x = kCurveLeft + EventPixel(jd[k], start, end);
      for (int y = 20; y < 1060; y += 7) ASSERT_EQ(Px(g, x, y), 0u) << page << " " << k << " " << y;
    }
  }
  EXPECT_TRUE(Exists(s.Dir() + "/Zeitqj.bmp"));
}

// The marked events' lines carry a number at their top, and the numbered
// dates (UT) stand right of the frame.
TEST(FluctuationsModule, EventLinesAreNumberedAndListedWithTheirDates) {
  WorkbenchSession s(Modules());
  const double start = JulianDay0h(2001, 1, 1), end = JulianDay0h(2002, 1, 1);
  const std::vector<double> jd{start + 250.7, start - 3, start + 100.25};
  WriteValues(kDatDat, std::vector<int>{10, 3});
  WriteValues(kDatOrd, std::vector<int>{2});
  WriteValues(kDatPlanet, std::vector<double>(11, 1.0));
  WriteValues(kJulianDat, jd);
  for (const WorkFile& f : {kEventsH, kEventsI, kEventsD, kEventsDA}) WriteValues(f, std::vector<double>{1, 1, 1});
  s.Answer("Choose -> one year");
  s.Answer("Interval divider -> 700");
  s.Answer("Program event analysis run? -> yes");
  s.Answer("mark events? -> yes");
  s.Answer("Limits? -> no");
  s.Answer("start year -> 2001");
  ASSERT_TRUE(s.Run(kFluctuations)) << s.Error();
  const qzDrawingRecord& r = s.Window().canvas[0].target().record;
  auto textAt = [&](const std::string& text, int& x, int& y) {
    for (const qzDrawnShape& shape : r.shapes)
      if (shape.kind == qzDrawnShape::kText && r.texts[shape.index] == text) {
        x = shape.x;
        y = shape.y;
        return true;
      }
    return false;
  };
  int x = 0, y = 0;
  ASSERT_TRUE(textAt("event lines:", x, y));
  EXPECT_GE(x, 1440) << "right of the frame";
  // In the order of the file, the event before the start left out.
  const CalendarDate first = CalendarFromJulian(jd[0]), second = CalendarFromJulian(jd[2]);
  char line[80];
  std::snprintf(line, sizeof line, "1  %d.%d.%d  %02d:%02d UT", first.day, first.month, first.year, first.hour,
                first.minute);
  int lx = 0, ly = 0;
  EXPECT_TRUE(textAt(line, lx, ly)) << line;
  EXPECT_EQ(line, std::string("1  8.9.2001  16:48 UT"));
  std::snprintf(line, sizeof line, "2  %d.%d.%d  %02d:%02d UT", second.day, second.month, second.year,
                second.hour, second.minute);
  EXPECT_TRUE(textAt(line, lx, ly)) << line;
  EXPECT_EQ(line, std::string("2  11.4.2001  06:00 UT"));
  // The numbers at the lines' tops (the month labels below are texts too).
  std::vector<int> numbered;
  for (const qzDrawnShape& shape : r.shapes)
    if (shape.kind == qzDrawnShape::kText && shape.y + shape.h <= 20) {
      EXPECT_EQ(r.texts[shape.index], std::to_string(numbered.size() + 1));
      numbered.push_back(shape.x);
    }
  ASSERT_EQ(numbered.size(), 2u);
  EXPECT_EQ(numbered[0], kCurveLeft + EventPixel(jd[0], start, end) + 3) << "beside its line";
  EXPECT_EQ(numbered[1], kCurveLeft + EventPixel(jd[2], start, end) + 3);
}

TEST(FluctuationsModule, AMissingWorkingFileEndsTheModuleOnly) {
  WorkbenchSession s(Modules());
  s.Answer("Choose -> one year");
  s.Answer("Interval divider -> 700");
  s.Answer("Program event analysis run? -> yes");
  s.Answer("mark events? -> no");
  ASSERT_TRUE(s.Run(kFluctuations)) << s.Error();
  EXPECT_NE(s.Text(0).find("datdat.txt not exist or not closed"), std::string::npos);
  EXPECT_FALSE(Exists(s.Dir() + "/Zeitq.bmp"));
}

void AnswerResonance(WorkbenchSession& s, const std::string& weights) {
  std::ofstream(s.Dir() + "/anna.person") << "family name = Meier\nfirst name = Anna\nday = 17\n"
                                             "month = 3\nyear = 1955\nhour = 23\nminute = 59\n"
                                             "time zone = 1\nlongitude degrees = 8\n"
                                             "latitude degrees = 47\n";
  s.Answer("Order of the correlation -> 3");
  s.Answer("with IC? then 10: -> 10");
  s.Answer("gravity planets -> " + weights);
  s.Answer("Person: -> from a person file");
  s.Answer("Person file -> anna.person");
  s.Answer("Birth time coupling factor -> 0");
  s.Answer("Enter the period: -> Transits for one month");
  s.Answer("year: -> 2024");
  s.Answer("month: -> 3");
  s.Answer("day: -> 1");
  s.Answer("hoar: -> 12");
  s.Answer("minute: -> 1");
  s.Answer("date / time: -> 1.3.2024 12:01:00");
}

TEST(ResonanceModule, OneMonthOnFourFramedPagesAndAFlatCurveForWeightZero) {
  WorkbenchSession s(Modules());
  AnswerResonance(s, "- - - - - - 0 - - - -");  // Saturn weighs nothing
  ASSERT_TRUE(s.Run(kResonance)) << s.Error();
  const std::string t = s.Text(1);
  EXPECT_NE(t.find("**graphic** 4"), std::string::npos);
  // Centred on the mean for I and DA only; the means printed for I.
  EXPECT_EQ(Count(t, "Kurven normiert auf Mittelwert"), 2);
  EXPECT_EQ(Count(t, "middi:"), 12);
  EXPECT_EQ(Count(t, "Kurven normiert auf Maximalwert"), 4);
  EXPECT_NE(t.find("i: 7 max: 0.000000  \n"), std::string::npos);  // Saturn's zero curve
  EXPECT_NE(t.find("1: Meier Anna"), std::string::npos);
  EXPECT_NE(t.find("coupling factor: 0.000000"), std::string::npos);
  EXPECT_NE(t.find("JD_schritt: 0.013478"), std::string::npos);  // 31 days / 2300
  const int saturn = ResonanceBaseline(7);
  for (int page = 1; page <= 4; ++page) {
    const qzPixmap& g = s.Graphic(page);
    EXPECT_EQ(g.width, 2304);
    EXPECT_EQ(Px(g, 1000, 1294), 0u) << page;  // bottom frame bar
    EXPECT_EQ(Px(g, 2302, 700), 0u);
    EXPECT_EQ(Px(g, 1, 700), 0u);
    // Saturn's flat trace: the bar at its baseline, the second trace below.
    EXPECT_EQ(Px(g, 1500, saturn + 2), PackedColour(kStandardCurveColours[7])) << page;
    for (int dy = 3; dy < 40; ++dy) ASSERT_NE(Px(g, 1500, saturn - dy), PackedColour(kStandardCurveColours[7]));
  }
  // The weights shown are written back: the gravity table, Saturn 0.
  EXPECT_EQ(Slurp(s.Dir() + "/datplanet.txt"),
            "57.200000\n10.240000\n0.310000\n0.770000\n0.300000\n1.870000\n0.000000\n"
            "0.280000\n0.220000\n0.010000\n57.200000\n");
}

TEST(ResonanceModule, WritesBackAsManyWeightsAsTheContinuumHasBodies) {
  WorkbenchSession s(Modules());
  // A continuum without the IC: ten bodies, ten weights.
  WriteValues(kDatDat, std::vector<int>{9, 8});
  WriteValues(kDatPlanet, std::vector<double>(10, 2.0));
  AnswerResonance(s, "- - - - - - - - - - 3");  // the IC asked for all the same
  ASSERT_TRUE(s.Run(kResonance)) << s.Error();
  std::string ten;
  for (int i = 0; i < 10; ++i) ten += "2.000000\n";
  EXPECT_EQ(Slurp(s.Dir() + "/datplanet.txt"), ten);
  EXPECT_EQ(s.Text(1).find("WARNING: datplanet.txt"), std::string::npos);
}

}  // namespace
