#pragma once
// Message boxes: a modal, topmost dialog centred on the screen with an icon, a text (line
// breaks and tabs kept, long lines wrapped) and a row of finger-sized buttons whose window texts
// are their labels, so that the automation's `click "OK"` finds them.
#include <string_view>

#include "platform/gui/window.h"

namespace platform::gui {

// Buttons (the low four bits of the flags).
constexpr unsigned kMbOk = 0;
constexpr unsigned kMbOkCancel = 1;
constexpr unsigned kMbAbortRetryIgnore = 2;
constexpr unsigned kMbYesNoCancel = 3;
constexpr unsigned kMbYesNo = 4;
constexpr unsigned kMbRetryCancel = 5;
constexpr unsigned kMbButtonMask = 0x0F;
// Icons (the next four bits).
constexpr unsigned kMbIconStop = 0x10;
constexpr unsigned kMbIconQuestion = 0x20;
constexpr unsigned kMbIconWarning = 0x30;
constexpr unsigned kMbIconInformation = 0x40;
constexpr unsigned kMbIconMask = 0xF0;

// Results, which are also the ids of the buttons.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdAbort = 3;
constexpr int kIdRetry = 4;
constexpr int kIdIgnore = 5;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

// Shows the box and waits (in a nested loop) for a button; returns its id. An empty caption
// shows "Error", as boxes without a caption of their own do on the panel.
int message_box(Window* owner, std::string_view text, std::string_view caption, unsigned flags);

}  // namespace platform::gui
