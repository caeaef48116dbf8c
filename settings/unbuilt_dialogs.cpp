#include "settings/unbuilt_dialogs.h"

#include "platform/gui/message_box.h"

namespace corvex::settings {

namespace {

std::vector<DialogRequest> g_requests;

}  // namespace

intptr_t open_unbuilt_dialog(platform::gui::Window* owner, int resource_id,
                             std::string_view title) {
  g_requests.push_back({resource_id, std::string(title)});
  return platform::gui::message_box(owner, kNotAvailableLine, title,
                                    platform::gui::kMbOk | platform::gui::kMbIconInformation);
}

const std::vector<DialogRequest>& dialog_requests() { return g_requests; }
void clear_dialog_requests() { g_requests.clear(); }

}  // namespace corvex::settings
