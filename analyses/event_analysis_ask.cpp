// The event analysis' questions and the continuum's files it starts from.
#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "analyses/continuum.h"
#include "analyses/event_analysis.h"
#include "analyses/settings_files.h"
#include "analyses/workfile_set.h"
#include "analyses/workfiles.h"
#include "app/dialogs.h"
#include "app/module_report.h"
#include "app/output.h"

namespace {

// The event analysis waits 12 seconds on a missing file, then ends.
constexpr double kMissingPause = 12.0;
constexpr int kMaxMembers = static_cast<int>(kMaxListedEvents);

const std::vector<std::string> kWeightLabels = {"Sun",  "Moon",   "Mercury", "Venus",   "Mars", "Jupiter",
                                                "Saturn", "Uranus", "Neptune", "Pluto", "IC"};

MissingFileNotice Notice(MissingTail tail = MissingTail::Plain, const char* shown = nullptr) {
  return MissingFileNotice{kMissingPause, tail, shown};
}

void PrintInfo() {
  PrintOut("\n*** Team or Event - Analysis ***\nGruppenanalyse\n");
  for (const char* line : {"\n This module calculates the mean correlations of a group of events or persons ",
                           "\n and compares them with the continuum ",
                           "\n !!! Calculations in world time !!!  h=h-time zone-sommertime",
                           "\n You can find the results in Text 6, Text 2 and Graphics 3\n"}) {
    PrintOut("%s", line);
    Pause(0.1);
  }
}

// A row-sum file of the continuum, echoed value by value.
bool ReadRowSums(const WorkFile& file, const char* shown, const char* label, int c, double (&rows)[kBodies]) {
  auto values = ReadReals(file, LineCount(file, c), Notice(MissingTail::Plain, shown));
  if (!values) return false;
  for (int b = 0; b <= c; ++b) {
    rows[b] = (*values)[b];
    PrintOut(" %s %d = %f   ", label, b + 1, rows[b]);
  }
  return true;
}

// The continuum's files in their order, with their echoes; each setting
// is checked against the range the continuum writes.
bool ReadContinuum(EventAnalysisParams& p, WorkfileSet& files) {
  auto sums = ReadReals(kMatrixSumContinuum, 4, Notice(MissingTail::StartNew));
  if (!sums) return false;
  PrintOut("\n   input matrixsumcontinuum  ");
  auto intervals = ReadMomentsPerInterval(Notice());
  if (!intervals) return false;
  p.moments = *intervals;
  auto order = ReadCorrelationOrder(Notice());
  if (!order) return false;
  auto self = ReadSelfCorrelation(Notice(MissingTail::Plain, kSelfKorrShown));
  if (!self) return false;
  auto ms = ReadReals(kMsContinuum, 4, Notice());
  if (!ms) return false;
  for (MatrixKind k : kMatrixKinds) p.continuumSum[k] = (*ms)[KindIndex(k)];
  PrintOut(" Continuum matrix sum: SHcont %3.4f SIcont %3.4f SDcont %3.4f  SDAcont %3.4f ", (*ms)[0], (*ms)[1],
           (*ms)[2], (*ms)[3]);
  auto dat = ReadGroupBodies(Notice());
  if (!dat) return false;
  p.datdat[0] = dat->lastBody;
  p.datdat[1] = dat->members;
  PrintOut(" \n\n Number of group members %i OK?", p.datdat[1]);
  Pause(2.0);

  p.settings.weights.lastBody = p.datdat[0];
  p.settings.order = *order;
  p.settings.weights.selfCorrelation = *self;
  const int c = p.settings.weights.lastBody;

  if (!ReadRowSums(kZshContinuum, kZshContinuumShown, "zsh", c, p.continuumRow[MatrixKind::H])) return false;
  PrintOut("\n matrix format MIC1 = %i Teamstärke = %i \n\n   ", c, p.datdat[1]);
  if (!ReadRowSums(kZsiContinuum, nullptr, "zsi", c, p.continuumRow[MatrixKind::I]) ||
      !ReadRowSums(kZsdContinuum, nullptr, "zsd", c, p.continuumRow[MatrixKind::D]) ||
      !ReadRowSums(kZsdaContinuum, nullptr, "zsda", c, p.continuumRow[MatrixKind::DA]))
    return false;
  files.Put(kDatDat, std::span<const int>(p.datdat, 2));
  return true;
}

// The weights: the continuum's (datplanet.txt) in every case; the table a
// user may edit when the continuum has not run cannot replace them, or the
// group would not be comparable with the continuum's sums.
bool AskWeights(EventAnalysisParams& p, WorkfileSet& files) {
  double* w = p.settings.weights.body.data();
  std::fill(w, w + kWeightSlots, 1.0);
  bool edited = false;
  if (!p.continuumRan) {
    const int gravity = InputYesNo("Should the planets get a weight?", 1);
    if (gravity < 0) return false;
    if (gravity == 1) {
      std::copy(kGravityWeights.begin(), kGravityWeights.end(), w);
      InputArray("gravity planets", w, kWeightLabels);
      if (!WeightsFit(w, kBodies, kWeightLabels)) return false;
      edited = true;
    }
  }
  const int c = p.settings.weights.lastBody;
  auto file = ReadBodyWeights(c, Notice());
  if (!file) return false;
  bool differs = false;
  for (int b = 0; b <= c; ++b) {
    differs = differs || std::fabs(w[b] - (*file)[b]) > 5e-7;
    w[b] = (*file)[b];
  }
  if (edited && differs) PrintOut("\n The weights of the continuum (datplanet.txt) are used. \n");
  if (c < 10) w[10] = 0.0;
  files.Put(kDatPlanet, std::span<const double>(w, c + 1));
  return true;
}

}  // namespace

bool AskEventAnalysis(EventAnalysisParams& p, WorkfileSet& files) {
  PrintInfo();
  const int ran = InputYesNo("Has the continuum run before?", 1);
  if (ran < 0) return false;
  p.continuumRan = ran == 1;
  if (!ReadContinuum(p, files)) return false;
  if (!AskWeights(p, files)) return false;

  const int automatic = InputYesNo("read data automatically ?", 1);
  if (automatic < 0) return false;
  p.automatic = automatic == 1;
  p.groupSize = p.continuumRan ? p.datdat[1] : InputInt("\n How much events?: ", 1, 10000, 1);
  if (p.groupSize < 1) {
    PrintEndedEarly("\n datdat.txt: the group has %i members; run the continuum again \n", p.groupSize);
    return false;
  }
  if (p.groupSize > kMaxMembers) {
    PrintOut("\n A group has at most %i members; %i are read \n", kMaxMembers, kMaxMembers);
    p.groupSize = kMaxMembers;
  }

  p.settings.dayShift = InputInt("\n time shift d ??: ", -25, 25, 0);
  const std::array<int, 1> d = {p.settings.dayShift};
  files.Put(kDatTimeShiftD, d);
  p.settings.hourShift = InputInt("\n time shift h ??: ", -47, 47, 0);
  const std::array<int, 1> h = {p.settings.hourShift};
  files.Put(kDatTimeShiftH, h);
  const std::array<int, 1> size = {p.groupSize};
  files.Put(kEventsDat, size);
  return true;
}
