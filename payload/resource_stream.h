// The payload as an input stream over the installer's own resource.
#pragma once

#include "support/memstream.h"

namespace vt {

// A stream over the bytes of the resource (type, id); an empty stream, whose
// every read reports end of file, when there is no such resource.
[[nodiscard]] imemstream open_resource_stream(unsigned short type, unsigned short id);

// The payload archive's resource.
[[nodiscard]] imemstream open_payload_stream();

} // namespace vt
