#include "texts/help_viewer.h"

#include <algorithm>
#include <array>

#include "link/dryer_state.h"
#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"
#include "platform/gui/message_box.h"
#include "platform/io/files.h"
#include "texts/language_dialog.h"
#include "texts/localized_bitmaps.h"
#include "texts/texts.h"

namespace corvex::texts {

namespace {

namespace gui = platform::gui;
using platform::Rect;

constexpr size_t kHelpTextLimit = 16384;
constexpr int kAskPictureMissing = 1;  // User message: the picture did not load
// The picture shown above the text list; the list box covers the rest of it.
constexpr Rect kVisiblePicture{kHelpPictureRect.left, kHelpPictureRect.top, kHelpPictureRect.right,
                               kHelpListRect.top};

HelpViewerState g_viewer;
std::array<uint8_t, kHelpTextLimit> g_text_bytes;

uint8_t status(int offset) {
  return link::dryer_state().mirror[offset].load(std::memory_order_relaxed);
}

bool rear_discharge_reported() { return status(186) == 14 && status(185) == 5; }

int rear_discharge_image(int step) { return step >= 3 ? 3 : step; }

int text_width(std::string_view utf8) {
  return platform::measure_text_line(utf8, gui::kListFont).width;
}

size_t utf8_sequence_length(std::string_view s, size_t at) {
  size_t end = at + 1;
  while (end < s.size() && (uint8_t(s[end]) & 0xC0) == 0x80) ++end;
  return end - at;
}

bool has_word(const std::string& line) { return line.find_first_not_of(' ') != std::string::npos; }

// Puts a word too wide for any line into `line` piece by piece, moving each full line to
// `lines` and going on after `indent`.
void cut_word(std::vector<std::string>& lines, std::string& line, const std::string& indent,
              std::string_view word, int width) {
  for (size_t i = 0; i < word.size();) {
    const size_t n = utf8_sequence_length(word, i);
    std::string longer = line;
    longer.append(word.substr(i, n));
    if (text_width(longer) > width && has_word(line)) {
      lines.push_back(std::move(line));
      line = indent;
      continue;
    }
    line = std::move(longer);
    i += n;
  }
}

// Adds the help text to the list: a carriage return ends a line's text, a tab shows as four
// spaces, a line feed ends the line. Lines wider than the list are wrapped.
void fill_text_list(gui::Window& dialog) {
  gui::Window* list = gui::dialog_item(&dialog, kHelpListId);
  const int width = list ? help_list_text_width(*list) : 0;
  platform::File file;
  const std::string path =
      warning_text_path(help_file_node(int(g_viewer.node_id)), int(g_viewer.warning_number));
  if (file.open(path, platform::OpenMode::OpenExisting, platform::Access::Read) !=
      platform::FileStatus::Ok) {
    gui::list_box_add(list, kNoTextFileLine);
    return;
  }
  const size_t got = file.read(g_text_bytes.data(), g_text_bytes.size());
  file.close();
  std::u16string line;
  bool text_ended = false;
  for (size_t i = 2; i + 1 < got; i += 2) {
    const char16_t unit = char16_t(g_text_bytes[i] | (g_text_bytes[i + 1] << 8));
    if (unit == u'\n') {
      for (const std::string& part : wrap_help_line(to_utf8(line), width)) {
        gui::list_box_add(list, part);
      }
      line.clear();
      text_ended = false;
    } else if (unit == u'\r') {
      text_ended = true;
    } else if (!text_ended) {
      if (unit == u'\t') {
        line.append(4, u' ');
      } else {
        line.push_back(unit);
      }
    }
  }
  // A last line without its line end is shown too rather than lost.
  if (!line.empty()) {
    for (const std::string& part : wrap_help_line(to_utf8(line), width)) {
      gui::list_box_add(list, part);
    }
  }
}

void paint_picture(gui::Window& dialog, platform::Canvas& canvas) {
  if (g_viewer.picture_missing) return;
  const std::string path = help_picture_path(int(g_viewer.node_id), int(g_viewer.warning_number),
                                             g_viewer.animation_step);
  if (const platform::Bitmap* picture = localized_picture(path)) {
    canvas.blit(*picture, {0, 0, kVisiblePicture.width(), kVisiblePicture.height()},
                {kVisiblePicture.left, kVisiblePicture.top});
    return;
  }
  // The question is asked once the paint is over: a message box must not run inside a paint.
  g_viewer.picture_missing = true;
  gui::post_message(&dialog, {gui::MessageKind::User, kAskPictureMissing, 0});
}

void on_paint(gui::Window& dialog, const gui::PaintContext& paint) {
  paint_picture(dialog, *paint.canvas);
}

void ask_picture_missing(gui::Window& dialog) {
  const int answer = gui::message_box(&dialog, localized_text(467), localized_text(468),
                                      gui::kMbRetryCancel | gui::kMbIconInformation);
  if (answer == gui::kIdRetry) {
    g_viewer.picture_missing = false;
    gui::invalidate_rect(&dialog, kVisiblePicture, gui::Erase::Yes);
  } else {
    gui::end_dialog(&dialog, gui::kDialogCancelled);
  }
}

// The viewer is modal, so the language cannot change while it is open: its texts and the help
// text's lines are set once, as it opens.
void on_init(gui::Window& dialog) {
  g_viewer.picture_missing = false;
  gui::set_window_text(&dialog, localized_text(459));
  gui::set_dialog_item_text(&dialog, kHelpCloseId, localized_text(145));
  fill_text_list(dialog);
  g_viewer.text_loaded = true;
  help_state().topic.store(help_state().editor_topic.load());
  help_state().available.store(1);
  link::dryer_state().warning_help_dialog = &dialog;
}

void on_destroy(gui::Window& dialog) {
  if (link::dryer_state().warning_help_dialog == &dialog) {
    link::dryer_state().warning_help_dialog = nullptr;
  }
  // The pictures stay cached while the viewer is open, so the animation does not read a file
  // every 100 ms.
  release_localized_pictures();
}

gui::DialogTemplate help_viewer_template() {
  gui::DialogTemplate t;
  t.resource_id = kHelpViewerResource;
  t.caption = "Shutdown Help File - 34";
  t.rect = Rect::from_xywh(0, 0, 640, 480);
  t.style = gui::dialog_style::kDialog | gui::dialog_style::kCenter;
  t.controls.push_back(
      {std::string(gui::kListBoxClass), "", kHelpListId, gui::style::kBorder, kHelpListRect});
  t.controls.push_back({std::string(gui::kButtonClass), "EXIT", kHelpCloseId, 0,
                        Rect::from_xywh(522, 350, 106, 50)});
  return t;
}

}  // namespace

HelpState& help_state() {
  static HelpState state;
  return state;
}

const HelpViewerState& help_viewer_state() { return g_viewer; }

// The list's sunken edge (2 pixels a side), the scroll bar that a help text longer than the
// list brings, and the item margins (4 pixels a side) take their part of its width.
int help_list_text_width(const gui::Window& list) {
  return list.client_rect().width() - 2 * 2 - gui::kInnerScrollBarWidth - 2 * 4;
}

std::vector<std::string> wrap_help_line(std::string_view text, int width) {
  std::vector<std::string> lines;
  if (width <= 0 || text_width(text) <= width) {
    lines.emplace_back(text);
    return lines;
  }
  const size_t lead = std::min(text.find_first_not_of(' '), text.size());
  const std::string indent = std::string(lead, ' ') + "    ";
  std::string line(text.substr(0, lead));
  for (size_t pos = lead; pos < text.size();) {
    const size_t end = std::min(text.find(' ', pos), text.size());
    const std::string_view word = text.substr(pos, end - pos);
    pos = std::min(text.find_first_not_of(' ', end), text.size());
    std::string longer = line;
    if (has_word(line)) longer += ' ';
    longer.append(word);
    if (text_width(longer) <= width) {
      line = std::move(longer);
      continue;
    }
    if (has_word(line)) {
      lines.push_back(std::move(line));
      line = indent;
    }
    cut_word(lines, line, indent, word, width);
  }
  lines.push_back(std::move(line));
  return lines;
}

void register_text_dialogs() {
  gui::register_controls();
  if (gui::find_dialog_template(kHelpViewerResource) == nullptr) {
    gui::register_dialog_template(help_viewer_template());
  }
  register_language_dialog_template();
}

std::string help_picture_path(int node_id, int warning_number, int animation_step) {
  if (rear_discharge_reported()) {
    std::string path = "\\Hard Disk\\Languages\\EN\\Bitmaps\\";
    path.append(
        localized_bitmap_name(kFirstRearDischargeImage + rear_discharge_image(animation_step)));
    return path;
  }
  return warning_bitmap_path(help_file_node(node_id), warning_number);
}

void set_help_viewer_warning(int node_id, int warning_number) {
  g_viewer.node_id = uint32_t(node_id);
  g_viewer.warning_number = uint32_t(warning_number);
}

intptr_t open_warning_help(int node_id, int warning_number, gui::Window* owner) {
  register_text_dialogs();
  ensure_texts_loaded();
  set_help_viewer_warning(node_id, warning_number);
  return gui::dialog_box(kHelpViewerResource, owner, &help_viewer_procedure);
}

intptr_t help_viewer_procedure(gui::Window& dialog, const gui::Message& m) {
  switch (m.kind) {
    case gui::MessageKind::InitDialog:
      on_init(dialog);
      return 1;
    case gui::MessageKind::Paint:
      on_paint(dialog, gui::paint_context(m));
      return 1;
    case gui::MessageKind::User:
      if (m.wparam == kAskPictureMissing) ask_picture_missing(dialog);
      return 1;
    case gui::MessageKind::Command:
      if (gui::command_id(m) == kHelpCloseId) {
        gui::end_dialog(&dialog, kHelpCloseId);
        return 1;
      }
      return 0;
    case gui::MessageKind::Destroy:
      on_destroy(dialog);
      return 0;
    default:
      return 0;
  }
}

void help_viewer_animation_tick() {
  if (!rear_discharge_reported()) return;
  const int before = rear_discharge_image(g_viewer.animation_step);
  g_viewer.animation_step = (g_viewer.animation_step + 1) % 7;
  gui::Window* dialog = link::dryer_state().warning_help_dialog;
  if (dialog != nullptr && rear_discharge_image(g_viewer.animation_step) != before) {
    gui::invalidate_rect(dialog, kVisiblePicture, gui::Erase::No);
  }
}

}  // namespace corvex::texts
