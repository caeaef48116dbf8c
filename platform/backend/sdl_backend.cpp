// The SDL2 backend: a desktop window of 640 x 480 times an integer scale, or the whole screen
// of a kiosk with the picture scaled and centred. Mouse and finger touches become panel
// coordinates. The picture is copied onto the window's own surface, only the part that changed
// and only when something did; no renderer is made, so on a desktop no graphics driver is
// loaded for a picture that is plain pixels.
#include <SDL2/SDL.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>

#include "platform/backend/backend.h"
#include "platform/gui/window.h"
#include "platform/io/device_access.h"

namespace platform::backend {

namespace {

constexpr int kWidth = gui::kScreenWidth;
constexpr int kHeight = gui::kScreenHeight;

class SdlBackend final : public gui::Backend {
 public:
  ~SdlBackend() override {
    if (source_ != nullptr) SDL_FreeSurface(source_);
    if (window_ != nullptr) SDL_DestroyWindow(window_);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }

  bool open(const Options& o, std::string* error);

  void present(const Bitmap& frame, const Rect& dirty) override {
    const Rect r = dirty.intersected(frame.rect());
    if (r.empty() || !wrap(frame)) return;
    SDL_Surface* screen = SDL_GetWindowSurface(window_);
    if (screen == nullptr) return;
    const SDL_Rect whole = picture_rect(screen);
    if (whole.w != kWidth || whole.h != kHeight) {
      // Scaled: the picture goes up whole, so that no seam shows between scaled parts.
      render();
      return;
    }
    SDL_Rect area{r.left, r.top, r.width(), r.height()};
    SDL_Rect at{whole.x + r.left, whole.y + r.top, 0, 0};
    SDL_BlitSurface(source_, &area, screen, &at);
    SDL_UpdateWindowSurfaceRects(window_, &at, 1);
  }

  void wait_events(int timeout_ms) override {
    SDL_Event e;
    const int got = timeout_ms < 0 ? SDL_WaitEvent(&e) : SDL_WaitEventTimeout(&e, timeout_ms);
    if (got == 0) return;
    handle(e);
    while (SDL_PollEvent(&e) != 0) handle(e);
  }

  // SDL_PushEvent may be called from any thread; one pending wake is enough.
  void wake() override {
    if (wake_pending_.exchange(true)) return;
    SDL_Event e{};
    e.type = wake_event_;
    if (SDL_PushEvent(&e) <= 0) wake_pending_.store(false);
  }

 private:
  // Wraps the frame's pixels (0x00RRGGBB) in a surface; made again only if the frame moved.
  bool wrap(const Bitmap& frame) {
    if (source_ != nullptr && source_->pixels == frame.data()) return true;
    if (source_ != nullptr) SDL_FreeSurface(source_);
    source_ = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(frame.data()), frame.width(),
                                                 frame.height(), 32, frame.width() * 4,
                                                 SDL_PIXELFORMAT_RGB888);
    return source_ != nullptr;
  }

  // The whole window again: black bars and the picture (after an expose or a resize, which
  // may also give the window a new surface).
  void render() {
    SDL_Surface* screen = SDL_GetWindowSurface(window_);
    if (screen == nullptr || source_ == nullptr) return;
    SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0, 0, 0));
    SDL_Rect dst = picture_rect(screen);
    if (dst.w == kWidth && dst.h == kHeight) {
      SDL_BlitSurface(source_, nullptr, screen, &dst);
    } else {
      SDL_BlitScaled(source_, nullptr, screen, &dst);
    }
    SDL_UpdateWindowSurface(window_);
  }

  Size output_size() const {
    Size out{kWidth, kHeight};
    SDL_GetWindowSizeInPixels(window_, &out.width, &out.height);
    return out;
  }

  static SDL_Rect picture_rect(const SDL_Surface* screen) {
    const Rect r = backend::picture_rect({screen->w, screen->h});
    return {r.left, r.top, r.width(), r.height()};
  }

  // Window coordinates (mouse events; fingers after scaling) to panel coordinates; `inside`
  // tells whether the point lies on the picture rather than on the black bars around it. The
  // output may have more pixels than the window has coordinates (high-density screens).
  Point to_panel(double x, double y, bool* inside) const {
    int ww = kWidth;
    int wh = kHeight;
    SDL_GetWindowSize(window_, &ww, &wh);
    const Size out = output_size();
    Point p;
    *inside =
        output_to_panel(out, x * out.width / std::max(1, ww), y * out.height / std::max(1, wh), &p);
    return p;
  }

  Point finger_point(const SDL_TouchFingerEvent& f, bool* inside) const {
    int ww = kWidth;
    int wh = kHeight;
    SDL_GetWindowSize(window_, &ww, &wh);
    return to_panel(double(f.x) * ww, double(f.y) * wh, inside);
  }

  void handle(const SDL_Event& e);
  void handle_mouse(const SDL_Event& e);
  void handle_finger(const SDL_Event& e);

  SDL_Window* window_ = nullptr;
  SDL_Surface* source_ = nullptr;  // the frame's pixels, not owned
  Uint32 wake_event_ = 0;
  std::atomic<bool> wake_pending_{false};
  bool mouse_down_ = false;
  bool finger_down_ = false;
  SDL_FingerID finger_ = 0;
};

