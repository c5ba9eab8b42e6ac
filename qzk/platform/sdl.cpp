// The SDL2 backend: one native window per toolkit window, the toolkit's
// pixels shown through the window surface at an integer scale, SDL's
// events translated into plain inputs. This is the only file that
// includes SDL.
#include <SDL.h>

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

class SdlPlatform : public qzPlatform {
 public:
  struct Window {
    SDL_Window* sdl = nullptr;
    std::vector<uint32_t> pixels;
    int width = 0, height = 0;
  };

  explicit SdlPlatform(int scale) : scale_(scale) {}
  ~SdlPlatform() override {
    stopSound();
    if (audio_) SDL_CloseAudioDevice(audio_);
    for (auto& [handle, w] : windows_) SDL_DestroyWindow(w.sdl);
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
    int w = std::max(1, frame.width) * scale_, h = std::max(1, frame.height) * scale_;
    SDL_Window* win = SDL_CreateWindow(frame.title.c_str(), frame.left * scale_, frame.top * scale_, w, h, flags);
    if (!win) {
      qzlog("SDL window failed: %s\n", SDL_GetError());
      return 0;
    }
    int handle = next_++;
    windows_[handle].sdl = win;
    return handle;
  }
  void moveWindow(int window, int left, int top, int width, int height) override {
    Window* w = find(window);
    if (!w) return;
    SDL_SetWindowPosition(w->sdl, left * scale_, top * scale_);
    SDL_SetWindowSize(w->sdl, std::max(1, width) * scale_, std::max(1, height) * scale_);
  }
  void retitleWindow(int window, const std::string& title) override {
    if (Window* w = find(window)) SDL_SetWindowTitle(w->sdl, title.c_str());
  }
  void closeWindow(int window) override {
    auto it = windows_.find(window);
    if (it == windows_.end()) return;
    SDL_DestroyWindow(it->second.sdl);
    windows_.erase(it);
    std::erase_if(pending_, [window](const qzInput& in) { return in.window == window; });
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
    if (!w || w->width != width || w->height != height || !inside) {
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
  bool waitInput(double deadline) override {
    if (!pending_.empty() || SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT)) return true;
    SDL_Event e;
    int got;
    if (deadline < 0) {
      got = SDL_WaitEvent(&e);
    } else {
      double wait = deadline - now();
      if (wait <= 0) return true;
      got = SDL_WaitEventTimeout(&e, static_cast<int>(std::ceil(wait * 1000.0)));
    }
    if (got) translate(e);
    return true;
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

  // Shows the window's pixels, or only the part `part` of them.
  void show(Window& w, SDL_Rect part = {0, 0, -1, -1}) {
    if (w.pixels.empty()) return;
    SDL_Surface* target = SDL_GetWindowSurface(w.sdl);
    if (!target) return;
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(
        w.pixels.data(), w.width, w.height, 32, w.width * 4, SDL_PIXELFORMAT_RGB888);
    if (!source) return;
    bool whole = part.w < 0;
    if (whole) {
      part = {0, 0, w.width, w.height};
      // A window the user made larger than its pixels shows grey beyond them.
      if (target->w > w.width * scale_ || target->h > w.height * scale_)
        SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 0xC0, 0xC0, 0xC0));
    }
    SDL_Rect dst{part.x * scale_, part.y * scale_, part.w * scale_, part.h * scale_};
    if (scale_ == 1) SDL_BlitSurface(source, &part, target, &dst);
    else SDL_BlitScaled(source, &part, target, &dst);
    SDL_FreeSurface(source);
    if (whole) SDL_UpdateWindowSurface(w.sdl);
    else SDL_UpdateWindowSurfaceRects(w.sdl, &dst, 1);
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
        in.x = e.motion.x / scale_;
        in.y = e.motion.y / scale_;
        in.buttons = static_cast<int>(e.motion.state);
        break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP:
        in.kind = e.type == SDL_MOUSEBUTTONDOWN ? QZ_INPUT_MOUSE_DOWN : QZ_INPUT_MOUSE_UP;
        in.window = handleOf(e.button.windowID);
        in.x = e.button.x / scale_;
        in.y = e.button.y / scale_;
        in.button = e.button.button;
        break;
      case SDL_MOUSEWHEEL: {
        in.kind = QZ_INPUT_WHEEL;
        in.window = handleOf(e.wheel.windowID);
        in.wheel = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
        int mx = 0, my = 0;
        SDL_GetMouseState(&mx, &my);
        in.x = mx / scale_;
        in.y = my / scale_;
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
