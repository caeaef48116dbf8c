// Dialogs from templates: the modal loop and its result, the controls a template makes,
// closing, owners going away, modeless dialogs and centring.
#include "platform/gui/dialog.h"

#include "tests/platform/gui/controls_fixture.h"

namespace controls_test {
namespace {

constexpr int kDefaultsDialog = 9179;
constexpr int kRadioDialog = 9180;
constexpr int kExitButton = 1101;

struct Seen {
  int inits = 0;
  intptr_t init_param = 0;
  std::vector<int> commands;
  intptr_t result = -100;
  bool returned = false;
  Rect dialog_rect;
  Rect exit_rect;
  Point client_origin;
  std::string caption;
  bool modal = false;
};
Seen g_seen;
bool g_end_in_init = false;
Window* g_parent = nullptr;
Window* g_doomed = nullptr;

intptr_t exit_procedure(Window& dialog, const Message& m) {
  switch (m.kind) {
    case MessageKind::InitDialog:
      ++g_seen.inits;
      g_seen.init_param = m.lparam;
      if (g_end_in_init) end_dialog(&dialog, 55);
      return 1;
    case MessageKind::Command:
      g_seen.commands.push_back(command_id(m));
      if (command_id(m) == kExitButton) end_dialog(&dialog, 77);
      if (command_id(m) == 1) end_dialog(&dialog, 1);
      return 1;
    default:
      return 0;
  }
}

class DialogTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    g_seen = {};
    g_end_in_init = false;
    g_parent = parent;
    DialogTemplate t;
    t.resource_id = kDefaultsDialog;
    t.caption = "Please turn off DEFAULTS dipswitch! - 33";
    t.rect = Rect::from_xywh(0, 0, 300, 200);
    t.style = dialog_style::kDialog | dialog_style::kCenter;
    t.controls = {
        {"STATIC", "Turn the DEFAULTS dipswitch off.", 1000, 0, Rect::from_xywh(10, 10, 270, 40)},
        {"BUTTON", "EXIT", kExitButton, 0, Rect::from_xywh(100, 100, 100, 40)},
        {"BUTTON", "hidden", 1102, dialog_style::kHidden, Rect::from_xywh(0, 0, 50, 40)},
    };
    register_dialog_template(t);
  }

  // Opens the dialog from a timer routine at 100 ms and taps its button `tap_id` at 300 ms.
  static void open_later(Window* owner, int resource_id) {
    g_open_id = resource_id;
    set_timer(owner, 1, 100, [](Window* w, int id) {
      kill_timer(w, id);
      g_seen.result = dialog_box(g_open_id, w, &exit_procedure, 1234);
      g_seen.returned = true;
    });
  }
  static void at(Window* owner, int timer_id, int ms, TimerRoutine routine) {
    set_timer(owner, timer_id, ms, routine);
  }
  static void tap_item(int id) {
    Window* item = dialog_item(active_modal(), id);
    ASSERT_NE(item, nullptr);
    tap(centre(item));
  }
  static inline int g_open_id = 0;
};

TEST_F(DialogTest, ModalDialogFromATemplateReturnsItsEndDialogResult) {
  open_later(parent, kDefaultsDialog);
  at(parent, 2, 300, [](Window* w, int id) {
    kill_timer(w, id);
    Window* dialog = active_modal();
    ASSERT_NE(dialog, nullptr);
    g_seen.modal = dialog_is_modal(dialog);
    g_seen.caption = dialog->text();
    g_seen.dialog_rect = dialog->screen_rect();
    g_seen.client_origin = dialog->client_origin();
    g_seen.exit_rect = dialog_item(dialog, kExitButton)->screen_rect();
    EXPECT_FALSE(dialog_item(dialog, 1102)->is_shown());
    EXPECT_TRUE(dialog_item(dialog, 1000)->is_shown());
    EXPECT_EQ(dialog_owner(dialog), g_parent);
    tap_item(kExitButton);
  });
  advance_virtual(1000);
  ASSERT_TRUE(g_seen.returned);
  EXPECT_EQ(g_seen.result, 77);
  EXPECT_EQ(g_seen.inits, 1);
  EXPECT_EQ(g_seen.init_param, 1234);
  EXPECT_EQ(g_seen.commands, std::vector<int>{kExitButton});
  EXPECT_TRUE(g_seen.modal);
  EXPECT_EQ(g_seen.caption, "Please turn off DEFAULTS dipswitch! - 33");
  EXPECT_EQ(g_seen.dialog_rect, Rect::from_xywh(170, 140, 300, 200)) << "centred over its owner";
  EXPECT_EQ(g_seen.exit_rect,
            Rect::from_xywh(g_seen.client_origin.x + 100, g_seen.client_origin.y + 100, 100, 40));
  EXPECT_EQ(active_modal(), nullptr);
  EXPECT_EQ(find_window(kDialogClass), nullptr) << "destroyed once it returned";
}

TEST_F(DialogTest, MissingTemplateGivesMinusOne) {
  EXPECT_EQ(find_dialog_template(4242), nullptr);
  EXPECT_EQ(dialog_box(4242, parent, &exit_procedure), -1);
  EXPECT_EQ(create_dialog(4242, parent, &exit_procedure), nullptr);
  EXPECT_EQ(g_seen.inits, 0);
}

TEST_F(DialogTest, EndDialogDuringInitDialogReturnsWithoutALoop) {
  g_end_in_init = true;
  EXPECT_EQ(dialog_box(kDefaultsDialog, parent, &exit_procedure, 9), 55);
  EXPECT_EQ(g_seen.init_param, 9);
  EXPECT_EQ(find_window(kDialogClass), nullptr);
}