bool SdlBackend::open(const Options& o, std::string* error) {
  // Touches come as finger events; SDL's mouse events made up from them would press twice.
  SDL_SetHint(SDL_HINT_TOUCH_MOUSE_EVENTS, "0");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    *error = SDL_GetError();
    return false;
  }
  // An X server takes the window's pixels directly; SDL would otherwise load a GL driver to
  // present them. Drivers without a surface of their own (KMS/DRM, Wayland) keep SDL's choice.
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver != nullptr && SDL_strcmp(driver, "x11") == 0)
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  // Without a display server SDL reads the touch screen's event devices itself, and says
  // nothing when it may not: the panel would show but never answer a touch.
  if (driver != nullptr && SDL_strcasecmp(driver, "kmsdrm") == 0) {
    const std::string advice = platform::input_devices_permission_advice();
    if (!advice.empty())
      std::fprintf(stderr, "corvex-display: cannot read the touch screen %s\n", advice.c_str());
  }
  const int scale = std::clamp(o.scale, 1, 8);
  const Uint32 flags = o.fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0;
  window_ = SDL_CreateWindow(o.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                             kWidth * scale, kHeight * scale, flags);
  if (window_ == nullptr) {
    *error = SDL_GetError();
    return false;
  }
  wake_event_ = SDL_RegisterEvents(1);
  if (SDL_GetWindowSurface(window_) == nullptr || wake_event_ == Uint32(-1)) {
    *error = SDL_GetError();
    return false;
  }
  if (o.fullscreen) SDL_ShowCursor(SDL_DISABLE);
  return true;
}

void SdlBackend::handle(const SDL_Event& e) {
  if (e.type == wake_event_) {
    wake_pending_.store(false);
    return;
  }
  switch (e.type) {
    case SDL_QUIT:  // the window was closed, or SIGINT / SIGTERM arrived
      gui::request_quit();
      return;
    case SDL_WINDOWEVENT:
      if (e.window.event == SDL_WINDOWEVENT_EXPOSED ||
          e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED ||
          e.window.event == SDL_WINDOWEVENT_RESTORED)
        render();
      return;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    case SDL_MOUSEMOTION:
      handle_mouse(e);
      return;
    case SDL_FINGERDOWN:
    case SDL_FINGERUP:
    case SDL_FINGERMOTION:
      handle_finger(e);
      return;
    default:
      return;
  }
}

void SdlBackend::handle_mouse(const SDL_Event& e) {
  bool inside = false;
  if (e.type == SDL_MOUSEMOTION) {
    if (!mouse_down_ || e.motion.which == SDL_TOUCH_MOUSEID) return;
    gui::inject_pointer_move(to_panel(e.motion.x, e.motion.y, &inside));
    return;
  }
  if (e.button.which == SDL_TOUCH_MOUSEID || e.button.button != SDL_BUTTON_LEFT) return;
  const Point p = to_panel(e.button.x, e.button.y, &inside);
  if (e.type == SDL_MOUSEBUTTONDOWN) {
    if (!inside || finger_down_) return;
    mouse_down_ = true;
    gui::inject_pointer_down(p);
  } else if (mouse_down_) {
    mouse_down_ = false;
    gui::inject_pointer_move(p);
    gui::inject_pointer_up();
  }
}

// One finger drives the pointer, as on the panel's resistive screen; others are ignored.
void SdlBackend::handle_finger(const SDL_Event& e) {
  bool inside = false;
  const Point p = finger_point(e.tfinger, &inside);
  if (e.type == SDL_FINGERDOWN) {
    if (finger_down_ || mouse_down_ || !inside) return;
    finger_down_ = true;
    finger_ = e.tfinger.fingerId;
    gui::inject_pointer_down(p);
    return;
  }
  if (!finger_down_ || e.tfinger.fingerId != finger_) return;
  gui::inject_pointer_move(p);
  if (e.type == SDL_FINGERUP) {
    finger_down_ = false;
    gui::inject_pointer_up();
  }
}

}  // namespace

std::unique_ptr<gui::Backend> make_sdl(const Options& options, std::string* error) {
  auto backend = std::make_unique<SdlBackend>();
  if (!backend->open(options, error)) return nullptr;
  return backend;
}

}  // namespace platform::backend
