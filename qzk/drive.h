#pragma once
// Driving the real windows without a person: tests and batch runs find
// widgets by caption or identifier and act on them through the headless
// backend's injected input, so every handler runs as for a real user.
// Each call injects, then dispatches, so its effect has happened (events
// posted, widgets repainted) when it returns.
#include <string>
#include <vector>

class qzWidget;
class qzWindow;

// The open window with this title (the newest one), or nullptr.
qzWindow* qzdrive_window(const std::string& title);
// The topmost open window (a modal dialog if one is open).
qzWindow* qzdrive_top_window();
// The first shown widget of the window with this caption (after "&" is
// taken out: "Quit" finds "&Quit"), or with this event identifier.
qzWidget* qzdrive_find(qzWindow& window, const std::string& caption);
qzWidget* qzdrive_find_id(int event);

// Left click in the middle of the widget (press, release).
void qzdrive_click(qzWidget& widget);
void qzdrive_click_at(qzWindow& window, int x, int y);
// Presses the left button on the widget, holds it for `seconds` of
// platform time (timers run as time passes) and releases it.
void qzdrive_hold(qzWidget& widget, double seconds);
// Typing into the focused widget, and single keys (press and release).
void qzdrive_type(qzWindow& window, const std::string& utf8);
void qzdrive_key(qzWindow& window, int key, int modifiers = 0);
// The close box of the window's frame.
void qzdrive_close(qzWindow& window);
// Lets platform time pass with input and timers handled.
void qzdrive_wait(double seconds);