TEST_F(DialogTest, CloseEndsAModalDialogAsCancelled) {
  open_later(parent, kDefaultsDialog);
  at(parent, 2, 300, [](Window* w, int id) {
    kill_timer(w, id);
    send_message(active_modal(), {MessageKind::Close, 0, 0});
  });
  advance_virtual(1000);
  ASSERT_TRUE(g_seen.returned);
  EXPECT_EQ(g_seen.result, kDialogCancelled);
}

TEST_F(DialogTest, DialogEndsWhenItsOwnerGoesAway) {
  Window* screen = make("CONTROLS_TEST_PARENT", "", 0, Rect::from_xywh(0, 0, 640, 475), 0);
  open_later(screen, kDefaultsDialog);
  g_doomed = screen;
  at(parent, 2, 300, [](Window* w, int id) {
    kill_timer(w, id);
    destroy_window(g_doomed);
  });
  advance_virtual(1000);
  EXPECT_TRUE(g_seen.returned) << "the modal loop did not outlive the dialog";
  EXPECT_EQ(active_modal(), nullptr);
  EXPECT_EQ(find_window(kDialogClass), nullptr);
}

// Group boxes are made beneath the controls they frame, and radio groups are those of the
// template's order even though the group box between them moved.
TEST_F(DialogTest, TemplateGroupBoxesAndRadioGroups) {
  DialogTemplate t;
  t.resource_id = kRadioDialog;
  t.caption = "Moisture Sensor Selection";
  t.rect = Rect::from_xywh(50, 50, 400, 300);
  t.style = dialog_style::kDialog;
  const uint32_t radio = control_style::kRadioButton;
  t.controls = {
      {"BUTTON", "Analog", 11, radio, Rect::from_xywh(20, 30, 150, 30)},
      {"BUTTON", "Network", 12, radio, Rect::from_xywh(20, 60, 150, 30)},
      {"BUTTON", "Sensors", 20, control_style::kGroupBox, Rect::from_xywh(5, 5, 380, 240)},
      {"BUTTON", "Analog", 13, radio, Rect::from_xywh(200, 30, 150, 30)},
      {"BUTTON", "Network", 14, radio, Rect::from_xywh(200, 60, 150, 30)},
      {"BUTTON", "OK", 1, 0, Rect::from_xywh(140, 180, 100, 40)},
      {"NO_SUCH_CLASS", "", 99, 0, Rect::from_xywh(0, 0, 10, 10)},
  };
  register_dialog_template(t);
  open_later(parent, kRadioDialog);
  at(parent, 2, 300, [](Window* w, int id) {
    kill_timer(w, id);
    Window* d = active_modal();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(dialog_item(d, 99), nullptr) << "an unknown class is left out";
    tap_item(12);
    tap_item(14);
    tap_item(11);
    EXPECT_TRUE(button_checked(dialog_item(d, 11)));
    EXPECT_FALSE(button_checked(dialog_item(d, 12)));
    EXPECT_FALSE(button_checked(dialog_item(d, 13)));
    EXPECT_TRUE(button_checked(dialog_item(d, 14))) << "the second group kept its choice";
    tap_item(1);
  });
  advance_virtual(1000);
  ASSERT_TRUE(g_seen.returned);
  EXPECT_EQ(g_seen.result, 1) << "the OK button inside the group box took its tap";
}

TEST_F(DialogTest, ModelessDialogLivesUntilEnded) {
  Window* d = create_dialog(kDefaultsDialog, parent, &exit_procedure, 5);
  ASSERT_NE(d, nullptr);
  EXPECT_TRUE(d->is_visible());
  EXPECT_EQ(g_seen.init_param, 5);
  EXPECT_FALSE(dialog_is_modal(d));
  tap(centre(dialog_item(d, kExitButton)));
  EXPECT_EQ(g_seen.commands, std::vector<int>{kExitButton});
  EXPECT_FALSE(is_window(d)) << "ending a modeless dialog destroys it";
}

TEST_F(DialogTest, CentringKeepsTheWindowOnTheScreen) {
  register_class({"CONTROLS_TEST_POPUP", &default_window_procedure, colors::kFace, true});
  Window* w = create_window({"CONTROLS_TEST_POPUP", "", style::kVisible | style::kPopup,
                             Rect::from_xywh(0, 0, 300, 200), nullptr, 0});
  Window* corner = make("CONTROLS_TEST_PARENT", "", 0, Rect::from_xywh(500, 400, 140, 80), 0);
  center_window(w, corner);
  EXPECT_EQ(w->screen_rect(), Rect::from_xywh(340, 280, 300, 200));
  Window* small = make("CONTROLS_TEST_PARENT", "", 0, Rect::from_xywh(0, 0, 50, 50), 0);
  center_window(w, small);
  EXPECT_EQ(w->screen_rect(), Rect::from_xywh(0, 0, 300, 200)) << "negative positions clamp to 0";
  center_on_screen(w);
  EXPECT_EQ(w->screen_rect(), Rect::from_xywh(170, 140, 300, 200));

  // A child is placed in its parent's coordinates.
  Window* host = make("CONTROLS_TEST_PARENT", "", style::kBorder, Rect::from_xywh(100, 100, 400, 300), 0);
  Window* child = create_window({"CONTROLS_TEST_POPUP", "", style::kVisible | style::kChild,
                                 Rect::from_xywh(0, 0, 100, 50), host, 0});
  center_window(child, host);
  EXPECT_EQ(child->screen_rect(), Rect::from_xywh(250, 225, 100, 50));
}

}  // namespace
}  // namespace controls_test
