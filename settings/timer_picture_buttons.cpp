#include "settings/timer_picture_buttons.h"

#include <array>
#include <optional>
#include <string>

#include "platform/gui/controls.h"
#include "texts/languages.h"
#include "texts/localized_bitmaps.h"

namespace corvex::settings {

namespace {

namespace gui = platform::gui;

struct CachedImage {
  std::optional<platform::Bitmap> bitmap;
  bool tried = false;
  int language = -1;
};

std::array<CachedImage, texts::kLocalizedBitmapCount> g_images;

const platform::Bitmap* image(int index) {
  if (index < 1 || index >= texts::kLocalizedBitmapCount) return nullptr;
  CachedImage& c = g_images[size_t(index)];
  const int language = texts::language_index();
  if (!c.tried || c.language != language) {
    c.bitmap = texts::load_localized_bitmap(index);
    c.tried = true;
    c.language = texts::language_index();
  }
  return c.bitmap ? &*c.bitmap : nullptr;
}

}  // namespace

gui::Window* create_picture_button(gui::Window* parent, int bitmap_index, int id,
                                   platform::Point at, Initially initially, std::string_view text) {
  gui::register_controls();
  const platform::Size size = texts::localized_bitmap_size(bitmap_index);
  gui::CreateParams p;
  p.class_name = std::string(gui::kButtonClass);
  p.text = std::string(text.empty() ? texts::localized_bitmap_control_name(bitmap_index) : text);
  p.style = gui::style::kChild | gui::style::kOwnerDraw |
            (initially == Initially::Shown ? gui::style::kVisible : 0);
  p.rect = platform::Rect::from_xywh(at.x, at.y, size.width, size.height);
  p.parent = parent;
  p.id = id;
  return gui::create_window(p);
}

void draw_picture_button(const gui::DrawItemContext& item, int bitmap_index) {
  platform::Canvas& c = *item.canvas;
  if (const platform::Bitmap* b = image(bitmap_index)) {
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
  for (const int index : bitmap_indexes) {
    if (index >= 1 && index < texts::kLocalizedBitmapCount) g_images[size_t(index)] = {};
  }
}

void show_if_changed(gui::Window* w, bool show) {
  if (w != nullptr && w->is_shown() != show) gui::show_window(w, show);
}

}  // namespace corvex::settings
