// The SDL2 backend: a desktop window of 640 x 480 times an integer scale, or the whole screen
// of a kiosk with the picture scaled and centred. Mouse and finger touches become panel
// coordinates; the picture goes up through a streaming texture only when something changed.
#include <SDL2/SDL.h>

#include <algorithm>
#include <atomic>

#include "platform/backend/backend.h"
#include "platform/gui/window.h"

namespace platform::backend {

namespace {

constexpr int kWidth = gui::kScreenWidth;
constexpr int kHeight = gui::kScreenHeight;

class SdlBackend final : public Backend {
 public:
  ~SdlBackend() override {
    if (texture_ != nullptr) SDL_DestroyTexture(texture_);
    if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
    if (window_ != nullptr) SDL_DestroyWindow(window_);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }

  bool open(const Options& o, std::string* error);

  void present(const Bitmap& frame, const Rect& dirty) override {
    const Rect r = dirty.intersected(frame.rect());
    if (r.empty()) return;
    const SDL_Rect area{r.left, r.top, r.width(), r.height()};
    SDL_UpdateTexture(texture_, &area, frame.row(r.top) + r.left, frame.width() * 4);
    render();
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
  void render() {
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    const SDL_Rect dst = picture_rect();
    SDL_RenderCopy(renderer_, texture_, nullptr, &dst);
    SDL_RenderPresent(renderer_);
  }

  Size output_size() const {
    Size out{kWidth, kHeight};
    SDL_GetRendererOutputSize(renderer_, &out.width, &out.height);
    return out;
  }

  SDL_Rect picture_rect() const {
    const Rect r = backend::picture_rect(output_size());
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
    *inside = output_to_panel(out, x * out.width / std::max(1, ww),
                              y * out.height / std::max(1, wh), &p);
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
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  Uint32 wake_event_ = 0;
  std::atomic<bool> wake_pending_{false};
  bool mouse_down_ = false;
  bool finger_down_ = false;
  SDL_FingerID finger_ = 0;
};

bool SdlBackend::open(const Options& o, std::string* error) {
  // Touches come as finger events; SDL's mouse events made up from them would press twice.
  SDL_SetHint(SDL_HINT_TOUCH_MOUSE_EVENTS, "0");
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, o.fullscreen ? "linear" : "nearest");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    *error = SDL_GetError();
    return false;
  }
  const int scale = std::clamp(o.scale, 1, 8);
  const Uint32 flags = o.fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0;
  window_ = SDL_CreateWindow(o.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                             kWidth * scale, kHeight * scale, flags);
  if (window_ == nullptr) {
    *error = SDL_GetError();
    return false;
  }
  renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED);
  if (renderer_ == nullptr) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
  if (renderer_ != nullptr) {
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                 kWidth, kHeight);
  }
  wake_event_ = SDL_RegisterEvents(1);
  if (renderer_ == nullptr || texture_ == nullptr || wake_event_ == Uint32(-1)) {
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

std::unique_ptr<Backend> make_sdl(const Options& options, std::string* error) {
  auto backend = std::make_unique<SdlBackend>();
  if (!backend->open(options, error)) return nullptr;
  return backend;
}

}  // namespace platform::backend
