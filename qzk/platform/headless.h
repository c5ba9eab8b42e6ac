#pragma once
// The headless backend: windows are pixel buffers in memory, the screen has
// a configurable size, the clock is virtual and only moves when the toolkit
// waits for a deadline or the caller advances it, and input is injected by
// the caller. Tests, batch runs and screenshots use it.
//
// Injected inputs are queued and delivered in order the next time the
// toolkit dispatches (wait, poll, delay, or qzdispatch_pending in
// events.h). The calls here only queue; the widget-level helpers in
// qzk/drive.h also dispatch, so that a click has been handled when they
// return.
//
// When the toolkit waits with no input queued, the idle hook (if any) is
// called first, so that a script can answer a dialog that has just opened;
// if it queues nothing and no timer is due, the wait can never end and
// waitInput returns false (the toolkit then stops the run, see events.h).
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "qzk/platform/platform.h"

// All calls below switch this run to the headless backend when it is not
// yet chosen; on the SDL backend they do nothing and return false/0.
void qzheadless_set_screen(int width, int height);  // default 1280 x 1024, work area the same

// Mouse, in a window's client pixels.
void qzheadless_mouse_move(int window, int x, int y);
void qzheadless_mouse_down(int window, int x, int y, int button = QZ_MOUSE_LEFT);
void qzheadless_mouse_up(int window, int x, int y, int button = QZ_MOUSE_LEFT);
void qzheadless_click(int window, int x, int y, int button = QZ_MOUSE_LEFT);  // down + up
void qzheadless_wheel(int window, int x, int y, int steps);

// Keyboard: a key code of platform.h with modifiers; text is UTF-8 and
// arrives as one text input (as an input method would deliver it).
void qzheadless_key_down(int window, int key, int modifiers = 0);
void qzheadless_key_up(int window, int key, int modifiers = 0);
void qzheadless_key(int window, int key, int modifiers = 0);  // down + up
void qzheadless_text(int window, const std::string& utf8);

// The user closes a window with its frame's close box.
void qzheadless_close(int window);

// Moves the virtual clock on by `seconds` (no effect on the SDL backend).
void qzheadless_advance(double seconds);
double qzheadless_now();

// Called (repeatedly) whenever the toolkit would wait for input that has not
// been injected. Pass an empty function to remove it.
void qzheadless_set_idle_hook(std::function<void()> hook);

// The last pixels presented for a window (what a screen would show).
// Returns false for an unknown window or before the first presentation.
bool qzheadless_pixels(int window, std::vector<uint32_t>& pixels, int& width, int& height);

// Native windows open right now in stacking order (bottom first: a window
// raised goes to the end), and their specs.
std::vector<int> qzheadless_windows();
bool qzheadless_window_spec(int window, qzNativeWindowSpec& frame);

// The clipboard and the last sound asked for ("" after stopSound).
std::string qzheadless_last_sound();
