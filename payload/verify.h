// The verification pass: the whole bzip2 stream is decoded and discarded, so that
// a damaged payload is found before any file is touched.
#pragma once

#include <istream>

namespace vt {

// True when the stream, read from its current position to its end, is sound
// bzip2 data. Raises nothing; the stream is left at its end.
[[nodiscard]] bool verify_payload(std::istream& source);

} // namespace vt
