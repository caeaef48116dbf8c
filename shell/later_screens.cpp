#include "shell/later_screens.h"

#include "platform/gui/message_box.h"

namespace corvex::shell {

namespace {
std::vector<DialogRequest> g_requests;
}  // namespace

void register_later_screen_classes() {}

intptr_t open_unbuilt_dialog(platform::gui::Window* owner, int resource_id,
                             std::string_view title) {
  g_requests.push_back({resource_id, std::string(title)});
  return platform::gui::message_box(
      owner, "This screen is not available in this version of the display.", title,
      platform::gui::kMbOk | platform::gui::kMbIconInformation);
}

const std::vector<DialogRequest>& dialog_requests() { return g_requests; }
void clear_dialog_requests() { g_requests.clear(); }

intptr_t open_metering_roll_speed_dialog(platform::gui::Window* owner) {
  return open_unbuilt_dialog(
      owner, 166, "MODIFYING METER ROLL SPEED SETPOINTS (Use knob on control panel) - 23");
}

intptr_t open_auto_start_status_dialog(platform::gui::Window* owner) {
  return open_unbuilt_dialog(owner, 612, "Auto-Start Status");
}

}  // namespace corvex::shell
