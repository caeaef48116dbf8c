#pragma once
// Text read-outs of the link region for the automation commands `mirror`, `desired` and
// `pending`: the nonzero entries as offset=hex pairs, several to a line ("69=c8 171=a0"). A
// flag whose name carries a word adds it to the offset ("159-block=1"). No window calls.
#include <string>
#include <vector>

namespace corvex::link {

// The nonzero StatusMirror bytes; no lines when every byte is 0.
std::vector<std::string> mirror_readout();
// The nonzero DesiredValues slots.
std::vector<std::string> desired_readout();
// The raised PendingWrite flags, in the order of the record table.
std::vector<std::string> pending_readout();

}  // namespace corvex::link
