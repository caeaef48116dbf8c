// The backends: signals end the program through the quit handler, the snapshot file follows
// the screen once a second of clock time, presents carry the union of what changed, and the
// SDL backend runs on SDL's off-screen driver.
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

#include "gui_fixture.h"
#include "platform/backend/backend.h"

namespace gui_test {
namespace {

class Backend : public GuiTest {
 protected:
  void TearDown() override {
    // Back to a headless backend that leaves the signals alone.
    gui::install_backend(gui::make_headless_backend(false));
    GuiTest::TearDown();
  }
};

TEST_F(Backend, SigtermEndsTheProgramThroughTheQuitHandler) {
  ASSERT_TRUE(backend::start({.headless = true}));
  static bool handled = false;
  handled = false;
  set_quit_handler([] {
    handled = true;
    post_quit(3);
  });
  std::raise(SIGTERM);
  EXPECT_EQ(run_message_loop(), 3);
  EXPECT_TRUE(handled);
}

std::vector<uint8_t> read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST_F(Backend, SnapshotFollowsTheScreenOnceASecond) {
  const std::string path = ::testing::TempDir() + "/gui_snapshot_test.png";
  std::remove(path.c_str());
  ASSERT_TRUE(backend::start({.headless = true, .snapshot_path = path}));
  Window* w = make("main", Rect::from_xywh(0, 0, 640, 480), nullptr, 0, rgb(200, 0, 0));
  advance_virtual(999);
  EXPECT_TRUE(read_file(path).empty());
  advance_virtual(1);
  const std::vector<uint8_t> red = read_file(path);
  ASSERT_GT(red.size(), 33u);
  EXPECT_EQ(red[1], 'P');
  w->user_data = intptr_t(rgb(0, 0, 200));
  invalidate(w);
  advance_virtual(1000);
  const std::vector<uint8_t> blue = read_file(path);
  EXPECT_NE(blue, red);
}

}  // namespace
}  // namespace gui_test

namespace gui_test {
namespace {

// A backend that writes down what it is asked to present and otherwise waits as headless does.
class Recording final : public gui::Backend {
 public:
  explicit Recording(std::vector<Rect>* log) : log_(log) {}
  void present(const Bitmap&, const Rect& dirty) override { log_->push_back(dirty); }
  void wait_events(int timeout_ms) override { inner_->wait_events(timeout_ms); }
  void wake() override { inner_->wake(); }

 private:
  std::vector<Rect>* log_;
  std::unique_ptr<gui::Backend> inner_ = gui::make_headless_backend(false);
};

TEST_F(Backend, IsToldTheUnionOfWhatChanged) {
  std::vector<Rect> presents;
  Window* main = make("main", Rect::from_xywh(0, 0, 640, 480), nullptr, 0, rgb(1, 1, 1));
  Window* a = make("a", Rect::from_xywh(10, 10, 20, 20), main, 0, rgb(2, 2, 2));
  Window* b = make("b", Rect::from_xywh(300, 200, 40, 30), main, 0, rgb(3, 3, 3));
  paint_pending();
  gui::install_backend(std::make_unique<Recording>(&presents));
  paint_pending();
  EXPECT_EQ(presents, (std::vector<Rect>{{0, 0, 640, 480}})) << "a new screen is shown whole";
  presents.clear();
  invalidate_rect(a, {5, 5, 10, 10});
  invalidate(b, Erase::No);
  paint_pending();
  paint_pending();
  advance_virtual(500);
  EXPECT_EQ(presents, (std::vector<Rect>{{15, 15, 340, 230}}));
}

TEST_F(Backend, PictureIsScaledAndCentredAndTouchesMapBack) {
  EXPECT_EQ(backend::picture_rect({1280, 960}), Rect::from_xywh(0, 0, 1280, 960));
  EXPECT_EQ(backend::picture_rect({1920, 1080}), Rect::from_xywh(240, 0, 1440, 1080));
  Point p;
  EXPECT_TRUE(backend::output_to_panel({1280, 960}, 201, 101, &p));
  EXPECT_EQ(p, (Point{100, 50}));
  EXPECT_TRUE(backend::output_to_panel({1920, 1080}, 240 + 1439.5, 1079.5, &p));
  EXPECT_EQ(p, (Point{639, 479}));
  EXPECT_FALSE(backend::output_to_panel({1920, 1080}, 100, 500, &p));  // on the left bar
  EXPECT_EQ(p.x, 0);
}

TEST_F(Backend, NoDisplaySaysSoInOneLine) {
  setenv("SDL_VIDEODRIVER", "no-such-video-driver", 1);
  ::testing::internal::CaptureStderr();
  const bool started = backend::start({.headless = false});
  const std::string said = ::testing::internal::GetCapturedStderr();
  unsetenv("SDL_VIDEODRIVER");
  EXPECT_FALSE(started);
  EXPECT_NE(said.find("cannot open a display"), std::string::npos) << said;
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1);
}

// SDL's off-screen video driver stands for a desktop: presenting, wakes from another thread and
// SIGINT (which SDL turns into a window-close event) go through the real backend.
TEST_F(Backend, SdlBackendPresentsWakesAndEndsOnSigint) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  const bool started = backend::start({.headless = false, .scale = 2});
  unsetenv("SDL_VIDEODRIVER");
  ASSERT_TRUE(started);
  Window* main = make("main", Rect::from_xywh(0, 0, 640, 480), nullptr, 0, rgb(9, 9, 9));
  const uint64_t before = gui::present_count();
  paint_pending();
  EXPECT_EQ(gui::present_count(), before + 1);

  std::thread other([main] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    post_message(main, {MessageKind::User, 5, 0});
    post_quit(9);
  });
  EXPECT_EQ(run_message_loop(), 9);  // blocked with nothing due until the other thread woke it
  other.join();
  EXPECT_EQ(events_of(MessageKind::User, "main").size(), 1u);

  set_quit_handler([] { post_quit(4); });
  std::raise(SIGINT);
  EXPECT_EQ(run_message_loop(), 4);
}

}  // namespace
}  // namespace gui_test
