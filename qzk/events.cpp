#include "qzk/events.h"

#include <algorithm>
#include <array>

#include "qzk/log.h"
#include "qzk/platform/platform.h"
#include "qzk/widget.h"
#include "qzk/window.h"

namespace {
struct Ring {
  std::array<int, QZ_EVENT_RING> slots{};
  int read = 0, write = 0, count = 0;
};

Ring g_ring;
bool g_running = true;
bool g_interrupted = false;
qzEventWatcher g_watcher = nullptr;
bool g_ever_waited = false;
int g_wait_one_of = 0;  // nesting depth of qzwait_for_one_of
int g_rate = 0;         // 0: timer not yet initialised

bool pop(int& event) {
  if (g_ring.count == 0) return false;
  event = g_ring.slots[g_ring.read];
  g_ring.read = (g_ring.read + 1) % QZ_EVENT_RING;
  --g_ring.count;
  return true;
}

void dispatch_input(const qzInput& in) {
  if (in.kind == QZ_INPUT_QUIT) {
    qzquit();
    return;
  }
  if (qzWindow* w = qzWindow::byNative(in.window)) w->handleInput(in);
}

// The widget whose tick is due first, or nullptr.
qzWidget* due_widget(double now) {
  qzWidget* best = nullptr;
  for (qzWindow* w : qzWindow::all())
    for (qzWidget* widget : w->container().widgets())
      if (widget->tickAt() >= 0 && widget->tickAt() <= now && (!best || widget->tickAt() < best->tickAt()))
        best = widget;
  return best;
}

void run_timers() {
  double now = qznow();
  // A widget that re-arms for a time already past runs again in the next
  // round, not in a loop here.
  for (int guard = 0; guard < 1000; ++guard) {
    qzWidget* widget = due_widget(now);
    if (!widget) break;
    widget->runTick(now);
  }
}

double next_deadline() {
  double best = -1;
  for (qzWindow* w : qzWindow::all())
    for (qzWidget* widget : w->container().widgets())
      if (widget->tickAt() >= 0 && (best < 0 || widget->tickAt() < best)) best = widget->tickAt();
  return best;
}

void repaint_all() {
  std::vector<qzWindow*> windows = qzWindow::all();
  for (qzWindow* w : windows)
    if (std::find(qzWindow::all().begin(), qzWindow::all().end(), w) != qzWindow::all().end()) w->repaint();
}

// A headless wait for an event that has seen a day of virtual time pass
// with only the widgets' own timers (a blinking caret) running can never
// end: nobody is left to inject input.
constexpr double kHeadlessGiveUp = 24 * 3600.0;

bool hopeless(double waitStart) {
  return qzplatform_is_headless() && qznow() - waitStart > kHeadlessGiveUp;
}

// Waits for input or the earlier of `deadline` and the next widget tick.
// False when the platform says nothing can ever come.
bool wait_input(double deadline) {
  double tick = next_deadline();
  double until = deadline;
  if (tick >= 0 && (until < 0 || tick < until)) until = tick;
  return qzplatform().waitInput(until);
}

void stop_run() {
  qzlog("no input can arrive any more: the run ends\n");
  qzquit();
}
}  // namespace

bool qzevent_post(int event) {
  if (g_watcher) g_watcher(event);
  if (g_ring.count >= QZ_EVENT_RING) return false;
  g_ring.slots[g_ring.write] = event;
  g_ring.write = (g_ring.write + 1) % QZ_EVENT_RING;
  ++g_ring.count;
  return true;
}

bool qzevents_pending() { return g_ring.count > 0; }
int qzevents_count() { return g_ring.count; }

void qzdispatch_pending() {
  qzPlatform& p = qzplatform();
  qzInput in;
  // Bounded so that a flood of input cannot keep timers and painting away.
  for (int n = 0; n < 10000 && p.pollInput(in); ++n) dispatch_input(in);
  run_timers();
  repaint_all();
}

int qzwait_event() {
  g_ever_waited = true;
  const double start = qznow();
  for (;;) {
    if (qzwaits_over()) return 0;
    qzdispatch_pending();
    int event;
    if (qzwaits_over()) return 0;
    if (pop(event)) return event;
    // A hook that drove the windows itself may have posted events already.
    if ((!wait_input(-1) && !qzevents_pending()) || hopeless(start)) {
      stop_run();
      return 0;
    }
  }
}

int qzpoll_event() {
  qzdispatch_pending();
  int event;
  return pop(event) ? event : 0;
}

int qzwait_for_one_of(const std::vector<int>& events) {
  ++g_wait_one_of;
  g_ever_waited = true;
  const double start = qznow();
  int result = 0;
  for (;;) {
    if (qzwaits_over()) break;
    qzdispatch_pending();
    int event;
    bool found = false;
    while (pop(event))
      if (std::find(events.begin(), events.end(), event) != events.end()) {
        found = true;
        break;
      }
    if (found) {
      result = event;
      break;
    }
    if (qzwaits_over()) break;
    if ((!wait_input(-1) && !qzevents_pending()) || hopeless(start)) {
      stop_run();
      break;
    }
  }
  --g_wait_one_of;
  return result;
}

int qzwait_for_one_of(std::initializer_list<int> events) {
  return qzwait_for_one_of(std::vector<int>(events));
}

bool qzwait_for_one_of_active() { return g_wait_one_of > 0; }

void qzdelay(double seconds) {
  qztimer_request_rate(seconds > 0 ? std::max(1.0, 1.0 / seconds) : 1000.0);
  double deadline = qznow() + std::max(0.0, seconds);
  for (;;) {
    qzdispatch_pending();
    if (qznow() >= deadline || qzwaits_over()) break;
    if (!wait_input(deadline)) break;
  }
}

bool qzevents_ever_waited() { return g_ever_waited; }

void qzevent_set_watcher(qzEventWatcher watcher) { g_watcher = watcher; }
void qzwait_interrupt(bool on) { g_interrupted = on; }
bool qzwait_interrupted() { return g_interrupted; }
bool qzwaits_over() { return !g_running || g_interrupted; }

void qzquit() { g_running = false; }
bool qzrunning() { return g_running; }
double qznow() { return qzplatform().now(); }

void qzevents_reset() {
  g_ring = Ring{};
  g_running = true;
  g_interrupted = false;
  g_wait_one_of = 0;
}

void qztimer_init() {
  if (g_rate != 0) return;
  g_rate = 1;
  qzlog("timer init. %d ticks/sec.\n", g_rate);
}

int qztimer_rate_for(int current, double r) {
  int want = 1;
  if (r > 100) want = 1000;
  else if (r > 10) want = 100;
  else if (r > 1) want = 10;
  return want > current ? want : current;
}

int qztimer_request_rate(double r) {
  qztimer_init();
  int rate = qztimer_rate_for(g_rate, r);
  if (rate != g_rate) {
    g_rate = rate;
    qzlog("timer res. changed to %d ticks/sec.\n", g_rate);
  }
  return g_rate;
}

int qztimer_rate() { return g_rate == 0 ? 1 : g_rate; }
