// Small payloads of the product for the engine tests: the stand-in programs and
// a few data files of every kind.
#pragma once

#include "archive_builder.h"

namespace vt::test {

// The product stand-in (main program), the uninstaller stand-in and two plain
// files in the install folder; `tag` changes the plain files' contents.
[[nodiscard]] ArchiveBuilder SmallProduct(const std::string& tag = "first");

} // namespace vt::test
