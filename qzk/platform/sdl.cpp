// The SDL2 backend: one native window per toolkit window, the toolkit's
// pixels shown through the window surface, SDL's events translated into
// plain inputs. This is the only file that includes SDL.
//
// Presentation: a window opens at the integer scale of the display's
// density, shrunk (by any factor) when it would not fit the display's
// usable area with its frame. When the user resizes it, the whole picture
// is shown scaled to fit the new size, keeping its aspect, with grey bars
// beside it; the toolkit keeps its own pixels, and mouse positions are
// mapped back through the same rectangle.
//
// X11: the backend never waits inside SDL_WaitEvent. SDL 2.26 wakes such a
// wait by sending an X event to a window it chose when the wait began;
// when a dialog window was destroyed in between, Xlib reports BadWindow and
// its default error handler ends the process. The backend polls instead
// (as the toolkit's message loops always did, with a short sleep between
// polls), and an error handler of its own logs X errors rather than
// ending the session.
#include <SDL.h>
#if defined(SDL_VIDEO_DRIVER_X11) && __has_include(<X11/Xlib.h>)
#include <X11/Xlib.h>
#define QZ_SDL_X11 1
#endif

#include <algorithm>
#include <cmath>
#include <deque>
#include <map>
#include <vector>

#include "qzk/log.h"
#include "qzk/platform/platform.h"

namespace {

int translate_key(SDL_Keycode k) {
  switch (k) {
    case SDLK_LEFT: return QZ_KEY_LEFT;
    case SDLK_RIGHT: return QZ_KEY_RIGHT;
    case SDLK_UP: return QZ_KEY_UP;
    case SDLK_DOWN: return QZ_KEY_DOWN;
    case SDLK_HOME: return QZ_KEY_HOME;
    case SDLK_END: return QZ_KEY_END;
    case SDLK_PAGEUP: return QZ_KEY_PAGEUP;
    case SDLK_PAGEDOWN: return QZ_KEY_PAGEDOWN;
    case SDLK_INSERT: return QZ_KEY_INSERT;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return QZ_KEY_RETURN;
    case SDLK_BACKSPACE: return QZ_KEY_BACKSPACE;
    case SDLK_TAB: return QZ_KEY_TAB;
    case SDLK_ESCAPE: return QZ_KEY_ESCAPE;
    case SDLK_DELETE: return QZ_KEY_DELETE;
    default: break;
  }
  if (k >= SDLK_F1 && k <= SDLK_F12) return QZ_KEY_F1 + static_cast<int>(k - SDLK_F1);
  if (k >= SDLK_KP_1 && k <= SDLK_KP_9) return '1' + static_cast<int>(k - SDLK_KP_1);
  if (k == SDLK_KP_0) return '0';
  if (k >= 32 && k < 127) return static_cast<int>(k);
  return 0;  // keys the toolkit has no code for
}

int translate_modifiers(Uint16 mod) {
  int m = 0;
  if (mod & KMOD_SHIFT) m |= QZ_MOD_SHIFT;
  if (mod & KMOD_CTRL) m |= QZ_MOD_CTRL;
  if (mod & KMOD_ALT) m |= QZ_MOD_ALT;
  return m;
}

#ifdef QZ_SDL_X11
// X errors are logged and the session goes on: an error on a window that
// is already gone is harmless, and Xlib's default handler would end the
// process. Xlib is reached through SDL's loader, as SDL itself loads it.
using XErrorHandlerFn = int (*)(Display*, XErrorEvent*);
using XSetErrorHandlerFn = XErrorHandlerFn (*)(XErrorHandlerFn);
using XGetErrorTextFn = int (*)(Display*, int, char*, int);
XGetErrorTextFn g_x_error_text = nullptr;
int g_x_errors = 0;

int log_x_error(Display* display, XErrorEvent* e) {
  char text[160] = "";
  if (g_x_error_text) g_x_error_text(display, e->error_code, text, sizeof text);
  ++g_x_errors;
  qzlog("X error %d (%s), request %d.%d, resource 0x%lx: ignored\n", e->error_code, text, e->request_code,
        e->minor_code, static_cast<unsigned long>(e->resourceid));
  return 0;
}

void install_x_error_handler() {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!driver || std::string(driver) != "x11") return;
  void* xlib = SDL_LoadObject("libX11.so.6");
  if (!xlib) return;  // kept loaded: the handler lives as long as the process
  auto set = reinterpret_cast<XSetErrorHandlerFn>(SDL_LoadFunction(xlib, "XSetErrorHandler"));
  g_x_error_text = reinterpret_cast<XGetErrorTextFn>(SDL_LoadFunction(xlib, "XGetErrorText"));
  if (set) {
    set(log_x_error);
    qzlog("Xlib: errors are logged, the session goes on\n");
  }
}
#endif

