#include "qzk/platform/headless.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <map>

namespace {

class HeadlessPlatform : public qzPlatform {
 public:
  struct Window {
    qzNativeWindowSpec frame;
    std::vector<uint32_t> pixels;
    int width = 0, height = 0;
    bool presented = false;
  };

  const char* name() const override { return "headless"; }

  int openWindow(const qzNativeWindowSpec& frame) override {
    int handle = next_++;
    Window& w = windows_[handle];
    w.frame = frame;
    order_.push_back(handle);
    return handle;
  }
  void moveWindow(int window, int left, int top, int width, int height) override {
    auto it = windows_.find(window);
    if (it == windows_.end()) return;
    it->second.frame.left = left;
    it->second.frame.top = top;
    it->second.frame.width = width;
    it->second.frame.height = height;
  }
  void retitleWindow(int window, const std::string& title) override {
    auto it = windows_.find(window);
    if (it != windows_.end()) it->second.frame.title = title;
  }
  void closeWindow(int window) override {
    windows_.erase(window);
    order_.erase(std::remove(order_.begin(), order_.end(), window), order_.end());
    // Input still queued for a closed window is of no use.
    std::erase_if(queue_, [window](const qzInput& in) { return in.window == window; });
  }
  void raiseWindow(int window) override {
    auto it = std::find(order_.begin(), order_.end(), window);
    if (it == order_.end()) return;
    order_.erase(it);
    order_.push_back(window);
  }
  void present(int window, const uint32_t* pixels, int width, int height) override {
    auto it = windows_.find(window);
    if (it == windows_.end() || width < 0 || height < 0) return;
    it->second.pixels.assign(pixels, pixels + static_cast<size_t>(width) * height);
    it->second.width = width;
    it->second.height = height;
    it->second.presented = true;
  }

  void presentRect(int window, const uint32_t* pixels, int width, int height, int x, int y, int w,
                   int h) override {
    auto it = windows_.find(window);
    if (it == windows_.end()) return;
    Window& win = it->second;
    bool inside = x >= 0 && y >= 0 && w >= 0 && h >= 0 && x + w <= width && y + h <= height;
    if (!win.presented || win.width != width || win.height != height || !inside) {
      present(window, pixels, width, height);
      return;
    }
    for (int row = y; row < y + h; ++row) {
      size_t at = static_cast<size_t>(row) * width + x;
      std::copy(pixels + at, pixels + at + w, win.pixels.begin() + at);
    }
  }

  bool pollInput(qzInput& input) override {
    if (queue_.empty()) return false;
    input = std::move(queue_.front());
    queue_.pop_front();
    return true;
  }
  bool waitInput(double deadline) override {
    if (!queue_.empty()) return true;
    if (idle_ && !inIdle_) {
      inIdle_ = true;
      auto hook = idle_;  // the hook may replace itself
      hook();
      inIdle_ = false;
      if (!queue_.empty()) return true;
    }
    if (deadline < 0) return false;
    clock_ = std::max(clock_, deadline);
    return true;
  }
  double now() override { return clock_; }

  qzScreenInfo screen() override { return screen_; }
  std::string clipboardText() override { return clipboard_; }
  void setClipboardText(const std::string& text) override { clipboard_ = text; }
  bool playSound(const std::string& path) override {
    sound_ = path;
    return true;
  }
  void stopSound() override { sound_.clear(); }

  // --- injection
  void inject(qzInput input) {
    input.time = clock_;
    queue_.push_back(std::move(input));
  }
  void advance(double seconds) {
    if (seconds > 0) clock_ += seconds;
  }
  void setScreen(int width, int height) { screen_ = {width, height, 0, 0, width, height}; }
  void setIdle(std::function<void()> hook) { idle_ = std::move(hook); }
  const std::map<int, Window>& windows() const { return windows_; }
  const std::vector<int>& order() const { return order_; }
  const std::string& sound() const { return sound_; }

