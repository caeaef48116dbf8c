// Dialogs from templates. A dialog is a popup of the "DIALOG" class whose procedure hands every
// message to the dialog procedure first; the modal ones run the core's nested loop, so a dialog
// opened from a timer routine blocks only that routine.
#include "platform/gui/dialog.h"

#include <cstdio>
#include <map>
#include <memory>

#include "platform/gui/controls.h"

namespace platform::gui {

namespace {

struct DialogState {
  DialogProc proc = nullptr;
  bool modal = false;
  bool running = false;  // the modal loop is running
  bool ended = false;
  intptr_t result = 0;
};

std::map<int, DialogTemplate>& templates() {
  static std::map<int, DialogTemplate> table;
  return table;
}

DialogState* state_of(const Window* w) { return control_state_of<DialogState>(w, kDialogClass); }

intptr_t dialog_procedure(Window& w, const Message& m) {
  DialogState* state = state_of(&w);
  if (state != nullptr && state->proc != nullptr) {
    if (const intptr_t handled = state->proc(w, m)) return handled;
  }
  if (m.kind == MessageKind::Close && state != nullptr) {
    // A modal dialog must outlive its loop, so closing it ends the loop instead of destroying.
    if (state->modal) {
      end_dialog(&w, kDialogCancelled);
    } else {
      destroy_window(&w);
    }
    return 1;
  }
  return default_window_procedure(w, m);
}

void register_dialog_class() {
  if (!class_registered(kDialogClass)) {
    register_class({std::string(kDialogClass), &dialog_procedure, colors::kFace, true});
  }
}

bool is_group_box(const ControlTemplate& c) {
  return same_class_name(c.class_name, kButtonClass) &&
         (c.style & control_style::kButtonKindMask) == control_style::kGroupBox;
}

bool is_radio_button(const ControlTemplate& c) {
  return same_class_name(c.class_name, kButtonClass) &&
         (c.style & control_style::kButtonKindMask) == control_style::kRadioButton;
}

void create_control(Window* dialog, const DialogTemplate& t, size_t index) {
  const ControlTemplate& c = t.controls[index];
  uint32_t style = (c.style & ~dialog_style::kHidden) | style::kChild;
  if ((c.style & dialog_style::kHidden) == 0) style |= style::kVisible;
  // Group boxes are made first (so that they lie beneath what they frame); a radio button whose
  // template predecessor is something else therefore starts its own group explicitly.
  if (is_radio_button(c) && (index == 0 || !is_radio_button(t.controls[index - 1]))) {
    style |= control_style::kGroup;
  }
  if (create_window({c.class_name, c.text, style, c.rect, dialog, c.id, 0}) == nullptr) {
    std::fprintf(stderr, "dialog %d: control %d has the unknown class \"%s\"\n", t.resource_id,
                 c.id, c.class_name.c_str());
  }
}

Window* build_dialog(const DialogTemplate& t, Window* owner, DialogProc proc, bool modal) {
  register_controls();
  register_dialog_class();
  uint32_t style = (t.style & ~(dialog_style::kCenter | style::kVisible | style::kChild)) |
                   style::kPopup;
  // Modal dialogs go above every other top-level window, each new one above the last.
  if (modal) style |= style::kTopmost;
  // A popup's parent is its owner: the dialog goes when the owner goes.
  Window* dialog = create_window({std::string(kDialogClass), t.caption, style, t.rect, owner,
                                  t.resource_id, 0});
  if (dialog == nullptr) return nullptr;
  auto state = std::make_shared<DialogState>();
  state->proc = proc;
  state->modal = modal;
  dialog->control_state = state;
  for (int pass = 0; pass < 2; ++pass) {
    for (size_t i = 0; i < t.controls.size(); ++i) {
      if (is_group_box(t.controls[i]) == (pass == 0)) create_control(dialog, t, i);
    }
  }
  if ((t.style & dialog_style::kCenter) != 0) center_window(dialog, owner);
  return dialog;
}

}  // namespace

void register_dialog_template(DialogTemplate t) {
  const int id = t.resource_id;
  templates()[id] = std::move(t);
}

const DialogTemplate* find_dialog_template(int resource_id) {
  const auto it = templates().find(resource_id);
  return it == templates().end() ? nullptr : &it->second;
}

intptr_t dialog_box(int resource_id, Window* owner, DialogProc proc, intptr_t init_param) {
  const DialogTemplate* t = find_dialog_template(resource_id);
  if (t == nullptr) {
    std::fprintf(stderr, "dialog %d: no such dialog template\n", resource_id);
    return -1;
  }
  return dialog_box_indirect(*t, owner, proc, init_param);
}

intptr_t dialog_box_indirect(const DialogTemplate& t, Window* owner, DialogProc proc,
                             intptr_t init_param) {
  Window* dialog = build_dialog(t, owner, proc, true);
  if (dialog == nullptr) return -1;
  // Held here as well, so that the result survives whatever the dialog procedure does.
  const std::shared_ptr<void> keep = dialog->control_state;
  auto* state = static_cast<DialogState*>(keep.get());
  send_message(dialog, {MessageKind::InitDialog, 0, init_param});
  if (!state->ended) {
    show_window(dialog, true);
    bring_to_front(dialog);
    state->running = true;
    const intptr_t loop_result = run_modal(dialog);
    state->running = false;
    if (!state->ended) state->result = loop_result;
  }
  const intptr_t result = state->result;
  destroy_window(dialog);
  return result;
}

void end_dialog(Window* dialog, intptr_t result) {
  DialogState* state = state_of(dialog);
  if (state == nullptr || state->ended) return;
  state->ended = true;
  state->result = result;
  if (!state->modal) {
    destroy_window(dialog);
  } else if (state->running) {
    end_modal(dialog, result);
  }
}

Window* create_dialog(int resource_id, Window* owner, DialogProc proc, intptr_t init_param) {
  const DialogTemplate* t = find_dialog_template(resource_id);
  if (t == nullptr) {
    std::fprintf(stderr, "dialog %d: no such dialog template\n", resource_id);
    return nullptr;
  }
  return create_dialog_indirect(*t, owner, proc, init_param);
}

Window* create_dialog_indirect(const DialogTemplate& t, Window* owner, DialogProc proc,
                               intptr_t init_param) {
  Window* dialog = build_dialog(t, owner, proc, false);
  if (dialog == nullptr) return nullptr;
  const std::shared_ptr<void> keep = dialog->control_state;
  send_message(dialog, {MessageKind::InitDialog, 0, init_param});
  if (static_cast<DialogState*>(keep.get())->ended) return nullptr;
  show_window(dialog, true);
  bring_to_front(dialog);
  return dialog;
}

Window* dialog_item(Window* dialog, int id) { return dialog ? child_by_id(dialog, id) : nullptr; }

void set_dialog_item_text(Window* dialog, int id, std::string_view text) {
  if (Window* item = dialog_item(dialog, id)) {
    if (item->text() != text) set_window_text(item, text);
  }
}

Window* dialog_owner(const Window* dialog) { return dialog == nullptr ? nullptr : dialog->owner(); }

bool dialog_is_modal(const Window* dialog) {
  const DialogState* state = state_of(dialog);
  return state != nullptr && state->modal && !state->ended;
}

void center_window(Window* w, Window* relative_to) {
  if (w == nullptr) return;
  const Rect outer = w->screen_rect();
  const Rect reference =
      relative_to != nullptr ? relative_to->screen_rect() : Rect{0, 0, kScreenWidth, kScreenHeight};
  int x = reference.left + (reference.width() - outer.width()) / 2;
  int y = reference.top + (reference.height() - outer.height()) / 2;
  x = std::max(0, std::min(x, kScreenWidth - outer.width()));
  y = std::max(0, std::min(y, kScreenHeight - outer.height()));
  Window* parent = w->parent();
  if (parent != nullptr && parent != &desktop()) {
    const Point origin = parent->client_origin();
    x -= origin.x;
    y -= origin.y;
  }
  move_window(w, Rect::from_xywh(x, y, outer.width(), outer.height()));
}

void center_on_screen(Window* w) { center_window(w, nullptr); }

}  // namespace platform::gui