// Where a window's picture lies in its native client area.
struct Placement {
  int x = 0, y = 0, w = 0, h = 0;
};

// The largest rectangle of the picture's aspect inside the client area,
// centred. A picture that fits at the integer `scale` exactly is shown so.
Placement fit_picture(int width, int height, int clientW, int clientH, int scale) {
  if (width <= 0 || height <= 0 || clientW <= 0 || clientH <= 0) return {};
  if (clientW == width * scale && clientH == height * scale) return {0, 0, clientW, clientH};
  double f = std::min(static_cast<double>(clientW) / width, static_cast<double>(clientH) / height);
  Placement p;
  p.w = std::clamp(static_cast<int>(std::lround(width * f)), 1, clientW);
  p.h = std::clamp(static_cast<int>(std::lround(height * f)), 1, clientH);
  p.x = (clientW - p.w) / 2;
  p.y = (clientH - p.h) / 2;
  return p;
}

// floor(a * b / c) for the mapping between picture and client pixels.
int scaled(int a, int b, int c) {
  long long n = static_cast<long long>(a) * b;
  long long q = n / c;
  if ((n % c != 0) && ((n < 0) != (c < 0))) --q;
  return static_cast<int>(q);
}

class SdlPlatform : public qzPlatform {
 public:
  struct Window {
    SDL_Window* sdl = nullptr;
    std::vector<uint32_t> pixels;
    int width = 0, height = 0;  // the toolkit's picture
    Placement place;            // where it is shown
  };

  explicit SdlPlatform(int scale) : scale_(scale) {}
  ~SdlPlatform() override {
    stopSound();
    if (audio_) SDL_CloseAudioDevice(audio_);
    for (auto& [handle, w] : windows_) SDL_DestroyWindow(w.sdl);
    windows_.clear();
    SDL_Quit();
  }

