// The extraction: the payload stream becomes installed files.
#pragma once

#include "payload/destination.h"
#include "payload/notification.h"

#include <istream>

namespace vt {

// Decodes the compressed archive from `source` (at its start when decoding begins)
// and writes every entry that the handler does not skip to its target. True when
// the whole archive was consumed and every written file matched its CRC-32. On any
// failure the handler receives `failed` once, last, and files written so far stay
// on disk for the caller to roll back.
bool extract_payload(std::istream& source, PayloadFolders folders, notification_handler handler);

} // namespace vt
