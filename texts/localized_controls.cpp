#include "texts/localized_controls.h"

#include <string>

#include "platform/gui/controls.h"
#include "texts/localized_bitmaps.h"
#include "texts/texts.h"

namespace corvex::texts {

namespace gui = platform::gui;

gui::Window* create_picture_button(gui::Window* parent, int bitmap_index, int id,
                                   platform::Point at, Initially initially, std::string_view text) {
  gui::register_controls();
  const platform::Size size = localized_bitmap_size(bitmap_index);
  gui::CreateParams p;
  p.class_name = std::string(gui::kButtonClass);
  p.text = std::string(text.empty() ? localized_bitmap_control_name(bitmap_index) : text);
  p.style = gui::style::kChild | gui::style::kOwnerDraw |
            (initially == Initially::Shown ? gui::style::kVisible : 0);
  p.rect = platform::Rect::from_xywh(at.x, at.y, size.width, size.height);
  p.parent = parent;
  p.id = id;
  return gui::create_window(p);
}

void draw_picture_button(const gui::DrawItemContext& item, int bitmap_index) {
  platform::Canvas& c = *item.canvas;
  if (const platform::Bitmap* b = localized_image(bitmap_index)) {
    c.stretch_blit(*b, b->rect(), item.rect);
    return;
  }
  c.fill_rect(item.rect, platform::colors::kFace);
  gui::draw_edge(c, item.rect, gui::Edge::Raised);
  c.draw_text(item.control->text(), item.rect.inflated(-3, -3), {11, 700}, platform::colors::kBlack,
              platform::text_format::kCenter | platform::text_format::kVCenter |
                  platform::text_format::kWordBreak);
}

void release_picture_images(std::span<const int> bitmap_indexes) {
  release_localized_images(bitmap_indexes);
}

void show_if_changed(gui::Window* w, bool show) {
  if (w != nullptr && w->is_shown() != show) gui::show_window(w, show);
}

void set_localized_caption(gui::Window* w, int number) {
  if (w == nullptr) return;
  StringBuffer text;
  text[0] = '\0';
  localized_string(number, text);
  if (text[0] != '\0' && w->text() != text.data()) gui::set_window_text(w, text.data());
}

}  // namespace corvex::texts
