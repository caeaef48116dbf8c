#include "texts/labelled_key.h"

#include <string_view>

#include "texts/texts.h"

namespace corvex::texts {

namespace gui = platform::gui;

void draw_labelled_key(const gui::DrawItemContext& item, int label_string,
                       const platform::FontSpec& font, int inset_y, unsigned format,
                       const char* text) {
  platform::Canvas& c = *item.canvas;
  c.fill_rect(item.rect, platform::colors::kFace);
  c.frame_rect(item.rect, platform::colors::kBlack);
  gui::draw_edge(c, item.rect.inflated(-1, -1), gui::Edge::Raised);
  StringBuffer label;
  label[0] = '\0';
  if (label_string > 0) localized_string(label_string, label);
  std::string_view shown = label.data();
  if (shown.empty()) shown = text != nullptr ? std::string_view(text) : item.control->text();
  c.draw_text(shown, item.rect.inflated(-4, inset_y), font,
              item.disabled ? gui::kDisabledTextColor : platform::colors::kBlack,
              platform::text_format::kCenter | platform::text_format::kVCenter | format);
}

}  // namespace corvex::texts
