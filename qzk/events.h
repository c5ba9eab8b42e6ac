#pragma once
// The toolkit's one event queue and the calls that wait on it.
//
// An event is an int: a widget's or window's event identifier (1000000 and
// up, see ids.h), a menu entry's identifier, or a key code that no widget
// used (platform.h: pressed as the code, released as code + 512). The queue
// is a ring of 64 events; posting to a full ring drops the new event.
//
// Native input is only handled inside qzwait_event, qzpoll_event,
// qzwait_for_one_of, qzdelay and qzdispatch_pending: each takes the
// platform's inputs, hands them to the windows (which run their widgets'
// handlers and may post events), runs the widget timers that are due and
// repaints what changed. All of this is on the one GUI thread.
#include <initializer_list>
#include <vector>

constexpr int QZ_EVENT_RING = 64;

// Posts one event; false when the ring was full and it was dropped.
bool qzevent_post(int event);
// True while events are waiting in the ring.
bool qzevents_pending();
int qzevents_count();

// Returns the next event, waiting for input while the ring is empty.
// Returns 0 at once when the running flag is false, and 0 when the run has
// come to a stop (a headless run with no input left; this clears the
// running flag and logs it).
int qzwait_event();
// Handles all waiting input without blocking; returns the next event or 0.
int qzpoll_event();
// Discards events until one of `events` arrives and returns it; returns 0
// when the running flag goes false. While it waits, plain buttons post
// their identifiers instead of running their callbacks.
int qzwait_for_one_of(const std::vector<int>& events);
int qzwait_for_one_of(std::initializer_list<int> events);
bool qzwait_for_one_of_active();

// Handles input and timers for `seconds` of platform time and returns
// (at once on the headless backend, whose clock moves on by `seconds`).
// Asks the timer for a rate of max(1, 1 / seconds) ticks per second.
void qzdelay(double seconds);

// Handles all input that is waiting, runs due timers, repaints. Returns
// without waiting.
void qzdispatch_pending();

// True once any of the waits above was called in this run.
bool qzevents_ever_waited();

// Every event is shown to the watcher as it is posted, before any loop
// reads it: the application learns of a request to stop (a key, a quit
// button) whichever loop is waiting. nullptr: no watcher.
using qzEventWatcher = void (*)(int event);
void qzevent_set_watcher(qzEventWatcher watcher);

// Interrupting the waits: while on, qzwait_event and qzwait_for_one_of
// return 0 at once and qzdelay returns at once, as when the program is
// ending, so that every dialog open (or opened meanwhile) gives up. The
// application turns it on to end a piece of work early and off after it.
void qzwait_interrupt(bool on);
bool qzwait_interrupted();
// True when the waits return 0 for good: the program is ending or the
// waits are interrupted. A loop that got 0 from a wait leaves when this holds.
bool qzwaits_over();

// The running flag: true from toolkit init until qzquit.
void qzquit();
bool qzrunning();

// The platform clock in seconds (virtual on the headless backend).
double qznow();

// Starts a fresh run in the same process: empties the ring and sets the
// running flag again (tests; windows stay as they are).
void qzevents_reset();

// The timer rate rule: a request for r ticks per second raises the rate,
// never lowers it, to 10 for r above 1, 100 above 10, 1000 above 100, and
// logs "timer res. changed to %d ticks/sec.\n". Returns the rate now in
// force. The first call logs "timer init. 1 ticks/sec.\n".
int qztimer_request_rate(double ticksPerSecond);
// The rule itself: the rate after asking for `request` at rate `current`.
int qztimer_rate_for(int current, double request);
int qztimer_rate();
void qztimer_init();