  bool init() {
    // Signals end the program as usual; SDL must not turn them into a quit
    // request that nobody reads.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) != 0) {
      qzlog("SDL init failed: %s\n", SDL_GetError());
      return false;
    }
#ifdef QZ_SDL_X11
    install_x_error_handler();
#endif
    if (scale_ <= 0) {
      // One toolkit pixel per screen pixel up to about 120 dpi, then an
      // integer factor so the bitmap fonts stay readable.
      float ddpi = 0;
      scale_ = 1;
      if (SDL_GetDisplayDPI(0, &ddpi, nullptr, nullptr) == 0 && ddpi > 0)
        scale_ = std::clamp(static_cast<int>(std::floor(ddpi / 96.0f + 0.25f)), 1, 4);
    }
    start_ = SDL_GetPerformanceCounter();
    SDL_StartTextInput();
    qzlog("SDL video driver %s, scale %d\n", SDL_GetCurrentVideoDriver(), scale_);
    return true;
  }

  const char* name() const override { return "sdl"; }

  int openWindow(const qzNativeWindowSpec& frame) override {
    Uint32 flags = SDL_WINDOW_SHOWN;
    if (frame.frameless) flags |= SDL_WINDOW_BORDERLESS;
    else flags |= SDL_WINDOW_RESIZABLE;
    if (frame.topmost) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
    if (frame.popup) flags |= SDL_WINDOW_POPUP_MENU | SDL_WINDOW_SKIP_TASKBAR | SDL_WINDOW_BORDERLESS;
    const int width = std::max(1, frame.width), height = std::max(1, frame.height);
    int w = width * scale_, h = height * scale_;
    int x = frame.left * scale_, y = frame.top * scale_;
    if (!frame.popup) fitUsable(w, h, x, y, !frame.frameless);
    SDL_Window* win = SDL_CreateWindow(frame.title.c_str(), x, y, w, h, flags);
    if (!win) {
      qzlog("SDL window failed: %s\n", SDL_GetError());
      return 0;
    }
    int handle = next_++;
    Window& made = windows_[handle];
    made.sdl = win;
    made.width = width;
    made.height = height;
    if (w != width * scale_ || h != height * scale_)
      qzlog("window \"%s\" shown at %d*%d to fit the screen\n", frame.title.c_str(), w, h);
    return handle;
  }
  void moveWindow(int window, int left, int top, int width, int height) override {
    Window* w = find(window);
    if (!w) return;
    int nw = std::max(1, width) * scale_, nh = std::max(1, height) * scale_;
    int x = left * scale_, y = top * scale_;
    fitUsable(nw, nh, x, y, !(SDL_GetWindowFlags(w->sdl) & SDL_WINDOW_BORDERLESS));
    SDL_SetWindowPosition(w->sdl, x, y);
    SDL_SetWindowSize(w->sdl, nw, nh);
  }
  void retitleWindow(int window, const std::string& title) override {
    if (Window* w = find(window)) SDL_SetWindowTitle(w->sdl, title.c_str());
  }
  void closeWindow(int window) override {
    auto it = windows_.find(window);
    if (it == windows_.end()) return;
    // Gone from the table first: nothing is presented or raised on it
    // afterwards, and its late events find no window.
    SDL_Window* sdl = it->second.sdl;
    windows_.erase(it);
    std::erase_if(pending_, [window](const qzInput& in) { return in.window == window; });
    SDL_DestroyWindow(sdl);
  }
  void raiseWindow(int window) override {
    if (Window* w = find(window)) SDL_RaiseWindow(w->sdl);
  }
  void present(int window, const uint32_t* pixels, int width, int height) override {
    Window* w = find(window);
    if (!w || width <= 0 || height <= 0) return;
    w->pixels.assign(pixels, pixels + static_cast<size_t>(width) * height);
    w->width = width;
    w->height = height;
    show(*w);
  }

  void presentRect(int window, const uint32_t* pixels, int width, int height, int x, int y, int rw,
                   int rh) override {
    Window* w = find(window);
    bool inside = x >= 0 && y >= 0 && rw >= 0 && rh >= 0 && x + rw <= width && y + rh <= height;
    if (!w || w->width != width || w->height != height || !inside ||
        w->pixels.size() != static_cast<size_t>(width) * height) {
      present(window, pixels, width, height);
      return;
    }
    for (int row = y; row < y + rh; ++row) {
      size_t at = static_cast<size_t>(row) * width + x;
      std::copy(pixels + at, pixels + at + rw, w->pixels.begin() + at);
    }
    show(*w, SDL_Rect{x, y, rw, rh});
  }

  bool pollInput(qzInput& input) override {
    SDL_Event e;
    while (pending_.empty() && SDL_PollEvent(&e)) translate(e);
    if (pending_.empty()) return false;
    input = std::move(pending_.front());
    pending_.pop_front();
    return true;
  }
  // Polls with a short sleep between polls (see the top of the file for
  // why SDL's own wait is not used).
  bool waitInput(double deadline) override {
    for (;;) {
      if (!pending_.empty()) return true;
      SDL_PumpEvents();
      if (SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT)) return true;
      double left = deadline < 0 ? 1.0 : deadline - now();
      if (left <= 0) return true;
      SDL_Delay(static_cast<Uint32>(std::clamp(std::ceil(left * 1000.0), 1.0, 5.0)));
    }
  }
  double now() override {
    return static_cast<double>(SDL_GetPerformanceCounter() - start_) /
           static_cast<double>(SDL_GetPerformanceFrequency());
  }

  qzScreenInfo screen() override {
    qzScreenInfo s{1024, 768, 0, 0, 1024, 768};
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) == 0) {
      s.width = mode.w / scale_;
      s.height = mode.h / scale_;
      s.workWidth = s.width;
      s.workHeight = s.height;
    }
    SDL_Rect usable;
    if (SDL_GetDisplayUsableBounds(0, &usable) == 0 && usable.w > 0 && usable.h > 0) {
      s.workLeft = usable.x / scale_;
      s.workTop = usable.y / scale_;
      s.workWidth = usable.w / scale_;
      s.workHeight = usable.h / scale_;
    }
    return s;
  }

  std::string clipboardText() override {
    char* text = SDL_GetClipboardText();
    std::string s = text ? text : "";
    SDL_free(text);
    return s;
  }
  void setClipboardText(const std::string& text) override { SDL_SetClipboardText(text.c_str()); }

  bool playSound(const std::string& path) override {
    if (!(SDL_WasInit(SDL_INIT_AUDIO) & SDL_INIT_AUDIO) && SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
      qzlog("sound: no audio device (%s)\n", SDL_GetError());
      return false;
    }
    SDL_AudioSpec wav;
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    if (!SDL_LoadWAV(path.c_str(), &wav, &buffer, &length)) {
      qzlog("sound \"%s\" not played: %s\n", path.c_str(), SDL_GetError());
      return false;
    }
    if (audio_) SDL_CloseAudioDevice(audio_);
    audio_ = SDL_OpenAudioDevice(nullptr, 0, &wav, nullptr, 0);
    bool ok = audio_ != 0 && SDL_QueueAudio(audio_, buffer, length) == 0;
    if (ok) SDL_PauseAudioDevice(audio_, 0);
    else qzlog("sound \"%s\" not played: %s\n", path.c_str(), SDL_GetError());
    SDL_FreeWAV(buffer);
    return ok;
  }
  void stopSound() override {
    if (audio_) SDL_ClearQueuedAudio(audio_);
  }

 private:
  Window* find(int handle) {
    auto it = windows_.find(handle);
    return it == windows_.end() ? nullptr : &it->second;
  }
  int handleOf(Uint32 sdlId) {
    for (auto& [handle, w] : windows_)
      if (SDL_GetWindowID(w.sdl) == sdlId) return handle;
    return 0;
  }

  // Shrinks a native size (keeping its aspect) and moves the position so
  // that the window with a frame's allowance fits the usable area.
  void fitUsable(int& w, int& h, int& x, int& y, bool framed) {
    SDL_Rect usable;
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0 || usable.w <= 0 || usable.h <= 0) return;
    // A frame's caption and borders, as a window manager typically draws
    // them; the exact size is known only once a window is shown.
    const int frameW = framed ? 2 * kBorder : 0, frameH = framed ? kCaption + kBorder : 0;
    const int roomW = std::max(1, usable.w - frameW), roomH = std::max(1, usable.h - frameH);
    if (w > roomW || h > roomH) {
      double f = std::min(static_cast<double>(roomW) / w, static_cast<double>(roomH) / h);
      w = std::max(1, static_cast<int>(w * f));
      h = std::max(1, static_cast<int>(h * f));
    }
    const int left = usable.x + (framed ? kBorder : 0), top = usable.y + (framed ? kCaption : 0);
    x = std::clamp(x, left, std::max(left, usable.x + usable.w - w - (framed ? kBorder : 0)));
    y = std::clamp(y, top, std::max(top, usable.y + usable.h - h - (framed ? kBorder : 0)));
  }

  // Client pixels to the toolkit's: through the rectangle the picture is
  // shown in (outside it the position lies outside the picture).
  void toPicture(const Window* w, int& x, int& y) const {
    if (!w || w->place.w <= 0 || w->place.h <= 0) {
      x /= scale_;
      y /= scale_;
      return;
    }
    x = scaled(x - w->place.x, w->width, w->place.w);
    y = scaled(y - w->place.y, w->height, w->place.h);
  }

  // Shows the window's pixels, or only the part `part` of them.
  void show(Window& w, SDL_Rect part = {0, 0, -1, -1}) {
    if (w.pixels.empty()) return;
    SDL_Surface* target = SDL_GetWindowSurface(w.sdl);
    if (!target) return;
    Placement place = fit_picture(w.width, w.height, target->w, target->h, scale_);
    bool whole = part.w < 0 || place.x != w.place.x || place.y != w.place.y || place.w != w.place.w ||
                 place.h != w.place.h;
    w.place = place;
    if (place.w <= 0) return;
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(
        w.pixels.data(), w.width, w.height, 32, w.width * 4, SDL_PIXELFORMAT_RGB888);
    if (!source) return;
    if (whole) {
      part = {0, 0, w.width, w.height};
      if (place.w < target->w || place.h < target->h)
        SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 0xC0, 0xC0, 0xC0));
    }
    // The part's client rectangle: the client pixels whose picture pixel
    // (by toPicture) lies inside the part.
    const int x0 = place.x + ceil_scaled(part.x, place.w, w.width);
    const int x1 = place.x + ceil_scaled(part.x + part.w, place.w, w.width);
    const int y0 = place.y + ceil_scaled(part.y, place.h, w.height);
    const int y1 = place.y + ceil_scaled(part.y + part.h, place.h, w.height);
    SDL_Rect dst{x0, y0, x1 - x0, y1 - y0};
    if (dst.w > 0 && dst.h > 0) {
      if (place.w == w.width && place.h == w.height) {
        SDL_BlitSurface(source, &part, target, &dst);
      } else if (place.w % w.width == 0 && place.h % w.height == 0) {
        SDL_BlitScaled(source, &part, target, &dst);  // whole pixels: crisp
      } else if (target->format->format != source->format->format ||
                 SDL_SoftStretchLinear(source, &part, target, &dst) != 0) {
        SDL_BlitScaled(source, &part, target, &dst);
      }
    }
    SDL_FreeSurface(source);
    if (whole) SDL_UpdateWindowSurface(w.sdl);
    else if (dst.w > 0 && dst.h > 0) SDL_UpdateWindowSurfaceRects(w.sdl, &dst, 1);
  }
  // ceil(a * b / c) for a, b, c >= 0.
  static int ceil_scaled(int a, int b, int c) {
    return static_cast<int>((static_cast<long long>(a) * b + c - 1) / c);
  }

  void push(qzInput in) {
    in.time = now();
    pending_.push_back(std::move(in));
  }

  void translate(const SDL_Event& e) {
    qzInput in;
    switch (e.type) {
      case SDL_MOUSEMOTION:
        in.kind = QZ_INPUT_MOUSE_MOVE;
        in.window = handleOf(e.motion.windowID);
        in.x = e.motion.x;
        in.y = e.motion.y;
        toPicture(find(in.window), in.x, in.y);
        in.buttons = static_cast<int>(e.motion.state);
        break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP:
        in.kind = e.type == SDL_MOUSEBUTTONDOWN ? QZ_INPUT_MOUSE_DOWN : QZ_INPUT_MOUSE_UP;
        in.window = handleOf(e.button.windowID);
        in.x = e.button.x;
        in.y = e.button.y;
        toPicture(find(in.window), in.x, in.y);
        in.button = e.button.button;
        break;
      case SDL_MOUSEWHEEL: {
        in.kind = QZ_INPUT_WHEEL;
        in.window = handleOf(e.wheel.windowID);
        in.wheel = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
        SDL_GetMouseState(&in.x, &in.y);
        toPicture(find(in.window), in.x, in.y);
        break;
      }
      case SDL_KEYDOWN:
      case SDL_KEYUP:
        in.kind = e.type == SDL_KEYDOWN ? QZ_INPUT_KEY_DOWN : QZ_INPUT_KEY_UP;
        in.window = handleOf(e.key.windowID);
        in.key = translate_key(e.key.keysym.sym);
        in.modifiers = translate_modifiers(e.key.keysym.mod);
        if (in.key == 0) return;
        break;
      case SDL_TEXTINPUT:
        in.kind = QZ_INPUT_TEXT;
        in.window = handleOf(e.text.windowID);
        in.text = e.text.text;
        break;
      case SDL_WINDOWEVENT:
        in.window = handleOf(e.window.windowID);
        switch (e.window.event) {
          case SDL_WINDOWEVENT_CLOSE: in.kind = QZ_INPUT_CLOSE; break;
          case SDL_WINDOWEVENT_EXPOSED:
          case SDL_WINDOWEVENT_SIZE_CHANGED:
          case SDL_WINDOWEVENT_RESTORED:
            if (Window* w = find(in.window)) show(*w);
            in.kind = QZ_INPUT_EXPOSE;
            break;
          case SDL_WINDOWEVENT_FOCUS_GAINED: in.kind = QZ_INPUT_FOCUS_IN; break;
          case SDL_WINDOWEVENT_FOCUS_LOST: in.kind = QZ_INPUT_FOCUS_OUT; break;
          default: return;
        }
        break;
      default:
        return;  // SDL_QUIT follows the last window's close, handled there
    }
    if (in.window == 0) return;
    push(std::move(in));
  }

  static constexpr int kCaption = 24, kBorder = 2;
  int scale_;
  Uint64 start_ = 0;
  std::map<int, Window> windows_;
  std::deque<qzInput> pending_;
  int next_ = 1;
  SDL_AudioDeviceID audio_ = 0;
};

}  // namespace

qzPlatform* qzplatform_create_sdl(int scale) {
  auto* p = new SdlPlatform(scale);
  if (!p->init()) {
    delete p;
    return nullptr;
  }
  return p;
}
