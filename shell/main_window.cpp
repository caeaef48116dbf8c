// The main window: it fills the screen and shows nothing of its own; everything the operator
// sees is a screen window, a child of it.
#include "link/dryer_state.h"
#include "shell/startup.h"

namespace corvex::shell {

using platform::gui::Message;
using platform::gui::MessageKind;
using platform::gui::Window;

namespace {

void on_command(Window& w, const Message& m) {
  switch (platform::gui::command_id(m)) {
    case kStatusByte251RequestCommand:
      // Bit 4 of status byte 251 is reported to the main window; nothing acts on it.
      break;
    default:
      platform::gui::default_window_procedure(w, m);
      break;
  }
}

}  // namespace

intptr_t main_window_procedure(Window& w, const Message& m) {
  switch (m.kind) {
    case MessageKind::Destroy:
      shell_state().main_window = nullptr;
      platform::gui::post_quit(0);
      return 0;
    case MessageKind::Paint:
      return 0;
    case MessageKind::Command:
      on_command(w, m);
      return 0;
    case MessageKind::User:
      if (m.wparam == kBringToFrontMessage) {
        platform::gui::bring_to_front(&w);
        return 0;
      }
      return platform::gui::default_window_procedure(w, m);
    default:
      return platform::gui::default_window_procedure(w, m);
  }
}

}  // namespace corvex::shell
