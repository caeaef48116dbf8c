#include "shell/automation_commands.h"

#include <string>
#include <string_view>
#include <vector>

#include "link/readouts.h"
#include "platform/gui/automation.h"
#include "shell/link_start.h"

namespace corvex::shell {
namespace {

std::string join(const std::vector<std::string>& lines) {
  std::string out;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) out += '\n';
    out += lines[i];
  }
  return out;
}

// The simulator answers with lines of its own ending in "ok" or "error: REASON"; the automation
// adds its own closing line, so the simulator's is turned into the command's result.
std::string run_sim(std::string_view args, bool* ok) {
  std::string answer;
  if (!simulator_command(args, &answer)) {
    *ok = false;
    return answer;
  }
  while (!answer.empty() && answer.back() == '\n') answer.pop_back();
  const size_t last_start = answer.rfind('\n') == std::string::npos ? 0 : answer.rfind('\n') + 1;
  const std::string last = answer.substr(last_start);
  std::string body = last_start ? answer.substr(0, last_start - 1) : std::string();
  if (last == "ok") return body;
  if (last.rfind("error: ", 0) == 0) {
    *ok = false;
    return last.substr(7);
  }
  return answer;
}

}  // namespace

void register_automation_commands() {
  namespace gui = platform::gui;
  gui::register_automation_command("mirror", [](std::string_view, bool*) {
    return join(link::mirror_readout());
  });
  gui::register_automation_command("desired", [](std::string_view, bool*) {
    return join(link::desired_readout());
  });
  gui::register_automation_command("pending", [](std::string_view, bool*) {
    return join(link::pending_readout());
  });
  gui::register_automation_command("sim", run_sim);
}

}  // namespace corvex::shell