 private:
  std::map<int, Window> windows_;
  std::vector<int> order_;
  std::deque<qzInput> queue_;
  int next_ = 1;
  double clock_ = 0;
  qzScreenInfo screen_{1280, 1024, 0, 0, 1280, 1024};
  std::string clipboard_, sound_;
  std::function<void()> idle_;
  bool inIdle_ = false;
};

HeadlessPlatform* headless() {
  qzPlatform& p = qzplatform();
  if (std::strcmp(p.name(), "headless") != 0) return nullptr;
  return static_cast<HeadlessPlatform*>(&p);
}

void inject(qzInput in) {
  if (HeadlessPlatform* h = headless()) h->inject(std::move(in));
}

qzInput make(int kind, int window, int x = 0, int y = 0) {
  qzInput in;
  in.kind = kind;
  in.window = window;
  in.x = x;
  in.y = y;
  return in;
}

int g_buttons = 0;  // mouse buttons held, as the move events report them
}  // namespace

qzPlatform* qzplatform_create_headless() { return new HeadlessPlatform; }

void qzheadless_set_screen(int width, int height) {
  if (HeadlessPlatform* h = headless()) h->setScreen(width, height);
}

void qzheadless_mouse_move(int window, int x, int y) {
  qzInput in = make(QZ_INPUT_MOUSE_MOVE, window, x, y);
  in.buttons = g_buttons;
  inject(in);
}

void qzheadless_mouse_down(int window, int x, int y, int button) {
  qzheadless_mouse_move(window, x, y);
  qzInput in = make(QZ_INPUT_MOUSE_DOWN, window, x, y);
  in.button = button;
  if (button >= 1 && button <= 8) g_buttons |= 1 << (button - 1);
  in.buttons = g_buttons;
  inject(in);
}

void qzheadless_mouse_up(int window, int x, int y, int button) {
  qzInput in = make(QZ_INPUT_MOUSE_UP, window, x, y);
  in.button = button;
  if (button >= 1 && button <= 8) g_buttons &= ~(1 << (button - 1));
  in.buttons = g_buttons;
  inject(in);
}

void qzheadless_click(int window, int x, int y, int button) {
  qzheadless_mouse_down(window, x, y, button);
  qzheadless_mouse_up(window, x, y, button);
}

void qzheadless_wheel(int window, int x, int y, int steps) {
  qzInput in = make(QZ_INPUT_WHEEL, window, x, y);
  in.wheel = steps;
  inject(in);
}

void qzheadless_key_down(int window, int key, int modifiers) {
  qzInput in = make(QZ_INPUT_KEY_DOWN, window);
  in.key = key;
  in.modifiers = modifiers;
  inject(in);
}

void qzheadless_key_up(int window, int key, int modifiers) {
  qzInput in = make(QZ_INPUT_KEY_UP, window);
  in.key = key;
  in.modifiers = modifiers;
  inject(in);
}

void qzheadless_key(int window, int key, int modifiers) {
  qzheadless_key_down(window, key, modifiers);
  qzheadless_key_up(window, key, modifiers);
}

void qzheadless_text(int window, const std::string& utf8) {
  qzInput in = make(QZ_INPUT_TEXT, window);
  in.text = utf8;
  inject(in);
}

void qzheadless_close(int window) { inject(make(QZ_INPUT_CLOSE, window)); }

void qzheadless_advance(double seconds) {
  if (HeadlessPlatform* h = headless()) h->advance(seconds);
}

double qzheadless_now() {
  HeadlessPlatform* h = headless();
  return h ? h->now() : 0;
}

void qzheadless_set_idle_hook(std::function<void()> hook) {
  if (HeadlessPlatform* h = headless()) h->setIdle(std::move(hook));
}

bool qzheadless_pixels(int window, std::vector<uint32_t>& pixels, int& width, int& height) {
  HeadlessPlatform* h = headless();
  if (!h) return false;
  auto it = h->windows().find(window);
  if (it == h->windows().end() || !it->second.presented) return false;
  pixels = it->second.pixels;
  width = it->second.width;
  height = it->second.height;
  return true;
}

std::vector<int> qzheadless_windows() {
  HeadlessPlatform* h = headless();
  return h ? h->order() : std::vector<int>{};
}

bool qzheadless_window_spec(int window, qzNativeWindowSpec& frame) {
  HeadlessPlatform* h = headless();
  if (!h) return false;
  auto it = h->windows().find(window);
  if (it == h->windows().end()) return false;
  frame = it->second.frame;
  return true;
}

std::string qzheadless_last_sound() {
  HeadlessPlatform* h = headless();
  return h ? h->sound() : std::string();
}
