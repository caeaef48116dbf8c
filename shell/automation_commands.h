#pragma once
// The display's own automation commands: mirror, desired, pending and sim.

namespace corvex::shell {

void register_automation_commands();

}  // namespace corvex::shell
