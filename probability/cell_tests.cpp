#include "probability/cell_tests.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cmath>
#include <numeric>
#include <utility>

#include "probability/beta_distribution.h"
#include "probability/control_groups.h"

namespace {

// A strict order of doubles with NaN after every number, so that a value
// made NaN by a damaged weight cannot break the sort.
bool Before(double a, double b) { return a < b || (!std::isnan(a) && std::isnan(b)); }

}  // namespace

double EmpiricalPValue(int countGe, int countLe, int groups) {
  const double tail = std::min(countGe, countLe) + 1.0;
  return std::min(1.0, 2.0 * tail / (groups + 1.0));
}

ProportionInterval ClopperPearson(int count, int trials, double confidence) {
  ProportionInterval r;
  if (trials <= 0) return r;
  count = std::clamp(count, 0, trials);
  const double alpha = 1 - confidence;
  if (count > 0) r.low = BetaQuantile(alpha / 2, count, trials - count + 1.0);
  if (count < trials) r.high = BetaQuantile(1 - alpha / 2, count + 1.0, trials - count);
  return r;
}

std::vector<double> BenjaminiHochberg(std::span<const double> p) {
  const std::size_t m = p.size();
  std::vector<std::size_t> order(m);
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return Before(p[a], p[b]); });
  std::vector<double> q(m);
  double smallest = 1;
  for (std::size_t rank = m; rank >= 1; --rank) {
    const std::size_t i = order[rank - 1];
    smallest = std::min(smallest, p[i] * static_cast<double>(m) / static_cast<double>(rank));
    q[i] = smallest;
  }
  return q;
}

namespace {

// An unsigned key in the order of the doubles, equal for equal doubles
// (-0 is +0, every NaN one key after all numbers).
uint64_t OrderKey(double x) {
  if (std::isnan(x)) return ~uint64_t{0};
  const uint64_t bits = std::bit_cast<uint64_t>(x + 0.0);
  return bits >> 63 ? ~bits : bits | uint64_t{1} << 63;
}

struct KeyedIndex {
  uint64_t key;
  uint32_t index;
};

// Sorts by key, least significant 11 bits first; a digit that every key
// shares is skipped.
void RadixSort(std::vector<KeyedIndex>& items) {
  constexpr int kBits = 11;
  constexpr std::size_t kBuckets = std::size_t{1} << kBits;
  std::vector<KeyedIndex> spare(items.size());
  std::vector<std::size_t> start(kBuckets);
  for (int shift = 0; shift < 64; shift += kBits) {
    std::fill(start.begin(), start.end(), 0);
    for (const KeyedIndex& item : items) ++start[(item.key >> shift) & (kBuckets - 1)];
    if (!items.empty() && start[(items[0].key >> shift) & (kBuckets - 1)] == items.size()) continue;
    std::size_t at = 0;
    for (std::size_t& s : start) at += std::exchange(s, at);
    for (const KeyedIndex& item : items) spare[start[(item.key >> shift) & (kBuckets - 1)]++] = item;
    items.swap(spare);
  }
}

}  // namespace

void KeepSmallestTails(std::span<const double> values, double real, std::span<int> smallestTail) {
  const std::size_t n = std::min(values.size(), smallestTail.size());
  std::vector<KeyedIndex> items(n);
  for (std::size_t g = 0; g < n; ++g) items[g] = {OrderKey(values[g]), static_cast<uint32_t>(g)};
  RadixSort(items);
  // A run of equal values [lo, hi): of the control groups hi are at or
  // below, n - lo at or above; the real group adds to either or both.
  for (std::size_t lo = 0; lo < n;) {
    std::size_t hi = lo + 1;
    while (hi < n && items[hi].key == items[lo].key) ++hi;
    const double x = values[items[lo].index];
    const std::size_t atOrAbove = n - lo + (real >= x - kFileResolution);
    const std::size_t atOrBelow = hi + (real <= x + kFileResolution);
    const int tail = static_cast<int>(std::min(atOrAbove, atOrBelow));
    for (std::size_t k = lo; k < hi; ++k) {
      int& smallest = smallestTail[items[k].index];
      smallest = std::min(smallest, tail);
    }
    lo = hi;
  }
}

MaxStatisticResult MaxStatisticTest(std::span<const int> realTails,
                                    std::vector<int> controlSmallestTails, int groups) {
  MaxStatisticResult r;
  std::sort(controlSmallestTails.begin(), controlSmallestTails.end());
  const long long G = groups;
  // All p-values are min(1, 2 t / (G + 1)): a control group's is at most
  // that of tail t always when that is 1, else when its tail count is at
  // most t.
  auto shareAtMost = [&](int tail) {
    const auto atMost =
        2LL * tail >= G + 1
            ? controlSmallestTails.end()
            : std::upper_bound(controlSmallestTails.begin(), controlSmallestTails.end(), tail);
    const auto count = atMost - controlSmallestTails.begin();
    return (1.0 + static_cast<double>(count)) / (G + 1.0);
  };
  for (int tail : realTails) r.adjusted.push_back(shareAtMost(tail));
  if (!r.adjusted.empty()) {
    r.globalP = *std::min_element(r.adjusted.begin(), r.adjusted.end());
    r.floor = shareAtMost(1);
  }
  return r;
}

double ChanceMarkShare(int groups) {
  if (groups <= 0) return 0;
  const double g = groups;
  int marked = 0;
  for (int k = 0; k <= groups; ++k) marked += SignificanceMark(100.0 * k / g) > 0;
  return marked / (g + 1);
}
