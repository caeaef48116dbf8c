#pragma once
// One running instance per panel disk. The first instance binds an abstract local socket named
// after the key (nothing is created on disk); a later instance finds the name taken, asks the
// first to come to the front through that socket, and leaves.
#include <string>

namespace platform {

enum class InstanceClaim { First, AlreadyRunning, Failed };

// Claims the key for this process. AlreadyRunning means another process holds it and has been
// asked to come to the front. on_activate (may be null) is called on a listener thread of this
// process whenever a later instance asks; it must only hand the request to the GUI thread.
InstanceClaim claim_single_instance(const std::string& key, void (*on_activate)());

}  // namespace platform
