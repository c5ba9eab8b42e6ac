#pragma once
// The only door from the toolkit to the operating system. The toolkit draws
// every window's client area itself into a pixmap; a backend opens native
// windows, shows those pixels, delivers raw input as plain events, tells the
// time and offers the clipboard and sound. Two backends exist: SDL2
// (real windows) and headless (windows in memory, a virtual clock and
// injected input, see headless.h).
//
// Coordinates are the toolkit's own pixels; a backend that presents them
// scaled (by an integer for a dense display, by any factor for a window
// made to fit the screen or resized by the user) maps mouse positions back
// through the same rectangle before delivering them.
// Times are seconds on a monotonic clock that starts near 0 for each run.
#include <cstdint>
#include <string>

// Key codes shared by the backends and the toolkit. Printable keys give
// their character code (letters lower case), control keys their ASCII code;
// the keys without one use codes above 300. The toolkit posts an unused
// key press as its code and the release as the code plus QZ_KEY_RELEASE.
enum qzKeyCode : int {
  QZ_KEY_BACKSPACE = 8,
  QZ_KEY_TAB = 9,
  QZ_KEY_RETURN = 10,
  QZ_KEY_ESCAPE = 27,
  QZ_KEY_SPACE = 32,
  QZ_KEY_DELETE = 127,
  QZ_KEY_LEFT = 301,
  QZ_KEY_RIGHT = 302,
  QZ_KEY_UP = 303,
  QZ_KEY_DOWN = 304,
  QZ_KEY_F1 = 305,  // F1..F12 are 305..316
  QZ_KEY_F12 = 316,
  QZ_KEY_HOME = 317,
  QZ_KEY_END = 318,
  QZ_KEY_PAGEUP = 319,
  QZ_KEY_PAGEDOWN = 320,
  QZ_KEY_INSERT = 321,
  QZ_KEY_RELEASE = 512,  // added to a key code for its release
};

enum qzKeyModifier : int {
  QZ_MOD_SHIFT = 1,
  QZ_MOD_CTRL = 2,
  QZ_MOD_ALT = 4,
};

enum qzMouseButton : int {
  QZ_MOUSE_LEFT = 1,
  QZ_MOUSE_MIDDLE = 2,
  QZ_MOUSE_RIGHT = 3,
};

enum qzInputKind : int {
  QZ_INPUT_NONE = 0,
  QZ_INPUT_MOUSE_MOVE,    // x, y; buttons = bit (1 << (button - 1)) per held button
  QZ_INPUT_MOUSE_DOWN,    // x, y, button
  QZ_INPUT_MOUSE_UP,      // x, y, button
  QZ_INPUT_WHEEL,         // x, y, wheel (> 0 away from the user)
  QZ_INPUT_KEY_DOWN,      // key, modifiers (repeats of a held key come again)
  QZ_INPUT_KEY_UP,        // key, modifiers
  QZ_INPUT_TEXT,          // text: UTF-8 typed by the user
  QZ_INPUT_CLOSE,         // the user asked to close the window
  QZ_INPUT_EXPOSE,        // the window must be shown again
  QZ_INPUT_FOCUS_IN,      // the window became the active one
  QZ_INPUT_FOCUS_OUT,
  QZ_INPUT_QUIT,          // the session ends (all windows)
};

// One raw input, addressed to a native window by its handle.
struct qzInput {
  int kind = QZ_INPUT_NONE;
  int window = 0;
  int x = 0, y = 0;
  int button = 0;
  int buttons = 0;
  int wheel = 0;
  int key = 0;
  int modifiers = 0;
  std::string text;
  double time = 0;  // the platform clock when the input happened
};

// How a native window is framed.
struct qzNativeWindowSpec {
  std::string title;
  int left = 0, top = 0;         // of the client area, screen pixels
  int width = 0, height = 0;     // client size
  bool frameless = false;        // fullscreen windows and popups
  bool topmost = false;          // modal windows stay above the others
  bool sysmenu = true;           // minimise/maximise boxes
  bool popup = false;            // a drop-down list: no task bar entry, no focus
};

struct qzScreenInfo {
  int width = 0, height = 0;                               // whole screen
  int workLeft = 0, workTop = 0, workWidth = 0, workHeight = 0;  // without task bars
};

class qzPlatform {
 public:
  virtual ~qzPlatform() = default;
  virtual const char* name() const = 0;  // "sdl" or "headless"

  // Native windows. A handle is a positive integer; 0 means failure.
  virtual int openWindow(const qzNativeWindowSpec& frame) = 0;
  virtual void moveWindow(int window, int left, int top, int width, int height) = 0;
  virtual void retitleWindow(int window, const std::string& title) = 0;
  virtual void closeWindow(int window) = 0;
  virtual void raiseWindow(int window) = 0;
  // Shows the 0x00RRGGBB pixels (rows top to bottom, width * height values)
  // as the window's client area. The pixels are copied.
  virtual void present(int window, const uint32_t* pixels, int width, int height) = 0;
  // The same when only the rectangle (x, y, w, h) changed since the last
  // presentation of a picture of this size; a backend may copy just that.
  virtual void presentRect(int window, const uint32_t* pixels, int width, int height, int x, int y, int w, int h) {
    (void)x, (void)y, (void)w, (void)h;
    present(window, pixels, width, height);
  }

  // Input. pollInput takes the next waiting input without blocking.
  virtual bool pollInput(qzInput& input) = 0;
  // Blocks until input is waiting or the clock reaches `deadline` (a
  // negative deadline waits for input only). Returns false only when no
  // input can ever come (a headless run with nothing left to inject).
  virtual bool waitInput(double deadline) = 0;
  virtual double now() = 0;

  virtual qzScreenInfo screen() = 0;

  virtual std::string clipboardText() = 0;
  virtual void setClipboardText(const std::string& text) = 0;

  // Plays a WAV file asynchronously (false if it cannot be read); a new
  // sound replaces one that is playing.
  virtual bool playSound(const std::string& path) = 0;
  virtual void stopSound() = 0;
};

// The backend of this run, chosen at the first call: the headless one when
// qzplatform_select asked for it or no display can be opened, else SDL2.
qzPlatform& qzplatform();
bool qzplatform_is_headless();

// Chooses the backend from the command line before the first window:
// "--headless" selects the headless backend, "--scale N" (1..8) fixes the
// SDL presentation scale. The arguments are left in place.
void qzplatform_configure(int argc, char** argv);
// Switches to the headless backend (tests); closes nothing already open.
void qzplatform_use_headless();

// Ends the backend of a window system (closing its connection); the
// toolkit calls it at its end after every window was destroyed. The
// headless backend stays.
void qzplatform_shutdown();

// Factories, one per backend file. qzplatform_create_sdl returns nullptr
// when SDL cannot open a video display.
qzPlatform* qzplatform_create_sdl(int scale);
qzPlatform* qzplatform_create_headless();
