// Message boxes, built as a dialog from a template made on the fly: the text is a static
// control, the buttons are push buttons with the usual ids, the icon is drawn by the box.
#include "platform/gui/message_box.h"

#include <algorithm>
#include <array>

#include "platform/gui/controls.h"
#include "platform/gui/dialog.h"

namespace platform::gui {

namespace {

struct ButtonSet {
  int count = 1;
  std::array<int, 3> ids{kIdOk, 0, 0};
  // What closing the box without a button gives: its least committal answer.
  int close_result = kIdOk;
};

ButtonSet buttons_of(unsigned flags) {
  switch (flags & kMbButtonMask) {
    case kMbOkCancel: return {2, {kIdOk, kIdCancel, 0}, kIdCancel};
    case kMbAbortRetryIgnore: return {3, {kIdAbort, kIdRetry, kIdIgnore}, kIdIgnore};
    case kMbYesNoCancel: return {3, {kIdYes, kIdNo, kIdCancel}, kIdCancel};
    case kMbYesNo: return {2, {kIdYes, kIdNo, 0}, kIdNo};
    case kMbRetryCancel: return {2, {kIdRetry, kIdCancel, 0}, kIdCancel};
    default: return {};
  }
}

const char* label_of(int id) {
  switch (id) {
    case kIdOk: return "OK";
    case kIdCancel: return "Cancel";
    case kIdAbort: return "Abort";
    case kIdRetry: return "Retry";
    case kIdIgnore: return "Ignore";
    case kIdYes: return "Yes";
    default: return "No";
  }
}

constexpr int kMargin = 14;
constexpr int kIconSize = 32;
constexpr int kButtonHeight = 40;
constexpr int kButtonMinWidth = 90;
constexpr int kButtonGap = 12;
constexpr int kTextId = 0xFFFF;
constexpr FontSpec kCaptionFont = {14, 700};
// The frame and caption of a dialog around the client area (raised edge, border, title bar).
constexpr int kFrame = 3;
constexpr int kMaxClientWidth = kScreenWidth - 2 * kFrame;
constexpr int kMaxClientHeight = kScreenHeight - 2 * kFrame - kCaptionHeight;

struct BoxData {
  unsigned flags = 0;
  ButtonSet buttons;
  Size client;
  Rect icon;
};

Size text_size(std::string_view text, int width) {
  static Bitmap scratch(1, 1);
  Canvas canvas(scratch);
  const unsigned format = text_format::kWordBreak | text_format::kExpandTabs;
  return canvas.measure_text(text, width, kControlFont, format);
}

// Lays the box out for its text: as wide as the text, the buttons and the caption need, within
// the screen; a text too long to fit is wrapped, and cut at the bottom of the screen.
DialogTemplate layout(std::string_view text, std::string_view caption, BoxData& box) {
  const bool has_icon = (box.flags & kMbIconMask) != 0;
  const int text_left = kMargin + (has_icon ? kIconSize + kMargin : 0);
  const int max_text_width = kMaxClientWidth - text_left - kMargin;
  Size size = text_size(text, max_text_width);
  size.width = std::min(max_text_width, size.width + 4);  // a little slack against rewrapping
  std::array<int, 3> widths{};
  int buttons_width = -kButtonGap;
  for (int i = 0; i < box.buttons.count; ++i) {
    const int label = measure_text_line(label_of(box.buttons.ids[size_t(i)]), kControlFont).width;
    widths[size_t(i)] = std::max(kButtonMinWidth, label + 28);
    buttons_width += widths[size_t(i)] + kButtonGap;
  }
  const int caption_width = measure_text_line(caption, kCaptionFont).width + 16;
  int width = std::max({text_left + size.width + kMargin, buttons_width + 2 * kMargin, caption_width});
  width = std::min(width, kMaxClientWidth);
  const int content_height = std::max(size.height, has_icon ? kIconSize : 0);
  const int text_height = std::min(content_height, kMaxClientHeight - 3 * kMargin - kButtonHeight);
  const int height = text_height + 3 * kMargin + kButtonHeight;
  box.client = {width, height};
  box.icon = Rect::from_xywh(kMargin, kMargin, kIconSize, kIconSize);

  DialogTemplate t;
  t.caption = caption.empty() ? "Error" : std::string(caption);
  t.rect = Rect::from_xywh(0, 0, width + 2 * kFrame, height + 2 * kFrame + kCaptionHeight);
  t.style = dialog_style::kDialog | style::kTopmost;
  const int text_top = kMargin + std::max(0, (text_height - size.height) / 2);
  t.controls.push_back({std::string(kStaticClass), std::string(text), kTextId, 0,
                        {text_left, text_top, text_left + size.width, kMargin + text_height}});
  int x = (width - buttons_width) / 2;
  const int y = height - kMargin - kButtonHeight;
  for (int i = 0; i < box.buttons.count; ++i) {
    const int id = box.buttons.ids[size_t(i)];
    t.controls.push_back({std::string(kButtonClass), label_of(id), id, 0,
                          Rect::from_xywh(x, y, widths[size_t(i)], kButtonHeight)});
    x += widths[size_t(i)] + kButtonGap;
  }
  return t;
}

void draw_disc_icon(Canvas& canvas, const Rect& r, Color disc, std::string_view mark) {
  canvas.fill_ellipse(r, disc);
  canvas.draw_ellipse(r, kDarkShadowColor);
  canvas.draw_text(mark, r, {24, 700}, colors::kWhite,
                   text_format::kCenter | text_format::kVCenter | text_format::kSingleLine);
}

void draw_icon(Canvas& canvas, const Rect& r, unsigned icon) {
  switch (icon) {
    case kMbIconStop: {
      canvas.fill_ellipse(r, rgb(204, 0, 0));
      canvas.draw_ellipse(r, rgb(96, 0, 0));
      const int inset = r.width() * 3 / 10;
      const Rect x = r.inflated(-inset, -inset);
      canvas.draw_line({x.left, x.top}, {x.right - 1, x.bottom - 1}, colors::kWhite, 4);
      canvas.draw_line({x.right - 1, x.top}, {x.left, x.bottom - 1}, colors::kWhite, 4);
      break;
    }
    case kMbIconQuestion: draw_disc_icon(canvas, r, rgb(0, 64, 200), "?"); break;
    case kMbIconWarning: {
      const Point triangle[] = {{(r.left + r.right) / 2, r.top},
                                {r.right - 1, r.bottom - 1},
                                {r.left, r.bottom - 1}};
      canvas.fill_polygon(triangle, rgb(255, 204, 0));
      const Point outline[] = {triangle[0], triangle[1], triangle[2], triangle[0]};
      canvas.draw_polyline(outline, colors::kBlack);
      canvas.draw_text("!", {r.left, r.top + 6, r.right, r.bottom}, {22, 700}, colors::kBlack,
                       text_format::kCenter | text_format::kVCenter | text_format::kSingleLine);
      break;
    }
    case kMbIconInformation: draw_disc_icon(canvas, r, rgb(0, 64, 200), "i"); break;
    default: break;
  }
}

intptr_t message_box_procedure(Window& dialog, const Message& m) {
  auto* box = reinterpret_cast<const BoxData*>(dialog.user_data);
  switch (m.kind) {
    case MessageKind::InitDialog: {
      dialog.user_data = m.lparam;
      box = reinterpret_cast<const BoxData*>(m.lparam);
      // The template guessed the frame; fit the outer size to the client size laid out.
      const Rect outer = dialog.rect();
      const Rect client = dialog.client_rect();
      const int w = box->client.width + outer.width() - client.width();
      const int h = box->client.height + outer.height() - client.height();
      move_window(&dialog, Rect::from_xywh(outer.left, outer.top, w, h));
      center_on_screen(&dialog);
      return 1;
    }
    case MessageKind::Paint:
      if (box != nullptr) {
        draw_icon(*paint_context(m).canvas, box->icon,
                  box->flags & kMbIconMask);
      }
      return 1;
    case MessageKind::Command:
      if (command_id(m) >= kIdOk && command_id(m) <= kIdNo) end_dialog(&dialog, command_id(m));
      return 1;
    case MessageKind::Close:
      if (box != nullptr) end_dialog(&dialog, box->buttons.close_result);
      return 1;
    default:
      return 0;
  }
}

}  // namespace

int message_box(Window* owner, std::string_view text, std::string_view caption, unsigned flags) {
  BoxData box;
  box.flags = flags;
  box.buttons = buttons_of(flags);
  const DialogTemplate t = layout(text, caption, box);
  const intptr_t result =
      dialog_box_indirect(t, owner, &message_box_procedure, reinterpret_cast<intptr_t>(&box));
  // A box that went away without an answer (its owner destroyed, the program quitting) counts
  // as closed.
  if (result < kIdOk || result > kIdNo) return box.buttons.close_result;
  return int(result);
}

}  // namespace platform::gui
