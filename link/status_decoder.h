#pragma once
// The status decoder: runs on the exchange thread once for every accepted StatusFrame. It walks
// the fields in ascending offset, copies every field that changed into the StatusMirror, asks
// the windows that show it to redraw, lowers the PendingWrites whose values the controller now
// reports, and makes the few side effects of the link (shutdown records, request flags for the
// message loop, writes the display raises by itself). It never paints.
#include <cstddef>
#include <cstdint>

namespace corvex::link {

// Decodes the 329 status bytes of an accepted frame (length and CRC already checked).
// No result: nothing the decoder does can fail, and it does not validate values.
void decode_status_frame(const uint8_t* frame);

// How many fields the decoder walks (single bytes and the pairs it compares as one).
size_t status_field_count();

}  // namespace corvex::link
