#include "texts/language_dialog.h"

#include <string>

#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"
#include "resources/window_classes.h"
#include "texts/languages.h"
#include "texts/texts.h"

namespace corvex::texts {

namespace {

namespace gui = platform::gui;
using platform::Rect;

constexpr int kColumns = 3;
constexpr int kButtonWidth = 196;
constexpr int kButtonHeight = 64;
constexpr platform::FontSpec kLabelFont{16, 700};
constexpr platform::Color kCheckedFace = platform::rgb(10, 36, 106);

int language_of_button(int id) {
  for (int i = 0; i < kLanguageCount; ++i) {
    if (languages()[i].button_id == id) return i;
  }
  return -1;
}

// The buttons carry their state as the check of a push button: the current language is drawn
// pressed in, in the selection colour. The drawing reads the check itself, so that what the
// automation reports as checked is what the operator sees.
void draw_language_button(const gui::DrawItemContext& item) {
  if (language_of_button(item.id) < 0) return;
  const bool checked = gui::button_shows_checked(item.control);
  platform::Canvas& c = *item.canvas;
  c.fill_rect(item.rect, checked ? kCheckedFace : platform::colors::kFace);
  gui::draw_edge(c, item.rect, checked || item.pressed ? gui::Edge::Sunken : gui::Edge::Raised);
  c.draw_text(item.control->text(), item.rect.inflated(-4, -4), kLabelFont,
              checked ? platform::colors::kWhite : platform::colors::kBlack,
              platform::text_format::kCenter | platform::text_format::kVCenter);
}

void label_buttons(gui::Window& dialog) {
  for (int i = 0; i < kLanguageCount; ++i) {
    gui::Window* button = gui::dialog_item(&dialog, languages()[i].button_id);
    if (button == nullptr) continue;
    const std::string label = language_button_label(i);
    if (button->text() != label) gui::set_window_text(button, label);
    gui::button_set_check(button, i == language_index());
  }
}

void choose_language(gui::Window& dialog, int id) {
  const int index = language_of_button(id);
  if (index < 0) return;
  set_language(index);
  for (int i = 0; i < kLanguageCount; ++i) {
    gui::invalidate(gui::dialog_item(&dialog, languages()[i].button_id), gui::Erase::No);
  }
  label_buttons(dialog);
  gui::invalidate_class(resources::EXTENDED_SETUP_SELECTION_WINDOW_NEW);
  gui::end_dialog(&dialog, id);
}

gui::DialogTemplate language_dialog_template() {
  gui::DialogTemplate t;
  t.resource_id = kLanguageDialogResource;
  t.caption = "Select Language to Use";
  t.rect = Rect::from_xywh(0, 0, 632, 400);
  t.style = gui::dialog_style::kDialog | gui::dialog_style::kCenter;
  for (int i = 0; i < kLanguageCount; ++i) {
    const int column = i % kColumns;
    const int row = i / kColumns;
    t.controls.push_back({std::string(gui::kButtonClass), std::string(languages()[i].name),
                          languages()[i].button_id,
                          gui::style::kOwnerDraw | gui::control_style::kOwnerDrawsPressed,
                          Rect::from_xywh(10 + column * (kButtonWidth + 10), 8 + row * (kButtonHeight + 8),
                                          kButtonWidth, kButtonHeight)});
  }
  return t;
}

}  // namespace

void register_language_dialog_template() {
  gui::register_controls();
  if (gui::find_dialog_template(kLanguageDialogResource) == nullptr) {
    gui::register_dialog_template(language_dialog_template());
  }
}

std::string language_button_label(int index) {
  const Language& lang = language(index);
  std::string label = localized_text(lang.name_string);
  label.append("\n(").append(lang.name).append(")");
  return label;
}

intptr_t open_language_dialog(gui::Window* owner) {
  register_language_dialog_template();
  ensure_texts_loaded();
  return gui::dialog_box(kLanguageDialogResource, owner, &language_dialog_procedure);
}

intptr_t language_dialog_procedure(gui::Window& dialog, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::InitDialog:
      label_buttons(dialog);
      return 1;
    case gui::MessageKind::Paint:
      label_buttons(dialog);
      return 0;
    case gui::MessageKind::DrawItem:
      draw_language_button(gui::draw_item_context(m));
      return 1;
    case gui::MessageKind::Command:
      if (language_of_button(gui::command_id(m)) >= 0) {
        choose_language(dialog, gui::command_id(m));
        return 1;
      }
      return 0;
    default:
      return 0;
  }
}

}  // namespace corvex::texts
